#include "crc_register.h"

namespace crc {

void crc16_register::add(const std::uint8_t* data, std::size_t count) noexcept {
  if (!data) return;
  std::uint16_t r = m_value;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned byte = data[i];
    for (int bit = 7; bit >= 0; --bit) {
      const unsigned feedback = ((r >> 15) ^ (byte >> bit)) & 1u;
      r = static_cast<std::uint16_t>(r << 1);
      if (feedback) r ^= 0x8005;
    }
  }
  m_value = r;
}

void crc32_register::add(const std::uint8_t* data, std::size_t count) noexcept {
  if (!data) return;
  std::uint32_t r = m_value;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned byte = data[i];
    for (int bit = 7; bit >= 0; --bit) {
      const bool top = (r & 0x80000000u) != 0;
      r = (r << 1) | ((byte >> bit) & 1u);
      if (top) r ^= 0x04C11DB7u;
    }
  }
  m_value = r;
}

void crc32_register::end_generate() noexcept {
  static const std::uint8_t zeros[4] = {0, 0, 0, 0};
  add(zeros, sizeof zeros);
}

}  // namespace crc
