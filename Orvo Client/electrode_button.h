// CElectrode: one button of the impedance view, showing one electrode: its
// name, latest reading, level bar against its thresholds and whether it is
// in use. It takes over a push button of the view's dialog and draws it
// itself (the view passes it the button's WM_DRAWITEM).
//
//   CElectrode button;
//   button.attach(::GetDlgItem(view, IDC_ELECTRODE_FIRST));
//   button.update(electrode, true);   // positive electrode of a channel
//   button.take_reading(0xFE);        // shows "Error"
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "OrvoImpl_h.h"
#include "core/impedance_rules.h"
#include "win/message_map.h"
#include "win/window_impl.h"

// What a button reads from its electrode.
struct electrode_details {
  bool in_use = false, positive = false;
  Orvo::impedance::thresholds limits;
  std::wstring name;
  long id = 0;
};

class CElectrode : public WTL::CWindowImpl<CElectrode> {
 public:
  BEGIN_MSG_MAP(CElectrode)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  END_MSG_MAP()

  // Takes over `button` and makes it owner-drawn; false when it cannot.
  bool attach(HWND button) noexcept;

  // An electrode's details; a null electrode or a failed call raises
  // (comet::com_error).
  static electrode_details read(IElectrode* electrode, bool positive);
  // Shows the details; the button repaints when what it shows changed.
  void show(const electrode_details& details);
  void update(IElectrode* electrode, bool positive) { show(read(electrode, positive)); }
  // Takes a reading byte; repaints when it changed the button.
  void take_reading(std::uint8_t value);

  // Paints the button (its WM_DRAWITEM) through an off-screen bitmap.
  void draw(const DRAWITEMSTRUCT& item) const;

  const Orvo::impedance::electrode_face& face() const noexcept { return m_face; }
  const std::wstring& name() const noexcept { return m_name; }
  long object_id() const noexcept { return m_id; }

 private:
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  void repaint() noexcept;

  Orvo::impedance::electrode_face m_face;
  std::wstring m_name;
  long m_id = 0;
};
