#include "core/crc_generator32.h"

namespace orvo::impl {

void TCRCGenerator32::Store(std::uint8_t* data, std::size_t count) noexcept {
  TRegister generator;
  generator.add(data, count);
  generator.end_generate();
  for (std::size_t i = 0; i < ChecksumSize; ++i) data[count + i] = generator.byte(static_cast<int>(i));
}

bool TCRCGenerator32::Holds(const std::uint8_t* data, std::size_t count) noexcept {
  TRegister generator;
  generator.add(data, count + ChecksumSize);
  return generator.valid();
}

}  // namespace orvo::impl
