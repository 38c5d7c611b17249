// The protocol manager's two small dialogs: the question before a delete
// and the comment editor.
#pragma once

#include <windows.h>

#include <string>

#include "res/protocol_manager_resources.h"
#include "win/dialog.h"
#include "zel/layout_manager.h"

// "&Delete" ends it with 6 (IDYES), "&Cancel" with 2; centred on its parent.
class delete_protocol_dialog : public WTL::CDialogImpl<delete_protocol_dialog> {
 public:
  enum { IDD = IDD_DELETE_PROTOCOL };

  BEGIN_MSG_MAP(delete_protocol_dialog)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  COMMAND_ID_HANDLER(IDYES, OnEnd)
  COMMAND_ID_HANDLER(IDCANCEL, OnEnd)
  END_MSG_MAP()

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEnd(WORD, WORD id, HWND, BOOL&);
};

namespace Orvo {

// The layout of a dialog with one control that grows with it and OK and
// Cancel kept at the bottom right.
zel::layout::node_ptr grow_with_buttons(int id);

// The client's icon 128 as a dialog's small icon.
void set_small_icon(HWND dialog);

// Edits a protocol's comment (at most 1023 characters). "Save" is enabled
// exactly while the text differs from the comment it was opened with; both
// buttons leave the text in m_text, only IDOK is meant to be acted on.
class comment_editor_dialog : public WTL::CDialogImpl<comment_editor_dialog>,
                              public zel::layout::dialog_layout<comment_editor_dialog> {
 public:
  enum { IDD = IDD_COMMENT_EDITOR };
  static constexpr int max_length = 1023;

  explicit comment_editor_dialog(std::wstring comment) : m_text(comment), m_comment(std::move(comment)) {}

  std::wstring m_text;

  BEGIN_MSG_MAP(comment_editor_dialog)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  COMMAND_HANDLER(IDC_COMMENT_TEXT, EN_CHANGE, OnChange)
  COMMAND_ID_HANDLER(IDOK, OnEnd)
  COMMAND_ID_HANDLER(IDCANCEL, OnEnd)
  CHAIN_MSG_MAP(zel::layout::dialog_layout<comment_editor_dialog>)
  END_MSG_MAP()

  zel::layout::node_ptr define_layout();
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnChange(WORD, WORD, HWND, BOOL&);
  LRESULT OnEnd(WORD, WORD id, HWND, BOOL&);

 private:
  std::wstring text() const;
  std::wstring m_comment;
};

}  // namespace Orvo
