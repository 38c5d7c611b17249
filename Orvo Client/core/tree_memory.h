// Orvo::tree_memory: what the system tree remembers of its items across
// rebuilds, by object ID: whether each was selected and expanded when the
// tree was last cleared. Entries are made on first sight and kept; their
// bits are cleared once a rebuild has used them.
//
//   memory.record(id, selected, expanded);        // each item, as the tree clears
//   memory.begin_restore();                       // once the tree is rebuilt
//   const auto step = memory.restore(id);         // each item, depth first
//   if (step.expand) expand(item);
//   if (step.select) chosen = item;               // the last one wins
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>

namespace Orvo {

class tree_memory {
 public:
  // What a rebuild does with one item.
  struct restore_step {
    bool expand = false;
    bool select = false;
  };

  // Stores an item's bits. Only one item is selected at a time: a selected
  // item drops the selected bit every other entry still holds, so an object
  // that left the tree while selected does not take the selection back from
  // the one chosen since, when it returns.
  void record(std::int32_t id, bool selected, bool expanded);
  // Starts the walk over a rebuilt tree: while at most `expand_all_limit`
  // objects are known (as after the first build), every item expands.
  void begin_restore() noexcept;
  // The next item of the walk: its remembered bits, used and cleared.
  restore_step restore(std::int32_t id);

  std::size_t size() const noexcept { return m_items.size(); }

  static constexpr std::size_t expand_all_limit = 4;

 private:
  struct bits {
    bool selected = false;
    bool expanded = false;
  };
  std::map<std::int32_t, bits> m_items;
  bool m_expand_all = false;
};

}  // namespace Orvo
