#include "updater_window.h"

#include <shlwapi.h>

#include <vector>

#include "errors.h"

namespace zel {

std::shared_ptr<void> launch_updater(const std::wstring& folder, const std::wstring& arguments) {
  // PathAppendW works in MAX_PATH buffers.
  wchar_t path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) throw_win32_error(n ? ERROR_INSUFFICIENT_BUFFER : ::GetLastError());
  ::PathRemoveFileSpecW(path);
  if (!folder.empty() && !::PathAppendW(path, folder.c_str())) throw_win32_error(ERROR_BAD_PATHNAME);
  if (!::PathAppendW(path, updater_file_name)) throw_win32_error(ERROR_BAD_PATHNAME);
  const std::wstring line = updater_command_line(arguments);
  std::vector<wchar_t> command(line.begin(), line.end());
  command.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(path, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    throw_win32_error(::GetLastError());
  }
  ::CloseHandle(process.hThread);
  return std::shared_ptr<void>(process.hProcess, ::CloseHandle);
}

}  // namespace zel
