// regsvr32 writes the CRC classes' keys and the proxy of ICRCGenerator, and
// regsvr32 /u takes every one of them away again. The path of CRC.dll is
// the first argument.
#include <gtest/gtest.h>

#include "testing/registration_check.h"

namespace {
std::wstring g_dll;

TEST(CrcRegistration, RegisterWritesTheClassesAndUnregisterRemovesEveryKey) {
  orvo::testing::check_registration_round_trip({
      g_dll,
      {{L"{A1889572-0ACE-11D3-972D-444553540000}", L"Quarnell.CRCGenerator16", L"CRCGenerator16 Class"},
       {L"{66E505E5-0C3D-11D3-9630-0020182D7984}", L"Quarnell.CRCGenerator32", L"CRCGenerator32 Class"}},
      L"Free",
      {L"{A1889571-0ACE-11D3-972D-444553540000}"},  // ICRCGenerator
  });
}
}  // namespace

int main(int argc, char** argv) { return orvo::testing::registration_test_main(argc, argv, g_dll); }
