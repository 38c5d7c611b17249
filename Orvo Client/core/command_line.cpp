#include "core/command_line.h"

namespace Orvo {

std::size_t program_path_end(std::u16string_view line) noexcept {
  if (!line.empty() && line.front() == u'"') {
    const std::size_t close = line.find(u'"', 1);
    return close == std::u16string_view::npos ? line.size() : close + 1;
  }
  const std::size_t blank = line.find_first_of(u" \t");
  return blank == std::u16string_view::npos ? line.size() : blank;
}

namespace {
char16_t ascii_lower(char16_t c) noexcept {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}
}  // namespace

command_line_switches parse_command_line(std::u16string_view line) noexcept {
  command_line_switches result;
  const std::u16string_view arguments = line.substr(program_path_end(line));
  for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
    if (arguments[i] != u'-' && arguments[i] != u'/') continue;
    switch (ascii_lower(arguments[i + 1])) {
      case u's':
        result.show_splash = false;
        break;
      case u'm':
        result.allow_second_instance = true;
        break;
      case u'i':
        result.repair_installation = true;
        break;
      case u'b':
        result.skip_data_files = true;
        break;
      default:
        break;
    }
  }
  return result;
}

}  // namespace Orvo
