// orvo::com::ptr<T>: an owning interface pointer.
//
// Holds one reference and releases it on destruction. put() hands out the
// address for out-parameters (releasing what was held), as<U>() asks for
// another interface. No exceptions: failures come back as HRESULTs.
#pragma once

#include <objbase.h>

#include <utility>

namespace orvo::com {

template <class T>
class ptr {
 public:
  ptr() noexcept = default;
  ptr(std::nullptr_t) noexcept {}
  // Takes a new reference to p.
  explicit ptr(T* p) noexcept : m_p(p) {
    if (m_p) m_p->AddRef();
  }
  ptr(const ptr& other) noexcept : ptr(other.m_p) {}
  ptr(ptr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
  ~ptr() { reset(); }

  ptr& operator=(const ptr& other) noexcept {
    ptr(other).swap(*this);
    return *this;
  }
  ptr& operator=(ptr&& other) noexcept {
    ptr(std::move(other)).swap(*this);
    return *this;
  }

  // Adopts p without adding a reference.
  static ptr attach(T* p) noexcept {
    ptr r;
    r.m_p = p;
    return r;
  }
  T* detach() noexcept { return std::exchange(m_p, nullptr); }

  void reset() noexcept {
    if (T* p = std::exchange(m_p, nullptr)) p->Release();
  }
  void swap(ptr& other) noexcept { std::swap(m_p, other.m_p); }

  T* get() const noexcept { return m_p; }
  T* operator->() const noexcept { return m_p; }
  explicit operator bool() const noexcept { return m_p != nullptr; }

  // For out-parameters: releases what is held and returns the slot.
  T** put() noexcept {
    reset();
    return &m_p;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  // Copies a new reference into an out-parameter.
  HRESULT copy_to(T** out) const noexcept {
    if (!out) return E_POINTER;
    *out = m_p;
    if (m_p) m_p->AddRef();
    return S_OK;
  }

  template <class U>
  HRESULT query(ptr<U>& out) const noexcept {
    if (!m_p) return E_POINTER;
    return m_p->QueryInterface(__uuidof(U), out.put_void());
  }
  template <class U>
  ptr<U> as() const noexcept {
    ptr<U> r;
    query(r);
    return r;
  }

 private:
  T* m_p = nullptr;
};

template <class T, class U>
bool operator==(const ptr<T>& a, const ptr<U>& b) noexcept {
  return a.get() == b.get();
}

// Creates an object by CLSID.
template <class T>
HRESULT create_instance(REFCLSID clsid, ptr<T>& out, DWORD context = CLSCTX_ALL, IUnknown* outer = nullptr) noexcept {
  return CoCreateInstance(clsid, outer, context, __uuidof(T), out.put_void());
}

// Creates an object by ProgID.
template <class T>
HRESULT create_instance(const wchar_t* progid, ptr<T>& out, DWORD context = CLSCTX_ALL) noexcept {
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(progid, &clsid);
  if (FAILED(hr)) return hr;
  return create_instance(clsid, out, context);
}

}  // namespace orvo::com
