// Facts about docking box geometry: the caption's close button and its
// cross, the floating outline during a drag, the tab docking box's strip
// height and placement and the rule that moves a dragged tab.
#include <gtest/gtest.h>

#include "core/caption.h"

namespace {
using namespace dockwins;

TEST(CaptionCloseButton, SitsSquareAtTheTrailingEndOfTheBand) {
  const zel::rect band = CaptionBand({0, 0, 100, 300}, true, CaptionThickness(15));
  EXPECT_EQ(band, (zel::rect{0, 0, 100, 20}));
  const zel::rect close = CaptionCloseButton(band, true);
  EXPECT_EQ(close, (zel::rect{86, 4, 98, 16}));
  EXPECT_EQ(CaptionTextRect(band, close, true), (zel::rect{5, 0, 84, 20}));

  const zel::rect vertical = CaptionBand({0, 0, 300, 200}, false, 20);
  EXPECT_EQ(vertical, (zel::rect{0, 0, 20, 200}));
  const zel::rect top = CaptionCloseButton(vertical, false);
  EXPECT_EQ(top, (zel::rect{4, 2, 16, 14}));
  EXPECT_EQ(CaptionTextRect(vertical, top, false), (zel::rect{0, 16, 20, 197}));
}

TEST(CaptionCloseButton, SmallCaptionsDrawACrossThatMovesWhenPressed) {
  EXPECT_TRUE(CloseButtonDrawsCross(15));
  EXPECT_FALSE(CloseButtonDrawsCross(16));
  const auto cross = CaptionCloseCross({86, 4, 98, 16}, false);
  EXPECT_EQ(cross[0], (Line{{88, 7}, {95, 14}}));
  EXPECT_EQ(cross[1], (Line{{88, 13}, {95, 6}}));
  const auto pressed = CaptionCloseCross({86, 4, 98, 16}, true);
  EXPECT_EQ(pressed[0], (Line{{89, 8}, {96, 15}}));
  EXPECT_EQ(pressed[1], (Line{{89, 14}, {96, 7}}));
  // 7 x 14 = 98 tenths of a point at 96 pixels per inch.
  EXPECT_EQ(CloseGlyphHeight(14, 96), 13);
}

TEST(BoxDrag, OutlineKeepsTheGrabPointInPlace) {
  EXPECT_EQ(DragOutline({100, 100, 400, 300}, {250, 110}, {150, 120}), (zel::rect{175, 104, 325, 224}));
  EXPECT_EQ(DragOutline({100, 100, 100, 100}, {250, 110}, {150, 120}), (zel::rect{250, 110, 400, 230}));
}

TEST(FlyingTabStrip, HeightFollowsTheFontAscentByHalf) {
  EXPECT_EQ(FlyingTabStripHeight(true, 11), 24);
  EXPECT_EQ(FlyingTabStripHeight(true, 13), 26);
  EXPECT_EQ(FlyingTabStripHeight(true, 8), 20);
  EXPECT_EQ(FlyingTabStripHeight(false, 13), 24);
  EXPECT_EQ(FlyingTabStripHeight(true, 240), 273 - 256);  // kept to the low byte
}

TEST(TabDockingBox, StripLiesAlongTheEdgeItsStyleNamesAndTheViewFillsTheRest) {
  const zel::rect client{0, 0, 200, 100};
  const TabBoxPlaces top = PlaceTabBoxStrip(client, 0x4000, 24);
  EXPECT_EQ(top.strip, (zel::rect{0, 0, 200, 24}));
  EXPECT_EQ(top.view, (zel::rect{0, 24, 200, 100}));
  const TabBoxPlaces bottom = PlaceTabBoxStrip(client, 0x4002, 24);
  EXPECT_EQ(bottom.strip, (zel::rect{0, 76, 200, 100}));
  EXPECT_EQ(bottom.view, (zel::rect{0, 0, 200, 76}));
  const TabBoxPlaces left = PlaceTabBoxStrip(client, 0x4080, 24);
  EXPECT_EQ(left.strip, (zel::rect{0, 0, 24, 100}));
  EXPECT_EQ(left.view, (zel::rect{24, 0, 200, 100}));
  const TabBoxPlaces right = PlaceTabBoxStrip(client, 0x4082, 24);
  EXPECT_EQ(right.strip, (zel::rect{176, 0, 200, 100}));
  EXPECT_EQ(right.view, (zel::rect{0, 0, 176, 100}));
  // A box thinner than the strip gives it all and leaves the view empty.
  const TabBoxPlaces thin = PlaceTabBoxStrip({0, 0, 200, 10}, 0x4002, 24);
  EXPECT_EQ(thin.strip, (zel::rect{0, 0, 200, 10}));
  EXPECT_EQ(thin.view, (zel::rect{0, 0, 200, 0}));
}

TEST(TabReorder, SwappedTabsFlipBackOnlyWhenThePointerMovesTowardThem) {
  TabReorderRule rule;
  rule.Begin(50);
  EXPECT_EQ(rule.Step(2, 2, 55), -1);   // over the dragged tab itself
  EXPECT_EQ(rule.Step(2, 3, 70), 3);    // over the right neighbour: swap
  rule.Moved(2);                        // the neighbour now lies under the pointer
  EXPECT_EQ(rule.Step(3, 2, 72), -1);   // still moving right: (72 - 70) x (2 - 3) < 1
  EXPECT_EQ(rule.Step(3, 2, 72), -1);   // not moving: 0 < 1
  EXPECT_EQ(rule.Step(3, 2, 71), 2);    // moving back left: (71 - 72) x (2 - 3) = 1
  EXPECT_EQ(rule.Step(3, -1, 40), -1);  // over no tab
}

}  // namespace
