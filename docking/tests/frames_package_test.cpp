// Facts about frame packages: rows docked around the centre, resizing,
// inserting and removing entries, splitter bars and their range, drop
// bands, dock positions and their ratios, and the drag rectangle limit.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "core/frames_package.h"

namespace {
using namespace dockwins;

struct Entry {
  std::int32_t min = 20;
  std::int32_t MinExtent() const { return min; }
};
using Package = FramesPackage<Entry>;
using Span = std::pair<std::int32_t, std::int32_t>;

// Each entry's span along the axis.
std::vector<Span> Spans(const Package& package) {
  std::vector<Span> spans;
  for (const zel::rect& r : package.Arrange())
    spans.push_back(package.Horizontal() ? Span{r.left, r.right} : Span{r.top, r.bottom});
  return spans;
}

void Dock(Package& frame, bool before_centre, std::int32_t extent) {
  const DockPlan plan = frame.PlanDockWindow(before_centre, false, 0, extent);
  ASSERT_TRUE(plan.new_row);
  frame.Insert(plan.where, Entry{25}, plan.pos, plan.size);
}

// The frame's outer package, 0 to 600 high: a centre of minimum 50 with a
// 100-pixel top row and an 80-pixel bottom row of minimum 25.
struct OuterPackage : ::testing::Test {
  Package frame{false};
  void SetUp() override {
    frame.UpdateLayout({0, 0, 300, 600});
    frame.Insert(0, Entry{50}, 0, 0, true);
    Dock(frame, true, 100);
    Dock(frame, false, 80);
  }
};

TEST_F(OuterPackage, RowsDockBeforeAndAfterTheCentre) {
  EXPECT_EQ(Spans(frame), (std::vector<Span>{{0, 100}, {105, 515}, {520, 600}}));
  EXPECT_EQ(frame.Central(), 1u);
}

TEST_F(OuterPackage, ResizingGivesTheChangeToTheCentreDownToItsMinimum) {
  frame.UpdateLayout({0, 0, 300, 700});
  EXPECT_EQ(Spans(frame), (std::vector<Span>{{0, 100}, {105, 615}, {620, 700}}));
  frame.UpdateLayout({0, 0, 300, 600});
  frame.UpdateLayout({0, 0, 300, 200});
  EXPECT_EQ(Spans(frame), (std::vector<Span>{{0, 82}, {87, 137}, {142, 200}}));
  frame.UpdateLayout({0, 0, 300, 100});
  EXPECT_EQ(Spans(frame), (std::vector<Span>{{0, 25}, {30, 80}, {85, 110}}));
  EXPECT_EQ(frame.End(), 110);
}

TEST_F(OuterPackage, RemovedRowLeavesItsSpaceToTheCentre) {
  frame.Remove(0);
  EXPECT_EQ(Spans(frame), (std::vector<Span>{{0, 515}, {520, 600}}));
  frame.Remove(1);
  EXPECT_EQ(Spans(frame), (std::vector<Span>{{0, 600}}));
}

TEST_F(OuterPackage, DropWithinTwentyPixelsOfARowsEdgeOpensANewRow) {
  auto at = [&](std::int32_t y) { return frame.LocateDrop({10, y}); };
  EXPECT_EQ(at(515 + 19).kind, DropPlace::Before);
  EXPECT_EQ(at(515 + 19).index, 2u);
  EXPECT_EQ(at(515 + 20).kind, DropPlace::Inside);
  EXPECT_EQ(at(515 + 20).index, 2u);
  EXPECT_EQ(at(100 - 20).kind, DropPlace::Inside);
  EXPECT_EQ(at(100 - 19).index, 1u);  // the top row's trailing band: before the centre
  EXPECT_EQ(at(-20).index, 0u);       // just outside: before the first row
  EXPECT_EQ(at(619).index, 3u);       // just outside the other end: after the last
  EXPECT_EQ(at(620).kind, DropPlace::None);
  EXPECT_EQ(frame.DropSpan(1, 60), (Span{105, 165}));  // before the centre: behind its bar
  EXPECT_EQ(frame.DropSpan(2, 60), (Span{455, 515}));  // after it: up to the next bar
  EXPECT_EQ(frame.DropSpan(3, 60), (Span{540, 600}));
  EXPECT_TRUE(frame.CanOpenRow(400));
  EXPECT_FALSE(frame.CanOpenRow(501));
}

TEST_F(OuterPackage, DockPositionsNameTheRowFromItsSide) {
  const RowPosition top = frame.RowDockPosition(0), bottom = frame.RowDockPosition(2);
  EXPECT_TRUE(top.before_centre);
  EXPECT_EQ(top.row_index, 0);
  EXPECT_EQ(top.row_extent, 100);
  EXPECT_FALSE(bottom.before_centre);
  EXPECT_EQ(bottom.row_index, 0);
  EXPECT_EQ(bottom.row_extent, 80);
  // Docking by index 0 again finds the existing rows; a second row outward
  // on the bottom side is index 1, past the centre a new row is opened.
  EXPECT_FALSE(frame.PlanDockWindow(true, false, 0, 30).new_row);
  EXPECT_EQ(frame.PlanDockWindow(false, false, 0, 30).where, 2u);
  const DockPlan outward = frame.PlanDockWindow(false, true, 0, 30);
  EXPECT_TRUE(outward.new_row);
  EXPECT_EQ(outward.where, 3u);
  EXPECT_EQ(outward.pos, 565);
  const DockPlan inward = frame.PlanDockWindow(false, false, 7, 30);
  EXPECT_TRUE(inward.new_row);
  EXPECT_EQ(inward.where, 2u);
  EXPECT_EQ(inward.pos, 480);
  EXPECT_EQ(inward.size, 35);
}

// A row 0 to 400 wide of boxes of minimum 20.
struct Row : ::testing::Test {
  Package row{true};
  void SetUp() override { row.UpdateLayout({0, 0, 400, 30}); }
  void Add(std::int32_t pos, std::int32_t size) { row.Insert(row.PlaceFor(pos), Entry{}, pos, size); }
};

TEST_F(Row, OneBoxFillsTheRowWithoutABar) {
  Add(100, 50);
  EXPECT_EQ(Spans(row), (std::vector<Span>{{0, 400}}));
  EXPECT_TRUE(row.Bars().empty());
  Add(200, 200);
  EXPECT_EQ(Spans(row), (std::vector<Span>{{0, 200}, {205, 400}}));
  ASSERT_EQ(row.Bars().size(), 1u);
  EXPECT_EQ(row.Bars()[0].rect, (zel::rect{200, 0, 205, 30}));
  EXPECT_FALSE(row.Bars()[0].horizontal);
}

TEST_F(Row, InsertedBoxGetsAtMostTheFreeSpace) {
  Add(-5, 0);
  Add(200, 200);
  row.Insert(1, Entry{}, -50, 1000);
  EXPECT_EQ(row.Frames()[1].pos, 20);
  EXPECT_EQ(Spans(row), (std::vector<Span>{{0, 20}, {25, 375}, {380, 400}}));
}

TEST_F(Row, ShrinkingScalesPositionsInProportion) {
  Add(-5, 0);
  Add(200, 100);
  Add(300, 100);
  ASSERT_EQ(row.Positions(), (std::vector<std::int32_t>{-5, 200, 300}));
  row.UpdateLayout({0, 0, 200, 30});
  EXPECT_EQ(Spans(row), (std::vector<Span>{{0, 98}, {103, 149}, {154, 200}}));
}

TEST_F(Row, SplitterBarMovesWithinTheMinimaOfBothSides) {
  Add(-5, 0);
  Add(200, 100);
  Add(300, 100);
  EXPECT_EQ(row.SplitterRange(1), (Span{20, 350}));
  EXPECT_EQ(row.BarAt(199), row.Count());
  EXPECT_EQ(row.BarAt(204), 1u);
  EXPECT_EQ(row.BarAt(-5), row.Count());  // the first entry has no bar
  const auto start = row.Positions();
  EXPECT_EQ(row.MoveBar(1, 999), 350);
  EXPECT_EQ(row.Positions(), (std::vector<std::int32_t>{-5, 350, 375}));
  row.SetPositions(start);
  EXPECT_EQ(row.MoveBar(1, -100), 20);
  EXPECT_EQ(row.Positions(), (std::vector<std::int32_t>{-5, 20, 300}));
  EXPECT_EQ(row.MoveBar(2, 0), 45);
  EXPECT_EQ(row.Positions(), (std::vector<std::int32_t>{-5, 20, 45}));
}

TEST_F(Row, TakesADroppedBoxWhileItsMinimumStillFits) {
  Add(-5, 0);
  Add(200, 100);
  const zel::rect client{0, 0, 400, 30};
  EXPECT_TRUE(row.RowTakesDrop({10, 10}, client, {354, 30}));
  EXPECT_FALSE(row.RowTakesDrop({10, 10}, client, {355, 30}));  // 2 x 25 + 355 is the whole row
  EXPECT_FALSE(row.RowTakesDrop({10, 10}, client, {20, 31}));   // taller than the row
  EXPECT_FALSE(row.RowTakesDrop({10, 30}, client, {20, 20}));   // outside the row
}

TEST_F(Row, RemovedBoxLeavesItsSpaceToTheBoxBefore) {
  Add(-5, 0);
  Add(200, 100);
  Add(300, 100);
  row.Remove(1);
  EXPECT_EQ(Spans(row), (std::vector<Span>{{0, 300}, {305, 400}}));
  row.Remove(0);
  EXPECT_EQ(Spans(row), (std::vector<Span>{{0, 400}}));
}

TEST_F(Row, BoxPositionSurvivesTheTripThroughItsRatio) {
  Add(-5, 0);
  Add(206, 100);
  const BoxPosition box = row.BoxDockPosition(1);
  EXPECT_EQ(box.box_extent, 189);
  EXPECT_FALSE(box.alone);
  row.Remove(1);
  const DockPlan plan = row.PlanRowDock(box.position_ratio, box.box_extent);
  row.Insert(plan.where, Entry{}, plan.pos, plan.size);
  EXPECT_EQ(Spans(row), (std::vector<Span>{{0, 206}, {211, 400}}));
  // Every position of rows up to 600 pixels comes back from its ratio.
  std::int32_t lost = 0;
  for (std::int32_t extent = 1; extent <= 600; ++extent)
    for (std::int32_t p = 0; p <= extent; ++p) lost += PositionFromRatio(RatioOfPosition(p, 0, extent), 0, extent) != p;
  EXPECT_EQ(lost, 0);
  EXPECT_EQ(PositionFromRatio(RatioOfPosition(13, 0, 22), 0, 22), 13);
}

TEST(DockRatio, DamagedRatiosStayWithinTheRow) {
  EXPECT_EQ(PositionFromRatio(std::numeric_limits<float>::quiet_NaN(), 10, 110), 10);
  EXPECT_EQ(PositionFromRatio(-1.0f, 10, 110), 10);
  EXPECT_EQ(PositionFromRatio(std::numeric_limits<float>::infinity(), 10, 110), 110);
  EXPECT_EQ(RatioOfPosition(5, 5, 5), 0.0f);
  EXPECT_EQ(ClampExtent(-3), 0);
  EXPECT_EQ(ClampExtent(0x7FFFFFFF), MaxExtent);
}

TEST(PackageMinimumSize, SumsAlongTheAxisAndTakesTheLargestAcross) {
  zel::size minimum{7, 9};
  PackageMinimum(true, {}, minimum);
  EXPECT_EQ(minimum, (zel::size{7, 9}));
  PackageMinimum(true, {{20, 30}, {40, 10}}, minimum);
  EXPECT_EQ(minimum, (zel::size{65, 30}));
  PackageMinimum(false, {{20, 30}, {40, 10}}, minimum);
  EXPECT_EQ(minimum, (zel::size{40, 45}));
}

TEST(DragRectangle, LimitedToAThirdOfTheFrameButNotBelowTheSystemMinimum) {
  EXPECT_EQ(AdjustDragRect({10, 20, 410, 320}, {800, 600}, {116, 27}), (zel::rect{10, 20, 276, 220}));
  EXPECT_EQ(AdjustDragRect({10, 20, 410, 320}, {300, 60}, {116, 27}), (zel::rect{10, 20, 126, 47}));
  EXPECT_EQ(AdjustDragRect({10, 20, 60, 30}, {300, 60}, {116, 27}), (zel::rect{10, 20, 60, 30}));
}

}  // namespace
