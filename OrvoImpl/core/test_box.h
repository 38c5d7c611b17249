// The test box's fixed-list settings: the texts a setting allows, in order,
// and the TestBoxRec code stored for each position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvo::impl {

struct TTestBoxList {
  const wchar_t* const* Names;
  const std::uint8_t* Codes;
  std::size_t Count;

  // The position of the first entry whose code is byte; 0 (the first entry)
  // when none has it.
  std::size_t IndexOfCode(std::uint8_t byte) const noexcept;
  // The position of the entry named text (trimmed, case-blind); -1 when
  // none is.
  int Find(std::wstring_view text) const noexcept;
};

// "CH 1" to "CH 8", codes 0x01, 0x02, 0x04, ... 0x80.
const TTestBoxList& OutputChannelList() noexcept;
// "OFF", "X1" ... "X0.0000001", codes 0x00, then 0x01 ... 0x80.
const TTestBoxList& AttenuatorList() noexcept;
// "Sig", "High Z", "30K", "20K", "10K", "5K", "2K", "GND", codes 0x01 ... 0x80.
const TTestBoxList& SignalSelectList() noexcept;

// The output channel's position: that of the lowest set bit of its byte; a
// byte of 0 counts as the first entry.
std::size_t OutputChannelIndex(std::uint8_t byte) noexcept;

}  // namespace orvo::impl
