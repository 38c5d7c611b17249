// The main frame's protocol pane and the layout it records in the session.
#include "main_frame.h"

#include "zel/errors.h"

// The protocol manager as a hidden child of the frame.
void CMainFrame::create_protocol_pane() {
  RECT area{0, 0, 200, 300};
  if (!m_protocol_window.create(m_hWnd, area)) zel::throw_win32_error(::GetLastError());
  m_protocol_window.ShowWindow(SW_HIDE);
}

// The window placement.
void CMainFrame::record_layout() {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!::GetWindowPlacement(m_hWnd, &placement)) zel::throw_win32_error(::GetLastError());
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
