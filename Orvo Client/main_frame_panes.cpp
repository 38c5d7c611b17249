// The main frame's window tree: the docked protocol manager pane, the
// tabbed area with its splitters, containers and views; the layout kept
// in the session (placement, splitters, the pane's place) and the pane
// commands (Overview, Secondary View, close buttons, Protocol Manager,
// next and previous pane, the View menu at a click).
#include <windows.h>

#include <cstring>
#include <iterator>

#include "core/dock_request.h"
#include "main_frame.h"
#include "zel/errors.h"

namespace {

using dockwins::tagDFDOCKPOSEX;

// The pane's first rectangle, before it is docked.
constexpr RECT protocol_pane_rect{200, 200, 400, 300};
constexpr DWORD protocol_pane_style = WS_POPUP | WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// The session keeps the pane's docking record as fifteen 32-bit words.
tagDFDOCKPOSEX position_of(const Orvo::docking_position_words& stored) {
  dockwins::DockPositionBytes bytes{};
  for (std::size_t i = 0; i < stored.words.size(); ++i)
    for (std::size_t b = 0; b < 4; ++b) bytes[i * 4 + b] = static_cast<std::uint8_t>(stored.words[i] >> (8 * b));
  tagDFDOCKPOSEX position{};
  dockwins::ReadDockPosition(bytes.data(), bytes.size(), position);
  return position;
}

Orvo::docking_position_words words_of(const tagDFDOCKPOSEX& position) {
  const dockwins::DockPositionBytes bytes = dockwins::WriteDockPosition(position);
  Orvo::docking_position_words stored;
  for (std::size_t i = 0; i < stored.words.size(); ++i)
    for (std::size_t b = 0; b < 4; ++b) stored.words[i] |= std::uint32_t{bytes[i * 4 + b]} << (8 * b);
  return stored;
}

bool on_a_monitor(const RECT& r) { return ::MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr; }

// A record that would float the pane where no monitor shows it.
bool floats_off_screen(const tagDFDOCKPOSEX& position) {
  if (!position.docked && !on_a_monitor(dockwins::ToRECT(position.window_rect))) return true;
  return (position.request.flags & dockwins::dock_flags::Float) &&
         !on_a_monitor(dockwins::ToRECT(position.request.FloatingRect()));
}

bool usable(HWND window) { return window && ::IsWindowVisible(window) && ::IsWindowEnabled(window); }

bool holds(HWND window, HWND focus) { return window && focus && (window == focus || ::IsChild(window, focus)); }

}  // namespace

void CMainFrame::create_protocol_pane() {
  m_protocol_pane.m_redirect_menu_char = true;
  // Open and Preview go from the manager to the pane, and from there on
  // to the frame, docked or floating.
  m_protocol_pane.m_forward_to_parent = true;
  if (!m_protocol_pane.Create(m_hWnd, protocol_pane_rect, L"Protocol Manager", protocol_pane_style, WS_EX_TOOLWINDOW))
    zel::throw_win32_error(::GetLastError());
  RECT client{};
  m_protocol_pane.GetClientRect(&client);
  if (!m_protocol_window.create(m_protocol_pane, client)) zel::throw_win32_error(::GetLastError());
  m_protocol_pane.SetClient(m_protocol_window);
}

// The tree in its order: the protocol pane, the tabbed area, the event log,
// the splitters, containers and views. The detail views' notifications are
// reflected back to them.
void CMainFrame::create_panes() {
  guarded(*this, [&] { create_protocol_pane(); });
  m_hWndClient = m_frame_views.create_area(m_hWnd);
  if (!m_hWndClient) zel::throw_win32_error(::GetLastError());
  create_log_window(m_frame_views.tabs());
  m_frame_views.create_panes(m_log_window);
  if (m_views == &m_no_views) m_views = &m_frame_views;
  AddReflectedWindow(m_frame_views.primary());
  AddReflectedWindow(m_frame_views.secondary());
  UpdateLayout();
  if (m_protocol_pane.IsWindow()) guarded(*this, [&] { place_protocol_pane(); });
}

// A loaded session's record places the pane (with this run's handles);
// without one, or when it would float off every monitor, the pane docks
// in a column of its own at the right, hidden afterwards when the record
// says so.
void CMainFrame::place_protocol_pane() {
  bool hidden = false;
  if (m_session.m_loaded) {
    tagDFDOCKPOSEX position = position_of(m_session.m_protocol_window_pos);
    position.request.window = dockwins::HandleValue(m_protocol_pane);
    position.request.host = dockwins::HandleValue(m_hWnd);
    if (!floats_off_screen(position)) {
      m_protocol_pane.SetDockingPosition(position);
      return;
    }
    hidden = position.visible == 0;
  }
  dockwins::DockRequest request{};
  request.window = dockwins::HandleValue(m_protocol_pane);
  request.host = dockwins::HandleValue(m_hWnd);
  request.code = dockwins::dock_code::Dock;
  request.flags = dockwins::dock_flags::Inner | dockwins::dock_flags::OwnRow;
  request.position_ratio = 1.0f;
  request.row_extent = 100;
  request.box_extent = 100;
  SendMessage(dockwins::DockingRequestMessage, 0, reinterpret_cast<LPARAM>(&request));
  if (hidden) m_protocol_pane.Hide();
}

// Shows the window where the session left it (a placement it cannot take
// shows normally) and lays the panes out before the splitters take their
// positions, so that each is kept inside its window.
void CMainFrame::apply_layout() {
  if (!m_session.m_loaded) {
    ShowWindow(SW_SHOWNORMAL);
    UpdateLayout();
    RECT client{};
    GetClientRect(&client);
    const Orvo::splitter_positions split =
        Orvo::default_splitter_positions(client.right - client.left, client.bottom - client.top);
    m_frame_views.overview_splitter().SetSplitterPos(split.overview);
    m_frame_views.detail_splitter().SetSplitterPos(split.detail);
    return;
  }
  const Orvo::window_placement_record& r = m_session.m_mainframe_pos;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  placement.flags = r.flags;
  placement.showCmd = r.show_command;
  placement.ptMinPosition = {r.min_x, r.min_y};
  placement.ptMaxPosition = {r.max_x, r.max_y};
  placement.rcNormalPosition = {r.left, r.top, r.right, r.bottom};
  if (!Orvo::placement_restorable(r) || !on_a_monitor(placement.rcNormalPosition) ||
      !::SetWindowPlacement(m_hWnd, &placement))
    ShowWindow(SW_SHOWNORMAL);
  // The overview bar first: until it is placed the detail splitter, its
  // right pane, has no size to keep its bar inside.
  UpdateLayout();
  m_frame_views.overview_splitter().SetSplitterPos(m_session.m_wndSplitPos);
  m_frame_views.detail_splitter().SetSplitterPos(m_session.m_wndSplitHorPos);
  if (m_protocol_window.IsWindow()) {
    m_protocol_window.UpdateLayout();
    m_protocol_window.set_splitter_position(m_session.m_protocol_manager_splitter_pos);
  }
}

void CMainFrame::record_layout() {
  if (m_protocol_pane.IsWindow()) {
    tagDFDOCKPOSEX position{};
    if (m_protocol_pane.GetDockingPosition(position)) m_session.m_protocol_window_pos = words_of(position);
  }
  if (m_protocol_window.IsWindow()) m_session.m_protocol_manager_splitter_pos = m_protocol_window.splitter_position();
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (::GetWindowPlacement(m_hWnd, &placement)) {
    Orvo::window_placement_record& r = m_session.m_mainframe_pos;
    r.length = placement.length;
    r.flags = placement.flags;
    r.show_command = placement.showCmd;
    r.min_x = placement.ptMinPosition.x;
    r.min_y = placement.ptMinPosition.y;
    r.max_x = placement.ptMaxPosition.x;
    r.max_y = placement.ptMaxPosition.y;
    r.left = placement.rcNormalPosition.left;
    r.top = placement.rcNormalPosition.top;
    r.right = placement.rcNormalPosition.right;
    r.bottom = placement.rcNormalPosition.bottom;
  }
  m_session.m_wndSplitHorPos = m_frame_views.detail_splitter().GetSplitterPos();
  m_session.m_wndSplitPos = m_frame_views.overview_splitter().GetSplitterPos();
}

bool CMainFrame::protocol_pane_visible() const noexcept {
  return m_protocol_pane.m_hWnd && (::GetWindowLongPtrW(m_protocol_pane, GWL_STYLE) & WS_VISIBLE) != 0;
}

// Before a pane that holds the focus is hidden, the focus moves on.
void CMainFrame::show_overview(bool show) {
  m_session.m_show_overview = show;
  if (!show && holds(m_frame_views.overview_pane(), ::GetFocus())) move_to_pane(true);
  m_views->show_overview(show);
}

void CMainFrame::show_secondary(bool show) {
  m_session.m_show_detailview = show;
  if (!show && holds(m_frame_views.secondary_pane(), ::GetFocus())) move_to_pane(true);
  m_views->show_secondary(show);
}

LRESULT CMainFrame::OnViewPane(WORD, WORD id, HWND sender, BOOL& bHandled) {
  if (id == CZELPaneContainer::close_command) {
    if (sender == m_frame_views.overview_pane().m_hWnd) {
      id = ID_VIEW_OVERVIEW;
    } else if (sender == m_frame_views.secondary_pane().m_hWnd) {
      id = ID_VIEW_SECONDARY;
    } else {
      bHandled = FALSE;
      return 0;
    }
  }
  if (!command_enabled(id)) return 0;
  guarded(*this, [&] {
    if (id == ID_VIEW_OVERVIEW)
      show_overview(!m_session.m_show_overview);
    else
      show_secondary(!m_session.m_show_detailview);
  });
  return 0;
}

LRESULT CMainFrame::OnViewProtocolManager(WORD, WORD, HWND, BOOL&) {
  if (!m_protocol_pane.IsWindow()) return 0;
  guarded(*this, [&] {
    if (protocol_pane_visible())
      m_protocol_pane.Hide();
    else
      m_protocol_pane.Show();
  });
  return 0;
}

LRESULT CMainFrame::OnNextPane(WORD, WORD id, HWND, BOOL&) {
  guarded(*this, [&] { move_to_pane(id == ID_NEXT_PANE); });
  return 0;
}

// Inside the protocol manager the focus first moves between its tree and
// its details; from the event log it does not move at all.
void CMainFrame::move_to_pane(bool forward) {
  const HWND focus = ::GetFocus();
  if (holds(m_log_window, focus)) return;
  if (holds(m_protocol_pane, focus) && m_protocol_window.move_focus(forward)) return;
  CImpedanceView* impedance = m_frame_views.impedance();
  const HWND cycle[] = {impedance ? impedance->m_hWnd : nullptr, m_frame_views.tree(), m_frame_views.primary(),
                        m_frame_views.secondary(), m_protocol_pane};
  constexpr int count = static_cast<int>(std::size(cycle));
  int at = count;
  for (int i = 0; i < count && at == count; ++i)
    if (holds(cycle[i], focus)) at = i;
  m_views->select_tab(0);
  if (at == count) {
    m_views->focus_primary();
    return;
  }
  for (int step = 1; step < count; ++step) {
    const int i = (at + (forward ? step : count - step)) % count;
    if (!usable(cycle[i])) continue;
    if (cycle[i] != m_protocol_pane.m_hWnd || !m_protocol_window.move_focus(forward)) ::SetFocus(cycle[i]);
    return;
  }
}

// The View menu at the click; a request from the keyboard (or from
// anywhere outside the system tab) puts it at the system tab's centre.
LRESULT CMainFrame::OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (m_CmdBar.m_hWnd && m_CmdBar.IsMenuOpen()) return 0;
  guarded(*this, [&] {
    HMENU menu = m_CmdBar.GetMenu();
    HMENU view = nullptr;
    for (int i = 0; menu && i < ::GetMenuItemCount(menu) && !view; ++i) {
      wchar_t text[32] = L"";
      ::GetMenuStringW(menu, static_cast<UINT>(i), text, 32, MF_BYPOSITION);
      if (std::wcscmp(text, L"&View") == 0) view = ::GetSubMenu(menu, i);
    }
    if (!view) return;
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT area{};
    ::GetWindowRect(m_frame_views.overview_splitter(), &area);
    if (!::PtInRect(&area, at)) at = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    m_CmdBar.TrackPopupMenu(view, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y);
  });
  return 0;
}
