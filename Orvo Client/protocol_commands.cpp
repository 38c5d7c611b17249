#include "protocol_commands.h"

#include <boost/date_time/posix_time/time_formatters.hpp>

#include "protocol_state.h"
#include "settings_disk.h"
#include "ui_seams.h"

namespace Orvo {

std::wstring protocol_folder_label(bool user) {
  if (!user) return L"Common Protocols";
  const std::wstring name = get_user_display_name();
  return name.empty() ? L"User Specific Protocols" : L"Protocols for " + name;
}

std::wstring protocol_folder_description(bool user) {
  return user ? L"This virtual folder contains protocols that are specific to the currently logged on user."
              : L"This virtual folder contains protocols that are available to all users.";
}

std::wstring stamp_text(const time_stamp& stamp) {
  // Boost's simple form is plain ASCII whatever the locale.
  const std::string text = boost::posix_time::to_simple_string(stamp);
  return std::wstring(text.begin(), text.end());
}

bool report_change(HWND owner, const change_result& result) {
  if (result.status != change_result::not_written) return result.status == change_result::done;
  const std::wstring text = L"Cannot write the library \"" + protocol_folder_label(result.unwritten_user) +
                            L"\". The change to it was undone.";
  message_box(owner, text.c_str(), L"Error saving protocol", MB_OK | MB_ICONERROR);
  return false;
}

void report_rename_refused(HWND owner, const std::wstring& old_name, const std::wstring& new_name) {
  beep();
  const std::wstring text = L"Cannot rename \"" + old_name + L"\" to \"" + new_name +
                            L"\" : Either a protocol with the name you specified already exists or the name is "
                            L"invalid. Specify another name";
  message_box(owner, text.c_str(), L"Error renaming protocol", MB_OK | MB_ICONERROR);
}

}  // namespace Orvo
