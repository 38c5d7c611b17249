// Changes to the protocol libraries without windows: names, copies, moves,
// renames, deletes, comments and stores, each written before it counts and
// each followed by its signals.
#include "core/protocol_changes.h"

#include <boost/date_time/posix_time/posix_time.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using boost::posix_time::time_from_string;
using Orvo::change_result;
using Orvo::protocol_place;
using Orvo::wide_string;

int g_ticks = 0;
Orvo::stamp ticking_stamp() {
  return {time_from_string("2009-03-04 13:05:06") + boost::posix_time::seconds(g_ticks++), u"Editor"};
}

struct relocation {
  protocol_place from;
  std::optional<protocol_place> to;
  bool operator==(const relocation& o) const { return from == o.from && to == o.to; }
};

class ProtocolChanges : public ::testing::Test {
 protected:
  Orvo::protocol_libraries libraries;
  std::vector<std::string> writes;  // "common" or "user", in order
  bool common_writable = true, user_writable = true;
  int changed = 0;
  std::vector<relocation> relocations;

  void SetUp() override {
    g_ticks = 0;
    Orvo::set_stamp_source(ticking_stamp);
    libraries.m_write_common = [this] {
      writes.push_back("common");
      return common_writable;
    };
    libraries.m_write_user = [this] {
      writes.push_back("user");
      return user_writable;
    };
    libraries.m_changed.connect([this] { ++changed; });
    libraries.m_relocated.connect([this](const protocol_place& from, const std::optional<protocol_place>& to) {
      relocations.push_back({from, to});
    });
  }
  void TearDown() override { Orvo::set_stamp_source(nullptr); }

  Orvo::protocol& add(bool user, const wide_string& name, const wide_string& comment = u"") {
    Orvo::protocol& p = libraries.library(user)[name];
    p.m_comment = comment;
    p.m_state_string = u"STATE " + name;
    return p;
  }
  std::vector<wide_string> names(bool user) const {
    std::vector<wide_string> out;
    for (const auto& entry : libraries.library(user).m_protocols) out.push_back(entry.first);
    return out;
  }
};

TEST(ProtocolNames, UntitledInAnyCaseAndBlanksAreNotNames) {
  EXPECT_FALSE(Orvo::is_valid_protocol_name(u"UnTiTlEd"));
  EXPECT_FALSE(Orvo::is_valid_protocol_name(u"  untitled\t"));
  EXPECT_FALSE(Orvo::is_valid_protocol_name(u" \t "));
  EXPECT_FALSE(Orvo::is_valid_protocol_name(u""));
  EXPECT_TRUE(Orvo::is_valid_protocol_name(u"Untitled 2"));
  EXPECT_TRUE(Orvo::is_valid_protocol_name(u" B "));
  EXPECT_EQ(Orvo::trim_protocol_name(u" \tSleep study \r\n"), u"Sleep study");
}

TEST(ProtocolNames, CopyNamesCountUpWhileTaken) {
  Orvo::protocols library;
  EXPECT_EQ(Orvo::make_copy_name(library, u"A"), u"Copy of A");
  library[u"Copy of A"];
  library[u"Copy [1] of A"];
  library[u"Copy [2] of A"];
  EXPECT_EQ(Orvo::make_copy_name(library, u"A"), u"Copy [3] of A");
}

TEST_F(ProtocolChanges, CopyingTwiceKeepsTheStampsAndWritesOnlyThatLibrary) {
  const Orvo::protocol original = add(true, u"A", u"note");
  EXPECT_TRUE(Orvo::copy_protocol(libraries, true, u"A"));
  EXPECT_TRUE(Orvo::copy_protocol(libraries, true, u"A"));
  EXPECT_EQ(names(true), (std::vector<wide_string>{u"A", u"Copy [1] of A", u"Copy of A"}));
  EXPECT_EQ(libraries.m_user.m_protocols.at(u"Copy of A"), original);
  EXPECT_EQ(libraries.m_user.m_protocols.at(u"Copy [1] of A"), original);
  EXPECT_EQ(writes, (std::vector<std::string>{"user", "user"}));
  EXPECT_EQ(changed, 2);
  EXPECT_TRUE(relocations.empty());
}

TEST_F(ProtocolChanges, MovingOntoATakenNameStoresACopyNameAndWritesTheTargetFirst) {
  const Orvo::protocol moved = add(true, u"A", u"mine");
  add(false, u"A", u"shared");
  EXPECT_TRUE(Orvo::move_protocol(libraries, u"A", true));
  EXPECT_TRUE(names(true).empty());
  EXPECT_EQ(names(false), (std::vector<wide_string>{u"A", u"Copy of A"}));
  EXPECT_EQ(libraries.m_common.m_protocols.at(u"Copy of A"), moved);
  EXPECT_EQ(writes, (std::vector<std::string>{"common", "user"}));
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(relocations, (std::vector<relocation>{{{true, u"A"}, protocol_place{false, u"Copy of A"}}}));
}

TEST_F(ProtocolChanges, AMoveTheTargetCannotHoldChangesNothing) {
  const Orvo::protocol moved = add(true, u"A");
  common_writable = false;
  const change_result r = Orvo::move_protocol(libraries, u"A", true);
  EXPECT_EQ(r.status, change_result::not_written);
  EXPECT_FALSE(r.unwritten_user);
  EXPECT_TRUE(libraries.m_common.m_protocols.empty());
  EXPECT_EQ(libraries.m_user.m_protocols.at(u"A"), moved);
  EXPECT_EQ(writes, (std::vector<std::string>{"common"}));
  EXPECT_EQ(changed, 0);
  EXPECT_TRUE(relocations.empty());
}

TEST_F(ProtocolChanges, AMoveTheSourceCannotLetGoLeavesTheProtocolInBoth) {
  const Orvo::protocol moved = add(true, u"A");
  user_writable = false;
  const change_result r = Orvo::move_protocol(libraries, u"A", true);
  EXPECT_EQ(r.status, change_result::not_written);
  EXPECT_TRUE(r.unwritten_user);
  EXPECT_EQ(libraries.m_user.m_protocols.at(u"A"), moved);
  EXPECT_EQ(libraries.m_common.m_protocols.at(u"A"), moved);
  EXPECT_EQ(changed, 1);
  EXPECT_TRUE(relocations.empty());
}

TEST_F(ProtocolChanges, RenameRefusesUntitledBlanksTheCurrentATakenOrAMissingName) {
  add(false, u"A");
  add(false, u"B");
  for (const wide_string& name : {u"UnTiTlEd", u"   ", u"A", u" B ", u"Missing"}) {
    const wide_string old_name = name == u"Missing" ? u"Gone" : u"A";
    EXPECT_EQ(Orvo::rename_protocol(libraries, false, old_name, name).status, change_result::refused)
        << std::string(name.begin(), name.end());
  }
  EXPECT_EQ(names(false), (std::vector<wide_string>{u"A", u"B"}));
  EXPECT_TRUE(writes.empty());
  EXPECT_EQ(changed, 0);
}

TEST_F(ProtocolChanges, RenameStoresTheTrimmedNameAndTellsWhereTheProtocolWent) {
  const Orvo::protocol record = add(false, u"A");
  EXPECT_TRUE(Orvo::rename_protocol(libraries, false, u"A", u" B "));
  EXPECT_EQ(names(false), (std::vector<wide_string>{u"B"}));
  EXPECT_EQ(libraries.m_common.m_protocols.at(u"B"), record);
  EXPECT_EQ(writes, (std::vector<std::string>{"common"}));
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(relocations, (std::vector<relocation>{{{false, u"A"}, protocol_place{false, u"B"}}}));
}

TEST_F(ProtocolChanges, DeleteTellsThatTheProtocolIsGone) {
  add(true, u"A");
  EXPECT_TRUE(Orvo::delete_protocol(libraries, true, u"A"));
  EXPECT_TRUE(names(true).empty());
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(relocations, (std::vector<relocation>{{{true, u"A"}, std::nullopt}}));
  EXPECT_EQ(Orvo::delete_protocol(libraries, true, u"A").status, change_result::refused);
}

TEST_F(ProtocolChanges, ACommentGetsANewModifiedStampAndAnUnwrittenOneIsUndone) {
  const Orvo::protocol before = add(true, u"A", u"old");
  EXPECT_TRUE(Orvo::set_protocol_comment(libraries, true, u"A", u"new"));
  const Orvo::protocol& after = libraries.m_user.m_protocols.at(u"A");
  EXPECT_EQ(after.m_comment, u"new");
  EXPECT_GT(after.m_modified_time, before.m_modified_time);
  EXPECT_EQ(after.m_created_time, before.m_created_time);
  const Orvo::protocol commented = after;
  user_writable = false;
  EXPECT_EQ(Orvo::set_protocol_comment(libraries, true, u"A", u"lost").status, change_result::not_written);
  EXPECT_EQ(libraries.m_user.m_protocols.at(u"A"), commented);
  EXPECT_EQ(changed, 1);
}

TEST_F(ProtocolChanges, StoreKeepsTheStoredCommentUnderTheTrimmedName) {
  add(false, u"Night", u"kept");
  Orvo::protocol working;
  working.m_state_string = u"WORKING";
  working.m_comment = u"dropped";
  EXPECT_TRUE(Orvo::store_protocol(libraries, false, u" Night ", working));
  const Orvo::protocol& stored = libraries.m_common.m_protocols.at(u"Night");
  EXPECT_EQ(stored.m_state_string, u"WORKING");
  EXPECT_EQ(stored.m_comment, u"kept");
  EXPECT_GT(stored.m_modified_time, working.m_modified_time);
  EXPECT_EQ(Orvo::store_protocol(libraries, false, u"  ", working).status, change_result::refused);
  EXPECT_EQ(changed, 1);
}

TEST_F(ProtocolChanges, AStoreThatCannotBeWrittenIsNotSaved) {
  common_writable = false;
  Orvo::protocol working;
  EXPECT_EQ(Orvo::store_protocol(libraries, false, u"New", working).status, change_result::not_written);
  EXPECT_FALSE(libraries.m_common.contains(u"New"));
  EXPECT_EQ(changed, 0);
}

TEST_F(ProtocolChanges, AWriterThatThrowsLeavesTheLibraryAsItWas) {
  add(true, u"A");
  const Orvo::protocols before = libraries.m_user;
  libraries.m_write_user = []() -> bool { throw std::runtime_error("disk"); };
  EXPECT_THROW(Orvo::copy_protocol(libraries, true, u"A"), std::runtime_error);
  EXPECT_EQ(libraries.m_user, before);
  EXPECT_EQ(changed, 0);
}

}  // namespace
