// The frame the frame-window and command-bar tests share: a command bar
// band, a toolbar band, a status bar and a client window, built from the
// test resources. Menus it opens report to `on_idle` whenever their loop
// is idle, so a test acts inside an open menu and then ends it.
#pragma once

#include <functional>
#include <vector>

#include "command_bar_resources.h"
#include "win/toolbar_resource.h"
#include "zel/command_bar_xp.h"
#include "zel/frame_window.h"

class test_frame : public zel::frame_window_impl<test_frame> {
 public:
  enum { IDR = IDR_TEST_FRAME };
  zel::CCommandBarXPCtrl m_bar;
  HWND m_toolbar = nullptr;
  std::function<void(HWND popup)> on_idle;
  std::vector<WORD> commands;
  std::vector<ULONG_PTR> owner_measured;  // data of owner-drawn items the frame measured itself
  std::vector<UINT> seen;                 // messages a test asked to watch
  UINT watch_from = 0, watch_to = 0;

  BEGIN_MSG_MAP(test_frame)
  if (uMsg >= watch_from && uMsg <= watch_to) seen.push_back(uMsg);
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_ENTERIDLE, OnEnterIdle)
  MESSAGE_HANDLER(WM_COMMAND, OnCommand)
  MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
  CHAIN_MSG_MAP(zel::frame_window_impl<test_frame>)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    CreateSimpleReBar();
    m_bar.Create(m_hWndToolBar, WTL::CWindow::rcDefault);
    m_bar.AttachMenu(m_hMenu);
    m_bar.LoadImages(IDR);
    AddSimpleReBarBand(m_bar);
    m_toolbar = WTL::create_toolbar_from_resource(
        m_hWndToolBar, IDR,
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
        0xE800);
    AddSimpleReBarBand(m_toolbar, nullptr, true);
    m_bar.m_arrToolbars.push_back(m_toolbar);
    m_bar.SetupAfterCreate();
    CreateSimpleStatusBar();
    m_hWndClient =
        ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, m_hWnd, nullptr, nullptr, nullptr);
    return 0;
  }
  LRESULT OnEnterIdle(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (wParam == MSGF_MENU && on_idle) on_idle(reinterpret_cast<HWND>(lParam));
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    commands.push_back(LOWORD(wParam));
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    owner_measured.push_back(item->itemData);
    item->itemWidth = 40;
    item->itemHeight = 20;
    return TRUE;
  }
  BOOL TrackChevronMenu(HMENU menu, UINT flags, int x, int y, const RECT& exclude) {
    TPMPARAMS params{sizeof params, exclude};
    return m_bar.TrackPopupMenu(menu, flags, x, y, &params);
  }

  void open(int width = 600, int height = 400) {
    // The pointer, wherever an earlier test left it, goes off the frame: a
    // frame shown under it gets mouse moves that make a bar button hot.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    CreateEx(nullptr, RECT{0, 0, width, height});
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    UpdateWindow();
  }
  ~test_frame() override {
    if (IsWindow()) DestroyWindow();
  }
};
