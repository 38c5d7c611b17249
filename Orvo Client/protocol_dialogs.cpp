#include "protocol_dialogs.h"

#include <vector>

LRESULT delete_protocol_dialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  CenterWindow(GetParent());
  return TRUE;
}

LRESULT delete_protocol_dialog::OnEnd(WORD, WORD id, HWND, BOOL&) {
  EndDialog(id);
  return 0;
}

namespace Orvo {

zel::layout::node_ptr grow_with_buttons(int id) {
  using namespace zel::layout;
  return container() << control(id, anchor_left | anchor_top | anchor_right | anchor_bottom)
                     << control(IDOK, anchor_right | anchor_bottom) << control(IDCANCEL, anchor_right | anchor_bottom);
}

void set_small_icon(HWND dialog) {
  const HICON icon = static_cast<HICON>(
      ::LoadImageW(WTL::resource_instance(), MAKEINTRESOURCEW(128), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  if (icon) ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

zel::layout::node_ptr comment_editor_dialog::define_layout() { return grow_with_buttons(IDC_COMMENT_TEXT); }

LRESULT comment_editor_dialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  initialize_layout();
  CenterWindow(GetParent());
  WTL::CWindow edit = GetDlgItem(IDC_COMMENT_TEXT);
  edit.SendMessage(EM_LIMITTEXT, max_length);
  edit.SetWindowText(m_comment.c_str());
  GetDlgItem(IDOK).EnableWindow(FALSE);
  return TRUE;
}

LRESULT comment_editor_dialog::OnChange(WORD, WORD, HWND, BOOL&) {
  GetDlgItem(IDOK).EnableWindow(text() != m_comment);
  return 0;
}

LRESULT comment_editor_dialog::OnEnd(WORD, WORD id, HWND, BOOL&) {
  m_text = text();
  EndDialog(id);
  return 0;
}

std::wstring comment_editor_dialog::text() const {
  std::vector<wchar_t> buffer(max_length + 1);
  const int length = ::GetDlgItemTextW(m_hWnd, IDC_COMMENT_TEXT, buffer.data(), max_length + 1);
  return std::wstring(buffer.data(), static_cast<std::size_t>(length));
}

}  // namespace Orvo
