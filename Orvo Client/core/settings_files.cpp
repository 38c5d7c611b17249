#include "settings_files.h"

#include "record_archive.h"

#include <sstream>

namespace Orvo {

namespace {

const wide_string options_name = u"options.xml";
const wide_string protocols_name = u"protocols.xml";

}  // namespace

settings_files::settings_files(session_data& session, protocol_libraries& libraries, settings_disk& disk,
                               settings_log log, failure_report report)
    : session_(session), libraries_(libraries), disk_(disk), log_(std::move(log)), report_(std::move(report)) {}

settings_files::~settings_files() {
  if (!writers_installed_) return;
  libraries_.m_write_common = nullptr;
  libraries_.m_write_user = nullptr;
}

void settings_files::log(const wide_string& text, int level, std::int32_t code) const {
  if (log_) log_(text, level, code);
}

void settings_files::report() const {
  if (report_) report_();
}

void settings_files::start(bool switch_b) {
  if (switch_b) {
    log(u"Not loading data files due to command line option -b. Existing data files will be overwitten.", 2, 0);
  } else {
    LoadSessionData();
    in_folder(&settings_disk::common_data_folder, libraries_.m_common, &settings_files::LoadProtocols);
    libraries_.m_changed();
    in_folder(&settings_disk::user_data_folder, libraries_.m_user, &settings_files::LoadProtocols);
    libraries_.m_changed();
  }
  libraries_.m_write_common = [this] { return SaveCommonProtocols(); };
  libraries_.m_write_user = [this] { return SaveUserProtocols(); };
  writers_installed_ = true;
}

void settings_files::exit() {
  SaveCommonProtocols();
  SaveUserProtocols();
  SaveSessionData();
}

bool settings_files::read_session_from(const std::optional<std::string>& content) {
  if (!content) return false;
  try {
    std::istringstream in(*content);
    read_session(in, session_, disk_.text_decoder());
    return true;
  } catch (...) {
    report();
    return false;
  }
}

void settings_files::LoadSessionData() {
  try {
    const wide_string path = disk_.product_file(disk_.user_data_folder(), options_name);
    log(u"Opening user session data: " + path, 1, 0);
    if (read_session_from(disk_.read_file(path))) {
      files_[path].read = true;
      return;
    }
  } catch (...) {
    report();
    // No folder or path: the built-in session below.
  }
  log(u"Failed to open user session data", 2, failure_code);
  log(u"Opening in-built session data", 1, 0);
  bool loaded = false;
  try {
    loaded = read_session_from(disk_.builtin_session());
  } catch (...) {
    report();
  }
  if (!loaded) log(u"Failed to load ANY session data", 2, failure_code);
}

void settings_files::SaveSessionData() {
  session_.m_loaded = true;
  try {
    const wide_string path = disk_.product_file(disk_.user_data_folder(), options_name);
    log(u"Saving user session data: " + path, 1, 0);
    std::ostringstream out;
    write_session(out, session_);
    if (replace(path, out.str())) return;
  } catch (...) {
    report();
  }
  log(u"Failed to save session data", 3, failure_code);
}

bool settings_files::LoadProtocols(const wide_string& base, protocols& library) {
  wide_string path;
  try {
    path = disk_.product_file(base, protocols_name);
    file_state& file = files_[path];
    file.held.reset();
    if (const std::optional<std::string> content = disk_.read_file(path)) {
      std::istringstream in(*content);
      read_library(in, library, disk_.text_decoder());
      file.read = true;
      file.held = library;
      log(u"Opened protocol data: " + path, 1, 0);
      return true;
    }
  } catch (...) {
    report();
    // The library keeps the protocols read before the failure.
  }
  log(u"Failed to load protocol data: " + path, 2, failure_code);
  return false;
}

bool settings_files::SaveProtocols(const wide_string& base, protocols& library) {
  wide_string path;
  try {
    path = disk_.product_file(base, protocols_name);
    file_state& file = files_[path];
    if (file.held && *file.held == library) return true;
    std::ostringstream out;
    write_library(out, library);
    if (replace(path, out.str())) {
      files_[path].held = library;
      log(u"Saved protocol data: " + path, 1, 0);
      return true;
    }
  } catch (...) {
    report();
  }
  log(u"Failed to save protocol data: " + path, 3, failure_code);
  return false;
}

bool settings_files::SaveCommonProtocols() {
  return in_folder(&settings_disk::common_data_folder, libraries_.m_common, &settings_files::SaveProtocols);
}

bool settings_files::SaveUserProtocols() {
  return in_folder(&settings_disk::user_data_folder, libraries_.m_user, &settings_files::SaveProtocols);
}

bool settings_files::in_folder(wide_string (settings_disk::*folder)(), protocols& library,
                               bool (settings_files::*operation)(const wide_string&, protocols&)) {
  wide_string base;
  try {
    base = (disk_.*folder)();
  } catch (...) {
    report();
    // Without a folder there is no path: the failure line names none.
    if (operation == &settings_files::LoadProtocols)
      log(u"Failed to load protocol data: ", 2, failure_code);
    else
      log(u"Failed to save protocol data: ", 3, failure_code);
    return false;
  }
  return (this->*operation)(base, library);
}

bool settings_files::replace(const wide_string& path, const std::string& content) {
  const wide_string temporary = path + u".new";
  if (!disk_.write_file(temporary, content)) {
    disk_.remove_file(temporary);
    return false;
  }
  file_state& file = files_[path];
  if (!file.read && !file.replaced) {
    // A file this run could not read may hold data worth keeping: it goes
    // aside once, and never to ".old", which keeps the last good copy.
    if (disk_.copy_file(path, path + u".unread")) log(u"Kept previous data file as: " + path + u".unread", 2, 0);
  } else {
    disk_.copy_file(path, path + u".old");
  }
  if (!disk_.replace_file(temporary, path)) {
    disk_.remove_file(temporary);
    return false;
  }
  file.replaced = true;
  return true;
}

}  // namespace Orvo
