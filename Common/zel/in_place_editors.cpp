#include "zel/in_place_editors.h"

#include <commctrl.h>

#include <algorithm>

#include "win/gdi.h"

namespace zel {

namespace detail {

LRESULT notify_label_edit(HWND list, UINT code, UINT mask, int item, int subitem, const wchar_t* text) {
  NMLVDISPINFOW info{};
  info.hdr.hwndFrom = list;
  info.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
  info.hdr.code = code;
  info.item.mask = mask;
  info.item.iItem = item;
  info.item.iSubItem = subitem;
  info.item.pszText = const_cast<wchar_t*>(text);
  return ::SendMessageW(::GetParent(list), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
}

void notify_end_of_edit(HWND list, int item, int subitem, const wchar_t* text) {
  notify_label_edit(list, LVN_ENDLABELEDITW, LVIF_TEXT, item, subitem, text);
}

BOOL take_key(MSG* msg) {
  ::TranslateMessage(msg);
  ::DispatchMessageW(msg);
  return TRUE;
}

}  // namespace detail

namespace {

int text_width(const WTL::CDCHandle& dc, const std::wstring& text) {
  return dc.GetTextExtent(text.c_str(), static_cast<int>(text.size())).cx;
}

}  // namespace

BOOL CInPlaceEdit::PreTranslateMessage(MSG* msg) {
  if (msg->message != WM_KEYDOWN) return FALSE;
  // Ctrl counts while it is down (the high bit): the low bit only says it
  // was toggled.
  const bool control_down = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
  switch (msg->wParam) {
    case VK_RETURN:
    case VK_DELETE:
    case VK_ESCAPE:
      return detail::take_key(msg);
    default:
      return control_down ? detail::take_key(msg) : FALSE;
  }
}

LRESULT CInPlaceEdit::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (DefWindowProc(uMsg, wParam, lParam) == -1) return -1;
  SetFont(GetParent().GetFont());
  SetWindowText(m_text.c_str());
  SetFocus();
  SendMessage(EM_SETSEL, 0, -1);
  SendMessage(EM_SCROLLCARET);
  register_filter();
  return 0;
}

LRESULT CInPlaceEdit::OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (ended_by(wParam)) return 0;
  const LRESULT result = DefWindowProc(uMsg, wParam, lParam);
  fit_text();
  return result;
}

LRESULT CInPlaceEdit::OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  DefWindowProc(uMsg, wParam, lParam);
  end_edit();
  return 0;
}

void CInPlaceEdit::fit_text() {
  WTL::CWindow list = GetParent();
  int needed;
  {
    WTL::CClientDC dc(m_hWnd);
    WTL::CSelectObject font(dc, list.GetFont());
    needed = text_width(dc, GetWindowText()) + text_width(dc, L"X");
  }
  RECT box;
  GetWindowRect(&box);
  list.ScreenToClient(&box);
  if (needed <= box.right - box.left) return;
  RECT client;
  list.GetClientRect(&client);
  // Up to the list's client edge, but never narrower than the box already
  // is: a box that starts past the edge keeps its width.
  const LONG right = std::max(box.right, std::min(box.left + needed, client.right));
  SetWindowPos(nullptr, box.left, box.top, right - box.left, box.bottom - box.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL in_place_list::PreTranslateMessage(MSG* msg) {
  if (msg->message != WM_KEYDOWN || (msg->wParam != VK_RETURN && msg->wParam != VK_ESCAPE)) return FALSE;
  return detail::take_key(msg);
}

LRESULT in_place_list::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (DefWindowProc(uMsg, wParam, lParam) == -1) return -1;
  const HFONT font = GetParent().GetFont();
  SetFont(font);
  int widest = 0, x = 0;
  {
    WTL::CClientDC dc(m_hWnd);
    WTL::CSelectObject selected(dc, font);
    for (const auto& choice : m_choices) {
      SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
      widest = std::max(widest, text_width(dc, choice));
    }
    x = text_width(dc, L"X");
  }
  SendMessage(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + x));
  SendMessage(CB_SETCURSEL, static_cast<WPARAM>(m_selected));
  SetFocus();
  register_filter();
  return 0;
}

LRESULT in_place_list::OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (!ended_by(wParam)) bHandled = FALSE;
  return 0;
}

LRESULT in_place_list::OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  DefWindowProc(uMsg, wParam, lParam);
  // The combo box's own edit or list taking the focus ends nothing.
  const auto gaining = reinterpret_cast<HWND>(wParam);
  if (!gaining || !IsChild(gaining)) end_edit();
  return 0;
}

LRESULT in_place_list::OnReflectedEnd(WORD, WORD, HWND, BOOL&) {
  GetParent().SetFocus();
  return 0;
}

LRESULT in_place_list::OnReflectedEndNotify(int, LPNMHDR, BOOL&) {
  GetParent().SetFocus();
  return 0;
}

}  // namespace zel
