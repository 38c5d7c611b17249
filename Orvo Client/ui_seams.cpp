#include "ui_seams.h"

#include <utility>

#include "win/window_traits.h"

namespace Orvo {
namespace {

message_box_hook& box_hook() {
  static message_box_hook hook;
  return hook;
}

beep_hook& beeper() {
  static beep_hook hook;
  return hook;
}

clipboard_hook& clipboard_failer() {
  static clipboard_hook hook;
  return hook;
}

}  // namespace

message_box_hook set_message_box_hook(message_box_hook hook) { return std::exchange(box_hook(), std::move(hook)); }

beep_hook set_beep_hook(beep_hook hook) { return std::exchange(beeper(), std::move(hook)); }

clipboard_hook set_clipboard_hook(clipboard_hook hook) { return std::exchange(clipboard_failer(), std::move(hook)); }

int message_box(const MSGBOXPARAMSW& params) {
  if (const auto& hook = box_hook()) return hook(params);
  return ::MessageBoxIndirectW(&params);
}

int message_box(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
  MSGBOXPARAMSW params = {};
  params.cbSize = sizeof params;
  params.hwndOwner = owner;
  params.hInstance = WTL::resource_instance();
  params.lpszText = text;
  params.lpszCaption = caption;
  params.dwStyle = style;
  if (style & MB_USERICON) params.lpszIcon = MAKEINTRESOURCEW(128);
  return message_box(params);
}

void beep(UINT type) {
  if (const auto& hook = beeper()) {
    hook(type);
    return;
  }
  ::MessageBeep(type);
}

bool clipboard(clipboard_step step, HWND owner, UINT format, HGLOBAL memory) {
  if (const auto& hook = clipboard_failer()) {
    if (const DWORD error = hook(step, memory)) {
      ::SetLastError(error);
      return false;
    }
  }
  switch (step) {
    case clipboard_step::open:
      return ::OpenClipboard(owner) != FALSE;
    case clipboard_step::empty:
      return ::EmptyClipboard() != FALSE;
    case clipboard_step::set:
      return ::SetClipboardData(format, memory) != nullptr;
    case clipboard_step::close:
      return ::CloseClipboard() != FALSE;
  }
  return false;
}

}  // namespace Orvo
