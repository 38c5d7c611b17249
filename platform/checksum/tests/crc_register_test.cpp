// Facts about the parameterised CRC register, checked against Boost.CRC for
// both forms and several widths, polynomials, start values and final XORs.
#include <gtest/gtest.h>

#include <boost/crc.hpp>
#include <cstdint>
#include <random>
#include <vector>

#include "checksum/crc_register.h"

namespace {
using orvo::checksum::crc_form;
using orvo::checksum::crc_register;
using bytes = std::vector<std::uint8_t>;

bytes random_bytes(std::mt19937& rng, std::size_t n) {
  bytes v(n);
  for (auto& b : v) b = static_cast<std::uint8_t>(rng());
  return v;
}

// One parameter set: our register and Boost's CRC of a whole block with the
// same parameters (the transmitted CRC for the direct form, the register for
// the augmented form).
template <int Bits, std::uint32_t Poly, std::uint32_t Init, std::uint32_t Xor, crc_form Form>
struct parameters {
  using reg = crc_register<Bits, Poly, Init, Xor, Form>;
  static std::uint32_t ours(const bytes& data) {
    reg r;
    r.add(data.data(), data.size());
    return Form == crc_form::direct ? r.value() ^ Xor : r.value();
  }
  static std::uint32_t boost_crc(const bytes& data) {
    if constexpr (Form == crc_form::direct) {
      boost::crc_optimal<Bits, Poly, Init, Xor, false, false> c;
      c.process_bytes(data.data(), data.size());
      return c.checksum();
    } else {
      return boost::augmented_crc<Bits, Poly>(data.data(), data.size(), Init);
    }
  }
};

using parameter_sets = ::testing::Types<parameters<16, 0x8005, 0xFFFF, 0xFFFF, crc_form::direct>,
                                        parameters<32, 0x04C11DB7, 0xFFFFFFFF, 0xFFFFFFFF, crc_form::direct>,
                                        parameters<8, 0x07, 0, 0, crc_form::direct>,
                                        parameters<24, 0x864CFB, 0xB704CE, 0x5A5A5A, crc_form::direct>,
                                        parameters<32, 0x04C11DB7, 0x0FFFFFFF, 0xFFFFFFFF, crc_form::augmented>,
                                        parameters<16, 0x1021, 0xFFFF, 0, crc_form::augmented>,
                                        parameters<24, 0x864CFB, 0x123456, 0x0F0F0F, crc_form::augmented>,
                                        parameters<8, 0x31, 0xAB, 0, crc_form::augmented>>;

template <class P>
class CrcRegister : public ::testing::Test {};
TYPED_TEST_SUITE(CrcRegister, parameter_sets, );

TYPED_TEST(CrcRegister, AgreesWithBoostCrcOnRandomBlocksOfEveryLengthUpTo70) {
  std::mt19937 rng(20261209);
  for (std::size_t n = 0; n <= 70; ++n)
    for (int round = 0; round < 10; ++round) {
      const bytes data = random_bytes(rng, n);
      ASSERT_EQ(TypeParam::ours(data), TypeParam::boost_crc(data)) << "length " << n;
    }
}

TYPED_TEST(CrcRegister, FedInUnevenPiecesHoldsWhatItHoldsFedWhole) {
  std::mt19937 rng(7);
  const bytes data = random_bytes(rng, 4099);
  typename TypeParam::reg pieces;
  for (std::size_t at = 0; at < data.size();) {
    const std::size_t piece = std::min<std::size_t>(data.size() - at, rng() % 11);
    pieces.add(data.data() + at, piece);
    at += piece;
  }
  typename TypeParam::reg whole;
  whole.add(data.data(), data.size());
  EXPECT_EQ(pieces.value(), whole.value());
}

TYPED_TEST(CrcRegister, ABlockFollowedByItsCrcBytesLeavesTheResidueAndAFlippedBitDoesNot) {
  using reg = typename TypeParam::reg;
  bytes block = {0x7F, 0x10, 0x00, 0x80, 0xFF, 0x42, 0x81};
  reg generator;
  generator.add(block.data(), block.size());
  generator.end_generate();
  for (int i = 0; i < reg::byte_count; ++i) block.push_back(generator.byte(i));

  const auto leaves_residue = [](const bytes& b) {
    reg check;
    check.add(b.data(), b.size());
    return check.valid();
  };
  ASSERT_TRUE(leaves_residue(block));
  for (std::size_t i = 0; i < block.size(); ++i)
    for (int bit = 0; bit < 8; ++bit) {
      bytes damaged = block;
      damaged[i] ^= static_cast<std::uint8_t>(1u << bit);
      EXPECT_FALSE(leaves_residue(damaged)) << "byte " << i << " bit " << bit;
    }
}

TYPED_TEST(CrcRegister, NullDataChangesNothingAndResetReturnsToTheStartValue) {
  using reg = typename TypeParam::reg;
  const reg fresh;
  reg r;
  const std::uint8_t abc[] = {'a', 'b', 'c'};
  r.add(abc, 3);
  const auto before = r.value();
  r.add(nullptr, 5);
  EXPECT_EQ(r.value(), before);
  EXPECT_NE(r.value(), fresh.value());
  r.reset();
  EXPECT_EQ(r.value(), fresh.value());
}

TEST(CrcRegisterValue, ASetValueIsKeptToTheRegisterWidth) {
  crc_register<16, 0x8005, 0xFFFF, 0xFFFF, crc_form::direct> r;
  r.set_value(0x12345678u);
  EXPECT_EQ(r.value(), 0x5678u);
  EXPECT_EQ(r.byte(0), 0x56 ^ 0xFF);
  EXPECT_EQ(r.byte(1), 0x78 ^ 0xFF);
}
}  // namespace
