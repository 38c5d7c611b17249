// A CRC register of 8 to 32 bits (a whole number of bytes), parameterised as
// Boost.CRC parameterises its computers: width, truncated polynomial,
// initial register value and final XOR, data fed most significant bit first
// and nothing reflected. Two forms of feeding the register exist:
//
//   crc_form::direct     each data bit is XORed into the top bit before the
//                        shift (Boost's crc_basic and crc_optimal); the
//                        register holds the running CRC;
//   crc_form::augmented  each data bit is shifted in at the bottom and the
//                        bit shifted out at the top decides the XOR (Boost's
//                        augmented_crc); the register holds the CRC only
//                        after `width` zero bits, fed by end_generate().
//
// In both forms the transmitted CRC is the register XOR the final XOR, most
// significant byte first (byte()), and a block followed by its CRC bytes
// leaves the register at `residue`.
//
// The register takes four bytes a step through four tables made at compile
// time; table k holds the effect of a byte that still has k more bytes to
// travel, so that one step is four lookups. A register narrower than 32 bits
// is kept in the top bits of a 32-bit word, which lets every width share the
// same step.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvo::checksum {

enum class crc_form { direct, augmented };

namespace detail {

// A register of up to 32 bits kept in the top bits of a 32-bit word, after
// n zero bits in the direct form; poly is the polynomial aligned the same way.
constexpr std::uint32_t shift_zeros(std::uint32_t r, int n, std::uint32_t poly) {
  for (int i = 0; i < n; ++i) r = (r & 0x80000000u) ? (r << 1) ^ poly : r << 1;
  return r;
}

// tables[k][b]: the aligned register holding b in its top byte, after
// 8 * k more zero bits than it takes the byte to leave the register.
using crc_tables = std::array<std::array<std::uint32_t, 256>, 4>;
constexpr crc_tables make_crc_tables(std::uint32_t poly) {
  crc_tables t{};
  for (std::uint32_t b = 0; b < 256; ++b) t[0][b] = shift_zeros(b << 24, 8, poly);
  for (int k = 1; k < 4; ++k)
    for (std::uint32_t b = 0; b < 256; ++b) t[k][b] = shift_zeros(t[k - 1][b], 8, poly);
  return t;
}

template <std::uint32_t AlignedPoly>
inline constexpr crc_tables crc_tables_for = make_crc_tables(AlignedPoly);

}  // namespace detail

template <int Bits, std::uint32_t TruncPoly, std::uint32_t InitialValue, std::uint32_t FinalXor, crc_form Form>
class crc_register {
  static_assert(Bits >= 8 && Bits <= 32 && Bits % 8 == 0, "a CRC register of whole bytes, 8 to 32 bits");

 public:
  using value_type = std::uint32_t;
  static constexpr int width = Bits;
  static constexpr int byte_count = Bits / 8;
  static constexpr value_type mask = Bits == 32 ? 0xFFFFFFFFu : (value_type{1} << (Bits % 32)) - 1;
  static_assert((TruncPoly & ~mask) == 0 && (InitialValue & ~mask) == 0 && (FinalXor & ~mask) == 0,
                "parameters wider than the register");

  // What a block followed by its CRC bytes leaves in the register.
  static constexpr value_type residue = Form == crc_form::direct ? detail::shift_zeros(FinalXor << (32 - Bits), Bits,
                                                                                       TruncPoly << (32 - Bits)) >>
                                                                       (32 - Bits)
                                                                 : FinalXor;

  void reset() noexcept { m_aligned = aligned(InitialValue); }

  // Feeds count bytes in order; null data changes nothing.
  void add(const std::uint8_t* data, std::size_t count) noexcept {
    if (!data) return;
    std::uint32_t r = m_aligned;
    const std::uint8_t* p = data;
    const std::uint8_t* const end = data + count;
    while (end - p >= 4) {
      const std::uint32_t in =
          (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
      if constexpr (Form == crc_form::direct) {
        r = fold(r ^ in);
      } else {
        // The bits of `in` that pass the top within the four bytes take part
        // in the feedback; the last `Bits` bits stay in the register as fed.
        r = fold(r ^ above_register(in)) ^ (in << unused);
      }
      p += 4;
    }
    for (; p != end; ++p) {
      if constexpr (Form == crc_form::direct) {
        r = (r << 8) ^ table[0][(r >> 24) ^ *p];
      } else {
        r = (r << 8) ^ table[0][r >> 24] ^ (std::uint32_t{*p} << unused);
      }
    }
    m_aligned = r;
  }

  // Augmented form: feeds `Bits` zero bits, after which the register holds
  // the CRC. Direct form: the register already holds it; nothing to do.
  void end_generate() noexcept {
    if constexpr (Form == crc_form::augmented) {
      static constexpr std::uint8_t zeros[byte_count] = {};
      add(zeros, byte_count);
    }
  }

  bool valid() const noexcept { return value() == residue; }

  // Byte `index` of the transmitted CRC (the register XOR the final XOR),
  // index 0 the most significant; index lies in 0..byte_count-1.
  std::uint8_t byte(int index) const noexcept {
    return static_cast<std::uint8_t>((value() ^ FinalXor) >> (Bits - 8 - 8 * index));
  }

  value_type value() const noexcept { return m_aligned >> unused; }
  void set_value(value_type value) noexcept { m_aligned = aligned(value & mask); }

 private:
  static constexpr int unused = 32 - Bits;
  static constexpr std::uint32_t poly = TruncPoly << unused;
  static constexpr const detail::crc_tables& table = detail::crc_tables_for<poly>;

  static constexpr std::uint32_t aligned(value_type value) { return value << unused; }
  static constexpr std::uint32_t above_register(std::uint32_t in) {
    if constexpr (Bits == 32) {
      return 0;
    } else {
      return in >> Bits;
    }
  }

  // A 32-bit word of pending bits, most significant first, through the
  // register: the four byte positions looked up at once.
  static std::uint32_t fold(std::uint32_t w) noexcept {
    return table[3][w >> 24] ^ table[2][(w >> 16) & 0xFFu] ^ table[1][(w >> 8) & 0xFFu] ^ table[0][w & 0xFFu];
  }

  std::uint32_t m_aligned = aligned(InitialValue);
};

}  // namespace orvo::checksum
