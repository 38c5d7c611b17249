// zel::editable_list_view<T>: a report list whose cells are edited in
// place. It keeps a focus cell in place of a selection (items themselves
// cannot be selected), moves it with the keys and the mouse, draws it in
// the highlight colours, and asks its parent to edit it with
// LVN_BEGINLABELEDITW carrying row (iItem) and column (iSubItem, a header
// index). The parent reflects notifications, so T handles the request:
//
//   class CView : public zel::editable_list_view<CView> {
//     BEGIN_MSG_MAP(CView)
//       CHAIN_MSG_MAP(zel::editable_list_view<CView>)
//       REFLECTED_NOTIFY_CODE_HANDLER(LVN_BEGINLABELEDITW, OnBeginEdit)
//       DEFAULT_REFLECTION_HANDLER()
//     END_MSG_MAP()
//   };
//
// T may define `template <class Body> void guard(Body&&)` to run the
// handlers' work under its own failure reporting; by default a failure
// reaches the window layer's catch-all.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "core/editable_list.h"
#include "win/message_map.h"
#include "win/window_impl.h"

namespace zel {

namespace detail {
int list_column_count(HWND list);
int list_row_count(HWND list);
// Header indices left to right.
std::vector<int> list_display_order(HWND list);
// The cell's rectangle in the list's client coordinates (empty when the
// row or column does not exist).
RECT list_cell_rect(HWND list, int row, int column);
// Shows the row, then scrolls sideways until the column lies in the client area.
void list_scroll_into_view(HWND list, int row, int column);
// Sends LVN_BEGINLABELEDITW for the cell to the list's parent.
void list_request_edit(HWND list, int row, int column);
// The list's key for a pressed virtual key with the Shift and Ctrl states;
// false for keys the list leaves to the default handling.
bool list_key(WPARAM vk, bool shift, bool ctrl, editable_list::key& k);
void list_set_up(HWND list);
// Widens a column narrower than `minimum` to it.
void list_snap_column(HWND list, int column, int minimum);
// Paints the list through an off-screen bitmap with `print` (the control's
// own WM_PRINTCLIENT), then the focus rectangle of `focus` when shown.
void list_paint(HWND list, WNDPROC print, const editable_list::cell& focus, bool draw_focus);
// Custom drawing of one stage: the focus cell's colours.
LRESULT list_custom_draw(HWND list, NMLVCUSTOMDRAW* draw, const editable_list::cell& focus);
}  // namespace detail

template <class T>
class editable_list_view
    : public WTL::CWindowImpl<
          T, WTL::CWindow,
          WTL::CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SINGLESEL |
                              LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE,
                          WS_EX_CLIENTEDGE>> {
 public:
  using cell = editable_list::cell;

  static WTL::window_class class_traits() { return {L"zel::editablelistview", 0, 0, nullptr, WC_LISTVIEWW}; }

  cell focus_cell() const noexcept { return m_focus; }
  bool scroll_back_pending() const noexcept { return m_scroll_back; }
  int minimum_column_width() const noexcept { return m_minimum_width; }

  // Moves the focus cell, shows it and redraws the old and the new cell.
  void set_focus_cell(cell c) {
    const HWND list = this->m_hWnd;
    const cell old = m_focus;
    m_focus = c;
    detail::list_scroll_into_view(list, c.row, c.column);
    invalidate(old);
    invalidate(c);
  }
  // Keeps the focus cell inside the list's rows and columns.
  void limit_focus_cell() {
    m_focus =
        editable_list::limit(m_focus, detail::list_row_count(this->m_hWnd), detail::list_column_count(this->m_hWnd));
  }
  void scroll_to_focus_cell() { detail::list_scroll_into_view(this->m_hWnd, m_focus.row, m_focus.column); }
  // Asks the parent to edit the focus cell.
  void edit_focus_cell() { detail::list_request_edit(this->m_hWnd, m_focus.row, m_focus.column); }

  template <class Body>
  void guard(Body&& body) {
    body();
  }

  BEGIN_MSG_MAP(editable_list_view)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
  MESSAGE_HANDLER(WM_CHAR, OnChar)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLeftButton)
  MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLeftButton)
  MESSAGE_HANDLER(WM_RBUTTONDOWN, OnUserScroll)
  MESSAGE_HANDLER(WM_HSCROLL, OnUserScroll)
  MESSAGE_HANDLER(WM_VSCROLL, OnUserScroll)
  MESSAGE_HANDLER(WM_MOUSEWHEEL, OnUserScroll)
  MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  NOTIFY_CODE_HANDLER(HDN_BEGINTRACKW, OnHeaderBegin)
  NOTIFY_CODE_HANDLER(HDN_BEGINTRACKA, OnHeaderBegin)
  NOTIFY_CODE_HANDLER(HDN_BEGINDRAG, OnHeaderBegin)
  NOTIFY_CODE_HANDLER(HDN_ITEMCHANGEDW, OnHeaderChanged)
  NOTIFY_CODE_HANDLER(HDN_ITEMCHANGEDA, OnHeaderChanged)
  REFLECTED_NOTIFY_CODE_HANDLER(LVN_ITEMCHANGING, OnItemChanging)
  REFLECTED_NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    const LRESULT result = this->DefWindowProc();
    if (result != -1) detail::list_set_up(this->m_hWnd);
    bHandled = TRUE;
    return result;
  }

  LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    const HWND list = this->m_hWnd;
    if (detail::list_column_count(list) == 0) {
      bHandled = FALSE;
      return 0;
    }
    if (wParam == VK_RETURN || wParam == VK_SPACE) {
      self().guard([&] { edit_focus_cell(); });
      return 0;
    }
    editable_list::key k;
    if (!detail::list_key(wParam, ::GetKeyState(VK_SHIFT) < 0, ::GetKeyState(VK_CONTROL) < 0, k)) {
      bHandled = FALSE;
      return 0;
    }
    self().guard([&] {
      if (k == editable_list::key::page_up || k == editable_list::key::page_down) this->DefWindowProc();
      const int per_page = static_cast<int>(::SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
      set_focus_cell(
          editable_list::move(m_focus, k, detail::list_row_count(list), detail::list_display_order(list), per_page));
    });
    return 0;
  }
  // The keys that move or edit make no incremental search and no beep.
  LRESULT OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    bHandled = wParam == VK_RETURN || wParam == L' ' || wParam == VK_TAB;
    return 0;
  }

  LRESULT OnLeftButton(UINT uMsg, WPARAM, LPARAM lParam, BOOL&) {
    const HWND list = this->m_hWnd;
    if (::GetFocus() != list) ::SetFocus(list);
    self().guard([&] {
      LVHITTESTINFO hit{};
      hit.pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (::SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0 || hit.iItem < 0) return;
      const cell clicked{hit.iItem, hit.iSubItem};
      const bool again = clicked == m_focus;
      set_focus_cell(clicked);
      if (again || uMsg == WM_LBUTTONDBLCLK) edit_focus_cell();
    });
    return 0;
  }

  LRESULT OnUserScroll(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    m_scroll_back = false;
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    if (detail::list_row_count(this->m_hWnd) == 0) return 0;
    if (m_scroll_back) self().guard([&] { scroll_to_focus_cell(); });
    m_scroll_back = false;
    invalidate(m_focus);
    return 0;
  }
  LRESULT OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    if (detail::list_row_count(this->m_hWnd) == 0) return 0;
    m_scroll_back = true;
    invalidate(m_focus);
    return 0;
  }

  // An open editor ends when the list is resized under it.
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    const HWND list = this->m_hWnd;
    const HWND focus = ::GetFocus();
    if (focus != list && focus && ::IsChild(list, focus)) ::SetFocus(list);
    return 0;
  }

  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    const HWND list = this->m_hWnd;
    detail::list_paint(list, this->m_pfnSuperWindowProc, m_focus,
                       editable_list::draws_focus_rectangle(true, ::GetFocus() == list));
    return 0;
  }
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

  LRESULT OnHeaderBegin(int, LPNMHDR, BOOL& bHandled) {
    ::SetFocus(this->m_hWnd);
    bHandled = FALSE;
    return 0;
  }
  // A column resized below the minimum width snaps to it.
  LRESULT OnHeaderChanged(int, LPNMHDR header, BOOL&) {
    const LRESULT result = this->DefWindowProc();
    detail::list_snap_column(this->m_hWnd, reinterpret_cast<NMHEADERW*>(header)->iItem, m_minimum_width);
    return result;
  }

  // No item is ever selected or focused: the focus cell stands in. Texts
  // and item data may change.
  LRESULT OnItemChanging(int, LPNMHDR header, BOOL&) {
    return (reinterpret_cast<const NMLISTVIEW*>(header)->uChanged & LVIF_STATE) ? TRUE : FALSE;
  }

  LRESULT OnCustomDraw(int, LPNMHDR header, BOOL&) {
    return detail::list_custom_draw(this->m_hWnd, reinterpret_cast<NMLVCUSTOMDRAW*>(header), m_focus);
  }

 protected:
  void invalidate(cell c) {
    const RECT r = detail::list_cell_rect(this->m_hWnd, c.row, c.column);
    if (!::IsRectEmpty(&r)) ::InvalidateRect(this->m_hWnd, &r, FALSE);
  }

 private:
  T& self() { return static_cast<T&>(*this); }

  cell m_focus{};
  bool m_scroll_back = false;
  int m_minimum_width = ::GetSystemMetrics(SM_CXSMICON);
};

}  // namespace zel
