#include "comet/variant.h"

namespace comet {

variant_t::variant_t(const VARIANT& v) : variant_t() { check(::VariantCopy(&m_v, const_cast<VARIANT*>(&v))); }

variant_t variant_t::change_type(VARTYPE vt) const {
  variant_t converted;
  // Numbers and dates read and write text in the thread's locale, as the
  // client shows them to its user. VT_BYREF sources are followed.
  check(::VariantChangeTypeEx(converted.in(), const_cast<VARIANT*>(&m_v), ::GetThreadLocale(), 0, vt));
  return converted;
}

namespace {
template <class T>
T take(const variant_t& v, VARTYPE vt, T VARIANT::*field) {
  if (v.type() == vt) return v.get().*field;
  return v.change_type(vt).get().*field;
}
}  // namespace

template <>
long variant_t::as<long>() const {
  return take(*this, VT_I4, &VARIANT::lVal);
}
template <>
int variant_t::as<int>() const {
  return static_cast<int>(as<long>());
}
template <>
short variant_t::as<short>() const {
  return take(*this, VT_I2, &VARIANT::iVal);
}
template <>
unsigned char variant_t::as<unsigned char>() const {
  return take(*this, VT_UI1, &VARIANT::bVal);
}
template <>
double variant_t::as<double>() const {
  return take(*this, VT_R8, &VARIANT::dblVal);
}
template <>
bool variant_t::as<bool>() const {
  return take(*this, VT_BOOL, &VARIANT::boolVal) != VARIANT_FALSE;
}
template <>
bstr_t variant_t::as<bstr_t>() const {
  if (m_v.vt == VT_BSTR) return bstr_t(m_v.bstrVal, ::SysStringLen(m_v.bstrVal));
  variant_t text = change_type(VT_BSTR);
  return bstr_t::attach(text.detach().bstrVal);
}

}  // namespace comet
