#include "core/about_rules.h"

#include <cwchar>

namespace Orvo {

namespace {

struct library_line {
  const wchar_t* name;
  const wchar_t* version;
  const wchar_t* home;
};

// The libraries the program is built with, as the pages list them.
constexpr library_line libraries[] = {
    {L"Boost ", L"1.44.0", L"http://www.boost.org/"},
    {L"ZLib ", L"1.2.3", L"http://www.zlib.net/"},
    {L"Comet ", L"1.32.20060626", L"http://www.quarnell.com/comet/"},
};

std::wstring widen(const char* text) {
  std::wstring out;
  for (; *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return out;
}

}  // namespace

const wchar_t* const msinfo_file_name = L"MSInfo32.exe";

std::wstring compiler_text() {
#if defined(__clang__)
  return L"Clang " + widen(__clang_version__);
#elif defined(__GNUC__)
  return L"GCC " + widen(__VERSION__);
#else
  return L"Unknown compiler";
#endif
}

std::wstring build_implemented_html(implemented_heading heading) {
  std::wstring html =
      heading == implemented_heading::about_box ? L"Implemented using:<br/>" : L"Implemented using...<br/>";
  const std::size_t count = sizeof libraries / sizeof libraries[0];
  for (std::size_t i = 0; i < count; ++i) {
    const library_line& line = libraries[i];
    html += line.name;
    html += line.version;
    html += L" <a href=\"";
    html += line.home;
    html += L"\" target=\"_blank\">";
    html += line.home;
    html += L"</a>";
    html += i + 1 < count ? L"<br/>" : L"<br>";
  }
  html += L"<br/>" + compiler_text() + L"<br/>";
  return html;
}

std::uint32_t version_translation(std::uint16_t language, std::uint16_t code_page) noexcept {
  return (static_cast<std::uint32_t>(language) << 16) | code_page;
}

std::wstring version_string_query(std::uint32_t translation, const std::wstring& name) {
  wchar_t hex[9] = {};
  std::swprintf(hex, 9, L"%08lx", static_cast<unsigned long>(translation));
  return L"\\StringFileInfo\\" + std::wstring(hex) + L"\\" + name;
}

std::int32_t hresult_from_error_code(std::int32_t code) noexcept {
  if (code == 0) return static_cast<std::int32_t>(0x80004005u);
  if (code > 0) return static_cast<std::int32_t>(0x80070000u | (static_cast<std::uint32_t>(code) & 0xFFFFu));
  return code;
}

msinfo_choice choose_msinfo_path(const msinfo_registry& registry) {
  msinfo_choice choice;
  if (registry.tools_key_opened) {
    if (registry.path) {
      choice.path = *registry.path;
    } else if (registry.tools_location) {
      choice.path = *registry.tools_location + L"\\" + msinfo_file_name;
    }
  }
  choice.must_exist = !choice.path.empty();
  if (choice.path.empty()) choice.path = msinfo_file_name;
  return choice;
}

bool too_long_for_a_file(const std::wstring& path) noexcept { return path.size() >= max_registry_path; }

point centred_in(long width, long height, long area_left, long area_top, long area_right, long area_bottom) noexcept {
  return {area_left + (area_right - area_left - width) / 2, area_top + (area_bottom - area_top - height) / 2};
}

}  // namespace Orvo
