#include "editable_list_view.h"

#include <algorithm>

#include "in_place_editors.h"

namespace zel::detail {

namespace {

HWND header_of(HWND list) { return reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0)); }

}  // namespace

int list_column_count(HWND list) {
  const HWND header = header_of(list);
  return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int list_row_count(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<int> list_display_order(HWND list) {
  std::vector<int> order(static_cast<std::size_t>(std::max(list_column_count(list), 0)));
  if (!order.empty() &&
      !::SendMessageW(list, LVM_GETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()))) {
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  }
  return order;
}

RECT list_cell_rect(HWND list, int row, int column) {
  RECT cell{};
  const HWND header = header_of(list);
  if (row < 0 || row >= list_row_count(list) || column < 0 || column >= list_column_count(list)) return cell;
  RECT item{LVIR_BOUNDS, 0, 0, 0};
  RECT heading{};
  if (!::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) ||
      !::SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&heading)))
    return cell;
  ::MapWindowPoints(header, list, reinterpret_cast<POINT*>(&heading), 2);
  return RECT{heading.left, item.top, heading.right, item.bottom};
}

void list_scroll_into_view(HWND list, int row, int column) {
  ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  const RECT cell = list_cell_rect(list, row, column);
  if (::IsRectEmpty(&cell)) return;
  RECT client;
  ::GetClientRect(list, &client);
  int dx = 0;
  if (cell.left < client.left) {
    dx = cell.left - client.left;
  } else if (cell.right > client.right) {
    dx = std::min(cell.right - client.right, cell.left - client.left);
  }
  if (dx) ::SendMessageW(list, LVM_SCROLL, static_cast<WPARAM>(dx), 0);
}

void list_request_edit(HWND list, int row, int column) {
  notify_label_edit(list, LVN_BEGINLABELEDITW, 0, row, column, nullptr);
}

bool list_key(WPARAM vk, bool shift, bool ctrl, editable_list::key& k) {
  using editable_list::key;
  switch (vk) {
    case VK_RIGHT:
      k = key::right;
      return true;
    case VK_LEFT:
      k = key::left;
      return true;
    case VK_TAB:
      k = shift ? key::left : key::right;
      return true;
    case VK_DOWN:
      k = key::down;
      return true;
    case VK_UP:
      k = key::up;
      return true;
    case VK_HOME:
      k = ctrl ? key::first_cell : key::home;
      return true;
    case VK_END:
      k = ctrl ? key::last_cell : key::end;
      return true;
    case VK_PRIOR:
      k = key::page_up;
      return true;
    case VK_NEXT:
      k = key::page_down;
      return true;
    default:
      return false;
  }
}

void list_set_up(HWND list) {
  const DWORD extended = LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP;
  ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  if (const HWND header = header_of(list)) {
    const LONG_PTR style = ::GetWindowLongPtrW(header, GWL_STYLE);
    ::SetWindowLongPtrW(header, GWL_STYLE, style | HDS_FULLDRAG | HDS_HOTTRACK | HDS_DRAGDROP);
  }
}

void list_snap_column(HWND list, int column, int minimum) {
  if (column < 0 || column >= list_column_count(list)) return;
  const int width = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  if (width < minimum) ::SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), minimum);
}

void list_paint(HWND list, WNDPROC print, const editable_list::cell& focus, bool draw_focus) {
  PAINTSTRUCT ps;
  const HDC dc = ::BeginPaint(list, &ps);
  RECT client;
  ::GetClientRect(list, &client);
  const int width = std::max<int>(client.right, 1), height = std::max<int>(client.bottom, 1);
  const HDC memory = ::CreateCompatibleDC(dc);
  const HBITMAP bitmap = ::CreateCompatibleBitmap(dc, width, height);
  if (memory && bitmap) {
    const HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::FillRect(memory, &client, ::GetSysColorBrush(COLOR_WINDOW));
    ::CallWindowProcW(print, list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    if (draw_focus) {
      RECT cell = list_cell_rect(list, focus.row, focus.column);
      if (!::IsRectEmpty(&cell)) {
        ::InflateRect(&cell, 0, -1);
        ::SetTextColor(memory, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
        ::SetBkColor(memory, ::GetSysColor(COLOR_HIGHLIGHT));
        ::DrawFocusRect(memory, &cell);
      }
    }
    const RECT& area = ps.rcPaint;
    ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, area.left, area.top,
             SRCCOPY);
    ::SelectObject(memory, old);
  }
  if (bitmap) ::DeleteObject(bitmap);
  if (memory) ::DeleteDC(memory);
  ::EndPaint(list, &ps);
}

LRESULT list_custom_draw(HWND list, NMLVCUSTOMDRAW* draw, const editable_list::cell& focus) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const editable_list::palette p{{::GetSysColor(COLOR_WINDOWTEXT), ::GetSysColor(COLOR_WINDOW)},
                                     {::GetSysColor(COLOR_HIGHLIGHTTEXT), ::GetSysColor(COLOR_HIGHLIGHT)}};
      const bool focus_cell = static_cast<int>(draw->nmcd.dwItemSpec) == focus.row && draw->iSubItem == focus.column;
      const bool always = (::GetWindowLongPtrW(list, GWL_STYLE) & LVS_SHOWSELALWAYS) != 0;
      const editable_list::colours c = editable_list::cell_colours(p, focus_cell, ::GetFocus() == list, always);
      draw->clrText = c.text;
      draw->clrTextBk = c.background;
      return CDRF_DODEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

}  // namespace zel::detail
