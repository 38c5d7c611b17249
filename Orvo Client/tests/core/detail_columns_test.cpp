// The detail views' columns without windows: the width of a new column, a
// stored layout put back on the header and read from it, the drop-down's
// values under the working protocol's exclusions, and serial number texts.
#include <gtest/gtest.h>

#include "core/detail_columns.h"

namespace Orvo {
namespace {

using widths = std::vector<std::optional<int>>;

std::vector<header_column> header(std::initializer_list<const char16_t*> names, int width = 50) {
  std::vector<header_column> columns;
  for (const char16_t* n : names) columns.push_back({n, width});
  return columns;
}

column_attributes_map stored(std::initializer_list<std::pair<const char16_t*, column_attribute>> entries) {
  column_attributes_map map;
  for (const auto& e : entries) map.m_column_atributes[e.first] = e.second;
  return map;
}

TEST(DetailColumnWidth, IsTheWidestTextPlusTheDropDownAllowance) {
  const column_metrics m{17, 2};
  EXPECT_EQ(column_width(30, {12, 44, 20}, m), 44 + 17 + 1 + 8);
  EXPECT_EQ(column_width(60, {12, 44}, m), 60 + 26);
  EXPECT_EQ(column_width(25, {}, m), 25 + 26) << "a property without legal values: its header text";
}

TEST(DetailColumnLayout, StoredWidthsAreSetWhereTheyDifferAndNegativeOnesNever) {
  const auto map = stored({{u"A", {80, -1}}, {u"B", {50, -1}}, {u"C", {-7, -1}}});
  const header_changes changes = apply_column_attributes(map, header({u"A", u"B", u"C", u"D"}), {0, 1, 2, 3});
  EXPECT_EQ(changes.widths, (widths{80, std::nullopt, std::nullopt, std::nullopt}));
  EXPECT_FALSE(changes.order) << "an unchanged order is not set again";
}

TEST(DetailColumnLayout, OrdersBecomeAPermutationUnsetLastTiesByPosition) {
  auto order_of = [](column_attributes_map map, std::vector<header_column> columns) {
    std::vector<int> natural(columns.size());
    for (std::size_t i = 0; i < natural.size(); ++i) natural[i] = static_cast<int>(i);
    const auto changes = apply_column_attributes(map, columns, natural);
    return changes.order.value_or(natural);
  };
  EXPECT_EQ(order_of(stored({{u"A", {-1, -1}}, {u"B", {-1, 5}}, {u"C", {-1, 5}}}), header({u"A", u"B", u"C"})),
            (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(order_of(stored({{u"A", {-1, 0}}, {u"B", {-1, 0}}, {u"C", {-1, 1}}, {u"D", {-1, 2}}}),
                     header({u"A", u"B", u"C", u"D"})),
            (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(order_of(stored({{u"A", {-1, 2}}, {u"B", {-1, 0}}}), header({u"A", u"B", u"New"})),
            (std::vector<int>{1, 0, 2}))
      << "a column the map does not know goes last";
}

TEST(DetailColumnLayout, StoringWritesWidthAndDisplayPositionByName) {
  column_attributes_map map = stored({{u"Old", {10, 0}}});
  auto columns = header({u"A", u"B", u"C"});
  columns[1].width = 120;
  store_column_attributes(map, columns, {2, 0, 1});
  EXPECT_EQ(map, stored({{u"Old", {10, 0}}, {u"A", {50, 1}}, {u"B", {120, 2}}, {u"C", {50, 0}}}));
  // Read back, the same layout asks for no change.
  const header_changes again = apply_column_attributes(map, columns, {2, 0, 1});
  EXPECT_EQ(again.widths, widths(3));
  EXPECT_FALSE(again.order);
}

TEST(DetailColumnLayout, AssignCopiesTheLayout) {
  const auto source = stored({{u"Gain", {90, 1}}});
  column_attributes_map target = stored({{u"Group", {40, 0}}});
  target.assign(source);
  EXPECT_EQ(target, source);
  target.assign(target);
  EXPECT_EQ(target, source);
}

TEST(DetailDropDown, LeavesOutExcludedValuesButNeverTheCellsOwn) {
  const std::vector<wide_string> legal{u"1", u"2", u"5", u"10"};
  EXPECT_EQ(offered_values(legal, {u"2", u"10"}, u"5"), (std::vector<wide_string>{u"1", u"5"}));
  EXPECT_EQ(offered_values(legal, {u"2", u"10"}, u"10"), (std::vector<wide_string>{u"1", u"5", u"10"}));
  EXPECT_EQ(offered_values(legal, {}, u"x"), legal);
  EXPECT_EQ(selected_value({u"1", u"5"}, u"5"), 1);
  EXPECT_EQ(selected_value({u"1", u"5"}, u"7"), -1);
}

TEST(DetailSerialNumber, IsAWholeNumberFrom0To255) {
  EXPECT_EQ(serial_number(u"0"), 0);
  EXPECT_EQ(serial_number(u"9"), 9);
  EXPECT_EQ(serial_number(u"255"), 255);
  EXPECT_EQ(serial_number(u"0042"), 42);
  for (const char16_t* bad : {u"", u"256", u"300", u"x", u"-1", u"1.5", u" 9", u"99999999999"})
    EXPECT_FALSE(serial_number(bad)) << std::u16string(bad).size();
}

}  // namespace
}  // namespace Orvo
