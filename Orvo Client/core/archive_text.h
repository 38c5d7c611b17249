// Conversion of the records' wide texts to and from the narrow text of the
// XML archives. Texts are stored as UTF-8; a stored text that is not valid
// UTF-8 comes from an older writer that used the ANSI code page.
#pragma once

#include <string>

namespace Orvo {

// Decodes a narrow text of the system's ANSI code page.
using ansi_decoder = std::u16string (*)(const std::string&);

// UTF-8 of a wide text. A lone surrogate, and a control character other than
// tab, line feed and carriage return (which XML cannot carry), are written as
// U+FFFD.
std::string to_archive_text(const std::u16string& text);

// The wide text of a stored narrow text: UTF-8 when it is valid UTF-8,
// otherwise the ANSI code page through decode (Windows-1252 when null).
// Throws std::runtime_error for a control character other than tab, line
// feed and carriage return.
std::u16string from_archive_text(const std::string& text, ansi_decoder decode = nullptr);

// Windows-1252, the ANSI code page of western systems, decoded portably.
std::u16string decode_windows_1252(const std::string& text);

}  // namespace Orvo
