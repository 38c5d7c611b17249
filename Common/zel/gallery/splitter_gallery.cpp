// The splitter's gallery: a window split as the client's main frame splits
// its system tab, a tree on the left and, on the right, a list above a
// pane left empty (drawn by the splitter itself). The test run starts it
// under Xvfb and photographs the screen.
//
//   splitter_gallery.exe READY_FILE SECONDS
// writes READY_FILE once the window has been shown, painted and idled, and
// closes itself after SECONDS.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "win/controls.h"
#include "win/gallery/gallery_main.h"
#include "win/loop.h"
#include "win/module.h"
#include "zel/dynamic_splitter.h"

namespace {

WTL::CAppModule g_module;

class CSplitterGallery : public WTL::CWindowImpl<CSplitterGallery, WTL::CWindow, WTL::CFrameWinTraits>,
                         public orvo::gallery::self_closing<CSplitterGallery> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.SplitterGallery", CS_HREDRAW | CS_VREDRAW, 0}; }

  BEGIN_MSG_MAP(CSplitterGallery)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  CHAIN_MSG_MAP(orvo::gallery::self_closing<CSplitterGallery>)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    m_overview.Create(m_hWnd, rcDefault, nullptr, 0, WS_EX_STATICEDGE);
    m_overview.SetSplitterExtendedStyle(zel::splitter_proportional | zel::splitter_vertical);
    m_detail.Create(m_overview, rcDefault, nullptr, 0, WS_EX_CLIENTEDGE);
    create_tree();
    create_list();
    m_overview.SetSplitterPanes(m_tree, m_detail);
    m_detail.SetSplitterPanes(m_list, nullptr);
    start(g_module.GetMessageLoop());
    return 0;
  }

  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&) {
    RECT client;
    GetClientRect(&client);
    m_overview.MoveWindow(client);
    if (!m_placed) {
      // The main frame's default layout: the tree a quarter of the width,
      // the upper view two thirds of the height; resizes keep the proportions.
      m_placed = true;
      m_overview.SetSplitterPos(client.right / 4);
      m_detail.GetClientRect(&client);
      m_detail.SetSplitterPos(client.bottom / 3 * 2);
    }
    return 0;
  }

 private:
  void create_tree() {
    m_tree.Create(m_overview, rcDefault, nullptr,
                  WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                  WS_EX_CLIENTEDGE);
    HTREEITEM system = m_tree.InsertItem(L"Orvo System");
    for (int amplifier = 1; amplifier <= 2; ++amplifier) {
      wchar_t text[32];
      swprintf(text, 32, L"Amplifier %d", amplifier);
      HTREEITEM parent = m_tree.InsertItem(text, system);
      for (int channel = 1; channel <= 8; ++channel) {
        swprintf(text, 32, L"Channel %d", channel);
        m_tree.InsertItem(text, parent);
      }
      m_tree.SendMessage(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    }
    m_tree.SendMessage(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(system));
  }

  void create_list() {
    m_list.Create(m_detail, rcDefault, nullptr, WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS,
                  WS_EX_CLIENTEDGE);
    m_list.SetExtendedListViewStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const wchar_t* columns[] = {L"Channel", L"Gain", L"High cut", L"Low cut"};
    for (int c = 0; c < 4; ++c) m_list.InsertColumn(c, columns[c], LVCFMT_LEFT, 90);
    for (int row = 0; row < 8; ++row) {
      wchar_t name[16];
      swprintf(name, 16, L"Channel %d", row + 1);
      m_list.InsertItem(row, name);
      m_list.SetItemText(row, 1, row % 2 ? L"500" : L"1000");
      m_list.SetItemText(row, 2, L"1 kHz");
      m_list.SetItemText(row, 3, row % 3 ? L"0.1 Hz" : L"DC");
    }
  }

  bool m_placed = false;
  WTL::CDynSplitterWindow m_overview;
  WTL::CDynSplitterWindow m_detail;
  WTL::CTreeViewCtrl m_tree;
  WTL::CListViewCtrl m_list;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  CSplitterGallery window;
  return orvo::gallery::run(g_module, instance, ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES, window,
                            RECT{0, 0, 900, 600}, L"Orvo splitter gallery");
}
