// The Properties collection of the stand-in server: read-only items with a
// Name and a Value, as the process settings list them when it was asked.
#pragma once

#include <windows.h>

#include "OrvoImpl_h.h"
#include "com/dispatch.h"
#include "com/object.h"
#include "process_state.h"

namespace stand_in {

class CServerProperty : public orvo::com::object<CServerProperty, orvo::com::dispatch<IProperty, IIdentifier>> {
 public:
  CServerProperty(LONG id, property_item item) : m_id(id), m_item(std::move(item)) {}

  // IIdentifier
  STDMETHODIMP get_ID(LONG* value) override;
  STDMETHODIMP get_Name(BSTR* value) override;
  STDMETHODIMP get_Parent(IDispatch** value) override;
  // IProperty
  STDMETHODIMP get_Value(VARIANT* value) override;
  STDMETHODIMP put_Value(VARIANT value) override;
  STDMETHODIMP get_IsReadOnly(VARIANT_BOOL* value) override;
  STDMETHODIMP get_RangeID(LONG* value) override;
  STDMETHODIMP get_Count(LONG* value) override;
  STDMETHODIMP get_Item(LONG index, VARIANT* value) override;
  STDMETHODIMP get__NewEnum(IUnknown** value) override;

 private:
  counted m_counted;
  LONG m_id;
  property_item m_item;
};

class CServerProperties : public orvo::com::object<CServerProperties, orvo::com::dispatch<ICollection, IIdentifier>> {
 public:
  explicit CServerProperties(const std::vector<property_item>& items);

  // IIdentifier
  STDMETHODIMP get_ID(LONG* value) override;
  STDMETHODIMP get_Name(BSTR* value) override;
  STDMETHODIMP get_Parent(IDispatch** value) override;
  // ICollection: Item by 0-based number or by name (any case)
  STDMETHODIMP get_Count(LONG* value) override;
  STDMETHODIMP get_Item(VARIANT index, IDispatch** value) override;
  STDMETHODIMP get__NewEnum(IUnknown** value) override;

 private:
  counted m_counted;
  std::vector<orvo::com::ptr<IProperty>> m_items;
};

}  // namespace stand_in
