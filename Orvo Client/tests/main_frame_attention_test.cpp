// The main frame and its event log window with the stand-in server in
// process: records logged before the window exists are listed in it, and
// errors ask for attention, which the frame's idle turn serves with one
// beep and, while minimised, the tray icon's blink.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "main_frame_stand_in_test.h"
#include "main_frame_test_support.h"
#include "ui_seams.h"

using namespace frame_testing;

namespace {

class MainFrameAttention : public stand_in_frame_test<> {
 protected:
  void SetUp() override {
    stand_in_frame_test::SetUp();
    Orvo::set_beep_hook([this](UINT type) { beeps.push_back(type); });
  }
  void TearDown() override {
    stand_in_frame_test::TearDown();
    Orvo::set_beep_hook({});
  }
  // A frame created, shown and through its first idle turns.
  void start(std::function<void(CMainFrame&)> load_data = {}) {
    f = std::make_unique<frame_fixture>(&views, false);
    frame().m_load_data = std::move(load_data);
    f->create();
    ASSERT_TRUE(pump_until([&] { return frame().IsWindowVisible() && frame().held_state(); }));
    frame().OnIdle();
  }
  CMainFrame& frame() { return f->frame; }
  std::size_t blinks() const {
    std::size_t n = 0;
    for (const tray_call& c : tray.calls) n += c.message == NIM_MODIFY;
    return n;
  }
  void fire_error(const wchar_t* text) {
    BSTR description = SysAllocString(text);
    EXPECT_EQ(control->FireError(5, description), S_OK);
    SysFreeString(description);
  }

  std::vector<UINT> beeps;
  tray_recorder tray;
};

}  // namespace

TEST_F(MainFrameAttention, TheLogWindowListsWhatWasLoggedBeforeItExistedAndAsksForNothingForIt) {
  start([](CMainFrame&) { throw std::runtime_error("session unreadable"); });
  HWND window = frame().log_window();
  ASSERT_TRUE(::IsWindow(window));
  EXPECT_EQ(::GetParent(window), frame().m_hWndClient);
  EXPECT_FALSE(::IsWindowVisible(window));  // until its tab shows it
  EXPECT_EQ(log_item_text(frame(), 0, 2), L"Orvo Client program started");
  EXPECT_EQ(log_item_text(frame(), 1, 2), L"session unreadable");
  EXPECT_EQ(log_item_text(frame(), 1, 3), L"0x80004005");
  EXPECT_TRUE(beeps.empty());
}

TEST_F(MainFrameAttention, ErrorsWhileMinimisedBeepOnceAtTheNextIdleTurnAndStartTheBlink) {
  start();
  frame().SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
  ASSERT_TRUE(frame().tray().added());
  fire_error(L"Amplifier 2 overheated");
  EXPECT_TRUE(beeps.empty());
  frame().OnIdle();
  EXPECT_THAT(beeps, testing::ElementsAre(0xFFFFFFFFu));
  EXPECT_TRUE(pump_until([&] { return blinks() >= 2; }));  // the icon swapped and back

  // Two errors before the idle turn ask once.
  beeps.clear();
  fire_error(L"Amplifier 2 overheated");
  fire_error(L"Amplifier 3 overheated");
  frame().OnIdle();
  frame().OnIdle();
  EXPECT_EQ(beeps.size(), 1u);

  // A warning asks for nothing.
  beeps.clear();
  frame().Log(L"The update to the Orvo system was only partially applied", log_warning, 1);
  frame().OnIdle();
  EXPECT_TRUE(beeps.empty());
}

TEST_F(MainFrameAttention, AnErrorWhileShownBeepsWithoutABlink) {
  start();
  fire_error(L"Amplifier 2 overheated");
  frame().OnIdle();
  EXPECT_EQ(beeps.size(), 1u);
  EXPECT_FALSE(::KillTimer(frame(), CMainFrame::blink_timer));  // no blink timer to stop
}
