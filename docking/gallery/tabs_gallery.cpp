// The tab controls' gallery: a top strip that scrolls, with a close button,
// a bold selected tab, a hot tab under the mouse and dragging allowed, and
// a tabbed view area with bottom tabs, icons and a highlighted tab. The
// test run starts it under Xvfb and photographs the screen.
//
//   tabs_gallery.exe READY_FILE SECONDS
// writes READY_FILE once everything is shown and painted, and closes
// itself after SECONDS.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "tabbed_frame.h"
#include "win/controls.h"

namespace {

using Strip = dockwins::CDotNetTabCtrl<dockwins::CTabViewTabItem>;

class CTabsGallery : public WTL::CWindowImpl<CTabsGallery, WTL::CWindow, WTL::CFrameWinTraits> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.Gallery.Tabs", 0, COLOR_BTNFACE + 1}; }
  BEGIN_MSG_MAP(CTabsGallery)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

  UINT m_seconds = 5;

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    using namespace dockwins::tab_style;
    m_strip.Create(
        m_hWnd, RECT{10, 10, 590, 34}, nullptr,
        WS_CHILD | WS_VISIBLE | ScrollButtons | CloseButton | HotTrack | DragToMove | BoldSelected | Tooltips);
    const wchar_t* names[] = {L"Amplifier 1", L"Amplifier 2", L"Channel View", L"Impedance", L"Event Log",
                              L"Protocols",   L"Filters",     L"Test Box",     L"Settings",  L"Serial Port"};
    for (const wchar_t* name : names) {
      auto* item = new dockwins::CTabViewTabItem;
      item->SetText(name);
      m_strip.InsertItem(-1, item);
    }
    m_strip.SetCurSel(1);

    m_area.SetTabStyles(Tooltips | Bottom);
    m_area.Create(m_hWnd, RECT{10, 50, 590, 330});
    const HINSTANCE system = ::GetModuleHandleW(L"user32.dll");
    const wchar_t* views[] = {L"&Orvo System", L"&Event Log", L"&Impedance"};
    const UINT icons[] = {32516, 32515, 32514};
    for (int i = 0; i < 3; ++i) {
      m_views[i].Create(L"LISTBOX", m_area, RECT{0, 0, 10, 10}, nullptr, WS_CHILD | LBS_NOINTEGRALHEIGHT | WS_VSCROLL);
      for (int line = 0; line < 6; ++line)
        m_views[i].SendMessage(
            LB_ADDSTRING, 0,
            reinterpret_cast<LPARAM>((std::wstring(views[i] + 1) + L" line " + std::to_wstring(line + 1)).c_str()));
      m_area.AddTabWithIcon(m_views[i], views[i], icons[i], system);
    }
    m_area.GetTabCtrl().GetItem(2)->SetHighlighted(true);
    m_area.GetTabCtrl().Invalidate();
    SetTimer(1, m_seconds * 1000);
    return 0;
  }

  // Puts the mouse over a tab of the top strip so that it shows hot.
  void HoverStrip() {
    RECT tab;
    m_strip.GetItemRect(3, &tab);
    POINT p{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
    m_strip.ClientToScreen(&p);
    ::SetCursorPos(p.x, p.y);
  }

  LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&) {
    DestroyWindow();
    return 0;
  }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    ::PostQuitMessage(0);
    bHandled = FALSE;
    return 0;
  }

  Strip m_strip;
  dockwins::CTabbedChildWindow<> m_area;
  WTL::CWindow m_views[3];
};

// Runs the queue until nothing is waiting.
void Settle() {
  MSG msg;
  for (int round = 0; round < 20; ++round) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  CTabsGallery gallery;
  if (argc > 2) gallery.m_seconds = static_cast<UINT>(_wtoi(argv[2]));
  int result = 1;
  if (gallery.Create(nullptr, RECT{0, 0, 610, 380}, L"Orvo tab controls gallery")) {
    gallery.ShowWindow(SW_SHOWNORMAL);
    gallery.UpdateWindow();
    Settle();
    gallery.HoverStrip();
    Settle();
    if (argc > 1)
      if (FILE* f = _wfopen(argv[1], L"w")) fclose(f);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    result = 0;
  }
  ::LocalFree(argv);
  return result;
}
