// The CRC registers of the serial line. Both are defined bit by bit, most
// significant bit first (see step16_bitwise and step32_bitwise in the
// source); they are computed four bytes at a time through tables made from
// that rule.
//
// crc16_register: width 16, polynomial 0x8005, start 0xFFFF, not reflected,
// final XOR 0xFFFF; the CRC of "abc" is 0xBB27. A block followed by its two
// CRC bytes (high byte first) leaves the check residue 0x800D.
//
// crc32_register: polynomial 0x04C11DB7 in the augmented (shift-in) form,
// start 0xFFFFFFFF. end_generate() feeds four zero bytes; the register then
// holds the CRC (0xAD13F0CA for "abc"). A block followed by its four CRC
// bytes, without end_generate(), leaves 0.
#pragma once

#include <cstddef>
#include <cstdint>

namespace crc {

class crc16_register {
 public:
  static constexpr int byte_count = 2;
  static constexpr std::uint16_t residue = 0x800D;

  void reset() noexcept { m_value = 0xFFFF; }
  void add(const std::uint8_t* data, std::size_t count) noexcept;
  void end_generate() noexcept {}
  bool valid() const noexcept { return m_value == residue; }
  // Byte `index` of the transmitted CRC (the complemented register), index
  // 0 the most significant. index must be 0 or 1.
  std::uint8_t byte(int index) const noexcept {
    return static_cast<std::uint8_t>((index == 0 ? m_value >> 8 : m_value) ^ 0xFF);
  }
  std::uint16_t value() const noexcept { return m_value; }
  void set_value(std::uint16_t value) noexcept { m_value = value; }

 private:
  std::uint16_t m_value = 0xFFFF;
};

class crc32_register {
 public:
  static constexpr int byte_count = 4;

  void reset() noexcept { m_value = 0xFFFFFFFFu; }
  void add(const std::uint8_t* data, std::size_t count) noexcept;
  void end_generate() noexcept;
  bool valid() const noexcept { return m_value == 0; }
  // Byte `index` of the register, index 0 the most significant. index must
  // lie in 0..3.
  std::uint8_t byte(int index) const noexcept { return static_cast<std::uint8_t>(m_value >> (24 - 8 * index)); }
  std::uint32_t value() const noexcept { return m_value; }
  void set_value(std::uint32_t value) noexcept { m_value = value; }

 private:
  std::uint32_t m_value = 0xFFFFFFFFu;
};

}  // namespace crc
