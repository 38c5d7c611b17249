// VARIANT conversions of the state model. Numbers are converted to and
// from text with the invariant locale, so a value a client passes means the
// same under every user locale (comet::variant_t::as<>, the client's
// conversion, uses the thread's locale on purpose: the client shows numbers
// to its user). BSTRs and owned VARIANTs are comet::bstr_t and
// comet::variant_t.
#pragma once

#include <objbase.h>
#include <oaidl.h>

#include <string>

#include "comet/bstr.h"
#include "comet/variant.h"

namespace orvo::impl {

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

}  // namespace orvo::impl
