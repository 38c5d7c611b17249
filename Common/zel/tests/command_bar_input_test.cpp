// The command bar under real mouse input on the test display: the pointer
// is placed with SetCursorPos and moves and clicks go through SendInput, so
// the bar and the menu loop see them as the system delivers them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "test_frame.h"
#include "win/hook.h"

using testing::ElementsAre;

namespace {

void send_mouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  ::SendInput(1, &input, sizeof input);
}

void move_to(POINT screen) {
  ::SetCursorPos(screen.x, screen.y);
  send_mouse(MOUSEEVENTF_MOVE);
}

void click_at(POINT screen) {
  move_to(screen);
  send_mouse(MOUSEEVENTF_LEFTDOWN);
  send_mouse(MOUSEEVENTF_LEFTUP);
}

POINT centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

RECT button_on_screen(test_frame& frame, int index) {
  RECT r{};
  frame.m_bar.SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  ::MapWindowPoints(frame.m_bar, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Dispatches messages until `done` holds; false when the system delivers
// nothing more and it still does not, or `stopped` is set.
template <class Pred>
bool pump_until(Pred done, const bool& stopped) {
  for (int quiet = 0; quiet < 40 && !done() && !stopped; ++quiet) {
    if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT) == WAIT_TIMEOUT) continue;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
      quiet = 0;
    }
  }
  return done();
}

class CommandBarInput : public testing::Test {
 protected:
  void SetUp() override {
    frame.open();
    // A menu that stops short of what the test expects is ended here, and
    // every menu after it, so the test fails instead of waiting on a menu loop.
    guard.install(WH_GETMESSAGE, [this](int, WPARAM, LPARAM lParam, LRESULT&) {
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg->message == WM_TIMER && msg->wParam == guard_timer) {
        stopped = true;
        frame.on_idle = [](HWND) { ::EndMenu(); };
        ::EndMenu();
      }
      return false;
    });
    ::SetTimer(frame, guard_timer, 10000, nullptr);
  }
  void TearDown() override {
    ::KillTimer(frame, guard_timer);
    ::SetCursorPos(1000, 900);
  }

  static constexpr UINT_PTR guard_timer = 0x7E57;
  test_frame frame;
  WTL::thread_hook guard;
  bool stopped = false;
};

TEST_F(CommandBarInput, AClickOpensFileUnderItsPressedButtonWithNoLineBetween) {
  bool pressed = false;
  RECT button{}, popup{};
  std::vector<COLORREF> top, bottom;
  frame.on_idle = [&](HWND window) {
    if (frame.m_bar.GetTrackingButton() != 0) return;
    pressed = frame.m_bar.SendMessage(TB_ISBUTTONPRESSED, 0) != 0;
    button = button_on_screen(frame, 0);
    ::GetWindowRect(window, &popup);
    RECT r{};
    frame.m_bar.SendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    HDC dc = ::GetDC(frame.m_bar);
    for (int x = r.left + 2; x < r.right - 2; ++x) {  // between the two sides' lines
      top.push_back(::GetPixel(dc, x, r.top));
      bottom.push_back(::GetPixel(dc, x, r.bottom - 1));
    }
    ::ReleaseDC(frame.m_bar, dc);
    ::EndMenu();
  };
  click_at(centre(button_on_screen(frame, 0)));
  ASSERT_TRUE(pump_until([&] { return !top.empty() && !frame.m_bar.IsMenuOpen(); }, stopped));
  EXPECT_TRUE(pressed);
  EXPECT_EQ(popup.top, button.bottom);
  const COLORREF margin = frame.m_bar.m_clrImageMargin;

  EXPECT_TRUE(std::all_of(bottom.begin(), bottom.end(), [&](COLORREF c) { return c == margin; }));
  EXPECT_TRUE(std::none_of(top.begin(), top.end(), [&](COLORREF c) { return c == margin; }));  // the edge
  EXPECT_FALSE(frame.m_bar.SendMessage(TB_ISBUTTONPRESSED, 0));
}

TEST_F(CommandBarInput, ThePointerOnEditSwitchesMenusAndAClickOnAnItemSendsItsCommand) {
  std::vector<int> opened;
  frame.on_idle = [&](HWND) {
    const int open = frame.m_bar.GetTrackingButton();
    if (!opened.empty() && opened.back() == open) return;
    opened.push_back(open);
    if (open == 0) {
      move_to(centre(button_on_screen(frame, 1)));
    } else if (open == 1) {
      RECT item{};
      ::GetMenuItemRect(nullptr, ::GetSubMenu(frame.m_hMenu, 1), 0, &item);
      click_at(centre(item));
    }
  };
  click_at(centre(button_on_screen(frame, 0)));
  ASSERT_TRUE(pump_until([&] { return !frame.commands.empty(); }, stopped));
  EXPECT_THAT(opened, ElementsAre(0, 1));
  EXPECT_THAT(frame.commands, ElementsAre(ID_EDIT_COPY));
  EXPECT_FALSE(frame.m_bar.IsMenuOpen());
}

}  // namespace
