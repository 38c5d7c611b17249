// comet::variant_t: an owned VARIANT.
//
//   comet::variant_t v(42L);
//   short s = v.as<short>();            // VariantChangeType; raises com_error on failure
//   comet::bstr_t text = v.as<comet::bstr_t>();
//
// as<T>() takes the value as it is when the VARIANT already holds T's type,
// else converts a copy (VariantChangeTypeEx in the thread's locale, so
// "2,5" is two and a half under a German locale; no flags); a value that does not
// convert raises comet::com_error with the conversion's HRESULT
// (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW...). VT_BYREF values are followed.
#pragma once

#include <oaidl.h>
#include <oleauto.h>

#include "comet/bstr.h"
#include "comet/error.h"

namespace comet {

class variant_t {
 public:
  variant_t() noexcept { ::VariantInit(&m_v); }
  variant_t(const VARIANT& v);  // a copy
  variant_t(const variant_t& other) : variant_t(other.m_v) {}
  variant_t(variant_t&& other) noexcept : m_v(other.m_v) { ::VariantInit(&other.m_v); }
  ~variant_t() { ::VariantClear(&m_v); }
  variant_t& operator=(variant_t other) noexcept {
    std::swap(m_v, other.m_v);
    return *this;
  }

  variant_t(long value) noexcept : variant_t() { set(VT_I4, &VARIANT::lVal, value); }
  variant_t(int value) noexcept : variant_t(static_cast<long>(value)) {}
  variant_t(short value) noexcept : variant_t() { set(VT_I2, &VARIANT::iVal, value); }
  variant_t(unsigned char value) noexcept : variant_t() { set(VT_UI1, &VARIANT::bVal, value); }
  variant_t(double value) noexcept : variant_t() { set(VT_R8, &VARIANT::dblVal, value); }
  variant_t(bool value) noexcept : variant_t() {
    set(VT_BOOL, &VARIANT::boolVal, static_cast<VARIANT_BOOL>(value ? VARIANT_TRUE : VARIANT_FALSE));
  }
  variant_t(const wchar_t* text) : variant_t(bstr_t(text)) {}
  variant_t(bstr_t text) noexcept : variant_t() { set(VT_BSTR, &VARIANT::bstrVal, text.detach()); }
  // Holds a new reference to the object (null allowed).
  variant_t(IDispatch* object) noexcept : variant_t() { set_object(VT_DISPATCH, object); }
  variant_t(IUnknown* object) noexcept : variant_t() { set_object(VT_UNKNOWN, object); }

  VARTYPE type() const noexcept { return m_v.vt; }
  const VARIANT& get() const noexcept { return m_v; }
  VARIANT* in() noexcept { return &m_v; }
  // For [out] arguments: clears and hands out the slot.
  VARIANT* out() noexcept {
    ::VariantClear(&m_v);
    return &m_v;
  }
  VARIANT detach() noexcept {
    VARIANT v = m_v;
    ::VariantInit(&m_v);
    return v;
  }

  // A converted copy; raises com_error when the value does not convert.
  variant_t change_type(VARTYPE vt) const;
  template <class T>
  T as() const;

 private:
  template <class Field, class Value>
  void set(VARTYPE vt, Field VARIANT::*field, Value value) noexcept {
    m_v.vt = vt;
    m_v.*field = value;
  }
  void set_object(VARTYPE vt, IUnknown* object) noexcept {
    m_v.vt = vt;
    m_v.punkVal = object;
    if (object) object->AddRef();
  }
  VARIANT m_v;
};

template <>
long variant_t::as<long>() const;
template <>
int variant_t::as<int>() const;
template <>
short variant_t::as<short>() const;
template <>
unsigned char variant_t::as<unsigned char>() const;
template <>
double variant_t::as<double>() const;
template <>
bool variant_t::as<bool>() const;
template <>
bstr_t variant_t::as<bstr_t>() const;

}  // namespace comet
