// The class factory and the class table of a COM server.
//
// A server lists its classes once:
//
//   const orvo::com::class_entry classes[] = {
//     orvo::com::class_entry::of<CThing>(CLSID_Thing, L"Thing Class",
//                                        L"Maker.Thing", L"Free"),
//   };
//
// class_entry carries what the class factory needs (how to create an
// object) and what registration writes (description, ProgID, threading
// model). The class factory is one static object per class: it never
// dies, and only its LockServer calls count in the module.
#pragma once

#include <objbase.h>

#include <cstddef>

#include "module.h"

namespace orvo::com {

using creator = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

// A class factory for one class. Not reference counted: it lives as long as
// the module.
class class_factory final : public IClassFactory {
 public:
  explicit constexpr class_factory(creator create) noexcept : m_create(create) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override { return m_create(outer, iid, out); }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock)
      module::lock();
    else
      module::unlock();
    return S_OK;
  }

 private:
  creator m_create;
};

struct class_entry {
  const CLSID* clsid;
  IClassFactory* (*factory)();
  const wchar_t* description;      // "StdEncoder Class"
  const wchar_t* progid;           // version-independent ProgID; ".1" is added for the versioned one
  const wchar_t* threading_model;  // "Free", "Both", "Apartment"; nullptr writes none

  template <class T>
  static constexpr class_entry of(const CLSID& clsid, const wchar_t* description, const wchar_t* progid,
                                  const wchar_t* threading_model) noexcept {
    return class_entry{&clsid, &factory_of<T>, description, progid, threading_model};
  }

 private:
  template <class T>
  static HRESULT create_object(IUnknown* outer, REFIID iid, void** out) {
    return T::create(outer, iid, out);
  }
  template <class T>
  static IClassFactory* factory_of() noexcept {
    static class_factory factory(&create_object<T>);
    return &factory;
  }
};

}  // namespace orvo::com
