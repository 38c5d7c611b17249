// The docking frame's gallery: rows at the top and bottom and columns at
// the left and right of a tabbed view area, two boxes sharing the top row.
// The test run starts it under Xvfb and photographs the screen.
#include "docking_gallery_frame.h"
#include "win/gallery/gallery_main.h"

namespace {

using dockwins::gallery::CGalleryBox;
using dockwins::gallery::CGalleryFrame;

WTL::CAppModule g_module;

class CDockingGallery : public CGalleryFrame, public orvo::gallery::self_closing<CDockingGallery> {
 public:
  BEGIN_MSG_MAP(CDockingGallery)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  CHAIN_MSG_MAP(orvo::gallery::self_closing<CDockingGallery>)
  CHAIN_MSG_MAP(CGalleryFrame)
  END_MSG_MAP()

  LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    LRESULT created = 0;
    CGalleryFrame::ProcessWindowMessage(m_hWnd, uMsg, wParam, lParam, created);
    using namespace dockwins::dock_flags;
    const wchar_t* names[] = {L"Protocols", L"Event Log", L"System Tree", L"Impedance", L"Properties"};
    for (int i = 0; i < 5; ++i) m_boxes[i].Create(names[i]);
    Dock(m_boxes[0], BeforeCentre | OwnRow, 90);
    Dock(m_boxes[1], OwnRow, 70);
    Dock(m_boxes[2], Inner | BeforeCentre | OwnRow, 130);
    Dock(m_boxes[3], Inner | OwnRow, 110);
    Dock(m_boxes[4], BeforeCentre, 90, 0, 0.5f, 200);  // shares the top row
    start(g_module.GetMessageLoop());
    return created;
  }

 private:
  CGalleryBox m_boxes[5];
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  CDockingGallery window;
  return orvo::gallery::run(g_module, instance, ICC_WIN95_CLASSES | ICC_BAR_CLASSES, window, RECT{0, 0, 640, 480},
                            L"Orvo docking frame gallery");
}
