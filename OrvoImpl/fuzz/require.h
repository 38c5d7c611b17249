// The fuzz targets' check: a broken expectation ends the run, so libFuzzer
// keeps the input that broke it.
#pragma once

#include <cstdlib>

namespace orvo::impl::fuzz {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace orvo::impl::fuzz
