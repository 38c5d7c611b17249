// OrvoImpl finds and binds OrvoCapabilities through the registry. The
// bound addresses live for the whole process, so the cases run in order:
// first with nothing loaded, then with the library loaded.
// Arguments: the paths of OrvoCapabilities.dll and of a stand-in library
// without CheckAmplifierID.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "OrvoCapabilitiesDll.h"
#include "com/error.h"
#include "registry/registry_key.h"
#include "testing/com_test.h"

using namespace orvo::impl;
using orvo::com::ptr;

namespace {

std::wstring g_caps_dll, g_stub_dll;

const wchar_t descriptors_key[] = L"Software\\Quarnell Limited\\Orvo\\Descriptors";

std::wstring folder_of(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring module_of(void (*address)()) {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(address), &module);
  wchar_t name[MAX_PATH] = {};
  GetModuleFileNameW(module, name, MAX_PATH);
  return name;
}
template <class F>
std::wstring module_of(F f) {
  return module_of(reinterpret_cast<void (*)()>(f));
}

using orvo::registry::key;

void set_provider(DWORD type, const std::wstring& text) {
  const auto k = key::create(HKEY_LOCAL_MACHINE, caps_provider_key, KEY_ALL_ACCESS);
  ASSERT_TRUE(k);
  EXPECT_EQ(k.write_value(caps_provider_value, type, text.c_str(), (text.size() + 1) * sizeof(wchar_t)), ERROR_SUCCESS);
}

void remove_provider() {
  if (const auto k = key::open(HKEY_LOCAL_MACHINE, caps_provider_key, KEY_ALL_ACCESS))
    k.delete_value(caps_provider_value);
}

// What the key held before: restored, with the default descriptors, when
// the run ends.
class registry_restore : public ::testing::Environment {
 public:
  void SetUp() override {
    const auto k = key::open(HKEY_LOCAL_MACHINE, caps_provider_key, KEY_READ);
    for (auto& v : k.values())
      if (_wcsicmp(v.name.c_str(), caps_provider_value) == 0) m_provider = std::move(v);
  }
  void TearDown() override {
    remove_provider();
    if (m_provider)
      key::create(HKEY_LOCAL_MACHINE, caps_provider_key, KEY_ALL_ACCESS)
          .write_value(caps_provider_value, m_provider->type, m_provider->data.data(), m_provider->data.size());
    EXPECT_EQ(orvo::testing::regsvr32(g_caps_dll), 0);
  }

 private:
  std::optional<key::value> m_provider;
};

std::wstring error_text(const std::function<void()>& f) {
  try {
    f();
  } catch (const orvo::com::error& e) {
    EXPECT_EQ(e.hr(), E_FAIL);
    return e.description();
  }
  return L"<no error>";
}

TEST(CapsLoader, WithoutTheKeyEveryUseFailsUntilTheKeyExists) {
  ASSERT_EQ(key::delete_tree(HKEY_LOCAL_MACHINE, caps_provider_key), ERROR_SUCCESS);
  EXPECT_EQ(CapabilitiesDllPath(), L"");
  EXPECT_FALSE(LoadCapabilitiesDll());
  ptr<ICapsProvider> provider;
  for (int attempt = 0; attempt < 2; ++attempt)
    EXPECT_EQ(error_text([&] { CreateCapsProvider(provider); }), L"CapsProvidier library not initialized");
  EXPECT_FALSE(provider);
  EXPECT_EQ(CapsEntryPoints().CreateInterface, nullptr);

  // The key without "Provider": the default name, from the current folder.
  ASSERT_TRUE(key::create(HKEY_LOCAL_MACHINE, caps_provider_key, KEY_ALL_ACCESS));
  EXPECT_EQ(CapabilitiesDllPath(), L"OrvoCapabilities.dll");
  EXPECT_EQ(CreateCapsProvider(provider), 0);
  ASSERT_TRUE(provider);
  EXPECT_EQ(_wcsicmp(module_of(CapsEntryPoints().CreateInterface).c_str(), g_caps_dll.c_str()), 0);
  ASSERT_NE(CapsEntryPoints().CheckAmplifierID, nullptr);

  // The provider works as OrvoImpl uses it: the library's own DllRegister
  // writes the descriptors, GetAmplifier gives an amplifier object.
  CapsEntryPoints().DllRegister();
  EXPECT_EQ(CapsEntryPoints().CheckAmplifierID(0x0014), 0);
  ptr<IUnknown> unknown;
  EXPECT_EQ(provider->GetAmplifier(0x0014, unknown.put()), bool32_true);
  auto amplifier = unknown.as<IAmplifierCapabilities>();
  ASSERT_TRUE(amplifier);
  EXPECT_EQ(amplifier->GetAmplifierID(), 0x0014);
}

TEST(CapsLoader, OnceLoadedTheLibraryIsNotLookedForAgain) {
  const auto create = CapsEntryPoints().CreateInterface;
  ASSERT_NE(create, nullptr);
  ASSERT_EQ(key::delete_tree(HKEY_LOCAL_MACHINE, caps_provider_key), ERROR_SUCCESS);
  ptr<ICapsProvider> provider;
  EXPECT_EQ(CreateCapsProvider(provider), 0);
  EXPECT_TRUE(provider);
  EXPECT_EQ(CapsEntryPoints().CreateInterface, create);
}

TEST(CapsLoader, AProviderValueNamesTheLibraryAndCheckAmplifierIdMayBeMissing) {
  set_provider(REG_SZ, g_stub_dll);
  EXPECT_EQ(CapabilitiesDllPath(), g_stub_dll);
  ASSERT_TRUE(LoadCapabilitiesDll());
  EXPECT_EQ(CapsEntryPoints().CheckAmplifierID, nullptr);
  EXPECT_EQ(_wcsicmp(module_of(CapsEntryPoints().CreateInterface).c_str(), g_stub_dll.c_str()), 0);
  // The provider held in the slot is released; the stand-in's result passes
  // through.
  ptr<ICapsProvider> provider;
  ICapsProvider* real = nullptr;
  {
    HMODULE caps = GetModuleHandleW(L"OrvoCapabilities.dll");
    ASSERT_NE(caps, nullptr);
    auto create =
        reinterpret_cast<CreateInterfaceProc>(reinterpret_cast<void (*)()>(GetProcAddress(caps, "CreateInterface")));
    ASSERT_EQ(create(&real), 0);
  }
  real->AddRef();
  provider = ptr<ICapsProvider>::attach(real);
  EXPECT_EQ(CreateCapsProvider(provider), 42);
  EXPECT_FALSE(provider);
  EXPECT_EQ(real->Release(), 0u);
}

TEST(CapsLoader, AProviderValueThatIsNotATextIsIgnored) {
  set_provider(REG_EXPAND_SZ, g_stub_dll);
  EXPECT_EQ(CapabilitiesDllPath(), L"OrvoCapabilities.dll");
  ASSERT_TRUE(LoadCapabilitiesDll());
  EXPECT_NE(CapsEntryPoints().CheckAmplifierID, nullptr);
  EXPECT_EQ(_wcsicmp(module_of(CapsEntryPoints().CreateInterface).c_str(), g_caps_dll.c_str()), 0);
}

TEST(CapsLoader, AMissingFileOrALibraryWithoutTheExportsFailsAndKeepsTheBinding) {
  const caps_entry_points before = CapsEntryPoints();
  set_provider(REG_SZ, folder_of(g_caps_dll) + L"\\NoSuchLibrary.dll");
  EXPECT_FALSE(LoadCapabilitiesDll());
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  set_provider(REG_SZ, std::wstring(system) + L"\\version.dll");
  EXPECT_FALSE(LoadCapabilitiesDll());
  set_provider(REG_SZ, L"");
  EXPECT_FALSE(LoadCapabilitiesDll());
  EXPECT_EQ(CapsEntryPoints().CreateInterface, before.CreateInterface);
  EXPECT_EQ(CapsEntryPoints().CheckAmplifierID, before.CheckAmplifierID);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    fprintf(stderr, "usage: %s OrvoCapabilities.dll stub.dll\n", argv[0]);
    return 2;
  }
  g_caps_dll = orvo::testing::windows_path(argv[1]);
  g_stub_dll = orvo::testing::windows_path(argv[2]);
  // A relative library name counts from the current folder.
  SetCurrentDirectoryW(folder_of(g_caps_dll).c_str());
  ::testing::AddGlobalTestEnvironment(new registry_restore);
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  const int rc = RUN_ALL_TESTS();
  CoUninitialize();
  return rc;
}
