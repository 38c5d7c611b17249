// regsvr32 writes the codec classes' keys and the proxies of the codec
// interfaces, and regsvr32 /u takes every one of them away again. The path
// of Codrant.dll is the first argument.
#include <gtest/gtest.h>

#include "testing/com_test.h"

using namespace orvo::testing;

namespace {
std::wstring g_dll;

const wchar_t* const encoder_clsid = L"{96024A64-11BD-11D3-9630-0020182D7984}";
const wchar_t* const decoder_clsid = L"{8A61647B-0E99-11D3-9630-0020182D7984}";
// IPacketEncoder, IPacketDecoder, IPacketDecoderCallback, IEnumBYTE.
const wchar_t* const interfaces[] = {
    L"{96024A63-11BD-11D3-9630-0020182D7984}",
    L"{8A61647A-0E99-11D3-9630-0020182D7984}",
    L"{A760F9A0-0EBB-11D3-9630-0020182D7984}",
    L"{48DBC8C0-11C1-11D3-9630-0020182D7984}",
};

registry_dump ours(const registry_dump& all) {
  registry_dump out;
  auto add = [&](const wchar_t* needle) {
    auto part = entries_mentioning(all, needle);
    out.insert(part.begin(), part.end());
  };
  for (const wchar_t* m :
       {encoder_clsid, decoder_clsid, L"Quarnell.StdEncoder", L"Quarnell.StdDecoder", L"Codrant.dll"})
    add(m);
  for (const wchar_t* m : interfaces) add(m);
  return out;
}

registry_dump classes_root() {
  registry_dump all;
  for (const wchar_t* key : {L"CLSID", L"Interface", L"Quarnell.StdEncoder", L"Quarnell.StdEncoder.1",
                             L"Quarnell.StdDecoder", L"Quarnell.StdDecoder.1"}) {
    auto part = dump_registry(HKEY_CLASSES_ROOT, key);
    all.insert(part.begin(), part.end());
  }
  return all;
}

TEST(CodecRegistration, RegisterWritesTheClassesAndProxiesAndUnregisterRemovesEveryKey) {
  ASSERT_EQ(regsvr32(g_dll, true), 0);
  const auto before = classes_root();
  EXPECT_TRUE(ours(before).empty());

  ASSERT_EQ(regsvr32(g_dll), 0);
  const auto registered = classes_root();
  auto value = [&](const std::wstring& key, const std::wstring& name) {
    auto it = registered.find(key + L"\\:" + name);
    return it == registered.end() ? std::wstring(L"<missing>") : it->second;
  };
  const std::wstring sz = L"1:";
  struct expected_class {
    const wchar_t* clsid;
    const wchar_t* name;
  };
  for (const expected_class& c :
       {expected_class{encoder_clsid, L"StdEncoder"}, expected_class{decoder_clsid, L"StdDecoder"}}) {
    const std::wstring key = std::wstring(L"CLSID\\") + c.clsid;
    const std::wstring progid = std::wstring(L"Quarnell.") + c.name;
    const std::wstring description = std::wstring(c.name) + L" Class";
    SCOPED_TRACE(progid);
    EXPECT_EQ(value(key, L""), sz + description);
    EXPECT_EQ(value(key + L"\\ProgID", L""), sz + progid + L".1");
    EXPECT_EQ(value(key + L"\\VersionIndependentProgID", L""), sz + progid);
    EXPECT_EQ(value(key + L"\\InprocServer32", L""), sz + g_dll);
    EXPECT_EQ(value(key + L"\\InprocServer32", L"ThreadingModel"), sz + L"Free");
    EXPECT_EQ(value(progid, L""), sz + description);
    EXPECT_EQ(value(progid + L"\\CurVer", L""), sz + progid + L".1");
    EXPECT_EQ(value(progid + L"\\CLSID", L""), sz + c.clsid);
    EXPECT_EQ(value(progid + L".1", L""), sz + description);
    EXPECT_EQ(value(progid + L".1\\CLSID", L""), sz + c.clsid);
  }
  // Every codec interface is marshalled by the proxy/stub class Codrant.dll serves.
  std::wstring proxy_class;
  for (const wchar_t* iid : interfaces) {
    SCOPED_TRACE(iid);
    const std::wstring stub = value(std::wstring(L"Interface\\") + iid + L"\\ProxyStubClsid32", L"");
    if (proxy_class.empty()) proxy_class = stub;
    EXPECT_EQ(stub, proxy_class);
  }
  ASSERT_EQ(proxy_class.substr(0, 2), sz);
  EXPECT_EQ(value(L"CLSID\\" + proxy_class.substr(2) + L"\\InprocServer32", L""), sz + g_dll);

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
    fprintf(stderr, "usage: codrant_registration_test PATH-OF-Codrant.dll\n");
    return 2;
  }
  g_dll = windows_path(argv[1]);
  return RUN_ALL_TESTS();
}
