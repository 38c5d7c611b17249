// The dynamic splitter window: two panes side by side (a vertical bar) or
// one above the other (a horizontal bar), the orientation chosen at run
// time. The user drags the bar live or as an inverted ghost bar (as the
// system's full-window drag setting says) and re-centres it with a double
// click; resizes keep the bar at its distance from the left or top, at its
// proportion, or at its distance from the right or bottom. The arithmetic
// lives in core/dynamic_splitter.h; this file feeds it the window's client
// rectangle and the system's metrics, places the pane windows and draws.
//
//   WTL::CDynSplitterWindow m_split;
//   m_split.Create(parent, rect);
//   m_split.SetSplitterExtendedStyle(zel::splitter_proportional | zel::splitter_vertical);
//   m_split.SetSplitterPanes(m_tree, m_details);
//   m_split.SetSplitterPos(width / 4);   // or leave it to the first paint: the middle
//
// A pane without a window is drawn empty. SetSinglePaneMode(0 or 1) shows
// only that pane, filling the window, and hides the other; -1 shows both.
#pragma once

#include <windows.h>

#include "core/dynamic_splitter.h"
#include "win/gdi.h"
#include "win/placement.h"
#include "win/window_impl.h"

namespace WTL {

namespace detail {

// The two resize cursors every splitter of the process shares, loaded by
// the first splitter made (the static's guarded start is the lock).
struct splitter_cursors {
  HCURSOR across;  // IDC_SIZEWE: a vertical bar
  HCURSOR down;    // IDC_SIZENS: a horizontal bar

  static const splitter_cursors& get() noexcept {
    static const splitter_cursors cursors{::LoadCursorW(nullptr, IDC_SIZEWE), ::LoadCursorW(nullptr, IDC_SIZENS)};
    return cursors;
  }
};

inline RECT to_RECT(const zel::rect& r) noexcept { return {r.left, r.top, r.right, r.bottom}; }

// The position a mouse message names, or the message position, in client
// coordinates of hWnd.
inline POINT message_point(LPARAM lParam) noexcept {
  return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}
inline POINT message_position_in(HWND hWnd) noexcept {
  POINT at = message_point(static_cast<LPARAM>(::GetMessagePos()));
  ::ScreenToClient(hWnd, &at);
  return at;
}

}  // namespace detail

// The splitter's behaviour, mixed into the window class T (a CWindowImpl).
template <class T>
class CDynSplitterImpl : public zel::dynamic_splitter {
 public:
  HWND m_hWndPane[2] = {nullptr, nullptr};
  // The pane that takes the focus when the splitter gets it: 0, 1 or -1.
  int m_nDefActivePane = -1;

  CDynSplitterImpl() noexcept { detail::splitter_cursors::get(); }

  // Panes.
  void SetSplitterPanes(HWND first, HWND second, bool update = true) noexcept {
    m_hWndPane[0] = first;
    m_hWndPane[1] = second;
    if (update) UpdateSplitterLayout();
  }
  bool SetSplitterPane(int pane, HWND hWnd, bool update = true) noexcept {
    if (pane != 0 && pane != 1) return false;
    m_hWndPane[pane] = hWnd;
    if (update) UpdateSplitterLayout();
    return true;
  }
  HWND GetSplitterPane(int pane) const noexcept { return pane == 0 || pane == 1 ? m_hWndPane[pane] : nullptr; }

  // Shows only pane 0 or 1, filling the window, and hides the other pane's
  // window; -1 shows both again.
  bool SetSinglePaneMode(int pane = -1) noexcept {
    if (pane < -1 || pane > 1) return false;
    for (int p = 0; p < 2; ++p) {
      if (m_hWndPane[p]) ::ShowWindow(m_hWndPane[p], pane == -1 || pane == p ? SW_SHOW : SW_HIDE);
    }
    if (pane != -1) m_nDefActivePane = pane;
    zel::dynamic_splitter::SetSinglePaneMode(pane);
    if (self().m_hWnd) self().Invalidate();
    UpdateSplitterLayout();
    return true;
  }

  // Orientation and mode (zel::splitter_...); a new orientation reads the
  // bar's metrics along the new axis.
  unsigned SetSplitterExtendedStyle(unsigned style) noexcept {
    const unsigned old = GetSplitterExtendedStyle();
    zel::dynamic_splitter::SetSplitterExtendedStyle(style);
    if (((old ^ style) & zel::splitter_vertical) && self().m_hWnd) GetSystemSettings(false);
    UpdateSplitterLayout();
    return old;
  }

  // Places the bar (-1: the middle) and, when asked and it moved, the panes.
  bool SetSplitterPos(int position = -1, bool update = true) noexcept {
    const bool changed = zel::dynamic_splitter::SetSplitterPos(position);
    if (update && changed) UpdateSplitterLayout();
    return changed;
  }

  // The pane that holds the keyboard focus (is the focus window or
  // contains it), else -1.
  int GetActivePane() const noexcept {
    HWND focus = ::GetFocus();
    if (!focus) return -1;
    for (int pane = 0; pane < 2; ++pane) {
      if (GetSinglePaneMode() != -1 && GetSinglePaneMode() != pane) continue;
      HWND hWnd = m_hWndPane[pane];
      if (hWnd && (hWnd == focus || ::IsChild(hWnd, focus))) return pane;
    }
    return -1;
  }
  // Focuses pane 0 or 1 and makes it the default active pane.
  bool SetActivePane(int pane) noexcept {
    if ((pane != 0 && pane != 1) || !m_hWndPane[pane]) return false;
    if (GetSinglePaneMode() != -1 && GetSinglePaneMode() != pane) return false;
    ::SetFocus(m_hWndPane[pane]);
    m_nDefActivePane = pane;
    return true;
  }
  int GetDefaultActivePane() const noexcept { return m_nDefActivePane; }
  bool SetDefaultActivePane(int pane) noexcept {
    if (pane < -1 || pane > 1) return false;
    m_nDefActivePane = pane;
    return true;
  }

  // Places the panes where the bar leaves them, both in one batch.
  void UpdateSplitterLayout() noexcept {
    T& window = self();
    if (!window.m_hWnd) return;
    const int single = GetSinglePaneMode();
    if (single != -1) {
      const RECT place = detail::to_RECT(pane_rect(single));
      if (HWND pane = m_hWndPane[single]) {
        ::SetWindowPos(pane, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
      } else {
        window.InvalidateRect(&place);
      }
      return;
    }
    if (GetSplitterPos() == -1) return;
    const RECT bar = detail::to_RECT(bar_rect());
    window.InvalidateRect(&bar);
    deferred_positions moves(2);
    for (int pane = 0; pane < 2; ++pane) {
      const RECT place = detail::to_RECT(pane_rect(pane));
      if (!m_hWndPane[pane]) {
        window.InvalidateRect(&place);
      } else if (!moves.move(m_hWndPane[pane], place)) {
        return;  // the batch failed: the panes keep their places this time
      }
    }
  }

  // Reads the bar width, its edge and the drag mode from the system.
  void GetSystemSettings(bool update) noexcept {
    zel::splitter_metrics metrics;
    metrics.size_frame = {::GetSystemMetrics(SM_CXSIZEFRAME), ::GetSystemMetrics(SM_CYSIZEFRAME)};
    metrics.edge = {::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CYEDGE)};
    metrics.client_edge = (self().GetExStyle() & WS_EX_CLIENTEDGE) != 0;
    BOOL full = TRUE;
    ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    metrics.full_drag = full != FALSE;
    zel::dynamic_splitter::GetSystemSettings(metrics);
    if (update) UpdateSplitterLayout();
  }

  BEGIN_MSG_MAP(CDynSplitterImpl)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
  if (interactive()) CHAIN_MSG_MAP_ALT(CDynSplitterImpl, 1)
  MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  MESSAGE_HANDLER(WM_MOUSEACTIVATE, OnMouseActivate)
  MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
  MESSAGE_HANDLER(WM_FORWARDMSG, OnForwardMsg)
  ALT_MSG_MAP(1)  // the mouse: only while the splitter is interactive
  MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
  MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
  MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDoubleClick)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    GetSystemSettings(false);
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (!ready()) SetSplitterPos(-1, true);
    if (wParam) {
      DrawSplitter(reinterpret_cast<HDC>(wParam));
    } else if (::GetUpdateRect(self().m_hWnd, nullptr, FALSE)) {
      CPaintDC dc(self().m_hWnd);
      DrawSplitter(dc);
    }
    return 0;
  }

  LRESULT OnSetCursor(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    HWND hWnd = self().m_hWnd;
    if (reinterpret_cast<HWND>(wParam) == hWnd && LOWORD(lParam) == HTCLIENT) {
      const POINT at = detail::message_position_in(hWnd);
      if (IsOverSplitterBar(at.x, at.y)) return TRUE;  // keeps the cursor the mouse move set
    }
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnMouseMove(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    const POINT at = detail::message_point(lParam);
    if (!(wParam & MK_LBUTTON) || ::GetCapture() != self().m_hWnd) {
      if (IsOverSplitterBar(at.x, at.y)) ::SetCursor(cursor());
      return 0;
    }
    const int position = drag_position(vertical() ? at.x : at.y);
    if (position == GetSplitterPos()) return 0;
    if (full_drag()) {
      if (SetSplitterPos(position, true)) self().UpdateWindow();
    } else {
      DrawGhostBar();
      SetSplitterPos(position, false);
      DrawGhostBar();
    }
    return 0;
  }

  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
    const POINT at = detail::message_point(lParam);
    if (IsOverSplitterBar(at.x, at.y)) {
      ::SetCapture(self().m_hWnd);
      ::SetCursor(cursor());
      if (!full_drag()) DrawGhostBar();
      begin_drag(vertical() ? at.x : at.y);
    }
    return 0;
  }

  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&) {
    if (::GetCapture() == self().m_hWnd) ::ReleaseCapture();
    return 0;
  }

  LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&) {
    if (!full_drag()) {
      DrawGhostBar();
      UpdateSplitterLayout();
      self().UpdateWindow();
    }
    return 0;
  }

  LRESULT OnLButtonDoubleClick(UINT, WPARAM, LPARAM, BOOL&) {
    SetSplitterPos(-1, true);
    return 0;
  }

  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&) {
    const int pane = GetSinglePaneMode() != -1 ? GetSinglePaneMode() : m_nDefActivePane;
    if ((pane == 0 || pane == 1) && m_hWndPane[pane]) ::SetFocus(m_hWndPane[pane]);
    return 0;
  }

  LRESULT OnMouseActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    const LRESULT answer = self().DefWindowProc(uMsg, wParam, lParam);
    if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) {
      const POINT at = detail::message_position_in(self().m_hWnd);
      const int pane = pane_at(at.x, at.y);
      if (pane != -1) m_nDefActivePane = pane;
    }
    return answer;
  }

  LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL&) {
    GetSystemSettings(true);
    return 0;
  }

  // A message to translate goes to the pane that holds the focus.
  LRESULT OnForwardMsg(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    const int pane = GetActivePane();
    return pane == -1 ? 0 : ::SendMessageW(m_hWndPane[pane], uMsg, wParam, lParam);
  }

 private:
  T& self() noexcept { return static_cast<T&>(*this); }
  const T& self() const noexcept { return static_cast<const T&>(*this); }

  HCURSOR cursor() const noexcept {
    const detail::splitter_cursors& cursors = detail::splitter_cursors::get();
    return vertical() ? cursors.across : cursors.down;
  }

  bool client_edge() const noexcept { return (self().GetExStyle() & WS_EX_CLIENTEDGE) != 0; }

  void DrawSplitter(CDCHandle dc) noexcept {
    const int single = GetSinglePaneMode();
    if (single != -1) {
      if (!m_hWndPane[single]) DrawEmptyPane(dc, single);
      return;
    }
    if (GetSplitterPos() == -1) return;
    RECT bar = detail::to_RECT(bar_rect());
    dc.FillRect(bar, COLOR_BTNFACE);
    if (client_edge()) ::DrawEdge(dc, &bar, EDGE_RAISED, vertical() ? BF_LEFT | BF_RIGHT : BF_TOP | BF_BOTTOM);
    for (int pane = 0; pane < 2; ++pane) {
      if (!m_hWndPane[pane]) DrawEmptyPane(dc, pane);
    }
  }

  void DrawEmptyPane(CDCHandle dc, int pane) noexcept {
    RECT place = detail::to_RECT(pane_rect(pane));
    if (!client_edge()) ::DrawEdge(dc, &place, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    dc.FillRect(place, COLOR_APPWORKSPACE);
  }

  // Inverts the bar's place on the window DC; a second call restores it.
  void DrawGhostBar() noexcept {
    HWND hWnd = self().m_hWnd;
    RECT bar = detail::to_RECT(bar_rect());
    if (::IsRectEmpty(&bar)) return;
    // The window DC counts from the window's corner, the bar from the client area's.
    RECT window;
    POINT client{0, 0};
    ::GetWindowRect(hWnd, &window);
    ::ClientToScreen(hWnd, &client);
    ::OffsetRect(&bar, client.x - window.left, client.y - window.top);
    CWindowDC dc(hWnd);
    CBrush brush(create_halftone_brush());
    CSelectObject selected(dc, brush);
    ::PatBlt(dc, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, PATINVERT);
  }
};

// The splitter's window: no background erasing, and every resize feeds
// the new client rectangle to the bar. T is the final window class.
template <class T>
class CDynSplitterWindowImpl
    : public CWindowImpl<T, CWindow, CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0>>,
      public CDynSplitterImpl<T> {
  using window = CWindowImpl<T, CWindow, CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0>>;

 public:
  using window::ForwardNotifications;

  BEGIN_MSG_MAP(CDynSplitterWindowImpl)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  CHAIN_MSG_MAP(CDynSplitterImpl<T>)
  FORWARD_NOTIFICATIONS()
  END_MSG_MAP()

  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

  LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != SIZE_MINIMIZED) {
      RECT client;
      this->GetClientRect(&client);
      this->resize({client.left, client.top, client.right, client.bottom});
      this->UpdateSplitterLayout();
    }
    bHandled = FALSE;
    return 1;
  }
};

class CDynSplitterWindow : public CDynSplitterWindowImpl<CDynSplitterWindow> {
 public:
  static window_class class_traits() { return {L"zel::dynamic_splitter", CS_DBLCLKS, COLOR_WINDOW + 1}; }

  BEGIN_MSG_MAP(CDynSplitterWindow)
  CHAIN_MSG_MAP(CDynSplitterWindowImpl<CDynSplitterWindow>)
  END_MSG_MAP()
};

}  // namespace WTL
