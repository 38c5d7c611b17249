// Docking panes under wine64: the holders' captions and frames as they
// dock and float, their answers to docking requests, the caption double
// click, the caption drag driven by posted input, hiding and showing
// again, and the position records they give and take.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/caption.h"
#include "docking_frame_fixture.h"
#include "tab_docking_box.h"
#include "tab_window_holder.h"
#include "win/hook.h"

namespace dockwins::testing {
namespace {

using namespace dock_flags;

// A pane's view: a child window that reports a chosen minimum size and
// records the messages it is sent that the pane passes on.
class CViewWindow : public WTL::CWindowImpl<CViewWindow, WTL::CWindow, WTL::CNullTraits> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.Test.PaneView", CS_DBLCLKS, COLOR_WINDOW + 1}; }
  POINT minimum{0, 0};
  BEGIN_MSG_MAP(CViewWindow)
  MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
  END_MSG_MAP()

 private:
  LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&) {
    reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = minimum;
    return 0;
  }
};

class DockingPanes : public DockingFrame {
 protected:
  void SetUp() override {
    DockingFrame::SetUp();
    const wchar_t* names[] = {L"Top", L"Bottom", L"Left", L"Right"};
    for (int i = 0; i < 4; ++i) {
      ASSERT_TRUE(panes[i].Create(frame, RECT{100 + 20 * i, 100, 260 + 20 * i, 220}, names[i]));
      ASSERT_TRUE(views[i].Create(panes[i], RECT{0, 0, 10, 10}, nullptr, WS_CHILD | WS_VISIBLE));
      panes[i].SetClient(views[i]);
    }
  }
  void TearDown() override {
    for (CRq4TabWindowHolder& pane : panes)
      if (pane.IsWindow()) pane.DestroyWindow();
    DockingFrame::TearDown();
  }

  void DockAll() {
    ASSERT_TRUE(frame.Dock(panes[0], BeforeCentre | OwnRow, 80));
    ASSERT_TRUE(frame.Dock(panes[1], OwnRow, 60));
    ASSERT_TRUE(frame.Dock(panes[2], Inner | BeforeCentre | OwnRow, 100));
    ASSERT_TRUE(frame.Dock(panes[3], Inner | OwnRow, 90));
  }

  static zel::rect WindowRect(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    return ToRect(r);
  }
  static zel::rect ClientInScreen(HWND window) {
    RECT r;
    ::GetClientRect(window, &r);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return ToRect(r);
  }
  // A point of a pane's caption band, in screen coordinates.
  static POINT CaptionPoint(CRq4TabWindowHolder& pane, int along = 8) {
    RECT window;
    pane.GetWindowRect(&window);
    const int across = pane.caption.thickness / 2;
    return pane.caption.horizontal ? POINT{window.left + along, window.top + across}
                                   : POINT{window.left + across, window.bottom - along};
  }
  static LRESULT HitTest(HWND window, POINT pt) {
    return ::SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
  }

  CRq4TabWindowHolder panes[4];
  CViewWindow views[4];
};

TEST_F(DockingPanes, DockedPanesLoseTheirFrameAndDrawACaptionAcrossTheRow) {
  const DWORD floating = panes[0].GetStyle();
  EXPECT_EQ(floating & 0x000C0000, 0x000C0000u);
  EXPECT_EQ(panes[0].GetExStyle() & WS_EX_TOOLWINDOW, static_cast<DWORD>(WS_EX_TOOLWINDOW));
  DockAll();
  const int thickness = DockingSettings::Global().metrics.iSmCaptionHeight + 5;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(panes[i].GetStyle() & 0x000C0000, 0u) << i;
    EXPECT_EQ(panes[i].host, ::GetParent(panes[i])) << i;
    EXPECT_EQ(panes[i].caption.thickness, thickness) << i;
    // A horizontal row gets captions down the left side.
    EXPECT_EQ(panes[i].caption.horizontal, i >= 2) << i;
    const zel::rect window = WindowRect(panes[i]), client = ClientInScreen(panes[i]);
    if (i < 2)
      EXPECT_EQ(client, (zel::rect{window.left + thickness, window.top, window.right, window.bottom})) << i;
    else
      EXPECT_EQ(client, (zel::rect{window.left, window.top + thickness, window.right, window.bottom})) << i;
    // The view fills what the caption leaves.
    EXPECT_EQ(ClientInScreen(views[i]), client) << i;
  }
  // The caption and its close button answer the hit test; the client area
  // is the default's.
  RECT close = panes[2].caption.close.rect;
  RECT window;
  panes[2].GetWindowRect(&window);
  EXPECT_EQ(HitTest(panes[2], CaptionPoint(panes[2])), HTCAPTION);
  EXPECT_EQ(HitTest(panes[2], POINT{window.left + close.left + 2, window.top + close.top + 2}), HTCLOSE);
  EXPECT_EQ(HitTest(panes[2], POINT{window.left + 20, window.bottom - 5}), HTCLIENT);
  EXPECT_EQ(HitTest(panes[0], CaptionPoint(panes[0])), HTCAPTION);

  // Undocked, the frame comes back and the caption is the system's again.
  HWND row = panes[2].host;
  ASSERT_TRUE(panes[2].Undock());
  EXPECT_FALSE(::IsWindow(row));
  EXPECT_EQ(panes[2].host, nullptr);
  EXPECT_TRUE(panes[2].caption.horizontal);
  EXPECT_EQ(panes[2].GetStyle() & 0x000C0000, 0x000C0000u);
  EXPECT_EQ(panes[2].GetStyle() & WS_CHILD, 0u);
}

TEST_F(DockingPanes, MinimumTrackSizeHoldsTheCaptionAndTheView) {
  MINMAXINFO info{};
  panes[0].SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_GE(info.ptMinTrackSize.x, panes[0].caption.thickness);
  EXPECT_GE(info.ptMinTrackSize.y, panes[0].caption.thickness);
  views[0].minimum = {150, 70};
  DockAll();
  info = {};
  panes[0].SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  // Docked in the top row: the caption band is the non-client width.
  EXPECT_EQ(info.ptMinTrackSize.x, 150 + panes[0].caption.thickness);
  EXPECT_EQ(info.ptMinTrackSize.y, 70);
}

TEST_F(DockingPanes, FloatingRectangleFollowsMovesOfAFloatingPane) {
  panes[1].SetWindowPos(nullptr, 40, 50, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(ToRect(panes[1].float_rect), (zel::rect{40, 50, 240, 200}));
  DockAll();
  EXPECT_EQ(ToRect(panes[1].float_rect), (zel::rect{40, 50, 240, 200}));  // docked moves are the row's
}

TEST_F(DockingPanes, PanesAnswerDockingRequestsAsBoxes) {
  DockAll();
  for (UINT message : {DockingRequestMessage, DockingSettings::Global().message}) {
    DockRequest query{};
    query.code = dock_code::IsDockingBox;
    EXPECT_TRUE(::SendMessageW(panes[0], message, 0, reinterpret_cast<LPARAM>(&query)));
  }
  // A drop test on the caption takes the pane's client area.
  const POINT at = CaptionPoint(panes[2], 30);
  DockRequest test{};
  test.window = HandleValue(panes[3]);
  test.code = dock_code::DropTest;
  test.SetDragRect({at.x, at.y, at.x + 100, at.y + 80});
  ASSERT_TRUE(CGalleryFrame::Request(panes[2], test));
  EXPECT_EQ(WindowOf(test.host), panes[2].m_hWnd);
  EXPECT_EQ(test.DragRect(), ClientInScreen(panes[2]));
  // Elsewhere it declines.
  const zel::rect client = ClientInScreen(panes[2]);
  test.SetDragRect({client.left + 5, client.top + 5, client.left + 50, client.top + 50});
  EXPECT_FALSE(CGalleryFrame::Request(panes[2], test));

  // Its position: the row's answer, the row kept as host.
  DockRequest position{};
  position.code = dock_code::GetPosition;
  ASSERT_TRUE(CGalleryFrame::Request(panes[2], position));
  EXPECT_EQ(WindowOf(position.host), ::GetParent(panes[2]));
  EXPECT_EQ(position.flags, Inner | BeforeCentre | OwnRow);
  EXPECT_EQ(position.row_extent, 100);
}

TEST_F(DockingPanes, CloseButtonHidesThePaneAndShowDocksItBack) {
  DockAll();
  const zel::rect place = InFrame(panes[2]);
  const zel::rect centre = InFrame(frame.Area());
  panes[2].SendMessage(WM_NCLBUTTONUP, HTCLOSE, 0);
  ASSERT_TRUE(PumpUntil([&] { return !panes[2].IsWindowVisible(); }));
  EXPECT_TRUE(panes[2].IsWindow());
  EXPECT_EQ(panes[2].host, nullptr);
  EXPECT_NE(InFrame(frame.Area()), centre);  // the column went with it
  EXPECT_EQ(panes[2].saved_position.flags, Inner | BeforeCentre | OwnRow);

  ASSERT_TRUE(panes[2].Show());
  EXPECT_TRUE(panes[2].IsWindowVisible());
  EXPECT_EQ(InFrame(panes[2]), place);
  EXPECT_EQ(InFrame(frame.Area()), centre);

  // A floating pane hides and shows again floating, where it was.
  panes[2].Undock();
  panes[2].SetWindowPos(nullptr, 30, 40, 150, 100, SWP_NOZORDER | SWP_SHOWWINDOW);
  panes[2].SendMessage(WM_CLOSE);
  EXPECT_FALSE(panes[2].IsWindowVisible());
  EXPECT_TRUE(panes[2].hidden_floating);
  ASSERT_TRUE(panes[2].Show());
  EXPECT_TRUE(panes[2].IsWindowVisible());
  EXPECT_EQ(panes[2].host, nullptr);
  EXPECT_EQ(WindowRect(panes[2]), (zel::rect{30, 40, 180, 140}));
}

TEST_F(DockingPanes, CaptionDoubleClickFloatsAtTheFloatingRectangleAndDocksBack) {
  DockAll();
  // Nothing known to float at: it stays.
  const zel::rect place = InFrame(panes[3]);
  panes[3].float_rect = {};
  panes[3].SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  EXPECT_EQ(panes[3].host, ::GetParent(panes[3]));

  panes[3].float_rect = {50, 60, 250, 210};
  panes[3].SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  EXPECT_EQ(panes[3].host, nullptr);
  EXPECT_TRUE(panes[3].IsWindowVisible());
  EXPECT_EQ(WindowRect(panes[3]), (zel::rect{50, 60, 250, 210}));

  panes[3].SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  ASSERT_NE(panes[3].host, nullptr);
  EXPECT_EQ(InFrame(panes[3]), place);
}

// Position records -----------------------------------------------------

// A record with the window and host words cleared, for comparing records
// taken in two layouts.
DockPositionBytes WithoutHandles(tagDFDOCKPOSEX record) {
  record.request.window = 0;
  record.request.host = 0;
  return WriteDockPosition(record);
}

TEST_F(DockingPanes, RecordsTakenAfterAClosePutEveryPaneBackInItsPlace) {
  DockAll();
  tagDFDOCKPOSEX records[4];
  zel::rect places[4];
  for (int i = 0; i < 4; ++i) {
    panes[i].float_rect = {30 * i, 40, 30 * i + 150, 140};
    ASSERT_TRUE(panes[i].GetDockingPosition(records[i])) << i;
    places[i] = InFrame(panes[i]);
    EXPECT_EQ(records[i].docked, 1) << i;
    EXPECT_EQ(records[i].visible, 1) << i;
    EXPECT_EQ(records[i].window_rect, (zel::rect{30 * i, 40, 30 * i + 150, 140})) << i;
  }
  for (CRq4TabWindowHolder& pane : panes) pane.SendMessage(WM_CLOSE);
  EXPECT_EQ(InFrame(frame.Area()), (zel::rect{0, 0, 600, 400}));
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(panes[i].SetDockingPosition(records[i])) << i;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(InFrame(panes[i]), places[i]) << i;
    tagDFDOCKPOSEX again;
    ASSERT_TRUE(panes[i].GetDockingPosition(again)) << i;
    EXPECT_EQ(again.request.window, records[i].request.window) << i;
    EXPECT_NE(again.request.host, records[i].request.host) << i;  // a new row
    EXPECT_EQ(WithoutHandles(again), WithoutHandles(records[i])) << i;
  }
}

TEST_F(DockingPanes, TheBuiltInRecordDocksARightColumnThatReadsBackTheSame) {
  CGalleryFrame big;
  RECT r{10, 10, 710, 648};
  ::AdjustWindowRectEx(&r, FrameStyle, FALSE, 0);
  ASSERT_TRUE(big.Create(*host, r, L"frame", FrameStyle));
  const std::uint32_t words[15] = {0, 0, 4, 5, 0, 0, 238, 638, 0, 666, 189, 909, 691, 1, 1};
  DockPositionBytes bytes{};
  for (int i = 0; i < 15; ++i)
    for (int b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<std::uint8_t>(words[i] >> (8 * b));
  tagDFDOCKPOSEX record;
  ASSERT_TRUE(ReadDockPosition(bytes.data(), bytes.size(), record));
  CRq4TabWindowHolder& pane = panes[0];
  pane.docking_frame = big;
  record.request.window = HandleValue(pane);
  record.request.host = HandleValue(big);
  ASSERT_TRUE(pane.SetDockingPosition(record));
  RECT placed;
  pane.GetWindowRect(&placed);
  ::MapWindowPoints(nullptr, big, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(ToRect(placed), (zel::rect{462, 0, 700, 638}));
  tagDFDOCKPOSEX back;
  ASSERT_TRUE(pane.GetDockingPosition(back));
  const DockPositionBytes again = WriteDockPosition(back);
  EXPECT_TRUE(std::equal(again.begin() + 8, again.end(), bytes.begin() + 8));
  pane.DestroyWindow();
  big.DestroyWindow();
}

TEST_F(DockingPanes, AHiddenRecordHidesThePaneAndShowDocksItByTheBlock) {
  DockAll();
  tagDFDOCKPOSEX record;
  ASSERT_TRUE(panes[3].GetDockingPosition(record));
  const zel::rect place = InFrame(panes[3]);
  panes[3].Undock();
  record.visible = 0;
  record.window_rect = {70, 80, 270, 230};
  ASSERT_TRUE(panes[3].SetDockingPosition(record));
  EXPECT_FALSE(panes[3].IsWindowVisible());
  EXPECT_EQ(WindowRect(panes[3]), (zel::rect{70, 80, 270, 230}));
  // Hidden, it still reports the block it docks at.
  tagDFDOCKPOSEX hidden;
  panes[3].GetDockingPosition(hidden);
  EXPECT_EQ(hidden.visible, 0);
  EXPECT_EQ(hidden.request.flags, Inner | OwnRow);
  ASSERT_TRUE(panes[3].Show());
  EXPECT_EQ(InFrame(panes[3]), place);
}

TEST_F(DockingPanes, ARecordWhoseHostIsGoneDocksAtTheFrameBySideAndExtent) {
  tagDFDOCKPOSEX record{};
  record.request.host = 0x7FFF0;  // no window
  record.request.flags = Inner | BeforeCentre | OwnRow;
  record.request.row_extent = 120;
  record.docked = 1;
  record.visible = 1;
  ASSERT_TRUE(panes[2].SetDockingPosition(record));
  EXPECT_EQ(InFrame(panes[2]), (zel::rect{0, 0, 120, 400}));
}

TEST_F(DockingPanes, FloatingRecordsShowWithoutActivationAndHiddenOnesReportTheirWindow) {
  ::SetActiveWindow(*host);
  tagDFDOCKPOSEX record{};
  record.window_rect = {200, 210, 380, 330};
  record.visible = 1;
  ASSERT_TRUE(panes[1].SetDockingPosition(record));
  EXPECT_TRUE(panes[1].IsWindowVisible());
  EXPECT_EQ(WindowRect(panes[1]), (zel::rect{200, 210, 380, 330}));
  EXPECT_EQ(::GetActiveWindow(), host->m_hWnd);

  // Never docked and hidden: its window rectangle, not visible.
  panes[0].SetWindowPos(nullptr, 20, 30, 120, 90, SWP_NOZORDER | SWP_HIDEWINDOW);
  tagDFDOCKPOSEX hidden;
  ASSERT_TRUE(panes[0].GetDockingPosition(hidden));
  EXPECT_EQ(hidden.docked, 0);
  EXPECT_EQ(hidden.visible, 0);
  EXPECT_EQ(hidden.window_rect, (zel::rect{20, 30, 140, 120}));
}

// The holder ----------------------------------------------------------------

TEST_F(DockingPanes, AHolderWithoutAClientErasesAndTakesTheFocus) {
  EXPECT_EQ(panes[0].SetClient(nullptr), views[0].m_hWnd);
  panes[0].SetFocus();
  EXPECT_EQ(::GetFocus(), panes[0].m_hWnd);
  WTL::CClientDC dc(panes[0]);
  EXPECT_TRUE(panes[0].SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(dc))));
  // With one, the focus goes on to it.
  EXPECT_EQ(panes[0].SetClient(views[0]), nullptr);
  host->SetFocus();
  panes[0].SetFocus();
  EXPECT_EQ(::GetFocus(), views[0].m_hWnd);
}

TEST_F(DockingPanes, MenuCharactersOfAFloatingPaneGoToTheMainWindow) {
  std::vector<UINT> seen;
  WTL::thread_hook watch;
  watch.install(WH_GETMESSAGE, [&](int, WPARAM, LPARAM lParam, LRESULT&) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg->hwnd == host->m_hWnd && msg->message == WM_MENUCHAR) seen.push_back(static_cast<UINT>(msg->wParam));
    return false;
  });
  EXPECT_EQ(panes[0].SendMessage(WM_MENUCHAR, 'p', 0), 0x10000);
  EXPECT_TRUE(PumpUntil([&] { return !seen.empty(); }));
  EXPECT_EQ(seen, std::vector<UINT>{'p'});
  DockAll();
  EXPECT_EQ(panes[0].SendMessage(WM_MENUCHAR, 'p', 0), 0);
}

TEST_F(DockingPanes, MouseActivationGivesAHolderItsRememberedChild) {
  CDockingFocusHandler handler;
  WTL::CWindow edit;
  ASSERT_TRUE(edit.Create(L"EDIT", panes[0], RECT{0, 0, 40, 20}, nullptr, WS_CHILD | WS_VISIBLE));
  handler.RememberFocus(panes[0], edit);
  host->SetFocus();
  panes[0].SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host->m_hWnd), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_EQ(::GetFocus(), edit.m_hWnd);
}

TEST_F(DockingPanes, SetClientRecordsTheFocusedChildOfAHolderOnce) {
  CDockingFocusHandler handler;
  views[0].SetFocus();
  EXPECT_EQ(panes[0].SetClient(views[0]), views[0].m_hWnd);
  EXPECT_TRUE(handler.Follows(panes[0]));
  EXPECT_EQ(handler.RememberedFocus(panes[0]), views[0].m_hWnd);
  // Followed already: a later client leaves the record to the focus hook.
  views[1].SetFocus();
  panes[0].SetClient(views[0]);
  EXPECT_EQ(handler.RememberedFocus(panes[0]), views[0].m_hWnd);
  // Focus outside the holder: followed, with no child yet.
  host->SetFocus();
  panes[1].SetClient(views[1]);
  EXPECT_TRUE(handler.Follows(panes[1]));
  EXPECT_EQ(handler.RememberedFocus(panes[1]), nullptr);
}

// Tab docking boxes ----------------------------------------------------------

class TabBoxes : public DockingPanes {
 protected:
  static bool Send(HWND target, DockRequest& request) {
    return ::SendMessageW(target, DockingSettings::Global().message, 0, reinterpret_cast<LPARAM>(&request)) != 0;
  }
  // Drops pane `dropped` on pane `target` (request code 2); the tab box.
  CTabDockingBoxWithHook* Drop(int dropped, int target) {
    DockRequest drop{};
    drop.window = HandleValue(panes[dropped]);
    drop.code = dock_code::AcceptDrop;
    if (!Send(panes[target], drop)) return nullptr;
    CTabDockingBoxWithHook* box = CTabDockingBoxWithHook::FromHandle(panes[target].host);
    EXPECT_EQ(WindowOf(drop.host), box ? box->m_hWnd : nullptr);
    return box;
  }
  DockRequest PositionOf(int pane) {
    DockRequest position{};
    position.code = dock_code::GetPosition;
    EXPECT_TRUE(CGalleryFrame::Request(panes[pane], position));
    return position;
  }
  std::vector<HWND> Tabs(CTabDockingBoxWithHook& box) {
    std::vector<HWND> tabs;
    for (int i = 0; i < box.TabCount(); ++i) tabs.push_back(box.Strip().ViewAt(i));
    return tabs;
  }
  static std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
  }
  static POINT TabPoint(CTabDockingBoxWithHook& box, int index) {
    RECT r;
    box.Strip().GetItemRect(index, &r);
    POINT pt{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    box.Strip().ClientToScreen(&pt);
    return pt;
  }
};

TEST_F(TabBoxes, ADropOnAFloatingPaneMakesATabBoxInItsPlaceWithTheTargetFirst) {
  const HICON icon = ::LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
  const ULONG_PTR old_icon = ::SetClassLongPtrW(panes[1], GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
  const zel::rect place = WindowRect(panes[0]);
  CTabDockingBoxWithHook* box = Drop(1, 0);
  ::SetClassLongPtrW(panes[1], GCLP_HICON, static_cast<LONG_PTR>(old_icon));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ClassOf(*box), L"CTabDockingBoxWithHook");
  EXPECT_EQ(box->GetStyle() & ~WS_VISIBLE, 0x86CF0000u);
  EXPECT_EQ(WindowRect(*box), place);
  EXPECT_TRUE(box->IsWindowVisible());
  EXPECT_EQ(Tabs(*box), (std::vector<HWND>{panes[0], panes[1]}));
  EXPECT_EQ(box->SelectedTab(), 1);
  EXPECT_EQ(box->GetWindowText(), L"Bottom");
  EXPECT_TRUE(panes[1].IsWindowVisible());
  EXPECT_FALSE(panes[0].IsWindowVisible());
  for (int i = 0; i < 2; ++i) {
    // Tabs are captionless children told that the tab box holds them.
    EXPECT_EQ(panes[i].GetParent(), box->m_hWnd) << i;
    EXPECT_EQ(panes[i].host, box->m_hWnd) << i;
    EXPECT_EQ(panes[i].GetStyle() & (WS_POPUP | WS_CHILD | WS_CAPTION), static_cast<DWORD>(WS_CHILD)) << i;
    EXPECT_EQ(box->Strip().GetItem(i)->GetText(), i == 0 ? L"Top" : L"Bottom") << i;
    EXPECT_EQ(box->Strip().GetItem(i)->GetImageIndex(), i) << i;  // the class icon
  }
  int cx = 0, cy = 0;
  ASSERT_TRUE(::ImageList_GetIconSize(box->Images(), &cx, &cy));
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);
  EXPECT_EQ(::ImageList_GetImageCount(box->Images()), 2);
  // The strip runs along the bottom; the selected pane fills the rest.
  EXPECT_EQ(ClassOf(box->Strip()), L"CFlyingTabCtrl");
  EXPECT_EQ(box->Strip().GetStyle() & 0xFFFF, 0x4002u);
  const zel::rect client = ClientInScreen(*box);
  EXPECT_EQ(WindowRect(box->Strip()), (zel::rect{client.left, client.bottom - 24, client.right, client.bottom}));
  EXPECT_EQ(WindowRect(panes[1]), (zel::rect{client.left, client.top, client.right, client.bottom - 24}));
}

TEST_F(TabBoxes, PanesDockAtATabIndexAndReportTheirTabs) {
  CTabDockingBoxWithHook* box = Drop(1, 0);
  ASSERT_NE(box, nullptr);
  DockRequest dock{};
  dock.window = HandleValue(panes[2]);
  dock.code = dock_code::Dock;
  dock.tab_index = -1;
  ASSERT_TRUE(Send(*box, dock));
  dock.window = HandleValue(panes[3]);
  dock.tab_index = 0;
  dock.flags = SelectedTab;
  ASSERT_TRUE(Send(*box, dock));
  EXPECT_EQ(Tabs(*box), (std::vector<HWND>{panes[3], panes[0], panes[1], panes[2]}));
  EXPECT_EQ(box->SelectedWindow(), panes[3].m_hWnd);

  // A tab's position: the floating box's, its tab, the box as host, the
  // selected flag for the selected tab only.
  const DockRequest third = PositionOf(2);
  EXPECT_EQ(third.window, HandleValue(panes[2]));
  EXPECT_EQ(WindowOf(third.host), box->m_hWnd);
  EXPECT_EQ(third.tab_index, 3);
  EXPECT_EQ(third.flags, Float);
  EXPECT_EQ(third.FloatingRect(), WindowRect(*box));
  const DockRequest first = PositionOf(3);
  EXPECT_EQ(first.tab_index, 0);
  EXPECT_EQ(first.flags, Float | SelectedTab);

  // Choosing a tab shows its pane alone, names the box after it and
  // focuses it.
  box->Strip().SetCurSel(2);
  EXPECT_EQ(box->GetWindowText(), L"Bottom");
  EXPECT_TRUE(panes[1].IsWindowVisible());
  EXPECT_FALSE(panes[3].IsWindowVisible());
  EXPECT_EQ(::GetFocus(), views[1].m_hWnd);

  // Closed with its tabs, the box hides; showing one pane selects it and
  // shows the box again.
  box->SendMessage(WM_CLOSE);
  EXPECT_FALSE(box->IsWindowVisible());
  ASSERT_TRUE(panes[0].Show());
  EXPECT_TRUE(box->IsWindowVisible());
  EXPECT_EQ(box->SelectedWindow(), panes[0].m_hWnd);
  EXPECT_TRUE(panes[0].IsWindowVisible());
}

TEST_F(TabBoxes, ABoxLeftWithOnePaneGivesItItsPlaceAndGoes) {
  const zel::rect place = WindowRect(panes[0]);
  CTabDockingBoxWithHook* box = Drop(1, 0);
  ASSERT_NE(box, nullptr);
  const HWND tab_box = *box;
  // Two tabs: each names the other as its host.
  EXPECT_EQ(WindowOf(PositionOf(0).host), panes[1].m_hWnd);
  EXPECT_EQ(WindowOf(PositionOf(1).host), panes[0].m_hWnd);
  ASSERT_TRUE(panes[1].Undock());
  EXPECT_EQ(::GetAncestor(panes[1], GA_PARENT), ::GetDesktopWindow());
  EXPECT_EQ(panes[1].GetStyle() & (WS_CHILD | WS_POPUP | WS_CAPTION), static_cast<DWORD>(WS_POPUP | WS_CAPTION));
  EXPECT_EQ(panes[0].host, nullptr);
  EXPECT_EQ(WindowRect(panes[0]), place);
  EXPECT_TRUE(panes[0].IsWindowVisible());
  EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(tab_box); }));
}

TEST_F(TabBoxes, ADockedPaneTurnsIntoATabBoxInItsRowAndBack) {
  DockAll();
  HWND row = panes[2].host;
  ASSERT_TRUE(panes[0].Undock());
  const zel::rect place = InFrame(panes[2]);
  CTabDockingBoxWithHook* box = Drop(0, 2);
  ASSERT_NE(box, nullptr);
  const HWND tab_box = *box;
  EXPECT_EQ(box->GetParent(), row);
  EXPECT_EQ(box->host, row);
  EXPECT_EQ(InFrame(*box), place);
  const DockRequest position = PositionOf(0);
  EXPECT_EQ(WindowOf(position.host), panes[2].m_hWnd);
  EXPECT_EQ(position.flags, Inner | BeforeCentre | OwnRow | SelectedTab);
  EXPECT_EQ(position.row_extent, 100);
  EXPECT_EQ(position.tab_index, 1);

  ASSERT_TRUE(panes[0].Undock());
  EXPECT_EQ(panes[2].host, row);
  EXPECT_EQ(InFrame(panes[2]), place);
  EXPECT_TRUE(panes[2].IsWindowVisible());
  EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(tab_box); }));
}

TEST_F(TabBoxes, AClosedTabComesBackToItsTab) {
  CTabDockingBoxWithHook* box = Drop(1, 0);
  ASSERT_NE(box, nullptr);
  DockRequest dock{};
  dock.window = HandleValue(panes[2]);
  dock.code = dock_code::Dock;
  dock.tab_index = 1;
  ASSERT_TRUE(Send(*box, dock));
  panes[1].SendMessage(WM_CLOSE);
  EXPECT_FALSE(panes[1].IsWindowVisible());
  EXPECT_EQ(Tabs(*box), (std::vector<HWND>{panes[0], panes[2]}));
  ASSERT_TRUE(panes[1].Show());
  EXPECT_EQ(Tabs(*box), (std::vector<HWND>{panes[0], panes[2], panes[1]}));
  EXPECT_EQ(box->SelectedWindow(), panes[1].m_hWnd);  // it was the selected tab

  // Of two, the other pane is where it comes back: a new tab box.
  panes[2].SendMessage(WM_CLOSE);
  panes[0].SendMessage(WM_CLOSE);
  EXPECT_EQ(panes[1].host, nullptr);
  ASSERT_TRUE(panes[0].Show());
  CTabDockingBoxWithHook* again = CTabDockingBoxWithHook::FromHandle(panes[0].host);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(Tabs(*again), (std::vector<HWND>{panes[0], panes[1]}));
}

TEST_F(TabBoxes, ATabBoxNeverBecomesATab) {
  CTabDockingBoxWithHook* box = Drop(1, 0);
  ASSERT_NE(box, nullptr);
  const POINT at = CaptionPoint(panes[2]);
  DockRequest test{};
  test.window = HandleValue(*box);
  test.code = dock_code::DropTest;
  test.SetDragRect({at.x, at.y, at.x + 100, at.y + 80});
  EXPECT_FALSE(Send(panes[2], test));
  test.window = HandleValue(panes[3]);  // a pane at the same place is taken
  EXPECT_TRUE(Send(panes[2], test));
  DockRequest drop{};
  drop.window = HandleValue(*box);
  drop.code = dock_code::AcceptDrop;
  EXPECT_FALSE(Send(panes[2], drop));
  EXPECT_EQ(panes[2].host, nullptr);
  EXPECT_EQ(box->host, nullptr);
}

TEST_F(TabBoxes, ADestroyedTabLeavesNoTabBehind) {
  CTabDockingBoxWithHook* box = Drop(1, 0);
  ASSERT_NE(box, nullptr);
  const HWND tab_box = *box;
  panes[1].DestroyWindow();
  EXPECT_EQ(panes[0].host, nullptr);
  EXPECT_TRUE(panes[0].IsWindowVisible());
  EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(tab_box); }));
}

TEST_F(TabBoxes, DoubleClickingATabFloatsItsPaneAndAgainDocksItBackAsATab) {
  CTabDockingBoxWithHook* box = Drop(1, 0);
  ASSERT_NE(box, nullptr);
  const HWND tab_box = *box;
  panes[1].float_rect = {300, 320, 480, 440};
  POINT at = TabPoint(*box, 1);
  box->Strip().ScreenToClient(&at);
  box->Strip().SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(tab_box); }));
  EXPECT_EQ(panes[1].host, nullptr);
  EXPECT_EQ(WindowRect(panes[1]), (zel::rect{300, 320, 480, 440}));
  EXPECT_EQ(panes[0].host, nullptr);

  panes[1].SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  CTabDockingBoxWithHook* again = CTabDockingBoxWithHook::FromHandle(panes[1].host);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(Tabs(*again), (std::vector<HWND>{panes[0], panes[1]}));
}

// Caption drags under real input: the pointer is placed with SetCursorPos
// and the buttons and keys go through SendInput, so the press reaches the
// pane as the system's own and DragDetect sees the moves that follow it.
class PaneDrag : public TabBoxes {
 protected:
  static void Mouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
  }
  static void Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
  }
  static void MoveTo(POINT pt) {
    ::SetCursorPos(pt.x, pt.y);
    Mouse(MOUSEEVENTF_MOVE);
  }
  // Presses on the caption at `from`, moves away and to `to` and releases
  // there; `keys` (key down for a positive code, up for a negative one) go
  // between the last move and the release. Returns once all was handled.
  bool Drag(POINT from, POINT to, std::initializer_list<int> keys = {}) {
    return DragThrough({from, POINT{from.x + 30, from.y + 30}, to}, keys);
  }
  // Presses at the first point, moves through the others and releases.
  // Wine merges a mouse move into one still queued before it: with
  // `every_move`, a key release that nothing handles follows each move, so
  // each reaches the window (DragDetect takes the first one).
  bool DragThrough(std::initializer_list<POINT> path, std::initializer_list<int> keys = {}, bool every_move = false) {
    MoveTo(*path.begin());
    Mouse(MOUSEEVENTF_LEFTDOWN);
    for (auto pt = path.begin() + 1; pt != path.end(); ++pt) {
      MoveTo(*pt);
      if (every_move) Key(VK_F24, true);
    }
    for (int key : keys) Key(static_cast<WORD>(key < 0 ? -key : key), key < 0);
    Mouse(MOUSEEVENTF_LEFTUP);
    const bool done = PumpUntil([] { return ::GetQueueStatus(QS_INPUT) == 0 && !::GetCapture(); });
    ::SetCursorPos(700, 580);
    return done;
  }
  POINT InScreen(int x, int y) {
    POINT pt{x, y};
    frame.ClientToScreen(&pt);
    return pt;
  }
};

TEST_F(PaneDrag, APaneDroppedOnACaptionMakesATabBoxThere) {
  DockAll();
  ASSERT_TRUE(panes[1].Undock());
  const zel::rect place = InFrame(panes[2]);
  panes[1].SetWindowPos(nullptr, 400, 300, 150, 100, SWP_NOZORDER | SWP_SHOWWINDOW);
  ASSERT_TRUE(Drag(CaptionPoint(panes[1]), CaptionPoint(panes[2], 30)));
  CTabDockingBoxWithHook* box = CTabDockingBoxWithHook::FromHandle(panes[2].host);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(panes[1].host, box->m_hWnd);
  EXPECT_EQ(InFrame(*box), place);
  EXPECT_EQ(box->SelectedWindow(), panes[1].m_hWnd);
}

TEST_F(PaneDrag, ATabDraggedAlongTheStripChangesPlaces) {
  CTabDockingBoxWithHook* box = Drop(1, 0);
  ASSERT_NE(box, nullptr);
  const POINT first = TabPoint(*box, 0), second = TabPoint(*box, 1);
  ASSERT_TRUE(DragThrough({first, POINT{first.x + 6, first.y}, second}, {}, true));
  EXPECT_EQ(Tabs(*box), (std::vector<HWND>{panes[1], panes[0]}));
  EXPECT_EQ(box->SelectedWindow(), panes[0].m_hWnd);
}

TEST_F(PaneDrag, APaneDraggedOverTheStripJoinsTheTabsAtThePointer) {
  CTabDockingBoxWithHook* box = Drop(1, 0);
  ASSERT_NE(box, nullptr);
  panes[2].SetWindowPos(nullptr, 420, 300, 150, 100, SWP_NOZORDER | SWP_SHOWWINDOW);
  const POINT from = CaptionPoint(panes[2]);
  // Across the strip and away: the tabs stay as they were.
  ASSERT_TRUE(DragThrough({from, POINT{from.x + 30, from.y + 30}, TabPoint(*box, 0), InScreen(300, 200)}, {}, true));
  EXPECT_EQ(Tabs(*box), (std::vector<HWND>{panes[0], panes[1]}));
  EXPECT_EQ(box->SelectedWindow(), panes[1].m_hWnd);
  EXPECT_EQ(panes[2].host, nullptr);
  // Released over the first tab: it comes in there, selected.
  const POINT again = CaptionPoint(panes[2]);
  ASSERT_TRUE(DragThrough({again, POINT{again.x + 30, again.y + 30}, TabPoint(*box, 0)}, {}, true));
  EXPECT_EQ(Tabs(*box), (std::vector<HWND>{panes[2], panes[0], panes[1]}));
  EXPECT_EQ(box->SelectedWindow(), panes[2].m_hWnd);
  EXPECT_EQ(panes[2].host, box->m_hWnd);
}

TEST_F(PaneDrag, ATabDraggedOffTheStripGoesOnAsABoxDragAndTheBoxDissolves) {
  DockAll();
  HWND row = panes[2].host;
  ASSERT_TRUE(panes[0].Undock());
  const zel::rect place = InFrame(panes[2]);
  DockRequest drop{};
  drop.window = HandleValue(panes[0]);
  drop.code = dock_code::AcceptDrop;
  ASSERT_TRUE(::SendMessageW(panes[2], DockingRequestMessage, 0, reinterpret_cast<LPARAM>(&drop)));
  CTabDockingBoxWithHook* box = CTabDockingBoxWithHook::FromHandle(panes[2].host);
  ASSERT_NE(box, nullptr);
  const HWND tab_box = *box;
  RECT tab;
  box->Strip().GetItemRect(1, &tab);
  POINT from{tab.left + 8, (tab.top + tab.bottom) / 2};
  box->Strip().ClientToScreen(&from);
  const POINT to = InScreen(300, 200);
  panes[0].float_rect = {0, 0, 160, 100};

  // Up from the strip and on to the centre, where the box drag that the
  // strip hands the tab to lets it float.
  ASSERT_TRUE(DragThrough({from, POINT{from.x + 6, from.y}, POINT{from.x + 6, from.y - 60}, POINT{to.x - 20, to.y}, to},
                          {}, true));
  EXPECT_EQ(panes[0].host, nullptr);
  EXPECT_TRUE(panes[0].IsWindowVisible());
  EXPECT_EQ(WindowRect(panes[0]).width(), 160);
  EXPECT_EQ(panes[2].host, row);
  EXPECT_EQ(InFrame(panes[2]), place);
  EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(tab_box); }));
}

TEST_F(PaneDrag, ADockedPaneDraggedOverTheCentreFloatsAtTheOutline) {
  DockAll();
  panes[0].float_rect = {0, 0, 160, 100};
  const POINT from = CaptionPoint(panes[0]);
  const zel::rect window = WindowRect(panes[0]);
  const POINT to = InScreen(300, 200);
  ASSERT_TRUE(Drag(from, to));
  EXPECT_EQ(panes[0].host, nullptr);
  EXPECT_TRUE(panes[0].IsWindowVisible());
  // The grab point keeps its relative place in the floating outline.
  const zel::rect grabbed = DragOutline(window, {from.x, from.y}, {160, 100});
  const int left = to.x - (from.x - grabbed.left), top = to.y - (from.y - grabbed.top);
  const zel::rect expected{left, top, left + 160, top + 100};
  EXPECT_EQ(WindowRect(panes[0]), expected);
  // Its place was recorded first: a double click docks it back.
  EXPECT_EQ(panes[0].saved_position.flags, BeforeCentre | OwnRow);
}

TEST_F(PaneDrag, AFloatingPaneDraggedToTheLeftEdgeOpensAColumn) {
  ASSERT_TRUE(frame.Dock(panes[0], BeforeCentre | OwnRow, 80));
  panes[1].SetWindowPos(nullptr, 400, 300, 150, 100, SWP_NOZORDER | SWP_SHOWWINDOW);
  ASSERT_TRUE(Drag(CaptionPoint(panes[1]), InScreen(3, 200)));
  ASSERT_NE(panes[1].host, nullptr);
  EXPECT_EQ(InFrame(panes[1]).left, 0);
  EXPECT_EQ(InFrame(frame.Area()).left, InFrame(panes[1]).right + 5);
  EXPECT_EQ(InFrame(panes[1]).top, 85);  // below the top row
}

TEST_F(PaneDrag, CtrlPressedAfterTheLastMoveFloatsThePaneInstead) {
  panes[1].SetWindowPos(nullptr, 400, 300, 150, 100, SWP_NOZORDER | SWP_SHOWWINDOW);
  const POINT from = CaptionPoint(panes[1]);
  const POINT to = InScreen(3, 200);
  ASSERT_TRUE(Drag(from, to, {VK_CONTROL}));
  Key(VK_CONTROL, true);
  EXPECT_EQ(panes[1].host, nullptr);
  EXPECT_EQ(WindowRect(panes[1]).left, to.x - (from.x - 400));
}

TEST_F(PaneDrag, CtrlPressedAndReleasedDocksAgain) {
  panes[1].SetWindowPos(nullptr, 400, 300, 150, 100, SWP_NOZORDER | SWP_SHOWWINDOW);
  ASSERT_TRUE(Drag(CaptionPoint(panes[1]), InScreen(3, 200), {VK_CONTROL, -VK_CONTROL}));
  EXPECT_NE(panes[1].host, nullptr);
  EXPECT_EQ(InFrame(panes[1]).left, 0);
}

TEST_F(PaneDrag, AReleaseWhereItBeganMovesNothing) {
  DockAll();
  const zel::rect place = InFrame(panes[2]);
  const POINT from = CaptionPoint(panes[2]);
  ASSERT_TRUE(Drag(from, from));
  EXPECT_EQ(InFrame(panes[2]), place);
  EXPECT_NE(panes[2].host, nullptr);
}

TEST_F(PaneDrag, EscapeCancelsTheDrag) {
  DockAll();
  const zel::rect place = InFrame(panes[2]);
  ASSERT_TRUE(Drag(CaptionPoint(panes[2]), InScreen(300, 200), {VK_ESCAPE, -VK_ESCAPE}));
  EXPECT_EQ(InFrame(panes[2]), place);
  EXPECT_NE(panes[2].host, nullptr);
}

}  // namespace
}  // namespace dockwins::testing
