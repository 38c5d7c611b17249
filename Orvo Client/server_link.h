// The link to the amplifier server: creates the server by its ProgID,
// listens to its events and asks it to initialise; disconnecting lets go of
// it again.
//
//   CServerLink link(handler);
//   link.connect();          // (reset: false) raises comet::com_error; nothing is held then
//   link.server()->SetState(...);
//   link.disconnect();
//
// Events reach the handler on the thread the server calls back on (the
// connecting thread in a single-threaded apartment).
#pragma once

#include <oaidl.h>

#include "OrvoServerIntf.h"
#include "comet/dispevent.h"
#include "comet/ptr.h"

extern const wchar_t* const server_progid;  // "OrvoServer.OrvoAmplifier"

// What the client does with each event of the server.
class IServerEventHandler {
 public:
  virtual void OnInitialize(long success, BSTR message) = 0;
  virtual void OnChange(const VARIANT& state) = 0;  // by-reference values already followed
  virtual void OnImpedance(long id, const VARIANT& values) = 0;
  virtual void OnImpedanceEnd() = 0;
  virtual void OnError(long code, BSTR description) = 0;
  virtual void OnReset() = 0;

 protected:
  ~IServerEventHandler() = default;
};

// The sink advised on the server: answers the events' dispinterface and
// IDispatch, and passes dispatch ids 1 to 6 to the handler.
class CServerEventSink
    : public comet::IDispEventImpl<170, CServerEventSink, &DIID_IOrvoAmplifierEvents, &LIBID_OrvoServer, 1, 0> {
 public:
  explicit CServerEventSink(IServerEventHandler& handler) noexcept : m_handler(handler) {}

  void OnInitialize(long success, BSTR message) { m_handler.OnInitialize(success, message); }
  void OnChange(const VARIANT& state) { m_handler.OnChange(state); }
  void OnImpedance(long id, const VARIANT& values) { m_handler.OnImpedance(id, values); }
  void OnImpedanceEnd() { m_handler.OnImpedanceEnd(); }
  void OnError(long code, BSTR description) { m_handler.OnError(code, description); }
  void OnReset() { m_handler.OnReset(); }

  static const comet::sink_entry<CServerEventSink> sink_map[6];

 private:
  IServerEventHandler& m_handler;
};

class CServerLink {
 public:
  explicit CServerLink(IServerEventHandler& handler) noexcept : m_sink(handler) {}
  CServerLink(const CServerLink&) = delete;
  CServerLink& operator=(const CServerLink&) = delete;
  ~CServerLink() { disconnect(); }

  // Creates the server (any context), advises the sink and calls
  // Initialize(reset). A failed step disconnects and raises that step's
  // HRESULT (a ProgID that is not registered: CO_E_CLASSSTRING).
  void connect(bool reset = false);
  // Unadvises, releases the server and lets COM unload idle libraries.
  void disconnect() noexcept;

  Orvo::IAmplifier* server() const noexcept { return m_server.get(); }
  bool connected() const noexcept { return static_cast<bool>(m_server); }
  CServerEventSink& sink() noexcept { return m_sink; }

 private:
  CServerEventSink m_sink;
  comet::com_ptr<Orvo::IAmplifier> m_server;
};
