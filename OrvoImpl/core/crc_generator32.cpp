#include "core/crc_generator32.h"

#include <array>

namespace orvo::impl {
namespace {
// Entry t: the register t << 24 after eight shifts with zero data bits.
// Within eight shifts only the top byte decides which XORs happen, so a
// byte step is (register << 8 | byte) XOR table[register >> 24].
constexpr std::array<std::uint32_t, 256> MakeTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t t = 0; t < 256; ++t) {
    std::uint32_t r = t << 24;
    for (int bit = 0; bit < 8; ++bit) r = (r & 0x80000000u) ? (r << 1) ^ TCRCGenerator32::Polynomial : r << 1;
    table[t] = r;
  }
  return table;
}
constexpr auto Table = MakeTable();

const std::uint8_t AllOnes[TCRCGenerator32::ChecksumSize] = {0xFF, 0xFF, 0xFF, 0xFF};
}  // namespace

void TCRCGenerator32::Add(const std::uint8_t* data, std::size_t count) noexcept {
  if (!data) return;
  std::uint32_t r = m_value;
  for (std::size_t i = 0; i < count; ++i) r = ((r << 8) | data[i]) ^ Table[r >> 24];
  m_value = r;
}

void TCRCGenerator32::Store(std::uint8_t* data, std::size_t count) noexcept {
  TCRCGenerator32 generator;
  generator.Add(data, count);
  generator.Add(AllOnes, sizeof AllOnes);
  const std::uint32_t value = generator.Value();
  for (std::size_t i = 0; i < ChecksumSize; ++i) data[count + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

bool TCRCGenerator32::Holds(const std::uint8_t* data, std::size_t count) noexcept {
  TCRCGenerator32 generator;
  generator.Add(data, count + ChecksumSize);
  return generator.Value() == ValidResidue;
}

}  // namespace orvo::impl
