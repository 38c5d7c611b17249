#include "main_frame_views.h"

#include "main_frame.h"

HWND CFrameViews::create(HWND frame) {
  if (!Create(frame, rcDefault, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS)) return nullptr;
  if (!m_tree.Create(m_hWnd, rcDefault, tree_id)) {
    DestroyWindow();
    return nullptr;
  }
  layout();
  return m_hWnd;
}

// Until the docked panes come, the tree takes a quarter of the width, as
// the overview splitter does by default.
void CFrameViews::layout() {
  if (!m_tree.m_hWnd) return;
  RECT area{};
  GetClientRect(&area);
  ::MoveWindow(m_tree, 0, 0, (area.right - area.left) / 4, area.bottom - area.top, TRUE);
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
  m_detail_views.suspend_redraw();
}

void CFrameViews::resume_redraw() {
  m_tree.ReleaseRedraw();
  m_detail_views.resume_redraw();
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
  if (m_tree.m_hWnd) m_tree.ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

// The tree's filter, while the tree is there and shown.
BOOL CFrameViews::filter_message(MSG* msg) {
  if (m_tree.m_hWnd && m_tree.IsWindowVisible() && m_tree.PreTranslateMessage(msg)) return TRUE;
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
