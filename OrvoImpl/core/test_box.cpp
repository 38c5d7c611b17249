#include "core/test_box.h"

#include "core/tree_text.h"

namespace orvo::impl {

namespace {
const wchar_t* const output_names[] = {L"CH 1", L"CH 2", L"CH 3", L"CH 4", L"CH 5", L"CH 6", L"CH 7", L"CH 8"};
const wchar_t* const attenuator_names[] = {L"OFF",     L"X1",       L"X0.1",      L"X0.01",     L"X0.001",
                                           L"X0.0001", L"X0.00001", L"X0.000001", L"X0.0000001"};
const wchar_t* const signal_names[] = {L"Sig", L"High Z", L"30K", L"20K", L"10K", L"5K", L"2K", L"GND"};
const std::uint8_t bit_codes[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
const std::uint8_t attenuator_codes[] = {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};

const TTestBoxList output_list{output_names, bit_codes, 8};
const TTestBoxList attenuator_list{attenuator_names, attenuator_codes, 9};
const TTestBoxList signal_list{signal_names, bit_codes, 8};
}  // namespace

std::size_t TTestBoxList::IndexOfCode(std::uint8_t byte) const noexcept {
  for (std::size_t i = 0; i < Count; ++i)
    if (Codes[i] == byte) return i;
  return 0;
}

int TTestBoxList::Find(std::wstring_view text) const noexcept {
  for (std::size_t i = 0; i < Count; ++i)
    if (SameName(Names[i], text)) return static_cast<int>(i);
  return -1;
}

const TTestBoxList& OutputChannelList() noexcept { return output_list; }
const TTestBoxList& AttenuatorList() noexcept { return attenuator_list; }
const TTestBoxList& SignalSelectList() noexcept { return signal_list; }

std::size_t OutputChannelIndex(std::uint8_t byte) noexcept {
  for (std::size_t bit = 0; bit < 8; ++bit)
    if (byte & (1u << bit)) return bit;
  return 0;
}

}  // namespace orvo::impl
