#include "frame_window.h"

#include <vector>

#include "core/command_bar.h"

namespace zel::frame {

namespace {
zel::rect to_rect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT to_RECT(const zel::rect& r) { return {r.left, r.top, r.right, r.bottom}; }
}  // namespace

std::wstring load_string(UINT id) {
  const wchar_t* text = nullptr;
  const int length = ::LoadStringW(WTL::resource_instance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

RECT client_area(HWND frame, HWND rebar, HWND status, BOOL resizeBars) {
  RECT area;
  ::GetClientRect(frame, &area);
  if (rebar && ::IsWindowVisible(rebar)) {
    if (resizeBars) ::SendMessageW(rebar, WM_SIZE, 0, 0);
    RECT bar;
    ::GetWindowRect(rebar, &bar);
    area.top += bar.bottom - bar.top;
  }
  if (status && ::IsWindowVisible(status)) {
    if (resizeBars) ::SendMessageW(status, WM_SIZE, 0, 0);
    RECT bar;
    ::GetWindowRect(status, &bar);
    area.bottom -= bar.bottom - bar.top;
  }
  if (area.bottom < area.top) area.bottom = area.top;
  return area;
}

void update_layout(HWND frame, HWND rebar, HWND status, HWND client, BOOL resizeBars) {
  const RECT area = client_area(frame, rebar, status, resizeBars);
  if (client) {
    ::SetWindowPos(client, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool add_band(HWND rebar, HWND child, LPCWSTR title, bool newRow, int width, bool fullWidth) {
  if (!rebar || !child) return false;
  const int index = static_cast<int>(::SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0));
  RECT size{};
  ::GetWindowRect(child, &size);
  const int buttons = static_cast<int>(::SendMessageW(child, TB_BUTTONCOUNT, 0, 0));
  int ideal = size.right - size.left;
  int height = size.bottom - size.top;
  RECT last{};
  if (buttons > 0 &&
      ::SendMessageW(child, TB_GETITEMRECT, static_cast<WPARAM>(buttons - 1), reinterpret_cast<LPARAM>(&last))) {
    ideal = last.right;  // a toolbar: as wide and high as its buttons
    height = last.bottom - last.top;
  }
  REBARBANDINFOW band{};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE | RBBIM_IDEALSIZE;
  band.fStyle = RBBS_CHILDEDGE | RBBS_USECHEVRON | (newRow ? RBBS_BREAK : 0);
  if (title) {
    band.fMask |= RBBIM_TEXT;
    band.lpText = const_cast<LPWSTR>(title);
  }
  band.hwndChild = child;
  band.wID = frame_first_band + static_cast<UINT>(index);
  band.cxMinChild = fullWidth ? ideal : 0;
  band.cyMinChild = static_cast<UINT>(height);
  band.cx = width > 0 ? width : ideal;
  band.cxIdeal = static_cast<UINT>(ideal);
  return ::SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)) != 0;
}

void menu_select(HWND status, WPARAM wParam, LPARAM lParam) {
  if (!status) return;
  const UINT flags = HIWORD(wParam);
  if (flags == 0xFFFF && lParam == 0) {  // the menu closed: the panes come back
    ::SendMessageW(status, SB_SIMPLE, FALSE, 0);
    return;
  }
  std::wstring text;
  if (!(flags & (MF_POPUP | MF_SEPARATOR))) {
    const std::wstring prompt = load_string(LOWORD(wParam));
    text = std::wstring(command_bar::split_prompt(prompt).status);
  }
  ::SendMessageW(status, SB_SIMPLE, TRUE, 0);
  ::SendMessageW(status, SB_SETTEXTW, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
}

void tooltip_text(NMTTDISPINFOW* info, std::wstring& store) {
  if (info->uFlags & TTF_IDISHWND) return;
  const std::wstring prompt = load_string(static_cast<UINT>(info->hdr.idFrom));
  store = std::wstring(command_bar::split_prompt(prompt).tip);
  info->lpszText = store.data();
  info->hinst = nullptr;
}

void chevron_pushed(HWND rebar, const NMREBARCHEVRON* chevron,
                    BOOL (*track)(void* context, HMENU menu, UINT flags, int x, int y, const RECT& exclude),
                    void* context) {
  REBARBANDINFOW band{};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_CHILD;
  if (!::SendMessageW(rebar, RB_GETBANDINFOW, chevron->uBand, reinterpret_cast<LPARAM>(&band)) || !band.hwndChild) {
    return;
  }
  HWND toolbar = band.hwndChild;
  const int count = static_cast<int>(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
  std::vector<command_bar::band_button> buttons;
  std::vector<TBBUTTON> infos(static_cast<size_t>(count > 0 ? count : 0));
  for (int i = 0; i < count; ++i) {
    ::SendMessageW(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&infos[i]));
    RECT r{};
    ::SendMessageW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    buttons.push_back({to_rect(r), (infos[i].fsState & TBSTATE_HIDDEN) != 0, (infos[i].fsStyle & BTNS_SEP) != 0});
  }
  RECT visible;
  ::GetClientRect(toolbar, &visible);
  HMENU menu = ::CreatePopupMenu();
  for (int index : command_bar::chevron_buttons(buttons, visible.right)) {
    const TBBUTTON& b = infos[static_cast<size_t>(index)];
    if (b.fsStyle & BTNS_SEP) {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    wchar_t text[128] = L"";
    ::SendMessageW(toolbar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(b.idCommand), reinterpret_cast<LPARAM>(text));
    const std::wstring prompt = load_string(static_cast<UINT>(b.idCommand));
    const std::wstring label(command_bar::chevron_label(text, command_bar::split_prompt(prompt).tip));
    const UINT state = (b.fsState & TBSTATE_ENABLED ? 0 : MF_GRAYED) | (b.fsState & TBSTATE_CHECKED ? MF_CHECKED : 0);
    ::AppendMenuW(menu, MF_STRING | state, static_cast<UINT_PTR>(b.idCommand), label.c_str());
  }
  if (::GetMenuItemCount(menu) > 0) {
    RECT bandRect{};
    ::SendMessageW(rebar, RB_GETRECT, chevron->uBand, reinterpret_cast<LPARAM>(&bandRect));
    RECT anchor = to_RECT(command_bar::chevron_anchor(to_rect(chevron->rc), to_rect(bandRect)));
    ::MapWindowPoints(rebar, nullptr, reinterpret_cast<POINT*>(&anchor), 2);
    track(context, menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_VERTICAL, anchor.left, anchor.bottom,
          anchor);
  }
  ::DestroyMenu(menu);
}

}  // namespace zel::frame
