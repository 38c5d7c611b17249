// orvo::com::dispatch<Dual, Bases...>: IDispatch of a dual interface, read
// from the type libraries embedded in the module (TYPELIB resource 1, see
// orvo_embed_typelib, and any numbered 2, 3, ... after it: a module that
// serves interfaces of other libraries embeds those too), for any COM
// class of the module.
//
//   class CThing : public orvo::com::object<CThing,
//                      orvo::com::dispatch<IThing2, IThing>, IOther> {
//    public:
//     STDMETHODIMP get_Size(LONG* size) override;   // the dual's methods only
//   };
//
// As an interface-list entry of orvo::com::object it answers, all with the
// one vtable of Dual: Dual, each of its base interfaces listed in Bases
// (so a client that asks for a base gets it) and IDispatch; and
// ISupportErrorInfo, which says S_OK for Dual and every listed base, so
// clients trust the error information a failed call published.
//
// GetIDsOfNames and Invoke go through DispGetIDsOfNames and DispInvoke over
// the dual's interface type information, which calls the vtable slots. When
// a slot fails and has published error information, Invoke fills the
// caller's EXCEPINFO from it (source, description, scode) and returns
// DISP_E_EXCEPTION, as automation clients (script engines) expect; the
// error information stays set for callers that read it themselves.
//
// The type libraries are loaded once per module (LoadTypeLibEx on the
// module's path, "path\N" for resource N; not registered) and each interface's type information is
// kept after its first use; both are shared by all threads.
#pragma once

#include <objbase.h>
#include <oaidl.h>

#include "ptr.h"

namespace orvo::com {

// The interface (vtable) type information of a dual or plain interface
// from this module's embedded type libraries.
HRESULT embedded_type_info(REFIID iid, ITypeInfo** out) noexcept;

// GetIDsOfNames and Invoke of `self`, an interface described by `iid` in
// the embedded type library.
HRESULT dispatch_ids_of_names(REFIID iid, REFIID riid, LPOLESTR* names, UINT count, DISPID* ids) noexcept;
HRESULT dispatch_invoke(REFIID iid, void* self, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argument_error) noexcept;

template <class Dual, class... Bases>
class dispatch : public Dual, public ISupportErrorInfo {
 public:
  using dual_type = Dual;

  // What orvo::com::object asks each entry: the interface it answers for iid.
  void* find_interface(REFIID iid) noexcept {
    if (answers(iid) || iid == IID_IDispatch) return static_cast<Dual*>(this);
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
  }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return embedded_type_info(__uuidof(Dual), out);
  }
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return dispatch_ids_of_names(__uuidof(Dual), riid, names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argument_error) override {
    return dispatch_invoke(__uuidof(Dual), static_cast<Dual*>(this), id, riid, flags, params, result, exception,
                           argument_error);
  }
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return answers(iid) ? S_OK : S_FALSE; }

 private:
  static bool answers(REFIID iid) noexcept { return iid == __uuidof(Dual) || ((iid == __uuidof(Bases)) || ...); }
};

}  // namespace orvo::com
