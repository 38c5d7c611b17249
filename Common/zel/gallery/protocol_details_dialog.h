// The gallery's resizable dialog: a protocol's name and comment, laid out
// by rules. The name stretches across, the comment takes the rest with its
// group box around it, the buttons keep to the bottom-right corner.
#pragma once

#include "layout_gallery_resources.h"
#include "win/dialog.h"
#include "zel/layout_manager.h"

class protocol_details_dialog : public WTL::CDialogImpl<protocol_details_dialog>,
                                public zel::layout::dialog_layout<protocol_details_dialog> {
 public:
  enum { IDD = IDD_PROTOCOL_DETAILS };

  BEGIN_MSG_MAP(protocol_details_dialog)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  COMMAND_ID_HANDLER(IDOK, OnClose)
  COMMAND_ID_HANDLER(IDCANCEL, OnClose)
  CHAIN_MSG_MAP(zel::layout::dialog_layout<protocol_details_dialog>)
  END_MSG_MAP()

  zel::layout::node_ptr define_layout() {
    using namespace zel::layout;
    return container() << control(IDC_NAME_LABEL, anchor_left | anchor_top)
                       << control(IDC_NAME, anchor_left | anchor_top | anchor_right)
                       << control(IDC_COMMENT, anchor_left | anchor_top | anchor_right | anchor_bottom)
                       << (around_control(IDC_COMMENT, COMMENT_FRAME) << fill(IDC_COMMENT_BOX))
                       << control(IDC_SAVED, anchor_left | anchor_bottom) << control(IDOK, anchor_right | anchor_bottom)
                       << control(IDCANCEL, anchor_right | anchor_bottom);
  }

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    GetDlgItem(IDC_NAME).SetWindowText(L"Sleep study, 32 channels");
    GetDlgItem(IDC_COMMENT)
        .SetWindowText(
            L"Gain 1000 on all channels.\r\nLow-cut 0.3 Hz, high-cut 70 Hz, 50 Hz notch on.\r\n"
            L"Impedance below 10 kOhm before recording.");
    GetDlgItem(IDC_SAVED).SetWindowText(L"Saved 09.12.2026 10:57");
    initialize_layout();
    return TRUE;
  }
  LRESULT OnClose(WORD, WORD id, HWND, BOOL&) {
    EndDialog(id);
    return 0;
  }
};
