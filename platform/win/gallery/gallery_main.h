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
#include "win/message_map.h"
#include "win/module.h"

namespace orvo::gallery {

// Writes the ready file (once) when `window` is shown; called when idle.
inline void signal_ready(HWND window, const wchar_t*& ready_file) {
  if (!ready_file || !::IsWindowVisible(window)) return;
  ::UpdateWindow(window);
  if (FILE* f = _wfopen(ready_file, L"w")) fclose(f);
  ready_file = nullptr;
}

// The lifetime most gallery windows share: the ready file written when
// idle, the window closing itself after m_seconds and ending the loop. A
// window derives from it, chains its message map to it and calls start()
// once it has been created.
template <class Derived>
class self_closing : public WTL::CIdleHandler {
 public:
  const wchar_t* m_ready_file = nullptr;
  UINT m_seconds = 5;

  BEGIN_MSG_MAP(self_closing)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

  BOOL OnIdle() override {
    signal_ready(static_cast<Derived*>(this)->m_hWnd, m_ready_file);
    return FALSE;
  }

 protected:
  void start(WTL::CMessageLoop* loop) {
    m_loop = loop;
    m_loop->AddIdleHandler(this);
    static_cast<Derived*>(this)->SetTimer(1, m_seconds * 1000);
  }

 private:
  LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&) {
    static_cast<Derived*>(this)->DestroyWindow();
    return 0;
  }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (m_loop) m_loop->RemoveIdleHandler(this);
    ::PostQuitMessage(0);
    bHandled = FALSE;
    return 0;
  }

  WTL::CMessageLoop* m_loop = nullptr;
};

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
