// The event log's gallery: the log window in a frame, one record of every
// level, highlighting on and every level shown, for the test run to
// photograph.
//
//   client_log_window_gallery.exe READY_FILE SECONDS
#include <windows.h>
#include <commctrl.h>

#include "log_window.h"
#include "orvo_module.h"
#include "win/gallery/gallery_main.h"

namespace {

class CLogGallery : public WTL::CWindowImpl<CLogGallery, WTL::CWindow, WTL::CFrameWinTraits>,
                    public orvo::gallery::self_closing<CLogGallery> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.LogGallery", 0, COLOR_BTNFACE + 1}; }

  BEGIN_MSG_MAP(CLogGallery)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  CHAIN_MSG_MAP(orvo::gallery::self_closing<CLogGallery>)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    m_log.add(L"Orvo Client program started", 1, S_OK);
    m_log.Create(m_hWnd);
    switch_on(IDC_LOG_EVENT_LOGGING);
    ::CheckRadioButton(m_log, IDC_LOG_LEVEL1, IDC_LOG_LEVEL4, IDC_LOG_LEVEL1);
    m_log.SendMessage(WM_COMMAND, IDC_LOG_LEVEL1);
    m_log.add(L"OnChange", 0, S_OK);
    m_log.add(L"Partial application of the state: 2 settings were not taken", 2, 1);
    m_log.add(L"Unable to connect to the Orvo Server", 3, static_cast<HRESULT>(0x80040154));
    m_log.add(L"A record of a level of its own", 7, 0x102);
    start(_Module.GetMessageLoop());
    return 0;
  }
  LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
    m_log.SetWindowPos(nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOZORDER);
    return 0;
  }

 private:
  void switch_on(int id) {
    ::CheckDlgButton(m_log, id, BST_CHECKED);
    m_log.SendMessage(WM_COMMAND, static_cast<WPARAM>(id));
  }
  CLogWindow m_log;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  CLogGallery window;
  return orvo::gallery::run(_Module, instance, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES, window,
                            RECT{20, 20, 820, 420}, L"Event Log");
}
