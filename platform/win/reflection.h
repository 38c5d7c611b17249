// WTL::CConditionalNotificationReflection<T>: a parent that reflects the
// notifications of some of its controls back to them, and handles those
// of the others itself.
//
//   class CMainFrame : ..., public WTL::CConditionalNotificationReflection<CMainFrame> {
//     BEGIN_MSG_MAP(CMainFrame)
//       ...
//       CHAIN_MSG_MAP(WTL::CConditionalNotificationReflection<CMainFrame>)
//     END_MSG_MAP()
//   };
//   AddReflectedWindow(m_primary_view);
//
// A notification (WM_COMMAND, WM_NOTIFY, drawing and colour messages) from
// a window in the set goes back to it as OCM__BASE + the message and its
// answer is returned; all others are left to the rest of the map.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

#include "window_impl.h"

namespace WTL {

template <class T>
class CConditionalNotificationReflection {
 public:
  void AddReflectedWindow(HWND hWnd) {
    if (hWnd && !IsReflected(hWnd)) m_reflected.push_back(hWnd);
  }
  void RemoveReflectedWindow(HWND hWnd) noexcept {
    m_reflected.erase(std::remove(m_reflected.begin(), m_reflected.end(), hWnd), m_reflected.end());
  }
  bool IsReflected(HWND hWnd) const noexcept {
    return std::find(m_reflected.begin(), m_reflected.end(), hWnd) != m_reflected.end();
  }

  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                            DWORD dwMsgMapID = 0) {
    if (dwMsgMapID != 0 || !detail::is_notification(uMsg)) return FALSE;
    HWND source = detail::notification_source(hWnd, uMsg, wParam, lParam);
    if (!source || !IsReflected(source)) return FALSE;
    lResult = ::SendMessageW(source, OCM__BASE + uMsg, wParam, lParam);
    return TRUE;
  }

 private:
  std::vector<HWND> m_reflected;
};

}  // namespace WTL
