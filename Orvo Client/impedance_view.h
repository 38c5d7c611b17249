// CImpedanceView: during an electrode-impedance check, one button per
// electrode of one amplifier (two per channel, sixteen in all) with the
// electrode's name, latest reading, level bar and use; a click switches
// the electrode in or out of use. A child dialog (resource 201) that its
// owner, the main frame, makes at the first impedance event:
//
//   CImpedanceView view(frame, amplifier_id);
//   view.Create(parent);                      // reads the amplifier's electrodes
//   loop.AddMessageFilter(&view);
//   view.set_impedances(bytes.data(), bytes.size());   // each impedance event
//   view.update();                            // each change of the state
//
// Failures of update and of a click are logged through the owner; the
// buttons then keep what they showed.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstddef>
#include <string>

#include "core/impedance_rules.h"
#include "dialog_view.h"
#include "electrode_button.h"
#include "error_report.h"
#include "frame_views.h"
#include "impedance_view_resources.h"

class CImpedanceView : public CDialogView<CImpedanceView, WTL::CWindow> {
 public:
  enum { IDD = IDD_IMPEDANCE_VIEW };
  using view_base = CDialogView<CImpedanceView, WTL::CWindow>;

  CImpedanceView(view_owner& owner, long amplifier_id) noexcept;
  CImpedanceView(const CImpedanceView&) = delete;
  CImpedanceView& operator=(const CImpedanceView&) = delete;

  // Re-reads every electrode of the amplifier from the owner's state
  // (only while the window exists).
  void update() noexcept;
  // The readings of one impedance event, one byte per electrode (at most
  // sixteen are taken). A null array raises E_POINTER, a count of 0 or an
  // odd count E_UNEXPECTED (zel::basic_com_error), before anything changes.
  void set_impedances(const unsigned char* values, std::size_t count);
  // Switches electrode i in or out of use and has the owner apply the state.
  void toggle_electrode(std::size_t i) noexcept;

  long amplifier_id() const noexcept { return m_amplifier_id; }
  void set_amplifier_id(long id) noexcept { m_amplifier_id = id; }
  const CElectrode& electrode(std::size_t i) const { return m_electrodes.at(i); }
  HWND tooltip() const noexcept { return m_tooltip; }

  BEGIN_MSG_MAP(CImpedanceView)
  CHAIN_MSG_MAP(view_base)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
  COMMAND_RANGE_HANDLER(IDC_ELECTRODE_FIRST, IDC_ELECTRODE_LAST, OnElectrode)
  NOTIFY_CODE_HANDLER(TTN_GETDISPINFOW, OnTipText)
  END_MSG_MAP()

 private:
  // Failures go to the owner's log.
  class owner_sink : public CLogSink {
   public:
    explicit owner_sink(view_owner& owner) noexcept : m_owner(owner) {}
    void add_record(const std::wstring& text, int level, HRESULT code) override;
    // The owner's log sets its status text itself.
    void set_status_text(const std::wstring&) override {}

   private:
    view_owner& m_owner;
  };

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDrawItem(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnElectrode(WORD, WORD, HWND, BOOL&);
  LRESULT OnTipText(int, LPNMHDR, BOOL&);

  void create_tooltip();
  // Places the buttons for a client area of width x height, all at once.
  void lay_out(int width, int height);
  // The index of a button's window; button_count when it is none of them.
  std::size_t index_of(HWND button) const noexcept;

  view_owner& m_owner;
  owner_sink m_sink;
  long m_amplifier_id;
  std::array<CElectrode, Orvo::impedance::button_count> m_electrodes;
  Orvo::impedance::design m_design;
  HWND m_tooltip = nullptr;
  std::wstring m_tip;  // the text of the tip being shown
};
