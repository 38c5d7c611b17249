// The question before the main frame closes (dialog 283): exit, minimise to
// the tray, or cancel; and whether to ask again next time.
//
//   close_dlg dlg;
//   dlg.m_show_next_time = session.m_show_shutdown_msg;
//   switch (dlg.DoModal(owner)) { case IDOK: /* Minimize */ case IDYES: /* Exit Now */ case IDCANCEL: ... }
#pragma once

#include <windows.h>

#include "res/resource.h"
#include "win/dialog.h"

class close_dlg : public WTL::CDialogImpl<close_dlg> {
 public:
  enum { IDD = IDD_CLOSE };
  enum : int { minimize = IDOK, exit_now = IDYES, cancel = IDCANCEL };

  bool m_show_next_time = true;  // the check box: set when the dialog opens, read when it ends

  BEGIN_MSG_MAP(close_dlg)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  COMMAND_ID_HANDLER(IDOK, OnButton)
  COMMAND_ID_HANDLER(IDYES, OnButton)
  COMMAND_ID_HANDLER(IDCANCEL, OnButton)
  END_MSG_MAP()

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ::CheckDlgButton(m_hWnd, IDC_SHOW_NEXT_TIME, m_show_next_time ? BST_CHECKED : BST_UNCHECKED);
    CenterWindow(GetParent());
    return TRUE;
  }
  LRESULT OnButton(WORD, WORD id, HWND, BOOL&) {
    m_show_next_time = ::IsDlgButtonChecked(m_hWnd, IDC_SHOW_NEXT_TIME) == BST_CHECKED;
    EndDialog(id);
    return 0;
  }
};
