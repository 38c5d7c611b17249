#include "event_source.h"

HRESULT CSinkTestSource::fire(DISPID dispid, VARIANT* args, UINT count) {
  HRESULT result = S_OK;
  for (auto& sink : m_events.sinks<IDispatch>()) {
    DISPPARAMS params{args, nullptr, count, 0};
    const HRESULT hr = sink->Invoke(dispid, IID_NULL, 0x400, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    if (FAILED(hr)) result = hr;
  }
  return result;
}

STDMETHODIMP CSinkTestSource::FireLevel(LONG level, LONG* result) {
  if (!result) return E_POINTER;
  VARIANT arg;
  ::VariantInit(&arg);
  arg.vt = VT_I4;
  arg.lVal = level;
  *result = fire(1, &arg, 1);
  return S_OK;
}

STDMETHODIMP CSinkTestSource::FireVote(VARIANT_BOOL byVariant, VARIANT_BOOL* vote) {
  if (!vote) return E_POINTER;
  *vote = VARIANT_FALSE;
  // Either a VT_BYREF | VT_BOOL, or (as scripts pass it) a VT_BYREF |
  // VT_VARIANT pointing at a VT_BOOL.
  VARIANT inner;
  ::VariantInit(&inner);
  inner.vt = VT_BOOL;
  inner.boolVal = VARIANT_FALSE;
  VARIANT arg;
  ::VariantInit(&arg);
  if (byVariant) {
    arg.vt = VT_BYREF | VT_VARIANT;
    arg.pvarVal = &inner;
  } else {
    arg.vt = VT_BYREF | VT_BOOL;
    arg.pboolVal = vote;
  }
  const HRESULT hr = fire(2, &arg, 1);
  if (byVariant) *vote = inner.boolVal;
  return hr;
}

STDMETHODIMP CSinkTestSource::FireText(BSTR text) {
  VARIANT args[2];
  ::VariantInit(&args[0]);
  ::VariantInit(&args[1]);
  args[1].vt = VT_BSTR;  // DISPPARAMS: the last argument first
  args[1].bstrVal = text;
  args[0].vt = VT_I4;
  args[0].lVal = static_cast<LONG>(::GetCurrentProcessId());
  return fire(3, args, 2);
}

STDMETHODIMP CSinkTestSource::get_ProcessId(LONG* id) {
  if (!id) return E_POINTER;
  *id = static_cast<LONG>(::GetCurrentProcessId());
  return S_OK;
}
