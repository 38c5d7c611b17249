#include "registration_check.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "com_test.h"

namespace orvo::testing {
namespace {

// Every entry that names one of the server's classes, ProgIDs, interfaces
// or its file.
registry_dump mentions_of(const server_registration& server, const registry_dump& all) {
  registry_dump out;
  auto add = [&](const std::wstring& needle) {
    auto part = entries_mentioning(all, needle);
    out.insert(part.begin(), part.end());
  };
  for (const auto& c : server.classes) {
    add(c.clsid);
    add(c.progid);
  }
  for (const auto& iid : server.proxied_interfaces) add(iid);
  add(server.dll.substr(server.dll.find_last_of(L'\\') + 1));
  return out;
}

registry_dump classes_root(const server_registration& server) {
  registry_dump all;
  std::vector<std::wstring> keys = {L"CLSID", L"Interface"};
  for (const auto& c : server.classes) {
    keys.push_back(c.progid);
    keys.push_back(c.progid + L".1");
  }
  for (const auto& key : keys) {
    auto part = dump_registry(HKEY_CLASSES_ROOT, key);
    all.insert(part.begin(), part.end());
  }
  return all;
}

}  // namespace

void check_registration_round_trip(const server_registration& server) {
  ASSERT_EQ(regsvr32(server.dll, true), 0);
  const auto before = classes_root(server);
  EXPECT_TRUE(mentions_of(server, before).empty());

  ASSERT_EQ(regsvr32(server.dll), 0);
  const auto registered = classes_root(server);
  auto value = [&](const std::wstring& key, const std::wstring& name) {
    auto it = registered.find(key + L"\\:" + name);
    return it == registered.end() ? std::wstring(L"<missing>") : it->second;
  };
  const std::wstring sz = L"1:";
  for (const auto& c : server.classes) {
    SCOPED_TRACE(c.progid);
    const std::wstring key = L"CLSID\\" + c.clsid;
    EXPECT_EQ(value(key, L""), sz + c.description);
    EXPECT_EQ(value(key + L"\\ProgID", L""), sz + c.progid + L".1");
    EXPECT_EQ(value(key + L"\\VersionIndependentProgID", L""), sz + c.progid);
    EXPECT_EQ(value(key + L"\\InprocServer32", L""), sz + server.dll);
    EXPECT_EQ(value(key + L"\\InprocServer32", L"ThreadingModel"), sz + server.threading_model);
    EXPECT_EQ(value(c.progid, L""), sz + c.description);
    EXPECT_EQ(value(c.progid + L"\\CurVer", L""), sz + c.progid + L".1");
    EXPECT_EQ(value(c.progid + L"\\CLSID", L""), sz + c.clsid);
    EXPECT_EQ(value(c.progid + L".1", L""), sz + c.description);
    EXPECT_EQ(value(c.progid + L".1\\CLSID", L""), sz + c.clsid);
  }
  // The interfaces are marshalled by one proxy/stub class the server serves.
  std::wstring proxy_class;
  for (const auto& iid : server.proxied_interfaces) {
    SCOPED_TRACE(iid);
    const std::wstring stub = value(L"Interface\\" + iid + L"\\ProxyStubClsid32", L"");
    if (proxy_class.empty()) proxy_class = stub;
    EXPECT_EQ(stub, proxy_class);
  }
  if (!server.proxied_interfaces.empty()) {
    ASSERT_EQ(proxy_class.substr(0, 2), sz);
    EXPECT_EQ(value(L"CLSID\\" + proxy_class.substr(2) + L"\\InprocServer32", L""), sz + server.dll);
  }

  ASSERT_EQ(regsvr32(server.dll, true), 0);
  const auto after = classes_root(server);
  EXPECT_TRUE(mentions_of(server, after).empty());
  EXPECT_EQ(after, before);

  // Leave the build registered for the tests that follow.
  ASSERT_EQ(regsvr32(server.dll), 0);
  EXPECT_EQ(classes_root(server), registered);
}

int registration_test_main(int argc, char** argv, std::wstring& dll) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PATH-OF-THE-DLL\n", argv[0]);
    return 2;
  }
  dll = windows_path(argv[1]);
  return RUN_ALL_TESTS();
}

}  // namespace orvo::testing
