#include "options_dialogs.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>

#include "comet/bstr.h"
#include "protocol_dialogs.h"
#include "protocol_state.h"
#include "settings_disk.h"
#include "state_walk.h"
#include "win/window.h"

namespace Orvo {

namespace {

// Adds the values of properties' writable properties to map, each value
// once per property.
void add_properties(property_map& map, ICollection* properties) {
  for (auto& [name, values] : make_property_map(properties).m_map) {
    std::vector<wide_string>& list = map.m_map[name];
    for (auto& value : values)
      if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(std::move(value));
  }
}

}  // namespace

property_map make_available_map(IAmplifierState* state, const property_map& excluded) {
  property_map map(bstr_key_order());
  for_each_amplifier(comet::checked(comet::com_ptr<IAmplifierState>(state)),
                     [&](const comet::com_ptr<::IAmplifier>& amplifier) {
                       ::IAmplifier* a = comet::checked(amplifier);
                       add_properties(map, get_functions(a).get());
                       for_each_channel_collection(
                           a, [&](const comet::com_ptr<ICollection>& channel) { add_properties(map, channel.get()); });
                     });
  for (const auto& [key, hidden] : excluded.m_map) {
    const auto found = map.m_map.find(key);
    if (found == map.m_map.end()) continue;
    auto& values = found->second;
    values.erase(std::remove_if(
                     values.begin(), values.end(),
                     [&](const wide_string& v) { return std::find(hidden.begin(), hidden.end(), v) != hidden.end(); }),
                 values.end());
  }
  return map;
}

}  // namespace Orvo

namespace {

std::wstring list_text(HWND list, int index) {
  const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void fill_list(HWND list, const std::vector<Orvo::wide_string>& values) {
  for (const auto& value : values)
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(to_wstring(value).c_str()));
  ::SendMessageW(list, LB_SETSEL, TRUE, 0);  // the first item, when there is one
}

}  // namespace

zel::layout::node_ptr COptionPage::define_layout() {
  using namespace zel::layout;
  const unsigned all = anchor_left | anchor_top | anchor_right | anchor_bottom;
  auto excluded = container(absolute(0), absolute(0), ratio(0.5))
                  << control(IDC_EXCLUDE_GROUP, all)
                  << (around_control(IDC_EXCLUDE_GROUP, -4, -9, -4, -4) << fill(IDC_EXCLUDED_LIST));
  auto included =
      container(ratio(0.5)) << control(IDC_INCLUDE_GROUP, all)
                            << (around_control(IDC_INCLUDE_GROUP, -4, -9, -4, -4) << fill(IDC_INCLUDED_LIST));
  auto buttons =
      container(relative_dlgunit(IDC_EXCLUDE_GROUP, edge_right, 0), absolute(0),
                relative_dlgunit(IDC_INCLUDE_GROUP, edge_left, 0))
      << (container(absolute(0), absolute(0), {}, ratio(0.5))
          << control(IDC_ADD_ALL_VALUES, anchor_left | anchor_top | anchor_right)
          << control(IDC_REMOVE_ALL_VALUES, anchor_left | anchor_top | anchor_right))
      << (container(absolute(0), ratio(0.5)) << control(IDC_ADD_VALUE, anchor_left | anchor_right | anchor_bottom)
                                             << control(IDC_REMOVE_VALUE, anchor_left | anchor_right | anchor_bottom));
  return container() << excluded << included << buttons;
}

LRESULT COptionPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  initialize_layout();
  fill_list(GetDlgItem(IDC_INCLUDED_LIST), m_available);
  fill_list(GetDlgItem(IDC_EXCLUDED_LIST), m_excluded);
  GetDlgItem(IDC_INCLUDED_LIST).SetWindowText(GetDlgItem(IDC_INCLUDE_GROUP).GetWindowText().c_str());
  GetDlgItem(IDC_EXCLUDED_LIST).SetWindowText(GetDlgItem(IDC_EXCLUDE_GROUP).GetWindowText().c_str());
  update_buttons();
  return TRUE;
}

void COptionPage::update_buttons() {
  auto count = [this](int list, UINT message) { return GetDlgItem(list).SendMessage(message) > 0; };
  GetDlgItem(IDC_ADD_VALUE).EnableWindow(count(IDC_EXCLUDED_LIST, LB_GETSELCOUNT));
  GetDlgItem(IDC_ADD_ALL_VALUES).EnableWindow(count(IDC_EXCLUDED_LIST, LB_GETCOUNT));
  GetDlgItem(IDC_REMOVE_VALUE).EnableWindow(count(IDC_INCLUDED_LIST, LB_GETSELCOUNT));
  GetDlgItem(IDC_REMOVE_ALL_VALUES).EnableWindow(count(IDC_INCLUDED_LIST, LB_GETCOUNT));
}

void COptionPage::move(bool to_included) {
  WTL::CWindow from = GetDlgItem(to_included ? IDC_EXCLUDED_LIST : IDC_INCLUDED_LIST);
  WTL::CWindow to = GetDlgItem(to_included ? IDC_INCLUDED_LIST : IDC_EXCLUDED_LIST);
  const LRESULT selected = from.SendMessage(LB_GETSELCOUNT);
  if (selected <= 0) return;
  std::vector<int> indices(static_cast<std::size_t>(selected));
  from.SendMessage(LB_GETSELITEMS, indices.size(), reinterpret_cast<LPARAM>(indices.data()));
  std::sort(indices.begin(), indices.end());
  from.SetRedraw(FALSE);
  to.SetRedraw(FALSE);
  // Last first, so that deleting leaves the indices still to move in place.
  for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
    const std::wstring text = list_text(from, *it);
    to.SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    from.SendMessage(LB_DELETESTRING, static_cast<WPARAM>(*it));
    const Orvo::wide_string value = to_wide_string(text);
    if (to_included) {
      m_excluded.erase(std::remove(m_excluded.begin(), m_excluded.end(), value), m_excluded.end());
    } else {
      m_excluded.push_back(value);
    }
  }
  to.SetRedraw(TRUE);
  from.SetRedraw(TRUE);
  from.Invalidate();
  to.Invalidate();
  update_buttons();
}

LRESULT COptionPage::OnAdd(WORD, WORD, HWND, BOOL&) {
  move(true);
  return 0;
}

LRESULT COptionPage::OnAddAll(WORD, WORD, HWND, BOOL&) {
  GetDlgItem(IDC_EXCLUDED_LIST).SendMessage(LB_SETSEL, TRUE, -1);
  move(true);
  return 0;
}

LRESULT COptionPage::OnRemove(WORD, WORD, HWND, BOOL&) {
  move(false);
  return 0;
}

LRESULT COptionPage::OnRemoveAll(WORD, WORD, HWND, BOOL&) {
  GetDlgItem(IDC_INCLUDED_LIST).SendMessage(LB_SETSEL, TRUE, -1);
  move(false);
  return 0;
}

LRESULT COptionPage::OnSelectionChange(WORD, WORD, HWND, BOOL&) {
  update_buttons();
  return 0;
}

COptionsDlg::COptionsDlg(IAmplifierState* state, Orvo::property_map& exclusions)
    : m_state(state), m_exclusions(exclusions), m_available(Orvo::make_available_map(state, exclusions)) {}

int COptionsDlg::Run(IAmplifierState* state, Orvo::property_map& exclusions, CLogSink& log) {
  try {
    COptionsDlg dialog(state, exclusions);
    const INT_PTR result = dialog.DoModal(::GetActiveWindow());
    if (result == -1) {
      ::SetLastError(ERROR_OUTOFMEMORY);
      return -1;
    }
    return static_cast<int>(result);
  } catch (...) {
    report_current_exception(log);
    return 2;
  }
}

zel::layout::node_ptr COptionsDlg::define_layout() { return Orvo::grow_with_buttons(IDC_OPTION_TABS); }

LRESULT COptionsDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  WTL::CWindow tabs = GetDlgItem(IDC_OPTION_TABS);
  Orvo::property_map keys(bstr_key_order());
  for (const auto& entry : m_available.m_map) keys.m_map[entry.first];
  for (const auto& entry : m_exclusions.m_map) keys.m_map[entry.first];
  for (const auto& entry : keys.m_map) {
    const Orvo::wide_string& name = entry.first;
    const auto available = m_available.m_map.find(name);
    const auto excluded = m_exclusions.m_map.find(name);
    const bool has_available = available != m_available.m_map.end() && !available->second.empty();
    const bool has_excluded = excluded != m_exclusions.m_map.end() && !excluded->second.empty();
    if (!has_available && !has_excluded) continue;
    auto page = std::make_unique<COptionPage>(m_exclusions.m_map[name], m_available.m_map[name]);
    if (!page->Create(m_hWnd)) continue;
    const std::wstring text = to_wstring(name);
    page->SetWindowText(text.c_str());
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = reinterpret_cast<LPARAM>(page->m_hWnd);
    tabs.SendMessage(TCM_INSERTITEMW, m_pages.size(), reinterpret_cast<LPARAM>(&item));
    m_pages.push_back(std::move(page));
  }
  tabs.SendMessage(TCM_SETCURSEL, 0);
  initialize_layout();
  show_current_page();
  Orvo::set_small_icon(m_hWnd);
  return FALSE;  // the page has the focus
}

void COptionsDlg::show_current_page() {
  WTL::CWindow tabs = GetDlgItem(IDC_OPTION_TABS);
  if (!tabs) return;
  const int current = static_cast<int>(tabs.SendMessage(TCM_GETCURSEL));
  RECT area;
  tabs.GetWindowRect(&area);
  ScreenToClient(&area);
  tabs.SendMessage(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (std::size_t i = 0; i < m_pages.size(); ++i) {
    COptionPage& page = *m_pages[i];
    if (static_cast<int>(i) == current) {
      page.SetWindowPos(HWND_TOP, area, SWP_SHOWWINDOW);
      page.EnableWindow(TRUE);
      page.SetFocus();
    } else {
      page.ShowWindow(SW_HIDE);
      page.EnableWindow(FALSE);
    }
  }
}

LRESULT COptionsDlg::OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  // The layout places the tab control first; the page then fills its area.
  zel::layout::dialog_layout<COptionsDlg>::OnSize(message, wParam, lParam, handled);
  show_current_page();
  return 0;
}

LRESULT COptionsDlg::OnTabChange(int, LPNMHDR, BOOL&) {
  show_current_page();
  return 0;
}

LRESULT COptionsDlg::OnOK(WORD, WORD, HWND, BOOL&) {
  EndDialog(0);
  return 0;
}

LRESULT COptionsDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
  EndDialog(1);
  return 0;
}

zel::layout::node_ptr useroptions::define_layout() { return Orvo::grow_with_buttons(IDC_USER_OPTIONS_GROUP); }

LRESULT useroptions::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  initialize_layout();
  ::CheckDlgButton(m_hWnd, IDC_SHOW_SPLASH, m_session.m_show_spashscreen ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(m_hWnd, IDC_OPEN_LAST, m_session.m_open_last_profile ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(m_hWnd, IDC_SHOW_SHUTDOWN, m_session.m_show_shutdown_msg ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

LRESULT useroptions::OnOK(WORD, WORD, HWND, BOOL&) {
  m_session.m_show_spashscreen = ::IsDlgButtonChecked(m_hWnd, IDC_SHOW_SPLASH) == BST_CHECKED;
  m_session.m_open_last_profile = ::IsDlgButtonChecked(m_hWnd, IDC_OPEN_LAST) == BST_CHECKED;
  m_session.m_show_shutdown_msg = ::IsDlgButtonChecked(m_hWnd, IDC_SHOW_SHUTDOWN) == BST_CHECKED;
  EndDialog(IDOK);
  return 0;
}

LRESULT useroptions::OnCancel(WORD, WORD, HWND, BOOL&) {
  EndDialog(IDCANCEL);
  return 0;
}

namespace Orvo {

bool run_user_options(HWND owner, session_data& session, const std::function<void()>& save_session) {
  useroptions dialog(session);
  if (dialog.DoModal(owner) != IDOK) return false;
  session = dialog.m_session;
  if (save_session) save_session();
  return true;
}

bool run_display_options(IAmplifierState* state, protocol& working, CLogSink& log) {
  property_map copy = working.m_exclusion_set;
  if (COptionsDlg::Run(state, copy, log) != 0) return false;
  working.set_exclusion_set(copy);
  return true;
}

}  // namespace Orvo
