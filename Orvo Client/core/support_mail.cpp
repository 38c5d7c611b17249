#include "support_mail.h"

#include <cstdint>
#include <utility>

namespace Orvo {

const wchar_t* const support_mail_address = L"support@quarnell.example";

std::wstring version_text(const version_number& version) {
  return std::to_wstring(version.major) + L'.' + std::to_wstring(version.minor) + L'.' + std::to_wstring(version.build);
}

std::wstring support_mail_body(const support_mail_versions& versions) {
  std::wstring body = L"Insert message here...\r\n\r\n";
  const std::pair<const wchar_t*, const version_number*> lines[] = {
      {L"OS ", &versions.os},           {L"Comctl32 ", &versions.comctl32}, {L"Shlwapi ", &versions.shlwapi},
      {L"Shell32 ", &versions.shell32}, {L"OrvoClient ", &versions.client},
  };
  for (const auto& [name, version] : lines) body += name + version_text(*version) + L"\r\n";
  return body;
}

namespace {

bool unsafe(std::uint32_t c) {
  if (c <= 0x20 || c >= 0x7F) return true;
  for (const char u : std::string("\"<>#{}|\\^~[]`"))
    if (c == static_cast<unsigned char>(u)) return true;
  return false;
}

void append_escaped(std::wstring& out, std::uint32_t byte) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  out += L'%';
  out += digits[(byte >> 4) & 0xF];
  out += digits[byte & 0xF];
}

// The UTF-8 bytes of one code point.
void append_utf8(std::wstring& out, std::uint32_t c) {
  if (c < 0x80) {
    append_escaped(out, c);
  } else if (c < 0x800) {
    append_escaped(out, 0xC0 | (c >> 6));
    append_escaped(out, 0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    append_escaped(out, 0xE0 | (c >> 12));
    append_escaped(out, 0x80 | ((c >> 6) & 0x3F));
    append_escaped(out, 0x80 | (c & 0x3F));
  } else {
    append_escaped(out, 0xF0 | (c >> 18));
    append_escaped(out, 0x80 | ((c >> 12) & 0x3F));
    append_escaped(out, 0x80 | ((c >> 6) & 0x3F));
    append_escaped(out, 0x80 | (c & 0x3F));
  }
}

}  // namespace

std::wstring url_escape_unsafe(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t c = static_cast<std::uint32_t>(text[i]);
    // UTF-16 pairs (where wchar_t is 16 bits) make one code point; a lone
    // half becomes U+FFFD.
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDFFF) {
      const bool pair = c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
      c = pair ? 0x10000 + ((c - 0xD800) << 10) + (static_cast<std::uint32_t>(text[++i]) - 0xDC00) : 0xFFFD;
    }
    if (unsafe(c))
      append_utf8(out, c);
    else
      out += static_cast<wchar_t>(c);
  }
  return out;
}

support_mail support_mail_link(const support_mail_versions& versions) {
  std::wstring body = support_mail_body(versions);
  std::wstring broken;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body.compare(i, 2, L"\r\n") == 0) {
      broken += L"%0D%0A";
      ++i;
    } else {
      broken += body[i];
    }
  }
  const std::wstring escaped = url_escape_unsafe(broken);
  return {std::wstring(L"mailto:") + support_mail_address + L"?subject=Orvo&body=" + escaped, escaped.size()};
}

}  // namespace Orvo
