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

// The clipboard calls of placing `memory` on the clipboard, one step each.
// A hook sees every step with the memory being placed; a nonzero answer is
// the Win32 error the step fails with instead of running.
enum class clipboard_step { open, empty, set, close };
using clipboard_hook = std::function<DWORD(clipboard_step step, HGLOBAL memory)>;
clipboard_hook set_clipboard_hook(clipboard_hook hook);

// OpenClipboard(owner), EmptyClipboard, SetClipboardData(format, memory)
// or CloseClipboard, or the hook's failure; false on failure, with the
// error in GetLastError.
bool clipboard(clipboard_step step, HWND owner, UINT format, HGLOBAL memory);

}  // namespace Orvo
