// Drawing and placement helpers of the window layer under wine64.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/gdi.h"
#include "win/offscreen.h"
#include "win/placement.h"
#include "win/window_impl.h"

using testing::ElementsAre;

namespace {

class CPainted : public WTL::CWindowImpl<CPainted, WTL::CWindow, WTL::CNullTraits>,
                 public WTL::COffscreenDrawRect<CPainted>,
                 public WTL::CCustomDraw<CPainted> {
 public:
  BEGIN_MSG_MAP(CPainted)
  CHAIN_MSG_MAP(WTL::COffscreenDrawRect<CPainted>)
  CHAIN_MSG_MAP(WTL::CCustomDraw<CPainted>)
  END_MSG_MAP()

  void DoPaint(WTL::CDCHandle dc, RECT&) {
    RECT client;
    GetClientRect(&client);
    dc.FillSolidRect(client, RGB(200, 10, 10));
  }
  DWORD OnPrePaint(int, LPNMCUSTOMDRAW) { return CDRF_NOTIFYITEMDRAW; }
  DWORD OnItemPrePaint(int, LPNMCUSTOMDRAW) { return CDRF_NEWFONT; }
};

TEST(Drawing, AnOffscreenPainterDrawsIntoTheDeviceContextItIsGiven) {
  CPainted window;
  ASSERT_TRUE(window.Create(nullptr, RECT{0, 0, 60, 40}, nullptr, WS_POPUP));
  WTL::CClientDC screen(window);
  HDC memory = ::CreateCompatibleDC(screen);
  WTL::CBitmap bitmap(::CreateCompatibleBitmap(screen, 60, 40));
  {
    WTL::CSelectObject selected(memory, bitmap);
    WTL::CDCHandle(memory).FillSolidRect(RECT{0, 0, 60, 40}, RGB(0, 0, 0));
    window.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    EXPECT_EQ(::GetPixel(memory, 30, 20), RGB(200, 10, 10));
  }
  ::DeleteDC(memory);
  EXPECT_EQ(window.SendMessage(WM_ERASEBKGND, 0), 1);  // nothing erased, ever
  window.DestroyWindow();
}

TEST(Drawing, CustomDrawStagesReachTheirMembers) {
  CPainted window;
  ASSERT_TRUE(window.Create(nullptr, RECT{0, 0, 60, 40}, nullptr, WS_POPUP));
  NMCUSTOMDRAW draw{};
  draw.hdr.code = static_cast<UINT>(NM_CUSTOMDRAW);
  const auto send = [&](DWORD stage) {
    draw.dwDrawStage = stage;
    return window.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
  };
  EXPECT_EQ(send(CDDS_PREPAINT), CDRF_NOTIFYITEMDRAW);
  EXPECT_EQ(send(CDDS_ITEMPREPAINT), CDRF_NEWFONT);
  EXPECT_EQ(send(CDDS_POSTPAINT), CDRF_DODEFAULT);
  window.DestroyWindow();
}

struct recording_tracker {
  std::vector<std::string> calls;
  void OnBegin() { calls.push_back("begin"); }
  void OnEnd(bool canceled) { calls.push_back(canceled ? "end canceled" : "end"); }
  void OnMouseMove(int x, int y) { calls.push_back("move " + std::to_string(x) + "," + std::to_string(y)); }
  void OnCancel(int, int) { calls.push_back("cancel"); }
  void OnLeftDrop(int x, int y) { calls.push_back("left drop " + std::to_string(x) + "," + std::to_string(y)); }
  void OnRightDrop(int, int) { calls.push_back("right drop"); }
  bool OnMessage(MSG&) { return false; }
};

TEST(Placement, ADragEndsWithTheLeftButtonAndEscapeCancelsIt) {
  HWND owner =
      ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  recording_tracker drop;
  ::PostMessageW(owner, WM_MOUSEMOVE, 0, MAKELPARAM(10, -20));
  ::PostMessageW(owner, WM_LBUTTONUP, 0, MAKELPARAM(12, 22));
  EXPECT_TRUE(WTL::track_capture(owner, drop));
  EXPECT_THAT(drop.calls, ElementsAre("begin", "move 10,-20", "left drop 12,22", "end"));
  EXPECT_EQ(::GetCapture(), nullptr);

  recording_tracker escape;
  ::PostMessageW(owner, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(WTL::track_capture(owner, escape));
  EXPECT_THAT(escape.calls, ElementsAre("begin", "cancel", "end canceled"));
  ::DestroyWindow(owner);
}

TEST(Placement, DeferredMovesHappenTogetherAtTheEnd) {
  HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
  HWND a = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
  HWND b = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
  RECT where{};
  {
    WTL::deferred_positions moves(2);
    EXPECT_TRUE(moves.move(a, RECT{5, 5, 55, 25}));
    EXPECT_TRUE(moves.move(b, RECT{60, 5, 90, 25}));
    ::GetWindowRect(a, &where);
    EXPECT_EQ(where.right - where.left, 10);  // not yet
  }
  ::GetWindowRect(b, &where);
  WTL::CWindow(parent).ScreenToClient(&where);
  EXPECT_EQ(where.left, 60);
  EXPECT_EQ(where.right, 90);
  ::DestroyWindow(parent);
}

}  // namespace
