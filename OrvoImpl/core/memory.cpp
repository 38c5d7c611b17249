#include "core/memory.h"

#include <cstring>
#include <string>

#include "core/errors.h"

namespace orvo::impl {
namespace {
void CheckSpan(std::uint8_t offset, const void* buffer, std::uint8_t count, const char* operation) {
  if (std::size_t{offset} + count > TMemory::Size)
    throw ERangeError(std::string(operation) + ": bytes " + std::to_string(offset) + " to " +
                      std::to_string(offset + count - 1) + " lie outside the register image");
  if (count != 0 && !buffer) throw ERangeError(std::string(operation) + ": no buffer");
}
}  // namespace

void TMemory::Write(std::uint8_t offset, const void* source, std::uint8_t count) {
  CheckSpan(offset, source, count, "TMemory::Write");
  if (count != 0) std::memmove(m_image.data() + offset, source, count);
}

void TMemory::Read(std::uint8_t offset, void* destination, std::uint8_t count) const {
  CheckSpan(offset, destination, count, "TMemory::Read");
  if (count != 0) std::memmove(destination, m_image.data() + offset, count);
}

void TMemory::CopyFrom(const TMemory& other) noexcept {
  if (&other != this) m_image = other.m_image;
}

void TMemory::NormaliseNotch(std::uint8_t* image) noexcept {
  for (std::size_t channel = 0; channel < ChannelCount; ++channel) {
    std::uint8_t& flags = image[channel * ChannelRecordSize + ChannelFlagsByte];
    flags = (flags & 0x01) ? static_cast<std::uint8_t>(flags | 0x05) : static_cast<std::uint8_t>(flags & 0xFA);
  }
}

}  // namespace orvo::impl
