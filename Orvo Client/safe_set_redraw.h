// CSafeSetRedraw<T>: nestable suspension of T's window drawing. The first
// suspension sends WM_SETREDRAW FALSE, the release that ends the last one
// WM_SETREDRAW TRUE (without invalidating); a release with none pending
// does nothing. `suspension` holds one for a scope, so that a throw never
// leaves the window frozen:
//
//   {
//     CSafeSetRedraw<CLogList>::suspension frozen(m_list);
//     refill();
//   }
//
// CSafeSetRedraw<T, true> defers the switch: a suspension only opens the
// window for changes, and drawing goes off when T calls StopRedraw before
// a change that needs it (rows or columns inserted or deleted); the last
// release switches it back on only when it went off. Changes that need no
// switch (texts set in place) redraw just what they touch. Before the last
// release ends, T's OnRedrawResuming runs, while still suspended, so that
// T can finish work it left pending for the end of the suspension; it must
// not suspend or release itself.
#pragma once

#include <windows.h>

template <class T, bool Deferred = false>
class CSafeSetRedraw {
 public:
  void SuspendRedraw() noexcept {
    if (m_suspensions++ == 0 && !Deferred) StopRedraw();
  }
  void ReleaseRedraw() noexcept {
    if (m_suspensions == 0) return;
    if (m_suspensions == 1) static_cast<T*>(this)->OnRedrawResuming();
    if (--m_suspensions == 0 && m_stopped) {
      m_stopped = false;
      send(TRUE);
    }
  }
  bool IsRedrawSuspended() const noexcept { return m_suspensions != 0; }

  // Switches drawing off inside a suspension, once; outside one it does nothing.
  void StopRedraw() noexcept {
    if (m_suspensions == 0 || m_stopped) return;
    m_stopped = true;
    send(FALSE);
  }
  // True while WM_SETREDRAW FALSE is in force.
  bool IsRedrawStopped() const noexcept { return m_stopped; }

  // T's work at the end of the last suspension; none by default.
  void OnRedrawResuming() noexcept {}

  class suspension {
   public:
    explicit suspension(CSafeSetRedraw& window) noexcept : m_window(window) { m_window.SuspendRedraw(); }
    ~suspension() { m_window.ReleaseRedraw(); }
    suspension(const suspension&) = delete;
    suspension& operator=(const suspension&) = delete;

   private:
    CSafeSetRedraw& m_window;
  };

 private:
  void send(BOOL redraw) noexcept {
    if (const HWND window = static_cast<T*>(this)->m_hWnd) ::SendMessageW(window, WM_SETREDRAW, redraw, 0);
  }
  int m_suspensions = 0;
  bool m_stopped = false;
};
