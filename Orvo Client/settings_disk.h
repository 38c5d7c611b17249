// The data files of the client on the Windows file system: folders from the
// shell, files by wide path, saves through a temporary moved over the target,
// the built-in session from the program's resources.
#pragma once

#include <windows.h>

#include <string>

#include "core/settings_files.h"

class CSettingsDisk : public Orvo::settings_disk {
 public:
  // module: where the built-in session resource lives. Base folders given
  // here stand in for the shell's user and common data folders.
  explicit CSettingsDisk(HMODULE module, std::wstring user_base = {}, std::wstring common_base = {})
      : m_module(module), m_user_base(std::move(user_base)), m_common_base(std::move(common_base)) {}

  Orvo::wide_string user_data_folder() override;
  Orvo::wide_string common_data_folder() override;
  Orvo::wide_string product_file(const Orvo::wide_string& base, const Orvo::wide_string& name) override;
  std::optional<std::string> read_file(const Orvo::wide_string& path) override;
  bool write_file(const Orvo::wide_string& path, const std::string& content) override;
  bool copy_file(const Orvo::wide_string& from, const Orvo::wide_string& to) override;
  bool replace_file(const Orvo::wide_string& from, const Orvo::wide_string& to) override;
  void remove_file(const Orvo::wide_string& path) override;
  std::optional<std::string> builtin_session() override;
  Orvo::ansi_decoder text_decoder() override;

 private:
  HMODULE m_module;
  std::wstring m_user_base, m_common_base;
};

// Wide strings of the Windows API and of the portable records.
std::wstring to_wstring(const Orvo::wide_string& text);
Orvo::wide_string to_wide_string(const std::wstring& text);
