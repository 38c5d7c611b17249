#include "pane_container.h"

#include <algorithm>
#include <string>

namespace {

HFONT title_font() { return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

constexpr int close_size = 14;  // the close button's square, in pixels
constexpr int close_margin = 2;

}  // namespace

CZELPaneContainer::~CZELPaneContainer() {
  if (IsWindow()) DestroyWindow();
}

HWND CZELPaneContainer::Create(HWND parent, const RECT& rect) {
  return WTL::CWindowImpl<CZELPaneContainer>::Create(parent, rect, L"",
                                                     WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
}

LRESULT CZELPaneContainer::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ old = ::SelectObject(dc, title_font());
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(m_hWnd, dc);
  m_title_height = std::max<int>(close_size + 2 * close_margin, metrics.tmHeight + 6);
  if (m_has_close) {
    m_close = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, close_size, close_size,
                                m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(close_command)),
                                WTL::resource_instance(), nullptr);
  }
  return 0;
}

void CZELPaneContainer::SetClient(HWND client) {
  m_client = client;
  if (m_client && ::GetParent(m_client) != m_hWnd) ::SetParent(m_client, m_hWnd);
  place_children();
}

void CZELPaneContainer::place_children() {
  RECT area{};
  GetClientRect(&area);
  if (m_close) {
    ::SetWindowPos(m_close, nullptr, area.right - close_margin - close_size, (m_title_height - close_size) / 2,
                   close_size, close_size, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (m_client) {
    const int top = std::min<int>(m_title_height, area.bottom);
    ::SetWindowPos(m_client, nullptr, 0, top, area.right, area.bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT CZELPaneContainer::OnSize(UINT, WPARAM, LPARAM, BOOL&) {
  place_children();
  return 0;
}

LRESULT CZELPaneContainer::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  RECT bar{};
  GetClientRect(&bar);
  bar.bottom = std::min<LONG>(bar.bottom, m_title_height);
  ::FillRect(dc, &bar, ::GetSysColorBrush(COLOR_BTNFACE));
  RECT line = bar;
  line.top = std::max<LONG>(line.top, line.bottom - 1);
  ::FillRect(dc, &line, ::GetSysColorBrush(COLOR_BTNSHADOW));
  wchar_t title[max_title + 1] = L"";
  const int length = ::GetWindowTextW(m_hWnd, title, static_cast<int>(max_title + 1));
  RECT text = bar;
  text.left += 4;
  if (m_close) text.right -= close_size + 2 * close_margin;
  HGDIOBJ old = ::SelectObject(dc, title_font());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  ::DrawTextW(dc, title, length, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  ::SelectObject(dc, old);
  ::EndPaint(m_hWnd, &paint);
  return 0;
}

// The title keeps at most 80 characters; the bar is drawn again.
LRESULT CZELPaneContainer::OnSetText(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const auto* text = reinterpret_cast<const wchar_t*>(lParam);
  std::wstring kept = text ? text : L"";
  if (kept.size() > max_title) kept.resize(max_title);
  const LRESULT result = DefWindowProc(uMsg, wParam, reinterpret_cast<LPARAM>(kept.c_str()));
  RECT bar{};
  GetClientRect(&bar);
  bar.bottom = std::min<LONG>(bar.bottom, m_title_height);
  InvalidateRect(&bar);
  return result;
}

LRESULT CZELPaneContainer::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_client) ::SetFocus(m_client);
  return 0;
}

LRESULT CZELPaneContainer::OnCloseClicked(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (HIWORD(wParam) != BN_CLICKED) {
    bHandled = FALSE;
    return 0;
  }
  ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(close_command, 0), reinterpret_cast<LPARAM>(m_hWnd));
  return 0;
}

LRESULT CZELPaneContainer::OnDrawClose(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  RECT box = item->rcItem;
  UINT state = DFCS_CAPTIONCLOSE | DFCS_FLAT;
  if (item->itemState & ODS_SELECTED) state |= DFCS_PUSHED;
  ::DrawFrameControl(item->hDC, &box, DFC_CAPTION, state);
  return TRUE;
}
