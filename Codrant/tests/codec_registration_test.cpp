// regsvr32 writes the codec classes' keys and the proxies of the codec's
// and the line server's interfaces, and regsvr32 /u takes every one of them
// away again. The path of Codrant.dll is the first argument.
#include <gtest/gtest.h>

#include "testing/registration_check.h"

namespace {
std::wstring g_dll;

TEST(CodecRegistration, RegisterWritesTheClassesAndProxiesAndUnregisterRemovesEveryKey) {
  orvo::testing::check_registration_round_trip({
      g_dll,
      {{L"{96024A64-11BD-11D3-9630-0020182D7984}", L"Quarnell.StdEncoder", L"StdEncoder Class"},
       {L"{8A61647B-0E99-11D3-9630-0020182D7984}", L"Quarnell.StdDecoder", L"StdDecoder Class"}},
      L"Free",
      // IPacketEncoder, IPacketDecoder, IPacketDecoderCallback, IEnumBYTE, and the line server's
      // ICommServerConstructor, IRasperGIT, ICommServer, _ICommServerEventMethods, IDataProcessor,
      // ICommClient.
      {L"{96024A63-11BD-11D3-9630-0020182D7984}", L"{8A61647A-0E99-11D3-9630-0020182D7984}",
       L"{A760F9A0-0EBB-11D3-9630-0020182D7984}", L"{48DBC8C0-11C1-11D3-9630-0020182D7984}",
       L"{23BBD4A8-1350-11D3-9630-0020182D7984}", L"{944E094B-DD74-4765-B354-0FE8540555EC}",
       L"{23BBD4AA-1350-11D3-9630-0020182D7984}", L"{89213500-6A27-11D3-972D-444553540000}",
       L"{5F67C5A0-60C0-11D3-972D-444553540000}", L"{6B8DBFC0-0DE5-11D3-9630-0020182D7984}"},
  });
}
}  // namespace

int main(int argc, char** argv) { return orvo::testing::registration_test_main(argc, argv, g_dll); }
