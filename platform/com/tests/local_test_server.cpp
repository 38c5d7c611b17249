// A local server for the tests of the COM layer's server-program half: one
// class that fires its events to vtable sinks, then to dispatch sinks.
#include <windows.h>

#include <iterator>

#include "com/connection_points.h"
#include "com/local_server.h"
#include "com/module.h"
#include "com/object.h"
#include "local_test_h.h"

namespace {

const GUID APPID_LocalTest = {0x0c51d1b4, 0x2e7a, 0x4f0b, {0x8e, 0x61, 0x3a, 0x9c, 0x55, 0xd0, 0xe1, 0x20}};

class CLocalEventSource : public orvo::com::object<CLocalEventSource, ILocalEventSource,
                                                   orvo::com::connection_point_container<CLocalEventSource>> {
 public:
  CLocalEventSource() noexcept
      : m_vtable_events(*this, IID_ILocalEvents), m_dispatch_events(*this, DIID__DLocalEvents, true) {}

  orvo::com::connection_point* find_connection_point(REFIID iid) noexcept {
    if (iid == IID_ILocalEvents) return &m_vtable_events;
    if (iid == DIID__DLocalEvents) return &m_dispatch_events;
    return nullptr;
  }
  std::vector<orvo::com::connection_point*> connection_point_list() { return {&m_vtable_events, &m_dispatch_events}; }

  STDMETHODIMP Fire(LONG value) override {
    for (auto& sink : m_vtable_events.sinks<ILocalEvents>()) sink->OnValue(value);
    for (auto& sink : m_dispatch_events.sinks<IDispatch>()) {
      VARIANT arg;
      VariantInit(&arg);
      arg.vt = VT_I4;
      arg.lVal = value;
      DISPPARAMS params{&arg, nullptr, 1, 0};
      sink->Invoke(1, IID_NULL, 0x400, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }
    return S_OK;
  }
  STDMETHODIMP get_ProcessId(LONG* id) override {
    if (!id) return E_POINTER;
    *id = static_cast<LONG>(GetCurrentProcessId());
    return S_OK;
  }

 private:
  orvo::com::connection_point m_vtable_events;
  orvo::com::connection_point m_dispatch_events;
};

const orvo::com::class_entry classes[] = {
    orvo::com::class_entry::of<CLocalEventSource>(CLSID_LocalEventSource, L"LocalEventSource Class",
                                                  L"OrvoTest.LocalEventSource", nullptr),
};
const orvo::com::local_server server{classes,          std::size(classes),           &APPID_LocalTest,
                                     L"OrvoLocalTest", L"com_local_test_server.exe", true};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  orvo::com::module::set_instance(instance);
  HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (FAILED(hr)) return 1;
  hr = orvo::com::run_server_switch(server, command_line);
  CoUninitialize();
  return SUCCEEDED(hr) ? 0 : 2;
}
