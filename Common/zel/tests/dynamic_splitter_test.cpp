// Facts about the splitter's bar: where it is placed, how it snaps and is
// limited, how it keeps its place through resizes, and what the mouse hits
// and drags.
#include <gtest/gtest.h>

#include "core/dynamic_splitter.h"
#include "core/mul_div.h"

namespace {
using zel::dynamic_splitter;
using zel::rect;

// A vertical bar 4 pixels wide, with an edge of `edge` pixels (twice the
// edge metric with a client edge), in a window `width` wide.
dynamic_splitter vertical_splitter(int width, int edge = 0, unsigned style = zel::splitter_proportional) {
  dynamic_splitter s;
  s.SetSplitterExtendedStyle(style | zel::splitter_vertical);
  s.GetSystemSettings({{4, 3}, {edge / 2, 1}, edge > 0, true});
  s.resize({0, 0, width, 300});
  return s;
}

TEST(MulDiv, RoundsToNearestWithHalvesAwayFromZero) {
  EXPECT_EQ(zel::mul_div(1, 1, 2), 1);
  EXPECT_EQ(zel::mul_div(-1, 1, 2), -1);
  EXPECT_EQ(zel::mul_div(1, -1, -2), 1);
  EXPECT_EQ(zel::mul_div(5, 1, 4), 1);
  EXPECT_EQ(zel::mul_div(-7, 1, 4), -2);
  EXPECT_EQ(zel::mul_div(7, 0, 0), -1);
  EXPECT_EQ(zel::mul_div(0x40000000, 4, 2), -1);
  EXPECT_EQ(zel::mul_div(0x40000000, 4, 4), 0x40000000);
}

TEST(SplitterPlacement, TheMiddleIsHalfTheExtentLessTheBar) {
  auto s = vertical_splitter(404);
  EXPECT_EQ(s.GetSplitterPos(), -1);
  EXPECT_TRUE(s.SetSplitterPos(-1));
  EXPECT_EQ(s.GetSplitterPos(), 200);
  EXPECT_FALSE(s.SetSplitterPos(200));
  auto edged = vertical_splitter(404, 4);
  edged.SetSplitterPos(-1);
  EXPECT_EQ(edged.GetSplitterPos(), 198);
}

TEST(SplitterPlacement, OncePlacedPositionsSnapToTheStep) {
  auto s = vertical_splitter(404, 4);
  s.set_step(10);
  s.SetSplitterPos(127);
  EXPECT_EQ(s.GetSplitterPos(), 127) << "the first placement is not snapped";
  s.SetSplitterPos(127);
  EXPECT_EQ(s.GetSplitterPos(), 130);
  s.SetSplitterPos(126);
  EXPECT_EQ(s.GetSplitterPos(), 120);

  // Without an edge the threshold is the whole step: never rounded up.
  auto plain = vertical_splitter(404);
  plain.set_step(10);
  plain.SetSplitterPos(-1);
  plain.SetSplitterPos(129);
  EXPECT_EQ(plain.GetSplitterPos(), 120);
}

TEST(SplitterPlacement, PaneMinimumsLimitThePosition) {
  auto s = vertical_splitter(404);
  s.set_pane_minimums(50, 30);
  s.SetSplitterPos(10);
  EXPECT_EQ(s.GetSplitterPos(), 50);
  s.SetSplitterPos(400);
  EXPECT_EQ(s.GetSplitterPos(), 370);
  // A single pane's minimum serves on both sides.
  s.SetSinglePaneMode(1);
  s.SetSplitterPos(10);
  EXPECT_EQ(s.GetSplitterPos(), 30);
}

TEST(SplitterKeeping, AProportionalBarKeepsItsShareThroughResizes) {
  auto s = vertical_splitter(404);
  s.SetSplitterPos(120);
  EXPECT_EQ(s.kept_position(), 3000);
  s.resize({0, 0, 804, 300});
  EXPECT_EQ(s.GetSplitterPos(), 240);
  EXPECT_EQ(s.kept_position(), 3000) << "a resize places the bar without changing what it keeps";
  s.SetSplitterPos(100);
  EXPECT_EQ(s.kept_position(), 1250);
  // The share is rounded as the system's MulDiv rounds: 1250 of 333 is 41.625.
  s.resize({0, 0, 337, 300});
  EXPECT_EQ(s.GetSplitterPos(), 42);
}

TEST(SplitterKeeping, ARightAlignedBarKeepsTheSecondPane) {
  auto s = vertical_splitter(404, 0, zel::splitter_right_aligned);
  s.SetSplitterPos(300);
  EXPECT_EQ(s.kept_position(), 100);
  s.resize({0, 0, 804, 300});
  EXPECT_EQ(s.GetSplitterPos(), 700);

  auto both = vertical_splitter(404, 0, zel::splitter_right_aligned | zel::splitter_proportional);
  both.SetSplitterPos(300);
  EXPECT_EQ(both.kept_position(), 7500) << "proportional wins";
}

TEST(SplitterKeeping, ABarNeverPlacedStaysUnplacedThroughResizes) {
  auto s = vertical_splitter(404);
  s.resize({0, 0, 804, 300});
  EXPECT_EQ(s.GetSplitterPos(), -1);
  EXPECT_FALSE(s.ready());
  s.SetSplitterPos(-1);
  EXPECT_EQ(s.GetSplitterPos(), 400);
}

TEST(SplitterSettings, TheBarTakesTheFrameMetricOfItsOrientationAndTheEdgeOnlyWithAClientEdge) {
  auto s = vertical_splitter(404, 4);
  EXPECT_EQ(s.bar_width(), 4);
  EXPECT_EQ(s.bar_edge(), 4);
  s.set_pane_minimums(10, 20);
  s.GetSystemSettings({{4, 3}, {2, 1}, false, false});
  EXPECT_EQ(s.bar_edge(), 0);
  EXPECT_FALSE(s.full_drag());
  // Losing the edge: the second minimum grows by it, the first follows.
  s.SetSplitterPos(0);
  EXPECT_EQ(s.GetSplitterPos(), 24);
  s.SetSplitterPos(400);
  EXPECT_EQ(s.GetSplitterPos(), 404 - 4 - 24);

  dynamic_splitter horizontal;
  horizontal.SetSplitterExtendedStyle(zel::splitter_proportional);
  horizontal.GetSystemSettings({{4, 3}, {2, 1}, true, true});
  EXPECT_EQ(horizontal.bar_width(), 3);
  EXPECT_EQ(horizontal.bar_edge(), 2);
}

TEST(SplitterMouse, TheBarIsHitFromItsStartToBeforeItsEnd) {
  auto s = vertical_splitter(404);
  EXPECT_FALSE(s.IsOverSplitterBar(201, 10)) << "not before the first placement";
  s.SetSplitterPos(-1);
  EXPECT_FALSE(s.IsOverSplitterBar(199, 10));
  EXPECT_TRUE(s.IsOverSplitterBar(200, 10));
  EXPECT_TRUE(s.IsOverSplitterBar(203, 300));
  EXPECT_FALSE(s.IsOverSplitterBar(204, 10));
  EXPECT_FALSE(s.IsOverSplitterBar(201, 301));
  EXPECT_TRUE(s.IsOverSplitterBar(201, -1)) << "-1 is not tested";
  s.SetSinglePaneMode(0);
  EXPECT_FALSE(s.IsOverSplitterBar(201, 10));
}

TEST(SplitterMouse, ADragMovesByTheGripOffsetAndMinusOneIsNotTheMiddle) {
  auto s = vertical_splitter(404);
  s.SetSplitterPos(-1);
  s.begin_drag(202);
  EXPECT_EQ(s.drag_position(252), 250);
  EXPECT_EQ(s.drag_position(1), -2);
  s.SetSplitterPos(s.drag_position(1));
  EXPECT_EQ(s.GetSplitterPos(), 0);
}

TEST(SplitterMouse, TheMouseActsOnlyOnAnInteractiveSplitterWithAPositiveStep) {
  auto s = vertical_splitter(404);
  EXPECT_TRUE(s.interactive());
  s.set_step(0);
  EXPECT_FALSE(s.interactive());
  auto fixed = vertical_splitter(404, 0, zel::splitter_non_interactive);
  EXPECT_FALSE(fixed.interactive());
}

TEST(SplitterGeometry, PanesLieEitherSideOfTheBarOrOneFillsTheWindow) {
  auto s = vertical_splitter(404, 4);
  s.resize({0, 0, 404, 300});
  s.SetSplitterPos(100);
  EXPECT_EQ(s.pane_rect(0), (rect{0, 0, 100, 300}));
  EXPECT_EQ(s.bar_rect(), (rect{100, 0, 108, 300}));
  EXPECT_EQ(s.pane_rect(1), (rect{108, 0, 404, 300}));
  EXPECT_EQ(s.pane_at(99, 5), 0);
  EXPECT_EQ(s.pane_at(104, 5), -1);
  EXPECT_EQ(s.pane_at(108, 5), 1);

  dynamic_splitter h;
  h.SetSplitterExtendedStyle(zel::splitter_proportional);
  h.GetSystemSettings({{4, 3}, {2, 1}, false, true});
  h.resize({0, 0, 200, 100});
  h.SetSplitterPos(40);
  EXPECT_EQ(h.pane_rect(0), (rect{0, 0, 200, 40}));
  EXPECT_EQ(h.pane_rect(1), (rect{0, 43, 200, 100}));
  h.SetSinglePaneMode(1);
  EXPECT_EQ(h.pane_rect(1), (rect{0, 0, 200, 100}));
  EXPECT_EQ(h.pane_rect(0), rect{});
  EXPECT_TRUE(h.bar_rect().empty());
}

}  // namespace
