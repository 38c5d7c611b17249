// The main frame's toolbar (band 0xEB01 of its rebar, beside the command
// bar) with the command bar's images, the toggles of the toolbar and the
// status bar, and the Help menu's documents, mail and web page.
#include <windows.h>
#include <commctrl.h>

#include <utility>

#include "help_commands.h"
#include "main_frame.h"
#include "res/main_toolbar_resources.h"
#include "win/toolbar_resource.h"
#include "zel/errors.h"

namespace {

constexpr COLORREF toolbar_mask = RGB(0xC0, 0xC0, 0xC0);

}  // namespace

void CMainFrame::create_toolbar() {
  m_CmdBar.LoadImages(IDR_MAINFRAME);
  const std::pair<UINT, UINT> icons[] = {{IDI_COMMAND_EXIT, ID_TRAY_EXIT},
                                         {IDI_COMMAND_EXIT, ID_APP_EXIT},
                                         {IDI_COMMAND_RESTORE, ID_TRAY_RESTORE},
                                         {IDI_COMMAND_REPAIR, ID_REPAIR},
                                         {IDI_COMMAND_OPTIONS, ID_VIEW_USER_OPTIONS}};
  for (const auto& [icon_id, command] : icons) {
    HICON icon = static_cast<HICON>(
        ::LoadImageW(WTL::resource_instance(), MAKEINTRESOURCEW(icon_id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    if (!icon) continue;
    m_CmdBar.AddIcon(icon, command);
    ::DestroyIcon(icon);
  }
  m_toolbar =
      WTL::create_toolbar_from_resource(m_hWndToolBar, IDR_MAINFRAME,
                                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TBSTYLE_FLAT |
                                            TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                                        zel::frame_toolbar);
  if (!m_toolbar) zel::throw_win32_error(::GetLastError());
  m_toolbar_images.CreateFromBitmap(WTL::resource_instance(), IDR_MAINFRAME, 16, 1, toolbar_mask);
  m_toolbar_hot_images.CreateFromBitmap(WTL::resource_instance(), IDB_TOOLBAR_HOT, 16, 1, toolbar_mask);
  ::SendMessageW(m_toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(static_cast<HIMAGELIST>(m_toolbar_images)));
  ::SendMessageW(m_toolbar, TB_SETHOTIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(static_cast<HIMAGELIST>(m_toolbar_hot_images)));
  AddSimpleReBarBand(m_toolbar, nullptr, false);
  m_CmdBar.m_arrToolbars.push_back(m_toolbar);
  UIAddToolBar(m_toolbar);
}

void CMainFrame::show_toolbar(bool show) {
  if (!m_hWndToolBar) return;
  const LRESULT band = ::SendMessageW(m_hWndToolBar, RB_IDTOINDEX, zel::frame_toolbar, 0);
  if (band >= 0) ::SendMessageW(m_hWndToolBar, RB_SHOWBAND, static_cast<WPARAM>(band), show);
}

LRESULT CMainFrame::OnViewToolbar(WORD, WORD, HWND, BOOL&) {
  m_session.m_show_toolbar = !m_session.m_show_toolbar;
  show_toolbar(m_session.m_show_toolbar);
  UpdateLayout();
  return 0;
}

LRESULT CMainFrame::OnViewStatusBar(WORD, WORD, HWND, BOOL&) {
  m_session.m_show_statusbar = !m_session.m_show_statusbar;
  if (m_hWndStatusBar) ::ShowWindow(m_hWndStatusBar, m_session.m_show_statusbar ? SW_SHOWNOACTIVATE : SW_HIDE);
  UpdateLayout();
  return 0;
}

LRESULT CMainFrame::OnHelpDocument(WORD, WORD id, HWND, BOOL&) {
  guarded(*this, [&] {
    Orvo::open_registered_document(id == ID_HELP_TOPICS ? Orvo::user_guide_value : Orvo::programming_reference_value);
  });
  return 0;
}

LRESULT CMainFrame::OnHelpMail(WORD, WORD, HWND, BOOL&) {
  guarded(*this, [&] { Orvo::send_support_mail(*this, m_hWnd); });
  return 0;
}

LRESULT CMainFrame::OnHelpWeb(WORD, WORD, HWND, BOOL&) {
  guarded(*this, [&] { Orvo::open_home_page(m_hWnd); });
  return 0;
}
