// The protocol manager's gallery: the manager over a few protocols in both
// libraries, a protocol selected, in a window of its own. The test run
// starts it under Xvfb and photographs the screen.
//
//   protocol_manager_gallery.exe READY_FILE SECONDS
// writes READY_FILE once the window has been shown, painted and idled, and
// closes itself after SECONDS.
#include <windows.h>
#include <commctrl.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "orvo_module.h"
#include "protocol_frame_window.h"
#include "win/gallery/gallery_main.h"

namespace {

Orvo::stamp gallery_stamp() { return {boost::posix_time::time_from_string("2009-03-04 13:05:06"), u"Ana Test"}; }

class CManagerGallery : public WTL::CWindowImpl<CManagerGallery, WTL::CWindow, WTL::CFrameWinTraits>,
                        public orvo::gallery::self_closing<CManagerGallery> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.ProtocolManagerGallery", CS_HREDRAW | CS_VREDRAW, 0}; }

  CManagerGallery() : m_manager(&m_libraries) {
    Orvo::set_stamp_source(gallery_stamp);
    m_libraries.m_common[u"Sleep study, 32 channels"].m_comment = u"Gain 1000 on all channels, 50 Hz notch on.";
    m_libraries.m_common[u"Evoked potentials"];
    m_libraries.m_user[u"Night recording"].m_comment = u"Impedance below 10 kOhm before recording.";
    m_libraries.m_user[u"Test set-up"];
  }

  BEGIN_MSG_MAP(CManagerGallery)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  CHAIN_MSG_MAP(orvo::gallery::self_closing<CManagerGallery>)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    RECT client;
    GetClientRect(&client);
    m_manager.create(m_hWnd, client);
    m_manager.select(true, L"Night recording");
    start(_Module.GetMessageLoop());
    return 0;
  }
  LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
    if (m_manager.IsWindow()) m_manager.MoveWindow(RECT{0, 0, LOWORD(lParam), HIWORD(lParam)});
    // The tree scrolled while it was small: both folders in view again.
    if (m_manager.IsWindow()) TreeView_EnsureVisible(m_manager.tree(), TreeView_GetRoot(m_manager.tree()));
    return 0;
  }

 private:
  Orvo::protocol_libraries m_libraries;
  protocol_frame_window m_manager;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  CManagerGallery window;
  return orvo::gallery::run(_Module, instance, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES, window,
                            RECT{0, 0, 420, 520}, L"Protocols");
}
