// Where the focus cell of an editable list goes for each key, and the
// colours its cells are drawn in.
#include <gtest/gtest.h>

#include "core/editable_list.h"

namespace {

using zel::editable_list::cell;
using zel::editable_list::key;
using zel::editable_list::move;

const std::vector<int> natural{0, 1, 2};

TEST(EditableListKeys, RightAndLeftWrapThroughRowsAndRoundTheList) {
  EXPECT_EQ(move({0, 0}, key::right, 3, natural, 2), (cell{0, 1}));
  EXPECT_EQ(move({0, 2}, key::right, 3, natural, 2), (cell{1, 0}));
  EXPECT_EQ(move({2, 2}, key::right, 3, natural, 2), (cell{0, 0}));
  EXPECT_EQ(move({1, 1}, key::left, 3, natural, 2), (cell{1, 0}));
  EXPECT_EQ(move({1, 0}, key::left, 3, natural, 2), (cell{0, 2}));
  EXPECT_EQ(move({0, 0}, key::left, 3, natural, 2), (cell{2, 2}));
}

TEST(EditableListKeys, DownAndUpWrapAndKeepTheColumn) {
  EXPECT_EQ(move({2, 1}, key::down, 3, natural, 2), (cell{0, 1}));
  EXPECT_EQ(move({0, 1}, key::up, 3, natural, 2), (cell{2, 1}));
  EXPECT_EQ(move({1, 2}, key::down, 3, natural, 2), (cell{2, 2}));
}

TEST(EditableListKeys, HomeAndEndStayInTheRowWithCtrlTheyGoToTheCorners) {
  EXPECT_EQ(move({1, 1}, key::home, 3, natural, 2), (cell{1, 0}));
  EXPECT_EQ(move({1, 1}, key::end, 3, natural, 2), (cell{1, 2}));
  EXPECT_EQ(move({1, 1}, key::first_cell, 3, natural, 2), (cell{0, 0}));
  EXPECT_EQ(move({1, 1}, key::last_cell, 3, natural, 2), (cell{2, 2}));
}

TEST(EditableListKeys, PageKeysMoveByAPageAndStopAtTheEnds) {
  EXPECT_EQ(move({1, 2}, key::page_down, 10, natural, 4), (cell{5, 2}));
  EXPECT_EQ(move({8, 2}, key::page_down, 10, natural, 4), (cell{9, 2}));
  EXPECT_EQ(move({5, 0}, key::page_up, 10, natural, 4), (cell{1, 0}));
  EXPECT_EQ(move({2, 0}, key::page_up, 10, natural, 4), (cell{0, 0}));
  EXPECT_EQ(move({2, 0}, key::page_down, 10, natural, 0), (cell{3, 0})) << "a page is at least one row";
}

TEST(EditableListKeys, FollowTheDisplayOrderAfterAColumnDrag) {
  const std::vector<int> dragged{2, 0, 1};
  EXPECT_EQ(move({0, 2}, key::right, 2, dragged, 1), (cell{0, 0}));
  EXPECT_EQ(move({0, 1}, key::right, 2, dragged, 1), (cell{1, 2}));
  EXPECT_EQ(move({1, 2}, key::left, 2, dragged, 1), (cell{0, 1}));
  EXPECT_EQ(move({1, 1}, key::home, 2, dragged, 1), (cell{1, 2}));
  EXPECT_EQ(move({0, 0}, key::last_cell, 2, dragged, 1), (cell{1, 1}));
}

TEST(EditableListKeys, AnEmptyListKeepsTheCell) {
  EXPECT_EQ(move({3, 1}, key::right, 0, natural, 1), (cell{3, 1}));
  EXPECT_EQ(move({3, 1}, key::down, 4, {}, 1), (cell{3, 1}));
}

TEST(EditableListKeys, TheCellIsLimitedToTheList) {
  EXPECT_EQ(zel::editable_list::limit({7, 9}, 3, 2), (cell{2, 1}));
  EXPECT_EQ(zel::editable_list::limit({1, 1}, 3, 2), (cell{1, 1}));
  EXPECT_EQ(zel::editable_list::limit({4, 4}, 0, 0), (cell{0, 0}));
}

TEST(EditableListColours, OnlyTheFocusCellTakesTheHighlightAndOnlyWhileItShows) {
  const zel::editable_list::palette p{{1, 2}, {3, 4}};
  using zel::editable_list::cell_colours;
  EXPECT_EQ(cell_colours(p, true, true, false).background, 4u);
  EXPECT_EQ(cell_colours(p, true, false, true).text, 3u);
  EXPECT_EQ(cell_colours(p, true, false, false).background, 2u);
  EXPECT_EQ(cell_colours(p, false, true, true).text, 1u);
  EXPECT_TRUE(zel::editable_list::draws_focus_rectangle(true, true));
  EXPECT_FALSE(zel::editable_list::draws_focus_rectangle(true, false));
  EXPECT_FALSE(zel::editable_list::draws_focus_rectangle(false, true));
}

}  // namespace
