// Interface pointers of the client: comet::com_ptr<T> is the platform's
// owning pointer (orvo::com::ptr), with checked creation and queries that
// raise comet::com_error instead of returning an HRESULT.
//
//   auto state = comet::create<IAmplifierState2>(CLSID_AmplifierState);
//   auto amp = comet::query<IAmplifier>(object);   // E_NOINTERFACE raised
//   comet::checked(state)->get_AsString(...);      // a null pointer raises E_POINTER
#pragma once

#include <objbase.h>

#include "com/ptr.h"
#include "comet/error.h"

namespace comet {

template <class T>
using com_ptr = orvo::com::ptr<T>;

// The pointer itself; raises E_POINTER when it is null.
template <class T>
T* checked(const com_ptr<T>& p) {
  if (!p) raise(E_POINTER);
  return p.get();
}
template <class T>
T* checked(T* p) {
  if (!p) raise(E_POINTER);
  return p;
}

template <class T>
com_ptr<T> create(REFCLSID clsid, DWORD context = CLSCTX_ALL) {
  com_ptr<T> p;
  check(orvo::com::create_instance(clsid, p, context));
  return p;
}
template <class T>
com_ptr<T> create(const wchar_t* progid, DWORD context = CLSCTX_ALL) {
  com_ptr<T> p;
  check(orvo::com::create_instance(progid, p, context));
  return p;
}

// Asks `object` for T; a null object raises E_POINTER, a refusal its HRESULT.
template <class T, class U>
com_ptr<T> query(U* object) {
  com_ptr<T> p;
  check(checked(object)->QueryInterface(__uuidof(T), p.put_void()));
  return p;
}
template <class T, class U>
com_ptr<T> query(const com_ptr<U>& object) {
  return query<T>(object.get());
}

}  // namespace comet
