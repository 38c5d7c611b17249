// The updater's command lines: the program name, one space and the arguments.
#pragma once

#include <cstdint>
#include <string>

namespace zel {

extern const wchar_t* const updater_file_name;
// "updater.exe " followed by the arguments.
std::wstring updater_command_line(const std::wstring& arguments);
// The arguments that open the updater's settings over a window: "/configure "
// and the window's handle in unsigned decimal, nothing after it.
std::wstring configure_arguments(std::uint64_t window_handle);

}  // namespace zel
