#include "caps_dll.h"

#include "registry/registry_key.h"
#include "testing/com_test.h"

namespace caps_test {

std::wstring g_dll_path;

std::string shown(const VARIANT& v) {
  if (V_VT(&v) == VT_I4) return "int:" + std::to_string(V_I4(&v));
  if (V_VT(&v) == VT_BSTR) {
    std::string s;
    for (UINT i = 0; i < SysStringLen(V_BSTR(&v)); ++i) s += static_cast<char>(V_BSTR(&v)[i]);
    return "text:" + s;
  }
  return "vt:" + std::to_string(V_VT(&v));
}

namespace {
orvo::registry::key open_descriptors() {
  auto key = orvo::registry::key::create(HKEY_LOCAL_MACHINE, descriptors_key, KEY_ALL_ACCESS);
  EXPECT_TRUE(key) << key.error();
  return key;
}
}  // namespace

void set_binary(const std::wstring& name, const std::vector<BYTE>& bytes) {
  EXPECT_EQ(open_descriptors().write_binary(name.c_str(), bytes), ERROR_SUCCESS);
}

void set_dword(const std::wstring& name, DWORD value) {
  EXPECT_EQ(open_descriptors().write_dword(name.c_str(), value), ERROR_SUCCESS);
}

void delete_value(const std::wstring& name) {
  const auto key = open_descriptors();
  EXPECT_TRUE(key.value_type(name.c_str()).has_value()) << "value " << std::string(name.begin(), name.end());
  EXPECT_EQ(key.delete_value(name.c_str()), ERROR_SUCCESS);
}

void delete_key_tree(const wchar_t* key) { orvo::registry::key::delete_tree(HKEY_LOCAL_MACHINE, key); }

void create_key(const wchar_t* path) {
  ASSERT_TRUE(orvo::registry::key::create(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS));
}

bool key_exists(const wchar_t* path) { return orvo::registry::key::exists(HKEY_LOCAL_MACHINE, path); }

std::optional<std::size_t> descriptor_size(const wchar_t* name) {
  const auto key = orvo::registry::key::open(HKEY_LOCAL_MACHINE, descriptors_key);
  auto bytes = key.read_binary(name);
  if (!bytes) return std::nullopt;
  return bytes->size();
}

}  // namespace caps_test

// The first argument is the path of OrvoCapabilities.dll; further ones are
// the test's own.
std::vector<std::string> g_args;

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    fprintf(stderr, "usage: %s OrvoCapabilities.dll [args]\n", argv[0]);
    return 2;
  }
  caps_test::g_dll_path = orvo::testing::windows_path(argv[1]);
  for (int i = 2; i < argc; ++i) g_args.emplace_back(argv[i]);
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  const int rc = RUN_ALL_TESTS();
  CoUninitialize();
  return rc;
}
