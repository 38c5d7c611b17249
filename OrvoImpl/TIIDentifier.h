// TIIDentifier: the automation half shared by every node: the COM object
// over the node's dual interface (IDispatch from the embedded type library,
// ISupportErrorInfo), IIdentifier's ID, Name and Parent, and Call(), which
// runs a method's body and turns any exception into the method's HRESULT
// with error information, so that nothing is thrown across the boundary.
#pragma once

#include "ECOMException.h"
#include "TCOMInterfacedObject.h"
#include "AutomationValues.h"
#include "OrvoImpl_h.h"
#include "com/dispatch.h"
#include "com/object.h"

namespace orvo::impl {

template <class Derived, class Dispatch, class... Extra>
class TIIDentifier : public com::object<Derived, Dispatch, TCOMInterfacedObject, Extra...> {
 public:
  using dual_type = typename Dispatch::dual_type;

  STDMETHODIMP get_ID(LONG* value) override {
    if (!value) return E_POINTER;
    *value = this->ID();
    return S_OK;
  }
  STDMETHODIMP get_Name(BSTR* value) override {
    if (!value) return E_POINTER;
    *value = nullptr;
    return Call([&] {
      *value = comet::bstr_t(this->Name()).detach();
      return S_OK;
    });
  }
  // The holder of the node. A node without one fails.
  STDMETHODIMP get_Parent(IDispatch** value) override {
    if (!value) return E_POINTER;
    *value = nullptr;
    return Call([&] {
      TCOMInterfacedObject* parent = this->Parent();
      if (!parent) RaiseError(L"Internal object not assiged.", L"Get_Parent");
      IDispatch* dispatch = parent->NodeDispatch();
      if (!dispatch) RaiseError(L"Object has no parent", L"Get_Object");
      dispatch->AddRef();
      *value = dispatch;
      return S_OK;
    });
  }

  IDispatch* NodeDispatch() noexcept override { return static_cast<dual_type*>(this); }

 protected:
  TIIDentifier(TCOMInterfacedObject* parent, ObjectID id, std::wstring name) {
    this->Init(parent, id, std::move(name));
  }

  template <class F>
  HRESULT Call(F&& body) noexcept {
    try {
      return body();
    } catch (...) {
      return ReportException(__uuidof(dual_type));
    }
  }
};

}  // namespace orvo::impl
