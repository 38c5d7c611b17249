// The notification-area (tray) icon that stands for the client while its
// main window is minimised, the process-unique window message its
// notifications arrive with, and the popup of the main menu that serves as
// the frame's context menu.
//
//   CTrayIcon tray(unique_messge_id());
//   tray.add(frame, nullptr, nullptr);  // icon 128, the window's title as tip
//   tray.modify(blink_icon);
//   tray.remove();
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>

namespace Orvo {

// Shell_NotifyIconW, or a hook that tests install in its place (an empty
// hook restores the system call); returns the previous hook.
using shell_notify_hook = std::function<BOOL(DWORD message, const NOTIFYICONDATAW& data)>;
shell_notify_hook set_shell_notify_hook(shell_notify_hook hook);
BOOL shell_notify_icon(DWORD message, NOTIFYICONDATAW* data);

}  // namespace Orvo

// The record size the client hands the shell: the record without its
// trailing GUID and balloon-icon fields.
constexpr DWORD tray_record_size = NOTIFYICONDATAW_V2_SIZE;

class CTrayIcon {
 public:
  // callback: the message the icon's notifications arrive with.
  explicit CTrayIcon(UINT callback) noexcept;

  // Adds the icon unless it is there already or the window does not exist:
  // `icon` or, when null, the program's icon 128; `tip` (cut to 127
  // characters) or, when null, the window's title.
  void add(HWND window, HICON icon = nullptr, const wchar_t* tip = nullptr);
  // Removes the icon when it is there; it stays when the shell refuses.
  void remove();
  // Shows another icon in its place while it is there.
  void modify(HICON icon);

  bool added() const noexcept { return m_added; }
  const NOTIFYICONDATAW& data() const noexcept { return m_data; }

 private:
  NOTIFYICONDATAW m_data;
  bool m_added = false;
};

// A registered window message no other caller and no other process gets;
// throws std::runtime_error("unique_messge_id() failure") when the system
// gives none.
UINT unique_messge_id();

// The menu's third popup (the main menu's "&View"), or null.
HMENU get_view_submenu(HMENU menu) noexcept;
