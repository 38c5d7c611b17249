// A critical section and its scoped holder, for objects called from many
// threads at once (free-threaded COM objects).
#pragma once

#include <windows.h>

namespace orvo::com {

class critical_section {
 public:
  critical_section() noexcept { InitializeCriticalSection(&m_cs); }
  ~critical_section() { DeleteCriticalSection(&m_cs); }
  critical_section(const critical_section&) = delete;
  critical_section& operator=(const critical_section&) = delete;
  void lock() noexcept { EnterCriticalSection(&m_cs); }
  void unlock() noexcept { LeaveCriticalSection(&m_cs); }

 private:
  CRITICAL_SECTION m_cs;
};

class scoped_lock {
 public:
  explicit scoped_lock(critical_section& cs) noexcept : m_cs(cs) { m_cs.lock(); }
  ~scoped_lock() { m_cs.unlock(); }
  scoped_lock(const scoped_lock&) = delete;
  scoped_lock& operator=(const scoped_lock&) = delete;

 private:
  critical_section& m_cs;
};

}  // namespace orvo::com
