#include "server_link.h"

#include "state_walk.h"

const wchar_t* const server_progid = L"OrvoServer.OrvoAmplifier";

const comet::sink_entry<CServerEventSink> CServerEventSink::sink_map[6] = {
    comet::sink<170, 1, &CServerEventSink::OnInitialize>(), comet::sink<170, 2, &CServerEventSink::OnChange>(),
    comet::sink<170, 3, &CServerEventSink::OnImpedance>(),  comet::sink<170, 4, &CServerEventSink::OnImpedanceEnd>(),
    comet::sink<170, 5, &CServerEventSink::OnError>(),      comet::sink<170, 6, &CServerEventSink::OnReset>(),
};

void CServerLink::connect(bool reset) {
  disconnect();
  try {
    CLSID clsid;
    comet::check(::CLSIDFromProgID(server_progid, &clsid));
    m_server = comet::create<Orvo::IAmplifier>(clsid, CLSCTX_ALL);
    comet::check(m_sink.DispEventAdvise(m_server.get()));
    const HRESULT hr = m_server->Initialize(reset ? VARIANT_TRUE : VARIANT_FALSE);
    if (FAILED(hr)) raise_server_IAmplifier(hr, m_server.get());
  } catch (...) {
    disconnect();
    throw;
  }
}

void CServerLink::disconnect() noexcept {
  if (m_server) m_sink.DispEventUnadvise(m_server.get());
  m_server.reset();
  ::CoFreeUnusedLibraries();
}
