// The server-program half of the COM layer, used as a client would use it:
// a test server program registers itself, COM starts it for an activation
// from this process, its events reach vtable and dispatch sinks here, and it
// ends by itself when the last reference goes.
#include <gtest/gtest.h>
#include <olectl.h>

#include <atomic>

#include "com/connection_points.h"
#include "com/enumerator.h"
#include "com/local_server.h"
#include "com/object.h"
#include "local_test_h.h"
#include "testing/com_test.h"

using orvo::com::ptr;
using namespace orvo::testing;

namespace {

const std::wstring server_program = windows_path(LOCAL_TEST_SERVER);
const std::wstring clsid_key = L"CLSID\\{0C51D1B4-2E7A-4F0B-8E61-3A9C55D0E110}";
const std::wstring appid_key = L"AppID\\{0C51D1B4-2E7A-4F0B-8E61-3A9C55D0E120}";
const std::wstring program_key = L"AppID\\com_local_test_server.exe";

class CValueSink : public orvo::com::object<CValueSink, ILocalEvents> {
 public:
  STDMETHODIMP OnValue(LONG value) override {
    last = value;
    ++calls;
    return S_OK;
  }
  std::atomic<LONG> last{0};
  std::atomic<int> calls{0};
};

// A sink that answers only IDispatch, as a script's sink does.
class CDispatchSink : public orvo::com::object<CDispatchSink, IDispatch> {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    if (id == 1 && params && params->cArgs == 1 && params->rgvarg[0].vt == VT_I4) {
      last = params->rgvarg[0].lVal;
      ++calls;
    }
    return S_OK;
  }
  std::atomic<LONG> last{0};
  std::atomic<int> calls{0};
};

ptr<IConnectionPoint> find_point(const ptr<ILocalEventSource>& source, REFIID iid) {
  ptr<IConnectionPointContainer> container;
  EXPECT_EQ(source.query(container), S_OK);
  ptr<IConnectionPoint> point;
  if (container) {
    EXPECT_EQ(container->FindConnectionPoint(iid, point.put()), S_OK);
  }
  return point;
}

}  // namespace

TEST(LocalServer, RegServerWritesTheClassTheAppIdAndTheProgramEntry) {
  ASSERT_EQ(run_program(L"\"" + server_program + L"\" /RegServer"), 0);
  const registry_dump keys = dump_registry(HKEY_CLASSES_ROOT, clsid_key);
  EXPECT_TRUE(keys.count(clsid_key + L"\\LocalServer32"));
  EXPECT_EQ(keys.at(clsid_key + L"\\:AppID"), L"1:{0C51D1B4-2E7A-4F0B-8E61-3A9C55D0E120}");
  EXPECT_EQ(dump_registry(HKEY_CLASSES_ROOT, appid_key).at(appid_key + L"\\:"), L"1:OrvoLocalTest");
  EXPECT_EQ(dump_registry(HKEY_CLASSES_ROOT, program_key).at(program_key + L"\\:AppID"),
            L"1:{0C51D1B4-2E7A-4F0B-8E61-3A9C55D0E120}");
}

TEST(LocalServer, EventsReachVtableAndDispatchSinksInTheClientProcess) {
  ptr<ILocalEventSource> source;
  ASSERT_EQ(
      CoCreateInstance(CLSID_LocalEventSource, nullptr, CLSCTX_LOCAL_SERVER, IID_ILocalEventSource, source.put_void()),
      S_OK);
  LONG server_pid = 0;
  ASSERT_EQ(source->get_ProcessId(&server_pid), S_OK);
  EXPECT_NE(static_cast<DWORD>(server_pid), GetCurrentProcessId());

  ptr<IConnectionPoint> vtable_point = find_point(source, IID_ILocalEvents);
  ptr<IConnectionPoint> dispatch_point = find_point(source, DIID__DLocalEvents);
  ASSERT_TRUE(vtable_point && dispatch_point);

  ptr<ILocalEvents> sink;
  ASSERT_EQ(CValueSink::make(sink), S_OK);
  auto* values = static_cast<CValueSink*>(sink.get());
  ptr<IDispatch> dispatch_sink;
  ASSERT_EQ(CDispatchSink::make(dispatch_sink), S_OK);
  auto* dispatched = static_cast<CDispatchSink*>(dispatch_sink.get());

  DWORD cookie = 0, dispatch_cookie = 0;
  ASSERT_EQ(vtable_point->Advise(sink.get(), &cookie), S_OK);
  ASSERT_EQ(dispatch_point->Advise(dispatch_sink.get(), &dispatch_cookie), S_OK);
  EXPECT_NE(cookie, 0u);

  ASSERT_EQ(source->Fire(42), S_OK);
  EXPECT_EQ(values->calls, 1);
  EXPECT_EQ(values->last, 42);
  EXPECT_EQ(dispatched->calls, 1);
  EXPECT_EQ(dispatched->last, 42);

  // A sink without the interface is refused; an unknown cookie is no connection.
  EXPECT_EQ(vtable_point->Advise(dispatch_sink.get(), &dispatch_cookie), CONNECT_E_CANNOTCONNECT);
  ASSERT_EQ(vtable_point->Unadvise(cookie), S_OK);
  EXPECT_EQ(vtable_point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(source->Fire(7), S_OK);
  EXPECT_EQ(values->calls, 1);
  EXPECT_EQ(dispatched->last, 7);

  // The server ends by itself once this process lets go of everything.
  HANDLE server = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(server_pid));
  ASSERT_NE(server, nullptr);
  vtable_point.reset();
  dispatch_point.reset();
  source.reset();
  EXPECT_EQ(WaitForSingleObject(server, 10000), WAIT_OBJECT_0);
  CloseHandle(server);
}

TEST(LocalServer, UnregServerRemovesEveryKeyItWrote) {
  ASSERT_EQ(run_program(L"\"" + server_program + L"\" -unregserver"), 0);
  EXPECT_TRUE(dump_registry(HKEY_CLASSES_ROOT, clsid_key).empty());
  EXPECT_TRUE(dump_registry(HKEY_CLASSES_ROOT, appid_key).empty());
  EXPECT_TRUE(dump_registry(HKEY_CLASSES_ROOT, program_key).empty());
}

TEST(ServerSwitch, IsReadAfterDashOrSlashInAnyCase) {
  using orvo::com::parse_server_switch;
  using orvo::com::server_switch;
  EXPECT_EQ(parse_server_switch(L"/RegServer"), server_switch::register_server);
  EXPECT_EQ(parse_server_switch(L"-regserver"), server_switch::register_server);
  EXPECT_EQ(parse_server_switch(L"x /UNREGSERVER"), server_switch::unregister_server);
  EXPECT_EQ(parse_server_switch(L"-Embedding"), server_switch::embedding);
  EXPECT_EQ(parse_server_switch(L"RegServer"), server_switch::none);
  EXPECT_EQ(parse_server_switch(L"/RegServerX"), server_switch::none);
  EXPECT_EQ(parse_server_switch(nullptr), server_switch::none);
}

TEST(ConnectionPoints, EnumerationListsThePointsAndTheConnectionsOfTheMoment) {
  ASSERT_EQ(run_program(L"\"" + server_program + L"\" /RegServer"), 0);
  ptr<ILocalEventSource> source;
  ASSERT_EQ(
      CoCreateInstance(CLSID_LocalEventSource, nullptr, CLSCTX_LOCAL_SERVER, IID_ILocalEventSource, source.put_void()),
      S_OK);
  ptr<IConnectionPointContainer> container;
  ASSERT_EQ(source.query(container), S_OK);
  ptr<IConnectionPoint> none;
  EXPECT_EQ(container->FindConnectionPoint(IID_IUnknown, none.put()), CONNECT_E_NOCONNECTION);

  ptr<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(points.put()), S_OK);
  IConnectionPoint* got[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(points->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  IID first{};
  got[0]->GetConnectionInterface(&first);
  EXPECT_EQ(first, IID_ILocalEvents);
  for (ULONG i = 0; i < fetched; ++i) got[i]->Release();

  ptr<IConnectionPoint> point = find_point(source, IID_ILocalEvents);
  ptr<ILocalEvents> sink;
  ASSERT_EQ(CValueSink::make(sink), S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(sink.get(), &cookie), S_OK);
  ptr<IEnumConnections> connections;
  ASSERT_EQ(point->EnumConnections(connections.put()), S_OK);
  ASSERT_EQ(point->Unadvise(cookie), S_OK);
  // The enumerator walks the connections as they were when it was made.
  CONNECTDATA data{};
  ASSERT_EQ(connections->Next(1, &data, nullptr), S_OK);
  EXPECT_EQ(data.dwCookie, cookie);
  data.pUnk->Release();
  EXPECT_EQ(connections->Next(1, &data, nullptr), S_FALSE);
  point.reset();
  connections.reset();
  container.reset();
  source.reset();
  EXPECT_EQ(run_program(L"\"" + server_program + L"\" /UnregServer"), 0);
}

TEST(Enumerator, ClonesKeepTheirOwnPositionOverOneSnapshot) {
  std::vector<LPOLESTR> names = {const_cast<LPOLESTR>(L"COM1"), const_cast<LPOLESTR>(L"COM2"),
                                 const_cast<LPOLESTR>(L"COM3")};
  ptr<IEnumString> e;
  ASSERT_EQ((orvo::com::enumerator<IEnumString, LPOLESTR, orvo::com::copy_string>::make_from(names, e)), S_OK);
  EXPECT_EQ(e->Skip(1), S_OK);
  ptr<IEnumString> clone;
  ASSERT_EQ(e->Clone(clone.put()), S_OK);
  LPOLESTR got[2] = {};
  ULONG fetched = 0;
  ASSERT_EQ(clone->Next(2, got, &fetched), S_OK);
  EXPECT_STREQ(got[0], L"COM2");
  EXPECT_STREQ(got[1], L"COM3");
  CoTaskMemFree(got[0]);
  CoTaskMemFree(got[1]);
  // Without a count of fetched items only one may be asked for.
  EXPECT_EQ(e->Next(2, got, nullptr), E_INVALIDARG);
  EXPECT_EQ(e->Skip(5), S_FALSE);
  EXPECT_EQ(e->Next(1, got, nullptr), S_FALSE);
  ASSERT_EQ(e->Reset(), S_OK);
  ASSERT_EQ(e->Next(1, got, nullptr), S_OK);
  EXPECT_STREQ(got[0], L"COM1");
  CoTaskMemFree(got[0]);
}
