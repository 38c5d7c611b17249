// A critical section, its scoped holder and its scoped releaser, for
// objects called from many threads at once (free-threaded COM objects).
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

// Leaves a held critical section for a scope and enters it again at its
// end (also when an exception leaves the scope): for calls out of an object,
// which must not hold its lock.
class scoped_unlock {
 public:
  explicit scoped_unlock(critical_section& cs) noexcept : m_cs(cs) { m_cs.unlock(); }
  ~scoped_unlock() { m_cs.lock(); }
  scoped_unlock(const scoped_unlock&) = delete;
  scoped_unlock& operator=(const scoped_unlock&) = delete;

 private:
  critical_section& m_cs;
};

}  // namespace orvo::com
