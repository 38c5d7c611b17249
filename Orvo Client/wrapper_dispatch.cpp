#include "wrapper_dispatch.h"

STDMETHODIMP CWrapperDispatch::GetTypeInfoCount(UINT* count) {
  if (!m_target) return E_UNEXPECTED;
  return m_target->GetTypeInfoCount(count);
}

STDMETHODIMP CWrapperDispatch::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (!m_target) return E_UNEXPECTED;
  return m_target->GetTypeInfo(index, locale, info);
}

STDMETHODIMP CWrapperDispatch::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
  if (!m_target) return E_UNEXPECTED;
  return m_target->GetIDsOfNames(iid, names, count, locale, ids);
}

STDMETHODIMP CWrapperDispatch::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                      VARIANT* result, EXCEPINFO* exception, UINT* argument_error) {
  if (!m_target) return E_UNEXPECTED;
  return m_target->Invoke(id, iid, locale, flags, params, result, exception, argument_error);
}
