#include "main_frame_views.h"

#include "main_frame.h"
#include "orvo_module.h"
#include "zel/errors.h"

// The detail views edit in place inside the thread's message loop (the
// frame is made after its loop).
CFrameViews::CFrameViews(CMainFrame& frame) noexcept
    : m_frame(frame), m_primary(frame, _Module.GetMessageLoop()), m_secondary(frame, _Module.GetMessageLoop()) {}

CFrameViews::~CFrameViews() {
  if (m_impedance && m_impedance->m_hWnd) m_impedance->DestroyWindow();
}

HWND CFrameViews::create(HWND frame) {
  if (!Create(frame, rcDefault, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS)) return nullptr;
  if (!m_tree.Create(m_hWnd, rcDefault, tree_id) || !m_primary.Create(m_hWnd, rcDefault, nullptr, 0, 0, primary_id) ||
      !m_secondary.Create(m_hWnd, rcDefault, nullptr, 0, 0, secondary_id)) {
    DestroyWindow();
    return nullptr;
  }
  layout();
  return m_hWnd;
}

HWND CFrameViews::lower_view() const noexcept {
  return m_impedance && m_impedance->m_hWnd ? m_impedance->m_hWnd : m_secondary.m_hWnd;
}

// Until the docked panes come, the tree takes a quarter of the width, as
// the overview splitter does by default, and the detail area is split in
// two rows: the primary view above the secondary (or impedance) view. The
// primary view takes the whole area while the lower one is hidden; the
// impedance view is shown whenever it is open.
void CFrameViews::layout() {
  if (!m_tree.m_hWnd) return;
  RECT area{};
  GetClientRect(&area);
  ::MoveWindow(m_tree, 0, 0, (area.right - area.left) / 4, area.bottom - area.top, TRUE);
  if (!m_primary.m_hWnd || !m_secondary.m_hWnd) return;
  const RECT detail = detail_area();
  const int width = detail.right - detail.left;
  const int height = detail.bottom - detail.top;
  const bool impedance = m_impedance && m_impedance->m_hWnd;
  const bool lower = m_show_secondary || impedance;
  const int upper_height = lower ? height / 2 : height;
  ::MoveWindow(m_primary, detail.left, detail.top, width, upper_height, TRUE);
  const HWND shown = lower_view();
  if (lower) ::MoveWindow(shown, detail.left, detail.top + upper_height, width, height - upper_height, TRUE);
  ::ShowWindow(shown, lower ? SW_SHOWNOACTIVATE : SW_HIDE);
  if (impedance) m_secondary.ShowWindow(SW_HIDE);
}

RECT CFrameViews::detail_area() const noexcept {
  RECT area{};
  ::GetClientRect(m_hWnd, &area);
  if (overview_visible()) {
    RECT tree{};
    ::GetWindowRect(m_tree, &tree);
    area.left += tree.right - tree.left;
  }
  return area;
}

LRESULT CFrameViews::OnSize(UINT, WPARAM, LPARAM, BOOL&) {
  layout();
  return 0;
}

void CFrameViews::suspend_redraw() {
  m_tree.SuspendRedraw();
  m_primary.SuspendRedraw();
  m_secondary.SuspendRedraw();
}

void CFrameViews::resume_redraw() {
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

bool CFrameViews::overview_visible() const {
  return m_tree.m_hWnd && (::GetWindowLongPtrW(m_tree, GWL_STYLE) & WS_VISIBLE) != 0;
}

void CFrameViews::show_overview(bool show) {
  if (!m_tree.m_hWnd) return;
  m_tree.ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE);
  layout();
}

void CFrameViews::show_secondary(bool show) {
  m_show_secondary = show;
  layout();
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

void CFrameViews::set_view_titles(const std::wstring& primary, const std::wstring& secondary) {
  m_primary_title = primary;
  m_secondary_title = secondary;
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

// The first check makes the view in the secondary view's place with the
// secondary view's font; a later one points the same window at the new
// amplifier and reads its electrodes again.
void CFrameViews::open_impedance(long id, const std::wstring& title) {
  m_impedance_title = title;
  if (m_impedance && m_impedance->m_hWnd) {
    m_impedance->set_amplifier_id(id);
    m_impedance->update();
    return;
  }
  auto view = std::make_unique<CImpedanceView>(m_frame, id);
  if (!view->Create(m_hWnd)) zel::throw_win32_error(::GetLastError());
  view->SetFont(m_secondary.GetFont());
  m_impedance = std::move(view);
  layout();
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
  m_impedance_title.clear();
  layout();
}

// The tree's filter, while the tree is there and shown, then the
// impedance view's while it is open.
BOOL CFrameViews::filter_message(MSG* msg) {
  if (m_tree.m_hWnd && m_tree.IsWindowVisible() && m_tree.PreTranslateMessage(msg)) return TRUE;
  if (m_impedance && m_impedance->m_hWnd && m_impedance->PreTranslateMessage(msg)) return TRUE;
  return FALSE;
}

// A selection that leaves no item (the tree emptied) has nothing to show.
LRESULT CFrameViews::OnTreeSelChanged(int, LPNMHDR header, BOOL&) {
  const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
  if (change->itemNew.hItem) m_frame.OnTreeSelection(m_tree.item_id(change->itemNew.hItem));
  return 0;
}

LRESULT CFrameViews::OnTreeBeginLabelEdit(int, LPNMHDR header, BOOL&) {
  const auto* edit = reinterpret_cast<const NMTVDISPINFOW*>(header);
  return m_frame.OnBeginLabelEdit(m_tree.item_id(edit->item.hItem)) ? TRUE : FALSE;
}

LRESULT CFrameViews::OnTreeEndLabelEdit(int, LPNMHDR header, BOOL&) {
  const auto* edit = reinterpret_cast<const NMTVDISPINFOW*>(header);
  const bool refused = m_frame.OnEndLabelEdit(m_tree.item_id(edit->item.hItem), edit->item.pszText);
  return refused ? FALSE : TRUE;
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
