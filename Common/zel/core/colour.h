// Colours of the toolkit's drawing as red, green and blue, convertible to
// and from the window system's 0x00BBGGRR colour values.
#pragma once

#include <cstdint>

namespace zel {

struct colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  static constexpr colour from_value(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF),
            static_cast<std::uint8_t>((value >> 16) & 0xFF)};
  }
  constexpr std::uint32_t value() const {
    return red | static_cast<std::uint32_t>(green) << 8 | static_cast<std::uint32_t>(blue) << 16;
  }
  friend constexpr bool operator==(const colour& a, const colour& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
  }
  friend constexpr bool operator!=(const colour& a, const colour& b) { return !(a == b); }
};

// `percent` of the way from a to b, each of red, green and blue as
// a + (b - a) * percent / 100 with the division truncating toward zero
// (blend(255, 0, 3) is 248, not 247).
constexpr int blend(int a, int b, int percent) { return a + (b - a) * percent / 100; }

constexpr colour blend(const colour& a, const colour& b, int percent) {
  return {static_cast<std::uint8_t>(blend(a.red, b.red, percent)),
          static_cast<std::uint8_t>(blend(a.green, b.green, percent)),
          static_cast<std::uint8_t>(blend(a.blue, b.blue, percent))};
}

}  // namespace zel
