// external_dispatch: an IDispatch whose names, DISPIDs and handlers are
// registered at run time (the About page's window.external).
//
//   orvo::com::ptr<IDispatch> external;
//   external_dispatch* names = external_dispatch::make(external);
//   names->add_method(L"DoClose", [&] { close(); });          // DISPID 100000
//   names->add_getter(L"Version", [&] { return version; });   // DISPID 100001
//
// DISPIDs count from 100000 in the order names are first registered; a
// name registered again keeps its first DISPID. Invoke chooses the handler
// by DISPID, kind of call and number of positional arguments (at most
// four): an unknown DISPID gives DISP_E_MEMBERNOTFOUND, a known one without
// a handler of that kind and count DISP_E_BADPARAMCOUNT, named arguments
// (other than the value of a property put) DISP_E_NONAMEDARGS. A call made
// as method and property get at once goes to the method when there is one.
// An exception from a handler becomes its HRESULT (E_FAIL when it carries
// none) with error information holding its text.
#pragma once

#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

#include "com/object.h"
#include "com/ptr.h"

namespace Orvo {

class external_dispatch : public orvo::com::object<external_dispatch, IDispatch> {
 public:
  static constexpr bool aggregatable = false;
  static constexpr DISPID first_dispid = 100000;
  static constexpr unsigned max_arguments = 4;

  enum class kind { method, getter };
  // Positional arguments in call order; the result is written for getters.
  using handler = std::function<void(const std::vector<VARIANT*>& arguments, VARIANT* result)>;

  // A new object held by `out`; the returned pointer stays valid while `out` holds it.
  static external_dispatch* make(orvo::com::ptr<IDispatch>& out);

  DISPID add(const std::wstring& name, kind what, unsigned argument_count, handler body);
  DISPID add_method(const std::wstring& name, std::function<void()> body);
  DISPID add_getter(const std::wstring& name, std::function<std::wstring()> body);
  // Drops every handler (names and DISPIDs stay known).
  void clear_handlers() noexcept;

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argument_error) override;

 private:
  struct entry {
    DISPID id;
    kind what;
    unsigned argument_count;
    handler body;
  };
  DISPID id_of(const std::wstring& name);
  const entry* find(DISPID id, kind what, unsigned argument_count) const noexcept;

  std::vector<std::pair<std::wstring, DISPID>> m_names;
  std::vector<entry> m_entries;
};

}  // namespace Orvo
