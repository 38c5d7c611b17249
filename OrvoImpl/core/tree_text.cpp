#include "core/tree_text.h"

namespace orvo::impl {

namespace {
wchar_t FoldCase(wchar_t c) noexcept { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }
}  // namespace

std::wstring_view TrimText(std::wstring_view text) noexcept {
  std::size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned>(text[first]) <= 32u) ++first;
  while (last > first && static_cast<unsigned>(text[last - 1]) <= 32u) --last;
  return text.substr(first, last - first);
}

bool SameName(std::wstring_view a, std::wstring_view b) noexcept {
  a = TrimText(a);
  b = TrimText(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

std::wstring AmplifierName(std::size_t index, unsigned serial) {
  return L"Amplifier " + std::to_wstring(index + 1) + L" ( SN: " + std::to_wstring(serial) + L" )";
}

std::wstring ChannelName(std::size_t channel) { return L"Channel " + std::to_wstring(channel + 1); }

unsigned ChannelNumber(std::size_t amplifier, std::size_t channel) noexcept {
  return static_cast<unsigned>(amplifier * 8 + channel + 1);
}

std::wstring ChannelNameValue(std::size_t amplifier, std::size_t channel) {
  return L"Channel " + std::to_wstring(ChannelNumber(amplifier, channel));
}

std::wstring ElectrodeName(std::size_t amplifier, std::size_t channel, bool positive) {
  return L"Ch" + std::to_wstring(ChannelNumber(amplifier, channel)) + (positive ? L" P" : L" N");
}

std::wstring FormatInputSelect(std::uint8_t mask) {
  std::wstring text;
  for (int bit = 0; bit < 8; ++bit) {
    if (!(mask & (1u << bit))) continue;
    if (!text.empty()) text += L',';
    text += static_cast<wchar_t>(L'1' + bit);
  }
  return text;
}

std::uint8_t ParseInputSelect(std::wstring_view text) noexcept {
  std::uint8_t mask = 0;
  while (true) {
    const std::size_t comma = text.find(L',');
    const std::wstring_view item = TrimText(text.substr(0, comma));
    unsigned value = 0;
    bool digits = !item.empty();
    for (const wchar_t c : item) {
      if (c < L'0' || c > L'9') {
        digits = false;
        break;
      }
      // Anything past 8 is out of range; stop growing so long items cannot overflow.
      if (value <= 8) value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    if (digits && value >= 1 && value <= 8) mask = static_cast<std::uint8_t>(mask | (1u << (value - 1)));
    if (comma == std::wstring_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return mask;
}

}  // namespace orvo::impl
