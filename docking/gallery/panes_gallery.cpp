// The docking panes' gallery: four panes with their own captions docked at
// the edges of a tabbed view area, each holding a list; a fifth pane joins
// the right one, which makes the right column a tab docking box. The test run
// starts it under Xvfb and photographs the screen.
#include <string>

#include "docking_gallery_frame.h"
#include "tab_docking_box.h"
#include "tab_window_holder.h"
#include "win/gallery/gallery_main.h"

namespace {

using dockwins::CRq4TabWindowHolder;
using dockwins::gallery::CGalleryFrame;

WTL::CAppModule g_module;

class CPanesGallery : public CGalleryFrame, public orvo::gallery::self_closing<CPanesGallery> {
 public:
  BEGIN_MSG_MAP(CPanesGallery)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  CHAIN_MSG_MAP(orvo::gallery::self_closing<CPanesGallery>)
  CHAIN_MSG_MAP(CGalleryFrame)
  END_MSG_MAP()

  LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    LRESULT created = 0;
    CGalleryFrame::ProcessWindowMessage(m_hWnd, uMsg, wParam, lParam, created);
    using namespace dockwins::dock_flags;
    const wchar_t* names[] = {L"Top", L"Bottom", L"Left", L"Right", L"Tabbed"};
    const std::uint32_t sides[] = {BeforeCentre | OwnRow, OwnRow, Inner | BeforeCentre | OwnRow, Inner | OwnRow};
    const int extents[] = {90, 80, 140, 140};
    for (int i = 0; i < 5; ++i) {
      m_panes[i].Create(m_hWnd, RECT{0, 0, 200, 120}, names[i]);
      m_lists[i].Create(L"LISTBOX", m_panes[i], RECT{0, 0, 10, 10}, nullptr,
                        WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT);
      for (int line = 1; line <= 3; ++line)
        m_lists[i].SendMessage(
            LB_ADDSTRING, 0,
            reinterpret_cast<LPARAM>((std::wstring(names[i]) + L" item " + std::to_wstring(line)).c_str()));
      m_panes[i].SetClient(m_lists[i]);
      if (i < 4) Dock(m_panes[i], sides[i], extents[i]);
    }
    dockwins::DockRequest join{};
    join.window = dockwins::HandleValue(m_panes[4]);
    join.code = dockwins::dock_code::Dock;
    join.tab_index = -1;
    Request(m_panes[3], join);
    start(g_module.GetMessageLoop());
    return created;
  }

 private:
  CRq4TabWindowHolder m_panes[5];
  WTL::CWindow m_lists[5];
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  CPanesGallery window;
  return orvo::gallery::run(g_module, instance, ICC_WIN95_CLASSES | ICC_BAR_CLASSES, window, RECT{0, 0, 640, 480},
                            L"Orvo docking panes gallery");
}
