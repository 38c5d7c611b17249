#include "core/amplifier_memory.h"

#include <cstring>

#include "core/byte_stream.h"

namespace orvo::impl {

bool TAmplifierMemory::SaveImage(TByteSink& sink) const { return sink.Write(Data(), TMemory::Size); }

void TAmplifierMemory::SetStatus(const std::uint8_t* status) noexcept {
  m_deblock_state = status[0];
  m_impedance_state = status[1];
  m_highlight = status[2];
}

void TAmplifierMemory::StoreStatus(std::uint8_t* out) const noexcept {
  out[0] = m_deblock_state;
  out[1] = m_impedance_state;
  out[2] = m_highlight;
}

void TAmplifierMemory::StoreRecord(std::uint8_t* out) const noexcept {
  out[0] = m_key;
  out[1] = static_cast<std::uint8_t>(m_amplifier_id);
  StoreStatus(out + 2);
  std::memcpy(out + 5, Data(), TMemory::Size);
}

TAmplifierMemory TAmplifierMemory::FromRecord(const std::uint8_t* record) noexcept {
  TAmplifierMemory amplifier(record[0], record[1]);
  amplifier.SetStatus(record + 2);
  std::memcpy(amplifier.Data(), record + 5, TMemory::Size);
  return amplifier;
}

}  // namespace orvo::impl
