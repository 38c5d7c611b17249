#include "control.h"

#include <oleauto.h>

#include <string>

#include "amplifier.h"
#include "com/error.h"
#include "process_state.h"

namespace stand_in {

namespace {

const wchar_t* const source = L"OrvoStandIn.Control";

std::wstring text_of(BSTR value) { return std::wstring(value ? value : L"", SysStringLen(value)); }

// Runs `change` on the settings under the process lock.
template <class F>
HRESULT change_settings(F&& change) noexcept {
  return orvo::com::guard(source, IID_IStandInControl, [&] {
    process_state& p = process();
    orvo::com::scoped_lock hold(p.lock);
    change(p.current);
    return S_OK;
  });
}

// Runs `fire` on the live amplifier object; without one the call fails.
template <class F>
HRESULT with_amplifier(F&& fire) noexcept {
  return orvo::com::guard(source, IID_IStandInControl, [&]() -> HRESULT {
    orvo::com::ptr<IOrvoAmplifier> held;
    CStandInAmplifier* amplifier = nullptr;
    {
      process_state& p = process();
      orvo::com::scoped_lock hold(p.lock);
      amplifier = p.amplifier;
      if (amplifier) held = orvo::com::ptr<IOrvoAmplifier>(static_cast<IOrvoAmplifier*>(amplifier));
    }
    if (!amplifier)
      return orvo::com::set_error(E_UNEXPECTED, source, L"No amplifier server object is alive", IID_IStandInControl);
    return fire(*amplifier);
  });
}

}  // namespace

STDMETHODIMP CStandInControl::FireInitialize(LONG success, BSTR message) {
  return with_amplifier([&](CStandInAmplifier& a) {
    a.fire_initialize(success, text_of(message));
    return S_OK;
  });
}
STDMETHODIMP CStandInControl::FireChange(LONG type) {
  return with_amplifier([&](CStandInAmplifier& a) { return a.fire_change(static_cast<VARTYPE>(type)); });
}
STDMETHODIMP CStandInControl::FireImpedance(LONG id, VARIANT values) {
  return with_amplifier([&](CStandInAmplifier& a) {
    a.fire_impedance(id, values);
    return S_OK;
  });
}
STDMETHODIMP CStandInControl::FireImpedanceEnd() {
  return with_amplifier([&](CStandInAmplifier& a) {
    a.fire_impedance_end();
    return S_OK;
  });
}
STDMETHODIMP CStandInControl::FireError(LONG code, BSTR description) {
  return with_amplifier([&](CStandInAmplifier& a) {
    a.fire_error(code, text_of(description));
    return S_OK;
  });
}
STDMETHODIMP CStandInControl::FireReset() {
  return with_amplifier([&](CStandInAmplifier& a) {
    a.fire_reset();
    return S_OK;
  });
}

STDMETHODIMP CStandInControl::get_State(BSTR* value) {
  if (!value) return E_POINTER;
  process_state& p = process();
  orvo::com::scoped_lock hold(p.lock);
  *value = SysAllocStringLen(p.current.state.data(), static_cast<UINT>(p.current.state.size()));
  return *value ? S_OK : E_OUTOFMEMORY;
}
STDMETHODIMP CStandInControl::put_State(BSTR value) {
  return change_settings([&](settings& s) { s.state = text_of(value); });
}
STDMETHODIMP CStandInControl::put_SupportsErrorInfo(VARIANT_BOOL value) {
  return change_settings([&](settings& s) { s.supports_error_info = value != VARIANT_FALSE; });
}
STDMETHODIMP CStandInControl::put_OffersAmplifier2(VARIANT_BOOL value) {
  return change_settings([&](settings& s) { s.offers_amplifier2 = value != VARIANT_FALSE; });
}
STDMETHODIMP CStandInControl::put_Applied(VARIANT_BOOL value) {
  return change_settings([&](settings& s) { s.applied = value != VARIANT_FALSE; });
}
STDMETHODIMP CStandInControl::put_ChangeInsideSetState(VARIANT_BOOL value) {
  return change_settings([&](settings& s) { s.change_inside_set_state = value != VARIANT_FALSE; });
}
STDMETHODIMP CStandInControl::AddProperty(BSTR name, VARIANT value) {
  return change_settings([&](settings& s) { s.properties.push_back({text_of(name), held_variant(value)}); });
}
STDMETHODIMP CStandInControl::ClearProperties() {
  return change_settings([&](settings& s) { s.properties.clear(); });
}
STDMETHODIMP CStandInControl::FailMethod(BSTR method, LONG code, BSTR description) {
  return change_settings([&](settings& s) {
    if (SUCCEEDED(code))
      s.failures.erase(text_of(method));
    else
      s.failures[text_of(method)] = failure{code, text_of(description)};
  });
}
STDMETHODIMP CStandInControl::Defaults() {
  return orvo::com::guard(source, IID_IStandInControl, [&] {
    settings first = default_settings();
    process_state& p = process();
    orvo::com::scoped_lock hold(p.lock);
    p.current = std::move(first);
    p.call_log.clear();
    return S_OK;
  });
}

STDMETHODIMP CStandInControl::get_CallLog(BSTR* value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return orvo::com::guard(source, IID_IStandInControl, [&] {
    std::wstring text;
    process_state& p = process();
    orvo::com::scoped_lock hold(p.lock);
    for (const std::wstring& line : p.call_log) text += line + L"\n";
    *value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *value ? S_OK : E_OUTOFMEMORY;
  });
}
STDMETHODIMP CStandInControl::get_ObjectCount(LONG* value) {
  if (!value) return E_POINTER;
  process_state& p = process();
  orvo::com::scoped_lock hold(p.lock);
  *value = p.objects;
  return S_OK;
}
STDMETHODIMP CStandInControl::get_SinkCount(LONG* value) {
  if (!value) return E_POINTER;
  process_state& p = process();
  orvo::com::scoped_lock hold(p.lock);
  *value = p.amplifier ? static_cast<LONG>(p.amplifier->sink_count()) : 0;
  return S_OK;
}
STDMETHODIMP CStandInControl::get_ProcessId(LONG* value) {
  if (!value) return E_POINTER;
  *value = static_cast<LONG>(GetCurrentProcessId());
  return S_OK;
}

}  // namespace stand_in
