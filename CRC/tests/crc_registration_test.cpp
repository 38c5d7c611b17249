// regsvr32 writes the CRC classes' keys and regsvr32 /u takes every one of
// them away again. The path of CRC.dll is the first argument.
#include <gtest/gtest.h>

#include "com/registry.h"
#include "testing/com_test.h"

using namespace orvo::testing;

namespace {
std::wstring g_dll;

const wchar_t* const mentions[] = {
    L"{A1889572-0ACE-11D3-972D-444553540000}",  // CRCGenerator16
    L"{66E505E5-0C3D-11D3-9630-0020182D7984}",  // CRCGenerator32
    L"{A1889571-0ACE-11D3-972D-444553540000}",  // ICRCGenerator and its proxy class
    L"Quarnell.CRCGenerator",
    L"CRC.dll",
};

registry_dump ours(const registry_dump& all) {
  registry_dump out;
  for (const wchar_t* m : mentions) {
    auto part = entries_mentioning(all, m);
    out.insert(part.begin(), part.end());
  }
  return out;
}

registry_dump classes_root() {
  registry_dump all;
  for (const wchar_t* key : {L"CLSID", L"Interface", L"Quarnell.CRCGenerator16", L"Quarnell.CRCGenerator16.1",
                             L"Quarnell.CRCGenerator32", L"Quarnell.CRCGenerator32.1"}) {
    auto part = dump_registry(HKEY_CLASSES_ROOT, key);
    all.insert(part.begin(), part.end());
  }
  return all;
}

TEST(CrcRegistration, RegisterWritesTheClassesAndUnregisterRemovesEveryKey) {
  ASSERT_EQ(regsvr32(g_dll, true), 0);
  const auto before = classes_root();
  EXPECT_TRUE(ours(before).empty());

  ASSERT_EQ(regsvr32(g_dll), 0);
  const auto registered = classes_root();
  const std::wstring c16 = L"CLSID\\{A1889572-0ACE-11D3-972D-444553540000}";
  const std::wstring c32 = L"CLSID\\{66E505E5-0C3D-11D3-9630-0020182D7984}";
  auto value = [&](const std::wstring& key, const std::wstring& name) {
    auto it = registered.find(key + L"\\:" + name);
    return it == registered.end() ? std::wstring(L"<missing>") : it->second;
  };
  const std::wstring sz = L"1:";
  EXPECT_EQ(value(c16, L""), sz + L"CRCGenerator16 Class");
  EXPECT_EQ(value(c16 + L"\\ProgID", L""), sz + L"Quarnell.CRCGenerator16.1");
  EXPECT_EQ(value(c16 + L"\\VersionIndependentProgID", L""), sz + L"Quarnell.CRCGenerator16");
  EXPECT_EQ(value(c16 + L"\\InprocServer32", L"ThreadingModel"), sz + L"Free");
  EXPECT_EQ(value(c16 + L"\\InprocServer32", L""), sz + g_dll);
  EXPECT_EQ(value(c32, L""), sz + L"CRCGenerator32 Class");
  EXPECT_EQ(value(c32 + L"\\InprocServer32", L"ThreadingModel"), sz + L"Free");
  EXPECT_EQ(value(L"Quarnell.CRCGenerator16", L""), sz + L"CRCGenerator16 Class");
  EXPECT_EQ(value(L"Quarnell.CRCGenerator16\\CurVer", L""), sz + L"Quarnell.CRCGenerator16.1");
  EXPECT_EQ(value(L"Quarnell.CRCGenerator16\\CLSID", L""), sz + L"{A1889572-0ACE-11D3-972D-444553540000}");
  EXPECT_EQ(value(L"Quarnell.CRCGenerator32.1\\CLSID", L""), sz + L"{66E505E5-0C3D-11D3-9630-0020182D7984}");
  EXPECT_EQ(value(L"Quarnell.CRCGenerator32\\CurVer", L""), sz + L"Quarnell.CRCGenerator32.1");
  // The interface is marshalled by the proxy/stub class CRC.dll serves.
  const std::wstring itf = L"Interface\\{A1889571-0ACE-11D3-972D-444553540000}";
  EXPECT_EQ(value(itf + L"\\ProxyStubClsid32", L""), sz + L"{A1889571-0ACE-11D3-972D-444553540000}");
  EXPECT_EQ(value(L"CLSID\\{A1889571-0ACE-11D3-972D-444553540000}\\InprocServer32", L""), sz + g_dll);

  ASSERT_EQ(regsvr32(g_dll, true), 0);
  const auto after = classes_root();
  EXPECT_TRUE(ours(after).empty());
  EXPECT_EQ(after, before);

  // Leave the build registered for the tests that follow.
  ASSERT_EQ(regsvr32(g_dll), 0);
  EXPECT_EQ(classes_root(), registered);
}
}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    fprintf(stderr, "usage: crc_registration_test PATH-OF-CRC.dll\n");
    return 2;
  }
  g_dll = windows_path(argv[1]);
  return RUN_ALL_TESTS();
}
