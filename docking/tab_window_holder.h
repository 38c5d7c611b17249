// The client's docking pane: a boxed docking window that holds one view
// and fills itself with it. The main window saves and restores the pane's
// place through GetDockingPosition and SetDockingPosition, whose 60-byte
// records the settings file keeps.
#pragma once

#include <windows.h>

#include "boxed_docking_window.h"
#include "focus_handler.h"

namespace dockwins {

// Sends WM_MENUCHAR of a floating pane on to its root window (the main
// window's menu), which a floating pane would otherwise never reach.
template <class T>
class CWMMenuCharHook {
 public:
  bool m_redirect_menu_char = true;

  BEGIN_MSG_MAP(CWMMenuCharHook)
  MESSAGE_HANDLER(WM_MENUCHAR, OnMenuChar)
  END_MSG_MAP()

 private:
  LRESULT OnMenuChar(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    T* pane = static_cast<T*>(this);
    if (!m_redirect_menu_char || pane->IsDocked()) {
      bHandled = FALSE;
      return 0;
    }
    // A floating pane is its own root window: the menu is its owner's.
    HWND target = ::GetAncestor(*pane, GA_ROOTOWNER);
    if (target == *pane) target = pane->docking_frame ? ::GetAncestor(pane->docking_frame, GA_ROOT) : nullptr;
    if (target && target != *pane) ::PostMessageW(target, uMsg, wParam, lParam);
    return MAKELRESULT(0, MNC_CLOSE);
  }
};

template <class T, class TBase = WTL::CWindow, class TTraits = CBoxedDockingWindowTraits>
class CRq4TabWindowHolderImpl : public CBoxedDockingWindowImpl<T, TBase, TTraits>, public CWMMenuCharHook<T> {
  using base = CBoxedDockingWindowImpl<T, TBase, TTraits>;

 public:
  static WTL::window_class class_traits() { return {L"zel::docking_window_holder", CS_DBLCLKS, COLOR_WINDOW + 1}; }

  // Commands the pane does not handle go on to the client (first flag;
  // not those the client sent) or to the docking frame (second flag);
  // off: default handling.
  bool m_forward_to_client = false;
  bool m_forward_to_parent = false;

  HWND HeldWindow() const { return m_client; }
  HWND GetClient() const { return m_client; }

  // Holds `client` (0: none) and fills the pane with it; the previous one.
  HWND SetClient(HWND client) {
    HWND previous = m_client;
    m_client = client;
    if (!this->m_hWnd) return previous;
    if (CDockingFocusHandler* focus = CDockingFocusHandler::Instance()) {
      if (!focus->Follows(this->m_hWnd)) {
        HWND focused = ::GetFocus();
        focus->RememberFocus(this->m_hWnd, focused && ::IsChild(this->m_hWnd, focused) ? focused : nullptr);
      }
    }
    FitClient();
    return previous;
  }

  // The pane's place as a record: docked in its host, or floating.
  bool GetDockingPosition(tagDFDOCKPOSEX& position) {
    position = {};
    bool result = true;
    position.docked = this->host ? 1 : 0;
    if (this->host) {
      position.window_rect = ToRect(this->float_rect);
      result = this->GetPosition(position.request);
    } else {
      RECT window;
      this->GetWindowRect(&window);
      position.window_rect = ToRect(window);
      position.request.window = HandleValue(this->m_hWnd);
    }
    // A docked pane is as visible as its host: a tab not selected is still
    // in its tab box.
    position.visible = (this->host ? ::IsWindowVisible(this->host) : this->IsWindowVisible()) ? 1 : 0;
    // Hidden from a docked place: the record names that place.
    if (!this->host && !this->IsWindowVisible() && this->saved_position.host) {
      position.request = this->saved_position;
      position.request.window = HandleValue(this->m_hWnd);
    }
    return result;
  }

  // Places the pane by a record: hidden at its rectangle (remembering the
  // block for Show), docked by the block, or floating at its rectangle.
  bool SetDockingPosition(const tagDFDOCKPOSEX& position) {
    DockRequest request = position.request;
    request.window = HandleValue(this->m_hWnd);
    this->saved_position = request;
    const RECT r = ToRECT(position.window_rect);
    if (!position.visible) {
      this->Undock();
      this->float_rect = r;
      this->hidden_floating = false;
      return ::SetWindowPos(this->m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                            SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW) != FALSE;
    }
    if (position.docked) {
      this->Undock();
      const bool result = this->DockAt(request);
      this->float_rect = r;
      return result;
    }
    this->Undock();
    return ::SetWindowPos(this->m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                          SWP_SHOWWINDOW | SWP_NOACTIVATE) != FALSE;
  }

  BEGIN_MSG_MAP(CRq4TabWindowHolderImpl)
  if (CDockingFocusHandler* focus = CDockingFocusHandler::Instance())
    if (focus->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
  CHAIN_MSG_MAP(CWMMenuCharHook<T>)
  CHAIN_MSG_MAP(base)
  if (m_forward_to_client && uMsg == WM_COMMAND && m_client && ::IsWindow(m_client) &&
      reinterpret_cast<HWND>(lParam) != m_client) {
    lResult = ::SendMessageW(m_client, uMsg, wParam, lParam);
    return TRUE;
  }
  if (m_forward_to_parent && uMsg == WM_COMMAND && this->docking_frame) {
    lResult = ::SendMessageW(this->docking_frame, uMsg, wParam, lParam);
    return TRUE;
  }
  END_MSG_MAP()

 protected:
  void FitClient() {
    if (!m_client || !::IsWindow(m_client)) return;
    RECT client;
    this->GetClientRect(&client);
    ::SetWindowPos(m_client, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    const LRESULT result = this->DefWindowProc(uMsg, wParam, lParam);
    if (m_client) SetClient(m_client);
    return result;
  }
  LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != SIZE_MINIMIZED) FitClient();
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnEraseBackground(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    if (m_client && ::IsWindow(m_client)) return 1;
    return this->DefWindowProc(uMsg, wParam, lParam);
  }
  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (m_client && ::IsWindowVisible(m_client)) ::SetFocus(m_client);
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnActivate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (m_client && ::IsWindow(m_client)) ::SetFocus(m_client);
    bHandled = FALSE;
    return 0;
  }

  HWND m_client = nullptr;
};

class CRq4TabWindowHolder : public CRq4TabWindowHolderImpl<CRq4TabWindowHolder> {};

}  // namespace dockwins
