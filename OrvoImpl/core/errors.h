// Exceptions raised by OrvoImpl's byte-level core. The COM shell turns them
// into an HRESULT with error info at its boundary.
#pragma once

#include <stdexcept>

namespace orvo::impl {

// A position outside a list or a register image.
class ERangeError : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

// A sink refused bytes while a collection was being written.
class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace orvo::impl
