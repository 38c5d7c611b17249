// regsvr32 writes the codec classes' keys and the proxies of the codec
// interfaces, and regsvr32 /u takes every one of them away again. The path
// of Codrant.dll is the first argument.
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
      // IPacketEncoder, IPacketDecoder, IPacketDecoderCallback, IEnumBYTE.
      {L"{96024A63-11BD-11D3-9630-0020182D7984}", L"{8A61647A-0E99-11D3-9630-0020182D7984}",
       L"{A760F9A0-0EBB-11D3-9630-0020182D7984}", L"{48DBC8C0-11C1-11D3-9630-0020182D7984}"},
  });
}
}  // namespace

int main(int argc, char** argv) { return orvo::testing::registration_test_main(argc, argv, g_dll); }
