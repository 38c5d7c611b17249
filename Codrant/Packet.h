// CPacket: the part of a codec object that answers for its buffer: the
// grow percent, initial size, peak size and buffer size properties both
// IPacketEncoder and IPacketDecoder carry, the object's critical section,
// and its error information. Derived holds the framing core and gives its
// buffer through buffer(); every method runs under the one lock.
#pragma once

#include "com/error.h"
#include "com/lock.h"
#include "com/object.h"
#include "core/packet.h"

template <class Derived, class Interface, const IID* Iid>
class CPacket : public orvo::com::object<Derived, Interface, orvo::com::supports_error_info<Iid>> {
 public:
  STDMETHODIMP get_GrowPercent(SHORT* percent) override {
    if (!percent) return E_POINTER;
    orvo::com::scoped_lock hold(m_lock);
    *percent = buffer().grow_percent();
    return S_OK;
  }
  STDMETHODIMP put_GrowPercent(SHORT percent) override {
    orvo::com::scoped_lock hold(m_lock);
    return buffer().set_grow_percent(percent) ? S_OK : S_FALSE;
  }
  STDMETHODIMP get_PeakSize(LONG* size) override {
    if (!size) return E_POINTER;
    orvo::com::scoped_lock hold(m_lock);
    *size = static_cast<LONG>(buffer().peak_size());
    return S_OK;
  }
  STDMETHODIMP get_BufferSize(LONG* size) override {
    if (!size) return E_POINTER;
    orvo::com::scoped_lock hold(m_lock);
    *size = static_cast<LONG>(buffer().capacity());
    return S_OK;
  }
  STDMETHODIMP get_InitialSize(LONG* size) override {
    if (!size) return E_POINTER;
    orvo::com::scoped_lock hold(m_lock);
    *size = buffer().initial_size();
    return S_OK;
  }
  STDMETHODIMP put_InitialSize(LONG size) override {
    orvo::com::scoped_lock hold(m_lock);
    return buffer().set_initial_size(size) ? S_OK : S_FALSE;
  }

 protected:
  CPacket() = default;

  // Failures a caller should see, with the class's ProgID as source.
  static HRESULT out_of_memory() noexcept {
    return orvo::com::set_error(E_OUTOFMEMORY, Derived::progid, L"Out of memory for the packet buffer", *Iid);
  }
  static HRESULT negative_count() noexcept { return orvo::com::negative_count(Derived::progid, *Iid); }

  orvo::com::critical_section m_lock;

 private:
  codrant::packet& buffer() noexcept { return static_cast<Derived*>(this)->core().buffer(); }
};
