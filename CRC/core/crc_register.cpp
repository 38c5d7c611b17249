#include "crc_register.h"

#include <array>

namespace crc {
namespace {

// The registers take four bytes per step through four tables; each table
// gives the effect of one byte position on the register after the four
// steps. Single bytes (the tail of a block) go through the first table.
using table16 = std::array<std::array<std::uint16_t, 256>, 4>;
using table32 = std::array<std::array<std::uint32_t, 256>, 4>;

// One byte into the 16-bit register, bit by bit: feedback is the top bit
// of the register XOR the data bit.
constexpr std::uint16_t step16_bitwise(std::uint16_t r, unsigned byte) {
  for (int bit = 7; bit >= 0; --bit) {
    const unsigned feedback = ((r >> 15) ^ (byte >> bit)) & 1u;
    r = static_cast<std::uint16_t>(r << 1);
    if (feedback) r ^= 0x8005;
  }
  return r;
}

// One byte into the 32-bit register, bit by bit: the data bit is shifted
// in at the bottom; the bit shifted out at the top decides the XOR.
constexpr std::uint32_t step32_bitwise(std::uint32_t r, unsigned byte) {
  for (int bit = 7; bit >= 0; --bit) {
    const bool top = (r & 0x80000000u) != 0;
    r = (r << 1) | ((byte >> bit) & 1u);
    if (top) r ^= 0x04C11DB7u;
  }
  return r;
}

constexpr table16 make_table16() {
  table16 t{};
  // t[0][b]: byte b into an empty register; t[k][b]: followed by k zero bytes.
  for (unsigned b = 0; b < 256; ++b) t[0][b] = step16_bitwise(0, b);
  for (int k = 1; k < 4; ++k)
    for (unsigned b = 0; b < 256; ++b) t[k][b] = step16_bitwise(t[k - 1][b], 0);
  return t;
}

constexpr table32 make_table32() {
  table32 t{};
  // t[k][b]: the register byte b << 8k after four zero-byte steps. Data
  // shifted in at the bottom does not reach the top within four bytes, so
  // it never takes part in the feedback of a four-byte step.
  for (int k = 0; k < 4; ++k)
    for (unsigned b = 0; b < 256; ++b) {
      std::uint32_t r = static_cast<std::uint32_t>(b) << (8 * k);
      for (int i = 0; i < 4; ++i) r = step32_bitwise(r, 0);
      t[k][b] = r;
    }
  return t;
}

constexpr table16 t16 = make_table16();
constexpr table32 t32 = make_table32();

}  // namespace

void crc16_register::add(const std::uint8_t* data, std::size_t count) noexcept {
  if (!data) return;
  std::uint16_t r = m_value;
  const std::uint8_t* p = data;
  const std::uint8_t* const end = data + count;
  while (end - p >= 4) {
    const unsigned x0 = (r >> 8) ^ p[0];
    const unsigned x1 = (r & 0xFFu) ^ p[1];
    r = static_cast<std::uint16_t>(t16[3][x0] ^ t16[2][x1] ^ t16[1][p[2]] ^ t16[0][p[3]]);
    p += 4;
  }
  for (; p != end; ++p) r = static_cast<std::uint16_t>((r << 8) ^ t16[0][(r >> 8) ^ *p]);
  m_value = r;
}

void crc32_register::add(const std::uint8_t* data, std::size_t count) noexcept {
  if (!data) return;
  std::uint32_t r = m_value;
  const std::uint8_t* p = data;
  const std::uint8_t* const end = data + count;
  while (end - p >= 4) {
    const std::uint32_t in =
        (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
    r = in ^ t32[3][r >> 24] ^ t32[2][(r >> 16) & 0xFFu] ^ t32[1][(r >> 8) & 0xFFu] ^ t32[0][r & 0xFFu];
    p += 4;
  }
  // One byte: the top byte leaves through the single-step table (the effect
  // of a top byte after one step equals that of a bottom byte after four).
  for (; p != end; ++p) r = (r << 8) ^ *p ^ t32[0][r >> 24];
  m_value = r;
}

void crc32_register::end_generate() noexcept {
  static const std::uint8_t zeros[4] = {0, 0, 0, 0};
  add(zeros, sizeof zeros);
}

}  // namespace crc
