#include "CommServer.h"

#include <type_traits>

#include "RasperProcess.h"

using orvo::com::ptr;
using orvo::com::scoped_lock;

namespace {
const wchar_t kSource[] = L"Quarnell.CommServerConstructor";

template <class I>
HRESULT ComponentVariant(CComponent<I>& component, VARIANT* out) noexcept {
  if (!out) return E_POINTER;
  VariantInit(out);
  out->vt = VT_UNKNOWN;
  out->punkVal = component.Get().detach();
  return S_OK;
}
}  // namespace

CCommServer::CCommServer() noexcept
    : m_vtable_events(*this, IID__ICommServerEventMethods),
      m_dispatch_events(*this, DIID__DCommServerEvents, /*dispatch_fallback*/ true) {}

CCommServer::~CCommServer() {
  if (m_engine) {
    m_engine->Unbind(m_cookie);
    RasperProcess().servers.Release(m_engine);
  }
}

HRESULT CCommServer::Bind(CSerialImp* engine) noexcept {
  scoped_lock hold(m_lock);
  if (m_engine) return E_UNEXPECTED;
  try {
    m_cookie = engine->Bind(this);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  m_engine = engine;
  return S_OK;
}

orvo::com::connection_point* CCommServer::find_connection_point(REFIID iid) noexcept {
  if (iid == IID__ICommServerEventMethods) return &m_vtable_events;
  if (iid == DIID__DCommServerEvents) return &m_dispatch_events;
  return nullptr;
}

std::vector<orvo::com::connection_point*> CCommServer::connection_point_list() {
  return {&m_vtable_events, &m_dispatch_events};
}

// ------------------------------------------------------------------ events

bool CCommServer::Fire(PortEvent event, LONG argument, bool dispatch_first) noexcept {
  if (dispatch_first) return FireDispatch(event, argument) && FireVtable(event, argument);
  return FireVtable(event, argument) && FireDispatch(event, argument);
}

bool CCommServer::FireVtable(PortEvent event, LONG argument) noexcept {
  try {
    for (const auto& sink : m_vtable_events.sinks<_ICommServerEventMethods>()) {
      VARIANT_BOOL allow = VARIANT_TRUE;
      switch (event) {
        case PortEvent::BaudRateChanging:
          sink->OnBaudRateChanging(argument, &allow);
          break;
        case PortEvent::BaudRateChanged:
          sink->OnBaudRateChanged();
          break;
        case PortEvent::ConversationTimeoutChanging:
          sink->OnConversationTimeoutChanging(argument, &allow);
          break;
        case PortEvent::ConversationTimeoutChanged:
          sink->OnConversationTimeoutChanged();
          break;
        case PortEvent::ClientRegistered:
          sink->OnClientRegistered(static_cast<BYTE>(argument));
          break;
        case PortEvent::ClientUnregistered:
          sink->OnClientUnregistered(static_cast<BYTE>(argument));
          break;
      }
      if (allow == VARIANT_FALSE) return false;
    }
  } catch (const std::bad_alloc&) {
  }
  return true;
}

bool CCommServer::FireDispatch(PortEvent event, LONG argument) noexcept {
  const bool changing = event == PortEvent::BaudRateChanging || event == PortEvent::ConversationTimeoutChanging;
  const bool with_address = event == PortEvent::ClientRegistered || event == PortEvent::ClientUnregistered;
  try {
    for (const auto& sink : m_dispatch_events.sinks<IDispatch>()) {
      VARIANT arg;
      VariantInit(&arg);
      if (changing) {
        arg.vt = VT_I4;
        arg.lVal = argument;
      } else if (with_address) {
        arg.vt = VT_UI1;
        arg.bVal = static_cast<BYTE>(argument);
      }
      DISPPARAMS params{&arg, nullptr, (changing || with_address) ? 1u : 0u, 0};
      VARIANT vote;
      VariantInit(&vote);
      vote.vt = VT_BOOL;
      vote.boolVal = VARIANT_TRUE;
      sink->Invoke(static_cast<DISPID>(event), IID_NULL, 0x400, DISPATCH_METHOD, &params, &vote, nullptr, nullptr);
      // A sink that returns nothing leaves the vote as it was.
      bool allow = true;
      if (changing && vote.vt != VT_EMPTY) {
        if (SUCCEEDED(VariantChangeType(&vote, &vote, 0, VT_BOOL))) allow = vote.boolVal != VARIANT_FALSE;
      }
      VariantClear(&vote);
      if (!allow) return false;
    }
  } catch (const std::bad_alloc&) {
  }
  return true;
}

// ------------------------------------------------------------- ICommServer

STDMETHODIMP CCommServer::get_PortName(BSTR* name) {
  if (!name) return E_POINTER;
  scoped_lock hold(m_lock);
  *name = SysAllocString(m_engine->PortName().c_str());
  return *name ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CCommServer::RequestConversation(ICommClient* client, BYTE address) {
  scoped_lock hold(m_lock);
  return orvo::com::guard(kSource, IID_ICommServer, [&] { return m_engine->RequestConversation(client, address); });
}

STDMETHODIMP CCommServer::RegisterClient(ICommClient* client, BYTE address, LONG* registered) {
  scoped_lock hold(m_lock);
  return orvo::com::guard(kSource, IID_ICommServer,
                          [&] { return m_engine->RegisterClient(client, address, registered); });
}

STDMETHODIMP CCommServer::UnregisterClient(ICommClient* client) {
  scoped_lock hold(m_lock);
  return orvo::com::guard(kSource, IID_ICommServer, [&] { return m_engine->UnregisterClient(client); });
}

template <class I>
HRESULT CCommServer::PutComponent(const VARIANT& value, CComponent<I>& component) noexcept {
  scoped_lock hold(m_lock);
  ptr<I> made;
  if (value.vt == VT_BSTR) {
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(value.bstrVal, &clsid);
    if (SUCCEEDED(hr)) hr = orvo::com::create_instance(clsid, made);
    if (FAILED(hr))
      return orvo::com::set_error(
          hr, kSource, L"Unable to create the component " + std::wstring(value.bstrVal ? value.bstrVal : L""),
          IID_ICommServer);
  } else if (value.vt == VT_UNKNOWN && value.punkVal) {
    if (FAILED(value.punkVal->QueryInterface(__uuidof(I), made.put_void())))
      return orvo::com::set_error(E_NOINTERFACE, kSource, L"The object lacks the component's interface",
                                  IID_ICommServer);
  } else if (value.vt == VT_UNKNOWN) {
    component.Set(nullptr);
    return S_FALSE;
  } else {
    return orvo::com::set_error(E_INVALIDARG, kSource, L"A component is given by its ProgID or as an object",
                                IID_ICommServer);
  }
  if constexpr (std::is_same_v<I, IPacketDecoder>) {
    // A new decoder hands its packets to this port at once.
    const HRESULT hr = m_engine->AttachDecoder(made.get());
    if (FAILED(hr)) return hr;
  }
  component.Set(std::move(made));
  return S_OK;
}

STDMETHODIMP CCommServer::get_Encoder(VARIANT* encoder) { return ComponentVariant(m_engine->m_encoder, encoder); }
STDMETHODIMP CCommServer::put_Encoder(VARIANT encoder) { return PutComponent(encoder, m_engine->m_encoder); }
STDMETHODIMP CCommServer::get_Decoder(VARIANT* decoder) { return ComponentVariant(m_engine->m_decoder, decoder); }
STDMETHODIMP CCommServer::put_Decoder(VARIANT decoder) { return PutComponent(decoder, m_engine->m_decoder); }
STDMETHODIMP CCommServer::get_CRCGenerator(VARIANT* generator) { return ComponentVariant(m_engine->m_crc, generator); }
STDMETHODIMP CCommServer::put_CRCGenerator(VARIANT generator) { return PutComponent(generator, m_engine->m_crc); }

STDMETHODIMP CCommServer::get_BaudRate(LONG* rate) {
  scoped_lock hold(m_lock);
  return m_engine->GetBaudRate(rate);
}

STDMETHODIMP CCommServer::put_BaudRate(LONG rate) {
  scoped_lock hold(m_lock);
  return m_engine->SetBaudRate(rate);
}

STDMETHODIMP CCommServer::GetClient(BYTE address, ICommClient** client) {
  scoped_lock hold(m_lock);
  return m_engine->GetClient(address, client);
}

STDMETHODIMP CCommServer::get_ConversationTimeout(LONG* milliseconds) {
  if (!milliseconds) return E_POINTER;
  scoped_lock hold(m_lock);
  *milliseconds = m_engine->ConversationTimeout();
  return S_OK;
}

STDMETHODIMP CCommServer::put_ConversationTimeout(LONG milliseconds) {
  scoped_lock hold(m_lock);
  return m_engine->SetConversationTimeout(milliseconds);
}

STDMETHODIMP CCommServer::get_BytesWritten(LONG* count) {
  if (!count) return E_POINTER;
  *count = m_engine->BytesWritten();
  return S_OK;
}

STDMETHODIMP CCommServer::get_BytesRead(LONG* count) {
  if (!count) return E_POINTER;
  *count = m_engine->BytesRead();
  return S_OK;
}
