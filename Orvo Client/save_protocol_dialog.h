// "Save Protocol As...": a name and a library for the working protocol,
// picked with the help of an embedded protocol manager. Typing selects the
// protocol of that name in the chosen library; selecting a protocol takes
// its name and library; "&Save" asks before overwriting.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "protocol_frame_window.h"
#include "zel/layout_manager.h"
#include "zel/modal_idle.h"

class save_protocol_dialog : public zel::modal_idle<save_protocol_dialog>,
                             public zel::layout::dialog_layout<save_protocol_dialog> {
 public:
  enum { IDD = IDD_SAVE_PROTOCOL };

  // user: the proposed library is the user-specific one.
  save_protocol_dialog(std::wstring name, bool user, Orvo::protocol_libraries* libraries)
      : m_name(std::move(name)), m_user(user), m_manager(libraries, false), m_libraries(libraries) {}

  // Runs the dialog on the thread's message loop; IDOK or IDCANCEL, -1 when
  // it could not be made (last error 14).
  INT_PTR run(HWND owner);

  // The chosen name with white space trimmed, and library.
  std::wstring name() const;
  bool user() const noexcept { return m_user; }
  protocol_frame_window& manager() noexcept { return m_manager; }

  BEGIN_MSG_MAP(save_protocol_dialog)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  COMMAND_HANDLER(IDC_PROTOCOL_NAME, EN_CHANGE, OnNameChange)
  COMMAND_HANDLER(IDC_COMMON_LIBRARY, BN_CLICKED, OnLibraryClicked)
  COMMAND_HANDLER(IDC_USER_LIBRARY, BN_CLICKED, OnLibraryClicked)
  COMMAND_ID_HANDLER(IDOK, OnOK)
  COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  CHAIN_MSG_MAP(zel::layout::dialog_layout<save_protocol_dialog>)
  END_MSG_MAP()

  zel::layout::node_ptr define_layout();
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnNameChange(WORD, WORD, HWND, BOOL&);
  LRESULT OnLibraryClicked(WORD, WORD id, HWND, BOOL&);
  LRESULT OnOK(WORD, WORD, HWND, BOOL&);
  LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
  // "&Save" only for a valid name.
  BOOL OnIdle() override;
  // The embedded manager's keys (Del, F2) before the dialog's own.
  BOOL PreTranslateMessage(MSG* msg) override;

 private:
  // The tree's selection gives the name (unless typing made it) and the
  // library.
  void take_selection();
  void set_name_text(const std::wstring& text);

  std::wstring m_name;
  bool m_user;
  protocol_frame_window m_manager;
  Orvo::protocol_libraries* m_libraries;
  bool m_setting_text = false;
  bool m_typing = false;
};

namespace Orvo {

// Stores the working protocol under the name in the library; shows the
// "Error saving protocol" box when the library cannot be written. True when
// saved.
bool store_protocol_reporting(HWND owner, protocol_libraries& libraries, bool user, const std::wstring& name,
                              const protocol& working);

}  // namespace Orvo
