// The docking frame under wine64: boxes docked into rows and columns by
// request, their positions taken and restored, rows closing, the frame's
// minimum size, splitter drags driven by posted input, and the bar cursors.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "docking_frame_fixture.h"

namespace dockwins::testing {
namespace {

using namespace dock_flags;

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  ::GetClassNameW(window, name, 128);
  return name;
}

TEST_F(DockingFrame, BoxesDockAsRowsAndColumnsAtTheFourSides) {
  EXPECT_EQ(InFrame(frame.Area()), (zel::rect{0, 0, 600, 400}));  // alone, the view fills the frame
  ASSERT_TRUE(frame.Dock(boxes[0], BeforeCentre | OwnRow, 80));
  ASSERT_TRUE(frame.Dock(boxes[1], OwnRow, 60));
  ASSERT_TRUE(frame.Dock(boxes[2], Inner | BeforeCentre | OwnRow, 100));
  ASSERT_TRUE(frame.Dock(boxes[3], Inner | OwnRow, 90));

  EXPECT_EQ(InFrame(boxes[0]), (zel::rect{0, 0, 600, 80}));
  EXPECT_EQ(InFrame(boxes[1]), (zel::rect{0, 340, 600, 400}));
  EXPECT_EQ(InFrame(boxes[2]), (zel::rect{0, 85, 100, 335}));
  EXPECT_EQ(InFrame(boxes[3]), (zel::rect{510, 85, 600, 335}));
  EXPECT_EQ(InFrame(frame.Area()), (zel::rect{105, 85, 505, 335}));

  // Each box is a visible child of a row window of its own and was told
  // so: rows are horizontal, columns vertical.
  for (int i = 0; i < 4; ++i) {
    HWND row = ::GetParent(boxes[i]);
    EXPECT_EQ(ClassOf(row), PackageWindowClassName) << i;
    EXPECT_EQ(::GetWindowLongW(row, GWL_STYLE), 0x56000000) << i;
    EXPECT_TRUE(boxes[i].GetStyle() & WS_CHILD) << i;
    EXPECT_TRUE(boxes[i].IsWindowVisible()) << i;
    ASSERT_EQ(boxes[i].notices.size(), 1u) << i;
    EXPECT_EQ(boxes[i].notices[0].first, MAKEWPARAM(1, i < 2 ? 1 : 0)) << i;
    EXPECT_EQ(boxes[i].notices[0].second, reinterpret_cast<LPARAM>(row)) << i;
  }
  EXPECT_NE(::GetParent(boxes[0]), ::GetParent(boxes[1]));

  // A docked box does not dock again before it leaves its row.
  HWND row = ::GetParent(boxes[0]);
  EXPECT_FALSE(frame.Dock(boxes[0], OwnRow, 60));
  EXPECT_EQ(::GetParent(boxes[0]), row);
  EXPECT_EQ(InFrame(frame.Area()), (zel::rect{105, 85, 505, 335}));
}

TEST_F(DockingFrame, AFrameCreatedAgainStartsWithoutTheRowsOfItsFirstWindow) {
  ASSERT_TRUE(frame.Dock(boxes[0], BeforeCentre | OwnRow, 80));
  ASSERT_TRUE(frame.Dock(boxes[1], Inner | OwnRow, 90));
  frame.DestroyWindow();
  OpenFrame(600, 400);
  EXPECT_EQ(InFrame(frame.Area()), (zel::rect{0, 0, 600, 400}));
  ASSERT_TRUE(frame.Dock(boxes[2], Inner | OwnRow, 100));
  EXPECT_EQ(InFrame(boxes[2]), (zel::rect{500, 0, 600, 400}));
  EXPECT_EQ(InFrame(frame.Area()), (zel::rect{0, 0, 495, 400}));
}

TEST_F(DockingFrame, TakenPositionsDockEveryBoxBackWhereItWas) {
  ASSERT_TRUE(frame.Dock(boxes[0], BeforeCentre | OwnRow, 80));
  ASSERT_TRUE(frame.Dock(boxes[1], OwnRow, 60));
  ASSERT_TRUE(frame.Dock(boxes[2], Inner | BeforeCentre | OwnRow, 100));
  ASSERT_TRUE(frame.Dock(boxes[3], Inner | OwnRow, 90));
  ASSERT_TRUE(frame.Dock(boxes[4], BeforeCentre, 80, 0, 0.5f, 200));  // into the top row
  EXPECT_EQ(::GetParent(boxes[4]), ::GetParent(boxes[0]));
  EXPECT_EQ(InFrame(boxes[0]), (zel::rect{0, 0, 298, 80}));
  EXPECT_EQ(InFrame(boxes[4]), (zel::rect{303, 0, 600, 80}));

  DockRequest blocks[5];
  zel::rect places[5];
  for (int i = 0; i < 5; ++i) {
    bool answer = false;
    blocks[i] = Ask(frame, boxes[i], dock_code::GetPosition, &answer);
    EXPECT_TRUE(answer) << i;
    places[i] = InFrame(boxes[i]);
  }
  // A box alone in its row asks for a row of its own.
  EXPECT_EQ(blocks[0].flags, BeforeCentre);
  EXPECT_EQ(blocks[1].flags, OwnRow);
  EXPECT_EQ(blocks[2].flags, Inner | BeforeCentre | OwnRow);
  EXPECT_EQ(blocks[3].flags, Inner | OwnRow);
  EXPECT_EQ(blocks[4].flags, BeforeCentre);
  EXPECT_EQ(blocks[0].row_extent, 80);
  EXPECT_EQ(blocks[4].box_extent, 297);

  for (int i = 0; i < 5; ++i) {
    HWND row = ::GetParent(boxes[i]);
    bool answer = false;
    Ask(row, boxes[i], dock_code::Remove, &answer);
    EXPECT_TRUE(answer) << i;
    EXPECT_FALSE(boxes[i].GetStyle() & WS_CHILD) << i;
    EXPECT_EQ(boxes[i].notices.back(), std::make_pair(WPARAM{0}, reinterpret_cast<LPARAM>(row))) << i;
  }
  EXPECT_EQ(InFrame(frame.Area()), (zel::rect{0, 0, 600, 400}));

  for (int i = 0; i < 5; ++i) {
    blocks[i].code = dock_code::Dock;
    EXPECT_TRUE(CGalleryFrame::Request(frame, blocks[i])) << i;
  }
  for (int i = 0; i < 5; ++i) EXPECT_EQ(InFrame(boxes[i]), places[i]) << i;
}

TEST_F(DockingFrame, ABoxComesBackToItsPixelInARowOf400) {
  frame.DestroyWindow();
  OpenFrame(400, 300);
  ASSERT_TRUE(frame.Dock(boxes[0], BeforeCentre | OwnRow, 80));
  // 211 / 405 of the row from its start at -5: the bar at 206.
  ASSERT_TRUE(frame.Dock(boxes[1], BeforeCentre, 80, 0, 211.0f / 405.0f, 100));
  ASSERT_EQ(InFrame(boxes[1]).left, 211);
  DockRequest block = Ask(frame, boxes[1], dock_code::GetPosition);
  Ask(::GetParent(boxes[1]), boxes[1], dock_code::Remove);
  block.code = dock_code::Dock;
  ASSERT_TRUE(CGalleryFrame::Request(frame, block));
  EXPECT_EQ(InFrame(boxes[1]), (zel::rect{211, 0, 400, 80}));
  EXPECT_EQ(InFrame(boxes[0]), (zel::rect{0, 0, 206, 80}));
}

TEST_F(DockingFrame, AnEmptiedRowClosesAndTheCentreTakesItsSpace) {
  ASSERT_TRUE(frame.Dock(boxes[0], BeforeCentre | OwnRow, 80));
  ASSERT_TRUE(frame.Dock(boxes[1], OwnRow, 60));
  HWND bottom = ::GetParent(boxes[1]);
  EXPECT_EQ(InFrame(frame.Area()), (zel::rect{0, 85, 600, 335}));
  Ask(bottom, boxes[1], dock_code::Remove);
  EXPECT_FALSE(::IsWindow(bottom));
  EXPECT_EQ(InFrame(frame.Area()), (zel::rect{0, 85, 600, 400}));
}

TEST_F(DockingFrame, MinimumTrackSizeIsThePackagesPlusTheNonClientSize) {
  boxes[0].minimum = {150, 40};
  ASSERT_TRUE(frame.Dock(boxes[0], BeforeCentre | OwnRow, 80));
  MINMAXINFO info{};
  frame.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  RECT window, client;
  frame.GetWindowRect(&window);
  frame.GetClientRect(&client);
  // The row (40) and its bar over a centre without a minimum.
  EXPECT_EQ(info.ptMinTrackSize.x, 150 + (window.right - window.left) - client.right);
  EXPECT_EQ(info.ptMinTrackSize.y, 45 + (window.bottom - window.top) - client.bottom);
}

// A box dragged over the frame: the drop test names the taker and shapes
// the outline, the accept docks the box there.
TEST_F(DockingFrame, ADroppedBoxOpensARowAtAnEdgeOrJoinsTheRowUnderIt) {
  ASSERT_TRUE(frame.Dock(boxes[0], BeforeCentre | OwnRow, 80));
  HWND top = ::GetParent(boxes[0]);
  // The drop test goes to the frame, the accept to the taker it named.
  auto test = [&](HWND box, int x, int y, DockRequest* block) {
    POINT at{x, y};
    frame.ClientToScreen(&at);
    block->window = HandleValue(box);
    block->code = dock_code::DropTest;
    block->SetDragRect({at.x, at.y, at.x + 120, at.y + 50});
    return CGalleryFrame::Request(frame, *block);
  };
  auto accept = [](DockRequest* block) {
    block->code = dock_code::AcceptDrop;
    return CGalleryFrame::Request(WindowOf(block->host), *block);
  };
  // On the middle of the view: nobody takes it.
  DockRequest refused{};
  EXPECT_FALSE(test(boxes[1], 300, 250, &refused));
  EXPECT_EQ(refused.host, 0);

  // Within 20 pixels of the view's top edge: a new row between the top row
  // and the view, as high as the outline.
  DockRequest edge{};
  ASSERT_TRUE(test(boxes[1], 300, 90, &edge));
  EXPECT_EQ(edge.host, HandleValue(frame));
  POINT row_top{0, 85};
  frame.ClientToScreen(&row_top);
  EXPECT_EQ(edge.DragRect().top, row_top.y);
  ASSERT_TRUE(accept(&edge));
  EXPECT_EQ(InFrame(boxes[0]), (zel::rect{0, 0, 600, 80}));
  EXPECT_EQ(InFrame(boxes[1]), (zel::rect{0, 85, 600, 135}));
  EXPECT_EQ(InFrame(frame.Area()).top, 140);

  // Inside the top row: the row takes it beside its box.
  DockRequest inside{};
  ASSERT_TRUE(test(boxes[2], 300, 40, &inside));
  EXPECT_EQ(inside.host, HandleValue(top));
  ASSERT_TRUE(accept(&inside));
  EXPECT_EQ(::GetParent(boxes[2]), top);
  EXPECT_EQ(InFrame(boxes[2]), (zel::rect{300, 0, 600, 80}));
}

// A row hands a box's place to another box (as a tab box takes it over),
// and tells its own minimum.
TEST_F(DockingFrame, ARowReplacesABoxAndTellsItsMinimum) {
  boxes[3].minimum = {70, 30};
  ASSERT_TRUE(frame.Dock(boxes[0], BeforeCentre | OwnRow, 80));
  HWND row = ::GetParent(boxes[0]);
  DockRequest replace{};
  replace.window = HandleValue(boxes[0]);
  replace.code = dock_code::Replace;
  replace.SetWord(12, static_cast<std::uint32_t>(HandleValue(boxes[3])));
  ASSERT_TRUE(CGalleryFrame::Request(row, replace));
  EXPECT_EQ(::GetParent(boxes[3]), row);
  EXPECT_EQ(InFrame(boxes[3]), (zel::rect{0, 0, 600, 80}));
  EXPECT_FALSE(boxes[0].GetStyle() & WS_CHILD);

  DockRequest minimum{};
  minimum.code = dock_code::RowMinimum;
  ASSERT_TRUE(CGalleryFrame::Request(row, minimum));
  EXPECT_EQ(minimum.Word(12), 70u);
  EXPECT_EQ(minimum.Word(16), 30u);
}

// Splitter drags: the input waits in the queue, the button press runs the
// tracking loop that takes it. A probe message between the steps looks at
// the layout while the drag runs.
class CProbe : public WTL::CWindowImpl<CProbe, WTL::CWindow, WTL::CNullTraits> {
 public:
  BEGIN_MSG_MAP(CProbe)
  MESSAGE_HANDLER(WM_APP, OnProbe)
  END_MSG_MAP()
  LRESULT OnProbe(UINT, WPARAM, LPARAM, BOOL&) {
    seen.push_back(look());
    return 0;
  }
  std::function<int()> look;
  std::vector<int> seen;
};

class SplitterDrag : public DockingFrame {
 protected:
  void SetUp() override {
    DockingFrame::SetUp();
    boxes[0].minimum = {0, 30};
    ASSERT_TRUE(frame.Dock(boxes[0], BeforeCentre | OwnRow, 100));
    probe.Create(HWND_MESSAGE, RECT{0, 0, 0, 0});
    probe.look = [this] { return InFrame(boxes[0]).bottom; };
  }
  void TearDown() override {
    probe.DestroyWindow();
    DockingFrame::TearDown();
  }
  void Post(UINT message, WPARAM wParam, int x, int y, HWND to = nullptr) {
    ::PostMessageW(to ? to : frame.m_hWnd, message, wParam, MAKELPARAM(x, y));
  }
  void ProbeNow() { probe.PostMessage(WM_APP); }
  // Presses the left button at (x, y) of `owner` with the pointer there.
  void Press(int x, int y, HWND owner = nullptr) {
    owner = owner ? owner : frame.m_hWnd;
    POINT at{x, y};
    ::ClientToScreen(owner, &at);
    ::SetCursorPos(at.x, at.y);
    ::SendMessageW(owner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    // What a canceled drag left in the queue.
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
  void FullDrag() { DockingSettings::Global().flags = DockingSettings::FixedDragMode | DockingSettings::FullDrag; }

  CProbe probe;
};

TEST_F(SplitterDrag, FullDragMovesTheRowsAtEveryStep) {
  FullDrag();
  Post(WM_MOUSEMOVE, MK_LBUTTON, 300, 152);
  ProbeNow();
  Post(WM_LBUTTONUP, 0, 300, 152);
  Press(300, 102);
  EXPECT_EQ(probe.seen, std::vector<int>{150});
  EXPECT_EQ(InFrame(boxes[0]).bottom, 150);
  EXPECT_EQ(InFrame(frame.Area()).top, 155);
}

TEST_F(SplitterDrag, GhostDragIsTheDefaultAndMovesOnRelease) {
  ASSERT_TRUE(DockingSettings::Global().IsGhostDrag());
  Post(WM_MOUSEMOVE, MK_LBUTTON, 300, 152);
  ProbeNow();
  Post(WM_LBUTTONUP, 0, 300, 152);
  Press(300, 102);
  EXPECT_EQ(probe.seen, std::vector<int>{100});
  EXPECT_EQ(InFrame(boxes[0]).bottom, 150);
}

TEST_F(SplitterDrag, TheBarStaysInItsRange) {
  for (bool full : {true, false}) {
    if (full) FullDrag();
    Post(WM_MOUSEMOVE, MK_LBUTTON, 300, -300);
    Post(WM_LBUTTONUP, 0, 300, -300);
    Press(300, 102);
    EXPECT_EQ(InFrame(boxes[0]).bottom, 30) << full;  // the row's minimum
    const int bar = InFrame(boxes[0]).bottom + 2;
    Post(WM_MOUSEMOVE, MK_LBUTTON, 300, 900);
    Post(WM_LBUTTONUP, 0, 300, 900);
    Press(300, bar);
    EXPECT_EQ(InFrame(boxes[0]).bottom, 395) << full;  // the centre has no minimum
    Post(WM_LBUTTONUP, 0, 300, 102);
    Press(300, 397);
    ASSERT_EQ(InFrame(boxes[0]).bottom, 100) << full;
  }
}

TEST_F(SplitterDrag, EscapeASecondButtonOrAltLeaveTheLayoutAsItWas) {
  const std::pair<UINT, WPARAM> cancels[] = {
      {WM_KEYDOWN, VK_ESCAPE}, {WM_RBUTTONDOWN, MK_RBUTTON}, {WM_SYSKEYDOWN, VK_MENU}};
  for (bool full : {true, false}) {
    if (full) FullDrag();
    for (const auto& cancel : cancels) {
      Post(WM_MOUSEMOVE, MK_LBUTTON, 300, 200);
      Post(cancel.first, cancel.second, 300, 200);
      Post(WM_LBUTTONUP, 0, 300, 200);
      Press(300, 102);
      EXPECT_EQ(InFrame(boxes[0]).bottom, 100) << full << " " << cancel.first;
      EXPECT_EQ(::GetCapture(), nullptr);
    }
    DockingSettings::Global().flags = 0;
    DockingSettings::Global().Refresh();
  }
}

TEST_F(SplitterDrag, TheFirstEntryHasNoBar) {
  // The top row's bar would lie above the client area; its first pixels
  // are no bar, so the press starts no drag and the input stays queued.
  Post(WM_MOUSEMOVE, MK_LBUTTON, 300, 50);
  Post(WM_LBUTTONUP, 0, 300, 50);
  frame.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 0));
  MSG msg;
  EXPECT_TRUE(::PeekMessageW(&msg, frame, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
  EXPECT_EQ(InFrame(boxes[0]).bottom, 100);
}

TEST_F(SplitterDrag, ABarInsideARowMovesItsBoxes) {
  FullDrag();
  ASSERT_TRUE(frame.Dock(boxes[4], BeforeCentre, 100, 0, 0.5f, 200));
  HWND row = ::GetParent(boxes[0]);
  ASSERT_EQ(InFrame(boxes[0]).right, 298);
  Post(WM_MOUSEMOVE, MK_LBUTTON, 350, 40, row);
  Post(WM_LBUTTONUP, 0, 350, 40, row);
  Press(300, 40, row);
  EXPECT_EQ(InFrame(boxes[0]).right, 348);
  EXPECT_EQ(InFrame(boxes[4]).left, 353);
}

TEST_F(DockingFrame, ThePointerOverABarShowsTheSizingCursor) {
  ASSERT_TRUE(frame.Dock(boxes[0], BeforeCentre | OwnRow, 100));
  ASSERT_TRUE(frame.Dock(boxes[2], Inner | BeforeCentre | OwnRow, 100));
  const HCURSOR ns = ::LoadCursorW(nullptr, IDC_SIZENS), we = ::LoadCursorW(nullptr, IDC_SIZEWE);
  const std::pair<POINT, HCURSOR> places[] = {{{300, 102}, ns}, {{102, 250}, we}};
  for (const auto& place : places) {
    POINT at = place.first;
    frame.ClientToScreen(&at);
    ::SetCursorPos(at.x, at.y);
    EXPECT_TRUE(PumpUntil([&] { return ::GetCursor() == place.second; })) << place.first.x;
  }
}

}  // namespace
}  // namespace dockwins::testing
