#include "hook.h"

#include <array>
#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "binding.h"

namespace WTL {
namespace {

// WH_MSGFILTER (-1) to WH_MOUSE_LL (14).
constexpr int first_type = WH_MSGFILTER;
constexpr int type_count = WH_MOUSE_LL - WH_MSGFILTER + 1;

struct hook_slot {
  HHOOK hook = nullptr;
  std::vector<thread_hook*> users;
};
thread_local hook_slot t_hooks[type_count];
thread_local int t_walks = 0;  // hook calls under way on this thread

template <int Type>
LRESULT CALLBACK hook_proc(int code, WPARAM wParam, LPARAM lParam) {
  return thread_hook::call(Type, code, wParam, lParam);
}

template <int... Offsets>
constexpr std::array<HOOKPROC, type_count> make_procs(std::integer_sequence<int, Offsets...>) {
  return {&hook_proc<first_type + Offsets>...};
}

HOOKPROC proc_of(int type) noexcept {
  static const auto procs = make_procs(std::make_integer_sequence<int, type_count>{});
  return procs[static_cast<size_t>(type - first_type)];
}

thread_local std::map<UINT_PTR, windowless_timer*> t_timers;

}  // namespace

bool thread_hook::install(int type, handler h) {
  if (installed() || !h || type < first_type || type >= first_type + type_count) return false;
  hook_slot& slot = t_hooks[type - first_type];
  if (!slot.hook) {
    slot.hook = ::SetWindowsHookExW(type, proc_of(type), nullptr, ::GetCurrentThreadId());
    if (!slot.hook) return false;
  }
  slot.users.push_back(this);
  m_type = type;
  m_thread = ::GetCurrentThreadId();
  m_handler = std::move(h);
  return true;
}

void thread_hook::remove() noexcept {
  if (!installed() || m_thread != ::GetCurrentThreadId()) return;
  hook_slot& slot = t_hooks[m_type - first_type];
  // During a hook call the entry becomes a gap that the call skips.
  for (auto& user : slot.users) {
    if (user == this) user = nullptr;
  }
  if (!t_walks) slot.users.erase(std::remove(slot.users.begin(), slot.users.end(), nullptr), slot.users.end());
  if (std::all_of(slot.users.begin(), slot.users.end(), [](thread_hook* user) { return !user; })) {
    ::UnhookWindowsHookEx(slot.hook);
    slot = hook_slot{};
  }
  m_type = no_hook;
}

LRESULT thread_hook::call(int type, int code, WPARAM wParam, LPARAM lParam) noexcept {
  hook_slot& slot = t_hooks[type - first_type];
  HHOOK next = slot.hook;
  if (code >= 0) {
    // Newest first, by index: a handler may add or remove hooks.
    struct walk {
      walk() noexcept { ++t_walks; }
      ~walk() { --t_walks; }
    } scope;
    for (size_t i = slot.users.size(); i-- > 0;) {
      thread_hook* user = i < slot.users.size() ? slot.users[i] : nullptr;
      if (!user) continue;
      LRESULT result = 0;
      try {
        if (user->m_handler(code, wParam, lParam, result)) return result;
      } catch (...) {
        detail::log_current_exception("hook");
      }
    }
  }
  return ::CallNextHookEx(next, code, wParam, lParam);
}

bool windowless_timer::start(UINT elapse, std::function<void()> tick) {
  if (!tick) return false;
  stop();
  m_id = ::SetTimer(nullptr, 0, elapse, &timer_proc);
  if (!m_id) return false;
  m_tick = std::move(tick);
  t_timers[m_id] = this;
  return true;
}

void windowless_timer::stop() noexcept {
  if (!m_id) return;
  ::KillTimer(nullptr, m_id);
  t_timers.erase(m_id);
  m_id = 0;
}

void CALLBACK windowless_timer::timer_proc(HWND, UINT, UINT_PTR id, DWORD) {
  auto found = t_timers.find(id);
  if (found == t_timers.end()) return;
  try {
    // A copy: the handler may stop or restart its own timer.
    std::function<void()> tick = found->second->m_tick;
    tick();
  } catch (...) {
    detail::log_current_exception("timer");
  }
}

}  // namespace WTL
