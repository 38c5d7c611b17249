// The frame window under wine64: what one resource id gives it, where its
// bars and client go, the prompts of its commands, settings reaching every
// window inside it, and the chevron of a band too narrow for its toolbar.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "test_frame.h"
#include "win_test_support.h"

using orvo::testing::pump_messages;
using testing::ElementsAre;

namespace {

RECT window_rect_in(HWND window, HWND parent) {
  RECT r;
  ::GetWindowRect(window, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring status_text(HWND status) {
  wchar_t text[256] = L"";
  ::SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));  // the simple pane reads as pane 0
  return text;
}

TEST(FrameWindow, TakesTitleMenuAndAcceleratorsFromOneResourceId) {
  test_frame frame;
  frame.open();
  EXPECT_EQ(frame.GetWindowText(), L"Orvo test frame");
  ASSERT_NE(frame.m_hMenu, nullptr);
  EXPECT_EQ(::GetMenuItemCount(frame.m_hMenu), 3);
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  MSG ctrlN{frame, WM_KEYDOWN, 'N', 0, 0, {0, 0}};
  EXPECT_TRUE(frame.TranslateAccelerator(&ctrlN));
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  EXPECT_THAT(frame.commands, ElementsAre(ID_FILE_NEW));
}

TEST(FrameWindow, PutsTheRebarOnTopTheStatusBarBelowAndTheClientBetween) {
  test_frame frame;
  frame.open();
  HWND rebar = frame.m_hWndToolBar;
  REBARBANDINFOW band{};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_ID | RBBIM_CHILD | RBBIM_STYLE;
  ASSERT_TRUE(::SendMessageW(rebar, RB_GETBANDINFOW, 1, reinterpret_cast<LPARAM>(&band)));
  EXPECT_EQ(band.wID, 0xEB01u);
  EXPECT_EQ(band.hwndChild, frame.m_toolbar);
  EXPECT_TRUE(band.fStyle & RBBS_USECHEVRON);
  EXPECT_EQ(::GetDlgCtrlID(frame.m_hWndStatusBar), 0xE801);

  RECT area;
  frame.GetClientRect(&area);
  const RECT bar = window_rect_in(rebar, frame), status = window_rect_in(frame.m_hWndStatusBar, frame);
  RECT client = window_rect_in(frame.m_hWndClient, frame);
  EXPECT_EQ(bar.top, 0);
  EXPECT_EQ(client.top, bar.bottom);
  EXPECT_EQ(client.bottom, status.top);
  EXPECT_EQ(status.bottom, area.bottom);

  // A band that grows (the toolbar band moved to the first row shrinks the rebar) moves the client.
  ::SendMessageW(rebar, RB_SHOWBAND, 1, FALSE);
  pump_messages();
  client = window_rect_in(frame.m_hWndClient, frame);
  EXPECT_EQ(client.top, window_rect_in(rebar, frame).bottom);
  ::ShowWindow(frame.m_hWndStatusBar, SW_HIDE);
  frame.UpdateLayout();
  client = window_rect_in(frame.m_hWndClient, frame);
  EXPECT_EQ(client.bottom, area.bottom);
}

TEST(FrameWindow, ShowsTheSelectedCommandsStatusTextUntilTheMenuCloses) {
  test_frame frame;
  frame.open();
  frame.SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_FILE_NEW, MF_STRING), reinterpret_cast<LPARAM>(frame.m_hMenu));
  EXPECT_TRUE(::SendMessageW(frame.m_hWndStatusBar, SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(status_text(frame.m_hWndStatusBar), L"Starts a new protocol");
  frame.SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_EDIT_COPY, MF_STRING), reinterpret_cast<LPARAM>(frame.m_hMenu));
  EXPECT_EQ(status_text(frame.m_hWndStatusBar), L"Copy");
  frame.SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_FALSE(::SendMessageW(frame.m_hWndStatusBar, SB_ISSIMPLE, 0, 0));
}

TEST(FrameWindow, ToolbarTipsShowTheCommandTextAfterItsLineBreak) {
  test_frame frame;
  frame.open();
  auto tip = [&frame](UINT command) {
    NMTTDISPINFOW info{};
    info.hdr = {frame.m_toolbar, command, TTN_GETDISPINFOW};
    frame.SendMessage(WM_NOTIFY, command, reinterpret_cast<LPARAM>(&info));
    return std::wstring(info.lpszText ? info.lpszText : L"");
  };
  EXPECT_EQ(tip(ID_FILE_NEW), L"New protocol");
  EXPECT_EQ(tip(ID_EDIT_COPY), L"Copy");
}

// Counts one message in a window deep inside the frame.
UINT g_settings_seen = 0;
WNDPROC g_static_proc = nullptr;
LRESULT CALLBACK counting_proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_SYSCOLORCHANGE) ++g_settings_seen;
  return ::CallWindowProcW(g_static_proc, hWnd, uMsg, wParam, lParam);
}

TEST(FrameWindow, PassesSettingsChangesToEveryWindowInside) {
  test_frame frame;
  frame.open();
  HWND inner =
      ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, frame.m_hWndClient, nullptr, nullptr, nullptr);
  g_static_proc =
      reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(inner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&counting_proc)));
  g_settings_seen = 0;
  frame.SendMessage(WM_SYSCOLORCHANGE);
  EXPECT_EQ(g_settings_seen, 1u);
}

TEST(FrameWindow, ChevronListsExactlyTheHiddenButtonsAndAPickSendsItsCommand) {
  test_frame frame;
  frame.open(80, 300);
  HWND rebar = frame.m_hWndToolBar;
  // The toolbar band gets a row of its own, narrower than its buttons.
  REBARBANDINFOW band{};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_SIZE;
  band.cx = 60;
  ::SendMessageW(rebar, RB_SETBANDINFOW, 1, reinterpret_cast<LPARAM>(&band));
  pump_messages();
  RECT visible;
  ::GetClientRect(frame.m_toolbar, &visible);
  std::vector<std::wstring> listed;
  frame.on_idle = [&](HWND popup) {
    if (!listed.empty() || !popup) return;
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
    for (int i = 0; menu && i < ::GetMenuItemCount(menu); ++i) {
      wchar_t text[64] = L"";
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_DATA | MIIM_FTYPE;
      ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
      auto* record = reinterpret_cast<const WTL::command_bar_item*>(info.dwItemData);
      listed.push_back(record ? record->text : text);
    }
    ::PostMessageW(frame, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(frame, WM_KEYDOWN, VK_RETURN, 0);
  };
  ::SendMessageW(rebar, RB_PUSHCHEVRON, 1, 0);
  pump_messages();
  std::vector<std::wstring> expected;
  const wchar_t* names[] = {L"New protocol", L"Open", L"", L"Copy", L"Paste"};
  const WORD ids[] = {ID_FILE_NEW, ID_FILE_OPEN, 0, ID_EDIT_COPY, ID_EDIT_PASTE};
  WORD first = 0;
  for (int i = 0; i < 5; ++i) {
    RECT r;
    ::SendMessageW(frame.m_toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    if (r.right <= visible.right || (!ids[i] && expected.empty())) continue;
    expected.push_back(names[i]);
    if (!first) first = ids[i];
  }
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(listed, expected);
  EXPECT_THAT(frame.commands, ElementsAre(first));
}

}  // namespace
