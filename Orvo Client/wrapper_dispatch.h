// CWrapperDispatch: the object handed to a page as window.external. It
// holds a reference to a target IDispatch and passes the four IDispatch
// calls on to it unchanged; without a target each returns E_UNEXPECTED.
//
//   orvo::com::ptr<IDispatch> external;
//   CWrapperDispatch::make(external, target);
#pragma once

#include <oaidl.h>

#include "com/object.h"
#include "com/ptr.h"

class CWrapperDispatch : public orvo::com::object<CWrapperDispatch, IDispatch> {
 public:
  static constexpr bool aggregatable = false;

  explicit CWrapperDispatch(IDispatch* target = nullptr) noexcept : m_target(target) {}
  static HRESULT make(orvo::com::ptr<IDispatch>& out, IDispatch* target) noexcept { return object::make(out, target); }

  // Replaces the target (null: none); the page keeps the same object.
  void set_target(IDispatch* target) noexcept { m_target = orvo::com::ptr<IDispatch>(target); }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  // Clears the out-pointer before anything else (E_POINTER without one).
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argument_error) override;

 private:
  orvo::com::ptr<IDispatch> m_target;
};
