#include "archive_text.h"

#include <stdexcept>

namespace Orvo {

namespace {

constexpr char32_t replacement = 0xFFFD;

bool allowed_control(char32_t c) { return c == u'\t' || c == u'\n' || c == u'\r'; }
bool is_control(char32_t c) { return c < 0x20 && !allowed_control(c); }

void put_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void put_utf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

// Strict UTF-8 (no overlong forms, no surrogates, at most U+10FFFF); false
// when the text is not UTF-8.
bool decode_utf8(const std::string& in, std::u16string& out) {
  out.clear();
  for (std::size_t i = 0; i < in.size();) {
    const auto b0 = static_cast<unsigned char>(in[i]);
    if (b0 < 0x80) {
      out += static_cast<char16_t>(b0);
      ++i;
      continue;
    }
    std::size_t len;
    char32_t c, min;
    if ((b0 & 0xE0) == 0xC0) {
      len = 2, c = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
      len = 3, c = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
      len = 4, c = b0 & 0x07, min = 0x10000;
    } else {
      return false;
    }
    if (in.size() - i < len) return false;
    for (std::size_t k = 1; k < len; ++k) {
      const auto b = static_cast<unsigned char>(in[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    put_utf16(out, c);
    i += len;
  }
  return true;
}

}  // namespace

std::string to_archive_text(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if ((c >= 0xD800 && c <= 0xDFFF) || is_control(c)) {
      c = replacement;
    }
    put_utf8(out, c);
  }
  return out;
}

std::u16string decode_windows_1252(const std::string& text) {
  // 0x80..0x9F of Windows-1252; 0 marks the five unassigned bytes.
  static const char16_t high[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::u16string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    out += (b >= 0x80 && b < 0xA0) ? high[b - 0x80] : static_cast<char16_t>(b);
  }
  return out;
}

std::u16string from_archive_text(const std::string& text, ansi_decoder decode) {
  std::u16string out;
  if (!decode_utf8(text, out)) out = decode ? decode(text) : decode_windows_1252(text);
  for (char16_t c : out) {
    if (is_control(c)) throw std::runtime_error("stored text holds a control character");
  }
  return out;
}

}  // namespace Orvo
