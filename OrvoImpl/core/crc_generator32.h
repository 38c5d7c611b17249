// TCRCGenerator32: the checksum register of the state string. Polynomial
// 0x04C11DB7 in the shift-in form: per data bit, most significant bit
// first, the register shifts left taking the bit in at the bottom and, when
// the bit shifted out was 1, is XORed with the polynomial. It starts at
// 0x0FFFFFFF; no reflection.
//
// A span is protected by feeding it and four 0xFF bytes to a fresh register
// and storing the register after the span, most significant byte first; the
// span and its stored bytes then drive a fresh register to 0xFFFFFFFF.
#pragma once

#include <cstddef>
#include <cstdint>

#include "checksum/crc_register.h"

namespace orvo::impl {

class TCRCGenerator32 {
 public:
  static constexpr std::uint32_t Polynomial = 0x04C11DB7u;
  static constexpr std::uint32_t StartValue = 0x0FFFFFFFu;
  static constexpr std::uint32_t ValidResidue = 0xFFFFFFFFu;
  static constexpr std::size_t ChecksumSize = 4;

  void Reset() noexcept { m_register.reset(); }
  void Add(const std::uint8_t* data, std::size_t count) noexcept { m_register.add(data, count); }
  std::uint32_t Value() const noexcept { return m_register.value(); }

  // Writes the checksum of data[0..count) to data[count..count+4).
  static void Store(std::uint8_t* data, std::size_t count) noexcept;
  // True when data[0..count) is followed by its valid stored checksum at
  // data[count..count+4).
  static bool Holds(const std::uint8_t* data, std::size_t count) noexcept;

 private:
  // The four 0xFF bytes that close a span reach the register unreduced, so
  // feeding them equals feeding four zero bytes and complementing: the
  // augmented register with final XOR 0xFFFFFFFF, whose residue is then
  // 0xFFFFFFFF too.
  using TRegister =
      orvo::checksum::crc_register<32, Polynomial, StartValue, ValidResidue, orvo::checksum::crc_form::augmented>;
  static_assert(TRegister::residue == ValidResidue && TRegister::byte_count == ChecksumSize);

  TRegister m_register;
};

}  // namespace orvo::impl
