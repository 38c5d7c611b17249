// Hooks and timers that call C++ objects, without code written at run time.
//
//   WTL::thread_hook m_focus_hook;
//   m_focus_hook.install(WH_CBT, [this](int code, WPARAM w, LPARAM l, LRESULT& result) {
//     if (code == HCBT_SETFOCUS) on_focus(reinterpret_cast<HWND>(w));
//     return false;  // not handled: the next hook and the system go on
//   });
//
//   WTL::windowless_timer m_blink;
//   m_blink.start(333, [this] { blink(); });
//
// A thread hook is installed for the calling thread and must be removed on
// it (the destructor does). Hooks of one kind on one thread share one
// system hook; they are called newest first, until one answers true, and
// the system's next hook is called unless one did (its result is then
// `result`). A timer ticks on the thread that started it, while that
// thread runs a message loop. An exception from a handler is logged
// (guard.h) and counts as "not handled".
#pragma once

#include <windows.h>

#include <functional>

namespace WTL {

class thread_hook {
 public:
  // true: handled; the hook answers `result` and the chain stops.
  using handler = std::function<bool(int code, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

  thread_hook() = default;
  thread_hook(const thread_hook&) = delete;
  thread_hook& operator=(const thread_hook&) = delete;
  ~thread_hook() { remove(); }

  // Installs a hook of `type` (WH_CBT, WH_GETMESSAGE, WH_MSGFILTER...) on
  // this thread; false when already installed or the system refuses.
  bool install(int type, handler h);
  void remove() noexcept;
  bool installed() const noexcept { return m_type != no_hook; }

  // Runs the handlers of `type` on this thread (the system hook's body).
  static LRESULT call(int type, int code, WPARAM wParam, LPARAM lParam) noexcept;

 private:
  static constexpr int no_hook = -100;
  int m_type = no_hook;
  DWORD m_thread = 0;
  handler m_handler;
};

class windowless_timer {
 public:
  windowless_timer() = default;
  windowless_timer(const windowless_timer&) = delete;
  windowless_timer& operator=(const windowless_timer&) = delete;
  ~windowless_timer() { stop(); }

  // Starts (or restarts) ticking every `elapse` ms; false when the system refuses.
  bool start(UINT elapse, std::function<void()> tick);
  void stop() noexcept;
  bool running() const noexcept { return m_id != 0; }

 private:
  static void CALLBACK timer_proc(HWND, UINT, UINT_PTR id, DWORD);
  UINT_PTR m_id = 0;
  std::function<void()> m_tick;
};

}  // namespace WTL
