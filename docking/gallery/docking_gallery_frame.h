// The docking frame's gallery: a frame with a tabbed view area in its
// centre and plain windows as docked boxes. The gallery program shows it
// on the test display; the frame's window tests drive the same classes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "docking_frame.h"
#include "focus_handler.h"
#include "tabbed_frame.h"

namespace dockwins::gallery {

// A box: a plain window that paints its name, reports a chosen minimum
// size, and records the dock state notices and frame repaints it gets.
// Panes run the focus handler's map first, as the client's panes do.
class CGalleryBox : public WTL::CWindowImpl<CGalleryBox, WTL::CWindow, WTL::CNullTraits> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.Gallery.DockingBox", CS_DBLCLKS, COLOR_WINDOW + 1}; }

  POINT minimum{0, 0};
  std::vector<std::pair<WPARAM, LPARAM>> notices;  // WM_USER from the hosts
  int frame_paints = 0;                            // WM_NCPAINT

  // A hidden floating box (a popup) with an edit field in it.
  HWND Create(LPCWSTR name) {
    const HWND box = WTL::CWindowImpl<CGalleryBox, WTL::CWindow, WTL::CNullTraits>::Create(
        nullptr, RECT{0, 0, 120, 90}, name, WS_POPUP | WS_CLIPCHILDREN | WS_BORDER);
    if (box) {
      m_edit.Create(L"EDIT", box, RECT{4, 24, 80, 44}, name, WS_CHILD | WS_VISIBLE | WS_BORDER);
    }
    return box;
  }
  HWND Edit() const { return m_edit; }

  BEGIN_MSG_MAP(CGalleryBox)
  if (CDockingFocusHandler* focus = CDockingFocusHandler::Instance())
    if (focus->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
  MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
  MESSAGE_HANDLER(DockStateMessage, OnDockState)
  MESSAGE_HANDLER(WM_NCPAINT, OnNcPaint)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  END_MSG_MAP()

 private:
  LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&) {
    reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = minimum;
    return 0;
  }
  LRESULT OnDockState(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    notices.emplace_back(wParam, lParam);
    return 0;
  }
  LRESULT OnNcPaint(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    ++frame_paints;
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    WTL::CPaintDC dc(m_hWnd);
    RECT client;
    GetClientRect(&client);
    const std::wstring text = GetWindowText();
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(text.c_str(), static_cast<int>(text.size()), &client, DT_CENTER | DT_TOP | DT_SINGLELINE);
    return 0;
  }

  WTL::CWindow m_edit;
};

// The frame: a tabbed view area in the centre, docked boxes around it.
class CGalleryFrame : public CDockingFrameImplBase<CGalleryFrame> {
  using base = CDockingFrameImplBase<CGalleryFrame>;

 public:
  enum { IDR = 0 };
  static WTL::window_class class_traits() { return {L"Orvo.Gallery.DockingFrame", CS_DBLCLKS, COLOR_APPWORKSPACE + 1}; }

  BEGIN_MSG_MAP(CGalleryFrame)
  CHAIN_MSG_MAP(base)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  END_MSG_MAP()

  CTabbedChildWindow<>& Area() { return m_area; }

  // Sends a docking request to `target` and returns its answer.
  static bool Request(HWND target, DockRequest& request) {
    return ::SendMessageW(target, DockingRequestMessage, 0, reinterpret_cast<LPARAM>(&request)) != 0;
  }
  // Docks a box by side flags and row extent (request code 5 at the frame).
  bool Dock(HWND box, std::uint32_t flags, int row_extent, int row_index = 0, float ratio = 0.0f, int box_extent = 0) {
    DockRequest request{};
    request.window = HandleValue(box);
    request.code = dock_code::Dock;
    request.flags = flags;
    request.row_index = row_index;
    request.row_extent = row_extent;
    request.position_ratio = ratio;
    request.box_extent = box_extent;
    return Request(m_hWnd, request);
  }

 private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    m_area.SetTabStyles(tab_style::Tooltips | tab_style::Bottom);
    m_area.Create(m_hWnd, RECT{0, 0, 10, 10});
    const wchar_t* names[] = {L"&Orvo System", L"&Event Log"};
    for (int i = 0; i < 2; ++i) {
      m_views[i].Create(L"LISTBOX", m_area, RECT{0, 0, 10, 10}, nullptr, WS_CHILD | LBS_NOINTEGRALHEIGHT);
      for (int line = 1; line <= 4; ++line)
        m_views[i].SendMessage(
            LB_ADDSTRING, 0,
            reinterpret_cast<LPARAM>((std::wstring(names[i] + 1) + L" line " + std::to_wstring(line)).c_str()));
      m_area.AddTab(m_views[i], names[i]);
    }
    m_hWndClient = m_area;
    return 0;
  }

  CTabbedChildWindow<> m_area;
  WTL::CWindow m_views[2];
};

}  // namespace dockwins::gallery
