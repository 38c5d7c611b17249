// Command lines of any content: the program's path ends inside the line,
// and the switches come from the arguments alone, whatever their case.
#include "core/command_line.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool same(const Orvo::command_line_switches& a, const Orvo::command_line_switches& b) {
  return a.show_splash == b.show_splash && a.allow_second_instance == b.allow_second_instance &&
         a.repair_installation == b.repair_installation && a.skip_data_files == b.skip_data_files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string line(size / 2, u'\0');
  for (std::size_t i = 0; i < line.size(); ++i) line[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  const std::size_t end = Orvo::program_path_end(line);
  if (end > line.size()) std::abort();
  const Orvo::command_line_switches read = Orvo::parse_command_line(line);
  // The same arguments behind an empty quoted path, then in upper case.
  std::u16string arguments = u"\"\"" + line.substr(end);
  if (!same(read, Orvo::parse_command_line(arguments))) std::abort();
  for (char16_t& c : arguments)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  if (!same(read, Orvo::parse_command_line(arguments))) std::abort();
  return 0;
}
