// CPelm (coclass PelmEx): the device object of the Pelm amplifiers on one
// port. It lives in the line server's process, is the port's client at
// address 16 (shared by every program that asks for the port's device
// object, counted by IPelmUsage), hands the devices' packets to the slaves
// of the client programs, starts searches, resets and master controllers,
// and vetoes every line rate other than the stored one.
#pragma once

#include <array>
#include <atomic>

#include "Pelm_h.h"
#include "com/error.h"
#include "com/lock.h"
#include "com/object.h"
#include "com/ptr.h"

extern const wchar_t pelm_source[];

class CPelm : public orvo::com::object<CPelm, IPelm2, IPelmUsage, ICommClient, _ICommServerEventMethods,
                                       orvo::com::supports_error_info<&IID_IPelm, &IID_IPelm2, &IID_IPelmUsage>> {
 public:
  static constexpr bool aggregatable = false;

  // IPelm
  STDMETHODIMP RegisterSlave(IPelmSlave* slave, BYTE address, LONG* cookie) override;
  STDMETHODIMP UnregisterSlave(LONG cookie) override;
  STDMETHODIMP CheckOpen() override;
  STDMETHODIMP Close() override;
  STDMETHODIMP CreateMasterController(IPelmMasterCallback* callback) override;
  STDMETHODIMP FindDevices(IFindPelmCallback* callback) override;
  STDMETHODIMP get_CommServer(ICommServer** port) override;
  STDMETHODIMP Unsupported8() override { return unsupported(); }
  STDMETHODIMP Unsupported9() override { return unsupported(); }
  STDMETHODIMP get_ChannelCount(LONG* count) override { return constant(24, count); }
  STDMETHODIMP get_MaxPacketLength(LONG* length) override { return constant(240, length); }
  STDMETHODIMP Unsupported12() override { return unsupported(); }
  STDMETHODIMP Reset() override;
  // IPelm2
  STDMETHODIMP GetSlave(BYTE address, IPelmSlave** slave) override;

  // IPelmUsage
  STDMETHODIMP AddUsage() override;
  STDMETHODIMP ReleaseUsage() override;
  STDMETHODIMP Attach(ICommServer* port, IPelm** device) override;

  // ICommClient: the devices' packets to address 16.
  STDMETHODIMP ProcessData(BYTE* data, LONG count, BYTE** reply, LONG* reply_count) override;
  STDMETHODIMP OnConversationTerminated(LONG) override { return S_OK; }
  STDMETHODIMP IsAlive() override { return S_OK; }

  // _ICommServerEventMethods
  STDMETHODIMP OnBaudRateChanging(LONG rate, VARIANT_BOOL* allow) override;
  STDMETHODIMP OnBaudRateChanged() override { return S_OK; }
  STDMETHODIMP OnConversationTimeoutChanging(LONG, VARIANT_BOOL*) override { return S_OK; }
  STDMETHODIMP OnConversationTimeoutChanged() override { return S_OK; }
  STDMETHODIMP OnClientRegistered(BYTE) override { return S_OK; }
  STDMETHODIMP OnClientUnregistered(BYTE) override { return S_OK; }

  void* query_extra(REFIID iid) noexcept;

 private:
  // The attached port, or null (with E_UNEXPECTED and error information)
  // when the object is detached.
  orvo::com::ptr<ICommServer> attached_port(HRESULT& hr, REFIID iid);
  IPelm* pelm() noexcept { return static_cast<IPelm2*>(this); }
  ICommClient* client() noexcept { return this; }
  static HRESULT unsupported() noexcept;
  static HRESULT constant(LONG value, LONG* out) noexcept;

  struct slot {
    orvo::com::ptr<IPelmSlave> slave;
    LONG cookie = 0;
  };

  orvo::com::critical_section m_lock;
  orvo::com::ptr<ICommServer> m_port;
  DWORD m_sink_cookie = 0;
  std::atomic<long> m_usage{0};
  std::array<slot, 256> m_slaves;
  LONG m_cookies = 0;  // counts the registrations, so that a stale cookie names nothing
};
