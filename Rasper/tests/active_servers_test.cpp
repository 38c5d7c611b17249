// The table of open port engines: shared by name in any letter case,
// counted uses, attach-only, 32 slots.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/active_servers.h"

namespace {
struct engine {
  std::string name;
};
using table = rasper::active_servers<engine>;

struct opener {
  std::vector<std::unique_ptr<engine>> made;
  std::int32_t fail_with = 0;
  engine* operator()(const std::string& name, std::int32_t& error) {
    if (fail_with) {
      error = fail_with;
      return nullptr;
    }
    made.push_back(std::make_unique<engine>(engine{name}));
    return made.back().get();
  }
};
}  // namespace

TEST(ActiveServers, PortNamesCompareWithoutRegardToCase) {
  EXPECT_TRUE(rasper::same_port_name("com5", "COM5"));
  EXPECT_FALSE(rasper::same_port_name("COM5", "COM51"));
  EXPECT_FALSE(rasper::same_port_name("COM5", "COM6"));
}

TEST(ActiveServers, TwoNamesInDifferentCaseShareOneEngineThatLeavesWithItsLastUse) {
  table t;
  opener open;
  const auto first = t.find_or_open("com5", false, std::ref(open));
  const auto second = t.find_or_open("COM5", false, std::ref(open));
  EXPECT_EQ(first.what, table::status::opened);
  EXPECT_EQ(second.what, table::status::found);
  EXPECT_EQ(first.engine, second.engine);
  EXPECT_EQ(open.made.size(), 1u);
  EXPECT_EQ(t.uses(first.engine), 2u);
  EXPECT_FALSE(t.release(first.engine));
  EXPECT_TRUE(t.release(first.engine));
  EXPECT_EQ(t.find_or_open("COM5", true, std::ref(open)).what, table::status::not_open);
}

TEST(ActiveServers, AttachOnlyFindsOnlyAnOpenEngine) {
  table t;
  opener open;
  EXPECT_EQ(t.find_or_open("COM5", true, std::ref(open)).what, table::status::not_open);
  EXPECT_TRUE(open.made.empty());
  t.find_or_open("COM5", false, std::ref(open));
  EXPECT_EQ(t.find_or_open("com5", true, std::ref(open)).what, table::status::found);
}

TEST(ActiveServers, AFailedOpenTakesNoSlotAndReportsTheOpenersError) {
  table t;
  opener open;
  open.fail_with = 0x80070002;
  const auto r = t.find_or_open("COM9", false, std::ref(open));
  EXPECT_EQ(r.what, table::status::failed);
  EXPECT_EQ(r.error, static_cast<std::int32_t>(0x80070002));
  open.fail_with = 0;
  EXPECT_EQ(t.find_or_open("COM9", false, std::ref(open)).what, table::status::opened);
}

TEST(ActiveServers, ThirtyTwoPortsFitAndTheThirtyThirdIsRefused) {
  table t;
  opener open;
  for (int i = 0; i < 32; ++i)
    EXPECT_EQ(t.find_or_open("COM" + std::to_string(i), false, std::ref(open)).what, table::status::opened);
  const auto full = t.find_or_open("COM99", false, std::ref(open));
  EXPECT_EQ(full.what, table::status::full);
  // An open port is still found.
  EXPECT_EQ(t.find_or_open("com7", false, std::ref(open)).what, table::status::found);
  t.release(open.made[3].get());
  EXPECT_EQ(t.find_or_open("COM99", false, std::ref(open)).what, table::status::opened);
}
