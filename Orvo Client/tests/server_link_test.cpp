// The link to the amplifier server, against the stand-in server registered
// in this build's prefix: in process (its DLL) and in a process of its own
// (its local server). Each suite registers its form and removes it again;
// a server that is not registered at all is looked up by ProgID and fails.
#include <objbase.h>
#include <oleauto.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "com/object.h"
#include "core/amplifier_memory_collection.h"
#include "core/state_string.h"
#include "error_report.h"
#include "registry/registry_key.h"
#include "server_link.h"
#include "stand_in_h.h"
#include "stand_in_forms.h"
#include "state_walk.h"
#include "test_states.h"
#include "testing/com_test.h"

using orvo::com::ptr;
using namespace orvo::impl;
using namespace orvo::testing;

namespace {

// States the client makes read their models from the capabilities library.
void use_capabilities() {
  orvo::registry::key::create(HKEY_LOCAL_MACHINE, L"Software\\Quarnell Limited\\Orvo")
      .write_string(L"Provider", windows_path(ORVO_CAPABILITIES));
}

// Every event as a line of its name and arguments; OnChange keeps the last
// state object it was given.
class CRecordingHandler : public IServerEventHandler {
 public:
  void OnInitialize(long success, BSTR message) override {
    events.push_back(L"OnInitialize " + std::to_wstring(success) + L" \"" + text(message) + L"\"");
  }
  void OnChange(const VARIANT& state) override {
    std::wstring line = L"OnChange vt=" + std::to_wstring(state.vt);
    IUnknown* object = nullptr;
    if (state.vt == VT_DISPATCH || state.vt == VT_UNKNOWN) object = state.punkVal;
    if (state.vt == (VT_DISPATCH | VT_BYREF) || state.vt == (VT_UNKNOWN | VT_BYREF)) object = *state.ppunkVal;
    if (state.vt == VT_I4) line += L" " + std::to_wstring(state.lVal);
    if (object) {
      last_state.reset();
      object->QueryInterface(IID_IAmplifierState, last_state.put_void());
      line += last_state ? L" state" : L" no state";
    }
    events.push_back(line);
  }
  void OnImpedance(long id, const VARIANT& values) override {
    std::wstring line = L"OnImpedance " + std::to_wstring(id) + L" vt=" + std::to_wstring(values.vt);
    if (values.vt == (VT_ARRAY | VT_VARIANT)) {
      LONG lower = 0, upper = -1;
      SafeArrayGetLBound(values.parray, 1, &lower);
      SafeArrayGetUBound(values.parray, 1, &upper);
      line += L" [" + std::to_wstring(lower) + L".." + std::to_wstring(upper) + L"]";
      for (LONG i = lower; i <= upper; ++i) {
        VARIANT element, byte;
        VariantInit(&element);
        VariantInit(&byte);
        SafeArrayGetElement(values.parray, &i, &element);
        VariantChangeType(&byte, &element, 0, VT_UI1);
        line += L" " + std::to_wstring(byte.bVal);
        VariantClear(&element);
      }
    }
    events.push_back(line);
  }
  void OnImpedanceEnd() override { events.push_back(L"OnImpedanceEnd"); }
  void OnError(long code, BSTR description) override {
    events.push_back(L"OnError " + std::to_wstring(code) + L" \"" + text(description) + L"\"");
  }
  void OnReset() override { events.push_back(L"OnReset"); }

  std::vector<std::wstring> events;
  ptr<IAmplifierState> last_state;

 private:
  static std::wstring text(BSTR b) { return std::wstring(b ? b : L"", SysStringLen(b)); }
};

// A sink of the test's own, counting its references, beside the link's.
class CCountingSink : public orvo::com::object<CCountingSink, IDispatch> {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    dispids.push_back(id);
    return S_OK;
  }
  std::vector<DISPID> dispids;
};

ULONG references(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

// The stand-in's control, its settings back at their first values, and a
// link with a recording handler, to connect once the test has set what it
// needs. The settings are put back again at the end.
struct session {
  session() : link(handler) {
    if (FAILED(CoCreateInstance(CLSID_StandInControl, nullptr, CLSCTX_ALL, IID_IStandInControl, control.put_void())) ||
        FAILED(control->Defaults()))
      throw std::runtime_error("the stand-in's control is not there");
  }
  ~session() {
    LONG id = 0;
    if (control) control->get_ProcessId(&id);
    link.disconnect();
    if (control) control->Defaults();
    control.reset();
    // A local server ends after its last object: the next session must not
    // meet it on its way out (its control in the old process, its server in
    // a new one).
    const DWORD pid = static_cast<DWORD>(id);
    if (pid && pid != GetCurrentProcessId()) {
      if (HANDLE server = OpenProcess(SYNCHRONIZE, FALSE, pid)) {
        WaitForSingleObject(server, 10000);
        CloseHandle(server);
      }
    }
  }
  void fail(const wchar_t* method, HRESULT code, const wchar_t* description) {
    BSTR name = SysAllocString(method);
    BSTR text = description ? SysAllocString(description) : nullptr;
    EXPECT_EQ(control->FailMethod(name, code, text), S_OK);
    SysFreeString(name);
    SysFreeString(text);
  }
  DWORD process_id() {
    LONG id = 0;
    EXPECT_EQ(control->get_ProcessId(&id), S_OK);
    return static_cast<DWORD>(id);
  }

  ptr<IStandInControl> control;
  CRecordingHandler handler;
  CServerLink link;
};

LONG count_of(IStandInControl* c, HRESULT (STDMETHODCALLTYPE IStandInControl::*get)(LONG*)) {
  LONG n = -1;
  EXPECT_EQ((c->*get)(&n), S_OK);
  return n;
}

std::wstring call_log(IStandInControl* c) {
  BSTR text = nullptr;
  EXPECT_EQ(c->get_CallLog(&text), S_OK);
  std::wstring result(text ? text : L"", SysStringLen(text));
  SysFreeString(text);
  return result;
}

VARIANT impedance_values() {
  SAFEARRAYBOUND bound{3, 1};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 1, &bound);
  VARIANT element;
  LONG i = 1;
  element.vt = VT_UI1;
  element.bVal = 10;
  SafeArrayPutElement(array, &i, &element);
  ++i;
  element.vt = VT_I4;
  element.lVal = 200;
  SafeArrayPutElement(array, &i, &element);
  ++i;
  element.vt = VT_BSTR;
  element.bstrVal = SysAllocString(L"30");
  SafeArrayPutElement(array, &i, &element);
  VariantClear(&element);
  VARIANT values;
  values.vt = VT_ARRAY | VT_VARIANT;
  values.parray = array;
  return values;
}

const wchar_t* const non_ascii = L"\u00dcberspannung \u2013 Kanal 3 \u00abFp1\u00bb";

// The bodies shared by both forms of the server.

void the_six_events_arrive_with_their_arguments(bool second_process) {
  in_sta([&] {
    session s;
    s.link.connect();
    EXPECT_EQ(s.process_id() != GetCurrentProcessId(), second_process);

    BSTR message = SysAllocString(L"Amplifier 2 not found");
    EXPECT_EQ(s.control->FireInitialize(0, message), S_OK);
    SysFreeString(message);
    // By reference as a VARIANT holding the object; in process also as a
    // reference to the object pointer itself (Wine cannot send that to another
    // process: the call fails with 0x800706E6).
    std::vector<LONG> types = {VT_DISPATCH, VT_UNKNOWN, VT_VARIANT | VT_BYREF};
    if (!second_process) types.insert(types.end(), {VT_DISPATCH | VT_BYREF, VT_UNKNOWN | VT_BYREF});
    types.insert(types.end(), {VT_EMPTY, VT_NULL, VT_I4});
    for (LONG type : types) EXPECT_EQ(s.control->FireChange(type), S_OK) << type;
    VARIANT values = impedance_values();
    EXPECT_EQ(s.control->FireImpedance(7, values), S_OK);
    VariantClear(&values);
    EXPECT_EQ(s.control->FireImpedanceEnd(), S_OK);
    BSTR description = SysAllocString(non_ascii);
    EXPECT_EQ(s.control->FireError(5, description), S_OK);
    SysFreeString(description);
    EXPECT_EQ(s.control->FireReset(), S_OK);

    std::vector<std::wstring> expected = {
        L"OnInitialize 1 \"\"", L"OnChange vt=9 state",  L"OnInitialize 0 \"Amplifier 2 not found\"",
        L"OnChange vt=9 state", L"OnChange vt=13 state",
        L"OnChange vt=9 state",  // the sink hands on the VARIANT a reference points to
    };
    if (!second_process) expected.insert(expected.end(), {L"OnChange vt=9 state", L"OnChange vt=13 state"});
    expected.insert(expected.end(), {
                                        L"OnChange vt=0",
                                        L"OnChange vt=1",
                                        L"OnChange vt=3 42",
                                        L"OnImpedance 7 vt=8204 [1..3] 10 200 30",
                                        L"OnImpedanceEnd",
                                        std::wstring(L"OnError 5 \"") + non_ascii + L"\"",
                                        L"OnReset",
                                    });
    EXPECT_EQ(s.handler.events, expected);
    EXPECT_EQ(call_log(s.control.get()), L"Initialize(false)\n");
  });
}

void a_state_object_crosses_by_value_both_ways(bool second_process) {
  in_sta([&] {
    session s;
    s.link.connect();
    const DWORD pid = s.process_id();

    use_capabilities();
    const std::wstring text = state_string_of(2);
    comet::com_ptr<IAmplifierState> mine = stable_state(text);
    const std::wstring sent = as_string(mine.get());
    VARIANT state;
    state.vt = VT_DISPATCH;
    state.pdispVal = mine.get();
    ASSERT_EQ(s.control->put_ChangeInsideSetState(VARIANT_TRUE), S_OK);
    VARIANT_BOOL applied = VARIANT_FALSE;
    ASSERT_EQ(s.link.server()->SetState(state, &applied), S_OK);
    EXPECT_EQ(applied, VARIANT_TRUE);
    EXPECT_EQ(call_log(s.control.get()), L"Initialize(false)\nSetState(9, " + sent + L")\n");
    ASSERT_TRUE(s.handler.last_state);
    EXPECT_NE(static_cast<IUnknown*>(s.handler.last_state.get()), static_cast<IUnknown*>(mine.get()));

    // The server's state object is the client's own copy: it answers after
    // the server has gone.
    s.link.disconnect();
    s.control.reset();
    if (second_process) {
      HANDLE server = OpenProcess(SYNCHRONIZE, FALSE, pid);
      ASSERT_NE(server, nullptr);
      EXPECT_EQ(WaitForSingleObject(server, 10000), WAIT_OBJECT_0);
      CloseHandle(server);
    }
    EXPECT_EQ(as_string(s.handler.last_state.get()), sent);
  });
}

void disconnecting_leaves_no_object_or_sink_behind(bool second_process) {
  in_sta([&] {
    session s;
    s.link.connect();
    EXPECT_EQ(count_of(s.control.get(), &IStandInControl::get_SinkCount), 1);

    // A second sink of the same object: both hear the events.
    ptr<IDispatch> counting;
    ASSERT_EQ(CCountingSink::make(counting), S_OK);
    ptr<IConnectionPointContainer> container;
    ASSERT_EQ(s.link.server()->QueryInterface(IID_IConnectionPointContainer, container.put_void()), S_OK);
    ptr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(DIID_IOrvoAmplifierEvents, point.put()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(counting.get(), &cookie), S_OK);
    EXPECT_EQ(count_of(s.control.get(), &IStandInControl::get_SinkCount), 2);
    EXPECT_EQ(s.control->FireReset(), S_OK);
    EXPECT_EQ(static_cast<CCountingSink*>(counting.get())->dispids, std::vector<DISPID>{6});
    EXPECT_EQ(s.handler.events.back(), L"OnReset");
    ASSERT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(references(counting.get()), 1u);
    point.reset();
    container.reset();

    // One object per process: a second creation gives the same object.
    CLSID server_class{};
    ASSERT_EQ(CLSIDFromProgID(server_progid, &server_class), S_OK);
    ptr<IUnknown> other;
    ASSERT_EQ(CoCreateInstance(server_class, nullptr, CLSCTX_ALL, IID_IUnknown, other.put_void()), S_OK);
    ptr<IUnknown> linked;
    s.link.server()->QueryInterface(IID_IUnknown, linked.put_void());
    EXPECT_EQ(other.get(), linked.get());
    linked.reset();

    s.link.disconnect();
    EXPECT_EQ(count_of(s.control.get(), &IStandInControl::get_SinkCount), 0);
    EXPECT_EQ(count_of(s.control.get(), &IStandInControl::get_ObjectCount), 1);
    other.reset();
    EXPECT_EQ(count_of(s.control.get(), &IStandInControl::get_ObjectCount), 0);
    (void)second_process;
  });
}

void a_failed_initialize_disconnects_and_raises_its_hresult() {
  in_sta([&] {
    session s;
    s.fail(L"Initialize", E_ACCESSDENIED, nullptr);
    try {
      s.link.connect();
      ADD_FAILURE() << "connected to a server whose Initialize failed";
    } catch (const comet::com_error& e) {
      EXPECT_EQ(e.hr(), E_ACCESSDENIED);
    }
    EXPECT_FALSE(s.link.connected());
    EXPECT_EQ(s.link.sink().m_dwEventCookie, CServerEventSink::not_advised);
    EXPECT_EQ(count_of(s.control.get(), &IStandInControl::get_ObjectCount), 0);
    EXPECT_TRUE(s.handler.events.empty());
  });
}

class InProcessServer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { register_stand_in(false); }
  static void TearDownTestSuite() { unregister_stand_in(); }
};

class LocalServer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { register_stand_in(true); }
  static void TearDownTestSuite() { unregister_stand_in(); }
};

}  // namespace

TEST(ServerLink, AnUnregisteredServerRaisesTheLookupsHresultAndHoldsNothing) {
  unregister_stand_in();
  CRecordingHandler handler;
  CServerLink link(handler);
  try {
    link.connect();
    FAIL() << "connected without a registered server";
  } catch (const comet::com_error& e) {
    EXPECT_EQ(e.hr(), static_cast<HRESULT>(0x800401F3));
  }
  EXPECT_FALSE(link.connected());
  EXPECT_EQ(link.sink().m_dwEventCookie, CServerEventSink::not_advised);
}

TEST(ServerLink, TheSinkAnswersTheEventInterfaceAndIDispatchOnly) {
  CRecordingHandler handler;
  CServerEventSink sink(handler);
  void* out = nullptr;
  EXPECT_EQ(sink.QueryInterface(DIID_IOrvoAmplifierEvents, &out), S_OK);
  EXPECT_EQ(out, static_cast<IDispatch*>(&sink));
  EXPECT_EQ(sink.QueryInterface(IID_IDispatch, &out), S_OK);
  EXPECT_EQ(sink.QueryInterface(__uuidof(Orvo::IAmplifier), &out), E_NOINTERFACE);
}

TEST_F(InProcessServer, TheSixEventsArriveWithTheirArguments) { the_six_events_arrive_with_their_arguments(false); }
TEST_F(LocalServer, TheSixEventsArriveWithTheirArguments) { the_six_events_arrive_with_their_arguments(true); }

TEST_F(InProcessServer, AStateObjectCrossesByValueBothWays) { a_state_object_crosses_by_value_both_ways(false); }
TEST_F(LocalServer, AStateObjectCrossesByValueBothWays) { a_state_object_crosses_by_value_both_ways(true); }

TEST_F(InProcessServer, DisconnectingLeavesNoObjectOrSinkBehind) {
  disconnecting_leaves_no_object_or_sink_behind(false);
}
TEST_F(LocalServer, DisconnectingLeavesNoObjectOrSinkBehind) { disconnecting_leaves_no_object_or_sink_behind(true); }

TEST_F(InProcessServer, AFailedInitializeDisconnectsAndRaisesItsHresult) {
  a_failed_initialize_disconnects_and_raises_its_hresult();
}

// Error information does not cross processes under Wine: the server's own
// description is shown in process.
TEST_F(InProcessServer, AFailedSetStateLogsTheServersDescriptionAsAnError) {
  in_sta([&] {
    session s;
    s.fail(L"SetState", E_FAIL, L"The amplifier is busy");
    s.link.connect();

    struct : CLogSink {
      void add_record(const std::wstring& text, int level, HRESULT code) override {
        records.push_back(text + L"|" + std::to_wstring(level) + L"|" + std::to_wstring(code));
      }
      void set_status_text(const std::wstring& text) override { status = text; }
      std::vector<std::wstring> records;
      std::wstring status;
    } log;
    auto send_state = [&] {
      VARIANT state;
      state.vt = VT_BSTR;
      state.bstrVal = SysAllocString(state_string_of(1).c_str());
      VARIANT_BOOL applied = VARIANT_FALSE;
      const HRESULT hr = s.link.server()->SetState(state, &applied);
      VariantClear(&state);
      if (FAILED(hr)) raise_server_IAmplifier(hr, s.link.server());
    };
    guarded(log, send_state);
    EXPECT_EQ(log.records, std::vector<std::wstring>{L"The amplifier is busy|3|" + std::to_wstring(E_FAIL)});
    // A server that does not vouch for its error information: the system's text.
    ASSERT_EQ(s.control->put_SupportsErrorInfo(VARIANT_FALSE), S_OK);
    guarded(log, send_state);
    wchar_t system[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(E_FAIL), 0, system, 512, nullptr);
    while (length && (system[length - 1] == L'\n' || system[length - 1] == L'\r')) --length;
    ASSERT_GT(length, 0u);
    EXPECT_EQ(log.records.back(), std::wstring(system, length) + L"|3|" + std::to_wstring(E_FAIL));
    EXPECT_EQ(log.status, L"An error occurred communicating with the Orvo System");
  });
}

TEST_F(InProcessServer, TheServerIsTheRootNodeAndListsItsProperties) {
  in_sta([&] {
    session s;
    BSTR name = SysAllocString(L"Channels");
    VARIANT value;
    value.vt = VT_I4;
    value.lVal = 32;
    ASSERT_EQ(s.control->AddProperty(name, value), S_OK);
    SysFreeString(name);
    s.link.connect();

    ptr<IIdentifier> root;
    ASSERT_EQ(s.link.server()->QueryInterface(IID_IIdentifier, root.put_void()), S_OK);
    LONG id = 0;
    EXPECT_EQ(root->get_ID(&id), S_OK);
    EXPECT_EQ(id, -1);

    std::vector<std::wstring> items;
    for_each_property(get_properties(s.link.server()).get(), [&](const comet::com_ptr<IProperty>& property) {
      BSTR n = nullptr;
      property->get_Name(&n);
      VARIANT v;
      VariantInit(&v);
      property->get_Value(&v);
      items.push_back(std::wstring(n, SysStringLen(n)) + L"=" + value_text(v));
      SysFreeString(n);
      VariantClear(&v);
    });
    EXPECT_EQ(items, (std::vector<std::wstring>{L"Server=Orvo Stand-in Server", L"Channels=32"}));

    // The second server interface and ISupportErrorInfo can be switched off.
    ptr<IUnknown> second;
    EXPECT_EQ(s.link.server()->QueryInterface(__uuidof(Orvo::IAmplifier2), second.put_void()), S_OK);
    ASSERT_EQ(s.control->put_OffersAmplifier2(VARIANT_FALSE), S_OK);
    ASSERT_EQ(s.control->put_SupportsErrorInfo(VARIANT_FALSE), S_OK);
    second.reset();
    EXPECT_EQ(s.link.server()->QueryInterface(__uuidof(Orvo::IAmplifier2), second.put_void()), E_NOINTERFACE);
    EXPECT_EQ(s.link.server()->QueryInterface(IID_ISupportErrorInfo, second.put_void()), E_NOINTERFACE);
  });
}

TEST_F(InProcessServer, TheStandInsFirstStateReadsBackAsItselfThroughTheStateItSends) {
  in_sta([&] {
    use_capabilities();
    session s;
    BSTR first = nullptr;
    ASSERT_EQ(s.control->get_State(&first), S_OK);
    const std::wstring text(first, SysStringLen(first));
    SysFreeString(first);
    s.link.connect();
    ASSERT_TRUE(s.handler.last_state);
    EXPECT_EQ(as_string(s.handler.last_state.get()), text);
  });
}

TEST_F(InProcessServer, TheStandInStartsFromItsSetStateAndChecksStateStrings) {
  in_sta([&] {
    use_capabilities();
    session s;
    const std::wstring start = as_string(stable_state(state_string_of(2)).get());
    comet::bstr_t start_text(start);
    ASSERT_EQ(s.control->put_State(start_text.in()), S_OK);
    ASSERT_EQ(s.control->put_Applied(VARIANT_FALSE), S_OK);
    ASSERT_EQ(s.control->put_ChangeInsideSetState(VARIANT_TRUE), S_OK);
    s.link.connect();
    ASSERT_TRUE(s.handler.last_state);
    EXPECT_EQ(as_string(s.handler.last_state.get()), start);

    const std::wstring one = as_string(stable_state(state_string_of(1)).get());
    VARIANT state;
    state.vt = VT_BSTR;
    state.bstrVal = SysAllocString(one.c_str());
    VARIANT_BOOL applied = VARIANT_TRUE;
    EXPECT_EQ(s.link.server()->SetState(state, &applied), S_OK);
    EXPECT_EQ(applied, VARIANT_FALSE);
    EXPECT_EQ(as_string(s.handler.last_state.get()), one);
    VariantClear(&state);

    // Neither a text that is no state string nor a number is a state.
    state.vt = VT_BSTR;
    state.bstrVal = SysAllocString(L"no state");
    EXPECT_EQ(s.link.server()->SetState(state, &applied), E_FAIL);
    VariantClear(&state);
    state.vt = VT_I4;
    state.lVal = 3;
    EXPECT_EQ(s.link.server()->SetState(state, &applied), E_INVALIDARG);
    EXPECT_EQ(call_log(s.control.get()),
              L"Initialize(false)\nSetState(8, " + one + L")\nSetState(8, no state)\nSetState(3, <not a state>)\n");
  });
}
