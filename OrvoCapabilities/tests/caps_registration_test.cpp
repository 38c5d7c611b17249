// regsvr32 writes the default descriptors through DllRegisterServer and
// regsvr32 /u removes them. The values written are also saved, as
// "NAME HEX" lines, to the file named by the second argument, which an
// independent script compares with the descriptor tables. The third
// argument is a copy of the library whose third descriptor write fails.
#include <fstream>

#include "caps_dll.h"
#include "testing/com_test.h"

extern std::vector<std::string> g_args;

using namespace orvo::testing;
using namespace caps_test;

namespace {

registry_dump descriptors() { return dump_registry(HKEY_LOCAL_MACHINE, descriptors_key); }

TEST(CapsRegistration, Regsvr32WritesTheDefaultsAndRemovesThemAgain) {
  ASSERT_EQ(regsvr32(g_dll_path, true), 0);
  EXPECT_FALSE(key_exists(descriptors_key));

  ASSERT_EQ(regsvr32(g_dll_path), 0);
  const registry_dump registered = descriptors();
  std::ofstream out(g_args.at(0), std::ios::binary | std::ios::trunc);
  int values = 0;
  for (const auto& [path, data] : registered) {
    const auto colon = path.find(L"\\:");
    if (colon == std::wstring::npos) continue;  // the key itself
    ++values;
    const std::wstring name = path.substr(colon + 2);
    // Every descriptor is REG_BINARY (type 3).
    ASSERT_EQ(data.substr(0, 2), L"3:") << std::string(name.begin(), name.end());
    out << std::string(name.begin(), name.end()) << ' ' << std::string(data.begin() + 2, data.end()) << '\n';
  }
  out.close();
  EXPECT_EQ(values, 19);

  ASSERT_EQ(regsvr32(g_dll_path, true), 0);
  EXPECT_FALSE(key_exists(descriptors_key));
  EXPECT_TRUE(descriptors().empty());

  // Leave the defaults registered for the tests that follow.
  ASSERT_EQ(regsvr32(g_dll_path), 0);
  EXPECT_EQ(descriptors(), registered);
}

TEST(CapsRegistration, RegistrationReplacesChangedDefaults) {
  set_binary(L"1000", std::vector<BYTE>(3, 0xEE));
  set_binary(L"0042", std::vector<BYTE>(16, 0));
  const auto before = descriptors();
  ASSERT_EQ(regsvr32(g_dll_path), 0);
  const auto after = descriptors();
  EXPECT_EQ(after.at(std::wstring(descriptors_key) + L"\\:1000").size(), 2u + 2 * 104);
  // Registration writes the defaults; it does not clear other descriptors.
  EXPECT_EQ(after.count(std::wstring(descriptors_key) + L"\\:0042"), 1u);
  ASSERT_EQ(regsvr32(g_dll_path, true), 0);
  ASSERT_EQ(regsvr32(g_dll_path), 0);
  EXPECT_EQ(descriptors().count(std::wstring(descriptors_key) + L"\\:0042"), 0u);
}

TEST(CapsRegistration, AFailedWriteFailsRegistrationAndLeavesTheStoreAsItWas) {
  const std::wstring failing = windows_path(g_args.at(1));
  // No descriptors before: none after.
  ASSERT_EQ(regsvr32(g_dll_path, true), 0);
  EXPECT_NE(regsvr32(failing), 0);
  EXPECT_FALSE(key_exists(descriptors_key));

  // A changed set before: the same set after, replaced values included.
  ASSERT_EQ(regsvr32(g_dll_path), 0);
  set_binary(L"1000", std::vector<BYTE>(3, 0xEE));
  set_dword(L"2000", 7);
  delete_value(L"2001");
  const auto before = descriptors();
  EXPECT_NE(regsvr32(failing), 0);
  EXPECT_EQ(descriptors(), before);

  ASSERT_EQ(regsvr32(g_dll_path, true), 0);
  ASSERT_EQ(regsvr32(g_dll_path), 0);
}

TEST(CapsRegistration, AnUnregistrationThatCannotDeleteTheDescriptorsFails) {
  ASSERT_EQ(regsvr32(g_dll_path), 0);
  const auto before = descriptors();
  EXPECT_NE(regsvr32(windows_path(g_args.at(1)), true), 0);
  EXPECT_EQ(descriptors(), before);
}

}  // namespace
