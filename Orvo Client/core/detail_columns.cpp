#include "detail_columns.h"

#include <algorithm>
#include <climits>
#include <numeric>

namespace Orvo {

int column_width(int header_text, const std::vector<int>& value_texts, const column_metrics& m) {
  int widest = header_text;
  for (int w : value_texts) widest = std::max(widest, w);
  return widest + m.scroll_arrow + 1 + 4 * m.edge;
}

header_changes apply_column_attributes(const column_attributes_map& map, const std::vector<header_column>& columns,
                                       const std::vector<int>& current_order) {
  header_changes changes;
  std::vector<long long> keys;
  for (const header_column& c : columns) {
    const auto it = map.m_column_atributes.find(c.name);
    const column_attribute stored = it == map.m_column_atributes.end() ? column_attribute{} : it->second;
    changes.widths.push_back(stored.m_width >= 0 && stored.m_width != c.width ? std::optional<int>(stored.m_width)
                                                                              : std::nullopt);
    keys.push_back(stored.m_order >= 0 ? stored.m_order : static_cast<long long>(INT_MAX) + 1);
  }
  std::vector<int> order(columns.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)]; });
  if (order != current_order) changes.order = order;
  return changes;
}

void store_column_attributes(column_attributes_map& map, const std::vector<header_column>& columns,
                             const std::vector<int>& display_order) {
  for (std::size_t position = 0; position < display_order.size(); ++position) {
    const auto index = static_cast<std::size_t>(display_order[position]);
    if (index >= columns.size()) continue;
    column_attribute& a = map.m_column_atributes[columns[index].name];
    a.m_width = columns[index].width;
    a.m_order = static_cast<std::int32_t>(position);
  }
}

std::vector<wide_string> offered_values(const std::vector<wide_string>& legal, const std::vector<wide_string>& excluded,
                                        const wide_string& current) {
  std::vector<wide_string> offered;
  for (const wide_string& v : legal) {
    if (v == current || std::find(excluded.begin(), excluded.end(), v) == excluded.end()) offered.push_back(v);
  }
  return offered;
}

int selected_value(const std::vector<wide_string>& offered, const wide_string& current) {
  const auto it = std::find(offered.begin(), offered.end(), current);
  return it == offered.end() ? -1 : static_cast<int>(it - offered.begin());
}

std::optional<int> serial_number(const wide_string& text) {
  if (text.empty()) return std::nullopt;
  int value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
    if (value > 255) return std::nullopt;
  }
  return value;
}

}  // namespace Orvo
