// A reference for the line decoder, written apart from the codec and in
// another shape: it cuts the whole stream into frame bodies first (from the
// last 0x81 before an 0xFF), then accepts a body only when it holds no byte
// above 0x80 and an even number of bytes, joining each pair by addition
// modulo 256. A byte above 0x80 other than 0x81 and 0xFF inside a body
// discards it; bytes outside bodies never matter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace reference {

using bytes = std::vector<std::uint8_t>;

inline std::vector<bytes> packets_in(const std::uint8_t* stream, std::size_t size) {
  std::vector<bytes> found;
  bool open = false;
  std::size_t body = 0;  // index of the first byte after the opening 0x81
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned v = stream[i];
    if (v == 0x81) {
      open = true;
      body = i + 1;
    } else if (v == 0xFF) {
      if (open && (i - body) % 2 == 0) {
        bytes packet;
        for (std::size_t k = body; k < i; k += 2)
          packet.push_back(static_cast<std::uint8_t>((stream[k] + stream[k + 1]) & 0xFF));
        found.push_back(packet);
      }
      open = false;
    } else if (v > 0x80) {
      open = false;
    }
  }
  return found;
}

}  // namespace reference
