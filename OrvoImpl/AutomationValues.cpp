#include "AutomationValues.h"

#include <oleauto.h>

#include <new>

namespace orvo::impl {

BSTR NewBSTR(const std::wstring& text) {
  BSTR result = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!result) throw std::bad_alloc();
  return result;
}

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
  TVariant converted;
  if (FAILED(VariantChangeTypeEx(&converted.get(), const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, VT_BSTR)))
    return false;
  text = FromBSTR(converted.get().bstrVal);
  return true;
}

bool VariantInteger(const VARIANT& value, LONG& number) {
  TVariant converted;
  if (FAILED(VariantChangeTypeEx(&converted.get(), const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, VT_I4)))
    return false;
  number = converted.get().lVal;
  return true;
}

}  // namespace orvo::impl
