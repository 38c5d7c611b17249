// The answer of a Pelm device to a search: at least 12 bytes, the first
// four the text "Pelm" in any letter case, a zero byte, then the device's
// numbers. A 13th byte is the last number; without one it reads 15.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace pelm {

struct device_record {
  std::string identity;  // the four letters as the device sent them
  std::uint8_t byte5 = 0;
  std::uint8_t byte6 = 0;
  std::int16_t byte7 = 0;
  std::int16_t byte8 = 0;
  std::int16_t byte9 = 0;
  std::int16_t byte10 = 0;
  std::uint8_t byte11 = 0;
  std::uint8_t byte12 = 0;
};

constexpr std::size_t find_answer_size = 12;
constexpr std::uint8_t default_byte12 = 15;

// The record an answer gives, or nothing when it is not a Pelm device's.
std::optional<device_record> parse_find_answer(const std::uint8_t* data, std::size_t size);

}  // namespace pelm
