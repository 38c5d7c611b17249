#include "zel/layout_manager.h"

#include <windowsx.h>

#include <cwchar>

#include "zel/errors.h"

namespace zel::layout {

namespace {

// Flags of the moves the layout makes: no z-order change, no activation.
constexpr UINT move_flags = SWP_NOZORDER | SWP_NOACTIVATE;
// The size grip: a visible child size box aligned to the bottom-right
// corner of the rectangle it is created over.
constexpr DWORD size_grip_style =
    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEGRIP | SBS_SIZEBOX | SBS_SIZEBOXBOTTOMRIGHTALIGN;
// Everything below the dialog, repainted at once after a layout.
constexpr UINT redraw_flags = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;

rect from_win(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

bool is_child_window(HWND window) { return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0; }

void add_style(HWND window, int index, LONG_PTR bits) {
  const LONG_PTR style = ::GetWindowLongPtrW(window, index);
  if ((style & bits) != bits) ::SetWindowLongPtrW(window, index, style | bits);
}

// A window's rectangle in the client coordinates of `dialog`.
bool rect_in_dialog(HWND dialog, HWND window, RECT& r) {
  if (!::GetWindowRect(window, &r)) return false;
  auto* corners = reinterpret_cast<POINT*>(&r);
  if (::ScreenToClient(dialog, &corners[0])) ::ScreenToClient(dialog, &corners[1]);
  return true;
}

// Switches a visible dialog's redrawing off for its lifetime, then on
// again with everything repainted, also when the layout throws.
class redraw_suspended {
 public:
  explicit redraw_suspended(HWND dialog) noexcept : m_dialog(dialog), m_visible(::IsWindowVisible(dialog) != FALSE) {
    if (m_visible) ::SendMessageW(m_dialog, WM_SETREDRAW, FALSE, 0);
  }
  ~redraw_suspended() {
    if (!m_visible) return;
    ::SendMessageW(m_dialog, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(m_dialog, nullptr, nullptr, redraw_flags);
  }
  redraw_suspended(const redraw_suspended&) = delete;
  redraw_suspended& operator=(const redraw_suspended&) = delete;

 private:
  HWND m_dialog;
  bool m_visible;
};

// A memory DC with a bitmap as large as `area` of `target`, drawn in
// `target`'s coordinates and copied to it at the end; `keep` starts it
// with what `target` holds there.
class buffered_area {
 public:
  buffered_area(HDC target, const RECT& area, bool keep = false) noexcept
      : m_target(target),
        m_area(area),
        m_dc(::CreateCompatibleDC(target)),
        m_bitmap(::CreateCompatibleBitmap(target, area.right - area.left, area.bottom - area.top)),
        m_old(m_dc && m_bitmap ? ::SelectObject(m_dc, m_bitmap) : nullptr) {
    if (!m_old) return;
    if (keep)
      ::BitBlt(m_dc, 0, 0, area.right - area.left, area.bottom - area.top, target, area.left, area.top, SRCCOPY);
    ::SetWindowOrgEx(m_dc, area.left, area.top, nullptr);
  }
  ~buffered_area() {
    if (m_old) {
      ::BitBlt(m_target, m_area.left, m_area.top, m_area.right - m_area.left, m_area.bottom - m_area.top, m_dc,
               m_area.left, m_area.top, SRCCOPY);
      ::SelectObject(m_dc, m_old);
    }
    if (m_bitmap) ::DeleteObject(m_bitmap);
    if (m_dc) ::DeleteDC(m_dc);
  }
  buffered_area(const buffered_area&) = delete;
  buffered_area& operator=(const buffered_area&) = delete;

  bool ready() const noexcept { return m_old != nullptr; }
  HDC dc() const noexcept { return m_dc; }

 private:
  HDC m_target;
  RECT m_area;
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
};

BOOL CALLBACK collect_window(HWND window, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> get_child_windows(HWND window) {
  std::vector<HWND> all;
  ::EnumChildWindows(window, collect_window, reinterpret_cast<LPARAM>(&all));
  std::vector<HWND> direct;
  for (HWND child : all) {
    if (::GetParent(child) == window) direct.push_back(child);
  }
  return direct;
}

bool is_group_box(HWND window) {
  if ((::GetWindowLongPtrW(window, GWL_STYLE) & 0x0F) != BS_GROUPBOX) return false;
  wchar_t name[261] = {};
  ::GetClassNameW(window, name, 261);
  return std::wcscmp(name, L"Button") == 0;
}

bool window_controls::control_rect(int id, rect& out) const {
  HWND control = ::GetDlgItem(m_dialog, id);
  RECT r;
  if (!::IsWindow(control) || !rect_in_dialog(m_dialog, control, r)) return false;
  out = from_win(r);
  return true;
}

void window_controls::move_control(int id, const rect& to) {
  ::SetWindowPos(::GetDlgItem(m_dialog, id), nullptr, to.left, to.top, to.width(), to.height(), move_flags);
}

size window_controls::dialog_units(int offset) const {
  RECT r{0, 0, offset, offset};
  if (!::MapDialogRect(m_dialog, &r)) throw_win32_error(::GetLastError());
  return {r.right - r.left, r.bottom - r.top};
}

void dialog_layout_base::prepare(HWND dialog) {
  // Children clipped, so a layout repaints no control under another.
  add_style(dialog, GWL_STYLE, WS_CLIPCHILDREN);
  const bool child = is_child_window(dialog);
  if (!child) add_style(dialog, GWL_EXSTYLE, WS_EX_DLGMODALFRAME);

  if (m_grip && ::IsWindow(m_grip)) ::DestroyWindow(m_grip);
  m_grip = nullptr;
  if (!::GetDlgItem(dialog, size_grip_id)) {
    // Created over the whole client area, the box puts itself in the
    // bottom-right corner at the system's size.
    RECT client;
    ::GetClientRect(dialog, &client);
    m_grip = ::CreateWindowExW(0, L"SCROLLBAR", nullptr, size_grip_style, client.left, client.top,
                               client.right - client.left, client.bottom - client.top, dialog,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(size_grip_id)),
                               reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), nullptr);
  }

  // A top-level dialog cannot be dragged smaller than it starts; a child
  // dialog is never laid out smaller than its starting client area.
  RECT start;
  if (child) {
    ::GetClientRect(dialog, &start);
  } else {
    ::GetWindowRect(dialog, &start);
  }
  m_min_width = start.right - start.left;
  m_min_height = start.bottom - start.top;

  // Group boxes are painted with the background instead (see
  // erase_background), so they never cover the controls they frame.
  for (HWND box : get_child_windows(dialog)) {
    if (is_group_box(box)) {
      ::SetWindowLongPtrW(box, GWL_STYLE, ::GetWindowLongPtrW(box, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE));
    }
  }
}

void dialog_layout_base::keep_and_arrange(HWND dialog, node_ptr root) {
  m_root = m_grip ? with_size_grip(std::move(root)) : std::move(root);
  RECT client;
  ::GetClientRect(dialog, &client);
  arrange_to(dialog, client.right - client.left, client.bottom - client.top);
}

void dialog_layout_base::arrange_to(HWND dialog, int width, int height) {
  if (is_child_window(dialog)) {
    width = at_least_minimum(width, m_min_width);
    height = at_least_minimum(height, m_min_height);
  }
  if (!m_root) return;
  redraw_suspended quiet(dialog);
  window_controls controls(dialog);
  m_root->arrange(controls, rect{0, 0, width, height});
}

void dialog_layout_base::erase_background(HWND dialog, HDC dc) {
  if (m_painting) return;
  m_painting = true;
  RECT clip;
  ::GetClipBox(dc, &clip);
  {
    buffered_area buffer(dc, clip);
    if (buffer.ready()) {
      auto brush = reinterpret_cast<HBRUSH>(::GetClassLongPtrW(dialog, GCLP_HBRBACKGROUND));
      ::FillRect(buffer.dc(), &clip, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
      for (HWND box : get_child_windows(dialog)) {
        RECT r, common;
        if (!is_group_box(box) || !rect_in_dialog(dialog, box, r) || !::IntersectRect(&common, &r, &clip)) continue;
        // The box prints itself into a copy of its part of the buffer, at
        // the copy's own origin: a button clips its drawing to its client
        // rectangle taken as device coordinates, which a shifted origin
        // would cut short.
        buffered_area part(buffer.dc(), r, true);
        if (!part.ready()) continue;
        ::SetWindowOrgEx(part.dc(), 0, 0, nullptr);
        ::SendMessageW(box, WM_PRINT, reinterpret_cast<WPARAM>(part.dc()), PRF_CLIENT);
        ::SetWindowOrgEx(part.dc(), r.left, r.top, nullptr);
      }
    }
  }
  m_painting = false;
}

void dialog_layout_base::size_changed(HWND dialog, WPARAM type, LPARAM extent) {
  if (m_grip && ::IsWindow(m_grip)) {
    if (type == SIZE_MAXIMIZED) ::ShowWindow(m_grip, SW_HIDE);
    if (type == SIZE_RESTORED) ::ShowWindow(m_grip, SW_SHOW);
  }
  if (type != SIZE_MINIMIZED) arrange_to(dialog, GET_X_LPARAM(extent), GET_Y_LPARAM(extent));
}

void dialog_layout_base::limit_tracking(MINMAXINFO* info) const noexcept {
  if (m_min_width == -1 || m_min_height == -1) return;
  info->ptMinTrackSize = {m_min_width, m_min_height};
}

}  // namespace zel::layout
