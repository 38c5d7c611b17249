// CPelmMasterController: runs request/answer exchanges with the devices at
// address 204 for a client program, through the program's callback. Each
// answer becomes one callback call; a request the callback places during
// that call goes out as the reply.
#pragma once

#include "Pelm_h.h"
#include "com/error.h"
#include "com/lock.h"
#include "com/object.h"
#include "com/ptr.h"
#include "core/master_exchange.h"

class CPelmMasterController
    : public orvo::com::object<
          CPelmMasterController, IPelmMasterController2, ICommClient,
          orvo::com::supports_error_info<&IID_IPelmMasterController, &IID_IPelmMasterController2>> {
 public:
  static constexpr bool aggregatable = false;
  explicit CPelmMasterController(IPelmMasterCallback* callback) noexcept;

  // IPelmMasterController
  STDMETHODIMP RequestStatus(BYTE address) override;
  STDMETHODIMP Obsolete2() override { return obsolete(); }
  STDMETHODIMP Obsolete3() override { return obsolete(); }
  STDMETHODIMP get_MinAddress(LONG* address) override;
  STDMETHODIMP get_MaxAddress(LONG* address) override;
  STDMETHODIMP get_CRCGenerator(ICRCGenerator** generator) override;
  STDMETHODIMP Obsolete7() override { return obsolete(); }
  STDMETHODIMP Obsolete8() override { return obsolete(); }
  STDMETHODIMP RequestIdentity() override;
  STDMETHODIMP ReadBlock(BYTE address, BYTE a, BYTE b, BYTE* data, BYTE count) override;
  // IPelmMasterController2
  STDMETHODIMP WriteBlock(BYTE address, BYTE a, BYTE b, BYTE* data, BYTE count) override;

  // ICommClient
  STDMETHODIMP ProcessData(BYTE* data, LONG count, BYTE** reply, LONG* reply_count) override;
  STDMETHODIMP OnConversationTerminated(LONG reason) override;
  STDMETHODIMP IsAlive() override { return S_OK; }

  void* query_extra(REFIID iid) noexcept;

 private:
  static HRESULT obsolete() noexcept;
  HRESULT placed(pelm::place_result result, REFIID iid) noexcept;
  HRESULT call(const pelm::callback_call& call);
  IPelmMasterController* controller() noexcept { return static_cast<IPelmMasterController2*>(this); }

  orvo::com::critical_section m_lock;  // the exchange and the callbacks
  orvo::com::ptr<IPelmMasterCallback> m_callback;
  orvo::com::ptr<IPelmMasterCallback2> m_callback2;
  pelm::master_exchange m_exchange;
  orvo::com::critical_section m_crc_lock;
  orvo::com::ptr<ICRCGenerator> m_crc;
};
