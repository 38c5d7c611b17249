#include "caps_dll.h"

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
HKEY open_descriptors() {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, descriptors_key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  return key;
}
}  // namespace

void set_binary(const std::wstring& name, const std::vector<BYTE>& bytes) {
  HKEY key = open_descriptors();
  EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void set_dword(const std::wstring& name, DWORD value) {
  HKEY key = open_descriptors();
  EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void delete_value(const std::wstring& name) {
  HKEY key = open_descriptors();
  EXPECT_EQ(RegDeleteValueW(key, name.c_str()), ERROR_SUCCESS) << "value " << std::string(name.begin(), name.end());
  RegCloseKey(key);
}

void delete_key_tree(const wchar_t* key) { RegDeleteTreeW(HKEY_LOCAL_MACHINE, key); }

void create_key(const wchar_t* path) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

bool key_exists(const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
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
