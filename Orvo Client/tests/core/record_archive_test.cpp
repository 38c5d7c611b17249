// The session and library archives: round trips, the files of older writers,
// and inputs that must fail cleanly.
//
// Arguments: the folder for written archives (checked by archive_layout.py),
// the folder of hand-made archives, the client's resource folder.
#include "core/record_archive.h"

#include <boost/date_time/posix_time/posix_time.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;
using boost::posix_time::time_from_string;

fs::path g_written, g_fixtures, g_resources;

std::string file_text(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string written(const Orvo::protocols& library) {
  std::ostringstream out;
  Orvo::write_library(out, library);
  return out.str();
}

Orvo::protocols read_library_text(const std::string& text) {
  Orvo::protocols library;
  std::istringstream in(text);
  Orvo::read_library(in, library);
  return library;
}

Orvo::session_data read_session_text(const std::string& text) {
  Orvo::session_data session;
  std::istringstream in(text);
  Orvo::read_session(in, session);
  return session;
}

const std::u16string odd_name = u"Jos\u00e9 \u0141\u00f3d\u017a \u03a9 &<>\"'";

Orvo::protocols sample_library() {
  Orvo::protocols library;
  Orvo::protocol& full = library[odd_name];
  full.m_exclusion_set.m_map[u"Gain"] = {u"10", u"100 \u00b5V"};
  full.m_exclusion_set.m_map[u"Mode"] = {};
  full.m_state_string = u"ORVO-STATE&<>";
  full.m_comment = u"line one\r\nline two\twith tab";
  full.m_created_time = time_from_string("2024-02-29 23:59:59");
  full.m_modified_time = time_from_string("2024-03-01 00:00:00");
  full.m_created_by = u"\u00c9milie";
  full.m_modified_by = u"Bob";
  full.m_amp_columns.m_column_atributes[u"Name"] = {120, 0};
  full.m_amp_columns.m_column_atributes[u"Gain"] = {-1, -1};
  full.m_channel_columns.m_column_atributes[u"Impedance"] = {64, 3};
  full.m_rename_map[-7] = u"Reference";
  full.m_rename_map[12] = u"Fp1 \u03a9";
  Orvo::protocol& bare = library[u"Test"];
  bare.m_created_time = boost::posix_time::ptime(boost::posix_time::not_a_date_time);
  bare.m_modified_time = boost::posix_time::ptime(boost::posix_time::pos_infin);
  return library;
}

Orvo::session_data sample_session() {
  Orvo::session_data s;
  s.m_last_protocol_name = odd_name;
  s.m_last_protocol_local = false;
  s.m_show_toolbar = false;
  s.m_open_last_profile = false;
  for (std::uint32_t i = 0; i < 15; ++i) s.m_protocol_window_pos.words[i] = 0x01020304u * i;
  s.m_mainframe_pos = {44, 2, 3, -1, -2, -3, -4, 10, 20, 30, 40};
  s.m_wndSplitHorPos = -5;
  s.m_wndSplitPos = 1000000;
  s.m_protocol_manager_splitter_pos = 7;
  return s;
}

TEST(LibraryArchive, RoundTripKeepsEveryFieldThroughTwoCycles) {
  const Orvo::protocols library = sample_library();
  const std::string first = written(library);
  const Orvo::protocols back = read_library_text(first);
  EXPECT_EQ(back, library);
  EXPECT_EQ(written(back), first);
  EXPECT_EQ(back.m_protocols.at(odd_name).m_rename_map.at(-7), u"Reference");
  EXPECT_TRUE(back.m_protocols.at(u"Test").m_created_time.is_not_a_date_time());
  EXPECT_NE(first.find("version=\"18\""), std::string::npos);
  fs::create_directories(g_written);
  std::ofstream(g_written / "protocols.xml", std::ios::binary) << first;
}

TEST(SessionArchive, RoundTripKeepsEveryFieldAndMarksTheSessionLoaded) {
  const Orvo::session_data session = sample_session();
  std::ostringstream out;
  Orvo::write_session(out, session);
  Orvo::session_data back = read_session_text(out.str());
  EXPECT_TRUE(back.m_loaded);
  back.m_loaded = session.m_loaded;
  EXPECT_EQ(back, session);
  fs::create_directories(g_written);
  std::ofstream(g_written / "options.xml", std::ios::binary) << out.str();
}

TEST(SessionArchive, BuiltInSessionOfAnOlderWriterReads) {
  const std::string text = file_text(g_resources / "default_session.xml");
  EXPECT_EQ(text.size(), 1169u);
  EXPECT_NE(text.find("version=\"3\""), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  const Orvo::session_data s = read_session_text(text);
  EXPECT_TRUE(s.m_loaded);
  EXPECT_TRUE(s.m_last_protocol_name.empty());
  EXPECT_EQ(s.m_mainframe_pos, (Orvo::window_placement_record{44, 0, 1, -1, -1, -1, -1, 22, 29, 982, 751}));
  EXPECT_EQ(s.m_wndSplitHorPos, 458);
  EXPECT_EQ(s.m_wndSplitPos, 199);
  EXPECT_EQ(s.m_protocol_manager_splitter_pos, 114);
  const std::array<std::uint32_t, 13> docking{4, 5, 0, 0, 238, 638, 0, 666, 189, 909, 691, 1, 1};
  EXPECT_TRUE(std::equal(docking.begin(), docking.end(), s.m_protocol_window_pos.words.begin() + 2));
}

TEST(SessionArchive, SessionOfArchiveVersion7Reads) {
  const Orvo::session_data s = read_session_text(file_text(g_fixtures / "options_v7.xml"));
  EXPECT_EQ(s.m_last_protocol_name, u"Sleep study");
  EXPECT_FALSE(s.m_show_statusbar);
  EXPECT_EQ(s.m_wndSplitPos, 300);
}

TEST(LibraryArchive, ProtocolOfClassVersion0ReadsWithAnEmptyRenameMap) {
  const Orvo::protocols library = read_library_text(file_text(g_fixtures / "protocols_v7.xml"));
  ASSERT_TRUE(library.contains(u"Test"));
  const Orvo::protocol& p = library.m_protocols.at(u"Test");
  EXPECT_TRUE(p.m_rename_map.empty());
  EXPECT_EQ(p.m_state_string, u"AB");
  EXPECT_EQ(p.m_created_time, time_from_string("2009-06-15 14:03:27"));
  EXPECT_EQ(p.m_modified_by, u"Admin");
  EXPECT_EQ(p.m_amp_columns.m_column_atributes.at(u"Gain"), (column_attribute{80, 2}));
}

TEST(LibraryArchive, AnsiTextOfAnOlderWriterReads) {
  const Orvo::protocols library = read_library_text(file_text(g_fixtures / "protocols_ansi.xml"));
  ASSERT_TRUE(library.contains(u"M\u00fcller \u20ac"));
  EXPECT_EQ(library.m_protocols.at(u"M\u00fcller \u20ac").m_comment, u"gr\u00fc\u00df");
}

// Each corrupt input fails with an archive error and leaves the protocol read
// before the damaged one.
TEST(LibraryArchive, CorruptInputsFailCleanlyAndKeepEarlierProtocols) {
  Orvo::protocols two = sample_library();
  Orvo::protocol& last = two[u"Zeta"];
  last.m_state_string = u"ZZ";
  last.m_created_time = last.m_modified_time = time_from_string("2024-03-01 00:00:00");
  const std::string good = written(two);
  auto replace_in_last = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    const auto at = text.rfind(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
  };
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"truncated", good.substr(0, good.size() - 300)},
      {"bad base64", replace_in_last("WgBaAA", "W*!aAA")},
      {"NUL in name", replace_in_last("<first>Zeta", std::string("<first>Ze\0a", 11))},
      {"escaped NUL in name", replace_in_last("<first>Zeta", "<first>Ze&#0;a")},
      {"huge size", replace_in_last("<size>2</size>", "<size>4000000000</size>")},
      {"huge count", replace_in_last("<count>0</count>", "<count>18446744073709551615</count>")},
      {"month 13", replace_in_last("<date>20240301</date>", "<date>20241345</date>")},
      {"hour 25", replace_in_last("<time_duration_hours>0</time_duration_hours>",
                                  "<time_duration_hours>25</time_duration_hours>")},
      {"mismatched end tag", replace_in_last("</m_comment>", "</m_commen>")},
      {"longer end tag", replace_in_last("</m_comment>", "</m_comment_of_another_element>")},
  };
  for (const auto& [what, text] : cases) {
    Orvo::protocols library;
    library[u"Earlier"];
    std::istringstream in(text);
    EXPECT_THROW(Orvo::read_library(in, library), Orvo::archive_error) << what;
    EXPECT_TRUE(library.contains(odd_name)) << what;
    EXPECT_FALSE(library.contains(u"Zeta")) << what;
    EXPECT_FALSE(library.contains(u"Earlier")) << what;
  }
}

// Refused before anything is read: the library is left empty.
TEST(LibraryArchive, ANewerArchiveVersionOrAnOverlongElementNameIsRefused) {
  std::string newer = written(sample_library());
  newer.replace(newer.find("version=\"18\""), 12, "version=\"19\"");
  std::string overlong = written(sample_library());
  overlong.replace(overlong.rfind("</m_comment>"), 12, "</" + std::string(100, 'm') + ">");
  for (const std::string& text : {newer, overlong}) {
    Orvo::protocols library;
    library[u"Earlier"];
    std::istringstream in(text);
    EXPECT_THROW(Orvo::read_library(in, library), Orvo::archive_error);
    EXPECT_TRUE(library.m_protocols.empty());
  }
}

TEST(SessionArchive, AFailedReadLeavesTheSessionUnchanged) {
  std::ostringstream out;
  Orvo::write_session(out, sample_session());
  // Cut inside the record, and after the whole record but before the root's end.
  for (const std::string& end : {std::string("<m_wndSplitPos>"), std::string("</boost_serialization>")}) {
    const std::string text = out.str().substr(0, out.str().find(end));
    Orvo::session_data session;
    std::istringstream in(text);
    EXPECT_THROW(Orvo::read_session(in, session), Orvo::archive_error) << end;
    EXPECT_EQ(session, Orvo::session_data{});
  }
}

TEST(LibraryArchive, AFailingStreamIsReported) {
  std::ostringstream out;
  out.setstate(std::ios::badbit);
  EXPECT_THROW(Orvo::write_library(out, sample_library()), Orvo::archive_error);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s written-folder fixtures-folder resource-folder\n", argv[0]);
    return 2;
  }
  g_written = argv[1];
  g_fixtures = argv[2];
  g_resources = argv[3];
  return RUN_ALL_TESTS();
}
