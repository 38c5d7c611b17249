#include "Pelm.h"

#include <ocidl.h>

#include "MasterController.h"
#include "PelmTx.h"
#include "Reply.h"
#include "StoredBaudRate.h"
#include "core/device.h"

using orvo::com::ptr;
using orvo::com::scoped_lock;
using orvo::com::set_error;

const wchar_t pelm_source[] = L"Quarnell.PelmEx";

namespace {
// Attaching and the last release of a device object are serialised across
// the process, so that a program attaching to a port's object never gets
// one whose last user is just dropping the port.
orvo::com::critical_section& usage_lock() {
  static orvo::com::critical_section lock;
  return lock;
}

ptr<IConnectionPoint> event_point(ICommServer* port) {
  ptr<IConnectionPointContainer> container;
  ptr<IConnectionPoint> point;
  if (SUCCEEDED(ptr<ICommServer>(port).query(container)))
    container->FindConnectionPoint(IID__ICommServerEventMethods, point.put());
  return point;
}
}  // namespace

void* CPelm::query_extra(REFIID iid) noexcept {
  if (iid == IID_IPelm) return pelm();
  if (iid == IID_IDataProcessor) return client();
  return nullptr;
}

ptr<ICommServer> CPelm::attached_port(HRESULT& hr, REFIID iid) {
  scoped_lock hold(m_lock);
  hr = m_port ? S_OK : set_error(E_UNEXPECTED, pelm_source, L"The device object is not attached to a port", iid);
  return m_port;
}

HRESULT CPelm::unsupported() noexcept { return set_error(E_NOTIMPL, pelm_source, L"Method is obsolete", IID_IPelm); }

HRESULT CPelm::constant(LONG value, LONG* out) noexcept {
  if (!out) return E_POINTER;
  *out = value;
  return S_OK;
}

// ------------------------------------------------------------ slaves

STDMETHODIMP CPelm::RegisterSlave(IPelmSlave* slave, BYTE address, LONG* cookie) {
  HRESULT hr;
  if (!attached_port(hr, IID_IPelm)) return hr;
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!slave) return set_error(E_INVALIDARG, pelm_source, L"No slave was given", IID_IPelm);
  ptr<IPelmSlave> present;
  {
    scoped_lock hold(m_lock);
    present = m_slaves[address].slave;
  }
  // A live slave keeps its address; asked without the lock held, as it
  // may live in another process.
  if (present && SUCCEEDED(present->IsAlive())) return S_FALSE;
  ptr<IPelmSlave> dropped;
  scoped_lock hold(m_lock);
  slot& s = m_slaves[address];
  if (s.slave && !(s.slave == present)) return S_FALSE;  // taken meanwhile
  dropped = std::move(s.slave);
  s.slave = ptr<IPelmSlave>(slave);
  m_cookies = (m_cookies + 1) & 0x7FFFFF;
  if (m_cookies == 0) m_cookies = 1;
  s.cookie = (m_cookies << 8) | address;
  *cookie = s.cookie;
  return S_OK;
}

STDMETHODIMP CPelm::UnregisterSlave(LONG cookie) {
  HRESULT hr;
  if (!attached_port(hr, IID_IPelm)) return hr;
  ptr<IPelmSlave> dropped;
  scoped_lock hold(m_lock);
  slot& s = m_slaves[static_cast<BYTE>(cookie & 0xFF)];
  if (cookie == 0 || s.cookie != cookie || !s.slave)
    return set_error(E_FAIL, pelm_source, L"No slave is registered under this cookie", IID_IPelm);
  dropped = std::move(s.slave);
  s.cookie = 0;
  return S_OK;
}

STDMETHODIMP CPelm::GetSlave(BYTE address, IPelmSlave** slave) {
  HRESULT hr;
  if (!attached_port(hr, IID_IPelm2)) return hr;
  if (!slave) return set_error(E_INVALIDARG, pelm_source, L"No place for the slave was given", IID_IPelm2);
  scoped_lock hold(m_lock);
  m_slaves[address].slave.copy_to(slave);
  return *slave ? S_OK : S_FALSE;
}

STDMETHODIMP CPelm::ProcessData(BYTE* data, LONG count, BYTE** reply, LONG* reply_count) {
  if (const HRESULT hr = no_reply(reply, reply_count); FAILED(hr)) return hr;
  if (!data || count <= 0) return hand_out(&pelm::reply_no_slave_address, 1, reply, reply_count);
  ptr<IPelmSlave> slave;
  {
    scoped_lock hold(m_lock);
    slave = m_slaves[data[0]].slave;
  }
  if (slave) {
    BYTE* answer = nullptr;
    LONG size = 0;
    const HRESULT hr = slave->ProcessData(count > 1 ? data + 1 : nullptr, count - 1, &answer, &size);
    if (SUCCEEDED(hr) && answer && size > 0) {
      *reply = answer;
      *reply_count = size;
      return S_OK;
    }
    CoTaskMemFree(answer);
  }
  return hand_out(&pelm::reply_no_slave_answer, 1, reply, reply_count);
}

// ------------------------------------------------------------ the port

STDMETHODIMP CPelm::CheckOpen() {
  HRESULT hr;
  attached_port(hr, IID_IPelm);
  return hr;
}

STDMETHODIMP CPelm::get_CommServer(ICommServer** port) {
  if (!port) return E_POINTER;
  *port = nullptr;
  scoped_lock hold(m_lock);
  if (!m_port) return set_error(E_NOINTERFACE, pelm_source, L"The device object is not attached to a port", IID_IPelm);
  return m_port.copy_to(port);
}

STDMETHODIMP CPelm::Close() {
  scoped_lock hold(usage_lock());
  return ReleaseUsage();
}

STDMETHODIMP CPelm::AddUsage() {
  ++m_usage;
  return S_OK;
}

STDMETHODIMP CPelm::ReleaseUsage() {
  long n = m_usage.load();
  do {
    if (n <= 0) return S_FALSE;  // not in use: nothing to give back
  } while (!m_usage.compare_exchange_weak(n, n - 1));
  if (n > 1) return S_OK;
  // The last user is gone: leave address 16, stop listening, drop the port.
  ptr<ICommServer> port;
  DWORD cookie = 0;
  {
    scoped_lock hold(m_lock);
    port = std::move(m_port);
    cookie = std::exchange(m_sink_cookie, 0);
  }
  if (port) {
    port->UnregisterClient(client());
    if (cookie)
      if (auto point = event_point(port.get())) point->Unadvise(cookie);
  }
  return S_OK;
}

STDMETHODIMP CPelm::Attach(ICommServer* port, IPelm** device) {
  if (!port) return set_error(E_INVALIDARG, pelm_source, L"No port was given", IID_IPelmUsage);
  if (!device) return E_POINTER;
  *device = nullptr;
  scoped_lock usage(usage_lock());
  {
    scoped_lock hold(m_lock);
    if (m_port)
      return set_error(E_UNEXPECTED, pelm_source, L"The device object is already attached to a port", IID_IPelmUsage);
  }
  // The port's device object, when it has one, is shared.
  ptr<ICommClient> present;
  if (SUCCEEDED(port->GetClient(pelm::device_object_address, present.put())) && present) {
    ptr<IPelm> other = present.as<IPelm>();
    ptr<IPelmUsage> other_usage = present.as<IPelmUsage>();
    if (!other || !other_usage)
      return set_error(E_ACCESSDENIED, pelm_source, L"Another client holds the port's device address", IID_IPelmUsage);
    if (const HRESULT hr = other_usage->AddUsage(); FAILED(hr)) return hr;
    *device = other.detach();
    return S_OK;
  }
  LONG registered = 0;
  if (const HRESULT hr = port->RegisterClient(client(), pelm::device_object_address, &registered); FAILED(hr))
    return hr;
  if (!registered)
    return set_error(E_ACCESSDENIED, pelm_source, L"Another client holds the port's device address", IID_IPelmUsage);
  AddUsage();
  *device = pelm();
  pelm()->AddRef();
  DWORD cookie = 0;
  auto point = event_point(port);
  HRESULT hr = point ? point->Advise(static_cast<_ICommServerEventMethods*>(this), &cookie) : E_NOINTERFACE;
  {
    scoped_lock hold(m_lock);
    m_port = ptr<ICommServer>(port);
    m_sink_cookie = SUCCEEDED(hr) ? cookie : 0;
  }
  if (SUCCEEDED(hr)) hr = port->put_BaudRate(stored_baud_rate());
  if (FAILED(hr)) {
    // Undone in the order that frees the address before the port goes.
    (*device)->Release();
    *device = nullptr;
    ReleaseUsage();
    return hr;
  }
  return S_OK;
}

STDMETHODIMP CPelm::OnBaudRateChanging(LONG rate, VARIANT_BOOL* allow) {
  if (!allow) return E_POINTER;
  *allow = rate == stored_baud_rate() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

// ------------------------------------------------------------ conversations

STDMETHODIMP CPelm::CreateMasterController(IPelmMasterCallback* callback) {
  HRESULT hr;
  auto port = attached_port(hr, IID_IPelm);
  if (!port) return hr;
  if (!callback) return set_error(E_INVALIDARG, pelm_source, L"No callback was given", IID_IPelm);
  ptr<ICommClient> controller;
  if (FAILED(hr = CPelmMasterController::make(controller, callback)))
    return set_error(hr, pelm_source, L"Insufficant memory to complete operation", IID_IPelm);
  return port->RequestConversation(controller.get(), pelm::master_address);
}

STDMETHODIMP CPelm::FindDevices(IFindPelmCallback* callback) {
  HRESULT hr;
  auto port = attached_port(hr, IID_IPelm);
  if (!port) return hr;
  port->put_BaudRate(stored_baud_rate());
  if (!callback) return set_error(E_INVALIDARG, pelm_source, L"No callback was given", IID_IPelm);
  ptr<ICommClient> find;
  if (FAILED(hr = CFindPelm::make(find, pelm(), callback)))
    return set_error(hr, pelm_source, L"Insufficant memory to complete operation", IID_IPelm);
  return port->RequestConversation(find.get(), pelm::find_address);
}

STDMETHODIMP CPelm::Reset() {
  HRESULT hr;
  auto port = attached_port(hr, IID_IPelm);
  if (!port) return hr;
  ptr<ICommClient> reset;
  if (FAILED(hr = CPelmReset::make(reset, pelm())))
    return set_error(hr, pelm_source, L"Insufficant memory to complete operation", IID_IPelm);
  return port->RequestConversation(reset.get(), pelm::master_address);
}
