// CByteEnum: a standard enumerator over the bytes of one encoded frame.
// It owns the frame (shared with its clones, freed with the last of them)
// and keeps its own position.
#pragma once

#include <memory>

#include "PacketCodec_h.h"
#include "com/lock.h"
#include "com/object.h"
#include "core/encoder.h"

class CByteEnum : public orvo::com::object<CByteEnum, IEnumBYTE> {
 public:
  static constexpr bool aggregatable = false;

  explicit CByteEnum(std::shared_ptr<const codrant::frame> frame, ULONG position = 0) noexcept
      : m_frame(std::move(frame)), m_position(position) {}

  STDMETHODIMP Next(ULONG count, BYTE* bytes, ULONG* fetched) override;
  STDMETHODIMP Skip(ULONG count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumBYTE** copy) override;

 private:
  orvo::com::critical_section m_lock;
  const std::shared_ptr<const codrant::frame> m_frame;
  std::uint32_t m_position;
};
