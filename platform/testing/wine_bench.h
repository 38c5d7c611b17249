// What the benchmarks that run under wine share: timing side by side, host
// paths as wine sees them (wine_path.h), and registering a library in the
// prefix.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "wine_path.h"

namespace orvo::testing {

// Milliseconds per call of f over `repeat` calls; kept in `best` when lower.
// Benchmarks call it for each of their steps in turn, round after round, so
// that every step meets the machine in the same state.
template <class F>
void keep_best(double& best, F&& f, int repeat) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < repeat; ++i) f();
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  best = std::min(best, took.count() / repeat);
}

// Loads the library and runs its DllRegisterServer; false when either fails.
inline bool register_library(const std::wstring& path) {
  HMODULE module = ::LoadLibraryW(path.c_str());
  if (!module) return false;
  auto register_server = reinterpret_cast<HRESULT(__stdcall*)()>(
      reinterpret_cast<void (*)()>(::GetProcAddress(module, "DllRegisterServer")));
  return register_server && SUCCEEDED(register_server());
}

}  // namespace orvo::testing
