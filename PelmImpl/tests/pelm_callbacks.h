// The client program's side of the Pelm device objects, living in the test
// process: the device object in the line server's process calls them
// through PelmImpl's proxies. Each records its calls as text ("2:a0,a1").
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "Pelm_h.h"
#include "com/object.h"

using byte_list = std::vector<BYTE>;

// Waits until pred() holds or the time is up; pred()'s last value.
bool wait_for(const std::function<bool()>& pred, DWORD milliseconds = 20000);

class call_log {
 public:
  void add(std::string call);
  std::vector<std::string> calls();
  // Waits for a call starting with `prefix`.
  bool wait(const std::string& prefix, DWORD milliseconds = 20000);

 private:
  std::mutex m_lock;
  std::vector<std::string> m_calls;
};

class find_callback : public orvo::com::object<find_callback, IFindPelmCallback> {
 public:
  STDMETHODIMP OnFindComplete(PelmDeviceRecord* device) override;
  // "null" or "identity,byte5,...,byte12".
  call_log log;
};

// A master callback; `on_call` runs inside every call with the method's
// number, so that a test places the next request there.
template <class Derived, class Interface>
class master_callback_of : public orvo::com::object<Derived, Interface> {
 public:
  STDMETHODIMP OnOpen(IPelmMasterController* controller) override;
  STDMETHODIMP OnStatus(BYTE a, BYTE b) override { return note("2:" + hex({a, b}), 2); }
  STDMETHODIMP Reserved3() override { return note("3", 3); }
  STDMETHODIMP Reserved4() override { return note("4", 4); }
  STDMETHODIMP OnEnd(LONG reason) override { return note("5:" + std::to_string(reason), 5); }
  STDMETHODIMP Reserved6() override { return note("6", 6); }
  STDMETHODIMP Reserved7() override { return note("7", 7); }
  STDMETHODIMP OnIdentity(BYTE a, BYTE b) override { return note("8:" + hex({a, b}), 8); }
  STDMETHODIMP OnBlock(BYTE a, BYTE b, BYTE count, BYTE d, BYTE length, BYTE* data) override {
    return note("9:" + hex({a, b, count, d, length}) + "|" + (data ? hex(byte_list(data, data + length)) : "null"), 9);
  }

  static std::string hex(const byte_list& b);
  call_log log;
  std::function<void(IPelmMasterController*, int)> on_call;
  IPelmMasterController* controller = nullptr;  // held from the opening call on

 protected:
  HRESULT note(std::string text, int method);
};

class master_callback : public master_callback_of<master_callback, IPelmMasterCallback2> {
 public:
  ~master_callback() override;
  STDMETHODIMP OnBlockWritten(BYTE a, BYTE b) override { return note("10:" + hex({a, b}), 10); }
  void* query_extra(REFIID iid) noexcept {
    return iid == IID_IPelmMasterCallback ? static_cast<IPelmMasterCallback*>(this) : nullptr;
  }
};

// A callback that knows only the first master callback interface.
class plain_master_callback : public master_callback_of<plain_master_callback, IPelmMasterCallback> {
 public:
  ~plain_master_callback() override;
};

class test_slave : public orvo::com::object<test_slave, IPelmSlave> {
 public:
  STDMETHODIMP ProcessData(BYTE* data, LONG count, BYTE** reply, LONG* reply_count) override;
  STDMETHODIMP IsAlive() override { return alive ? S_OK : E_FAIL; }
  void* query_extra(REFIID iid) noexcept {
    return iid == IID_IDataProcessor ? static_cast<IDataProcessor*>(this) : nullptr;
  }
  // Set by the test between packets; read on the line server's calls.
  byte_list reply;
  std::atomic<HRESULT> result{S_OK};
  std::atomic<bool> alive{true};
  // "null" for a call without bytes, else the bytes in hex.
  call_log log;
};
