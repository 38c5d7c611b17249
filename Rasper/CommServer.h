// CCommServer: one client's view of a port (ICommServer). Every facade of
// a port is bound to the port's one engine and keeps it in use until the
// facade goes. It carries the port's events to its sinks through two
// connection points: _ICommServerEventMethods (vtable sinks) and
// _DCommServerEvents (dispatch sinks, called through IDispatch).
#pragma once

#include "CommServer_h.h"
#include "SerialImp.h"
#include "com/connection_points.h"
#include "com/error.h"
#include "com/lock.h"
#include "com/object.h"

class CCommServer
    : public orvo::com::object<CCommServer, ICommServer, orvo::com::connection_point_container<CCommServer>,
                               orvo::com::supports_error_info<&IID_ICommServer>>,
      public CPortListener {
 public:
  static constexpr bool aggregatable = false;
  CCommServer() noexcept;
  ~CCommServer() override;

  // Binds the facade to its engine (once; E_UNEXPECTED after that). The
  // facade takes over one use of the engine.
  HRESULT Bind(CSerialImp* engine) noexcept;

  // Connection points.
  orvo::com::connection_point* find_connection_point(REFIID iid) noexcept;
  std::vector<orvo::com::connection_point*> connection_point_list();

  bool Fire(PortEvent event, LONG argument, bool dispatch_first) noexcept override;

  STDMETHODIMP get_PortName(BSTR* name) override;
  STDMETHODIMP RequestConversation(ICommClient* client, BYTE address) override;
  STDMETHODIMP RegisterClient(ICommClient* client, BYTE address, LONG* registered) override;
  STDMETHODIMP UnregisterClient(ICommClient* client) override;
  STDMETHODIMP get_Encoder(VARIANT* encoder) override;
  STDMETHODIMP put_Encoder(VARIANT encoder) override;
  STDMETHODIMP get_Decoder(VARIANT* decoder) override;
  STDMETHODIMP put_Decoder(VARIANT decoder) override;
  STDMETHODIMP get_CRCGenerator(VARIANT* generator) override;
  STDMETHODIMP put_CRCGenerator(VARIANT generator) override;
  STDMETHODIMP get_BaudRate(LONG* rate) override;
  STDMETHODIMP put_BaudRate(LONG rate) override;
  STDMETHODIMP GetClient(BYTE address, ICommClient** client) override;
  STDMETHODIMP get_ConversationTimeout(LONG* milliseconds) override;
  STDMETHODIMP put_ConversationTimeout(LONG milliseconds) override;
  STDMETHODIMP get_BytesWritten(LONG* count) override;
  STDMETHODIMP get_BytesRead(LONG* count) override;

 private:
  bool FireVtable(PortEvent event, LONG argument) noexcept;
  bool FireDispatch(PortEvent event, LONG argument) noexcept;
  template <class I>
  HRESULT PutComponent(const VARIANT& value, CComponent<I>& component) noexcept;

  orvo::com::critical_section m_lock;
  CSerialImp* m_engine = nullptr;
  DWORD m_cookie = 0;
  orvo::com::connection_point m_vtable_events;
  orvo::com::connection_point m_dispatch_events;
};
