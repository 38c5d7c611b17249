// What every gallery program shares: its command line
//   gallery.exe READY_FILE SECONDS
// the module and message loop around its one window, and the ready file,
// written once the window has been shown, painted and idled, so the test
// run may photograph the screen. The window closes itself after SECONDS.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

#include "win/loop.h"
#include "win/module.h"

namespace orvo::gallery {

// Writes the ready file (once) when `window` is shown; called when idle.
inline void signal_ready(HWND window, const wchar_t*& ready_file) {
  if (!ready_file || !::IsWindowVisible(window)) return;
  ::UpdateWindow(window);
  if (FILE* f = _wfopen(ready_file, L"w")) fclose(f);
  ready_file = nullptr;
}

// Runs `window` (a window class with members m_ready_file and m_seconds)
// until the loop quits; `controls` are the common-control classes it uses.
template <class Window>
int run(WTL::CAppModule& module, HINSTANCE instance, DWORD controls, Window& window, const RECT& rect, LPCWSTR title) {
  INITCOMMONCONTROLSEX classes{sizeof classes, controls};
  ::InitCommonControlsEx(&classes);
  if (FAILED(module.Init(nullptr, instance))) return 1;
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  WTL::CMessageLoop loop;
  module.AddMessageLoop(&loop);
  if (argc > 1) window.m_ready_file = argv[1];
  if (argc > 2) window.m_seconds = static_cast<UINT>(_wtoi(argv[2]));
  int result = 1;
  if (window.Create(nullptr, rect, title)) {
    window.ShowWindow(SW_SHOWNORMAL);
    result = loop.Run();
  }
  module.RemoveMessageLoop();
  module.Term();
  ::LocalFree(argv);
  return result;
}

}  // namespace orvo::gallery
