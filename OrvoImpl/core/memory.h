// TMemory: one amplifier's register image, 82 bytes laid out as the
// amplifier's own registers: eight 9-byte channel records (channel n at
// 9 x n) followed by the 10-byte amplifier record at byte 72.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvo::impl {

class TMemory {
 public:
  static constexpr std::size_t Size = 82;
  static constexpr std::size_t ChannelCount = 8;
  static constexpr std::size_t ChannelRecordSize = 9;
  static constexpr std::size_t AmplifierRecordOffset = 72;
  static constexpr std::size_t AmplifierRecordSize = 10;
  // Amplifier record fields, as offsets into the image.
  static constexpr std::size_t LowerThresholdOffset = 72;  // u16 LE, half the threshold
  static constexpr std::size_t UpperThresholdOffset = 74;  // u16 LE, half the threshold
  static constexpr std::size_t SerialNumberOffset = 80;
  // Channel record byte 3: the two notch bits that always travel together.
  static constexpr std::size_t ChannelFlagsByte = 3;

  using Image = std::array<std::uint8_t, Size>;

  TMemory() noexcept = default;
  TMemory(const TMemory&) = default;
  TMemory& operator=(const TMemory&) = default;
  virtual ~TMemory() = default;

  // The image bytes, in place.
  virtual std::uint8_t* Data() noexcept { return m_image.data(); }
  virtual const std::uint8_t* Data() const noexcept { return m_image.data(); }
  // Copies count bytes from source into the image at offset. Offset and
  // count are bytes (taken modulo 256); a span that does not lie wholly in
  // the image throws ERangeError and leaves the image unchanged.
  virtual void Write(std::uint8_t offset, const void* source, std::uint8_t count);
  // Copies count bytes of the image at offset to destination; the same
  // range rule as Write.
  virtual void Read(std::uint8_t offset, void* destination, std::uint8_t count) const;
  // Sets the reset mark (a field beside the image) to -1; the image stays.
  virtual void Reset() noexcept { m_reset_mark = -1; }

  // Copies all 82 bytes from another image.
  void CopyFrom(const TMemory& other) noexcept;

  const Image& Bytes() const noexcept { return m_image; }
  std::int32_t ResetMark() const noexcept { return m_reset_mark; }

  // Sets bits 0 and 2 of every channel's byte 3 when bit 0 is set, else
  // clears both: the notch is one switch held in two bits.
  static void NormaliseNotch(std::uint8_t* image) noexcept;
  void NormaliseNotch() noexcept { NormaliseNotch(m_image.data()); }

 private:
  Image m_image{};
  std::int32_t m_reset_mark = 0;
};

}  // namespace orvo::impl
