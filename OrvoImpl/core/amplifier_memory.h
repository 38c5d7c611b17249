// TAmplifierMemory: one amplifier's register image with its key, its
// amplifier ID and its three status bytes.
#pragma once

#include <cstdint>

#include "core/memory.h"

namespace orvo::impl {

class TByteSink;

class TAmplifierMemory : public TMemory {
 public:
  // The record of the stream format: key, ID low byte, the three status
  // bytes, then the image.
  static constexpr std::size_t RecordSize = 5 + TMemory::Size;  // 87

  TAmplifierMemory() noexcept = default;
  TAmplifierMemory(std::uint8_t key, std::uint32_t amplifier_id) noexcept : m_key(key), m_amplifier_id(amplifier_id) {}

  // Hands the 82 image bytes to sink; false when the sink refused them.
  virtual bool SaveImage(TByteSink& sink) const;

  // Fills out[0..86] with this amplifier's stream record.
  void StoreRecord(std::uint8_t* out) const noexcept;
  // An amplifier made from a stream record: key and ID from bytes 0 and 1.
  static TAmplifierMemory FromRecord(const std::uint8_t* record) noexcept;

  std::uint8_t Key() const noexcept { return m_key; }
  void SetKey(std::uint8_t key) noexcept { m_key = key; }
  // The low 16 bits are the amplifier model's ID.
  std::uint32_t AmplifierID() const noexcept { return m_amplifier_id; }
  void SetAmplifierID(std::uint32_t id) noexcept { m_amplifier_id = id; }

  std::uint8_t DeblockState() const noexcept { return m_deblock_state; }
  std::uint8_t ImpedanceState() const noexcept { return m_impedance_state; }
  std::uint8_t Highlight() const noexcept { return m_highlight; }
  void SetDeblockState(std::uint8_t value) noexcept { m_deblock_state = value; }
  void SetImpedanceState(std::uint8_t value) noexcept { m_impedance_state = value; }
  void SetHighlight(std::uint8_t value) noexcept { m_highlight = value; }
  // The status bytes in their stored order: deblock, impedance, highlight.
  void SetStatus(const std::uint8_t* status) noexcept;
  void StoreStatus(std::uint8_t* out) const noexcept;

 private:
  std::uint8_t m_key = 0;
  std::uint32_t m_amplifier_id = 0;
  std::uint8_t m_deblock_state = 0;
  std::uint8_t m_impedance_state = 0;
  std::uint8_t m_highlight = 0;
};

}  // namespace orvo::impl
