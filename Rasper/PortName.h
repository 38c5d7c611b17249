// Port names are compared and opened as narrow strings (the system's ANSI
// code page), as the port's file name is.
#pragma once

#include <windows.h>

#include <string>

inline std::string NarrowPortName(const std::wstring& name) {
  const int size = static_cast<int>(name.size());
  const int n = WideCharToMultiByte(CP_ACP, 0, name.data(), size, nullptr, 0, nullptr, nullptr);
  std::string result(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, name.data(), size, result.data(), n, nullptr, nullptr);
  return result;
}
