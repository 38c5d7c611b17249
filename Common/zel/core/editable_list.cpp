#include "editable_list.h"

#include <algorithm>

namespace zel::editable_list {

namespace {

// Where the header index stands in the display order (0 when it is missing).
int position_of(int column, const std::vector<int>& order) {
  const auto it = std::find(order.begin(), order.end(), column);
  return it == order.end() ? 0 : static_cast<int>(it - order.begin());
}

int wrap(int row, int rows) { return ((row % rows) + rows) % rows; }

}  // namespace

cell move(cell from, key k, int rows, const std::vector<int>& display_order, int rows_per_page) {
  const int columns = static_cast<int>(display_order.size());
  if (rows <= 0 || columns == 0) return from;
  const int last_row = rows - 1;
  const int first = display_order.front();
  const int last = display_order.back();
  const int at = position_of(from.column, display_order);
  const int page = std::max(rows_per_page, 1);
  switch (k) {
    case key::right:
      if (at + 1 < columns) return {from.row, display_order[static_cast<std::size_t>(at + 1)]};
      return {wrap(from.row + 1, rows), first};
    case key::left:
      if (at > 0) return {from.row, display_order[static_cast<std::size_t>(at - 1)]};
      return {wrap(from.row - 1, rows), last};
    case key::down:
      return {wrap(from.row + 1, rows), from.column};
    case key::up:
      return {wrap(from.row - 1, rows), from.column};
    case key::home:
      return {from.row, first};
    case key::end:
      return {from.row, last};
    case key::first_cell:
      return {0, first};
    case key::last_cell:
      return {last_row, last};
    case key::page_up:
      return {std::max(from.row - page, 0), from.column};
    case key::page_down:
      return {std::min(from.row + page, last_row), from.column};
  }
  return from;
}

cell limit(cell c, int rows, int columns) {
  c.row = rows > 0 ? std::clamp(c.row, 0, rows - 1) : 0;
  c.column = columns > 0 ? std::clamp(c.column, 0, columns - 1) : 0;
  return c;
}

colours cell_colours(const palette& p, bool focus_cell, bool list_focused, bool show_selection_always) {
  return focus_cell && (list_focused || show_selection_always) ? p.highlight : p.window;
}

bool draws_focus_rectangle(bool focus_cell, bool list_focused) { return focus_cell && list_focused; }

}  // namespace zel::editable_list
