#include "pelm_callbacks.h"

#include <chrono>
#include <cstring>
#include <thread>

bool wait_for(const std::function<bool()>& pred, DWORD milliseconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!pred()) {
    if (std::chrono::steady_clock::now() > until) return pred();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void call_log::add(std::string call) {
  std::lock_guard<std::mutex> hold(m_lock);
  m_calls.push_back(std::move(call));
}

std::vector<std::string> call_log::calls() {
  std::lock_guard<std::mutex> hold(m_lock);
  return m_calls;
}

bool call_log::wait(const std::string& prefix, DWORD milliseconds) {
  return wait_for(
      [&] {
        for (const auto& c : calls())
          if (c.rfind(prefix, 0) == 0) return true;
        return false;
      },
      milliseconds);
}

STDMETHODIMP find_callback::OnFindComplete(PelmDeviceRecord* d) {
  if (!d) {
    log.add("null");
    return S_OK;
  }
  std::string text;
  for (const wchar_t* c = d->identity; c && *c; ++c) text += static_cast<char>(*c);
  for (int v : {int(d->byte5), int(d->byte6), int(d->byte7), int(d->byte8), int(d->byte9), int(d->byte10),
                int(d->byte11), int(d->byte12)})
    text += "," + std::to_string(v);
  log.add(text);
  return S_OK;
}

template <class D, class I>
std::string master_callback_of<D, I>::hex(const byte_list& b) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (BYTE x : b) {
    if (!s.empty()) s += ',';
    s += digits[x >> 4];
    s += digits[x & 15];
  }
  return s;
}

template <class D, class I>
STDMETHODIMP master_callback_of<D, I>::OnOpen(IPelmMasterController* c) {
  if (c && !controller) {
    controller = c;
    controller->AddRef();
  }
  return note("1", 1);
}

template <class D, class I>
HRESULT master_callback_of<D, I>::note(std::string text, int method) {
  log.add(std::move(text));
  if (on_call && controller) on_call(controller, method);
  return S_OK;
}

template class master_callback_of<master_callback, IPelmMasterCallback2>;
template class master_callback_of<plain_master_callback, IPelmMasterCallback>;

master_callback::~master_callback() {
  if (controller) controller->Release();
}

plain_master_callback::~plain_master_callback() {
  if (controller) controller->Release();
}

STDMETHODIMP test_slave::ProcessData(BYTE* data, LONG count, BYTE** out, LONG* out_count) {
  log.add(data ? master_callback::hex(byte_list(data, data + count)) : "null:" + std::to_string(count));
  *out = nullptr;
  *out_count = 0;
  if (FAILED(result) || reply.empty()) return result;
  *out = static_cast<BYTE*>(CoTaskMemAlloc(reply.size()));
  std::memcpy(*out, reply.data(), reply.size());
  *out_count = static_cast<LONG>(reply.size());
  return S_OK;
}
