// zel::paint_no_items<T>: a list view or tree view (T's window) that has no
// items shows "There are no items to show in this view." instead, centred,
// on the window colour (highlight colours while it has the focus). Chain
// its map before the view's own painting:
//
//   BEGIN_MSG_MAP(CLogList)
//     CHAIN_MSG_MAP(zel::paint_no_items<CLogList>)
//     MESSAGE_HANDLER(WM_PAINT, OnPaint)
//
// A list view in report view keeps its header: the text goes below it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "win/message_map.h"

namespace zel {

// The text (also string 61425 of the client's resources).
inline constexpr const wchar_t* no_items_text = L"There are no items to show in this view.";
inline constexpr UINT no_items_string_id = 61425;

namespace detail {
// True when the list has no items or the tree no root item.
bool has_no_items(HWND window);
// The part of the client area the text takes (below a shown header).
RECT no_items_area(HWND window);
// Fills the area with the window colour and draws the text in it.
void draw_no_items(HWND window, HDC dc, const RECT& area);
// Paints the text through an off-screen bitmap between BeginPaint and EndPaint.
void paint_no_items_now(HWND window);
}  // namespace detail

template <class T>
class paint_no_items {
 public:
  BEGIN_MSG_MAP(paint_no_items)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
  MESSAGE_HANDLER(WM_SIZE, OnInvalidatingMessage)
  MESSAGE_HANDLER(WM_HSCROLL, OnInvalidatingMessage)
  MESSAGE_HANDLER(WM_VSCROLL, OnInvalidatingMessage)
  MESSAGE_HANDLER(WM_MOUSEWHEEL, OnInvalidatingMessage)
  MESSAGE_HANDLER(WM_SETFOCUS, OnInvalidatingMessage)
  MESSAGE_HANDLER(WM_KILLFOCUS, OnInvalidatingMessage)
  NOTIFY_CODE_HANDLER(HDN_ITEMCHANGEDW, OnHeaderChanged)
  NOTIFY_CODE_HANDLER(HDN_ITEMCHANGEDA, OnHeaderChanged)
  END_MSG_MAP()

  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    const HWND window = self();
    if (detail::has_no_items(window)) {
      m_items_shown = false;
      detail::paint_no_items_now(window);
      return 0;
    }
    if (!m_items_shown) {
      m_items_shown = true;
      ::InvalidateRect(window, nullptr, TRUE);
    }
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (!detail::has_no_items(self())) bHandled = FALSE;
    return 1;
  }
  LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    const HWND window = self();
    if (!detail::has_no_items(window)) {
      bHandled = FALSE;
      return 0;
    }
    detail::draw_no_items(window, reinterpret_cast<HDC>(wParam), detail::no_items_area(window));
    return 0;
  }
  LRESULT OnInvalidatingMessage(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    invalidate_when_empty();
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnHeaderChanged(int, LPNMHDR, BOOL& bHandled) {
    invalidate_when_empty();
    bHandled = FALSE;
    return 0;
  }

 private:
  HWND self() const noexcept { return static_cast<const T*>(this)->m_hWnd; }
  void invalidate_when_empty() {
    if (detail::has_no_items(self())) ::InvalidateRect(self(), nullptr, TRUE);
  }
  bool m_items_shown = false;
};

}  // namespace zel
