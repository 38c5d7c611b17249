#include "connection_points.h"

#include <algorithm>
#include <new>

#include "enumerator.h"

namespace orvo::com {

std::vector<ptr<IUnknown>> connection_point::sink_unknowns() const {
  scoped_lock hold(m_lock);
  std::vector<ptr<IUnknown>> result;
  result.reserve(m_connections.size());
  for (const connection& c : m_connections) result.push_back(c.sink);
  return result;
}

std::size_t connection_point::sink_count() const noexcept {
  scoped_lock hold(m_lock);
  return m_connections.size();
}

STDMETHODIMP connection_point::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP connection_point::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = m_iid;
  return S_OK;
}

STDMETHODIMP connection_point::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (!out) return E_POINTER;
  *out = &m_container;
  m_container.AddRef();
  return S_OK;
}

STDMETHODIMP connection_point::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie) *cookie = 0;
  if (!sink || !cookie) return E_POINTER;
  ptr<IUnknown> held;
  HRESULT hr = sink->QueryInterface(m_iid, held.put_void());
  if (FAILED(hr) && m_dispatch_fallback) hr = sink->QueryInterface(IID_IDispatch, held.put_void());
  if (FAILED(hr)) return CONNECT_E_CANNOTCONNECT;
  try {
    scoped_lock hold(m_lock);
    // Cookies are never 0 and never reused while a connection holds one.
    const DWORD next = m_next_cookie++;
    if (m_next_cookie == 0) m_next_cookie = 1;
    m_connections.push_back({next, std::move(held)});
    *cookie = next;
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

STDMETHODIMP connection_point::Unadvise(DWORD cookie) {
  ptr<IUnknown> released;  // let go after the lock: the sink's Release may call back
  {
    scoped_lock hold(m_lock);
    auto it = std::find_if(m_connections.begin(), m_connections.end(),
                           [cookie](const connection& c) { return c.cookie == cookie; });
    if (it == m_connections.end()) return CONNECT_E_NOCONNECTION;
    released = std::move(it->sink);
    m_connections.erase(it);
  }
  return S_OK;
}

STDMETHODIMP connection_point::EnumConnections(IEnumConnections** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  try {
    std::vector<CONNECTDATA> data;
    {
      scoped_lock hold(m_lock);
      for (const connection& c : m_connections) data.push_back({c.sink.get(), c.cookie});
      // The enumerator copies (and AddRefs) the sinks while the lock still
      // keeps them alive.
      ptr<IEnumConnections> e;
      const HRESULT hr = enumerator<IEnumConnections, CONNECTDATA, copy_connectdata>::make_from(data, e);
      if (FAILED(hr)) return hr;
      *out = e.detach();
    }
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

namespace detail {

HRESULT find_connection_point(connection_point* found, IConnectionPoint** out) noexcept {
  *out = found;
  if (!found) return CONNECT_E_NOCONNECTION;
  found->AddRef();
  return S_OK;
}

HRESULT enum_connection_points(const std::vector<connection_point*>& points, IEnumConnectionPoints** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  try {
    std::vector<IConnectionPoint*> items(points.begin(), points.end());
    ptr<IEnumConnectionPoints> e;
    const HRESULT hr =
        enumerator<IEnumConnectionPoints, IConnectionPoint*, copy_interface<IConnectionPoint>>::make_from(items, e);
    if (SUCCEEDED(hr)) *out = e.detach();
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace detail
}  // namespace orvo::com
