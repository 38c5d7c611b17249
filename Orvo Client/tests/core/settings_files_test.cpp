// The three data files over an in-memory disk: start and exit orders, log
// lines, ".old" and ".unread" copies, failed writes and the change slots.
#include "core/record_archive.h"
#include "core/settings_files.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>
#include <vector>

namespace {

using Orvo::failure_code;
using Orvo::wide_string;

class memory_disk : public Orvo::settings_disk {
 public:
  std::map<wide_string, std::string> files;
  std::optional<std::string> builtin;
  bool fail_write = false;  // writes half the content, then fails
  bool fail_copy = false;
  bool folder_throws = false;
  int reads = 0;

  wide_string user_data_folder() override { return folder(u"U:"); }
  wide_string common_data_folder() override { return folder(u"C:"); }
  wide_string product_file(const wide_string& base, const wide_string& name) override {
    return base + u"\\Quarnell\\Orvo\\" + name;
  }
  std::optional<std::string> read_file(const wide_string& path) override {
    ++reads;
    const auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second;
  }
  bool write_file(const wide_string& path, const std::string& content) override {
    files[path] = fail_write ? content.substr(0, content.size() / 2) : content;
    return !fail_write;
  }
  bool copy_file(const wide_string& from, const wide_string& to) override {
    if (fail_copy || !files.count(from)) return false;
    files[to] = files[from];
    return true;
  }
  bool replace_file(const wide_string& from, const wide_string& to) override {
    files[to] = files.at(from);
    files.erase(from);
    return true;
  }
  void remove_file(const wide_string& path) override { files.erase(path); }
  std::optional<std::string> builtin_session() override { return builtin; }

 private:
  wide_string folder(const wide_string& base) {
    if (folder_throws) throw std::runtime_error("get_folder_path");
    return base;
  }
};

const wide_string options = u"U:\\Quarnell\\Orvo\\options.xml";
const wide_string user_file = u"U:\\Quarnell\\Orvo\\protocols.xml";
const wide_string common_file = u"C:\\Quarnell\\Orvo\\protocols.xml";

using log_line = std::tuple<wide_string, int, std::int32_t>;

std::string library_text(const Orvo::protocols& library) {
  std::ostringstream out;
  Orvo::write_library(out, library);
  return out.str();
}

std::string session_text(const Orvo::session_data& session) {
  std::ostringstream out;
  Orvo::write_session(out, session);
  return out.str();
}

class SettingsFiles : public ::testing::Test {
 protected:
  memory_disk disk;
  Orvo::session_data session;
  Orvo::protocol_libraries libraries;
  std::vector<log_line> lines;
  Orvo::settings_files files{session, libraries, disk, [this](const wide_string& text, int level, std::int32_t code) {
                               lines.emplace_back(text, level, code);
                             }};

  Orvo::session_data builtin_session() {
    Orvo::session_data s;
    s.m_wndSplitHorPos = 458;
    s.m_protocol_manager_splitter_pos = 114;
    return s;
  }
};

TEST_F(SettingsFiles, FirstRunLogsTheBuiltInSessionAndEmptyLibraries) {
  disk.builtin = session_text(builtin_session());
  files.start(false);
  const std::vector<log_line> expected = {
      {u"Opening user session data: " + options, 1, 0},
      {u"Failed to open user session data", 2, failure_code},
      {u"Opening in-built session data", 1, 0},
      {u"Failed to load protocol data: " + common_file, 2, failure_code},
      {u"Failed to load protocol data: " + user_file, 2, failure_code},
  };
  EXPECT_EQ(lines, expected);
  EXPECT_TRUE(session.m_loaded);
  EXPECT_EQ(session.m_wndSplitHorPos, 458);
}

TEST_F(SettingsFiles, WithoutABuiltInSessionTheDefaultsStand) {
  disk.files[options] = "<not an archive>";
  files.LoadSessionData();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], log_line(u"Failed to load ANY session data", 2, failure_code));
  EXPECT_EQ(session, Orvo::session_data{});
}

TEST_F(SettingsFiles, ReadFilesFillTheSessionAndBothLibrariesAndFireTheSignal) {
  Orvo::session_data stored = builtin_session();
  stored.m_last_protocol_name = u"P";
  disk.files[options] = session_text(stored);
  Orvo::protocols common, user;
  common[u"Shared"].m_comment = u"c";
  user[u"Mine"].m_comment = u"u";
  disk.files[common_file] = library_text(common);
  disk.files[user_file] = library_text(user);
  int fired = 0;
  libraries.m_changed.connect([&] { ++fired; });
  files.start(false);
  EXPECT_EQ(session.m_last_protocol_name, u"P");
  EXPECT_EQ(libraries.m_common, common);
  EXPECT_EQ(libraries.m_user, user);
  EXPECT_EQ(fired, 2);
  const std::vector<log_line> expected = {{u"Opening user session data: " + options, 1, 0},
                                          {u"Opened protocol data: " + common_file, 1, 0},
                                          {u"Opened protocol data: " + user_file, 1, 0}};
  EXPECT_EQ(lines, expected);
}

TEST_F(SettingsFiles, TwoSavesLeaveTheFirstInOld) {
  files.start(false);
  disk.files[options] = session_text(session);  // as if read at start
  files.LoadSessionData();
  session.m_wndSplitPos = 1;
  files.SaveSessionData();
  const std::string first = disk.files[options];
  session.m_wndSplitPos = 2;
  files.SaveSessionData();
  EXPECT_EQ(disk.files[options + u".old"], first);
  EXPECT_NE(disk.files[options], first);
  EXPECT_FALSE(disk.files.count(options + u".new"));
}

TEST_F(SettingsFiles, AFailedCopyToOldIsSilent) {
  disk.files[options] = session_text(session);
  files.LoadSessionData();
  lines.clear();
  disk.fail_copy = true;
  files.SaveSessionData();
  EXPECT_EQ(lines, (std::vector<log_line>{{u"Saving user session data: " + options, 1, 0}}));
  EXPECT_FALSE(disk.files.count(options + u".old"));
}

TEST_F(SettingsFiles, AFailedWriteChangesNeitherTheFileNorOld) {
  libraries.m_user[u"A"];
  disk.files[user_file] = library_text(libraries.m_user);
  files.LoadProtocols(u"U:", libraries.m_user);
  libraries.m_user[u"B"];
  files.SaveUserProtocols();
  const auto before = disk.files;
  libraries.m_user[u"C"];
  disk.fail_write = true;
  lines.clear();
  files.SaveUserProtocols();
  EXPECT_EQ(disk.files, before);
  EXPECT_EQ(lines, (std::vector<log_line>{{u"Failed to save protocol data: " + user_file, 3, failure_code}}));
}

TEST_F(SettingsFiles, FolderFailuresAreLoggedAndTheRunGoesOn) {
  disk.folder_throws = true;
  files.start(false);
  files.exit();
  const std::vector<log_line> expected = {
      {u"Failed to open user session data", 2, failure_code}, {u"Opening in-built session data", 1, 0},
      {u"Failed to load ANY session data", 2, failure_code},  {u"Failed to load protocol data: ", 2, failure_code},
      {u"Failed to load protocol data: ", 2, failure_code},   {u"Failed to save protocol data: ", 3, failure_code},
      {u"Failed to save protocol data: ", 3, failure_code},   {u"Failed to save session data", 3, failure_code},
  };
  EXPECT_EQ(lines, expected);
}

TEST_F(SettingsFiles, SwitchBReadsNothingAndKeepsTheOldFilesAsUnread) {
  disk.files[options] = "old session";
  disk.files[common_file] = "old common";
  disk.files[user_file] = "old user";
  files.start(true);
  EXPECT_EQ(disk.reads, 0);
  EXPECT_FALSE(session.m_loaded);
  EXPECT_EQ(lines, (std::vector<log_line>{{u"Not loading data files due to command line option -b. Existing data "
                                           u"files will be overwitten.",
                                           2, 0}}));
  files.exit();
  EXPECT_EQ(disk.files[common_file + u".unread"], "old common");
  EXPECT_EQ(disk.files[user_file + u".unread"], "old user");
  EXPECT_EQ(disk.files[options + u".unread"], "old session");
  EXPECT_EQ(disk.files[common_file], library_text(Orvo::protocols{}));
  EXPECT_EQ(disk.files[options], session_text(session));
  EXPECT_FALSE(disk.files.count(options + u".old"));
  EXPECT_TRUE(session.m_loaded);
  EXPECT_EQ(std::get<0>(lines[1]), u"Kept previous data file as: " + common_file + u".unread");
}

TEST_F(SettingsFiles, WritersComeAtStartWriteOnlyAChangedLibraryAndGoWithTheFiles) {
  EXPECT_FALSE(libraries.m_write_user);
  disk.files[common_file] = library_text(libraries.m_common);
  disk.files[user_file] = library_text(Orvo::protocols{});
  files.start(false);
  const auto common_before = disk.files[common_file];
  libraries.m_user[u"New"];
  lines.clear();
  EXPECT_TRUE(libraries.m_write_user());
  EXPECT_TRUE(libraries.m_write_common());
  EXPECT_EQ(lines, (std::vector<log_line>{{u"Saved protocol data: " + user_file, 1, 0}}));
  EXPECT_EQ(disk.files[common_file], common_before);
  EXPECT_FALSE(disk.files.count(common_file + u".old"));
  disk.fail_write = true;
  libraries.m_user[u"Another"];
  EXPECT_FALSE(libraries.m_write_user());
  {
    Orvo::settings_files other(session, libraries, disk, {});
    other.start(true);
  }
  EXPECT_FALSE(libraries.m_write_common);
}

TEST_F(SettingsFiles, AnUnreadableLibraryKeepsWhatWasReadAndGoesAsideOnce) {
  Orvo::protocols stored;
  stored[u"A"];
  stored[u"B"].m_state_string = u"XY";
  std::string text = library_text(stored);
  text.replace(text.rfind("<size>2</size>"), 14, "<size>2000000000</size>");
  disk.files[user_file] = text;
  disk.files[user_file + u".old"] = "older";
  files.start(false);
  EXPECT_TRUE(libraries.m_user.contains(u"A"));
  EXPECT_FALSE(libraries.m_user.contains(u"B"));
  EXPECT_EQ(lines.back(), log_line(u"Failed to load protocol data: " + user_file, 2, failure_code));
  files.SaveUserProtocols();
  EXPECT_EQ(disk.files[user_file + u".unread"], text);
  EXPECT_EQ(disk.files[user_file + u".old"], "older");
  files.SaveUserProtocols();
  libraries.m_user[u"C"];
  files.SaveUserProtocols();
  EXPECT_EQ(disk.files[user_file + u".unread"], text);
  EXPECT_NE(disk.files[user_file + u".old"], "older");
}

}  // namespace
