#include "focus_handler.h"

#include "win/window_traits.h"

namespace dockwins {

CDockingFocusHandler* CDockingFocusHandler::s_instance = nullptr;
HWND CDockingFocusHandler::s_saved_focus = nullptr;
ATOM CDockingFocusHandler::s_package_atom = 0;

CDockingFocusHandler::CDockingFocusHandler() noexcept { s_instance = this; }

CDockingFocusHandler::~CDockingFocusHandler() {
  if (m_hook) RemoveHook();
  s_package_atom = 0;
  if (s_instance == this) s_instance = nullptr;
}

bool CDockingFocusHandler::InstallHook(HWND frame) noexcept {
  if (m_hook) return false;
  m_frame = frame;
  m_hook = ::SetWindowsHookExW(WH_CBT, &CbtProc, nullptr, ::GetCurrentThreadId());
  return m_hook != nullptr;
}

HRESULT CDockingFocusHandler::RemoveHook() noexcept {
  HRESULT result = S_OK;
  if (!::UnhookWindowsHookEx(m_hook)) {
    const DWORD error = ::GetLastError();
    // A failure without an error code still is a failure.
    result = error == 0 ? E_FAIL
                        : (static_cast<LONG>(error) > 0 ? static_cast<HRESULT>((error & 0xFFFF) | 0x80070000)
                                                        : static_cast<HRESULT>(error));
  }
  m_hook = nullptr;
  return result;
}

void CDockingFocusHandler::RememberFocus(HWND pane, HWND child) { m_focus[pane] = child; }

HWND CDockingFocusHandler::RememberedFocus(HWND pane) const {
  const auto found = m_focus.find(pane);
  return found == m_focus.end() ? nullptr : found->second;
}

HWND CDockingFocusHandler::PaneOf(HWND window) noexcept {
  if (!s_package_atom) {
    // Looked up until the class exists: the focus moves before the first
    // row of panes is made.
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    s_package_atom = static_cast<ATOM>(::GetClassInfoExW(WTL::resource_instance(), PackageWindowClassName, &info));
    if (!s_package_atom) return nullptr;
  }
  for (HWND w = window; w;) {
    HWND parent = ::GetAncestor(w, GA_PARENT);
    if (!parent) return nullptr;
    if (static_cast<ATOM>(::GetClassLongPtrW(parent, GCW_ATOM)) == s_package_atom) return w;
    w = parent;
  }
  return nullptr;
}

LRESULT CALLBACK CDockingFocusHandler::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  CDockingFocusHandler* self = s_instance;
  if (self && code == HCBT_SETFOCUS) self->OnSetFocus(reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam));
  return ::CallNextHookEx(self ? self->m_hook : nullptr, code, wParam, lParam);
}

void CDockingFocusHandler::OnSetFocus(HWND gaining, HWND losing) {
  ScheduleRepaint(gaining);
  ScheduleRepaint(losing);
  if (HWND pane = PaneOf(gaining)) {
    const auto found = m_focus.find(pane);
    if (found != m_focus.end() && ::IsChild(pane, gaining)) found->second = gaining;
  }
}

void CDockingFocusHandler::ScheduleRepaint(HWND window) {
  HWND pane = window ? PaneOf(window) : nullptr;
  if (!pane || !::IsWindow(pane)) return;
  m_repaint.push_back(pane);
  ::SetTimer(nullptr, 0, 1, &TimerProc);
}

void CALLBACK CDockingFocusHandler::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  CDockingFocusHandler* self = s_instance;
  if (!self || self->m_repaint.empty()) return;
  HWND pane = self->m_repaint.front();
  self->m_repaint.pop_front();
  // The caption sits in the non-client area: redraw the frame too.
  if (::IsWindow(pane)) ::RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

BOOL CDockingFocusHandler::ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM, LRESULT& lResult, DWORD) {
  if (uMsg == WM_MOUSEACTIVATE) {
    const auto found = m_focus.find(hWnd);
    if (found != m_focus.end()) {
      HWND child = found->second;
      if (!child)
        ::SetFocus(hWnd);
      else if (::IsChild(hWnd, child))
        ::SetFocus(child);
    }
    return FALSE;  // the pane's own handling follows
  }
  if (uMsg == WM_ACTIVATE && m_frame && ::GetActiveWindow() == m_frame) {
    BOOL handled = FALSE;
    if (LOWORD(wParam) != WA_INACTIVE) {
      if (s_saved_focus && ::IsChild(m_frame, s_saved_focus)) {
        ::SetFocus(s_saved_focus);
        handled = TRUE;
        lResult = 0;
      }
    } else {
      s_saved_focus = ::GetFocus();
    }
    ScheduleRepaint(s_saved_focus);
    return handled;
  }
  return FALSE;
}

}  // namespace dockwins
