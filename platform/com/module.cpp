#include "module.h"

#include <atomic>
#include <vector>

namespace orvo::com::module {
namespace {
HINSTANCE g_instance = nullptr;
// Live objects and server locks together; the locks also on their own, so
// that an unlock without a lock (a client's unbalanced LockServer(FALSE))
// cannot take away an object's share of the count.
std::atomic<long> g_count{0};
std::atomic<long> g_locks{0};
std::atomic<void (*)()> g_idle{nullptr};

void decrement() noexcept {
  if (--g_count == 0) {
    if (auto cb = g_idle.load()) cb();
  }
}
}  // namespace

void set_instance(HINSTANCE instance) noexcept { g_instance = instance; }

HINSTANCE instance() noexcept {
  if (g_instance) return g_instance;
  // Not set yet (a program, or a test linking the shell statically): use the
  // module this code lives in.
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&set_instance), &self);
  return self;
}

std::wstring path() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(instance(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

void object_created() noexcept { ++g_count; }
void object_destroyed() noexcept { decrement(); }
void lock() noexcept {
  // Counted first, so that a lock can be taken back only once it counts.
  ++g_count;
  ++g_locks;
}
void unlock() noexcept {
  long locks = g_locks.load();
  do {
    if (locks == 0) return;
  } while (!g_locks.compare_exchange_weak(locks, locks - 1));
  decrement();
}
long active_count() noexcept { return g_count.load(); }
void on_idle(void (*callback)()) noexcept { g_idle = callback; }

}  // namespace orvo::com::module
