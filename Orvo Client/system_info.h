// Starting System Information from the splash page: the program's path
// from the registry (or the shell's search), a line in the event log, and
// ShellExecuteExW through a seam that tests replace.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>

#include "error_report.h"

namespace Orvo {

// Where the start is logged and which window owns what the shell shows
// (the main frame's client window).
struct system_info_context {
  CLogSink* log = nullptr;
  HWND owner = nullptr;
};

// S_OK when System Information was started; S_FALSE otherwise, after a
// warning in the log with the failure's code and text.
HRESULT start_system_information(const system_info_context& context) noexcept;

// The shell call (ShellExecuteExW when none is installed); returns the previous one.
using shell_execute_call = std::function<BOOL(SHELLEXECUTEINFOW* info)>;
shell_execute_call set_shell_execute_call(shell_execute_call call);
// ShellExecuteExW, or the installed call.
BOOL shell_execute(SHELLEXECUTEINFOW* info);

}  // namespace Orvo
