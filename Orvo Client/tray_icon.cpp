#include "tray_icon.h"

#include <atomic>
#include <stdexcept>
#include <string>
#include <utility>

#include "res/resource.h"
#include "win/window_traits.h"

namespace Orvo {
namespace {
shell_notify_hook& notify_hook() {
  static shell_notify_hook hook;
  return hook;
}
}  // namespace

shell_notify_hook set_shell_notify_hook(shell_notify_hook hook) {
  return std::exchange(notify_hook(), std::move(hook));
}

BOOL shell_notify_icon(DWORD message, NOTIFYICONDATAW* data) {
  if (notify_hook()) return notify_hook()(message, *data);
  return ::Shell_NotifyIconW(message, data);
}

}  // namespace Orvo

static_assert(tray_record_size == (sizeof(void*) == 8 ? 952 : 936), "the shell's record without GUID and balloon icon");

CTrayIcon::CTrayIcon(UINT callback) noexcept : m_data{} {
  m_data.cbSize = tray_record_size;
  m_data.uID = 1;
  m_data.uCallbackMessage = callback;
}

void CTrayIcon::add(HWND window, HICON icon, const wchar_t* tip) {
  if (m_added || !::IsWindow(window)) return;
  m_data.hWnd = window;
  m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_data.hIcon = icon ? icon : ::LoadIconW(WTL::resource_instance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
  const int capacity = static_cast<int>(std::size(m_data.szTip));
  if (tip) {
    ::lstrcpynW(m_data.szTip, tip, capacity);
  } else {
    m_data.szTip[0] = L'\0';
    ::GetWindowTextW(window, m_data.szTip, capacity);
  }
  m_added = Orvo::shell_notify_icon(NIM_ADD, &m_data) != FALSE;
}

void CTrayIcon::remove() {
  if (!m_added) return;
  m_added = Orvo::shell_notify_icon(NIM_DELETE, &m_data) == FALSE;
}

void CTrayIcon::modify(HICON icon) {
  if (!m_added) return;
  m_data.uFlags = NIF_ICON;
  m_data.hIcon = icon;
  Orvo::shell_notify_icon(NIM_MODIFY, &m_data);
}

UINT unique_messge_id() {
  static std::atomic<unsigned long> counter{0};
  const unsigned long count = ++counter;
  const std::wstring name =
      L"2BF35323-E88C-4CA2-8793-413A56B46746" + std::to_wstring(::GetCurrentProcessId()) + std::to_wstring(count);
  const UINT message = ::RegisterWindowMessageW(name.c_str());
  if (!message) throw std::runtime_error("unique_messge_id() failure");
  return message;
}

HMENU get_view_submenu(HMENU menu) noexcept { return menu ? ::GetSubMenu(menu, 2) : nullptr; }
