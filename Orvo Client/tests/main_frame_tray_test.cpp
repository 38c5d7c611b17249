// The tray icon and its record, the process-unique message, and the main
// frame driven by messages: minimising to the tray and back, the blink,
// the shell's restart, the tray menu, the hot key and the close dialog.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "main_frame_test_support.h"
#include "orvo_module.h"
#include "testing/com_test.h"
#include "tray_icon.h"

using namespace frame_testing;
using testing::ElementsAre;

namespace {

HWND scratch() {
  return ::CreateWindowExW(0, L"STATIC", L"Scratch title", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                           nullptr);
}

std::vector<DWORD> messages_of(const std::vector<tray_call>& calls) {
  std::vector<DWORD> result;
  for (const tray_call& c : calls) result.push_back(c.message);
  return result;
}

// A frame shown and idle, with the shell's tray function recorded.
struct shown_frame {
  explicit shown_frame(BOOL shell_answer = TRUE) : tray(shell_answer) {
    pump_until([&] { return f.frame.IsWindowVisible() != FALSE; });
    ::SetForegroundWindow(f.frame);
  }
  CMainFrame& frame() { return f.frame; }
  void minimise() { frame().SendMessage(WM_SYSCOMMAND, SC_MINIMIZE); }
  tray_recorder tray;
  frame_fixture f;
};

// Reads the open popup menu from a thread timer inside its loop, then ends it.
struct tray_menu_seen {
  static inline std::vector<UINT> items;
  static inline UINT default_item = 0;
  static void CALLBACK look(HWND, UINT, UINT_PTR, DWORD) {
    HWND popup = ::FindWindowW(L"#32768", nullptr);
    if (!popup) return;
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) items.push_back(::GetMenuItemID(menu, i));
    default_item = ::GetMenuDefaultItem(menu, FALSE, 0);
    ::EndMenu();
  }
};

class MainFrameTray : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { unregister_stand_in(); }
};

}  // namespace

TEST(TrayIcon, AddsOnceAndRemovesOnlyWhatItAdded) {
  tray_recorder shell;
  HWND window = scratch();
  CTrayIcon icon(unique_messge_id());
  icon.remove();
  EXPECT_TRUE(shell.calls.empty());
  icon.add(window);
  icon.add(window);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(shell.calls[0].flags, 7u);
  EXPECT_EQ(shell.calls[0].tip, L"Scratch title");
  EXPECT_NE(shell.calls[0].icon, nullptr);  // the program's icon 128
  icon.modify(nullptr);
  EXPECT_EQ(shell.calls.back().flags, static_cast<UINT>(NIF_ICON));
  icon.remove();
  icon.remove();
  EXPECT_THAT(messages_of(shell.calls),
              ElementsAre(static_cast<DWORD>(NIM_ADD), static_cast<DWORD>(NIM_MODIFY), static_cast<DWORD>(NIM_DELETE)));
  ::DestroyWindow(window);
  icon.add(window);  // the window is gone
  EXPECT_EQ(shell.calls.size(), 3u);
}

TEST(TrayIcon, CutsTheTipTo127Characters) {
  tray_recorder shell;
  HWND window = scratch();
  const std::wstring long_title(200, L'x');
  ::SetWindowTextW(window, long_title.c_str());
  CTrayIcon from_title(1), given(2);
  from_title.add(window);
  given.add(window, nullptr, (L"Tip " + long_title).c_str());
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.calls[0].tip, std::wstring(127, L'x'));
  EXPECT_EQ(shell.calls[1].tip, (L"Tip " + long_title).substr(0, 127));
  ::DestroyWindow(window);
}

TEST(TrayIcon, TheShellsRefusalLeavesItAbsentAfterAddingAndPresentAfterRemoving) {
  tray_recorder shell(FALSE);
  HWND window = scratch();
  CTrayIcon icon(1);
  icon.add(window);
  EXPECT_FALSE(icon.added());
  shell.result = TRUE;
  icon.add(window);
  shell.result = FALSE;
  icon.remove();
  EXPECT_TRUE(icon.added());
  ::DestroyWindow(window);
}

TEST(TrayIcon, HandsTheShellTheRecordWithoutGuidAndBalloonIcon) {
  CTrayIcon icon(0xC123);
  EXPECT_EQ(icon.data().cbSize, 952u);  // 936 on the 32-bit target, checked when it compiles
  EXPECT_EQ(icon.data().uID, 1u);
  EXPECT_EQ(icon.data().uCallbackMessage, 0xC123u);
}

TEST(UniqueMessage, DiffersBetweenCallsAndBetweenProcesses) {
  const UINT first = unique_messge_id(), second = unique_messge_id();
  EXPECT_NE(first, second);
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const int other = orvo::testing::run_program(L"\"" + std::wstring(self) + L"\" --unique-message");
  EXPECT_GE(other, 0xC000);
  EXPECT_NE(static_cast<UINT>(other), first);
  EXPECT_NE(static_cast<UINT>(other), second);
}

TEST(ViewSubmenu, IsTheThirdPopupOfTheMainMenu) {
  HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  HMENU view = get_view_submenu(menu);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(::GetMenuItemID(view, 0), static_cast<UINT>(ID_VIEW_IMPEDANCE));
  EXPECT_EQ(get_view_submenu(nullptr), nullptr);
  ::DestroyMenu(menu);
}

TEST_F(MainFrameTray, MinimisingParksInTheTrayAndADoubleClickRestores) {
  shown_frame s;
  s.minimise();
  ASSERT_EQ(s.tray.calls.size(), 1u);
  EXPECT_EQ(s.tray.calls[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(s.tray.calls[0].tip, s.frame().GetWindowText());
  EXPECT_EQ(s.frame().shown_tray_icon(), static_cast<UINT>(IDR_MAINFRAME));
  EXPECT_FALSE(s.frame().IsWindowVisible());
  s.frame().SendMessage(s.frame().tray_message(), 1, WM_LBUTTONDBLCLK);
  EXPECT_THAT(messages_of(s.tray.calls), ElementsAre(static_cast<DWORD>(NIM_ADD), static_cast<DWORD>(NIM_DELETE)));
  EXPECT_TRUE(s.frame().IsWindowVisible());
  EXPECT_FALSE(s.frame().IsIconic());
  // Without an icon the tray message means nothing.
  s.frame().SendMessage(s.frame().tray_message(), 1, WM_LBUTTONDBLCLK);
  EXPECT_EQ(s.tray.calls.size(), 2u);
}

TEST_F(MainFrameTray, AFailedAddLeavesTheMinimisedWindowShown) {
  shown_frame s(FALSE);
  s.minimise();
  EXPECT_TRUE(s.frame().IsIconic());
  EXPECT_TRUE(s.frame().IsWindowVisible());
  EXPECT_FALSE(s.frame().tray().added());
}

TEST_F(MainFrameTray, TheBlinkSwapsTheIconsAndItsStopPutsTheNormalOneBack) {
  shown_frame s;
  s.minimise();
  s.frame().StartBlink();
  s.frame().SendMessage(WM_TIMER, CMainFrame::blink_timer);
  EXPECT_EQ(s.frame().shown_tray_icon(), static_cast<UINT>(IDI_TRAY_BLINK));
  const HICON blink = s.tray.calls.back().icon;
  s.frame().SendMessage(WM_TIMER, CMainFrame::blink_timer);
  EXPECT_EQ(s.frame().shown_tray_icon(), static_cast<UINT>(IDR_MAINFRAME));
  const HICON normal = s.tray.calls.back().icon;
  EXPECT_NE(blink, normal);
  EXPECT_EQ(normal, s.tray.calls[0].icon);
  s.frame().SendMessage(WM_TIMER, CMainFrame::blink_timer);
  s.frame().StopBlink();
  EXPECT_EQ(s.tray.calls.back().message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(s.tray.calls.back().icon, normal);
  EXPECT_EQ(s.frame().shown_tray_icon(), static_cast<UINT>(IDR_MAINFRAME));
}

TEST_F(MainFrameTray, TheShellsRestartReAddsAPresentIconOnly) {
  shown_frame s;
  const UINT restarted = ::RegisterWindowMessageW(L"TaskbarCreated");
  s.frame().SendMessage(restarted);
  EXPECT_TRUE(s.tray.calls.empty());
  s.minimise();
  s.frame().SendMessage(restarted);
  EXPECT_THAT(messages_of(s.tray.calls), ElementsAre(static_cast<DWORD>(NIM_ADD), static_cast<DWORD>(NIM_ADD)));
  EXPECT_EQ(s.tray.calls[1].flags, 7u);
}

TEST_F(MainFrameTray, TheRightButtonOpensTheTrayMenuWithRestoreAsDefault) {
  shown_frame s;
  s.minimise();
  tray_menu_seen::items.clear();
  tray_menu_seen::default_item = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, tray_menu_seen::look);
  s.frame().SendMessage(s.frame().tray_message(), 1, WM_RBUTTONDOWN);
  ::KillTimer(nullptr, timer);
  EXPECT_THAT(tray_menu_seen::items, ElementsAre(static_cast<UINT>(ID_TRAY_RESTORE), static_cast<UINT>(ID_TRAY_EXIT),
                                                 static_cast<UINT>(ID_APP_ABOUT)));
  EXPECT_EQ(tray_menu_seen::default_item, static_cast<UINT>(ID_TRAY_RESTORE));
  EXPECT_TRUE(s.frame().IsWindow());
}

TEST_F(MainFrameTray, TheHotKeyRestoresParksOrBringsToTheFront) {
  shown_frame s;
  s.minimise();
  s.frame().SendMessage(WM_HOTKEY, CMainFrame::hot_key_id);
  EXPECT_TRUE(s.frame().IsWindowVisible());
  EXPECT_FALSE(s.frame().IsIconic());
  EXPECT_EQ(::GetForegroundWindow(), static_cast<HWND>(s.frame()));
  EXPECT_FALSE(s.frame().tray().added());

  s.frame().SendMessage(WM_HOTKEY, CMainFrame::hot_key_id);  // in front: to the tray
  EXPECT_TRUE(s.frame().IsIconic());
  EXPECT_TRUE(s.frame().tray().added());
  s.frame().RestoreFromTray();

  HWND other = ::CreateWindowExW(0, L"STATIC", L"Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
  ::SetForegroundWindow(other);
  ASSERT_EQ(::GetForegroundWindow(), other);
  s.frame().SendMessage(WM_HOTKEY, CMainFrame::hot_key_id);  // behind: to the front
  EXPECT_EQ(::GetForegroundWindow(), static_cast<HWND>(s.frame()));
  EXPECT_FALSE(s.frame().IsIconic());
  ::DestroyWindow(other);
}

TEST_F(MainFrameTray, TheTrayIconGoesWithTheWindow) {
  shown_frame s;
  s.minimise();
  s.frame().SendMessage(WM_COMMAND, ID_TRAY_EXIT);
  EXPECT_FALSE(s.frame().IsWindow());
  EXPECT_EQ(s.tray.calls.back().message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(MainFrameTray, TheCloseDialogOffersMinimizeExitNowAndCancel) {
  shown_frame s;
  std::vector<std::wstring> texts;
  int checked = -1;
  dialog_watch watch([&](HWND dialog) {
    texts = {item_text(dialog, IDC_CLOSE_TEXT), item_text(dialog, IDOK), item_text(dialog, IDYES),
             item_text(dialog, IDCANCEL), item_text(dialog, IDC_SHOW_NEXT_TIME)};
    checked = static_cast<int>(::IsDlgButtonChecked(dialog, IDC_SHOW_NEXT_TIME));
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  s.frame().SendMessage(WM_CLOSE);
  EXPECT_EQ(watch.seen(), 1);
  EXPECT_THAT(texts, ElementsAre(L"Choose \"Exit Now\" to completely shut down the Orvo Client\n"
                                 L"Choose \"Minimize\" to keep running but minimized in the system tray.",
                                 L"Mi&nimize", L"E&xit Now", L"&Cancel", L"Show this message next time"));
  EXPECT_EQ(checked, BST_CHECKED);
  // Cancel: nothing changes.
  EXPECT_TRUE(s.frame().IsWindowVisible());
  EXPECT_TRUE(s.frame().m_session.m_show_shutdown_msg);
  EXPECT_TRUE(s.tray.calls.empty());
}

TEST_F(MainFrameTray, MinimizeParksAndAClearedBoxSkipsTheDialogNextTime) {
  shown_frame s;
  dialog_watch watch([&](HWND dialog) {
    ::CheckDlgButton(dialog, IDC_SHOW_NEXT_TIME, BST_UNCHECKED);
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  s.frame().SendMessage(WM_CLOSE);
  EXPECT_TRUE(s.frame().IsIconic());
  EXPECT_TRUE(s.frame().tray().added());
  EXPECT_FALSE(s.frame().m_session.m_show_shutdown_msg);
  s.frame().RestoreFromTray();
  int exits = 0;
  s.frame().m_exit_now = [&](CMainFrame&) {
    ++exits;
    return true;
  };
  s.frame().SendMessage(WM_CLOSE);  // no question: Exit Now
  EXPECT_EQ(watch.seen(), 1);
  EXPECT_EQ(exits, 1);
  EXPECT_FALSE(s.frame().IsWindow());
}

TEST_F(MainFrameTray, ExitNowStaysWhenItsStepsAreCancelled) {
  shown_frame s;
  s.frame().m_session.m_show_shutdown_msg = false;
  s.frame().m_exit_now = [](CMainFrame&) { return false; };
  s.frame().SendMessage(WM_CLOSE);
  EXPECT_TRUE(s.frame().IsWindow());
  s.frame().m_exit_now = [](CMainFrame&) { return true; };
  s.frame().SendMessage(WM_COMMAND, ID_APP_EXIT);  // File Exit posts the close
  pump_until([&] { return !s.frame().IsWindow(); });
  EXPECT_FALSE(s.frame().IsWindow());
}
