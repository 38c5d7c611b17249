// The rules of the detail views' columns and cells without their windows:
// how wide a new column is, how a stored layout is put back on the header
// and read from it, which values the drop-down offers, and which texts are
// serial numbers.
#pragma once

#include <optional>
#include <vector>

#include "records.h"

namespace Orvo {

// System measures a column's width allows for beside its text.
struct column_metrics {
  int scroll_arrow = 0;  // SM_CXHSCROLL
  int edge = 0;          // SM_CXEDGE
};

// The widest of the header text and the legal value texts (measured in the
// list's font), plus room for the drop-down button.
int column_width(int header_text, const std::vector<int>& value_texts, const column_metrics& m);

// One header column as the header shows it.
struct header_column {
  wide_string name;
  int width = 0;
};

// What applying a column map changes on the header: the widths to set (by
// header index; none where nothing is stored or the width already is the
// stored one) and the display order to set (none when it already is it).
struct header_changes {
  std::vector<std::optional<int>> widths;
  std::optional<std::vector<int>> order;  // header indices, left to right
};

// Stored widths below zero are left alone. The display order sorts the
// columns by stored order, columns without one last, equal orders by header
// index, so it is always a permutation of the header's columns.
header_changes apply_column_attributes(const column_attributes_map& map, const std::vector<header_column>& columns,
                                       const std::vector<int>& current_order);

// Writes every column's width and display position into the map under its name.
void store_column_attributes(column_attributes_map& map, const std::vector<header_column>& columns,
                             const std::vector<int>& display_order);

// The drop-down's values: the legal ones in order without the excluded
// texts, but always with the cell's own.
std::vector<wide_string> offered_values(const std::vector<wide_string>& legal, const std::vector<wide_string>& excluded,
                                        const wide_string& current);
// The index of the cell's text among the offered values; -1 when absent.
int selected_value(const std::vector<wide_string>& offered, const wide_string& current);

// A serial number as typed: one or more decimal digits making 0 to 255.
std::optional<int> serial_number(const wide_string& text);

}  // namespace Orvo
