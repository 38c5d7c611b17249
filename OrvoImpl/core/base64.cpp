#include "core/base64.h"

#include <array>
#include <type_traits>

namespace orvo::impl {
namespace {
constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint8_t NotInAlphabet = 0xFF;

constexpr std::array<std::uint8_t, 256> MakeDecodeTable() {
  std::array<std::uint8_t, 256> table{};
  for (auto& entry : table) entry = NotInAlphabet;
  for (std::uint8_t i = 0; i < 64; ++i) table[static_cast<unsigned char>(Alphabet[i])] = i;
  return table;
}
constexpr auto DecodeTable = MakeDecodeTable();

// The 6-bit value of c, NotInAlphabet for anything else (including "=").
template <class Char>
std::uint8_t Sextet(Char c) noexcept {
  const auto code = static_cast<std::make_unsigned_t<Char>>(c);
  return code < 256 ? DecodeTable[code] : NotInAlphabet;
}
}  // namespace

std::string Base64Encode(const std::uint8_t* data, std::size_t size) {
  std::string text((size + 2) / 3 * 4, '=');
  char* out = text.data();
  std::size_t i = 0;
  for (; i + 3 <= size; i += 3, out += 4) {
    const std::uint32_t group = std::uint32_t{data[i]} << 16 | std::uint32_t{data[i + 1]} << 8 | data[i + 2];
    out[0] = Alphabet[group >> 18];
    out[1] = Alphabet[(group >> 12) & 63];
    out[2] = Alphabet[(group >> 6) & 63];
    out[3] = Alphabet[group & 63];
  }
  if (i < size) {  // one or two bytes left: "==" or "=" already in place
    const bool two = i + 1 < size;
    const std::uint32_t group = std::uint32_t{data[i]} << 16 | (two ? std::uint32_t{data[i + 1]} << 8 : 0);
    out[0] = Alphabet[group >> 18];
    out[1] = Alphabet[(group >> 12) & 63];
    if (two) out[2] = Alphabet[(group >> 6) & 63];
  }
  return text;
}

template <class Char>
bool Base64Decode(std::basic_string_view<Char> text, std::vector<std::uint8_t>& out) {
  out.clear();
  const std::size_t length = text.size();
  if (length % 4 != 0) return false;
  std::size_t padding = 0;
  if (length != 0 && text[length - 1] == Char('=')) padding = text[length - 2] == Char('=') ? 2 : 1;
  out.resize(length / 4 * 3 - padding);
  std::uint8_t* o = out.data();
  const std::size_t full = length == 0 ? 0 : (padding ? length - 4 : length);
  for (std::size_t i = 0; i < full; i += 4, o += 3) {
    const std::uint8_t a = Sextet(text[i]), b = Sextet(text[i + 1]), c = Sextet(text[i + 2]), d = Sextet(text[i + 3]);
    if ((a | b | c | d) & 0xC0) {
      out.clear();
      return false;
    }
    const std::uint32_t group = std::uint32_t{a} << 18 | std::uint32_t{b} << 12 | std::uint32_t{c} << 6 | d;
    o[0] = static_cast<std::uint8_t>(group >> 16);
    o[1] = static_cast<std::uint8_t>(group >> 8);
    o[2] = static_cast<std::uint8_t>(group);
  }
  if (padding) {  // the last group: two or three data characters
    const std::size_t i = length - 4;
    const std::uint8_t a = Sextet(text[i]), b = Sextet(text[i + 1]);
    const std::uint8_t c = padding == 1 ? Sextet(text[i + 2]) : 0;
    if ((a | b | c) & 0xC0) {
      out.clear();
      return false;
    }
    const std::uint32_t group = std::uint32_t{a} << 18 | std::uint32_t{b} << 12 | std::uint32_t{c} << 6;
    o[0] = static_cast<std::uint8_t>(group >> 16);
    if (padding == 1) o[1] = static_cast<std::uint8_t>(group >> 8);
  }
  return true;
}

template bool Base64Decode<char>(std::basic_string_view<char>, std::vector<std::uint8_t>&);
template bool Base64Decode<char16_t>(std::basic_string_view<char16_t>, std::vector<std::uint8_t>&);
template bool Base64Decode<wchar_t>(std::basic_string_view<wchar_t>, std::vector<std::uint8_t>&);

}  // namespace orvo::impl
