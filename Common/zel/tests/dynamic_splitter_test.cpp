// Facts about the splitter's bar: where it is placed, how it snaps and is
// limited, how it keeps its place through resizes, and what the mouse hits
// and drags.
#include <gtest/gtest.h>

#include "core/dynamic_splitter.h"
#include "core/mul_div.h"

namespace {
using zel::dynamic_splitter;
using zel::rect;

// A vertical bar 4 pixels wide with an edge of `edge` pixels (a client
// edge of half that metric) in a window `width` wide.
dynamic_splitter vertical_splitter(int width, int edge = 0, unsigned style = zel::splitter_proportional) {
  dynamic_splitter s;
  s.SetSplitterExtendedStyle(style | zel::splitter_vertical);
  s.GetSystemSettings({{4, 3}, {edge / 2, 1}, edge > 0, true});
  s.resize({0, 0, width, 300});
  return s;
}

int place(dynamic_splitter& s, int position) {
  s.SetSplitterPos(position);
  return s.GetSplitterPos();
}

TEST(MulDiv, RoundsToNearestWithHalvesAwayFromZeroAndFailsAsMinusOne) {
  EXPECT_EQ(zel::mul_div(1, 1, 2), 1);
  EXPECT_EQ(zel::mul_div(1, -1, 2), -1);
  EXPECT_EQ(zel::mul_div(-7, 1, -4), 2);
  EXPECT_EQ(zel::mul_div(7, 1, 0), -1);
  EXPECT_EQ(zel::mul_div(0x40000000, 4, 2), -1);
}

TEST(SplitterPlacement, TheMiddleIsHalfTheExtentLessTheBar) {
  auto s = vertical_splitter(404);
  EXPECT_EQ(s.GetSplitterPos(), -1);
  EXPECT_TRUE(s.SetSplitterPos(-1));
  EXPECT_FALSE(s.SetSplitterPos(200));
  auto edged = vertical_splitter(404, 4);
  EXPECT_EQ(place(edged, -1), 198);
}

TEST(SplitterPlacement, OncePlacedPositionsSnapToTheStep) {
  auto s = vertical_splitter(404, 4);
  s.set_step(10);
  EXPECT_EQ(place(s, 127), 127) << "the first placement is not snapped";
  EXPECT_EQ(place(s, 127), 130);
  EXPECT_EQ(place(s, 126), 120);
  auto plain = vertical_splitter(404);
  plain.set_step(10);
  place(plain, -1);
  EXPECT_EQ(place(plain, 129), 120) << "without an edge the threshold is the whole step";
}

TEST(SplitterPlacement, PaneMinimumsLimitThePosition) {
  auto s = vertical_splitter(404);
  s.set_pane_minimums(50, 30);
  EXPECT_EQ(place(s, 10), 50);
  EXPECT_EQ(place(s, 400), 370);
  s.SetSinglePaneMode(1);
  EXPECT_EQ(place(s, 10), 30) << "a single pane's minimum serves on both sides";
}

TEST(SplitterKeeping, AProportionalBarKeepsItsShareThroughResizes) {
  auto s = vertical_splitter(404);
  place(s, 120);
  EXPECT_EQ(s.kept_position(), 3000);
  s.resize({0, 0, 804, 300});
  EXPECT_EQ(s.GetSplitterPos(), 240);
  EXPECT_EQ(s.kept_position(), 3000) << "a resize places the bar without changing what it keeps";
  place(s, 100);
  s.resize({0, 0, 337, 300});
  EXPECT_EQ(s.GetSplitterPos(), 42) << "1250 of 333 is 41.625, rounded as MulDiv rounds";
}

TEST(SplitterKeeping, ARightAlignedBarKeepsTheSecondPane) {
  auto s = vertical_splitter(404, 0, zel::splitter_right_aligned);
  place(s, 300);
  EXPECT_EQ(s.kept_position(), 100);
  s.resize({0, 0, 804, 300});
  EXPECT_EQ(s.GetSplitterPos(), 700);
  s.resize({0, 0, 103, 300});
  EXPECT_EQ(s.GetSplitterPos(), 0) << "99 - 100 is -1: limited, not centred";
  auto both = vertical_splitter(404, 0, zel::splitter_right_aligned | zel::splitter_proportional);
  place(both, 300);
  EXPECT_EQ(both.kept_position(), 7500) << "proportional wins";
}

TEST(SplitterKeeping, ABarNeverPlacedStaysUnplacedThroughResizes) {
  auto s = vertical_splitter(404);
  s.resize({0, 0, 804, 300});
  EXPECT_FALSE(s.ready());
  EXPECT_EQ(place(s, -1), 400);
}

TEST(SplitterSettings, TheBarTakesItsOrientationsMetricsAndLosingTheEdgeRaisesTheMinimums) {
  auto s = vertical_splitter(404, 4);
  s.set_pane_minimums(10, 20);
  s.GetSystemSettings({{4, 3}, {2, 1}, false, false});
  EXPECT_EQ(s.bar_edge(), 0);
  EXPECT_FALSE(s.full_drag());
  EXPECT_EQ(place(s, 0), 24);
  EXPECT_EQ(place(s, 400), 404 - 4 - 24);
  dynamic_splitter horizontal;
  horizontal.GetSystemSettings({{4, 3}, {2, 1}, true, true});
  EXPECT_EQ(horizontal.bar_width(), 3);
  EXPECT_EQ(horizontal.bar_edge(), 2);
}

TEST(SplitterMouse, TheBarIsHitFromItsStartToBeforeItsEnd) {
  auto s = vertical_splitter(404);
  EXPECT_FALSE(s.IsOverSplitterBar(201, 10)) << "not before the first placement";
  place(s, -1);
  EXPECT_FALSE(s.IsOverSplitterBar(199, 10));
  EXPECT_TRUE(s.IsOverSplitterBar(200, 300));
  EXPECT_TRUE(s.IsOverSplitterBar(203, -1));
  EXPECT_FALSE(s.IsOverSplitterBar(204, 10));
  EXPECT_FALSE(s.IsOverSplitterBar(201, 301));
  s.SetSinglePaneMode(0);
  EXPECT_FALSE(s.IsOverSplitterBar(201, 10));
}

TEST(SplitterMouse, ADragMovesByTheGripOffsetAndMinusOneIsNotTheMiddle) {
  auto s = vertical_splitter(404);
  place(s, -1);
  s.begin_drag(202);
  EXPECT_EQ(s.drag_position(252), 250);
  EXPECT_EQ(place(s, s.drag_position(1)), 0);
  EXPECT_TRUE(s.interactive());
  s.set_step(0);
  EXPECT_FALSE(s.interactive());
  EXPECT_FALSE(vertical_splitter(404, 0, zel::splitter_non_interactive).interactive());
}

TEST(SplitterGeometry, PanesLieEitherSideOfTheBarOrOneFillsTheWindow) {
  auto s = vertical_splitter(404, 4);
  place(s, 100);
  EXPECT_EQ(s.pane_rect(0), (rect{0, 0, 100, 300}));
  EXPECT_EQ(s.bar_rect(), (rect{100, 0, 108, 300}));
  EXPECT_EQ(s.pane_rect(1), (rect{108, 0, 404, 300}));
  EXPECT_EQ(s.pane_at(104, 5), -1);
  EXPECT_EQ(s.pane_at(108, 5), 1);
  dynamic_splitter h;
  h.resize({0, 0, 200, 100});
  place(h, 40);
  EXPECT_EQ(h.pane_rect(0), (rect{0, 0, 200, 40}));
  h.SetSinglePaneMode(1);
  EXPECT_EQ(h.pane_rect(1), (rect{0, 0, 200, 100}));
  EXPECT_TRUE(h.bar_rect().empty());
}

}  // namespace
