#include "AutomationValues.h"

#include <oleauto.h>

namespace orvo::impl {

std::wstring FromBSTR(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

HRESULT VariantValue(const VARIANT& value, VARIANT& copy) noexcept {
  VariantInit(&copy);
  return VariantCopyInd(&copy, const_cast<VARIANT*>(&value));
}

bool VariantText(const VARIANT& value, std::wstring& text) {
  if (value.vt == VT_BSTR) {
    text = FromBSTR(value.bstrVal);
    return true;
  }
  comet::variant_t converted;
  if (FAILED(VariantChangeTypeEx(converted.out(), const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, VT_BSTR)))
    return false;
  text = FromBSTR(converted.get().bstrVal);
  return true;
}

bool VariantInteger(const VARIANT& value, LONG& number) {
  comet::variant_t converted;
  if (FAILED(VariantChangeTypeEx(converted.out(), const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, VT_I4)))
    return false;
  number = converted.get().lVal;
  return true;
}

}  // namespace orvo::impl
