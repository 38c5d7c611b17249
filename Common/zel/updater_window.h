// Update checks through the outside updater program ("updater.exe" in a
// folder beside the program file).
//
// launch_updater starts it with the given arguments and hands back the
// process handle, closed when the last copy goes; callers drop it at once.
// updater_window<T> is a window mixin whose message map (chained first in
// T's map) arms the update-check timer when the window is created, starts
// the updater silently when it fires (first after 5 s, then every four
// hours) and stops it when the window is destroyed:
//
//   class CMainFrame : public ..., public zel::updater_window<CMainFrame> {
//     BEGIN_MSG_MAP(CMainFrame)
//       CHAIN_MSG_MAP(zel::updater_window<CMainFrame>)
//       ...
//   };
//   m_updater_folder = L"Updater";   // set before the window is created
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/updater.h"
#include "win/message_map.h"

namespace zel {

// Starts `folder`\updater.exe (folder beside the program file; empty: the
// program's own folder) with `arguments`. Throws zel::win32_error when the
// process cannot be started.
std::shared_ptr<void> launch_updater(const std::wstring& folder, const std::wstring& arguments);

template <class T>
class updater_window {
 public:
  static constexpr UINT_PTR timer_id = 0xDCBA;
  static constexpr UINT first_check_ms = 5000;
  static constexpr UINT check_every_ms = 14400000;  // four hours

  std::wstring m_updater_folder;  // beside the program file; empty: its own folder
  bool m_timer_armed = false;

  void check_now() { launch_updater(m_updater_folder, L"/checknow"); }
  void check_silently() { launch_updater(m_updater_folder, L"/silent"); }
  void configure() {
    launch_updater(m_updater_folder,
                   configure_arguments(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window()))));
  }

  BEGIN_MSG_MAP(updater_window)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_INITDIALOG, OnCreate)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

  // Arms the first check; the window's own creation handler still runs.
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (!m_timer_armed) m_timer_armed = ::SetTimer(window(), timer_id, first_check_ms, nullptr) != 0;
    bHandled = FALSE;
    return 0;
  }
  // The check: the updater is started silently (a missing updater is no
  // error here), then the timer is armed again for the next one.
  LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != timer_id || !m_timer_armed) {
      bHandled = FALSE;
      return 0;
    }
    ::KillTimer(window(), timer_id);
    try {
      check_silently();
    } catch (...) {
    }
    m_timer_armed = ::SetTimer(window(), timer_id, check_every_ms, nullptr) != 0;
    return 0;
  }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (m_timer_armed) {
      ::KillTimer(window(), timer_id);
      m_timer_armed = false;
    }
    bHandled = FALSE;
    return 0;
  }

 private:
  HWND window() const noexcept { return static_cast<const T*>(this)->m_hWnd; }
};

}  // namespace zel
