// Reflection and forwarding of control notifications.
#include <windows.h>
#include <commctrl.h>
#include <olectl.h>

#include "window_impl.h"

namespace WTL::detail {

bool is_notification(UINT uMsg) noexcept {
  switch (uMsg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return true;
    default:
      return false;
  }
}

HWND notification_source(HWND parent, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept {
  switch (uMsg) {
    case WM_COMMAND:
      return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
      return lParam ? reinterpret_cast<LPNMHDR>(lParam)->hwndFrom : nullptr;
    case WM_PARENTNOTIFY:
      switch (LOWORD(wParam)) {
        case WM_CREATE:
        case WM_DESTROY:
          return reinterpret_cast<HWND>(lParam);
        default:
          return ::GetDlgItem(parent, HIWORD(wParam));
      }
    case WM_DRAWITEM:
      return wParam && lParam ? reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
      return wParam && lParam && reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)->CtlType != ODT_MENU
                 ? ::GetDlgItem(parent, static_cast<int>(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)->CtlID))
                 : nullptr;
    case WM_COMPAREITEM:
      return wParam && lParam ? reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
      return wParam && lParam ? reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)->hwndItem : nullptr;
    default:
      // The rest (scrolling, list keys, control colours) name the control in lParam.
      return is_notification(uMsg) ? reinterpret_cast<HWND>(lParam) : nullptr;
  }
}

LRESULT reflect_notification(HWND parent, UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) noexcept {
  HWND source = notification_source(parent, uMsg, wParam, lParam);
  if (!source) {
    bHandled = FALSE;
    return 1;
  }
  return ::SendMessageW(source, OCM__BASE + uMsg, wParam, lParam);
}

LRESULT forward_notification(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) noexcept {
  if (!is_notification(uMsg)) {
    bHandled = FALSE;
    return 0;
  }
  return ::SendMessageW(::GetParent(hWnd), uMsg, wParam, lParam);
}

BOOL default_reflection(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) noexcept {
  if (uMsg < OCM__BASE || !is_notification(uMsg - OCM__BASE)) return FALSE;
  lResult = ::DefWindowProcW(hWnd, uMsg - OCM__BASE, wParam, lParam);
  return TRUE;
}
}  // namespace WTL::detail
