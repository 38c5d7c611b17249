// The tabbed view area under wine64: the strip's height and place, which
// view is shown and focused, and what reaches the shown view.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "tabbed_frame.h"

namespace {
using namespace dockwins;
using Area = CTabbedChildWindow<>;

// A view that records what it is sent and answers with its own mark.
class recording_view : public WTL::CWindowImpl<recording_view, WTL::CWindow, WTL::CNullTraits> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.Test.RecordingView"}; }
  BEGIN_MSG_MAP(recording_view)
  MESSAGE_HANDLER(WM_COMMAND, OnRecord)
  MESSAGE_RANGE_HANDLER(WM_KEYFIRST, WM_KEYLAST, OnRecord)
  MESSAGE_HANDLER(WM_FORWARDMSG, OnRecord)
  END_MSG_MAP()

  LRESULT OnRecord(UINT uMsg, WPARAM, LPARAM, BOOL&) {
    received.push_back(uMsg);
    return mark;
  }
  std::vector<UINT> received;
  LRESULT mark = 0;
};

// A shown top-level window for the areas. One for all tests: hiding a shown
// top-level window takes Wine two seconds on a display without a window
// manager.
class plain_frame : public WTL::CWindowImpl<plain_frame, WTL::CWindow, WTL::CNullTraits> {
 public:
  BEGIN_MSG_MAP(plain_frame)
  END_MSG_MAP()
};

class TabbedArea : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    frame = new plain_frame;
    frame->Create(nullptr, RECT{0, 0, 420, 320}, L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  }
  static void TearDownTestSuite() {
    frame->DestroyWindow();
    delete frame;
  }
  void Create(DWORD tab_styles = tab_style::Tooltips | tab_style::Bottom) {
    ASSERT_TRUE(frame->IsWindow());
    area.SetTabStyles(tab_styles);
    ASSERT_TRUE(area.Create(*frame, RECT{0, 0, 400, 300}));
    for (int i = 0; i < 2; ++i) {
      views[i].mark = 100 + i;
      ASSERT_TRUE(views[i].Create(area, RECT{0, 0, 10, 10}, nullptr, WS_CHILD | WS_TABSTOP));
    }
  }
  void TearDown() override {
    if (area.IsWindow()) area.DestroyWindow();
  }
  RECT Place(HWND child) {
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, area, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  void CheckPlaces(bool bottom) {
    area.AddTab(views[0], L"one");
    RECT client;
    area.GetClientRect(&client);
    const int h = area.GetTabAreaHeight();
    const RECT strip = Place(area.GetTabCtrl());
    const RECT view = Place(views[0]);
    EXPECT_EQ(strip.top, bottom ? client.bottom - h : 0);
    EXPECT_EQ(strip.bottom - strip.top, h);
    EXPECT_EQ(strip.right, client.right);
    EXPECT_EQ(view.top, bottom ? 0 : h);
    EXPECT_EQ(view.bottom, bottom ? strip.top : client.bottom);
  }
  // A strip notification as a mouse action would send it.
  void StripNotify(int code, int first, int second = -1) {
    NMCTC2ITEMS record{{area.GetTabCtrl(), 0, static_cast<UINT>(code)}, first, second, {-1, -1}};
    area.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&record));
  }

  static plain_frame* frame;
  Area area;
  recording_view views[2];
};

plain_frame* TabbedArea::frame = nullptr;

int StripFontAscent(Area& area) {
  WTL::CClientDC dc(area.GetTabCtrl());
  WTL::CSelectObject font(dc, area.GetTabCtrl().GetFont());
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc, &tm);
  return tm.tmAscent;
}

TEST_F(TabbedArea, TheStripAppearsWithTheFirstTab) {
  Create();
  EXPECT_EQ(area.GetTabAreaHeight(), 0);
  // Without a view the class background shows: the erase is left to it.
  RECT client;
  area.GetClientRect(&client);
  WTL::CClientDC screen(area);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  area.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
  EXPECT_EQ(::GetPixel(dc, 5, 5), ::GetSysColor(COLOR_APPWORKSPACE));
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);

  EXPECT_EQ(area.AddTab(views[0], L"&Orvo System"), 0);
  EXPECT_EQ(area.GetTabAreaHeight(), TabAreaHeight(StripFontAscent(area)));
  EXPECT_EQ(area.GetActiveView(), views[0].m_hWnd);
  EXPECT_EQ(area.SendMessage(WM_ERASEBKGND, 0), 1);
}

TEST_F(TabbedArea, TabsWithoutAViewOrIconAreHandledQuietly) {
  Create();
  EXPECT_EQ(area.AddTab(nullptr, L"none"), -1);
  EXPECT_EQ(area.AddTabWithIcon(nullptr, L"none", 1, nullptr), -1);
  EXPECT_EQ(area.GetTabCtrl().GetItemCount(), 0);
  EXPECT_EQ(area.AddTabWithIcon(views[0], L"&Event Log", 9999, ::GetModuleHandleW(nullptr)), 0);
  EXPECT_EQ(area.GetTabCtrl().GetItem(0)->GetImageIndex(), -1);
  EXPECT_EQ(area.GetTabCtrl().GetItem(0)->GetText(), L"&Event Log");
  // A system icon does load: it becomes the tab's image.
  const int shown = area.AddTabWithIcon(views[1], L"&Orvo System", 32512, ::GetModuleHandleW(L"user32.dll"));
  ASSERT_EQ(shown, 1);
  EXPECT_EQ(area.GetTabCtrl().GetItem(shown)->GetImageIndex(), 0);
}

TEST_F(TabbedArea, TheStripSitsBelowTheView) {
  Create(tab_style::Bottom);
  CheckPlaces(true);
}

TEST_F(TabbedArea, TheStripSitsAboveTheViewWithoutTheBottomStyle) {
  Create(0);
  CheckPlaces(false);
}

TEST_F(TabbedArea, SelectingATabShowsAndFocusesItsView) {
  Create();
  area.AddTab(views[0], L"one");
  area.AddTab(views[1], L"two");
  area.GetTabCtrl().SetCurSel(1);
  EXPECT_EQ(area.GetActiveView(), views[1].m_hWnd);
  EXPECT_FALSE(views[0].IsWindowVisible());
  EXPECT_TRUE(views[1].IsWindowVisible());
  EXPECT_EQ(::GetFocus(), views[1].m_hWnd);

  // Clicking the selected tab, ending or cancelling a drag focus a view.
  ::SetFocus(area.GetTabCtrl());
  StripNotify(static_cast<int>(NM_CLICK), 1);
  EXPECT_EQ(::GetFocus(), views[1].m_hWnd);
  StripNotify(CTCN_ACCEPTITEMDRAG, 1, 0);
  EXPECT_EQ(::GetFocus(), views[0].m_hWnd);
  StripNotify(CTCN_CANCELITEMDRAG, 1);
  EXPECT_EQ(::GetFocus(), views[1].m_hWnd);

  // The area passes its focus on, unless the strip holds the mouse.
  ::SetFocus(area);
  EXPECT_EQ(::GetFocus(), views[1].m_hWnd);
  ::SetCapture(area.GetTabCtrl());
  ::SetFocus(area);
  EXPECT_EQ(::GetFocus(), area.m_hWnd);
  ::ReleaseCapture();
}

TEST_F(TabbedArea, MinimisingLeavesTheLayoutAlone) {
  Create();
  area.AddTab(views[0], L"one");
  const RECT laid_out = Place(views[0]);
  views[0].MoveWindow(RECT{1, 1, 2, 2});
  area.SendMessage(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
  EXPECT_EQ(Place(views[0]).right, 2);
  area.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 300));
  EXPECT_EQ(Place(views[0]).right, laid_out.right);
}

TEST_F(TabbedArea, CommandsKeysAndForwardedMessagesReachTheShownView) {
  Create();
  area.AddTab(views[0], L"one");
  area.AddTab(views[1], L"two");
  area.GetTabCtrl().SetCurSel(1);
  area.SendMessage(WM_COMMAND, MAKEWPARAM(0x8001, 0), 0);                                              // a menu command
  area.SendMessage(WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), reinterpret_cast<LPARAM>(views[0].m_hWnd));  // a child's
  EXPECT_THAT(views[1].received, testing::ElementsAre(UINT{WM_COMMAND}));
  EXPECT_TRUE(views[0].received.empty());
  for (UINT key = WM_KEYFIRST; key <= 0x108; ++key) EXPECT_EQ(area.SendMessage(key, 'A', 0), 101) << key;
  MSG msg{};
  EXPECT_EQ(area.SendMessage(WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(&msg)), 101);
}

}  // namespace
