// The main frame under wine64 on the test display: creation in order,
// showing itself once created, the status panes, and its end (the loop's
// zero, the module unlocked, the instance mutex closed), without a server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "main_frame_test_support.h"
#include "orvo_module.h"

using namespace frame_testing;
using testing::ElementsAre;

namespace {

const frame_log_record started{L"Orvo Client program started", 1, 0};
const frame_log_record no_server{L"Invalid class string", 3, static_cast<HRESULT>(0x800401F3)};

// No server is registered while these run.
class MainFrameCreation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { unregister_stand_in(); }
};

}  // namespace

TEST_F(MainFrameCreation, StaysHiddenUntilItsDeferredStartThenShowsNormally) {
  recording_views views;
  frame_fixture f(&views);
  ASSERT_TRUE(f.frame.IsWindow());
  EXPECT_FALSE(f.frame.IsWindowVisible());
  EXPECT_EQ(_Module.m_main_frame, &f.frame);
  EXPECT_TRUE(pump_until([&] { return f.frame.IsWindowVisible() != FALSE; }));
  EXPECT_FALSE(f.frame.IsIconic());
  EXPECT_FALSE(::IsZoomed(f.frame));
}

TEST_F(MainFrameCreation, LogsItsStartAndTheFailedConnectionAndShowsNotConnected) {
  recording_views views;
  frame_fixture f(&views);
  pump_until([&] { return f.frame.IsWindowVisible() != FALSE; });
  ASSERT_EQ(f.frame.log_records().size(), 2u);
  EXPECT_EQ(f.frame.log_records()[0], started);
  EXPECT_EQ(f.frame.log_records()[1].level, 3);
  EXPECT_EQ(f.frame.log_records()[1].code, no_server.code);
  EXPECT_EQ(f.frame.server(), nullptr);
  EXPECT_EQ(pane_text(f.frame, 0), L"Not connected");
  EXPECT_EQ(pane_text(f.frame, 2), L"Global Deblock : Off");
  EXPECT_EQ(pane_text(f.frame, 3), L"Modified *");
  EXPECT_EQ(f.frame.GetWindowText(), L"Untitled* - Orvo - [Hotkey: Ctrl+Alt+D]");
  // The views were asked in creation order: the session's panes, then the
  // primary view's focus and an empty tree, then the failed connection's
  // emptying.
  // (The protocol pane's creation may first move the focus.)
  const auto first = std::find(views.lines.begin(), views.lines.end(), L"show_secondary");
  const std::vector<std::wstring> creation(first, first + std::min<std::ptrdiff_t>(6, views.lines.end() - first));
  EXPECT_THAT(creation, ElementsAre(L"show_secondary", L"show_overview", L"focus_primary", L"empty_tree", L"empty_tree",
                                    L"empty_views"));
  EXPECT_EQ(views.suspended, 0);
}

TEST_F(MainFrameCreation, TakesTitleMenuAcceleratorsAndPanesFromItsResources) {
  frame_fixture f;
  ASSERT_NE(f.frame.m_hMenu, nullptr);
  EXPECT_EQ(::GetMenuItemCount(f.frame.m_hMenu), 5);
  EXPECT_NE(f.frame.m_hAccel, nullptr);
  EXPECT_EQ(::GetDlgCtrlID(f.frame.m_hWndStatusBar), 0xE801);
  EXPECT_EQ(::SendMessageW(f.frame.m_hWndStatusBar, SB_GETPARTS, 0, 0), 4);
  EXPECT_EQ(pane_icon(f.frame, 1), f.frame.pane_icon(IDI_IDLE));
  const DWORD style = static_cast<DWORD>(f.frame.GetStyle());
  EXPECT_EQ(style & (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS),
            static_cast<DWORD>(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS));
  EXPECT_TRUE(::GetWindowLongW(f.frame, GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

TEST_F(MainFrameCreation, AFailedStepIsLoggedAndTheWindowStillShows) {
  CMainFrame* seen = nullptr;
  frame_fixture f(nullptr, false);
  f.frame.m_load_data = [&](CMainFrame& frame) {
    seen = &frame;
    throw std::runtime_error("session unreadable");
  };
  f.create();
  EXPECT_EQ(seen, &f.frame);
  EXPECT_TRUE(pump_until([&] { return f.frame.IsWindowVisible() != FALSE; }));
  ASSERT_GE(f.frame.log_records().size(), 2u);
  EXPECT_EQ(f.frame.log_records()[1], (frame_log_record{L"session unreadable", 3, E_FAIL}));
}

TEST_F(MainFrameCreation, ALoadedSessionPlacesTheWindowWhereItWas) {
  frame_fixture f(nullptr, false);
  f.frame.m_load_data = [](CMainFrame& frame) {
    frame.m_session.m_loaded = true;
    frame.m_session.m_mainframe_pos.length = 44;
    frame.m_session.m_mainframe_pos.show_command = SW_SHOWNORMAL;
    frame.m_session.m_mainframe_pos.left = 30;
    frame.m_session.m_mainframe_pos.top = 40;
    frame.m_session.m_mainframe_pos.right = 530;
    frame.m_session.m_mainframe_pos.bottom = 440;
  };
  f.create();
  EXPECT_FALSE(f.frame.IsWindowVisible());
  EXPECT_TRUE(pump_until([&] { return f.frame.IsWindowVisible() != FALSE; }));
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ASSERT_TRUE(::GetWindowPlacement(f.frame, &placement));
  EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
  EXPECT_EQ(placement.rcNormalPosition.left, 30);
  EXPECT_EQ(placement.rcNormalPosition.bottom, 440);
}

TEST_F(MainFrameCreation, WithSwitchBLogsThatDataFilesAreNotLoaded) {
  bool loaded = false;
  _Module.m_skip_data_files = true;
  frame_fixture f(nullptr, false);
  f.frame.m_load_data = [&](CMainFrame&) { loaded = true; };
  f.create();
  _Module.m_skip_data_files = false;
  EXPECT_FALSE(loaded);
  ASSERT_GE(f.frame.log_records().size(), 2u);
  EXPECT_EQ(
      f.frame.log_records()[1],
      (frame_log_record{
          L"Not loading data files due to command line option -b. Existing data files will be overwitten.", 2, 0}));
}

TEST_F(MainFrameCreation, HoldsTheHotKeySoASecondRegistrationFails) {
  frame_fixture f;
  HWND other = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  EXPECT_FALSE(::RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT, 'D'));
  EXPECT_EQ(::GetLastError(), 1409u);  // ERROR_HOTKEY_ALREADY_REGISTERED
  ::DestroyWindow(other);
}

TEST(MainFrameDestruction, EndsTheLoopWithZeroUnlocksTheModuleAndClosesTheMutex) {
  _Module.m_instance_mutex = ::CreateMutexW(nullptr, FALSE, nullptr);
  _Module.m_dwTimeOut = 5000;
  _Module.m_dwPause = 1000;
  {
    frame_fixture f;
    pump_until([&] { return f.frame.IsWindowVisible() != FALSE; });
    EXPECT_EQ(_Module.GetLockCount(), 1);
    f.frame.PostMessage(WM_COMMAND, ID_TRAY_EXIT);
    EXPECT_EQ(run_loop(), 0);
    EXPECT_FALSE(f.frame.IsWindow());
  }
  EXPECT_EQ(_Module.GetLockCount(), 0);
  EXPECT_EQ(_Module.m_instance_mutex, nullptr);
  EXPECT_EQ(_Module.m_dwTimeOut, 0u);
  EXPECT_EQ(_Module.m_dwPause, 0u);
  EXPECT_EQ(_Module.m_main_frame, nullptr);
  _Module.m_dwTimeOut = 5000;
  _Module.m_dwPause = 1000;
}

TEST(MainFrameDestruction, AnswersTheInstanceMessageWithItsComplement) {
  frame_fixture f;
  const UINT message = _Module.GetInstanceMessage();
  EXPECT_EQ(static_cast<UINT>(f.frame.SendMessage(message)), ~message);
}

TEST_F(MainFrameCreation, ItsFilterTranslatesAcceleratorsAndTakesCtrlSpace) {
  frame_fixture f;
  pump_until([&] { return f.frame.IsWindowVisible() != FALSE; });
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  MSG space{f.frame, WM_KEYDOWN, VK_SPACE, 0, 0, {0, 0}};
  MSG space_up{f.frame, WM_KEYUP, VK_SPACE, 0, 0, {0, 0}};
  MSG copy{f.frame, WM_KEYDOWN, 'C', 0, 0, {0, 0}};
  MSG plain{f.frame, WM_KEYDOWN, 'Q', 0, 0, {0, 0}};
  // Without an amplifier the key is taken and changes nothing.
  EXPECT_TRUE(_Module.GetMessageLoop()->PreTranslateMessage(&space));
  EXPECT_TRUE(_Module.GetMessageLoop()->PreTranslateMessage(&space_up));
  EXPECT_FALSE(f.frame.global_deblock());
  EXPECT_TRUE(_Module.GetMessageLoop()->PreTranslateMessage(&copy));
  EXPECT_FALSE(_Module.GetMessageLoop()->PreTranslateMessage(&plain));
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  EXPECT_FALSE(_Module.GetMessageLoop()->PreTranslateMessage(&space));
}

TEST_F(MainFrameCreation, PassesItsFocusOnToTheViews) {
  recording_views views;
  frame_fixture f(&views);
  pump_until([&] { return f.frame.IsWindowVisible() != FALSE; });
  views.lines.clear();
  f.frame.SendMessage(WM_SETFOCUS);
  EXPECT_THAT(views.lines, ElementsAre(L"focus_view"));
}
