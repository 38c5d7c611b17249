#include "line_session.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include "testing/com_test.h"

using orvo::com::ptr;

std::string g_self;
ptr<ICommServerConstructor> g_constructor;
ptr<ICommServer> g_port;
std::unique_ptr<line_device> g_device;

ptr<test_client> make_client(bytes request, bytes reply) {
  ptr<ICommClient> c;
  EXPECT_EQ(test_client::make(c), S_OK);
  auto* raw = static_cast<test_client*>(c.get());
  raw->request = std::move(request);
  raw->reply = std::move(reply);
  return ptr<test_client>(raw);
}

ptr<ICommServer> open_port(const std::wstring& name, bool attach_only, HRESULT* result) {
  ptr<ICommServer> server;
  BSTR text = SysAllocString(name.c_str());
  const HRESULT hr = g_constructor->GetCommServerEx(text, server.put(), attach_only ? VARIANT_TRUE : VARIANT_FALSE);
  SysFreeString(text);
  if (result) *result = hr;
  return server;
}

long converse(test_client* client, BYTE address, DWORD milliseconds) {
  EXPECT_EQ(g_port->RequestConversation(client, address), S_OK);
  return client->wait_end(milliseconds);
}

DWORD rasper_process() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry))
    if (_wcsicmp(entry.szExeFile, L"Rasper.exe") == 0) found = entry.th32ProcessID;
  CloseHandle(snap);
  return found;
}

int line_main(int argc, char** argv) {
  g_self = argv[0];
  ::testing::InitGoogleTest(&argc, argv);
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 2;
  int result = 1;
  {
    g_device = std::make_unique<line_device>();
    // The server registers itself as an installer would run it.
    const std::wstring rasper = orvo::testing::windows_path(RASPER_EXE);
    if (orvo::testing::run_program(L"\"" + rasper + L"\" /RegServer") == 0 &&
        SUCCEEDED(orvo::com::create_instance(CLSID_CommServerConstructor, g_constructor, CLSCTX_LOCAL_SERVER))) {
      g_port = open_port(line_port());
      result = RUN_ALL_TESTS();
    } else {
      fprintf(stderr, "the line server could not be registered and started\n");
    }
    g_port.reset();
    g_constructor.reset();
    g_device.reset();
  }
  CoUninitialize();
  return result;
}
