// A Linux path as Wine sees it through drive Z: ("/a/b" -> "Z:\a\b");
// Windows paths pass unchanged but for their slashes.
#pragma once

#include <string>
#include <string_view>

namespace orvo::testing {

inline std::wstring windows_path(std::string_view path) {
  std::wstring result;
  if (!path.empty() && path[0] == '/') result = L"Z:";
  for (char c : path) result += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return result;
}

}  // namespace orvo::testing
