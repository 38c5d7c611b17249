#include "line_session.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <algorithm>

#include "helper/line_helper.h"
#include "testing/com_test.h"
#include "testing/crash_report.h"

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

std::wstring helper_text(DISPID id, std::vector<VARIANT> args) {
  ptr<IUnknown> object;
  EXPECT_EQ(g_constructor->CreateInProcessComponent(CLSID_RasperLineHelper, IID_IDispatch, object.put()), S_OK);
  auto helper = object.as<IDispatch>();
  if (!helper) return {};
  std::reverse(args.begin(), args.end());
  DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(helper->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
  std::wstring text = result.vt == VT_BSTR ? result.bstrVal : L"";
  VariantClear(&result);
  return text;
}

VARIANT unknown_arg(IUnknown* object) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_UNKNOWN;
  v.punkVal = object;
  return v;
}

VARIANT long_arg(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

namespace {
// A line test that stops making progress ends itself before the test
// runner's time-out, so its output (kept until the process ends) is seen
// with the name of the test that hung.
constexpr DWORD kWatchdogSeconds = 240;

DWORD WINAPI watchdog(void*) {
  Sleep(kWatchdogSeconds * 1000);
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  printf("\nwatchdog: still running after %lu s%s%s%s\n", kWatchdogSeconds, test ? " in " : " outside the tests",
         test ? test->test_suite_name() : "", test ? (std::string(".") + test->name()).c_str() : "");
  fflush(stdout);
  TerminateProcess(GetCurrentProcess(), 124);
  return 0;
}
}  // namespace

int line_main(int argc, char** argv) {
  g_self = argv[0];
  // Unbuffered, so a run stopped by a time-out still shows how far it got.
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (HANDLE thread = CreateThread(nullptr, 0, watchdog, nullptr, 0, nullptr)) CloseHandle(thread);
  orvo::testing::report_crashes();
  ::testing::InitGoogleTest(&argc, argv);
  if (const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED); FAILED(hr)) {
    printf("CoInitializeEx failed: 0x%08lx\n", static_cast<unsigned long>(hr));
    return 2;
  }
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
