// The layout gallery: the protocol details dialog as its resource makes it,
// or resized, for the test run to photograph.
//
//   layout_gallery.exe READY_FILE SECONDS [WIDTH HEIGHT]
// shows the dialog (resized to WIDTH x HEIGHT pixels when given), writes
// READY_FILE once it has been laid out and painted, and closes itself
// after SECONDS.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

#include "protocol_details_dialog.h"

namespace {

void pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argc < 3) return 2;
  WTL::set_resource_instance(instance);

  protocol_details_dialog dialog;
  if (!dialog.Create(nullptr)) return 3;
  dialog.SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  if (argc >= 5) {
    dialog.SetWindowPos(nullptr, 0, 0, _wtoi(argv[3]), _wtoi(argv[4]), SWP_NOMOVE | SWP_NOZORDER);
  }
  dialog.ShowWindow(SW_SHOW);
  dialog.UpdateWindow();
  pump();

  if (FILE* ready = _wfopen(argv[1], L"w")) std::fclose(ready);
  const UINT_PTR timer = ::SetTimer(nullptr, 0, static_cast<UINT>(_wtoi(argv[2])) * 1000, nullptr);
  MSG msg;
  while (::IsWindow(dialog) && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == timer) break;
    if (!::IsDialogMessageW(dialog, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  if (::IsWindow(dialog)) dialog.DestroyWindow();
  ::LocalFree(argv);
  return 0;
}
