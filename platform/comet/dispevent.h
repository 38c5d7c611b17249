// comet::IDispEventImpl: an event sink for a source's dispinterface.
//
//   class CMainFrame : ...,
//       public comet::IDispEventImpl<170, CMainFrame, &DIID_IOrvoAmplifierEvents, &LIBID_OrvoServer, 1, 0> {
//    public:
//     HRESULT OnChange(VARIANT state);
//     void OnImpedanceEnd();
//     static constexpr comet::sink_entry<CMainFrame> sink_map[] = {
//         comet::sink<170, 2, &CMainFrame::OnChange>(),
//         comet::sink<170, 4, &CMainFrame::OnImpedanceEnd>(),
//     };
//   };
//   DispEventAdvise(server);     // ... DispEventUnadvise(server);
//
// The sink is part of its owner (AddRef and Release count nothing); it
// answers IUnknown, IDispatch and the dispinterface. Invoke finds the
// entry of this sink id and dispatch id; an event without an entry is
// accepted and ignored. Each argument is first coerced to the type the
// source's registered type library declares for it (VariantChangeType),
// a by-reference VARIANT is followed to the VARIANT it points to, and the
// value is then handed to the handler as the C++ type of its parameter:
// long, int, short, unsigned char, double, bool, BSTR, IDispatch*,
// IUnknown*, VARIANT (by value, const& or pointer), or a pointer to a
// by-reference argument (VARIANT_BOOL*, long*, BSTR*), through which the
// handler writes back. VARIANT_BOOL is a short, so a short* parameter is
// taken as a VARIANT_BOOL reference. A handler returns HRESULT or nothing; an
// exception it lets out becomes DISP_E_EXCEPTION with its text.
#pragma once

#include <oaidl.h>
#include <ocidl.h>

#include <tuple>
#include <type_traits>
#include <utility>

#include "com/ptr.h"
#include "comet/error.h"

namespace comet {

template <class T>
struct sink_entry {
  UINT sink_id;
  DISPID dispid;
  HRESULT (*invoke)(T& owner, VARIANT* args, UINT count);  // args in declaration order
};

namespace detail {

// The VARIANT an argument of C++ type A is taken from, and how.
template <class A, class = void>
struct argument;

template <VARTYPE t_vt, class A, A VARIANT::*t_field>
struct by_value {
  static constexpr VARTYPE vt = t_vt;
  static A get(VARIANT& v) { return v.*t_field; }
};
template <VARTYPE t_vt, class A, A VARIANT::*t_field>
struct by_reference {
  static constexpr VARTYPE vt = t_vt | VT_BYREF;
  static A get(VARIANT& v) { return v.*t_field; }
};

template <>
struct argument<long> : by_value<VT_I4, LONG, &VARIANT::lVal> {};
template <>
struct argument<int> : by_value<VT_I4, LONG, &VARIANT::lVal> {};
template <>
struct argument<short> : by_value<VT_I2, SHORT, &VARIANT::iVal> {};
template <>
struct argument<unsigned char> : by_value<VT_UI1, BYTE, &VARIANT::bVal> {};
template <>
struct argument<double> : by_value<VT_R8, DOUBLE, &VARIANT::dblVal> {};
template <>
struct argument<BSTR> : by_value<VT_BSTR, BSTR, &VARIANT::bstrVal> {};
template <>
struct argument<IDispatch*> : by_value<VT_DISPATCH, IDispatch*, &VARIANT::pdispVal> {};
template <>
struct argument<IUnknown*> : by_value<VT_UNKNOWN, IUnknown*, &VARIANT::punkVal> {};
template <>
struct argument<VARIANT_BOOL*> : by_reference<VT_BOOL, VARIANT_BOOL*, &VARIANT::pboolVal> {};
template <>
struct argument<LONG*> : by_reference<VT_I4, LONG*, &VARIANT::plVal> {};
template <>
struct argument<BSTR*> : by_reference<VT_BSTR, BSTR*, &VARIANT::pbstrVal> {};
template <>
struct argument<bool> {
  static constexpr VARTYPE vt = VT_BOOL;
  static bool get(VARIANT& v) { return v.boolVal != VARIANT_FALSE; }
};
// A VARIANT argument is passed as it arrived (after by-reference VARIANTs are followed).
template <>
struct argument<VARIANT> {
  static constexpr VARTYPE vt = VT_VARIANT;
  static VARIANT& get(VARIANT& v) { return v; }
};
template <>
struct argument<const VARIANT&> : argument<VARIANT> {};
template <>
struct argument<VARIANT*> {
  static constexpr VARTYPE vt = VT_VARIANT;
  static VARIANT* get(VARIANT& v) { return &v; }
};

// Readies args[i] for argument type A: a value of another type is converted
// in place; a by-reference argument must arrive as exactly that reference.
HRESULT prepare(VARIANT& arg, VARTYPE vt) noexcept;

template <class F>
struct handler_traits;
template <class T, class R, class... A>
struct handler_traits<R (T::*)(A...)> {
  using owner = T;
  using result = R;
  using arguments = std::tuple<A...>;
};

template <auto F, size_t... I>
HRESULT call(typename handler_traits<decltype(F)>::owner& owner, VARIANT* args, std::index_sequence<I...>) {
  using traits = handler_traits<decltype(F)>;
  using arguments = typename traits::arguments;
  HRESULT hr = S_OK;
  ((SUCCEEDED(hr) ? (hr = prepare(args[I], argument<std::tuple_element_t<I, arguments>>::vt), 0) : 0), ...);
  if (FAILED(hr)) return hr;
  if constexpr (std::is_void_v<typename traits::result>) {
    (owner.*F)(argument<std::tuple_element_t<I, arguments>>::get(args[I])...);
    return S_OK;
  } else {
    return (owner.*F)(argument<std::tuple_element_t<I, arguments>>::get(args[I])...);
  }
}

// Finds the function `dispid` of dispinterface `diid` in the registered
// type library and coerces the arguments (in declaration order) to its
// parameter types.
HRESULT coerce(const GUID& libid, WORD major, WORD minor, const IID& diid, DISPID dispid, VARIANT* args, UINT count,
               UINT* badArgument) noexcept;

// Advises and unadvises a sink on a source's connection point.
HRESULT advise(IUnknown* source, const IID& iid, IUnknown* sink, DWORD* cookie) noexcept;
HRESULT unadvise(IUnknown* source, const IID& iid, DWORD* cookie) noexcept;
void exception_to(EXCEPINFO* info) noexcept;

// The arguments of an Invoke in declaration order: values copied, references
// kept, and a by-reference VARIANT replaced by a reference to its content.
HRESULT load(const DISPPARAMS& params, VARIANT* args) noexcept;
void release(VARIANT* args, UINT count) noexcept;

}  // namespace detail

// One sink-map entry: dispatch id `dispid` of sink `t_sink_id` calls F.
template <UINT t_sink_id, DISPID t_dispid, auto F>
constexpr sink_entry<typename detail::handler_traits<decltype(F)>::owner> sink() {
  using traits = detail::handler_traits<decltype(F)>;
  constexpr size_t n = std::tuple_size_v<typename traits::arguments>;
  return {t_sink_id, t_dispid, [](typename traits::owner& owner, VARIANT* args, UINT count) -> HRESULT {
            if (count != n) return DISP_E_BADPARAMCOUNT;
            return detail::call<F>(owner, args, std::make_index_sequence<n>{});
          }};
}

template <UINT t_sink_id, class T, const IID* t_diid, const GUID* t_libid, WORD t_major, WORD t_minor>
class IDispEventImpl : public IDispatch {
 public:
  static constexpr DWORD not_advised = 0xFEFEFEFE;
  DWORD m_dwEventCookie = not_advised;

  IDispEventImpl() = default;
  IDispEventImpl(const IDispEventImpl&) = delete;
  IDispEventImpl& operator=(const IDispEventImpl&) = delete;

  // E_INVALIDARG without a source, E_FAIL when already advised.
  HRESULT DispEventAdvise(IUnknown* source, const IID* iid = t_diid) noexcept {
    if (!source) return E_INVALIDARG;
    if (m_dwEventCookie != not_advised) return E_FAIL;
    DWORD cookie = 0;
    HRESULT hr = detail::advise(source, *iid, static_cast<IDispatch*>(this), &cookie);
    if (SUCCEEDED(hr)) m_dwEventCookie = cookie;
    return hr;
  }
  HRESULT DispEventUnadvise(IUnknown* source, const IID* iid = t_diid) noexcept {
    if (m_dwEventCookie == not_advised) return S_FALSE;
    if (!source) return E_INVALIDARG;
    HRESULT hr = detail::unadvise(source, *iid, &m_dwEventCookie);
    m_dwEventCookie = not_advised;
    return hr;
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = (iid == IID_IUnknown || iid == IID_IDispatch || iid == *t_diid) ? static_cast<IDispatch*>(this) : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                      UINT* badArgument) override {
    const sink_entry<T>* entry = nullptr;
    for (const auto& e : T::sink_map) {
      if (e.sink_id == t_sink_id && e.dispid == dispid) entry = &e;
    }
    if (!entry) return S_OK;
    const UINT count = params ? params->cArgs : 0;
    if (count > 16) return DISP_E_BADPARAMCOUNT;
    VARIANT args[16];
    HRESULT hr = detail::load(*params, args);
    if (SUCCEEDED(hr)) hr = detail::coerce(*t_libid, t_major, t_minor, *t_diid, dispid, args, count, badArgument);
    if (SUCCEEDED(hr)) {
      try {
        hr = entry->invoke(static_cast<T&>(*this), args, count);
      } catch (...) {
        detail::exception_to(exception);
        hr = DISP_E_EXCEPTION;
      }
    }
    detail::release(args, count);
    if (result) ::VariantInit(result);
    return hr;
  }
};

}  // namespace comet
