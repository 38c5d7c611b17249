// The command bar's gallery: a frame with the bar, a toolbar band and a
// status bar, its Edit menu open (images, a checked item, a radio mark, a
// disabled item, a shortcut) and the View menu's default item in bold. The
// test run photographs the screen while the menu is open.
//
//   command_bar_gallery.exe READY_FILE SECONDS
// writes READY_FILE once the menu is open and drawn, and closes after SECONDS.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>

#include "test_frame.h"

namespace {

class gallery_frame : public test_frame {
 public:
  const wchar_t* m_ready_file = nullptr;

  BEGIN_MSG_MAP(gallery_frame)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  CHAIN_MSG_MAP(test_frame)
  END_MSG_MAP()

  // Time is up: the menu closes, then the frame.
  LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&) {
    KillTimer(1);
    ::EndMenu();
    PostMessage(WM_CLOSE);
    return 0;
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
  ::InitCommonControlsEx(&controls);
  WTL::set_resource_instance(instance);
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  gallery_frame frame;
  if (argc > 1) frame.m_ready_file = argv[1];
  const UINT seconds = argc > 2 ? static_cast<UINT>(_wtoi(argv[2])) : 5;
  frame.open(640, 360);
  HMENU edit = ::GetSubMenu(frame.m_hMenu, 1);
  ::CheckMenuRadioItem(edit, ID_EDIT_RADIO, ID_EDIT_RADIO, ID_EDIT_RADIO, MF_BYCOMMAND);
  ::SetMenuDefaultItem(edit, ID_EDIT_COPY, FALSE);
  ::SetTimer(frame, 1, seconds * 1000, nullptr);
  int idle = 0;
  frame.on_idle = [&](HWND popup) {
    if (++idle == 1 && frame.m_ready_file) {  // the popup and its items drawn first
      ::RedrawWindow(popup, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      ::RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      if (FILE* f = _wfopen(frame.m_ready_file, L"w")) fclose(f);
    }
  };
  // Hot item: the first one, as a user pointing at it sees it.
  frame.m_bar.PostMessage(WTL::CCommandBarCtrlBase::open_menu_message(), 1, TRUE);
  MSG msg;
  while (frame.IsWindow() && ::GetMessageW(&msg, nullptr, 0, 0)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  ::LocalFree(argv);
  return idle > 0 ? 0 : 1;
}
