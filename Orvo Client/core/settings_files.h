// Reading and writing the client's three data files: the session
// ("options.xml") and the common and user-specific protocol libraries
// ("protocols.xml"), with the start and exit orders and their log lines.
#pragma once

#include "archive_text.h"
#include "records.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace Orvo {

// Failure code of the log lines (E_FAIL).
constexpr std::int32_t failure_code = std::int32_t(0x80004005u);

// What the files need from the system: the data folders, files by wide path
// and the built-in session. Folder and path functions may throw.
class settings_disk {
 public:
  virtual ~settings_disk() = default;
  virtual wide_string user_data_folder() = 0;
  virtual wide_string common_data_folder() = 0;
  // The path of name in the product folder below base, creating folders.
  virtual wide_string product_file(const wide_string& base, const wide_string& name) = 0;
  // Whole content, or nothing when the file cannot be opened or read.
  virtual std::optional<std::string> read_file(const wide_string& path) = 0;
  // Creates or truncates path with content; false when any step failed.
  virtual bool write_file(const wide_string& path, const std::string& content) = 0;
  virtual bool copy_file(const wide_string& from, const wide_string& to) = 0;
  // Moves from over to, replacing it, written through to the disk.
  virtual bool replace_file(const wide_string& from, const wide_string& to) = 0;
  virtual void remove_file(const wide_string& path) = 0;
  // The session archive built into the program, or nothing.
  virtual std::optional<std::string> builtin_session() = 0;
  // Decoder of archive texts that are not UTF-8.
  virtual ansi_decoder text_decoder() { return nullptr; }
};

// A log line: text, level (1 information, 2 warning, 3 error), code.
using settings_log = std::function<void(const wide_string& text, int level, std::int32_t code)>;
// Reports the exception being handled (called only inside a catch block,
// before the failure's own log line); must not throw.
using failure_report = std::function<void()>;

class settings_files {
 public:
  settings_files(session_data& session, protocol_libraries& libraries, settings_disk& disk, settings_log log,
                 failure_report report = {});
  // Takes back the library writers it installed.
  ~settings_files();
  settings_files(const settings_files&) = delete;
  settings_files& operator=(const settings_files&) = delete;

  // At start: without switch B the session, the common library (then the
  // change signal), the user library (then the signal); with switch B
  // nothing is read. Then the libraries' writers are SaveCommonProtocols
  // and SaveUserProtocols, through which every change writes its library.
  void start(bool switch_b);
  // At exit: the common library, the user library, then the session.
  void exit();

  void LoadSessionData();
  void SaveSessionData();
  // True when the file was read whole.
  bool LoadProtocols(const wide_string& base, protocols& library);
  // Writes the library when it differs from what its file last held;
  // true when the file holds the library afterwards.
  bool SaveProtocols(const wide_string& base, protocols& library);
  bool SaveCommonProtocols();
  bool SaveUserProtocols();

 private:
  // What this run knows of one file.
  struct file_state {
    bool read = false;              // read completely this run
    bool replaced = false;          // written at least once this run
    std::optional<protocols> held;  // library content the file holds, when known
  };

  // Runs a library operation in one of the disk's base folders.
  bool in_folder(wide_string (settings_disk::*folder)(), protocols& library,
                 bool (settings_files::*operation)(const wide_string&, protocols&));
  bool read_session_from(const std::optional<std::string>& content);
  // Writes content over path through a temporary beside it; the previous
  // file goes to ".old", or, when it was not read this run, before its
  // first replacement to ".unread". Returns whether the file was written.
  bool replace(const wide_string& path, const std::string& content);
  void log(const wide_string& text, int level, std::int32_t code) const;
  void report() const;

  session_data& session_;
  protocol_libraries& libraries_;
  settings_disk& disk_;
  settings_log log_;
  failure_report report_;
  std::map<wide_string, file_state> files_;
  bool writers_installed_ = false;
};

}  // namespace Orvo
