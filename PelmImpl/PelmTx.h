// The one-shot conversations of a device object: the search for devices
// (CFindPelm, address 170) and the reset (CPelmReset, address 204). Each
// asks the line server for its conversation again while its retry rules
// allow, then lets go of the device object.
#pragma once

#include <optional>

#include "Pelm_h.h"
#include "com/lock.h"
#include "com/object.h"
#include "com/ptr.h"
#include "core/device.h"
#include "core/find_answer.h"

// What both conversations share: the device object they run on, whose
// port they ask again, and the client side of a conversation.
template <class Derived>
class CPelmTxBase : public orvo::com::object<Derived, ICommClient> {
 public:
  static constexpr bool aggregatable = false;
  STDMETHODIMP IsAlive() override { return S_OK; }
  void* query_extra(REFIID iid) noexcept {
    return iid == IID_IDataProcessor ? static_cast<ICommClient*>(this) : nullptr;
  }

 protected:
  explicit CPelmTxBase(IPelm* device) noexcept : m_device(device) {}

  orvo::com::ptr<ICommServer> port() const noexcept {
    orvo::com::ptr<ICommServer> p;
    if (m_device) m_device->get_CommServer(p.put());
    return p;
  }
  // Asks for the conversation again; false when the port cannot be asked.
  bool request_again(BYTE address) noexcept {
    auto p = port();
    return p && SUCCEEDED(p->RequestConversation(this, address));
  }

  orvo::com::ptr<IPelm> m_device;
  orvo::com::critical_section m_lock;
};

class CFindPelm : public CPelmTxBase<CFindPelm> {
 public:
  CFindPelm(IPelm* device, IFindPelmCallback* callback) noexcept : CPelmTxBase(device), m_callback(callback) {}

  STDMETHODIMP ProcessData(BYTE* data, LONG count, BYTE** reply, LONG* reply_count) override;
  STDMETHODIMP OnConversationTerminated(LONG reason) override;

 private:
  orvo::com::ptr<IFindPelmCallback> m_callback;
  pelm::find_retries m_retries;
  std::optional<LONG> m_saved_timeout;
  std::optional<pelm::device_record> m_found;
};

class CPelmReset : public CPelmTxBase<CPelmReset> {
 public:
  explicit CPelmReset(IPelm* device) noexcept : CPelmTxBase(device) {}

  STDMETHODIMP ProcessData(BYTE* data, LONG count, BYTE** reply, LONG* reply_count) override;
  STDMETHODIMP OnConversationTerminated(LONG reason) override;

 private:
  pelm::reset_retries m_retries;
};
