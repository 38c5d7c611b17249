// What the system tree remembers of its items across rebuilds.
#include "core/tree_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

using Orvo::tree_memory;

namespace {

// The IDs of one rebuild's walk that would be expanded, and the one selected.
struct walk_result {
  std::vector<std::int32_t> expanded;
  std::optional<std::int32_t> selected;
};

walk_result walk(tree_memory& memory, const std::vector<std::int32_t>& ids) {
  walk_result r;
  memory.begin_restore();
  for (std::int32_t id : ids) {
    const tree_memory::restore_step step = memory.restore(id);
    if (step.expand) r.expanded.push_back(id);
    if (step.select) r.selected = id;
  }
  return r;
}

// Server, state, one amplifier, two channels.
const std::vector<std::int32_t> system_ids = {-1, 0, 0x101, 0x00010002, 0x01010002};

}  // namespace

TEST(TreeMemory, AFirstBuildExpandsEveryItemAndSelectsNothing) {
  tree_memory memory;
  const walk_result r = walk(memory, system_ids);
  EXPECT_EQ(r.expanded, system_ids);
  EXPECT_FALSE(r.selected);
  EXPECT_EQ(memory.size(), system_ids.size());
}

TEST(TreeMemory, EveryItemExpandsOnlyWhileAtMostFourObjectsAreKnown) {
  tree_memory memory;
  for (std::int32_t id : {1, 2, 3, 4}) memory.record(id, false, false);
  EXPECT_EQ(walk(memory, {1, 2, 3, 4}).expanded, (std::vector<std::int32_t>{1, 2, 3, 4}));
  memory.record(5, false, false);
  for (std::int32_t id : {1, 2, 3, 4}) memory.record(id, false, false);
  EXPECT_TRUE(walk(memory, {1, 2, 3, 4, 5}).expanded.empty());
}

TEST(TreeMemory, ARebuildRestoresTheRecordedExpansionAndSelectionOnce) {
  tree_memory memory;
  walk(memory, system_ids);
  // The amplifier collapsed, its second channel selected.
  memory.record(-1, false, true);
  memory.record(0, false, true);
  memory.record(0x101, false, false);
  memory.record(0x00010002, false, false);
  memory.record(0x01010002, true, false);
  walk_result r = walk(memory, system_ids);
  EXPECT_EQ(r.expanded, (std::vector<std::int32_t>{-1, 0}));
  EXPECT_EQ(r.selected, 0x01010002);
  // Used bits are cleared: a walk without a new record restores nothing.
  r = walk(memory, system_ids);
  EXPECT_TRUE(r.expanded.empty());
  EXPECT_FALSE(r.selected);
}

TEST(TreeMemory, TheLastSelectedItemOfTheWalkWinsAndRecordsKeepOnlyOneSelection) {
  tree_memory memory;
  walk(memory, system_ids);
  memory.record(0x101, true, true);
  memory.record(0x00010002, true, false);
  EXPECT_EQ(walk(memory, system_ids).selected, 0x00010002);
}

TEST(TreeMemory, AnObjectThatLeftWhileSelectedDoesNotTakeTheSelectionWhenItReturns) {
  tree_memory memory;
  walk(memory, system_ids);
  // Channel 0x01010002 selected; its amplifier leaves with the next rebuild.
  memory.record(0x01010002, true, false);
  EXPECT_FALSE(walk(memory, {-1, 0}).selected);
  // Meanwhile the state's item is selected; then the amplifier returns.
  memory.record(-1, false, true);
  memory.record(0, true, true);
  EXPECT_EQ(walk(memory, system_ids).selected, std::optional<std::int32_t>(0));
}
