// comet::safearray_t<T>: an owned one-dimensional SAFEARRAY of T
// (VARIANT, BSTR, long, short, unsigned char or double).
//
//   comet::safearray_t<VARIANT> values(16);        // bounds 0..15
//   values.set(0, comet::variant_t(7L).get());
//   comet::variant_t first = values.at(0);
//
// Element access goes through SafeArrayGetElement/SafeArrayPutElement, so
// an index outside the bounds raises comet::com_error (DISP_E_BADINDEX)
// and elements come back as copies owned by the caller.
#pragma once

#include <oleauto.h>

#include <utility>

#include "comet/error.h"
#include "comet/variant.h"

namespace comet {

namespace detail {
template <VARTYPE t_vt, class Value>
struct element_is {
  static constexpr VARTYPE vt = t_vt;
  using value = Value;
};
template <class T>
struct element;
template <>
struct element<VARIANT> : element_is<VT_VARIANT, variant_t> {};
template <>
struct element<BSTR> : element_is<VT_BSTR, bstr_t> {};
template <>
struct element<long> : element_is<VT_I4, long> {};
template <>
struct element<short> : element_is<VT_I2, short> {};
template <>
struct element<unsigned char> : element_is<VT_UI1, unsigned char> {};
template <>
struct element<double> : element_is<VT_R8, double> {};
}  // namespace detail

template <class T>
class safearray_t {
 public:
  using value_type = typename detail::element<T>::value;
  static constexpr VARTYPE vt = detail::element<T>::vt;

  safearray_t() noexcept = default;
  // `count` empty elements from index `lower` on; raises E_OUTOFMEMORY.
  explicit safearray_t(ULONG count, LONG lower = 0) : m_array(::SafeArrayCreateVector(vt, lower, count)) {
    if (!m_array) raise(E_OUTOFMEMORY);
  }
  // A copy of an array of this element type (E_INVALIDARG for another type
  // or more than one dimension; a null array gives an empty wrapper).
  static safearray_t copy_of(const SAFEARRAY* array) {
    safearray_t copy;
    if (!array) return copy;
    VARTYPE type = VT_EMPTY;
    check(::SafeArrayGetVartype(const_cast<SAFEARRAY*>(array), &type));
    if (type != vt || ::SafeArrayGetDim(const_cast<SAFEARRAY*>(array)) != 1) raise(E_INVALIDARG);
    check(::SafeArrayCopy(const_cast<SAFEARRAY*>(array), &copy.m_array));
    return copy;
  }
  safearray_t(const safearray_t& other) : safearray_t(copy_of(other.m_array)) {}
  safearray_t(safearray_t&& other) noexcept : m_array(std::exchange(other.m_array, nullptr)) {}
  ~safearray_t() {
    if (m_array) ::SafeArrayDestroy(m_array);
  }
  safearray_t& operator=(safearray_t other) noexcept {
    std::swap(m_array, other.m_array);
    return *this;
  }

  SAFEARRAY* get() const noexcept { return m_array; }
  SAFEARRAY* detach() noexcept { return std::exchange(m_array, nullptr); }

  LONG lower_bound() const { return bound(&::SafeArrayGetLBound); }
  LONG upper_bound() const { return bound(&::SafeArrayGetUBound); }
  ULONG size() const { return m_array ? static_cast<ULONG>(upper_bound() - lower_bound() + 1) : 0; }

  value_type at(LONG index) const {
    if (!m_array) raise(DISP_E_BADINDEX);
    if constexpr (vt == VT_VARIANT) {
      variant_t v;
      check(::SafeArrayGetElement(m_array, &index, v.out()));
      return v;
    } else if constexpr (vt == VT_BSTR) {
      BSTR s = nullptr;
      check(::SafeArrayGetElement(m_array, &index, &s));
      return bstr_t::attach(s);
    } else {
      value_type v{};
      check(::SafeArrayGetElement(m_array, &index, &v));
      return v;
    }
  }
  void set(LONG index, const value_type& value) {
    if (!m_array) raise(DISP_E_BADINDEX);
    if constexpr (vt == VT_VARIANT) {
      check(::SafeArrayPutElement(m_array, &index, const_cast<VARIANT*>(&value.get())));
    } else if constexpr (vt == VT_BSTR) {
      check(::SafeArrayPutElement(m_array, &index, value.in()));
    } else {
      check(::SafeArrayPutElement(m_array, &index, const_cast<value_type*>(&value)));
    }
  }

 private:
  LONG bound(HRESULT(STDAPICALLTYPE* get)(SAFEARRAY*, UINT, LONG*)) const {
    LONG b = 0;
    if (!m_array) raise(E_POINTER);
    check(get(m_array, 1, &b));
    return b;
  }
  SAFEARRAY* m_array = nullptr;
};

}  // namespace comet
