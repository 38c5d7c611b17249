#include "zel/paint_no_items.h"

#include <cwchar>

#include "win/window_traits.h"

namespace zel::detail {

// A list answers only its item count and a tree only its root item: each
// message is unknown to the other control, which answers 0. Asking both
// serves the plain controls and every superclass of them alike (a class
// name would miss the superclasses).
bool has_no_items(HWND window) {
  return ::SendMessageW(window, LVM_GETITEMCOUNT, 0, 0) == 0 &&
         ::SendMessageW(window, TVM_GETNEXTITEM, TVGN_ROOT, 0) == 0;
}

RECT no_items_area(HWND window) {
  RECT area{};
  ::GetClientRect(window, &area);
  const HWND header = reinterpret_cast<HWND>(::SendMessageW(window, LVM_GETHEADER, 0, 0));
  if (header && ::IsWindowVisible(header)) {
    RECT box{};
    ::GetWindowRect(header, &box);
    area.top += box.bottom - box.top;
    if (area.top > area.bottom) area.top = area.bottom;
  }
  return area;
}

void draw_no_items(HWND window, HDC dc, const RECT& area) {
  ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_WINDOW));
  const bool focused = ::GetFocus() == window;
  const int saved = ::SaveDC(dc);
  ::SetTextColor(dc, ::GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  ::SetBkColor(dc, ::GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  ::SetBkMode(dc, OPAQUE);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
  ::SelectObject(dc, font);
  wchar_t text[256] = {};
  if (::LoadStringW(WTL::resource_instance(), no_items_string_id, text, 256) <= 0) {
    std::wcsncpy(text, no_items_text, 255);
  }
  RECT box = area;
  ::DrawTextW(dc, text, -1, &box, DT_CENTER | DT_WORDBREAK | DT_NOCLIP | DT_NOPREFIX);
  ::RestoreDC(dc, saved);
}

void paint_no_items_now(HWND window) {
  PAINTSTRUCT ps;
  const HDC screen = ::BeginPaint(window, &ps);
  RECT client{};
  ::GetClientRect(window, &client);
  const RECT area = no_items_area(window);
  const int width = client.right - client.left, height = client.bottom - client.top;
  if (screen && width > 0 && height > 0) {
    const HDC memory = ::CreateCompatibleDC(screen);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = ::SelectObject(memory, bitmap);
    draw_no_items(window, memory, area);
    ::BitBlt(screen, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, area.left, area.top,
             SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
  }
  ::EndPaint(window, &ps);
}

}  // namespace zel::detail
