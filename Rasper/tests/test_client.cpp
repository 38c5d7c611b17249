#include "test_client.h"

#include <windows.h>

#include <chrono>
#include <cstring>
#include <thread>

STDMETHODIMP test_client::ProcessData(BYTE* data, LONG count, BYTE** out, LONG* out_count) {
  const bytes& answer = data ? reply : request;
  if (data) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_payloads.emplace_back(data, data + count);
  }
  *out = nullptr;
  *out_count = 0;
  if (answer.empty()) return S_OK;
  *out = static_cast<BYTE*>(CoTaskMemAlloc(answer.size()));
  std::memcpy(*out, answer.data(), answer.size());
  *out_count = static_cast<LONG>(answer.size());
  return S_OK;
}

STDMETHODIMP test_client::OnConversationTerminated(LONG reason) {
  std::lock_guard<std::mutex> hold(m_lock);
  m_reasons.push_back(reason);
  return S_OK;
}

long test_client::wait_end(DWORD milliseconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    {
      std::lock_guard<std::mutex> hold(m_lock);
      if (m_seen < m_reasons.size()) return m_reasons[m_seen++];
    }
    if (std::chrono::steady_clock::now() > until) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

std::vector<bytes> test_client::payloads() {
  std::lock_guard<std::mutex> hold(m_lock);
  return m_payloads;
}

std::vector<std::string> event_log::take() {
  std::lock_guard<std::mutex> hold(lock);
  return std::move(events);
}

HRESULT vtable_sink::note(const std::string& e) {
  std::lock_guard<std::mutex> hold(m_log.lock);
  m_log.events.push_back(e);
  return S_OK;
}

HRESULT vtable_sink::vote(const char* name, LONG, VARIANT_BOOL* allow) {
  note(name);
  if (refuse) *allow = VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP dispatch_sink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                   UINT*) {
  std::string e = "d" + std::to_string(id);
  if ((id == 5 || id == 6) && params->cArgs == 1 && params->rgvarg[0].vt == VT_UI1)
    e += ":" + std::to_string(params->rgvarg[0].bVal);
  {
    std::lock_guard<std::mutex> hold(m_log.lock);
    m_log.events.push_back(e);
  }
  if ((id == 1 || id == 3) && result && refuse) {
    VariantClear(result);
    result->vt = VT_BOOL;
    result->boolVal = VARIANT_FALSE;
  }
  return S_OK;
}
