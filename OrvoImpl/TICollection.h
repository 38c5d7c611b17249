// TICollection: a node whose items a client counts, picks (by 0-based
// index, or by name trimmed and without regard to case) and enumerates.
// Subclasses fill the items when they are made (Populate).
#pragma once

#include "TIEnumVARIANT.h"
#include "TIIDentifier.h"
#include "core/tree_text.h"

namespace orvo::impl {

template <class Derived, class Dispatch, class... Extra>
class TICollection : public TIIDentifier<Derived, Dispatch, _IFindItem, Extra...> {
 public:
  STDMETHODIMP get_Count(LONG* value) override {
    if (!value) return E_POINTER;
    *value = static_cast<LONG>(ItemCount());
    return S_OK;
  }
  // A miss gives S_FALSE with error information and no object.
  STDMETHODIMP get_Item(VARIANT index, IDispatch** value) override {
    if (!value) return E_POINTER;
    *value = nullptr;
    return this->Call([&] {
      if (!FindItem(index, value)) RaiseError(L"Can not get object -> index not correct", L"Get_Item", S_FALSE);
      return S_OK;
    });
  }
  STDMETHODIMP get__NewEnum(IUnknown** value) override {
    if (!value) return E_POINTER;
    *value = nullptr;
    return this->Call([&] {
      com::ptr<IEnumVARIANT> enumerator;
      const HRESULT hr = this->NewItemEnumerator(enumerator);
      if (SUCCEEDED(hr)) *value = enumerator.detach();
      return hr;
    });
  }

  // The first item named name (trimmed, case-blind); nullptr when none is.
  TCOMInterfacedObject* ItemNamed(std::wstring_view name) const noexcept {
    for (const auto& child : this->Children())
      if (child.IsItem && SameName(child.Node->Name(), name)) return child.Node;
    return nullptr;
  }

  // _IFindItem
  bool FindItem(const VARIANT& key, IDispatch** found) override {
    *found = nullptr;
    TCOMInterfacedObject* item = nullptr;
    LONG index = 0;
    std::wstring name;
    if (VariantInteger(key, index)) {
      item = NthItem(index);
    } else if (VariantText(key, name)) {
      item = ItemNamed(name);
    }
    if (!item) return false;
    *found = item->NodeDispatch();
    (*found)->AddRef();
    return true;
  }

 protected:
  using TIIDentifier<Derived, Dispatch, _IFindItem, Extra...>::TIIDentifier;

  std::size_t ItemCount() const noexcept {
    std::size_t n = 0;
    for (const auto& child : this->Children()) n += child.IsItem;
    return n;
  }
  TCOMInterfacedObject* NthItem(LONG index) const noexcept {
    if (index < 0) return nullptr;
    for (const auto& child : this->Children())
      if (child.IsItem && index-- == 0) return child.Node;
    return nullptr;
  }
};

}  // namespace orvo::impl
