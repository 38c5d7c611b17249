// The rules behind the splash and About windows and the search for System
// Information: texts, paths and sizes only,
// no Windows calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace Orvo {

// The list of libraries the pages show: the About box's heading ends in a
// colon, the splash's (through IOrvoClientInterface) in an ellipsis.
enum class implemented_heading { about_box, client_interface };
std::wstring build_implemented_html(implemented_heading heading);

// The compiler that built this code: its name and full version, e.g. "GCC 12-posix".
std::wstring compiler_text();

// A version block's translation as one number: language in the high 16
// bits, code page in the low 16 bits.
std::uint32_t version_translation(std::uint16_t language, std::uint16_t code_page) noexcept;
// The query of a string in a version block: "\StringFileInfo\" + the
// translation as eight lower-case hexadecimal digits + "\" + name.
std::wstring version_string_query(std::uint32_t translation, const std::wstring& name);

// A Win32 error code as the HRESULT the client logs: a positive code r
// becomes 0x80070000 with the low 16 bits of r, any other value stays.
// Zero (a failure that left no code) becomes E_FAIL.
std::int32_t hresult_from_error_code(std::int32_t code) noexcept;

// The file name of System Information when the registry does not say where it lies.
extern const wchar_t* const msinfo_file_name;
// Registry values longer than this many characters are not read.
constexpr std::size_t max_registry_path = 260;

// What the registry told about System Information; a value is present
// only when it was a string of at most max_registry_path characters.
struct msinfo_registry {
  bool tools_key_opened = false;               // "...\Shared Tools\MSInfo"
  std::optional<std::wstring> path;            // its value "Path"
  std::optional<std::wstring> tools_location;  // "...\Shared Tools Location" "MSInfo"
};
// The program to start; `must_exist` is set when the path came from the
// registry and so must name an existing file (the plain file name is left
// to the shell's search).
struct msinfo_choice {
  std::wstring path;
  bool must_exist = false;
};
msinfo_choice choose_msinfo_path(const msinfo_registry& registry);
// A path that long cannot name a file the system finds.
bool too_long_for_a_file(const std::wstring& path) noexcept;

// The top-left corner that centres a width x height box over an area.
struct point {
  long x = 0;
  long y = 0;
};
point centred_in(long width, long height, long area_left, long area_top, long area_right, long area_bottom) noexcept;

}  // namespace Orvo
