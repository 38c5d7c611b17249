#include "window.h"

namespace WTL {

RECT CWindow::rcDefault = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

namespace detail {
void create_geometry(const RECT& rect, int* xywh) noexcept {
  const bool system_places = rect.left == CW_USEDEFAULT;
  xywh[0] = rect.left;
  xywh[1] = system_places ? CW_USEDEFAULT : rect.top;
  xywh[2] = system_places ? CW_USEDEFAULT : rect.right - rect.left;
  xywh[3] = system_places ? CW_USEDEFAULT : rect.bottom - rect.top;
}
}  // namespace detail

HWND CWindow::Create(LPCWSTR className, HWND parent, const RECT& rect, LPCWSTR name, DWORD style, DWORD exStyle,
                     UINT_PTR idOrMenu, LPVOID param) noexcept {
  int g[4];
  detail::create_geometry(rect, g);
  m_hWnd = ::CreateWindowExW(exStyle, className, name, style, g[0], g[1], g[2], g[3], parent,
                             reinterpret_cast<HMENU>(idOrMenu), nullptr, param);
  return m_hWnd;
}

BOOL CWindow::DestroyWindow() noexcept {
  if (!::DestroyWindow(m_hWnd)) return FALSE;
  m_hWnd = nullptr;
  return TRUE;
}

void CWindow::SendMessageToDescendants(UINT msg, WPARAM w, LPARAM l, bool deep) const noexcept {
  for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
    ::SendMessageW(child, msg, w, l);
    if (deep) CWindow(child).SendMessageToDescendants(msg, w, l, true);
  }
}

namespace {
BOOL modify(HWND hWnd, int index, DWORD remove, DWORD add, UINT swpFlags) noexcept {
  const auto old = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, index));
  const DWORD now = (old & ~remove) | add;
  if (now == old) return FALSE;
  ::SetWindowLongPtrW(hWnd, index, static_cast<LONG_PTR>(now));
  if (swpFlags) {
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
  }
  return TRUE;
}
}  // namespace

BOOL CWindow::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) noexcept {
  return modify(m_hWnd, GWL_STYLE, remove, add, swpFlags);
}
BOOL CWindow::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) noexcept {
  return modify(m_hWnd, GWL_EXSTYLE, remove, add, swpFlags);
}

std::wstring CWindow::GetWindowText() const {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

BOOL CWindow::ScreenToClient(RECT* rect) const noexcept {
  return ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2) != 0 || ::GetLastError() == 0;
}
BOOL CWindow::ClientToScreen(RECT* rect) const noexcept {
  return ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(rect), 2) != 0 || ::GetLastError() == 0;
}

BOOL CWindow::CenterWindow(HWND over) noexcept {
  if (!over) over = (GetStyle() & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
  RECT area, self;
  if (over) {
    ::GetWindowRect(over, &area);
  } else {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  ::GetWindowRect(m_hWnd, &self);
  int x = area.left + ((area.right - area.left) - (self.right - self.left)) / 2;
  int y = area.top + ((area.bottom - area.top) - (self.bottom - self.top)) / 2;
  if (GetStyle() & WS_CHILD) {
    POINT p{x, y};
    ::ScreenToClient(::GetParent(m_hWnd), &p);
    x = p.x;
    y = p.y;
  }
  return ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace WTL
