// Base64 of the state string: the standard alphabet, "=" padding, no line
// breaks. The decoder accepts a text only when its length is a multiple of
// four, every character is in the alphabet, and "=" stands only as the last
// one or two characters; the bits of the last data character beyond the
// data are ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::impl {

std::string Base64Encode(const std::uint8_t* data, std::size_t size);

// Decodes text into out (replacing its contents); false, with out empty,
// when the text is not valid Base64. Instantiated for char, char16_t and
// wchar_t texts.
template <class Char>
bool Base64Decode(std::basic_string_view<Char> text, std::vector<std::uint8_t>& out);

}  // namespace orvo::impl
