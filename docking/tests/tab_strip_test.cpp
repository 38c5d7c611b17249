// Facts about the tab strip arithmetic: tab widths in both layouts, the
// scroll range, bringing tabs into view, button places, hit testing, the
// state word, colours and the height of the tabbed area.
#include <gtest/gtest.h>

#include <vector>

#include "core/tab_strip.h"

namespace {
using namespace dockwins;

const TabMetrics metrics = TabMetrics::ForFontHeight(-11);

std::vector<std::int32_t> Widths(const TabStripLayout& layout) {
  std::vector<std::int32_t> widths;
  for (std::int32_t i = 0; i < layout.TabCount(); ++i) {
    zel::rect r;
    layout.GetItemRect(i, r);
    widths.push_back(r.width());
  }
  return widths;
}

TEST(TabStripFitting, SelectedTabKeepsItsWidthAndTheOthersShareTheRest) {
  struct Case {
    std::vector<std::int32_t> natural, fitted;
  } cases[] = {
      {{50, 70}, {50, 70}},                                                  // tabs that fit keep their widths
      {{80, 60, 100}, {58, 60, 72}},                                         // in proportion, rounded to nearest
      {{160, 60, 20}, {65, 60, 65}},                                         // one would fall below 22: equal shares
      {{150, 60, 30}, {108, 60, 22}},                                        // 21.67 rounds to the minimum 22
      {std::vector<std::int32_t>(9, 40), std::vector<std::int32_t>(9, 21)},  // not even 22 each: all equal
  };
  for (const Case& c : cases) {
    TabStripLayout layout;
    layout.UpdateLayout({0, 0, 200, 24}, tab_style::Bottom, false, 1, c.natural, metrics);
    EXPECT_EQ(Widths(layout), c.fitted);
    zel::rect first;
    layout.GetItemRect(0, first);
    EXPECT_EQ(first.left, 5);  // after the end margin
  }
}

// A 300 x 24 strip with tabs at the bottom and scroll buttons: the tabs
// lie in 0 to 267.
struct ScrollingStrip : ::testing::Test {
  TabStripLayout layout;
  std::vector<std::int32_t> tabs = std::vector<std::int32_t>(10, 60);
  void Layout() {
    layout.UpdateLayout({0, 0, 300, 24}, tab_style::Bottom | tab_style::ScrollButtons, false, 0, tabs, metrics);
  }
};

TEST_F(ScrollingStrip, ScrollingStopsWhenTheLastTabEndsAtTheMargin) {
  Layout();
  EXPECT_EQ(layout.ItemArea().right, 267);
  EXPECT_EQ(layout.ScrollFlags(), tab_state::CanScrollRight);
  std::vector<std::int32_t> offsets;
  for (int click = 0; click < 10; ++click) {
    layout.ScrollRight(40);
    Layout();
    offsets.push_back(layout.ScrollOffset());
  }
  EXPECT_EQ(offsets, (std::vector<std::int32_t>{-40, -80, -120, -160, -200, -240, -280, -320, -343, -343}));
  EXPECT_EQ(layout.ScrollFlags(), tab_state::CanScrollLeft);
  for (int click = 0; click < 10; ++click) {
    layout.ScrollLeft(40);
    Layout();
  }
  EXPECT_EQ(layout.ScrollOffset(), 0);
  EXPECT_EQ(layout.ScrollFlags(), tab_state::CanScrollRight);
}

TEST_F(ScrollingStrip, EnsureVisibleBringsATabInWithTwentyPixelsToSpare) {
  Layout();
  EXPECT_FALSE(layout.EnsureVisible(0));
  EXPECT_TRUE(layout.EnsureVisible(4));
  Layout();
  EXPECT_EQ(layout.ScrollOffset(), -58);
  for (int click = 0; click < 9; ++click) {
    layout.ScrollRight(40);
    Layout();
  }
  ASSERT_EQ(layout.ScrollOffset(), -343);
  EXPECT_TRUE(layout.EnsureVisible(2));
  Layout();
  EXPECT_EQ(layout.ScrollOffset(), -105);
}

TEST(TabStripButtons, CloseAndScrollButtonsSitAtTheRightEnd) {
  TabStripLayout bottom;
  bottom.UpdateLayout({0, 0, 300, 24}, tab_style::Bottom | tab_style::ScrollButtons | tab_style::CloseButton, true, 0,
                      {60}, metrics);
  EXPECT_EQ(bottom.CloseButton(), (zel::rect{282, 6, 297, 21}));
  EXPECT_EQ(bottom.ScrollRightButton(), (zel::rect{267, 6, 282, 21}));
  EXPECT_EQ(bottom.ScrollLeftButton(), (zel::rect{252, 6, 267, 21}));
  EXPECT_EQ(bottom.ItemArea(), (zel::rect{0, 0, 252, 24}));

  // Top tabs: the area loses 2 pixels at both ends, the buttons sit 1 lower
  // and 2 higher than the area's edges.
  TabStripLayout top;
  top.UpdateLayout({0, 0, 300, 24}, tab_style::CloseButton, true, 0, {60}, metrics);
  EXPECT_EQ(top.CloseButton(), (zel::rect{281, 4, 296, 19}));
  EXPECT_EQ(top.ItemArea(), (zel::rect{2, 0, 281, 24}));

  // No close button while the selected item cannot close, none in a strip
  // narrower than a button.
  TabStripLayout no_close;
  no_close.UpdateLayout({0, 0, 300, 24}, tab_style::Bottom | tab_style::CloseButton, false, 0, {60}, metrics);
  EXPECT_TRUE(no_close.CloseButton().empty());
  TabStripLayout narrow;
  narrow.UpdateLayout({0, 0, 14, 24}, tab_style::Bottom | tab_style::CloseButton, true, 0, {60}, metrics);
  EXPECT_TRUE(narrow.CloseButton().empty());
}

TEST(TabStripButtons, HitTestNamesTheTabOrButtonUnderThePoint) {
  TabStripLayout layout;
  layout.UpdateLayout({0, 0, 300, 24}, tab_style::Bottom | tab_style::ScrollButtons | tab_style::CloseButton, true, 0,
                      {100, 100, 100}, metrics);
  layout.ScrollRight(40);
  layout.UpdateLayout({0, 0, 300, 24}, tab_style::Bottom | tab_style::ScrollButtons | tab_style::CloseButton, true, 0,
                      {100, 100, 100}, metrics);
  const struct {
    zel::point p;
    std::int32_t index;
    std::uint32_t flags;
  } cases[] = {{{64, 10}, 0, tab_hit::Item},         {{65, 10}, 1, tab_hit::Item},
               {{290, 10}, -1, tab_hit::Close},      {{270, 10}, -1, tab_hit::ScrollRight},
               {{255, 10}, -1, tab_hit::ScrollLeft}, {{290, 2}, -1, tab_hit::Nowhere}};
  for (const auto& c : cases) {
    const TabHit hit = layout.HitTest(c.p);
    EXPECT_EQ(hit.index, c.index) << c.p.x;
    EXPECT_EQ(hit.flags, c.flags) << c.p.x;
  }
  zel::rect tool;
  EXPECT_EQ(layout.ToolRect(0), (zel::rect{0, 0, 65, 24}));  // clipped to the item area
  EXPECT_FALSE(layout.GetItemRect(3, tool));
  EXPECT_TRUE(tool.empty());
}

TEST(TabStripState, NewStateWordScrollsFortyPixelsEveryTwentyFiveMilliseconds) {
  EXPECT_EQ(ScrollStep(tab_state::Initial), 40);
  EXPECT_EQ(ScrollRepeatInterval(tab_state::Initial), 25u);
  EXPECT_EQ(ScrollRepeatInterval(0x4000), 100u);
  EXPECT_EQ(ScrollRepeatInterval(0xC000), 10u);
  EXPECT_EQ(ScrollRepeatInterval(0), 0u);
  std::uint32_t state = SetTabPart(tab_state::Initial, TabPartSlot::Down, TabPart::ScrollLeft);
  state = SetTabPart(state, TabPartSlot::Over, TabPart::Item);
  EXPECT_EQ(state, 0x0430A808u);
  EXPECT_EQ(GetTabPart(state, TabPartSlot::Down), TabPart::ScrollLeft);
  EXPECT_EQ(GetTabPart(SetTabPart(state, TabPartSlot::Down, TabPart::None), TabPartSlot::Over), TabPart::Item);
}

TEST(TabStripMetrics, WidthsAndTextOffsetFollowTheFont) {
  EXPECT_EQ(NaturalTabWidth(metrics, 16, 30), 3 + 16 + 4 + 30 + 4 + 3);
  EXPECT_EQ(NaturalTabWidth(metrics, 0, -1), 6);
  EXPECT_EQ(metrics.MinimumTabWidth(), 22);
  // (-11 - height) / 2, truncated toward zero.
  EXPECT_EQ(TabMetrics::ForFontHeight(-11).text_offset, 0);
  EXPECT_EQ(TabMetrics::ForFontHeight(-16).text_offset, 2);
  EXPECT_EQ(TabMetrics::ForFontHeight(12).text_offset, -11);
}

TEST(TabStripColours, FaceIsLightenedAndGreyDarkenedAboveEightBitsPerPixel) {
  EXPECT_EQ(LightenColour({212, 208, 200}), (zel::colour{247, 242, 233}));
  EXPECT_EQ(LightenColour({230, 115, 0}), (zel::colour{255, 128, 0}));
  EXPECT_EQ(LightenColour({0, 0, 0}), (zel::colour{35, 35, 35}));
  EXPECT_EQ(DarkenColour({128, 100, 20}), (zel::colour{84, 65, 10}));
  EXPECT_EQ(DarkenColour({166, 166, 166}), (zel::colour{122, 122, 122}));
  EXPECT_EQ(DarkenColour({0, 0, 0}), (zel::colour{0, 0, 0}));

  EXPECT_FALSE(ChooseTabColours(24, {212, 208, 200}, {166, 166, 166}).window_brush);
  const TabColours palette = ChooseTabColours(8, {212, 208, 200}, {166, 166, 166});
  EXPECT_TRUE(palette.window_brush);
  EXPECT_EQ(palette.inactive_text, (zel::colour{166, 166, 166}));
}

TEST(TabbedAreaHeight, GrowsByHalfTheFontsProportionalGrowth) {
  const std::int32_t heights[][2] = {{8, 21}, {10, 23}, {11, 24}, {13, 26}, {16, 29}};
  for (const auto& h : heights) EXPECT_EQ(TabAreaHeight(h[0]), h[1]) << h[0];
}

TEST(TabStripDrag, TabsChangePlacesPastTheMiddleAndScrollNearTheEnds) {
  const zel::rect neighbour{65, 0, 125, 24};
  EXPECT_FALSE(DragPassesMiddle(94, neighbour, 1, 0));
  EXPECT_TRUE(DragPassesMiddle(95, neighbour, 1, 0));
  EXPECT_FALSE(DragPassesMiddle(95, neighbour, 1, 2));
  EXPECT_TRUE(DragPassesMiddle(94, neighbour, 1, 2));
  const zel::rect client{0, 0, 300, 24}, area{0, 0, 267, 24};
  EXPECT_EQ(DragScrollDirection(19, area, client), -1);
  EXPECT_EQ(DragScrollDirection(20, area, client), 0);
  EXPECT_EQ(DragScrollDirection(247, area, client), 1);
  EXPECT_EQ(DragScrollDirection(-1, area, client), 0);
  EXPECT_EQ(DragScrollDirection(300, area, client), 0);
}

TEST(TabStripDrawing, CloseCrossAndScrollTriangles) {
  const auto cross = CloseCrossLines({282, 6, 297, 21}, false);
  EXPECT_EQ(cross[0], (Line{{285, 10}, {292, 17}}));
  EXPECT_EQ(cross[3], (Line{{286, 16}, {293, 9}}));
  EXPECT_EQ(CloseCrossLines({282, 6, 297, 21}, true)[0], (Line{{286, 11}, {293, 18}}));
  const auto right = ScrollTriangle({267, 6, 282, 21}, true, false);
  EXPECT_EQ(right[2], (zel::point{276, 13}));
  EXPECT_EQ(ScrollTriangle({267, 6, 282, 21}, false, true)[0], (zel::point{277, 10}));
}

}  // namespace
