// Facts about the CRC registers of the serial line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/crc_register.h"

namespace {
const std::uint8_t abc[] = {'a', 'b', 'c'};

std::vector<std::uint8_t> with_crc16(std::vector<std::uint8_t> packet) {
  crc::crc16_register r;
  r.add(packet.data(), packet.size());
  r.end_generate();
  packet.push_back(r.byte(0));
  packet.push_back(r.byte(1));
  return packet;
}

bool checks_valid16(const std::vector<std::uint8_t>& bytes) {
  crc::crc16_register r;
  r.add(bytes.data(), bytes.size());
  return r.valid();
}

TEST(Crc16Register, StartsAllOnesAndGivesBB27ForAbc) {
  crc::crc16_register r;
  EXPECT_EQ(r.value(), 0xFFFF);
  r.add(abc, 3);
  EXPECT_EQ(r.byte(0), 0xBB);
  EXPECT_EQ(r.byte(1), 0x27);
  EXPECT_EQ(r.value() ^ 0xFFFF, 0xBB27);
}

TEST(Crc16Register, PacketWithItsCrcLeavesResidue800D) {
  const auto packet = with_crc16({0x05, 0x10, 'h', 'e', 'l', 'l', 'o'});
  crc::crc16_register r;
  r.add(packet.data(), packet.size());
  EXPECT_EQ(r.value(), 0x800D);
  EXPECT_TRUE(r.valid());
}

TEST(Crc16Register, EverySingleFlippedBitMakesThePacketInvalid) {
  const auto packet = with_crc16({0x7F, 0x10, 0x00, 0x80, 0xFF, 0x42});
  ASSERT_TRUE(checks_valid16(packet));
  for (std::size_t i = 0; i < packet.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      auto damaged = packet;
      damaged[i] ^= static_cast<std::uint8_t>(1u << bit);
      EXPECT_FALSE(checks_valid16(damaged)) << "byte " << i << " bit " << bit;
    }
  }
}

TEST(Crc16Register, NullDataLeavesTheRegisterUnchanged) {
  crc::crc16_register r;
  r.add(abc, 2);
  const auto before = r.value();
  r.add(nullptr, 5);
  EXPECT_EQ(r.value(), before);
}

TEST(Crc16Register, ResetReturnsToAllOnes) {
  crc::crc16_register r;
  r.add(abc, 3);
  r.reset();
  EXPECT_EQ(r.value(), 0xFFFF);
}

TEST(Crc32Register, GivesAD13F0CAForAbcAfterEndGenerate) {
  crc::crc32_register r;
  r.add(abc, 3);
  r.end_generate();
  EXPECT_EQ(r.value(), 0xAD13F0CAu);
  EXPECT_EQ(r.byte(0), 0xAD);
  EXPECT_EQ(r.byte(1), 0x13);
  EXPECT_EQ(r.byte(2), 0xF0);
  EXPECT_EQ(r.byte(3), 0xCA);
}

TEST(Crc32Register, BlockFollowedByItsFourCrcBytesLeavesZero) {
  std::vector<std::uint8_t> block = {1, 2, 3, 4, 5, 0xFE, 0x81, 0x00};
  crc::crc32_register gen;
  gen.add(block.data(), block.size());
  gen.end_generate();
  for (int i = 0; i < 4; ++i) block.push_back(gen.byte(i));
  crc::crc32_register check;
  check.add(block.data(), block.size());
  EXPECT_EQ(check.value(), 0u);
  EXPECT_TRUE(check.valid());
  block[2] ^= 0x10;
  check.reset();
  check.add(block.data(), block.size());
  EXPECT_FALSE(check.valid());
}

TEST(Crc32Register, NullDataLeavesTheRegisterUnchanged) {
  crc::crc32_register r;
  r.add(abc, 1);
  const auto before = r.value();
  r.add(nullptr, 3);
  EXPECT_EQ(r.value(), before);
}

TEST(CrcRegisters, SplittingTheInputGivesTheSameRegister) {
  const std::uint8_t data[] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0xFF};
  crc::crc16_register whole16, parts16;
  crc::crc32_register whole32, parts32;
  whole16.add(data, sizeof data);
  whole32.add(data, sizeof data);
  parts16.add(data, 4);
  parts16.add(data + 4, sizeof data - 4);
  parts32.add(data, 7);
  parts32.add(data + 7, sizeof data - 7);
  EXPECT_EQ(whole16.value(), parts16.value());
  EXPECT_EQ(whole32.value(), parts32.value());
}
}  // namespace

// Agreement with an independent implementation on random data.
#include <boost/crc.hpp>

#include <random>

namespace {
std::vector<std::uint8_t> random_bytes(std::mt19937& rng, std::size_t n) {
  std::vector<std::uint8_t> v(n);
  for (auto& b : v) b = static_cast<std::uint8_t>(rng());
  return v;
}

TEST(CrcRegisters, AgreeWithBoostCrcOnRandomBlocksOfEveryLengthUpTo70) {
  std::mt19937 rng(20261209);
  for (std::size_t n = 0; n <= 70; ++n) {
    for (int round = 0; round < 20; ++round) {
      const auto data = random_bytes(rng, n);
      crc::crc16_register r16;
      r16.add(data.data(), data.size());
      boost::crc_optimal<16, 0x8005, 0xFFFF, 0xFFFF, false, false> b16;
      b16.process_bytes(data.data(), data.size());
      ASSERT_EQ(r16.byte(0) << 8 | r16.byte(1), b16.checksum()) << "length " << n;

      crc::crc32_register r32;
      r32.add(data.data(), data.size());
      r32.end_generate();
      auto augmented = data;
      augmented.insert(augmented.end(), 4, 0);
      const auto b32 = boost::augmented_crc<32, 0x04C11DB7>(augmented.data(), augmented.size(), 0xFFFFFFFFu);
      ASSERT_EQ(r32.value(), b32) << "length " << n;
    }
  }
}

TEST(CrcRegisters, AgreeWithBoostCrcWhenFedInUnevenPieces) {
  std::mt19937 rng(7);
  const auto data = random_bytes(rng, 4099);
  crc::crc16_register r16;
  crc::crc32_register r32;
  for (std::size_t at = 0; at < data.size();) {
    const std::size_t piece = std::min<std::size_t>(data.size() - at, rng() % 11);
    r16.add(data.data() + at, piece);
    r32.add(data.data() + at, piece);
    at += piece;
  }
  boost::crc_optimal<16, 0x8005, 0xFFFF, 0xFFFF, false, false> b16;
  b16.process_bytes(data.data(), data.size());
  EXPECT_EQ(r16.value() ^ 0xFFFF, b16.checksum());
  r32.end_generate();
  auto augmented = data;
  augmented.insert(augmented.end(), 4, 0);
  const auto b32 = boost::augmented_crc<32, 0x04C11DB7>(augmented.data(), augmented.size(), 0xFFFFFFFFu);
  EXPECT_EQ(r32.value(), b32);
}
}  // namespace
