// The display-options dialog (which values of each writable property the
// detail views hide) with its one page per property, and the user-options
// dialog (three flags of the session).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "OrvoImpl_h.h"
#include "comet/ptr.h"
#include "core/records.h"
#include "error_report.h"
#include "res/protocol_manager_resources.h"
#include "win/dialog.h"
#include "zel/layout_manager.h"

namespace Orvo {

// The values the state offers for its writable properties: every
// amplifier's and every channel's, each value once per property, without
// the values that `excluded` lists under the same name.
property_map make_available_map(IAmplifierState* state, const property_map& excluded);

}  // namespace Orvo

// One property's page: its excluded values on the left, the values still
// shown on the right, and the buttons that move selected or all values.
// Moves edit the property's list in the exclusion map at once.
class COptionPage : public WTL::CDialogImpl<COptionPage>, public zel::layout::dialog_layout<COptionPage> {
 public:
  enum { IDD = IDD_OPTION_PAGE };

  COptionPage(std::vector<Orvo::wide_string>& excluded, const std::vector<Orvo::wide_string>& available)
      : m_excluded(excluded), m_available(available) {}

  BEGIN_MSG_MAP(COptionPage)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  COMMAND_ID_HANDLER(IDC_ADD_VALUE, OnAdd)
  COMMAND_ID_HANDLER(IDC_ADD_ALL_VALUES, OnAddAll)
  COMMAND_ID_HANDLER(IDC_REMOVE_VALUE, OnRemove)
  COMMAND_ID_HANDLER(IDC_REMOVE_ALL_VALUES, OnRemoveAll)
  COMMAND_CODE_HANDLER(LBN_SELCHANGE, OnSelectionChange)
  CHAIN_MSG_MAP(zel::layout::dialog_layout<COptionPage>)
  END_MSG_MAP()

  zel::layout::node_ptr define_layout();
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnAdd(WORD, WORD, HWND, BOOL&);
  LRESULT OnAddAll(WORD, WORD, HWND, BOOL&);
  LRESULT OnRemove(WORD, WORD, HWND, BOOL&);
  LRESULT OnRemoveAll(WORD, WORD, HWND, BOOL&);
  LRESULT OnSelectionChange(WORD, WORD, HWND, BOOL&);

  // Buttons follow the lists: a move button while its list has a
  // selection, an "All" button while its list has any item.
  void update_buttons();

 private:
  // Moves the selected values of one list to the other.
  void move(bool to_included);

  std::vector<Orvo::wide_string>& m_excluded;
  const std::vector<Orvo::wide_string>& m_available;
};

class COptionsDlg : public WTL::CDialogImpl<COptionsDlg>, public zel::layout::dialog_layout<COptionsDlg> {
 public:
  enum { IDD = IDD_DISPLAY_OPTIONS };

  // Builds the available map from the state; may throw.
  COptionsDlg(IAmplifierState* state, Orvo::property_map& exclusions);

  // Runs the dialog under the active window: 0 for OK, 1 for Cancel, -1
  // when its window could not be made (last error 14), 2 when building or
  // running it threw (reported to log).
  static int Run(IAmplifierState* state, Orvo::property_map& exclusions, CLogSink& log);

  BEGIN_MSG_MAP(COptionsDlg)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  NOTIFY_HANDLER(IDC_OPTION_TABS, TCN_SELCHANGE, OnTabChange)
  COMMAND_ID_HANDLER(IDOK, OnOK)
  COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  CHAIN_MSG_MAP(zel::layout::dialog_layout<COptionsDlg>)
  END_MSG_MAP()

  zel::layout::node_ptr define_layout();
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTabChange(int, LPNMHDR, BOOL&);
  LRESULT OnOK(WORD, WORD, HWND, BOOL&);
  LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

 private:
  void show_current_page();

  comet::com_ptr<IAmplifierState> m_state;
  Orvo::property_map& m_exclusions;
  Orvo::property_map m_available;
  std::vector<std::unique_ptr<COptionPage>> m_pages;
};

// The user options: three flags of a copy of the session, given back on OK.
class useroptions : public WTL::CDialogImpl<useroptions>, public zel::layout::dialog_layout<useroptions> {
 public:
  enum { IDD = IDD_USER_OPTIONS };

  explicit useroptions(const Orvo::session_data& session) : m_session(session) {}

  Orvo::session_data m_session;

  BEGIN_MSG_MAP(useroptions)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  COMMAND_ID_HANDLER(IDOK, OnOK)
  COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  CHAIN_MSG_MAP(zel::layout::dialog_layout<useroptions>)
  END_MSG_MAP()

  zel::layout::node_ptr define_layout();
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnOK(WORD, WORD, HWND, BOOL&);
  LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
};

namespace Orvo {

// The User Options command: runs the dialog on a copy of session; on OK the
// copy replaces it and save_session runs (the session is written at once).
// True on OK.
bool run_user_options(HWND owner, session_data& session, const std::function<void()>& save_session);

// The Display Options command: the dialog on a copy of the protocol's
// exclusions; on OK the copy becomes its exclusion set (a new modified
// stamp). True on OK.
bool run_display_options(IAmplifierState* state, protocol& working, CLogSink& log);

}  // namespace Orvo
