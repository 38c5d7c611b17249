// BSTR and VARIANT conversions of the state model. Numbers are converted
// to and from text with the invariant locale, so a value means the same
// under every user locale.
#pragma once

#include <objbase.h>
#include <oaidl.h>

#include <string>

namespace orvo::impl {

// A new BSTR holding text; throws std::bad_alloc when none can be made.
BSTR NewBSTR(const std::wstring& text);
// The text of a BSTR (a null BSTR is the empty text).
std::wstring FromBSTR(BSTR text);

// The VARIANT (also by reference) as text; false when it does not convert.
bool VariantText(const VARIANT& value, std::wstring& text);
// The VARIANT (also by reference) as a 32-bit integer; false when it does
// not convert.
bool VariantInteger(const VARIANT& value, LONG& number);
// The VARIANT with any by-reference level removed, as a copy the caller
// clears.
HRESULT VariantValue(const VARIANT& value, VARIANT& copy) noexcept;

// A VARIANT that clears itself.
class TVariant {
 public:
  TVariant() noexcept { VariantInit(&m_value); }
  ~TVariant() { VariantClear(&m_value); }
  TVariant(const TVariant&) = delete;
  TVariant& operator=(const TVariant&) = delete;
  VARIANT* operator&() noexcept { return &m_value; }
  VARIANT& get() noexcept { return m_value; }
  // Hands the value over to out (which must be cleared or uninitialised).
  void Detach(VARIANT* out) noexcept {
    *out = m_value;
    VariantInit(&m_value);
  }

 private:
  VARIANT m_value;
};

}  // namespace orvo::impl
