// The client's command-line switches. After the program's path, every "-"
// or "/" on the line introduces a switch: the one character after it, in
// either case; the rest of a word after a switch letter and every other
// character are ignored, and so are unknown letters.
//
//   S  no splash window             M  a second instance runs beside the first
//   I  repair the installation      B  the settings and protocol files are not loaded
//
// The program's path is the first argument as the system's argument
// splitter reads it: from an opening double quote to the next one, else up
// to the first blank or tab. A "-" or "/" in the path is not a switch (a
// folder "x-b" would otherwise clear the user's libraries at each exit);
// one inside any later argument is, even within a file name.
#pragma once

#include <cstddef>
#include <string_view>

namespace Orvo {

struct command_line_switches {
  bool show_splash = true;
  bool allow_second_instance = false;
  bool repair_installation = false;
  bool skip_data_files = false;
};

// Where the program's path ends: the index of the first character after it.
std::size_t program_path_end(std::u16string_view line) noexcept;

// The switches given on a whole command line.
command_line_switches parse_command_line(std::u16string_view line) noexcept;

}  // namespace Orvo
