// regsvr32 writes the Pelm classes' keys and the proxies of the Pelm
// interfaces, and regsvr32 /u takes every one of them away again. The path
// of PelmImpl.dll is the first argument.
#include <gtest/gtest.h>

#include "testing/registration_check.h"

namespace {
std::wstring g_dll;

TEST(PelmRegistration, RegisterWritesTheClassesAndProxiesAndUnregisterRemovesEveryKey) {
  std::vector<std::wstring> interfaces;
  for (int i = 1; i <= 10; ++i) {
    wchar_t iid[64];
    swprintf(iid, 64, L"{5C1E4A10-3B7D-4F52-9A61-2D8E0C4B7F%02X}", i);
    interfaces.push_back(iid);
  }
  orvo::testing::check_registration_round_trip({
      g_dll,
      {{L"{81A42134-6EF0-11D3-972D-444553540000}", L"Quarnell.PelmConstructor", L"PelmConstructor Class"},
       {L"{0BEA92A3-6EB3-11D3-972D-444553540000}", L"Quarnell.PelmEx", L"PelmEx Class"}},
      L"Free",
      interfaces,
  });
}
}  // namespace

int main(int argc, char** argv) { return orvo::testing::registration_test_main(argc, argv, g_dll); }
