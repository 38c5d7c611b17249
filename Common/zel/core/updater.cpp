#include "core/updater.h"

namespace zel {

const wchar_t* const updater_file_name = L"updater.exe";

std::wstring updater_command_line(const std::wstring& arguments) {
  return std::wstring(updater_file_name) + L" " + arguments;
}

std::wstring configure_arguments(std::uint64_t window_handle) {
  return L"/configure " + std::to_wstring(window_handle);
}

}  // namespace zel
