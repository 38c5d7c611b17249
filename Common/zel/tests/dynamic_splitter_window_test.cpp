// The splitter window under wine64: where its panes go, what the mouse
// does to the bar (drags posted through the queue while the splitter holds
// the capture), focus, translation and notifications. The bar's arithmetic
// is the core's and tested there.
#include <gtest/gtest.h>

#include <cstdlib>

#include "win/tests/win_test_support.h"
#include "zel/dynamic_splitter.h"

using orvo::testing::pump_messages;

namespace {

// The splitter's parent: records the notifications that reach it.
class CHost : public WTL::CWindowImpl<CHost, WTL::CWindow, WTL::CNullTraits> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.Test.SplitterHost"}; }
  BEGIN_MSG_MAP(CHost)
  MESSAGE_HANDLER(WM_COMMAND, OnNotification)
  MESSAGE_HANDLER(WM_NOTIFY, OnNotification)
  END_MSG_MAP()
  LRESULT OnNotification(UINT uMsg, WPARAM wParam, LPARAM, BOOL&) {
    m_heard = uMsg;
    m_id = LOWORD(wParam);
    return 77;
  }
  UINT m_heard = 0;
  WORD m_id = 0;
};

// A pane: answers a message to translate with its own mark.
class CPane : public WTL::CWindowImpl<CPane> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.Test.SplitterPane"}; }
  BEGIN_MSG_MAP(CPane)
  MESSAGE_HANDLER(WM_FORWARDMSG, OnForward)
  END_MSG_MAP()
  LRESULT OnForward(UINT, WPARAM, LPARAM lParam, BOOL&) {
    m_forwarded = reinterpret_cast<const MSG*>(lParam);
    return m_mark;
  }
  LRESULT m_mark = 0;
  const MSG* m_forwarded = nullptr;
};

// The system's full-window drag for one test, and back afterwards.
class full_drag_setting {
 public:
  explicit full_drag_setting(BOOL full) {
    ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &m_old, 0);
    ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, full, nullptr, 0);
  }
  ~full_drag_setting() { ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, m_old, nullptr, 0); }

 private:
  BOOL m_old = FALSE;
};

class DynamicSplitter : public testing::Test {
 protected:
  void SetUp() override {
    m_host.Create(nullptr, RECT{0, 0, 700, 500}, L"splitter host", WS_POPUP | WS_VISIBLE);
    m_split.Create(m_host, RECT{0, 0, 404, 300});
    m_split.SetSplitterExtendedStyle(zel::splitter_proportional | zel::splitter_vertical);
    for (int pane = 0; pane < 2; ++pane) {
      m_pane[pane].Create(m_split, RECT{0, 0, 10, 10});
      m_pane[pane].m_mark = 100 + pane;
    }
    m_split.SetSplitterPanes(m_pane[0], m_pane[1]);
  }
  void TearDown() override { m_host.DestroyWindow(); }

  int bar() const { return m_split.bar_width() + m_split.bar_edge(); }
  int middle() const { return (m_split.extent() - bar()) / 2; }
  // A pane's place in the splitter's client area.
  RECT place(int pane) const {
    RECT r;
    ::GetWindowRect(m_pane[pane], &r);
    ::MapWindowPoints(nullptr, m_split, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  void resize(int width, int height = 300) {
    m_split.SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  }
  void post_mouse(UINT msg, int x, WPARAM keys = MK_LBUTTON) { m_split.PostMessage(msg, keys, MAKELPARAM(x, 40)); }
  // Presses the mouse on the bar, moves it to each of `xs` (checking after
  // each move through `after_move`), and lets go at the last.
  template <class Check>
  void drag_to(std::initializer_list<int> xs, Check after_move) {
    post_mouse(WM_LBUTTONDOWN, m_split.GetSplitterPos() + 1);
    for (int x : xs) {
      post_mouse(WM_MOUSEMOVE, x);
      pump_messages();
      after_move(x);
    }
    post_mouse(WM_LBUTTONUP, *(xs.end() - 1), 0);
    pump_messages();
  }
  // The cursor on a point of the splitter; a message then carries it as its position.
  void put_cursor(int x, int y) {
    POINT at{x, y};
    m_split.ClientToScreen(&at);
    ::SetCursorPos(at.x, at.y);
    m_host.PostMessage(WM_NULL);
    pump_messages();
  }

  CHost m_host;
  WTL::CDynSplitterWindow m_split;
  CPane m_pane[2];
};

TEST_F(DynamicSplitter, ANewSplitterIsCentredAtItsFirstPaintAfterAnyResize) {
  resize(500);
  EXPECT_EQ(m_split.GetSplitterPos(), -1);
  m_split.UpdateWindow();
  EXPECT_EQ(m_split.GetSplitterPos(), middle());
  EXPECT_EQ(place(0).right, middle());
  EXPECT_EQ(place(1).left, middle() + bar());
  EXPECT_EQ(place(1).right, 500);
  EXPECT_EQ(place(0).bottom, 300);
}

TEST_F(DynamicSplitter, AFullDragMovesThePanesWithEveryMove) {
  m_split.SetSplitterPos(200);
  full_drag_setting full(TRUE);
  m_split.SendMessage(WM_SETTINGCHANGE);
  ASSERT_TRUE(m_split.full_drag());
  drag_to({251, 151}, [&](int x) {
    EXPECT_EQ(::GetCapture(), m_split.m_hWnd);
    EXPECT_EQ(place(0).right, x - 1);
    EXPECT_EQ(place(1).left, x - 1 + bar());
  });
  EXPECT_EQ(::GetCapture(), nullptr);
  EXPECT_EQ(m_split.GetSplitterPos(), 150);
}

TEST_F(DynamicSplitter, AGhostDragMovesThePanesOnlyWhenTheButtonIsReleased) {
  m_split.SetSplitterPos(200);
  full_drag_setting ghost(FALSE);
  m_split.SendMessage(WM_SETTINGCHANGE);
  ASSERT_FALSE(m_split.full_drag());
  drag_to({251, 301}, [&](int x) {
    EXPECT_EQ(m_split.GetSplitterPos(), x - 1);
    EXPECT_EQ(place(0).right, 200);
  });
  EXPECT_EQ(place(0).right, 300);
  EXPECT_EQ(place(1).left, 300 + bar());
}

TEST_F(DynamicSplitter, ADragStopsAtThePaneMinimums) {
  m_split.SetSplitterPos(200);
  m_split.set_pane_minimums(50, 30);
  drag_to({10}, [&](int) { EXPECT_EQ(m_split.GetSplitterPos(), 50); });
  drag_to({400}, [&](int) { EXPECT_EQ(m_split.GetSplitterPos(), 404 - bar() - 30); });
}

TEST_F(DynamicSplitter, ADoubleClickReCentresTheBar) {
  m_split.SetSplitterPos(100);
  post_mouse(WM_LBUTTONDBLCLK, 101);
  pump_messages();
  EXPECT_EQ(m_split.GetSplitterPos(), middle());
  EXPECT_EQ(place(0).right, middle());
}

TEST_F(DynamicSplitter, TheMouseDoesNothingWhenTheSplitterIsNonInteractiveOrItsStepIsZero) {
  m_split.SetSplitterPos(100);
  for (int step_zero = 0; step_zero < 2; ++step_zero) {
    m_split.SetSplitterExtendedStyle(zel::splitter_vertical | (step_zero ? 0u : unsigned{zel::splitter_non_interactive}));
    m_split.set_step(step_zero ? 0 : 1);
    drag_to({300}, [&](int) { EXPECT_EQ(::GetCapture(), nullptr); });
    post_mouse(WM_LBUTTONDBLCLK, 101);
    pump_messages();
    EXPECT_EQ(m_split.GetSplitterPos(), 100);
    EXPECT_EQ(place(0).right, 100);
  }
}

TEST_F(DynamicSplitter, ABarAtThirtyPercentStaysThereThroughResizes) {
  m_split.SetSplitterPos((404 - bar()) * 3 / 10);
  for (int width : {804, 257, 1000, 404}) {
    resize(width);
    const int room = width - bar();
    EXPECT_LE(std::abs(m_split.GetSplitterPos() * 10 - room * 3), 10) << width;
    EXPECT_EQ(place(0).right, m_split.GetSplitterPos());
  }
}

TEST_F(DynamicSplitter, ARightAlignedBarKeepsTheSecondPaneItsSize) {
  m_split.SetSplitterExtendedStyle(zel::splitter_right_aligned | zel::splitter_vertical);
  m_split.SetSplitterPos(300);
  const int second = place(1).right - place(1).left;
  for (int width : {804, 500}) {
    resize(width);
    EXPECT_EQ(place(1).right - place(1).left, second) << width;
    EXPECT_EQ(place(1).right, width);
  }
}

TEST_F(DynamicSplitter, ASinglePaneFillsTheSplitterAndHasNoBarToHit) {
  m_split.SetSplitterPos(200);
  m_split.SetSinglePaneMode(1);
  EXPECT_FALSE(m_pane[0].IsWindowVisible());
  RECT client;
  m_split.GetClientRect(&client);
  const RECT filled = place(1);
  EXPECT_TRUE(::EqualRect(&client, &filled));
  drag_to({300}, [&](int) { EXPECT_EQ(::GetCapture(), nullptr); });
  EXPECT_EQ(m_split.GetSplitterPos(), 200);

  m_split.SetSinglePaneMode(-1);
  EXPECT_TRUE(m_pane[0].IsWindowVisible());
  EXPECT_EQ(place(0).right, 200);
  EXPECT_EQ(place(1).left, 200 + bar());
}

TEST_F(DynamicSplitter, TheCursorStaysAsSetOnlyOverTheBar) {
  m_split.SetSplitterPos(200);
  HCURSOR help = ::LoadCursorW(nullptr, IDC_HELP);
  const LPARAM client_move = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
  put_cursor(201, 40);
  ::SetCursor(help);
  m_split.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_split.m_hWnd), client_move);
  EXPECT_EQ(::GetCursor(), help);
  put_cursor(100, 40);
  m_split.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_split.m_hWnd), client_move);
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(DynamicSplitter, TheSplitterGivesItsFocusToThePaneTheMouseLastActivated) {
  m_split.SetSplitterPos(200);
  const LPARAM click = MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN);
  for (int pane : {1, 0}) {
    put_cursor(pane ? 300 : 100, 40);
    EXPECT_EQ(m_split.SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_host.m_hWnd), click), MA_ACTIVATE);
    EXPECT_EQ(m_split.GetDefaultActivePane(), pane);
    m_split.SetFocus();
    EXPECT_EQ(::GetFocus(), m_pane[pane].m_hWnd);
  }
  m_split.SetSinglePaneMode(1);
  m_split.SetFocus();
  EXPECT_EQ(::GetFocus(), m_pane[1].m_hWnd);
}

TEST_F(DynamicSplitter, AMessageToTranslateGoesToThePaneHoldingTheFocus) {
  m_split.SetSplitterPos(200);
  HWND edit =
      ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, m_pane[1], nullptr, nullptr, nullptr);
  MSG msg{};
  ::SetFocus(edit);
  EXPECT_EQ(m_split.SendMessage(WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(&msg)), 101);
  EXPECT_EQ(m_pane[1].m_forwarded, &msg);
  m_pane[0].SetFocus();
  EXPECT_EQ(m_split.SendMessage(WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(&msg)), 100);
  m_host.SetFocus();
  EXPECT_EQ(m_split.SendMessage(WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(&msg)), 0);
}

TEST_F(DynamicSplitter, NotificationsOfThePanesGoOnToTheSplittersParent) {
  EXPECT_EQ(m_split.SendMessage(WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), reinterpret_cast<LPARAM>(m_pane[0].m_hWnd)), 77);
  EXPECT_EQ(m_host.m_heard, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(m_host.m_id, 5);
  NMHDR header{m_pane[1], 6, NM_CLICK};
  EXPECT_EQ(m_split.SendMessage(WM_NOTIFY, 6, reinterpret_cast<LPARAM>(&header)), 77);
  EXPECT_EQ(m_host.m_heard, static_cast<UINT>(WM_NOTIFY));
}

}  // namespace
