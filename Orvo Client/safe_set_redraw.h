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
#pragma once

#include <windows.h>

template <class T>
class CSafeSetRedraw {
 public:
  void SuspendRedraw() noexcept {
    if (m_suspensions++ == 0) send(FALSE);
  }
  void ReleaseRedraw() noexcept {
    if (m_suspensions == 0) return;
    if (--m_suspensions == 0) send(TRUE);
  }
  bool IsRedrawSuspended() const noexcept { return m_suspensions != 0; }

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
};
