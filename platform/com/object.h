// orvo::com::object<Derived, Interfaces...>: the base of every COM class.
//
//   class CThing : public orvo::com::object<CThing, IThing, IOther> {
//    public:
//     STDMETHODIMP DoIt() override;   // only the interface methods
//   };
//
// The interface list is the class declaration: QueryInterface answers
// IUnknown and each listed interface (an entry may name the interface it
// answers for with a member `using interface_type = IFoo;`, see
// supports_error_info). A class may answer further IIDs (interfaces an
// entry derives from) with a member function
//   void* query_extra(REFIID iid) noexcept;
// returning the interface pointer or nullptr.
//
// Reference counting is atomic (objects may be free-threaded). Objects may
// be aggregated unless the class says `static constexpr bool aggregatable =
// false;`: an aggregated object's IUnknown methods go to the outer object,
// and the outer object holds the inner, non-delegating IUnknown.
//
// Creation goes through create() (for class factories) or make() (inside
// a server). A class may define `HRESULT final_construct() noexcept`, run
// once the object holds its first reference; a failure destroys the object.
// Every live object counts in the module's lock count.
#pragma once

#include <objbase.h>

#include <atomic>
#include <new>
#include <type_traits>
#include <utility>

#include "module.h"
#include "ptr.h"

namespace orvo::com {

namespace detail {
template <class T, class = void>
struct interface_of {
  using type = T;
};
template <class T>
struct interface_of<T, std::void_t<typename T::interface_type>> {
  using type = typename T::interface_type;
};

template <class T, class = void>
struct has_find_interface : std::false_type {};
template <class T>
struct has_find_interface<T, std::void_t<decltype(std::declval<T&>().find_interface(IID_IUnknown))>> : std::true_type {
};

template <class T, class = void>
struct is_aggregatable : std::true_type {};
template <class T>
struct is_aggregatable<T, std::void_t<decltype(T::aggregatable)>> : std::bool_constant<T::aggregatable> {};
}  // namespace detail

// The IID an interface-list entry answers for.
template <class T>
const IID& iid_of() noexcept {
  return __uuidof(typename detail::interface_of<T>::type);
}

template <class Derived, class... Interfaces>
class object : public Interfaces... {
 public:
  // IUnknown of every listed interface: goes to the controlling unknown,
  // which is the object itself unless it is aggregated.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return m_outer->QueryInterface(iid, out); }
  STDMETHODIMP_(ULONG) AddRef() override { return m_outer->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return m_outer->Release(); }

  // Creates an object for a class factory: checks the aggregation rules,
  // then hands out interface iid.
  template <class... Args>
  static HRESULT create(IUnknown* outer, REFIID iid, void** out, Args&&... args) noexcept {
    return create_as<Derived>(outer, iid, out, std::forward<Args>(args)...);
  }

  // The same for a class derived from Derived that shares its interface
  // list (a hierarchy whose subclasses override virtual behaviour).
  template <class Concrete, class... Args>
  static HRESULT create_as(IUnknown* outer, REFIID iid, void** out, Args&&... args) noexcept {
    static_assert(std::is_base_of_v<Derived, Concrete>);
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && (!detail::is_aggregatable<Derived>::value || iid != IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    Concrete* p = nullptr;
    try {
      p = new Concrete(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
    if (outer) p->m_outer = outer;
    p->m_inner.AddRef();
    HRESULT hr = p->final_construct();
    if (SUCCEEDED(hr)) hr = p->m_inner.QueryInterface(iid, out);
    p->m_inner.Release();
    return hr;
  }

  // Creates an object inside a server, holding interface I.
  template <class I, class... Args>
  static HRESULT make(ptr<I>& out, Args&&... args) noexcept {
    return create(nullptr, __uuidof(I), out.put_void(), std::forward<Args>(args)...);
  }

  // The default: nothing to finish.
  HRESULT final_construct() noexcept { return S_OK; }

  // The object's own reference count, for an owner that keeps an object for
  // reuse: a count of 1 held by that owner means nobody else holds it.
  ULONG own_references() const noexcept { return m_refs.load(); }
  void* query_extra(REFIID) noexcept { return nullptr; }

 protected:
  object() noexcept : m_inner(this), m_outer(&m_inner) { module::object_created(); }
  virtual ~object() { module::object_destroyed(); }
  object(const object&) = delete;
  object& operator=(const object&) = delete;

  // The unknown that controls this object's identity and lifetime.
  IUnknown* controlling_unknown() const noexcept { return m_outer; }

 private:
  // The non-delegating IUnknown: the object's own identity and count.
  class inner_unknown final : public IUnknown {
   public:
    explicit inner_unknown(object* owner) noexcept : m_owner(owner) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return m_owner->inner_query(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_owner->m_refs; }
    STDMETHODIMP_(ULONG) Release() override {
      ULONG n = --m_owner->m_refs;
      if (n == 0) delete m_owner;
      return n;
    }

   private:
    object* m_owner;
  };

  HRESULT inner_query(REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    void* found = nullptr;
    if (iid == IID_IUnknown) {
      found = static_cast<IUnknown*>(&m_inner);
    } else {
      ((found == nullptr ? (found = find_in_entry<Interfaces>(iid), true) : false), ...);
      if (!found) found = static_cast<Derived*>(this)->query_extra(iid);
    }
    *out = found;
    if (!found) return E_NOINTERFACE;
    static_cast<IUnknown*>(found)->AddRef();
    return S_OK;
  }

  template <class Entry>
  void* find_in_entry(REFIID iid) noexcept {
    if constexpr (detail::has_find_interface<Entry>::value) {
      return static_cast<Entry*>(this)->find_interface(iid);
    } else {
      return iid == iid_of<Entry>() ? static_cast<Entry*>(this) : nullptr;
    }
  }

  inner_unknown m_inner;
  IUnknown* m_outer;
  std::atomic<ULONG> m_refs{0};
};

}  // namespace orvo::com
