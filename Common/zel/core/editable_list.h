// The rules of zel::editable_list_view without its window: where the focus
// cell goes for a key, and the colours a cell is drawn in.
//
//   zel::editable_list::cell next = zel::editable_list::move(focus, zel::editable_list::key::right,
//                                                            rows, display_order, rows_per_page);
//
// Columns are header indices; `display_order` lists them left to right as
// the header shows them (after a column drag it differs from 0, 1, 2...).
#pragma once

#include <cstdint>
#include <vector>

namespace zel::editable_list {

struct cell {
  int row = 0;
  int column = 0;  // header index
  bool operator==(const cell& o) const { return row == o.row && column == o.column; }
  bool operator!=(const cell& o) const { return !(*this == o); }
};

enum class key { right, left, down, up, home, end, first_cell, last_cell, page_up, page_down };

// The focus cell after `k`. Right and Left wrap into the next or previous
// row (and from the last row to row 0 and back), Down and Up wrap; the page
// keys move by `rows_per_page` (at least one) and stop at the first or last
// row. With no rows or no columns the cell stays where it is.
cell move(cell from, key k, int rows, const std::vector<int>& display_order, int rows_per_page);

// The cell moved into a list of `rows` rows and `columns` columns (row and
// column 0 when the list is empty).
cell limit(cell c, int rows, int columns);

// Colours as 0x00BBGGRR.
struct colours {
  std::uint32_t text;
  std::uint32_t background;
};
struct palette {
  colours window;     // every cell but the focus cell
  colours highlight;  // the focus cell while it shows
};

// The focus cell is drawn in the highlight colours while the list has the
// focus or always shows its selection; every other cell, and the focus cell
// otherwise, in the window colours.
colours cell_colours(const palette& p, bool focus_cell, bool list_focused, bool show_selection_always);
// The dotted focus rectangle marks the focus cell only while the list has the focus.
bool draws_focus_rectangle(bool focus_cell, bool list_focused);

}  // namespace zel::editable_list
