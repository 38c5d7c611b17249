#include "main_frame_views.h"

#include "main_frame.h"
#include "orvo_module.h"
#include "zel/errors.h"

namespace {

void check_window(HWND window) {
  if (!window) zel::throw_win32_error(::GetLastError());
}

bool shown(HWND window) { return window && (::GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

}  // namespace

// The detail views edit in place inside the thread's message loop (the
// frame is made after its loop).
CFrameViews::CFrameViews(CMainFrame& frame) noexcept
    : m_frame(frame), m_primary(frame, _Module.GetMessageLoop()), m_secondary(frame, _Module.GetMessageLoop()) {}

CFrameViews::~CFrameViews() {
  if (m_impedance && m_impedance->m_hWnd) m_impedance->DestroyWindow();
}

HWND CFrameViews::create_area(HWND frame) {
  m_tabs.SetTabStyles(dockwins::tab_style::Tooltips | dockwins::tab_style::Bottom);
  m_tabs.SetForwardNotifications(true);
  return m_tabs.Create(frame, WTL::CWindow::rcDefault);
}

void CFrameViews::create_panes(HWND log) {
  check_window(m_overview_split.Create(m_tabs, WTL::CWindow::rcDefault, nullptr,
                                       WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_STATICEDGE));
  m_overview_split.SetSplitterExtendedStyle(zel::splitter_proportional | zel::splitter_vertical);
  check_window(m_detail_split.Create(m_overview_split, WTL::CWindow::rcDefault, nullptr,
                                     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
  m_detail_split.SetSplitterExtendedStyle(zel::splitter_proportional);

  check_window(m_primary_pane.Create(m_detail_split));
  m_primary_pane.SetWindowText(L"Primary View - ");
  check_window(m_primary.Create(m_primary_pane, WTL::CWindow::rcDefault, nullptr, 0, 0, primary_id));
  m_primary_pane.SetClient(m_primary);

  check_window(m_secondary_pane.Create(m_detail_split));
  m_secondary_pane.SetWindowText(L"Secondary View - ");
  check_window(m_secondary.Create(m_secondary_pane, WTL::CWindow::rcDefault, nullptr, 0, 0, secondary_id));
  m_secondary_pane.SetClient(m_secondary);

  check_window(m_overview_pane.Create(m_overview_split));
  m_overview_pane.SetWindowText(L"Orvo System Overview");
  check_window(m_tree.Create(m_overview_pane, WTL::CWindow::rcDefault, tree_id));
  m_overview_pane.SetClient(m_tree);

  m_detail_split.SetSplitterPanes(m_primary_pane, m_secondary_pane);
  m_overview_split.SetSplitterPanes(m_overview_pane, m_detail_split);

  const HINSTANCE instance = WTL::resource_instance();
  if (m_tabs.AddTabWithIcon(m_overview_split, L"&Orvo System", system_tab_icon, instance) < 0 ||
      m_tabs.AddTabWithIcon(log, L"&Event Log", event_log_tab_icon, instance) < 0)
    zel::throw_win32_error(ERROR_INVALID_WINDOW_HANDLE);
  // The event log shows when its tab is chosen.
  ::ShowWindow(log, SW_HIDE);
  m_tabs.UpdateLayout();
}

std::wstring CFrameViews::primary_title() const { return m_primary_pane.m_hWnd ? m_primary_pane.GetWindowText() : L""; }

std::wstring CFrameViews::secondary_title() const {
  return m_secondary_pane.m_hWnd ? m_secondary_pane.GetWindowText() : L"";
}

bool CFrameViews::tree_notification(const NMHDR& header, LRESULT& result) {
  if (!m_tree.m_hWnd || header.hwndFrom != m_tree.m_hWnd) return false;
  switch (header.code) {
    case TVN_SELCHANGEDW: {
      // A selection that leaves no item (the tree emptied) has nothing to show.
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      if (change.itemNew.hItem) m_frame.OnTreeSelection(m_tree.item_id(change.itemNew.hItem));
      result = 0;
      return true;
    }
    case TVN_BEGINLABELEDITW: {
      const auto& edit = reinterpret_cast<const NMTVDISPINFOW&>(header);
      result = m_frame.OnBeginLabelEdit(m_tree.item_id(edit.item.hItem)) ? TRUE : FALSE;
      return true;
    }
    case TVN_ENDLABELEDITW: {
      const auto& edit = reinterpret_cast<const NMTVDISPINFOW&>(header);
      result = m_frame.OnEndLabelEdit(m_tree.item_id(edit.item.hItem), edit.item.pszText) ? FALSE : TRUE;
      return true;
    }
    default:
      return false;
  }
}

void CFrameViews::suspend_redraw() {
  if (!m_tree.m_hWnd) return;
  m_tree.SuspendRedraw();
  m_primary.SuspendRedraw();
  m_secondary.SuspendRedraw();
}

void CFrameViews::resume_redraw() {
  if (!m_tree.m_hWnd) return;
  m_tree.ReleaseRedraw();
  m_primary.ReleaseRedraw();
  m_secondary.ReleaseRedraw();
}

void CFrameViews::empty_tree() {
  if (m_tree.m_hWnd) m_tree.clear();
}

void CFrameViews::rebuild_tree(IAmplifierState* state, Orvo::IAmplifier* server, const rename_map& renames) {
  if (m_tree.m_hWnd) m_tree.refresh(server, state, renames);
}

void CFrameViews::select_tree_item(long id) {
  if (m_tree.m_hWnd) m_tree.select_by_id(id);
}

long CFrameViews::selected_tree_item() const { return m_tree.m_hWnd ? m_tree.selected_id() : 0; }

bool CFrameViews::overview_visible() const { return shown(m_overview_pane.m_hWnd); }

void CFrameViews::show_overview(bool show) {
  if (m_overview_split.m_hWnd) m_overview_split.SetSinglePaneMode(show ? -1 : 1);
}

bool CFrameViews::secondary_visible() const { return shown(m_secondary_pane.m_hWnd); }

void CFrameViews::show_secondary(bool show) {
  m_show_secondary = show;
  show_lower_pane();
}

// The impedance container whenever it is open, else the secondary
// container as its flag says.
void CFrameViews::show_lower_pane() {
  if (!m_detail_split.m_hWnd) return;
  if (m_impedance_pane) {
    m_secondary_pane.ShowWindow(SW_HIDE);
    m_detail_split.SetSplitterPane(1, *m_impedance_pane, false);
    m_detail_split.SetSinglePaneMode(-1);
    return;
  }
  m_detail_split.SetSplitterPane(1, m_secondary_pane, false);
  m_detail_split.SetSinglePaneMode(m_show_secondary ? -1 : 0);
}

void CFrameViews::select_tab(int tab) {
  if (m_tabs.m_hWnd) m_tabs.GetTabCtrl().SetCurSel(tab);
}

int CFrameViews::active_tab() const {
  return m_tabs.m_hWnd ? const_cast<dockwins::CTabbedChildWindow<>&>(m_tabs).GetTabCtrl().GetCurSel() : 0;
}

// The detail views are filled only once their windows exist.
void CFrameViews::empty_views() {
  if (!m_primary.m_hWnd) return;
  m_primary.clear();
  m_secondary.clear();
}

void CFrameViews::show_server_properties(ICollection* properties) {
  if (m_primary.m_hWnd) m_primary.add_row(properties);
}

void CFrameViews::show_state(IAmplifierState* state) {
  if (!m_primary.m_hWnd) return;
  m_primary.show_all_channels(state);
  m_secondary.show_amplifiers(state);
}

void CFrameViews::show_amplifier(IAmplifier* amplifier) {
  if (!m_primary.m_hWnd) return;
  m_primary.show_channels(amplifier);
  m_secondary.show_object(amplifier);
}

void CFrameViews::show_channel(ICollection* channel, IAmplifier* parent) {
  if (!m_primary.m_hWnd) return;
  m_primary.add_row(channel);
  if (parent) m_secondary.show_object(parent);
}

void CFrameViews::scroll_to_current() {
  if (m_primary.m_hWnd) m_primary.scroll_to_focus_cell();
}

// The containers keep at most 80 characters of a title.
void CFrameViews::set_view_titles(const std::wstring& primary, const std::wstring& secondary) {
  if (m_primary_pane.m_hWnd) m_primary_pane.SetWindowText(primary.c_str());
  if (m_secondary_pane.m_hWnd) m_secondary_pane.SetWindowText(secondary.c_str());
}

void CFrameViews::focus_primary() {
  if (m_primary.m_hWnd) ::SetFocus(m_primary);
}

// The first of impedance view, primary view and event log that is there,
// shown and enabled takes the focus.
void CFrameViews::focus_view() {
  const HWND candidates[] = {m_impedance ? m_impedance->m_hWnd : nullptr, m_primary.m_hWnd,
                             m_frame.log_window().m_hWnd};
  for (const HWND window : candidates) {
    if (window && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
      ::SetFocus(window);
      return;
    }
  }
}

// The first check makes the impedance container in the secondary's place,
// and the view in it with the secondary view's font; a later one points
// the same view at the new amplifier and reads its electrodes again.
void CFrameViews::open_impedance(long id, const std::wstring& title) {
  if (m_impedance && m_impedance->m_hWnd) {
    m_impedance_pane->SetWindowText(title.c_str());
    m_impedance->set_amplifier_id(id);
    m_impedance->update();
    return;
  }
  if (!m_detail_split.m_hWnd) return;
  auto pane = std::make_unique<CZELPaneContainer>(false);
  check_window(pane->Create(m_detail_split));
  pane->SetWindowText(title.c_str());
  auto view = std::make_unique<CImpedanceView>(m_frame, id);
  if (!view->Create(*pane)) {
    const DWORD error = ::GetLastError();
    pane->DestroyWindow();
    zel::throw_win32_error(error);
  }
  view->SetFont(m_secondary.GetFont());
  pane->SetClient(*view);
  m_impedance_pane = std::move(pane);
  m_impedance = std::move(view);
  show_lower_pane();
}

// A non-null pointer even for no readings, so that those are refused as
// unexpected rather than as a missing array.
void CFrameViews::impedance_values(const std::vector<unsigned char>& values) {
  if (!m_impedance) return;
  static const unsigned char none = 0;
  m_impedance->set_impedances(values.empty() ? &none : values.data(), values.size());
}

void CFrameViews::refresh_impedance(IAmplifierState*) {
  if (m_impedance) m_impedance->update();
}

void CFrameViews::close_impedance() {
  if (!m_impedance) return;
  if (m_impedance->m_hWnd) m_impedance->DestroyWindow();
  m_impedance.reset();
  if (m_impedance_pane && m_impedance_pane->m_hWnd) m_impedance_pane->DestroyWindow();
  m_impedance_pane.reset();
  show_lower_pane();
}

// The tree's filter, while the tree is there and shown, then the
// impedance view's while it is open.
BOOL CFrameViews::filter_message(MSG* msg) {
  if (m_tree.m_hWnd && m_tree.IsWindowVisible() && m_tree.PreTranslateMessage(msg)) return TRUE;
  if (m_impedance && m_impedance->m_hWnd && m_impedance->PreTranslateMessage(msg)) return TRUE;
  return FALSE;
}

void CFrameViews::store_column_layouts(Orvo::protocol& protocol) {
  m_secondary.store_column_attributes();
  protocol.m_amp_columns.assign(m_secondary.column_attributes());
  m_primary.store_column_attributes();
  protocol.m_channel_columns.assign(m_primary.column_attributes());
}

void CFrameViews::apply_column_layouts(const Orvo::protocol& protocol) {
  m_secondary.column_attributes().assign(protocol.m_amp_columns);
  m_primary.column_attributes().assign(protocol.m_channel_columns);
  if (m_secondary.m_hWnd) m_secondary.apply_column_attributes();
  if (m_primary.m_hWnd) m_primary.apply_column_attributes();
}
