// Connection points: the server side of outgoing interfaces (events).
//
// A COM class with events lists `connection_point_container<Derived>` among
// its interfaces and holds one connection_point member per outgoing
// interface, each told its IID and the container it belongs to:
//
//   class CThing : public object<CThing, IThing, connection_point_container<CThing>> {
//    public:
//     CThing() : m_events(*this, __uuidof(IThingEvents)) {}
//     connection_point* find_connection_point(REFIID iid) noexcept;  // m_events for its IID
//     std::vector<connection_point*> connection_point_list();         // {&m_events}
//     void fire() { for (auto& sink : m_events.sinks<IThingEvents>()) sink->OnThing(); }
//    private:
//     connection_point m_events;
//   };
//
// A connection point shares its container's lifetime (its AddRef and Release
// go to the container) but is an object of its own for QueryInterface.
// sinks<I>() copies the advised sinks as counted pointers under the point's
// lock and releases the lock before the caller calls them, so a sink may
// advise or unadvise from inside an event. A point made for a dispinterface
// (`dispatch_fallback`) also accepts a sink that answers only IDispatch: a
// sink in another process may not know the dispinterface's IID when its
// type library is not registered there.
#pragma once

#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#include <utility>
#include <vector>

#include "lock.h"
#include "ptr.h"

namespace orvo::com {

class connection_point final : public IConnectionPoint {
 public:
  connection_point(IConnectionPointContainer& container, REFIID iid, bool dispatch_fallback = false) noexcept
      : m_container(container), m_iid(iid), m_dispatch_fallback(dispatch_fallback) {}
  connection_point(const connection_point&) = delete;
  connection_point& operator=(const connection_point&) = delete;

  const IID& iid() const noexcept { return m_iid; }

  // The advised sinks, each as interface I (sinks not answering I are left
  // out), in the order they were advised.
  template <class I>
  std::vector<ptr<I>> sinks() const {
    std::vector<ptr<I>> result;
    for (const ptr<IUnknown>& sink : sink_unknowns()) {
      ptr<I> typed;
      if (SUCCEEDED(sink.query(typed))) result.push_back(std::move(typed));
    }
    return result;
  }
  // The advised sinks as the interface they were advised with (the
  // outgoing interface, or IDispatch for a dispatch fallback).
  std::vector<ptr<IUnknown>> sink_unknowns() const;
  std::size_t sink_count() const noexcept;

  // IUnknown: the point's own identity, the container's count.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return m_container.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return m_container.Release(); }

  // IConnectionPoint
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** out) override;

 private:
  struct connection {
    DWORD cookie;
    ptr<IUnknown> sink;
  };

  IConnectionPointContainer& m_container;
  const IID m_iid;
  const bool m_dispatch_fallback;
  mutable critical_section m_lock;
  std::vector<connection> m_connections;
  DWORD m_next_cookie = 1;
};

namespace detail {
HRESULT find_connection_point(connection_point* found, IConnectionPoint** out) noexcept;
HRESULT enum_connection_points(const std::vector<connection_point*>& points, IEnumConnectionPoints** out) noexcept;
}  // namespace detail

// The IConnectionPointContainer entry of an object's interface list. The
// derived class supplies find_connection_point(iid) and
// connection_point_list().
template <class Derived>
class connection_point_container : public IConnectionPointContainer {
 public:
  using interface_type = IConnectionPointContainer;

  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
    if (!out) return E_POINTER;
    return detail::find_connection_point(static_cast<Derived*>(this)->find_connection_point(iid), out);
  }
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override {
    try {
      return detail::enum_connection_points(static_cast<Derived*>(this)->connection_point_list(), out);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
};

}  // namespace orvo::com
