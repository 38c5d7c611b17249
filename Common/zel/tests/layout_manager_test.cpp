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
using zel::size;

// A dialog whose controls are a table; one dialog unit is 2 pixels across
// and 3 down.
class table_dialog : public dialog_controls {
 public:
  bool control_rect(int id, rect& out) const override {
    auto it = controls.find(id);
    if (it == controls.end()) return false;
    out = it->second;
    return true;
  }
  void move_control(int id, const rect& to) override {
    controls[id] = to;
    moved.push_back(id);
  }
  size dialog_units(int offset) const override { return {2 * offset, 3 * offset}; }

  std::map<int, rect> controls;
  std::vector<int> moved;
};

const rect area{0, 0, 101, 60};

TEST(LayoutRules, RatioIsTakenFromTheFloatAndTruncated) {
  table_dialog d;
  EXPECT_EQ(ratio(0.5)->evaluate(d, edge_right, area), 50);
  EXPECT_EQ(ratio(0.7)->evaluate(d, edge_left, rect{0, 0, 10, 10}), 6);
  EXPECT_EQ(ratio(0.5)->evaluate(d, edge_bottom, rect{0, 20, 10, 121}), 70);
}

TEST(LayoutRules, AbsoluteCountsFromTheNearEdgeOrBackFromTheFarEdge) {
  table_dialog d;
  const rect r{10, 20, 110, 220};
  EXPECT_EQ(absolute(7)->evaluate(d, edge_right, r), 17);
  EXPECT_EQ(absolute(-10)->evaluate(d, edge_left, r), 100);
  EXPECT_EQ(absolute(7)->evaluate(d, edge_bottom, r), 27);
  EXPECT_EQ(absolute(-10)->evaluate(d, edge_top, r), 210);
}

TEST(LayoutRules, RelativeRulesTakeAnotherControlsSideMovedOutward) {
  table_dialog d;
  d.controls[5] = {10, 20, 30, 40};
  EXPECT_EQ(relative_px(5, edge_left, 4)->evaluate(d, edge_right, area), 6);
  EXPECT_EQ(relative_px(5, edge_right, -4)->evaluate(d, edge_left, area), 26);
  EXPECT_EQ(relative_px(5, edge_top, 4)->evaluate(d, edge_bottom, area), 16);
  EXPECT_EQ(relative_px(5, edge_bottom, 4)->evaluate(d, edge_top, area), 44);
  // Dialog units: the horizontal distance across, the vertical one down.
  EXPECT_EQ(relative_dlgunit(5, edge_right, 4)->evaluate(d, edge_right, area), 38);
  EXPECT_EQ(relative_dlgunit(5, edge_top, 4)->evaluate(d, edge_top, area), 8);
  // A control that does not exist counts as an empty rectangle at 0.
  EXPECT_EQ(relative_px(6, edge_right, 5)->evaluate(d, edge_right, area), 5);
}

TEST(LayoutRules, AnEdgeOutsideZeroToThreeOrASideOfTheOtherAxisIsAnInvalidLayout) {
  table_dialog d;
  d.controls[5] = {10, 20, 30, 40};
  const rule_ptr invalid[] = {absolute(1), ratio(0.5), relative_px(5, edge_left, 0)};
  for (const auto& r : invalid) {
    EXPECT_THROW(r->evaluate(d, 4, area), exception);
    EXPECT_THROW(r->evaluate(d, -1, area), exception);
  }
  EXPECT_THROW(relative_px(5, edge_top, 0)->evaluate(d, edge_left, area), exception);
  EXPECT_THROW(relative_dlgunit(5, edge_right, 0)->evaluate(d, edge_bottom, area), exception);
  try {
    relative_px(5, 7, 0)->evaluate(d, edge_right, area);
    FAIL() << "no exception";
  } catch (const exception& e) {
    EXPECT_STREQ(e.what(), "zel::layout::exception - invalid layout");
    ASSERT_NE(boost::get_error_info<boost::throw_line>(e), nullptr);
    ASSERT_NE(boost::get_error_info<boost::throw_function>(e), nullptr);
    ASSERT_NE(boost::get_error_info<boost::throw_file>(e), nullptr);
    EXPECT_NE(std::string(*boost::get_error_info<boost::throw_file>(e)).find("layout_manager"), std::string::npos);
  }
}

// A 50 x 20 control 10 from the left and 20 from the top of a 200 x 100
// area, laid out once there, then in a 300 x 150 area.
rect anchored(unsigned flags) {
  table_dialog d;
  d.controls[1] = {10, 20, 60, 40};
  auto c = control(1, flags);
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
  EXPECT_EQ(anchored(anchor_top | anchor_bottom), (rect{10, 20, 60, 90}));
}

TEST(ControlAnchoring, MarginsAreUnmeasuredUntilTheFirstArrangeUnlessZero) {
  table_dialog d;
  d.controls[1] = {10, 20, 60, 40};
  auto c = control(1, anchor_left);
  EXPECT_EQ(c->margins, control_node::unmeasured);
  c->arrange(d, {5, 5, 200, 100});
  EXPECT_EQ(c->margins, (rect{5, 15, 140, 60}));

  auto f = fill(1);
  EXPECT_EQ(f->margins, rect{});
  f->arrange(d, {3, 4, 70, 80});
  EXPECT_EQ(d.controls[1], (rect{3, 4, 70, 80}));
}

TEST(ControlAnchoring, AControlThatIsGoneIsSkipped) {
  table_dialog d;
  control(9, fill_flags)->arrange(d, area);
  EXPECT_TRUE(d.moved.empty());
}

TEST(LayoutContainers, MissingRulesFollowTheAreaAndAreSharedPerSide) {
  table_dialog d;
  auto c = container(absolute(5));
  EXPECT_EQ(c->rules[edge_right], c->rules[edge_bottom]);
  auto plain = container(rule_ptr{});
  EXPECT_EQ(plain->rules[edge_left], plain->rules[edge_top]);

  d.controls[1] = {0, 0, 1, 1};
  c << fill(1);
  c->arrange(d, {10, 20, 110, 220});
  EXPECT_EQ(d.controls[1], (rect{15, 20, 110, 220}));
}

TEST(LayoutContainers, RulesRunBottomRightTopLeftAgainstTheGivenArea) {
  struct recording_rule : rule {
    int evaluate(const dialog_controls&, int edge, const rect& a) const override {
      order->push_back(edge);
      EXPECT_EQ(a, (rect{1, 2, 3, 4}));
      return edge;
    }
    std::vector<int>* order = nullptr;
  };
  std::vector<int> order;
  auto r = std::make_shared<recording_rule>();
  r->order = &order;
  table_dialog d;
  container(r, r, r, r)->arrange(d, {1, 2, 3, 4});
  EXPECT_EQ(order, (std::vector<int>{3, 2, 1, 0}));
}

TEST(LayoutContainers, ChainsSkipNullNodesAndArrangeChildrenInOrder) {
  table_dialog d;
  d.controls = {{1, {0, 0, 1, 1}}, {2, {0, 0, 1, 1}}};
  auto c = container();
  auto same = c << nullptr << fill(2) << fill(1);
  EXPECT_EQ(same, c);
  ASSERT_EQ(c->children.size(), 2u);
  c->arrange(d, {0, 0, 40, 30});
  EXPECT_EQ(d.moved, (std::vector<int>{2, 1}));
  EXPECT_EQ(d.controls[1], (rect{0, 0, 40, 30}));
}

TEST(LayoutContainers, FillAroundAControlCoversItGrownByDialogUnits) {
  table_dialog d;
  d.controls = {{1, {40, 50, 90, 70}}, {2, {0, 0, 1, 1}}};
  (around_control(1, 2, 3, 4, -5) << fill(2))->arrange(d, {0, 0, 300, 200});
  EXPECT_EQ(d.controls[2], (rect{36, 41, 98, 55}));
}

TEST(LayoutContainers, TheSizeGripStaysInTheBottomRightCorner) {
  table_dialog d;
  d.controls = {{size_grip_id, {183, 83, 200, 100}}, {1, {10, 10, 20, 20}}};
  auto root = with_size_grip(control(1, anchor_right));
  root->arrange(d, {0, 0, 200, 100});
  root->arrange(d, {0, 0, 300, 150});
  EXPECT_EQ(d.controls[size_grip_id], (rect{283, 133, 300, 150}));
  EXPECT_EQ(d.controls[1], (rect{110, 10, 120, 20}));
}

TEST(LayoutContainers, AChildDialogIsNeverLaidOutBelowItsStartingSize) {
  EXPECT_EQ(at_least_minimum(50, 100), 100);
  EXPECT_EQ(at_least_minimum(150, 100), 150);
  EXPECT_EQ(at_least_minimum(50, -1), 50);
  // Sizes compare unsigned: a negative one counts as huge.
  EXPECT_EQ(at_least_minimum(-5, 100), -5);
}

}  // namespace
