// A client of a port (ICommClient) and event sinks of both kinds, living in
// the test process: the line server calls them through the proxies.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "CommServer_h.h"
#include "com/object.h"

using bytes = std::vector<BYTE>;

class test_client : public orvo::com::object<test_client, ICommClient> {
 public:
  // The request the client opens a conversation with, and its answer to
  // every payload the device sends (empty: no reply, the conversation ends).
  bytes request;
  bytes reply;

  STDMETHODIMP ProcessData(BYTE* data, LONG count, BYTE** out, LONG* out_count) override;
  STDMETHODIMP OnConversationTerminated(LONG reason) override;
  STDMETHODIMP IsAlive() override {
    ++alive_calls;
    return alive ? S_OK : S_FALSE;
  }
  void* query_extra(REFIID iid) noexcept {
    return iid == IID_IDataProcessor ? static_cast<IDataProcessor*>(this) : nullptr;
  }

  // The reason of the next conversation end, or -1 after the time.
  long wait_end(DWORD milliseconds = 5000);
  std::vector<bytes> payloads();

  std::atomic<bool> alive{true};
  std::atomic<int> alive_calls{0};

 private:
  std::mutex m_lock;
  std::vector<bytes> m_payloads;
  std::vector<long> m_reasons;
  std::size_t m_seen = 0;
};

// Records the events of a port as "v5:20" (vtable sink) and "d5:20"
// (dispatch sink) in one shared list; a sink set to refuse votes no.
struct event_log {
  std::mutex lock;
  std::vector<std::string> events;
  std::vector<std::string> take();
};

class vtable_sink : public orvo::com::object<vtable_sink, _ICommServerEventMethods> {
 public:
  explicit vtable_sink(event_log& log) noexcept : m_log(log) {}
  bool refuse = false;
  STDMETHODIMP OnBaudRateChanging(LONG rate, VARIANT_BOOL* allow) override { return vote("v1", rate, allow); }
  STDMETHODIMP OnBaudRateChanged() override { return note("v2"); }
  STDMETHODIMP OnConversationTimeoutChanging(LONG t, VARIANT_BOOL* allow) override { return vote("v3", t, allow); }
  STDMETHODIMP OnConversationTimeoutChanged() override { return note("v4"); }
  STDMETHODIMP OnClientRegistered(BYTE address) override { return note("v5:" + std::to_string(address)); }
  STDMETHODIMP OnClientUnregistered(BYTE address) override { return note("v6:" + std::to_string(address)); }

 private:
  HRESULT note(const std::string& e);
  HRESULT vote(const char* name, LONG value, VARIANT_BOOL* allow);
  event_log& m_log;
};

class dispatch_sink : public orvo::com::object<dispatch_sink, IDispatch> {
 public:
  explicit dispatch_sink(event_log& log) noexcept : m_log(log) {}
  bool refuse = false;
  STDMETHODIMP GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) override;

 private:
  event_log& m_log;
};
