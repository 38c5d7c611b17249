// Facts about the CRC registers of the serial line.
#include <gtest/gtest.h>

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

}  // namespace
