// The framing of the serial line.
//
// A frame carries one packet: 0x81, then every packet byte as a pair of
// bytes both no greater than 0x80, then 0xFF. A byte b up to 0x80 goes as
// 00 b, a byte from 0x81 up as (b - 0x80) 80; the receiver adds the two
// bytes of a pair. So 0x81 and 0xFF never occur inside a frame, and a frame
// of an n-byte packet is 2n + 2 bytes long.
#pragma once

#include <cstddef>
#include <cstdint>

namespace codrant {

constexpr std::uint8_t frame_start = 0x81;
constexpr std::uint8_t frame_end = 0xFF;
// The largest byte that may stand in a pair.
constexpr std::uint8_t pair_limit = 0x80;

constexpr std::size_t frame_size(std::size_t packet_size) noexcept { return 2 * packet_size + 2; }

// Writes the pairs of `count` packet bytes to out[0 .. 2 * count).
inline void write_pairs(const std::uint8_t* in, std::size_t count, std::uint8_t* out) noexcept {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t b = in[i];
    const bool high = b > pair_limit;
    out[2 * i] = high ? static_cast<std::uint8_t>(b - pair_limit) : 0;
    out[2 * i + 1] = high ? pair_limit : b;
  }
}

// Joins `pairs` pairs from in[0 .. 2 * pairs) into out[0 .. pairs).
inline void join_pairs(const std::uint8_t* in, std::size_t pairs, std::uint8_t* out) noexcept {
  for (std::size_t i = 0; i < pairs; ++i) out[i] = static_cast<std::uint8_t>(in[2 * i] + in[2 * i + 1]);
}

}  // namespace codrant
