// Facts about dialog layout: what each edge rule gives, how anchored
// controls follow their area, how containers take their edges, and what an
// invalid layout raises.
#include <gtest/gtest.h>

#include <boost/exception/get_error_info.hpp>
#include <boost/exception/info.hpp>
#include <map>
#include <string>
#include <vector>

#include "core/layout_manager.h"

namespace {
using namespace zel::layout;
using zel::rect;

// A dialog whose controls are a table; a dialog unit is 2 pixels across and
// 3 down.
struct table_dialog : dialog_controls {
  bool control_rect(int id, rect& out) const override {
    auto it = controls.find(id);
    if (it != controls.end()) out = it->second;
    return it != controls.end();
  }
  void move_control(int id, const rect& to) override {
    controls[id] = to;
    moved.push_back(id);
  }
  zel::size dialog_units(int offset) const override { return {2 * offset, 3 * offset}; }

  std::map<int, rect> controls{{5, {10, 20, 30, 40}}};
  std::vector<int> moved;
};

TEST(LayoutRules, AbsoluteAndRatioCountFromTheAreasEdges) {
  table_dialog d;
  EXPECT_EQ(ratio(0.5)->evaluate(d, edge_right, {0, 0, 101, 60}), 50);
  EXPECT_EQ(ratio(0.7)->evaluate(d, edge_left, {0, 0, 10, 10}), 6) << "0.7 narrowed to float is below 0.7";
  EXPECT_EQ(ratio(0.5)->evaluate(d, edge_bottom, {0, 20, 10, 121}), 70);
  const rect r{10, 20, 110, 220};
  EXPECT_EQ(absolute(7)->evaluate(d, edge_right, r), 17);
  EXPECT_EQ(absolute(-10)->evaluate(d, edge_left, r), 100);
  EXPECT_EQ(absolute(-10)->evaluate(d, edge_top, r), 210);
}

TEST(LayoutRules, RelativeRulesTakeAnotherControlsSideMovedOutward) {
  table_dialog d;
  const rect area{0, 0, 100, 100};
  EXPECT_EQ(relative_px(5, edge_left, 4)->evaluate(d, edge_right, area), 6);
  EXPECT_EQ(relative_px(5, edge_right, -4)->evaluate(d, edge_left, area), 26);
  EXPECT_EQ(relative_px(5, edge_top, 4)->evaluate(d, edge_bottom, area), 16);
  EXPECT_EQ(relative_dlgunit(5, edge_right, 4)->evaluate(d, edge_right, area), 38);
  EXPECT_EQ(relative_dlgunit(5, edge_bottom, 4)->evaluate(d, edge_top, area), 52);
  EXPECT_EQ(relative_px(6, edge_right, 5)->evaluate(d, edge_right, area), 5) << "a missing control counts as all zero";
}

TEST(LayoutRules, AnEdgeOutsideZeroToThreeOrASideOfTheOtherAxisIsAnInvalidLayout) {
  table_dialog d;
  const rect area{0, 0, 100, 100};
  for (const auto& r : {absolute(1), ratio(0.5), relative_px(5, edge_left, 0)}) {
    EXPECT_THROW(r->evaluate(d, 4, area), exception);
    EXPECT_THROW(r->evaluate(d, -1, area), exception);
  }
  EXPECT_THROW(relative_dlgunit(5, edge_right, 0)->evaluate(d, edge_bottom, area), exception);
  try {
    relative_px(5, edge_top, 0)->evaluate(d, edge_left, area);
    FAIL() << "no exception";
  } catch (const exception& e) {
    EXPECT_STREQ(e.what(), "zel::layout::exception - invalid layout");
    ASSERT_NE(boost::get_error_info<boost::throw_function>(e), nullptr);
    ASSERT_NE(boost::get_error_info<boost::throw_line>(e), nullptr);
    EXPECT_NE(std::string(*boost::get_error_info<boost::throw_file>(e)).find("layout_manager"), std::string::npos);
  }
}

// A 50 x 20 control laid out first in a 200 x 100 area, then in 300 x 150.
rect anchored(unsigned flags) {
  table_dialog d;
  d.controls[1] = {10, 20, 60, 40};
  auto c = control(1, flags);
  EXPECT_EQ(c->margins, control_node::unmeasured);
  c->arrange(d, {0, 0, 200, 100});
  EXPECT_EQ(d.controls[1], (rect{10, 20, 60, 40})) << "the first layout keeps the designed place";
  c->arrange(d, {0, 0, 300, 150});
  return d.controls[1];
}

TEST(ControlAnchoring, AControlKeepsItsDistancesToTheAnchoredEdges) {
  EXPECT_EQ(anchored(anchor_left | anchor_top), (rect{10, 20, 60, 40}));
  EXPECT_EQ(anchored(anchor_left | anchor_right), (rect{10, 20, 160, 40}));
  EXPECT_EQ(anchored(anchor_right | anchor_bottom), (rect{110, 70, 160, 90}));
  EXPECT_EQ(anchored(0), (rect{10, 20, 60, 40}));
}

TEST(LayoutContainers, MissingRulesFollowTheAreaAndAreSharedPerSide) {
  table_dialog d;
  auto c = container(absolute(5));
  EXPECT_EQ(c->rules[edge_right], c->rules[edge_bottom]);
  auto plain = container(rule_ptr{});
  EXPECT_EQ(plain->rules[edge_left], plain->rules[edge_top]);
  EXPECT_EQ(fill(5)->margins, rect{});
  (c << fill(5))->arrange(d, {10, 20, 110, 220});
  EXPECT_EQ(d.controls[5], (rect{15, 20, 110, 220}));
}

TEST(LayoutContainers, ChainsSkipNullNodesAndArrangeChildrenInOrderSkippingGoneControls) {
  table_dialog d;
  d.controls[1] = {0, 0, 1, 1};
  auto c = container();
  EXPECT_EQ(c << nullptr << fill(5) << fill(9) << fill(1), c);
  EXPECT_EQ(c->children.size(), 3u);
  c->arrange(d, {0, 0, 40, 30});
  EXPECT_EQ(d.moved, (std::vector<int>{5, 1}));
}

TEST(LayoutContainers, FillAroundAControlCoversItGrownByDialogUnits) {
  table_dialog d;
  d.controls[2] = {};
  (around_control(5, 2, 3, 4, -5) << fill(2))->arrange(d, {0, 0, 300, 200});
  EXPECT_EQ(d.controls[2], (rect{6, 11, 38, 25}));
}

TEST(LayoutContainers, TheSizeGripStaysInTheBottomRightCorner) {
  table_dialog d;
  d.controls[size_grip_id] = {183, 83, 200, 100};
  auto root = with_size_grip(control(5, anchor_right));
  root->arrange(d, {0, 0, 200, 100});
  root->arrange(d, {0, 0, 300, 150});
  EXPECT_EQ(d.controls[size_grip_id], (rect{283, 133, 300, 150}));
  EXPECT_EQ(d.controls[5], (rect{110, 20, 130, 40}));
}

TEST(LayoutContainers, AChildDialogIsNeverLaidOutBelowItsStartingSize) {
  EXPECT_EQ(at_least_minimum(50, 100), 100);
  EXPECT_EQ(at_least_minimum(150, 100), 150);
  EXPECT_EQ(at_least_minimum(50, -1), 50);
  EXPECT_EQ(at_least_minimum(-5, 100), -5) << "compared unsigned";
}

}  // namespace
