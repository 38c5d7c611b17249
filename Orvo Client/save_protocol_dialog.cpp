#include "save_protocol_dialog.h"

#include <cwctype>

#include "orvo_module.h"
#include "protocol_commands.h"
#include "protocol_dialogs.h"
#include "settings_disk.h"
#include "ui_seams.h"

INT_PTR save_protocol_dialog::run(HWND owner) {
  WTL::CMessageLoop* loop = _Module.GetMessageLoop();
  const INT_PTR result = loop ? DoModal(*loop, owner) : -1;
  if (result == -1) ::SetLastError(ERROR_OUTOFMEMORY);
  return result;
}

std::wstring save_protocol_dialog::name() const { return to_wstring(Orvo::trim_protocol_name(to_wide_string(m_name))); }

zel::layout::node_ptr save_protocol_dialog::define_layout() {
  using namespace zel::layout;
  return container() << control(IDC_MANAGER_PLACE, anchor_left | anchor_top | anchor_right | anchor_bottom)
                     << control(IDC_PROTOCOL_NAME, anchor_left | anchor_right | anchor_bottom)
                     << control(IDC_COMMON_LIBRARY, anchor_bottom) << control(IDC_USER_LIBRARY, anchor_bottom)
                     << control(IDC_NAME_LABEL, anchor_bottom) << control(IDOK, anchor_right | anchor_bottom)
                     << control(IDCANCEL, anchor_right | anchor_bottom);
}

LRESULT save_protocol_dialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  // The manager takes the placeholder's place and identifier.
  WTL::CWindow place = GetDlgItem(IDC_MANAGER_PLACE);
  RECT area;
  place.GetWindowRect(&area);
  ScreenToClient(&area);
  place.DestroyWindow();
  if (m_manager.create(m_hWnd, area)) {
    m_manager.SetWindowLongPtr(GWLP_ID, IDC_MANAGER_PLACE);
    m_manager.SetWindowPos(GetDlgItem(IDC_COMMON_LIBRARY), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_manager.m_on_selection_changed = [this] { take_selection(); };
  }
  initialize_layout();
  Orvo::set_small_icon(m_hWnd);
  ::CheckRadioButton(m_hWnd, IDC_COMMON_LIBRARY, IDC_USER_LIBRARY, m_user ? IDC_USER_LIBRARY : IDC_COMMON_LIBRARY);
  if (m_manager.IsWindow()) m_manager.select(m_user, m_name);
  set_name_text(m_name);
  take_selection();
  OnIdle();
  return TRUE;
}

void save_protocol_dialog::set_name_text(const std::wstring& text) {
  m_setting_text = true;
  ::SetDlgItemTextW(m_hWnd, IDC_PROTOCOL_NAME, text.c_str());
  m_setting_text = false;
}

void save_protocol_dialog::take_selection() {
  if (!m_manager.IsWindow()) return;
  if (const auto place = m_manager.selected_protocol()) {
    m_name = to_wstring(place->name);
    if (!m_typing) set_name_text(m_name);
  }
  if (const auto user = m_manager.selected_library()) {
    m_user = *user;
    ::CheckRadioButton(m_hWnd, IDC_COMMON_LIBRARY, IDC_USER_LIBRARY, m_user ? IDC_USER_LIBRARY : IDC_COMMON_LIBRARY);
  }
}

LRESULT save_protocol_dialog::OnNameChange(WORD, WORD, HWND, BOOL&) {
  if (m_setting_text) return 0;
  wchar_t buffer[1024] = L"";
  ::GetDlgItemTextW(m_hWnd, IDC_PROTOCOL_NAME, buffer, 1024);
  const std::wstring text = buffer;
  std::size_t first = 0;
  while (first < text.size() && std::iswspace(text[first])) ++first;
  m_name = text.substr(first);
  if (m_name != text) {
    set_name_text(m_name);
    Orvo::beep();
  }
  // The selection this makes leaves the text as typed.
  m_typing = true;
  if (m_manager.IsWindow()) m_manager.select(m_user, name());
  m_typing = false;
  return 0;
}

LRESULT save_protocol_dialog::OnLibraryClicked(WORD, WORD id, HWND, BOOL&) {
  if (m_manager.IsWindow()) m_manager.select(id == IDC_USER_LIBRARY, name());
  return 0;
}

LRESULT save_protocol_dialog::OnOK(WORD, WORD, HWND, BOOL&) {
  if (!Orvo::is_valid_protocol_name(to_wide_string(m_name))) return 0;
  if (m_libraries && m_libraries->library(m_user).contains(to_wide_string(name())) &&
      Orvo::message_box(m_hWnd, L"Overwrite existing protocol?", L"Warning", MB_YESNO | MB_USERICON) != IDYES)
    return 0;
  EndDialog(IDOK);
  return 0;
}

LRESULT save_protocol_dialog::OnCancel(WORD, WORD, HWND, BOOL&) {
  EndDialog(IDCANCEL);
  return 0;
}

BOOL save_protocol_dialog::PreTranslateMessage(MSG* msg) {
  if (m_manager.IsWindow() && m_manager.TranslateAccelerator(msg)) return TRUE;
  return zel::modal_idle<save_protocol_dialog>::PreTranslateMessage(msg);
}

BOOL save_protocol_dialog::OnIdle() {
  GetDlgItem(IDOK).EnableWindow(Orvo::is_valid_protocol_name(to_wide_string(m_name)));
  return FALSE;
}

namespace Orvo {

bool store_protocol_reporting(HWND owner, protocol_libraries& libraries, bool user, const std::wstring& name,
                              const protocol& working) {
  return report_change(owner, store_protocol(libraries, user, to_wide_string(name), working));
}

}  // namespace Orvo
