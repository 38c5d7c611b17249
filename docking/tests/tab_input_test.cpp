// The tab strip under real input on the test display: the mouse is moved
// with SetCursorPos and buttons and keys are pressed with SendInput, so the
// messages come from the system's own input queue.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dot_net_tab_ctrl.h"
#include "pump_until.h"
#include "tab_recorder.h"
#include "win/hook.h"

using testing::ElementsAre;

namespace {
using namespace dockwins;
using orvo::testing::PumpUntil;
using Strip = CDotNetTabCtrl<CTabViewTabItem>;

void Send(DWORD mouse_flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = mouse_flags;
  ::SendInput(1, &input, sizeof(input));
}

void PressKey(WORD key) {
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
  }
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, inputs, sizeof(INPUT));
}

class TabStripInput : public testing::Test {
 protected:
  // The parent stays shown for the whole suite: hiding a shown top-level
  // window takes Wine two seconds on a display without a window manager.
  static void SetUpTestSuite() {
    parent = new orvo::testing::tab_recorder;
    parent->Create(nullptr, RECT{0, 0, 400, 80}, L"tabs", WS_POPUP | WS_VISIBLE);
    ::SetForegroundWindow(*parent);
  }
  static void TearDownTestSuite() {
    parent->DestroyWindow();
    delete parent;
  }
  void SetUp() override {
    parent->answers.clear();
    parent->notices.clear();
  }
  void TearDown() override {
    if (strip.IsWindow()) strip.DestroyWindow();
    ::SetCursorPos(600, 600);
  }
  void Create(DWORD styles) {
    ASSERT_TRUE(strip.Create(*parent, RECT{0, 0, 300, 24}, nullptr, WS_CHILD | WS_VISIBLE | styles, 0, 7));
    for (const wchar_t* text : {L"Overview", L"Event Log", L"Impedance", L"Protocols"}) {
      auto* item = new CTabViewTabItem;
      item->SetText(text);
      strip.InsertItem(-1, item);
    }
    strip.UpdateWindow();
  }
  // Moves the mouse to a point of the strip and dispatches input until the
  // strip has been sent the move there.
  bool MoveTo(POINT p) {
    POINT screen = p;
    strip.ClientToScreen(&screen);
    seen_move = false;
    WTL::thread_hook watch;
    watch.install(WH_GETMESSAGE, [&](int, WPARAM, LPARAM lParam, LRESULT&) {
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg->hwnd == strip.m_hWnd && msg->message == WM_MOUSEMOVE && msg->lParam == MAKELPARAM(p.x, p.y))
        seen_move = true;
      return false;
    });
    ::SetCursorPos(screen.x, screen.y);
    Send(MOUSEEVENTF_MOVE);
    return PumpUntil([&] { return seen_move; });
  }
  POINT TabPoint(int index, int dx = 0) {
    RECT r;
    strip.GetItemRect(index, &r);
    return {(r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2};
  }
  std::vector<std::wstring> Order() {
    std::vector<std::wstring> texts;
    for (int i = 0; i < strip.GetItemCount(); ++i) texts.push_back(strip.GetItem(i)->GetText());
    return texts;
  }
  bool Dragging() { return (strip.GetState() & tab_state::Dragging) != 0; }
  TabPart HotPart() { return GetTabPart(strip.GetState(), TabPartSlot::Hot); }

  static orvo::testing::tab_recorder* parent;
  Strip strip;
  bool seen_move = false;
};

orvo::testing::tab_recorder* TabStripInput::parent = nullptr;

TEST_F(TabStripInput, TheTabAndButtonUnderTheMouseAreHotUntilItLeaves) {
  Create(tab_style::HotTrack | tab_style::CloseButton);
  ASSERT_TRUE(MoveTo(TabPoint(2)));
  ASSERT_TRUE(MoveTo(TabPoint(2, 1)));
  EXPECT_TRUE(PumpUntil([&] { return strip.GetHotItem() == 2; }));
  // The hot tab is drawn with the hot state.
  parent->answers[orvo::testing::nm_customdraw] = CDRF_NOTIFYITEMDRAW;
  parent->notices.clear();
  strip.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  bool hot_drawn = false;
  for (const auto& n : parent->notices) hot_drawn |= n.stage == CDDS_ITEMPREPAINT && n.first == 2 && (n.state & 0x40);
  EXPECT_TRUE(hot_drawn);

  const zel::rect close = strip.GetLayout().CloseButton();
  ASSERT_TRUE(MoveTo({close.left + 7, close.top + 7}));
  ASSERT_TRUE(MoveTo({close.left + 8, close.top + 7}));
  EXPECT_TRUE(PumpUntil([&] { return HotPart() == TabPart::Close; }));

  ::SetCursorPos(600, 600);
  Send(MOUSEEVENTF_MOVE);
  EXPECT_TRUE(PumpUntil([&] { return !(strip.GetState() & tab_state::MouseInWindow); }));
  EXPECT_EQ(strip.GetHotItem(), -1);
  EXPECT_EQ(HotPart(), TabPart::None);
}

TEST_F(TabStripInput, AParentCanForbidADrag) {
  Create(tab_style::DragToMove);
  parent->answers[CTCN_BEGINITEMDRAG] = 1;
  ASSERT_TRUE(MoveTo(TabPoint(0)));
  Send(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(MoveTo(TabPoint(1)));
  EXPECT_FALSE(Dragging());
  Send(MOUSEEVENTF_LEFTUP);
  PumpUntil([&] { return ::GetCapture() != strip.m_hWnd; });
  EXPECT_THAT(Order(), ElementsAre(L"Overview", L"Event Log", L"Impedance", L"Protocols"));
  EXPECT_THAT(parent->codes(), testing::Contains(int{CTCN_BEGINITEMDRAG}));
}

TEST_F(TabStripInput, ADraggedTabSwapsPastItsNeighboursMiddleAndIsAcceptedOnRelease) {
  Create(tab_style::DragToMove);
  RECT second;
  strip.GetItemRect(1, &second);
  ASSERT_TRUE(MoveTo(TabPoint(0)));
  Send(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(MoveTo({second.left + 2, 10}));  // not yet past the middle
  EXPECT_TRUE(Dragging());
  EXPECT_EQ(strip.GetItem(0)->GetText(), L"Overview");
  ASSERT_TRUE(MoveTo({(second.left + second.right) / 2 + 2, 10}));
  EXPECT_THAT(Order(), ElementsAre(L"Event Log", L"Overview", L"Impedance", L"Protocols"));
  parent->notices.clear();
  Send(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !Dragging(); }));
  const auto* accepted = parent->last(CTCN_ACCEPTITEMDRAG);
  ASSERT_TRUE(accepted);
  EXPECT_EQ(accepted->first, 0);
  EXPECT_EQ(accepted->second, 1);
}

TEST_F(TabStripInput, EscapePutsADraggedTabBack) {
  Create(tab_style::DragToMove);
  ASSERT_TRUE(MoveTo(TabPoint(0)));
  Send(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(MoveTo(TabPoint(2)));
  ASSERT_TRUE(MoveTo(TabPoint(2, 1)));
  ASSERT_TRUE(Dragging());
  EXPECT_EQ(::GetFocus(), strip.m_hWnd);
  EXPECT_NE(strip.GetItem(0)->GetText(), L"Overview");
  parent->notices.clear();
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !Dragging(); }));
  EXPECT_THAT(Order(), ElementsAre(L"Overview", L"Event Log", L"Impedance", L"Protocols"));
  const auto* cancelled = parent->last(CTCN_CANCELITEMDRAG);
  ASSERT_TRUE(cancelled);
  EXPECT_EQ(cancelled->first, 0);
  Send(MOUSEEVENTF_LEFTUP);
  PumpUntil([&] { return ::GetCapture() != strip.m_hWnd; });
}

}  // namespace
