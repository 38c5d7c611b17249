// What the protocol commands show the user: the two library folders' labels
// and descriptions, time stamps as text, and the boxes for a library that
// cannot be written and for a rename that is refused.
#pragma once

#include <windows.h>

#include <string>

#include "core/protocol_changes.h"

namespace Orvo {

// "Protocols for " + the user's display name, or "User Specific Protocols"
// without one; "Common Protocols".
std::wstring protocol_folder_label(bool user);
std::wstring protocol_folder_description(bool user);

// "2009-Mar-04 13:05:06"; a special value by its name ("not-a-date-time").
std::wstring stamp_text(const time_stamp& stamp);

// Shows the "Error saving protocol" box when a library could not be written;
// true when the change is done.
bool report_change(HWND owner, const change_result& result);

// The beep and the "Error renaming protocol" box.
void report_rename_refused(HWND owner, const std::wstring& old_name, const std::wstring& new_name);

}  // namespace Orvo
