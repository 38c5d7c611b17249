// The window layer's gallery: a frame with a menu, a toolbar and a status
// bar whose states come from the UI-update map, a report list, a painted
// strip and a child dialog built in memory. The test run starts it under
// Xvfb and photographs the screen, so a reader sees the layer at work.
//
//   gallery.exe READY_FILE SECONDS
// writes READY_FILE once the frame has been laid out, shown and idled, and
// closes itself after SECONDS.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "gallery_main.h"
#include "win/controls.h"
#include "win/dialog.h"
#include "win/dialog_template.h"
#include "win/gdi.h"
#include "win/loop.h"
#include "win/module.h"
#include "win/offscreen.h"
#include "win/placement.h"
#include "win/update_ui.h"
#include "win/window_impl.h"

namespace {

enum : WORD {
  ID_CONNECT = 0x8001,
  ID_EDIT_COPY = 0x8002,
  ID_EDIT_PASTE = 0x8003,
  ID_VIEW_LOG = 0x8004,
  ID_APP_EXIT = 0x8005,
  IDC_TOOLBAR = 0xE800,
  IDC_STATUS = 0xE801,
  IDC_LIST = 1,
  IDC_GAIN = 1001,
  IDC_NOTCH = 1002,
  IDC_APPLY = 1003,
};

WTL::CAppModule g_module;

// Electrode states painted through an off-screen bitmap.
class CElectrodeStrip : public WTL::CWindowImpl<CElectrodeStrip>, public WTL::COffscreenDrawRect<CElectrodeStrip> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.Gallery.Electrodes", CS_HREDRAW | CS_VREDRAW, 0}; }
  BEGIN_MSG_MAP(CElectrodeStrip)
  CHAIN_MSG_MAP(WTL::COffscreenDrawRect<CElectrodeStrip>)
  END_MSG_MAP()

  void DoPaint(WTL::CDCHandle dc, RECT&) {
    RECT client;
    GetClientRect(&client);
    dc.FillRect(client, COLOR_WINDOW);
    static const COLORREF colours[] = {RGB(0, 160, 0), RGB(0, 160, 0), RGB(230, 180, 0), RGB(200, 0, 0)};
    dc.SetBkMode(TRANSPARENT);
    for (int i = 0; i < 16; ++i) {
      RECT cell{8 + i * 34, 8, 8 + i * 34 + 28, client.bottom - 8};
      dc.FillSolidRect(cell, colours[(i * 7) % 4]);
      wchar_t label[4];
      swprintf(label, 4, L"%d", i + 1);
      dc.SetTextColor(RGB(255, 255, 255));
      dc.DrawText(label, -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
  }
};

// A child dialog from a template built in memory.
class channel_dialog : public WTL::CDialogImpl<channel_dialog> {
 public:
  BEGIN_MSG_MAP(channel_dialog)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    GetDlgItem(IDC_GAIN).SetWindowText(L"1000");
    WTL::CButton(GetDlgItem(IDC_NOTCH)).SetCheck(BST_CHECKED);
    return TRUE;
  }
  HWND Create(HWND parent) {
    WTL::dialog_template t(nullptr, WS_CHILD | WS_VISIBLE | DS_CONTROL, 0, 0, 150, 110);
    const DWORD child = WS_CHILD | WS_VISIBLE;
    t.add(L"BUTTON", L"Channel 1", 0xFFFF, child | BS_GROUPBOX, 4, 2, 142, 104);
    t.add(L"STATIC", L"Gain:", 0xFFFF, child, 12, 18, 40, 10);
    t.add(L"EDIT", L"", IDC_GAIN, child | WS_BORDER | WS_TABSTOP, 56, 16, 80, 13);
    t.add(L"BUTTON", L"50 Hz notch", IDC_NOTCH, child | BS_AUTOCHECKBOX | WS_TABSTOP, 12, 36, 120, 12);
    t.add(L"BUTTON", L"Apply", IDC_APPLY, child | BS_PUSHBUTTON | WS_TABSTOP, 86, 84, 50, 14);
    return WTL::CDialogImpl<channel_dialog>::Create(t.get(), parent);
  }
};

class CGalleryFrame : public WTL::CWindowImpl<CGalleryFrame, WTL::CWindow, WTL::CFrameWinTraits>,
                      public WTL::CUpdateUI<CGalleryFrame>,
                      public WTL::CMessageFilter,
                      public WTL::CIdleHandler {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.Gallery", CS_HREDRAW | CS_VREDRAW, COLOR_BTNFACE + 1}; }
  static constexpr WTL::update_ui_entry update_ui_map[] = {
      {ID_CONNECT, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_EDIT_COPY, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_EDIT_PASTE, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_VIEW_LOG, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {0, WTL::UPDUI_STATUSBAR},
      {1, WTL::UPDUI_STATUSBAR},
  };

  const wchar_t* m_ready_file = nullptr;
  UINT m_seconds = 5;

  BEGIN_MSG_MAP(CGalleryFrame)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  COMMAND_ID_HANDLER(ID_VIEW_LOG, OnViewLog)
  COMMAND_ID_HANDLER(ID_APP_EXIT, OnExit)
  CHAIN_MSG_MAP(WTL::CUpdateUI<CGalleryFrame>)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    create_menu();
    create_toolbar();
    m_status.Create(m_hWnd, rcDefault, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, IDC_STATUS);
    const int panes[] = {420, -1};
    m_status.SetParts(2, panes);
    create_list();
    m_strip.Create(m_hWnd, RECT{0, 0, 10, 10}, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER);
    m_dialog.Create(m_hWnd);
    UIAddToolBar(m_toolbar);
    UIAddStatusBar(m_status);
    UIEnable(ID_EDIT_COPY, FALSE);
    UIEnable(ID_EDIT_PASTE, TRUE);
    UISetCheck(ID_VIEW_LOG, 1);
    UISetText(0, L"Ready");
    UISetText(1, L"8 channels, 1 amplifier");
    WTL::CMessageLoop* loop = g_module.GetMessageLoop();
    loop->AddMessageFilter(this);
    loop->AddIdleHandler(this);
    SetTimer(1, m_seconds * 1000);
    return 0;
  }

  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&) {
    RECT client;
    GetClientRect(&client);
    m_toolbar.AutoSize();
    m_status.SendMessage(WM_SIZE);
    RECT bar, status;
    m_toolbar.GetWindowRect(&bar);
    m_status.GetWindowRect(&status);
    const int top = bar.bottom - bar.top, bottom = client.bottom - (status.bottom - status.top);
    const int split = client.right - 320;
    WTL::deferred_positions moves(3);
    moves.move(m_list, RECT{0, top, split, bottom - 60});
    moves.move(m_strip, RECT{0, bottom - 60, split, bottom});
    moves.move(m_dialog, RECT{split + 8, top + 8, client.right - 8, bottom});
    return 0;
  }

  LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&) {
    DestroyWindow();
    return 0;
  }

  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    WTL::CMessageLoop* loop = g_module.GetMessageLoop();
    loop->RemoveMessageFilter(this);
    loop->RemoveIdleHandler(this);
    ::PostQuitMessage(0);
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnViewLog(WORD, WORD, HWND, BOOL&) {
    UISetCheck(ID_VIEW_LOG, !UIGetCheck(ID_VIEW_LOG));
    return 0;
  }
  LRESULT OnExit(WORD, WORD, HWND, BOOL&) {
    DestroyWindow();
    return 0;
  }

  BOOL PreTranslateMessage(MSG* msg) override { return ::IsDialogMessageW(m_dialog, msg); }

  BOOL OnIdle() override {
    UIUpdateToolBar();
    UIUpdateStatusBar();
    orvo::gallery::signal_ready(m_hWnd, m_ready_file);
    return FALSE;
  }

 private:
  void create_menu() {
    HMENU bar = ::CreateMenu();
    HMENU file = ::CreatePopupMenu(), edit = ::CreatePopupMenu(), view = ::CreatePopupMenu();
    ::AppendMenuW(file, MF_STRING, ID_CONNECT, L"&Connect");
    ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(file, MF_STRING, ID_APP_EXIT, L"E&xit");
    ::AppendMenuW(edit, MF_STRING, ID_EDIT_COPY, L"&Copy\tCtrl+C");
    ::AppendMenuW(edit, MF_STRING, ID_EDIT_PASTE, L"&Paste\tCtrl+V");
    ::AppendMenuW(view, MF_STRING, ID_VIEW_LOG, L"Event &Log");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View");
    SetMenu(bar);
  }

  void create_toolbar() {
    m_toolbar.Create(m_hWnd, rcDefault, nullptr,
                     WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_TOP, 0, IDC_TOOLBAR);
    m_toolbar.SetButtonStructSize();
    TBADDBITMAP standard{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    m_toolbar.SendMessage(TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&standard));
    struct button {
      WORD id;
      int image;
      const wchar_t* text;
    };
    static const button buttons[] = {{ID_CONNECT, STD_FILEOPEN, L"Connect"},
                                     {ID_EDIT_COPY, STD_COPY, L"Copy"},
                                     {ID_EDIT_PASTE, STD_PASTE, L"Paste"},
                                     {ID_VIEW_LOG, STD_PROPERTIES, L"Event Log"}};
    for (const auto& b : buttons) {
      TBBUTTON tb{};
      tb.iBitmap = b.image;
      tb.idCommand = b.id;
      tb.fsState = TBSTATE_ENABLED;
      tb.fsStyle =
          static_cast<BYTE>(BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT | (b.id == ID_VIEW_LOG ? BTNS_CHECK : 0));
      tb.iString = reinterpret_cast<INT_PTR>(b.text);
      m_toolbar.AddButtons(1, &tb);
    }
    m_toolbar.AutoSize();
  }

  void create_list() {
    m_list.Create(m_hWnd, rcDefault, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS, 0,
                  IDC_LIST);
    m_list.SetExtendedListViewStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const wchar_t* columns[] = {L"Channel", L"Gain", L"High cut", L"Low cut", L"Notch", L"Input"};
    for (int c = 0; c < 6; ++c) m_list.InsertColumn(c, columns[c], LVCFMT_LEFT, c ? 80 : 90);
    static const wchar_t* gains[] = {L"1000", L"500", L"2000", L"1000"};
    static const wchar_t* highs[] = {L"300 Hz", L"1 kHz", L"100 Hz", L"3 kHz"};
    for (int row = 0; row < 8; ++row) {
      wchar_t name[16];
      swprintf(name, 16, L"Channel %d", row + 1);
      m_list.InsertItem(row, name);
      m_list.SetItemText(row, 1, gains[row % 4]);
      m_list.SetItemText(row, 2, highs[row % 4]);
      m_list.SetItemText(row, 3, row % 2 ? L"0.1 Hz" : L"DC");
      m_list.SetItemText(row, 4, row % 3 ? L"Off" : L"50 Hz");
      m_list.SetItemText(row, 5, L"Differential");
    }
  }

  WTL::CToolBarCtrl m_toolbar;
  WTL::CStatusBarCtrl m_status;
  WTL::CListViewCtrl m_list;
  CElectrodeStrip m_strip;
  channel_dialog m_dialog;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  CGalleryFrame frame;
  return orvo::gallery::run(g_module, instance, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES, frame,
                            RECT{0, 0, 1000, 560}, L"Orvo window layer gallery");
}
