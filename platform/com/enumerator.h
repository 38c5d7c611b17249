// orvo::com::enumerator<IEnum, Item, Copy>: a snapshot enumerator.
//
// The standard enumerator interfaces (IEnumVARIANT, IEnumString,
// IEnumConnections, IEnumConnectionPoints, ...) share one shape: Next,
// Skip, Reset, Clone over a sequence of items. This class serves any of
// them from a vector taken when the enumerator is made, so later changes of
// the source never disturb a walk in progress:
//
//   std::vector<VARIANT> items = ...;
//   ptr<IEnumVARIANT> e;
//   HRESULT hr = enumerator<IEnumVARIANT, VARIANT, copy_variant>::make_from(items, e);
//
// Copy is a policy with `static HRESULT copy(Item* to, const Item& from)`
// (gives the caller its own copy: AddRef, VariantCopy, string duplicate)
// and `static void destroy(Item& item)` (releases one held copy). Clones
// share the snapshot and keep their own position.
#pragma once

#include <objbase.h>
#include <ocidl.h>
#include <oleauto.h>

#include <memory>
#include <vector>

#include "lock.h"
#include "object.h"

namespace orvo::com {

struct copy_variant {
  static HRESULT copy(VARIANT* to, const VARIANT& from) noexcept {
    // An object is the common item and needs only a reference; the rest
    // goes through the platform's copy.
    if (from.vt == VT_DISPATCH || from.vt == VT_UNKNOWN) {
      *to = from;
      if (from.punkVal) from.punkVal->AddRef();
      return S_OK;
    }
    VariantInit(to);
    return VariantCopy(to, const_cast<VARIANT*>(&from));
  }
  static void destroy(VARIANT& item) noexcept { VariantClear(&item); }
};

struct copy_string {
  static HRESULT copy(LPOLESTR* to, const LPOLESTR& from) noexcept {
    *to = nullptr;
    if (!from) return S_OK;
    const std::size_t bytes = (wcslen(from) + 1) * sizeof(wchar_t);
    *to = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!*to) return E_OUTOFMEMORY;
    memcpy(*to, from, bytes);
    return S_OK;
  }
  static void destroy(LPOLESTR& item) noexcept {
    CoTaskMemFree(item);
    item = nullptr;
  }
};

template <class I>
struct copy_interface {
  static HRESULT copy(I** to, I* const& from) noexcept {
    *to = from;
    if (from) from->AddRef();
    return S_OK;
  }
  static void destroy(I*& item) noexcept {
    if (item) item->Release();
    item = nullptr;
  }
};

struct copy_connectdata {
  static HRESULT copy(CONNECTDATA* to, const CONNECTDATA& from) noexcept {
    *to = from;
    if (to->pUnk) to->pUnk->AddRef();
    return S_OK;
  }
  static void destroy(CONNECTDATA& item) noexcept {
    if (item.pUnk) item.pUnk->Release();
    item.pUnk = nullptr;
  }
};

template <class IEnum, class Item, class Copy>
class enumerator : public object<enumerator<IEnum, Item, Copy>, IEnum> {
 public:
  static constexpr bool aggregatable = false;

  // The items the enumerator walks: owned copies, destroyed with the last
  // enumerator that shares them.
  class snapshot {
   public:
    snapshot() = default;
    snapshot(const snapshot&) = delete;
    snapshot& operator=(const snapshot&) = delete;
    ~snapshot() {
      for (Item& item : items) Copy::destroy(item);
    }
    std::vector<Item> items;
  };

  explicit enumerator(std::shared_ptr<const snapshot> items, ULONG position = 0) noexcept
      : m_items(std::move(items)), m_position(position) {}

  // Makes an enumerator over copies of `items`.
  static HRESULT make_from(const std::vector<Item>& items, ptr<IEnum>& out) noexcept {
    try {
      auto shot = std::make_shared<snapshot>();
      shot->items.reserve(items.size());
      for (const Item& item : items) {
        Item copy{};
        const HRESULT hr = Copy::copy(&copy, item);
        if (FAILED(hr)) return hr;
        shot->items.push_back(copy);
      }
      return make_over(std::move(shot), out);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }

  // Makes an enumerator over a snapshot the caller made (and may share
  // with other enumerators; it is never changed once made).
  static HRESULT make_over(std::shared_ptr<const snapshot> items, ptr<IEnum>& out) noexcept {
    return enumerator::template make<IEnum>(out, std::move(items));
  }

  // An enumerator over `items` for a new holder: `spare` (the last one this
  // call made, which the caller keeps with one reference) rewound when it
  // walks the same items and nobody else holds it any more, else a new one,
  // which becomes the spare. Saves making and freeing an object for each
  // walk of a collection that is walked again and again.
  static HRESULT reuse_or_make(const std::shared_ptr<const snapshot>& items, ptr<IEnum>& spare,
                               ptr<IEnum>& out) noexcept {
    if (spare) {
      enumerator* kept = static_cast<enumerator*>(spare.get());
      if (kept->m_items == items && kept->own_references() == 1) {
        kept->Reset();
        out = spare;
        return S_OK;
      }
    }
    ptr<IEnum> made;
    const HRESULT hr = make_over(items, made);
    if (FAILED(hr)) return hr;
    spare = made;
    out = std::move(made);
    return S_OK;
  }

  STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    if (!out) return E_POINTER;
    // Without a fetched count a caller may ask for one item only.
    if (!fetched && count != 1) return E_INVALIDARG;
    scoped_lock hold(m_lock);
    ULONG done = 0;
    const std::vector<Item>& items = m_items->items;
    while (done < count && m_position < items.size()) {
      const HRESULT hr = Copy::copy(&out[done], items[m_position]);
      if (FAILED(hr)) {
        for (ULONG i = 0; i < done; ++i) Copy::destroy(out[i]);
        return hr;
      }
      ++done;
      ++m_position;
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }

  STDMETHODIMP Skip(ULONG count) override {
    scoped_lock hold(m_lock);
    const ULONG left = static_cast<ULONG>(m_items->items.size()) - m_position;
    if (count > left) {
      m_position = static_cast<ULONG>(m_items->items.size());
      return S_FALSE;
    }
    m_position += count;
    return S_OK;
  }

  STDMETHODIMP Reset() override {
    scoped_lock hold(m_lock);
    m_position = 0;
    return S_OK;
  }

  STDMETHODIMP Clone(IEnum** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    ULONG position;
    {
      scoped_lock hold(m_lock);
      position = m_position;
    }
    ptr<IEnum> copy;
    const HRESULT hr = enumerator::template make<IEnum>(copy, m_items, position);
    if (SUCCEEDED(hr)) *out = copy.detach();
    return hr;
  }

 private:
  std::shared_ptr<const snapshot> m_items;
  ULONG m_position;
  critical_section m_lock;
};

}  // namespace orvo::com
