#include "properties.h"

#include <oleauto.h>

#include <cwctype>
#include <new>

#include "com/enumerator.h"
#include "com/error.h"

namespace stand_in {

namespace {

const wchar_t* const source = L"OrvoServer.OrvoAmplifier";

HRESULT copy_name(const std::wstring& name, BSTR* value) {
  if (!value) return E_POINTER;
  *value = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
  return *value ? S_OK : E_OUTOFMEMORY;
}

bool same_name(const std::wstring& a, const wchar_t* b, UINT length) {
  if (a.size() != length) return false;
  for (UINT i = 0; i < length; ++i)
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  return true;
}

HRESULT enumerate(const std::vector<VARIANT>& items, IUnknown** value) {
  orvo::com::ptr<IEnumVARIANT> elements;
  const HRESULT hr = orvo::com::enumerator<IEnumVARIANT, VARIANT, orvo::com::copy_variant>::make_from(items, elements);
  if (FAILED(hr)) return hr;
  *value = elements.detach();
  return S_OK;
}

}  // namespace

STDMETHODIMP CServerProperty::get_ID(LONG* value) {
  if (!value) return E_POINTER;
  *value = m_id;
  return S_OK;
}
STDMETHODIMP CServerProperty::get_Name(BSTR* value) { return copy_name(m_item.name, value); }
STDMETHODIMP CServerProperty::get_Parent(IDispatch** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return S_OK;
}
STDMETHODIMP CServerProperty::get_Value(VARIANT* value) {
  if (!value) return E_POINTER;
  VariantInit(value);
  return VariantCopy(value, const_cast<VARIANT*>(&m_item.value.get()));
}
STDMETHODIMP CServerProperty::put_Value(VARIANT) {
  return orvo::com::set_error(E_ACCESSDENIED, source, L"The server's properties are read-only", IID_IProperty);
}
STDMETHODIMP CServerProperty::get_IsReadOnly(VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = VARIANT_TRUE;
  return S_OK;
}
STDMETHODIMP CServerProperty::get_RangeID(LONG* value) {
  if (!value) return E_POINTER;
  *value = 0;
  return S_OK;
}
STDMETHODIMP CServerProperty::get_Count(LONG* value) {
  if (!value) return E_POINTER;
  *value = 0;
  return S_OK;
}
STDMETHODIMP CServerProperty::get_Item(LONG, VARIANT* value) {
  if (!value) return E_POINTER;
  VariantInit(value);
  return orvo::com::set_error(DISP_E_BADINDEX, source, L"The property has no list of values", IID_IProperty);
}
STDMETHODIMP CServerProperty::get__NewEnum(IUnknown** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return orvo::com::guard(source, IID_IProperty, [&] { return enumerate({}, value); });
}

CServerProperties::CServerProperties(const std::vector<property_item>& items) {
  LONG id = 0;
  for (const property_item& item : items) {
    orvo::com::ptr<IProperty> property;
    if (FAILED(CServerProperty::make(property, ++id, item))) throw std::bad_alloc();
    m_items.push_back(property);
  }
}

STDMETHODIMP CServerProperties::get_ID(LONG* value) {
  if (!value) return E_POINTER;
  *value = 0;
  return S_OK;
}
STDMETHODIMP CServerProperties::get_Name(BSTR* value) { return copy_name(L"Properties", value); }
STDMETHODIMP CServerProperties::get_Parent(IDispatch** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return S_OK;
}
STDMETHODIMP CServerProperties::get_Count(LONG* value) {
  if (!value) return E_POINTER;
  *value = static_cast<LONG>(m_items.size());
  return S_OK;
}
STDMETHODIMP CServerProperties::get_Item(VARIANT index, IDispatch** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return orvo::com::guard(source, IID_ICollection, [&]() -> HRESULT {
    const VARIANT* key = index.vt == (VT_VARIANT | VT_BYREF) ? index.pvarVal : &index;
    if (key->vt == VT_BSTR) {
      for (const auto& item : m_items) {
        BSTR name = nullptr;
        item->get_Name(&name);
        const bool found = same_name(std::wstring(name, SysStringLen(name)), key->bstrVal, SysStringLen(key->bstrVal));
        SysFreeString(name);
        if (found) return item->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(value));
      }
    } else {
      VARIANT number;
      VariantInit(&number);
      if (SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(key), 0, VT_I4)) && number.lVal >= 0 &&
          static_cast<std::size_t>(number.lVal) < m_items.size())
        return m_items[static_cast<std::size_t>(number.lVal)]->QueryInterface(IID_IDispatch,
                                                                              reinterpret_cast<void**>(value));
    }
    return orvo::com::set_error(DISP_E_BADINDEX, source, L"No property has that index", IID_ICollection);
  });
}
STDMETHODIMP CServerProperties::get__NewEnum(IUnknown** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return orvo::com::guard(source, IID_ICollection, [&] {
    std::vector<VARIANT> items;
    for (const auto& item : m_items) {
      VARIANT element;
      element.vt = VT_DISPATCH;
      element.pdispVal = item.get();  // IProperty is a dual: its IDispatch
      items.push_back(element);
    }
    return enumerate(items, value);
  });
}

}  // namespace stand_in
