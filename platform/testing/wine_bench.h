// What the benchmarks that run under wine share: timing side by side, host
// paths as wine sees them (wine_path.h), and registering a library in the
// prefix.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

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

// Milliseconds one call of f takes.
template <class F>
double time_ms(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  return took.count();
}

// The middle of the samples (the mean of the two middle ones for an even
// count); 0 for none. The samples are reordered.
inline double median(std::vector<double>& samples) {
  if (samples.empty()) return 0;
  const auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
  std::nth_element(samples.begin(), middle, samples.end());
  if (samples.size() % 2) return *middle;
  return (*middle + *std::max_element(samples.begin(), middle)) / 2;
}

// Loads the library and runs its DllRegisterServer (DllUnregisterServer
// when `unregister`); false when either fails.
inline bool register_library(const std::wstring& path, bool unregister = false) {
  HMODULE module = ::LoadLibraryW(path.c_str());
  if (!module) return false;
  auto register_server = reinterpret_cast<HRESULT(__stdcall*)()>(
      reinterpret_cast<void (*)()>(::GetProcAddress(module, unregister ? "DllUnregisterServer" : "DllRegisterServer")));
  return register_server && SUCCEEDED(register_server());
}

}  // namespace orvo::testing
