#include "amplifier.h"

#include <oleauto.h>

#include <map>
#include <string>

#include "com/error.h"
#include "properties.h"

namespace stand_in {

namespace {

const wchar_t* const source = L"OrvoServer.OrvoAmplifier";

std::wstring flag(VARIANT_BOOL value) { return value != VARIANT_FALSE ? L"true" : L"false"; }

// The state a SetState argument gives, as its string: a state string as it
// is, a state object's AsString (the object is not kept).
HRESULT state_text(const VARIANT& argument, std::wstring& text) {
  const VARIANT* value = &argument;
  if (value->vt == (VT_VARIANT | VT_BYREF) && value->pvarVal) value = value->pvarVal;
  BSTR string = nullptr;
  IUnknown* object = nullptr;
  switch (value->vt) {
    case VT_BSTR:
      string = value->bstrVal;
      break;
    case VT_BSTR | VT_BYREF:
      string = *value->pbstrVal;
      break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      object = value->punkVal;
      break;
    case VT_DISPATCH | VT_BYREF:
    case VT_UNKNOWN | VT_BYREF:
      object = *value->ppunkVal;
      break;
    default:
      text = L"<not a state>";
      return orvo::com::set_error(E_INVALIDARG, source, L"The state is neither a state string nor a state object",
                                  IID_IOrvoAmplifier);
  }
  if (value->vt == VT_BSTR || value->vt == (VT_BSTR | VT_BYREF)) {
    text.assign(string ? string : L"", SysStringLen(string));
    return S_OK;
  }
  orvo::com::ptr<IAmplifierState> state;
  if (!object || FAILED(object->QueryInterface(IID_IAmplifierState, state.put_void()))) {
    text = L"<object>";
    return orvo::com::set_error(E_INVALIDARG, source, L"The state object offers no IAmplifierState",
                                IID_IOrvoAmplifier);
  }
  BSTR as_string = nullptr;
  const HRESULT hr = state->get_AsString(&as_string);
  if (SUCCEEDED(hr)) text.assign(as_string ? as_string : L"", SysStringLen(as_string));
  SysFreeString(as_string);
  return hr;
}

// The GlobalDeblock of a state object given to SetState; -1 for a string.
int given_deblock(const VARIANT& argument) {
  const VARIANT* value = &argument;
  if (value->vt == (VT_VARIANT | VT_BYREF) && value->pvarVal) value = value->pvarVal;
  IUnknown* object = value->vt == VT_DISPATCH || value->vt == VT_UNKNOWN                             ? value->punkVal
                     : value->vt == (VT_DISPATCH | VT_BYREF) || value->vt == (VT_UNKNOWN | VT_BYREF) ? *value->ppunkVal
                                                                                                     : nullptr;
  orvo::com::ptr<IAmplifierState> state;
  VARIANT_BOOL deblock = VARIANT_FALSE;
  if (!object || FAILED(object->QueryInterface(IID_IAmplifierState, state.put_void())) ||
      FAILED(state->get_GlobalDeblock(&deblock)))
    return -1;
  return deblock != VARIANT_FALSE ? 1 : 0;
}

}  // namespace

namespace {

// OnChange posted by SetState: a thread timer of the object's thread fires
// it once that thread's loop turns; the object's end drops it.
struct posted_change {
  CStandInAmplifier* amplifier;
  int deblock;
};
std::map<UINT_PTR, posted_change>& posted_changes() {
  static std::map<UINT_PTR, posted_change> changes;  // of the apartment's thread
  return changes;
}

void CALLBACK fire_posted_change(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  const auto found = posted_changes().find(id);
  if (found == posted_changes().end()) return;
  const posted_change change = found->second;
  posted_changes().erase(found);
  orvo::com::ptr<IOrvoAmplifier> alive(static_cast<IOrvoAmplifier*>(change.amplifier));
  change.amplifier->fire_change(VT_DISPATCH, change.deblock);
}

}  // namespace

CStandInAmplifier::CStandInAmplifier() noexcept : m_events(*this, DIID_IOrvoAmplifierEvents, true) {
  process_state& p = process();
  orvo::com::scoped_lock hold(p.lock);
  p.amplifier = this;
}

void CStandInAmplifier::post_change(int deblock) {
  const UINT_PTR id = SetTimer(nullptr, 0, 0, fire_posted_change);
  if (id)
    posted_changes()[id] = {this, deblock};
  else
    fire_change(VT_DISPATCH, deblock);
}

CStandInAmplifier::~CStandInAmplifier() {
  for (auto i = posted_changes().begin(); i != posted_changes().end();) {
    if (i->second.amplifier == this) {
      KillTimer(nullptr, i->first);
      i = posted_changes().erase(i);
    } else {
      ++i;
    }
  }
  process_state& p = process();
  orvo::com::scoped_lock hold(p.lock);
  if (p.amplifier == this) p.amplifier = nullptr;
}

HRESULT CStandInAmplifier::create(IUnknown* outer, REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  orvo::com::ptr<IOrvoAmplifier> live;
  {
    process_state& p = process();
    orvo::com::scoped_lock hold(p.lock);
    if (p.amplifier) live = orvo::com::ptr<IOrvoAmplifier>(static_cast<IOrvoAmplifier*>(p.amplifier));
  }
  if (!live) return object::create(outer, iid, out);
  if (outer) return CLASS_E_NOAGGREGATION;
  return live->QueryInterface(iid, out);
}

orvo::com::connection_point* CStandInAmplifier::find_connection_point(REFIID iid) noexcept {
  return iid == DIID_IOrvoAmplifierEvents ? &m_events : nullptr;
}

void CStandInAmplifier::fire(DISPID id, VARIANT* arguments, UINT count) {
  for (const auto& sink : m_events.sinks<IDispatch>()) {
    DISPPARAMS params{arguments, nullptr, count, 0};
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }
}

void CStandInAmplifier::fire_number_and_text(DISPID id, LONG number, const std::wstring& text) {
  VARIANT arguments[2];
  arguments[0].vt = VT_BSTR;
  arguments[0].bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  arguments[1].vt = VT_I4;
  arguments[1].lVal = number;
  fire(id, arguments, 2);
  VariantClear(&arguments[0]);
}

void CStandInAmplifier::fire_initialize(LONG success, const std::wstring& message) {
  fire_number_and_text(1, success, message);
}

HRESULT CStandInAmplifier::fire_change(VARTYPE type) { return fire_change(type, -1); }

HRESULT CStandInAmplifier::fire_change(VARTYPE type, int deblock) {
  orvo::com::ptr<IDispatch> state;
  const VARTYPE base = type & VT_TYPEMASK;
  if (base == VT_DISPATCH || base == VT_UNKNOWN || base == VT_VARIANT) {
    std::wstring text;
    {
      process_state& p = process();
      orvo::com::scoped_lock hold(p.lock);
      text = p.current.state;
    }
    const HRESULT hr = make_state(text, state.put());
    if (FAILED(hr)) return orvo::com::set_error(hr, source, L"No state object can be made from the state string");
    orvo::com::ptr<IAmplifierState> settable;
    if (deblock >= 0 && SUCCEEDED(state->QueryInterface(IID_IAmplifierState, settable.put_void())))
      settable->put_GlobalDeblock(deblock ? VARIANT_TRUE : VARIANT_FALSE);
  }
  IDispatch* dispatch = state.get();
  IUnknown* unknown = state.get();
  VARIANT argument, inner;
  VariantInit(&argument);
  VariantInit(&inner);
  argument.vt = type;
  switch (type) {
    case VT_VARIANT | VT_BYREF:  // a VARIANT holding the object by value
      inner.vt = VT_DISPATCH;
      inner.pdispVal = dispatch;
      argument.pvarVal = &inner;
      break;
    case VT_DISPATCH:
      argument.pdispVal = dispatch;
      break;
    case VT_UNKNOWN:
      argument.punkVal = unknown;
      break;
    case VT_DISPATCH | VT_BYREF:
      argument.ppdispVal = &dispatch;
      break;
    case VT_UNKNOWN | VT_BYREF:
      argument.ppunkVal = &unknown;
      break;
    case VT_I4:
      argument.lVal = 42;
      break;
    case VT_EMPTY:
    case VT_NULL:
      break;
    default:
      return orvo::com::set_error(E_INVALIDARG, source, L"OnChange is fired with objects, VT_I4, VT_EMPTY or VT_NULL");
  }
  // The argument borrows the state: the sinks take their own references.
  fire(2, &argument, 1);
  return S_OK;
}

void CStandInAmplifier::fire_impedance(LONG id, const VARIANT& values) {
  VARIANT arguments[2];
  VariantInit(&arguments[0]);
  VariantCopy(&arguments[0], const_cast<VARIANT*>(&values));
  arguments[1].vt = VT_I4;
  arguments[1].lVal = id;
  fire(3, arguments, 2);
  VariantClear(&arguments[0]);
}

void CStandInAmplifier::fire_impedance_end() { fire(4, nullptr, 0); }

void CStandInAmplifier::fire_error(LONG code, const std::wstring& description) {
  fire_number_and_text(5, code, description);
}

void CStandInAmplifier::fire_reset() { fire(6, nullptr, 0); }

STDMETHODIMP CStandInAmplifier::Reserved1() {
  log_call(L"Reserved1()");
  return E_NOTIMPL;
}
STDMETHODIMP CStandInAmplifier::Reserved2() {
  log_call(L"Reserved2()");
  return E_NOTIMPL;
}
STDMETHODIMP CStandInAmplifier::Reserved3() {
  log_call(L"Reserved3()");
  return E_NOTIMPL;
}

STDMETHODIMP CStandInAmplifier::Initialize(VARIANT_BOOL reset) {
  return orvo::com::guard(source, IID_IOrvoAmplifier, [&] {
    log_call(L"Initialize(" + flag(reset) + L")");
    const HRESULT hr = requested_failure(L"Initialize", IID_IOrvoAmplifier);
    if (FAILED(hr)) return hr;
    fire_initialize(1, L"");
    return fire_change(VT_DISPATCH);
  });
}

STDMETHODIMP CStandInAmplifier::SetState(VARIANT state, VARIANT_BOOL* applied) {
  if (!applied) return E_POINTER;
  return orvo::com::guard(source, IID_IOrvoAmplifier, [&] {
    std::wstring text;
    HRESULT hr = state_text(state, text);
    log_call(L"SetState(" + std::to_wstring(state.vt) + L", " + text + L")");
    if (FAILED(hr)) return hr;
    hr = requested_failure(L"SetState", IID_IOrvoAmplifier);
    if (FAILED(hr)) return hr;
    // A state string must load into a state object; the load's failure is
    // the call's.
    orvo::com::ptr<IDispatch> check;
    hr = make_state(text, check.put());
    if (FAILED(hr)) return orvo::com::set_error(hr, source, L"The state string is not valid", IID_IOrvoAmplifier);
    check.reset();
    bool answer = true, inside = false;
    {
      process_state& p = process();
      orvo::com::scoped_lock hold(p.lock);
      p.current.state = text;
      answer = p.current.applied;
      inside = p.current.change_inside_set_state;
    }
    *applied = answer ? VARIANT_TRUE : VARIANT_FALSE;
    // A state object's GlobalDeblock is not in its string: the fired state
    // keeps the one the object had.
    const int deblock = given_deblock(state);
    if (inside) return fire_change(VT_DISPATCH, deblock);
    post_change(deblock);
    return S_OK;
  });
}

STDMETHODIMP CStandInAmplifier::get_Properties(IDispatch** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return orvo::com::guard(source, IID_IOrvoAmplifier, [&] {
    log_call(L"Properties()");
    const HRESULT hr = requested_failure(L"Properties", IID_IOrvoAmplifier);
    if (FAILED(hr)) return hr;
    std::vector<property_item> items;
    {
      process_state& p = process();
      orvo::com::scoped_lock hold(p.lock);
      items = p.current.properties;
    }
    orvo::com::ptr<ICollection> collection;
    const HRESULT made = CServerProperties::make(collection, items);
    if (FAILED(made)) return made;
    return collection->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(value));
  });
}

STDMETHODIMP CStandInAmplifier::CheckImpedance(LONG id, VARIANT_BOOL on) {
  return orvo::com::guard(source, IID_IOrvoAmplifier, [&] {
    log_call(L"CheckImpedance(" + std::to_wstring(id) + L", " + flag(on) + L")");
    return requested_failure(L"CheckImpedance", IID_IOrvoAmplifier);
  });
}

STDMETHODIMP CStandInAmplifier::CanCheckImpedance(LONG id, VARIANT_BOOL* result) {
  if (!result) return E_POINTER;
  return orvo::com::guard(source, IID_IOrvoAmplifier, [&] {
    log_call(L"CanCheckImpedance(" + std::to_wstring(id) + L")");
    const HRESULT hr = requested_failure(L"CanCheckImpedance", IID_IOrvoAmplifier);
    *result = SUCCEEDED(hr) ? VARIANT_TRUE : VARIANT_FALSE;
    return hr;
  });
}

STDMETHODIMP CStandInAmplifier::ChangeSerialNumber(LONG old_number, LONG new_number) {
  return orvo::com::guard(source, IID_IOrvoAmplifier2, [&] {
    log_call(L"ChangeSerialNumber(" + std::to_wstring(old_number) + L", " + std::to_wstring(new_number) + L")");
    return requested_failure(L"ChangeSerialNumber", IID_IOrvoAmplifier2);
  });
}

STDMETHODIMP CStandInAmplifier::get_ID(LONG* value) {
  if (!value) return E_POINTER;
  *value = -1;
  return S_OK;
}

STDMETHODIMP CStandInAmplifier::get_Name(BSTR* value) {
  if (!value) return E_POINTER;
  *value = SysAllocString(L"Orvo System");
  return *value ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CStandInAmplifier::get_Parent(IDispatch** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return S_OK;
}

}  // namespace stand_in
