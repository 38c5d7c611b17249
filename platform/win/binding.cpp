#include "binding.h"

#include <atomic>
#include <cstdio>
#include <exception>
#include <string>
#include <unordered_map>

#include "guard.h"

namespace WTL {
namespace {

void debugger_logger(const char* where, const char* what) {
  std::string line = "Orvo: exception caught at a ";
  line += where;
  line += ": ";
  line += what;
  line += "\n";
  OutputDebugStringA(line.c_str());
}

std::atomic<exception_logger> g_logger{nullptr};

struct pending_slot {
  ATOM atom = 0;
  void* object = nullptr;
};
thread_local pending_slot t_pending;

// The records of bound windows by window and atom, beside their window
// properties: under Wine every GetPropW is a call to the wineserver (about
// 30 microseconds), and every message to a bound window looks its record
// up. bind and unbind keep both in step; a window not found here is looked
// up by its property.
class binding_table {
 public:
  detail::binding* find(HWND hWnd, ATOM atom) noexcept {
    AcquireSRWLockShared(&m_lock);
    const auto it = m_records.find(key(hWnd, atom));
    detail::binding* found = it == m_records.end() ? nullptr : it->second;
    ReleaseSRWLockShared(&m_lock);
    return found;
  }
  void put(HWND hWnd, ATOM atom, detail::binding* record) noexcept {
    AcquireSRWLockExclusive(&m_lock);
    try {
      m_records[key(hWnd, atom)] = record;
    } catch (...) {  // not kept: found by its property
    }
    ReleaseSRWLockExclusive(&m_lock);
  }
  void remove(HWND hWnd, ATOM atom) noexcept {
    AcquireSRWLockExclusive(&m_lock);
    m_records.erase(key(hWnd, atom));
    ReleaseSRWLockExclusive(&m_lock);
  }

 private:
  static unsigned long long key(HWND hWnd, ATOM atom) noexcept {
    return (static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hWnd)) << 16) ^ atom;
  }
  SRWLOCK m_lock = SRWLOCK_INIT;
  std::unordered_map<unsigned long long, detail::binding*> m_records;
};

binding_table& records() noexcept {
  static binding_table table;
  return table;
}

}  // namespace

exception_logger set_exception_logger(exception_logger logger) noexcept { return g_logger.exchange(logger); }

namespace detail {

ATOM binding_atom(const void* key) noexcept {
  wchar_t name[40];
  swprintf(name, 40, L"Orvo.window.%p", key);
  return GlobalAddAtomW(name);
}

binding* find_binding(HWND hWnd, ATOM atom) noexcept {
  if (binding* known = records().find(hWnd, atom)) return known;
  return static_cast<binding*>(GetPropW(hWnd, MAKEINTATOM(atom)));
}

binding* bind(HWND hWnd, ATOM atom, void* object, WNDPROC super) noexcept {
  if (!atom || find_binding(hWnd, atom)) return nullptr;
  auto* b = new (std::nothrow) binding{object, super};
  if (b && !SetPropW(hWnd, MAKEINTATOM(atom), b)) {
    delete b;
    b = nullptr;
  }
  if (b) records().put(hWnd, atom, b);
  return b;
}

void unbind(HWND hWnd, ATOM atom) noexcept {
  records().remove(hWnd, atom);
  delete static_cast<binding*>(RemovePropW(hWnd, MAKEINTATOM(atom)));
}

void set_pending(ATOM atom, void* object) noexcept { t_pending = {atom, object}; }

void* take_pending(ATOM atom) noexcept {
  if (t_pending.atom != atom) return nullptr;
  void* object = t_pending.object;
  t_pending = {};
  return object;
}

void clear_pending() noexcept { t_pending = {}; }

void log_current_exception(const char* where) noexcept {
  const char* what = "unknown exception";
  try {
    throw;
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
  }
  exception_logger logger = g_logger.load();
  try {
    (logger ? logger : debugger_logger)(where, what);
  } catch (...) {
  }
}

}  // namespace detail
}  // namespace WTL
