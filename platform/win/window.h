// WTL::CWindow: a window handle with the calls the client makes on it.
//
// It owns nothing: copying copies the handle, destruction leaves the window
// alone. Every call is a thin wrapper of the Win32 call of the same name,
// made on m_hWnd; texts come back as std::wstring.
#pragma once

#include <windows.h>

#include <string>

namespace WTL {

class CWindow {
 public:
  HWND m_hWnd = nullptr;

  // The framework's default rectangle: let the system place and size.
  static RECT rcDefault;

  CWindow(HWND hWnd = nullptr) noexcept : m_hWnd(hWnd) {}
  CWindow& operator=(HWND hWnd) noexcept {
    m_hWnd = hWnd;
    return *this;
  }
  operator HWND() const noexcept { return m_hWnd; }

  void Attach(HWND hWnd) noexcept { m_hWnd = hWnd; }
  HWND Detach() noexcept {
    HWND h = m_hWnd;
    m_hWnd = nullptr;
    return h;
  }

  HWND Create(LPCWSTR className, HWND parent, const RECT& rect = rcDefault, LPCWSTR name = nullptr, DWORD style = 0,
              DWORD exStyle = 0, UINT_PTR idOrMenu = 0, LPVOID param = nullptr) noexcept;
  BOOL DestroyWindow() noexcept;
  BOOL IsWindow() const noexcept { return ::IsWindow(m_hWnd); }

  // Messages.
  LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const noexcept { return ::SendMessageW(m_hWnd, msg, w, l); }
  BOOL PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const noexcept { return ::PostMessageW(m_hWnd, msg, w, l); }
  void SendMessageToDescendants(UINT msg, WPARAM w = 0, LPARAM l = 0, bool deep = true) const noexcept;

  // Styles. Modify* write the style only when it changes and return whether it did.
  DWORD GetStyle() const noexcept { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const noexcept { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) noexcept;
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0) noexcept;
  LONG_PTR GetWindowLongPtr(int index) const noexcept { return ::GetWindowLongPtrW(m_hWnd, index); }
  LONG_PTR SetWindowLongPtr(int index, LONG_PTR value) noexcept { return ::SetWindowLongPtrW(m_hWnd, index, value); }

  // Text and font.
  std::wstring GetWindowText() const;
  BOOL SetWindowText(LPCWSTR text) noexcept { return ::SetWindowTextW(m_hWnd, text); }
  HFONT GetFont() const noexcept { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
  void SetFont(HFONT font, BOOL redraw = TRUE) noexcept {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
  }

  // Relations.
  CWindow GetParent() const noexcept { return CWindow(::GetParent(m_hWnd)); }
  CWindow GetDlgItem(int id) const noexcept { return CWindow(::GetDlgItem(m_hWnd, id)); }
  int GetDlgCtrlID() const noexcept { return ::GetDlgCtrlID(m_hWnd); }
  BOOL IsChild(HWND hWnd) const noexcept { return ::IsChild(m_hWnd, hWnd); }

  // Placement.
  BOOL GetClientRect(RECT* rect) const noexcept { return ::GetClientRect(m_hWnd, rect); }
  BOOL GetWindowRect(RECT* rect) const noexcept { return ::GetWindowRect(m_hWnd, rect); }
  BOOL ScreenToClient(POINT* point) const noexcept { return ::ScreenToClient(m_hWnd, point); }
  BOOL ScreenToClient(RECT* rect) const noexcept;
  BOOL ClientToScreen(POINT* point) const noexcept { return ::ClientToScreen(m_hWnd, point); }
  BOOL ClientToScreen(RECT* rect) const noexcept;
  BOOL MoveWindow(const RECT& rect, BOOL repaint = TRUE) noexcept {
    return ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
  }
  BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) noexcept {
    return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
  }
  BOOL SetWindowPos(HWND insertAfter, const RECT& rect, UINT flags) noexcept {
    return SetWindowPos(insertAfter, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, flags);
  }

  // State and drawing.
  BOOL ShowWindow(int command) noexcept { return ::ShowWindow(m_hWnd, command); }
  BOOL IsWindowVisible() const noexcept { return ::IsWindowVisible(m_hWnd); }
  BOOL IsWindowEnabled() const noexcept { return ::IsWindowEnabled(m_hWnd); }
  BOOL IsIconic() const noexcept { return ::IsIconic(m_hWnd); }
  BOOL EnableWindow(BOOL enable = TRUE) noexcept { return ::EnableWindow(m_hWnd, enable); }
  HWND SetFocus() noexcept { return ::SetFocus(m_hWnd); }
  void SetRedraw(BOOL redraw = TRUE) noexcept { SendMessage(WM_SETREDRAW, redraw); }
  BOOL Invalidate(BOOL erase = TRUE) noexcept { return ::InvalidateRect(m_hWnd, nullptr, erase); }
  BOOL InvalidateRect(const RECT* rect, BOOL erase = TRUE) noexcept { return ::InvalidateRect(m_hWnd, rect, erase); }
  BOOL UpdateWindow() noexcept { return ::UpdateWindow(m_hWnd); }
  BOOL RedrawWindow(const RECT* rect = nullptr, HRGN region = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) noexcept {
    return ::RedrawWindow(m_hWnd, rect, region, flags);
  }

  // Timers and menus.
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse) noexcept { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
  BOOL KillTimer(UINT_PTR id) noexcept { return ::KillTimer(m_hWnd, id); }
  HMENU GetMenu() const noexcept { return ::GetMenu(m_hWnd); }
  BOOL SetMenu(HMENU menu) noexcept { return ::SetMenu(m_hWnd, menu); }

  // Centres the window over `over` (its owner or parent when null).
  BOOL CenterWindow(HWND over = nullptr) noexcept;
};

namespace detail {
// Position and size for CreateWindowEx from a rectangle; a rectangle whose
// left is CW_USEDEFAULT lets the system place and size the window.
void create_geometry(const RECT& rect, int* xywh) noexcept;
}  // namespace detail

}  // namespace WTL
