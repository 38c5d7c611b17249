// The Help menu's documents, support mail and home page, opened with the
// shell (through the seam of system_info.h).
#pragma once

#include <windows.h>

#include "core/support_mail.h"
#include "error_report.h"

namespace Orvo {

// Where the client's documents are named (HKLM).
extern const wchar_t* const documents_key;
// The value naming the user guide and the one naming the programming reference.
extern const wchar_t* const user_guide_value;
extern const wchar_t* const programming_reference_value;

// Opens the document that value `name` of the documents key names, with
// the shell's "open" under the active window. A missing or empty value,
// or a document the shell cannot open, shows the box "Orvo" with "Unable
// to execute command" and the path instead.
void open_registered_document(const wchar_t* name);

// This system's version and those of the shell's libraries and the program.
support_mail_versions current_versions();

// Opens the support mail in the user's mail program; the link (or the
// shell's failure) goes to the log.
void send_support_mail(CLogSink& log, HWND owner);

// Opens the maker's home page in the default browser; the outcome is not
// examined.
void open_home_page(HWND owner);

}  // namespace Orvo
