// The records' operations and the conversion of their texts.
#include "core/archive_text.h"
#include "core/records.h"

#include <boost/date_time/posix_time/posix_time.hpp>

#include <gtest/gtest.h>

namespace {

using boost::posix_time::ptime;
using boost::posix_time::time_from_string;

// A clock that moves one second per stamp, and a fixed user.
int g_ticks = 0;
Orvo::stamp ticking_stamp() {
  return {time_from_string("2024-03-01 10:00:00") + boost::posix_time::seconds(g_ticks++), u"Ana Test"};
}

class Records : public ::testing::Test {
 protected:
  void SetUp() override {
    g_ticks = 0;
    Orvo::set_stamp_source(ticking_stamp);
  }
  void TearDown() override { Orvo::set_stamp_source(nullptr); }
};

TEST_F(Records, NewProtocolIsCreatedAndModifiedAtOnceByTheCurrentUser) {
  const Orvo::protocol p;
  EXPECT_EQ(p.m_created_time, time_from_string("2024-03-01 10:00:00"));
  EXPECT_EQ(p.m_modified_time, p.m_created_time);
  EXPECT_EQ(p.m_created_by, u"Ana Test");
  EXPECT_EQ(p.m_modified_by, u"Ana Test");
  EXPECT_TRUE(p.m_state_string.empty());
  EXPECT_TRUE(p.m_comment.empty());
  EXPECT_TRUE(p.m_exclusion_set.m_map.empty());
  EXPECT_TRUE(p.m_amp_columns.m_column_atributes.empty());
  EXPECT_TRUE(p.m_rename_map.empty());
}

TEST_F(Records, ChangesStampTheModifiedTimeOnly) {
  Orvo::protocol p;
  const ptime created = p.m_created_time;
  p.set_state_string(u"STATE");
  EXPECT_EQ(p.m_state_string, u"STATE");
  const ptime after_state = p.m_modified_time;
  EXPECT_GT(after_state, created);
  p.set_comment(u"note");
  EXPECT_GT(p.m_modified_time, after_state);
  Orvo::property_map hidden;
  hidden.m_map[u"Gain"] = {u"1", u"2"};
  const ptime after_comment = p.m_modified_time;
  p.set_exclusion_set(hidden);
  EXPECT_EQ(p.m_exclusion_set, hidden);
  EXPECT_GT(p.m_modified_time, after_comment);
  EXPECT_EQ(p.m_created_time, created);
}

TEST_F(Records, SavingOverAProtocolKeepsItsCommentAndTakesTheRest) {
  Orvo::protocol old;
  old.m_comment = u"old comment";
  Orvo::protocol saved;
  saved.m_comment = u"new comment";
  saved.m_state_string = u"S";
  saved.m_rename_map[-3] = u"Left";
  saved.m_created_by = u"Someone";
  old.replace_keeping_comment(saved);
  EXPECT_EQ(old.m_comment, u"old comment");
  EXPECT_EQ(old.m_state_string, u"S");
  EXPECT_EQ(old.m_rename_map, saved.m_rename_map);
  EXPECT_EQ(old.m_created_time, saved.m_created_time);
  EXPECT_EQ(old.m_created_by, u"Someone");
  EXPECT_GT(old.m_modified_time, saved.m_modified_time);
}

TEST_F(Records, AssignmentCopiesTheStampsExactly) {
  Orvo::protocol source;
  source.m_created_by = u"A";
  source.m_modified_by = u"B";
  source.m_modified_time = time_from_string("2030-01-02 03:04:05");
  Orvo::protocol target;
  target = source;
  EXPECT_EQ(target.m_created_time, source.m_created_time);
  EXPECT_EQ(target.m_modified_time, source.m_modified_time);
  EXPECT_EQ(target.m_created_by, u"A");
  EXPECT_EQ(target.m_modified_by, u"B");
}

TEST_F(Records, LibraryFindsNamesExactlyAndIndexingAddsANewProtocol) {
  Orvo::protocols library;
  EXPECT_FALSE(library.contains(u"Test"));
  library[u"Test"].m_comment = u"c";
  EXPECT_TRUE(library.contains(u"Test"));
  EXPECT_FALSE(library.contains(u"test"));
  EXPECT_EQ(library.m_protocols.begin()->second.m_created_by, u"Ana Test");
  library.m_protocols.erase(u"Test");
  EXPECT_FALSE(library.contains(u"Test"));
}

TEST(SessionData, NewSessionIsNotLoadedAndShowsEverything) {
  const Orvo::session_data s;
  EXPECT_FALSE(s.m_loaded);
  EXPECT_TRUE(s.m_last_protocol_name.empty());
  EXPECT_TRUE(s.m_last_protocol_local);
  for (bool shown : {s.m_show_shutdown_msg, s.m_show_toolbar, s.m_show_statusbar, s.m_show_overview,
                     s.m_show_detailview, s.m_show_spashscreen, s.m_open_last_profile})
    EXPECT_TRUE(shown);
  EXPECT_EQ(s.m_wndSplitHorPos, 0);
  EXPECT_EQ(s.m_mainframe_pos, Orvo::window_placement_record{});
  EXPECT_EQ(s.m_protocol_window_pos, Orvo::docking_position_words{});
}

int reverse_order(const std::u16string& a, const std::u16string& b) { return b.compare(a); }

TEST(PropertyMap, KeysFollowTheInstalledOrder) {
  Orvo::property_map map(Orvo::key_order{reverse_order});
  map.m_map[u"A"];
  map.m_map[u"C"];
  map.m_map[u"B"];
  std::u16string keys;
  for (const auto& e : map.m_map) keys += e.first;
  EXPECT_EQ(keys, u"CBA");
}

TEST(ArchiveText, WideTextsAreStoredAsUtf8) {
  const std::u16string name = u"Jos\u00e9 \u0141\u00f3d\u017a \u03a9 \U0001F600";
  const std::string stored = Orvo::to_archive_text(name);
  EXPECT_EQ(stored,
            "Jos\xC3\xA9 \xC5\x81\xC3\xB3"
            "d\xC5\xBA \xCE\xA9 \xF0\x9F\x98\x80");
  EXPECT_EQ(Orvo::from_archive_text(stored), name);
}

TEST(ArchiveText, UnstorableCharactersAreWrittenAsReplacement) {
  const std::u16string text{u'a', char16_t(0xD800), u'b', char16_t(0xDC00), u'\x01', u'\t', u'\n', u'\r'};
  EXPECT_EQ(Orvo::from_archive_text(Orvo::to_archive_text(text)), u"a\uFFFDb\uFFFD\uFFFD\t\n\r");
}

TEST(ArchiveText, TextThatIsNotUtf8IsReadInTheAnsiCodePage) {
  EXPECT_EQ(Orvo::from_archive_text("Jos\xE9 \x80"), u"Jos\u00e9 \u20ac");
  auto upper_only = [](const std::string& s) { return std::u16string(s.size(), u'?'); };
  EXPECT_EQ(Orvo::from_archive_text("\xE9\xE9", upper_only), u"??");
  // Overlong form of '/' and an encoded surrogate are not UTF-8.
  EXPECT_EQ(Orvo::from_archive_text("\xC0\xAF"), u"\u00c0\u00af");
  EXPECT_EQ(Orvo::from_archive_text("\xED\xA0\x80").size(), 3u);
}

TEST(ArchiveText, ControlCharactersMakeAStoredTextUnreadable) {
  EXPECT_THROW(Orvo::from_archive_text(std::string("a\0b", 3)), std::runtime_error);
  EXPECT_THROW(Orvo::from_archive_text("a\x1f"), std::runtime_error);
  EXPECT_EQ(Orvo::from_archive_text("a\tb\r\n"), u"a\tb\r\n");
}

}  // namespace
