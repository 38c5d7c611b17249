#include "tree_memory.h"

namespace Orvo {

void tree_memory::record(std::int32_t id, bool selected, bool expanded) {
  if (selected) {
    for (auto& item : m_items) item.second.selected = false;
  }
  bits& b = m_items[id];
  b.selected = selected;
  b.expanded = expanded;
}

void tree_memory::begin_restore() noexcept { m_expand_all = m_items.size() <= expand_all_limit; }

tree_memory::restore_step tree_memory::restore(std::int32_t id) {
  bits& b = m_items[id];
  restore_step step;
  step.select = b.selected;
  step.expand = b.expanded || m_expand_all;
  b = bits{};
  return step;
}

}  // namespace Orvo
