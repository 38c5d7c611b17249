// The client's message boxes and beeps pass through here, so that tests can
// answer the boxes and count the beeps. Without a hook installed they go to
// MessageBoxIndirectW and MessageBeep.
#pragma once

#include <windows.h>

#include <functional>

namespace Orvo {

using message_box_hook = std::function<int(const MSGBOXPARAMSW& params)>;
using beep_hook = std::function<void(UINT type)>;

// Installs a hook (an empty one restores the system calls); returns the
// previous hook.
message_box_hook set_message_box_hook(message_box_hook hook);
beep_hook set_beep_hook(beep_hook hook);

// MessageBoxIndirectW or the hook's answer.
int message_box(const MSGBOXPARAMSW& params);
// A box with the module's resources; MB_USERICON boxes show icon 128.
int message_box(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

// MessageBeep or the hook.
void beep(UINT type = 0xFFFFFFFF);

}  // namespace Orvo
