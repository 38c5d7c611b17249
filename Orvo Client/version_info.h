// The program's version block: read once, then asked for its strings.
//
//   Orvo::version_data data = Orvo::read_version_translation(nullptr);
//   std::wstring version = Orvo::query_version_string(data, L"FileVersion");
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Orvo {

struct version_data {
  std::vector<BYTE> block;        // empty when the module has no version block
  std::uint32_t translation = 0;  // the first translation: language high, code page low
};

// The version block of a module's file (null: the program) and its first
// translation from "\VarFileInfo\Translation".
version_data read_version_translation(HMODULE module);

// The string `name` of the block's first translation; empty when there is none.
std::wstring query_version_string(const version_data& data, const wchar_t* name);

// The time this code was built: "Mmm dd yyyy" (day padded with a space) and "hh:mm:ss".
std::wstring build_date_text();
std::wstring build_time_text();

}  // namespace Orvo
