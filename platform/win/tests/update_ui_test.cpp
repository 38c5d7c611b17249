// Command states of the UI-update map reaching a menu, a toolbar, a status
// pane and a child window under wine64.
#include <gtest/gtest.h>

#include "win/controls.h"
#include "win/update_ui.h"
#include "win/window_impl.h"

namespace {

enum : WORD { ID_COPY = 100, ID_SHOW_LOG = 101, ID_OPTION = 102, ID_NOT_IN_MAP = 103 };

class CStatesWindow : public WTL::CWindowImpl<CStatesWindow, WTL::CWindow, WTL::CFrameWinTraits>,
                      public WTL::CUpdateUI<CStatesWindow> {
 public:
  static constexpr WTL::update_ui_entry update_ui_map[] = {
      {ID_COPY, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_SHOW_LOG, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_OPTION, WTL::UPDUI_CHILDWINDOW},
      {1, WTL::UPDUI_STATUSBAR},
  };
  BEGIN_MSG_MAP(CStatesWindow)
  CHAIN_MSG_MAP(WTL::CUpdateUI<CStatesWindow>)
  END_MSG_MAP()
};

class UpdateUI : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_window.Create(nullptr, RECT{0, 0, 300, 200}, L"states"));
    TBBUTTON buttons[2] = {};
    buttons[0].idCommand = ID_COPY;
    buttons[1].idCommand = ID_SHOW_LOG;
    for (auto& b : buttons) {
      b.iBitmap = I_IMAGENONE;
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = BTNS_BUTTON;
    }
    ASSERT_TRUE(m_toolbar.Create(m_window, WTL::CWindow::rcDefault, nullptr, WS_CHILD | WS_VISIBLE));
    m_toolbar.SetButtonStructSize();
    m_toolbar.AddButtons(2, buttons);
    ASSERT_TRUE(m_status.Create(m_window, WTL::CWindow::rcDefault, nullptr, WS_CHILD | WS_VISIBLE));
    const int panes[] = {100, -1};
    m_status.SetParts(2, panes);
    ASSERT_TRUE(m_option.Create(m_window, RECT{0, 60, 100, 80}, L"Option", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0,
                                ID_OPTION));
    m_window.UIAddToolBar(m_toolbar);
    m_window.UIAddStatusBar(m_status);
    m_window.UIAddChildWindowContainer(m_window);
  }
  void TearDown() override { m_window.DestroyWindow(); }

  CStatesWindow m_window;
  WTL::CToolBarCtrl m_toolbar;
  WTL::CStatusBarCtrl m_status;
  WTL::CButton m_option;
};

TEST_F(UpdateUI, AToolbarShowsTheRecordedStatesWhenItIsUpdated) {
  m_window.UIEnable(ID_COPY, FALSE);
  m_window.UISetCheck(ID_SHOW_LOG, 1);
  EXPECT_TRUE(m_toolbar.IsButtonEnabled(ID_COPY));  // recorded, not shown yet
  m_window.UIUpdateToolBar();
  EXPECT_FALSE(m_toolbar.IsButtonEnabled(ID_COPY));
  EXPECT_TRUE(m_toolbar.IsButtonChecked(ID_SHOW_LOG));
  EXPECT_FALSE(m_window.UIIsEnabled(ID_COPY));
  EXPECT_EQ(m_window.UIGetCheck(ID_SHOW_LOG), 1);
}

TEST_F(UpdateUI, AStatusPaneShowsItsText) {
  m_window.UISetText(1, L"Ready");
  m_window.UIUpdateStatusBar();
  EXPECT_EQ(m_status.GetText(1), L"Ready");
  EXPECT_EQ(m_status.GetText(0), L"");
}

TEST_F(UpdateUI, AChildWindowIsEnabledCheckedAndTitled) {
  m_window.UIEnable(ID_OPTION, FALSE);
  m_window.UISetCheck(ID_OPTION, 1);
  m_window.UISetText(ID_OPTION, L"Renamed");
  m_window.UIUpdateChildWindows();
  EXPECT_FALSE(m_option.IsWindowEnabled());
  EXPECT_EQ(m_option.GetCheck(), BST_CHECKED);
  EXPECT_EQ(m_option.GetWindowText(), L"Renamed");
}

TEST_F(UpdateUI, APopupMenuTakesEveryStateWhenItOpens) {
  HMENU menu = ::CreatePopupMenu();
  ::AppendMenuW(menu, MF_STRING, ID_COPY, L"&Copy");
  ::AppendMenuW(menu, MF_STRING, ID_SHOW_LOG, L"Show &log");
  m_window.UIEnable(ID_COPY, FALSE);
  m_window.UISetCheck(ID_SHOW_LOG, 1);
  m_window.UISetText(ID_SHOW_LOG, L"Hide &log");
  m_window.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  EXPECT_TRUE(::GetMenuState(menu, ID_COPY, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(::GetMenuState(menu, ID_SHOW_LOG, MF_BYCOMMAND) & MF_CHECKED);
  wchar_t text[32];
  ::GetMenuStringW(menu, ID_SHOW_LOG, text, 32, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"Hide &log");
  ::DestroyMenu(menu);
}

TEST_F(UpdateUI, IdsOutsideTheMapAreRefused) {
  EXPECT_FALSE(m_window.UIEnable(ID_NOT_IN_MAP, FALSE));
  EXPECT_FALSE(m_window.UIIsEnabled(ID_NOT_IN_MAP));
}

}  // namespace
