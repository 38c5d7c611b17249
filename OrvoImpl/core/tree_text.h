// The texts of the state tree: node names, the trimmed and case-blind name
// match of collections and lists, and the channel sets of the test box's
// input selects. Integers are written in plain decimal, never through a
// locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvo::impl {

// The text without the blanks and control characters (code <= 32) at both
// ends.
std::wstring_view TrimText(std::wstring_view text) noexcept;

// True when both texts, trimmed, are equal without regard to the case of
// the letters A to Z.
bool SameName(std::wstring_view a, std::wstring_view b) noexcept;

// "Amplifier 2 ( SN: 7 )" for index 1 and serial number 7.
std::wstring AmplifierName(std::size_t index, unsigned serial);
// "Channel 6" for channel index 5.
std::wstring ChannelName(std::size_t channel);
// The channel's number across all amplifiers: amplifier x 8 + channel + 1.
unsigned ChannelNumber(std::size_t amplifier, std::size_t channel) noexcept;
// "Channel 14" for channel 5 of amplifier 1.
std::wstring ChannelNameValue(std::size_t amplifier, std::size_t channel);
// "Ch14 P" / "Ch14 N" for channel 5 of amplifier 1.
std::wstring ElectrodeName(std::size_t amplifier, std::size_t channel, bool positive);

// An input select's channel set (bit n - 1 for channel n) as text: the
// numbers of the set bits, ascending, joined by ","; no bit gives "".
std::wstring FormatInputSelect(std::uint8_t mask);
// A comma-separated list into a channel set: an item counts when, trimmed,
// it is decimal digits worth 1 to 8; every other item is ignored.
std::uint8_t ParseInputSelect(std::wstring_view text) noexcept;

}  // namespace orvo::impl
