// The support mail link: a body naming the versions of the system and of
// the client, escaped for a "mailto:" link.
#pragma once

#include <string>

namespace Orvo {

// Where the support mail goes.
extern const wchar_t* const support_mail_address;

struct version_number {
  unsigned long major = 0, minor = 0, build = 0;
};

// "major.minor.build".
std::wstring version_text(const version_number& version);

// The versions the mail reports.
struct support_mail_versions {
  version_number os, comctl32, shlwapi, shell32, client;
};

// "Insert message here...", a blank line, then one line per version
// ("OS 6.1.7601", "Comctl32 ...", "Shlwapi ...", "Shell32 ...",
// "OrvoClient ..."), lines ending in "\r\n".
std::wstring support_mail_body(const support_mail_versions& versions);

// Every character outside printable ASCII, the blank and the characters
// that are unsafe in a link (" < > # { } | \ ^ ~ [ ] `) become "%XX" (of
// their UTF-8 bytes); '%' stays, so escapes already made survive.
std::wstring url_escape_unsafe(const std::wstring& text);

struct support_mail {
  std::wstring link;        // "mailto:" address "?subject=Orvo&body=" body
  std::size_t body_length;  // of the escaped body
};

// The link with the body's line breaks as "%0D%0A" and the body escaped.
support_mail support_mail_link(const support_mail_versions& versions);

// Mail programs of old systems may cut a body of this many characters.
constexpr std::size_t long_mail_body = 260;

}  // namespace Orvo
