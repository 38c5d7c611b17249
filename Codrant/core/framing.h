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
void write_pairs(const std::uint8_t* in, std::size_t count, std::uint8_t* out) noexcept;

// Joins `count` pairs from in[0 .. 2 * count) into out[0 .. count): the two
// bytes of a pair added modulo 256.
void join_pairs(const std::uint8_t* in, std::size_t count, std::uint8_t* out) noexcept;

// Joins pairs from `in` (`count` bytes) into `out` while both bytes of a
// pair are no greater than 0x80, at most `room` pairs; returns how many were
// joined. It may stop early (the caller goes on byte by byte).
std::size_t join_pair_run(const std::uint8_t* in, std::size_t count, std::size_t room, std::uint8_t* out) noexcept;

// The number of leading bytes no greater than 0x80, at most `count`.
std::size_t pair_run(const std::uint8_t* data, std::size_t count) noexcept;

}  // namespace codrant
