// Little-endian 32-bit fields of the stored and marshalled records.
#pragma once

#include <cstdint>

namespace orvo::impl {

inline void StoreI32(std::uint8_t* out, std::int32_t value) noexcept {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline std::int32_t LoadI32(const std::uint8_t* in) noexcept {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= std::uint32_t{in[i]} << (8 * i);
  return static_cast<std::int32_t>(v);
}

}  // namespace orvo::impl
