// What the main frame asks of its views: the system tree, the primary and
// secondary detail views, the impedance view, the overview pane and the
// tabbed area, behind one interface. Until those windows exist the frame
// uses `null_frame_views`, which keeps only what the frame reads back.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "OrvoImpl_h.h"
#include "OrvoServerIntf.h"
#include "comet/ptr.h"
#include "core/records.h"

// What the views ask of the frame.
class view_owner {
 public:
  // The state object of an object ID; no held state raises E_POINTER.
  virtual comet::com_ptr<IIdentifier> GetObjectByID(long id) = 0;
  // Passes a changed serial number to the server; false when it cannot take one.
  virtual bool SendSerialNumber(const VARIANT& old_number, const VARIANT& new_number) = 0;
  virtual void Log(const wchar_t* text, int level, HRESULT code) = 0;
  virtual IAmplifierState* held_state() const noexcept = 0;
  // Keeps the current state for Undo and sends the given state string, or
  // the held state when none is given; false when it could not be sent.
  virtual bool ApplyState(const BSTR state = nullptr) = 0;
  // The value texts the working protocol hides under a property name.
  virtual std::vector<Orvo::wide_string> excluded_texts(const Orvo::wide_string& name) const = 0;

 protected:
  ~view_owner() = default;
};

class frame_views {
 public:
  using rename_map = std::map<std::int32_t, Orvo::wide_string>;

  virtual ~frame_views() = default;

  // Redrawing of the tree and both detail views stops until resumed.
  virtual void suspend_redraw() = 0;
  virtual void resume_redraw() = 0;

  // The system tree.
  virtual void empty_tree() = 0;
  virtual void rebuild_tree(IAmplifierState* state, Orvo::IAmplifier* server, const rename_map& renames) = 0;
  virtual void select_tree_item(long id) = 0;
  // The object ID of the selected tree item; 0 when none is selected.
  virtual long selected_tree_item() const { return 0; }

  // The detail views: emptied, filled for a selection, scrolled, titled.
  virtual void empty_views() = 0;
  virtual void show_server_properties(ICollection* properties) = 0;         // primary view, one row
  virtual void show_state(IAmplifierState* state) = 0;                      // all channels; all amplifiers
  virtual void show_amplifier(IAmplifier* amplifier) = 0;                   // its channels; itself
  virtual void show_channel(ICollection* channel, IAmplifier* parent) = 0;  // its row; parent or null
  virtual void scroll_to_current() = 0;
  virtual void set_view_titles(const std::wstring& primary, const std::wstring& secondary) = 0;
  virtual void focus_primary() = 0;
  // Focus to the first of impedance view, primary view and event log that
  // exists, is visible and enabled.
  virtual void focus_view() = 0;

  // The impedance view in the lower pane of the detail splitter.
  virtual void open_impedance(long id, const std::wstring& title) = 0;
  virtual void impedance_values(const std::vector<unsigned char>& values) = 0;
  virtual void refresh_impedance(IAmplifierState* state) = 0;
  virtual void close_impedance() = 0;

  // The overview pane, the secondary view and the tabs.
  virtual bool overview_visible() const = 0;
  virtual void show_overview(bool show) = 0;
  virtual void show_secondary(bool show) = 0;
  virtual void select_tab(int tab) = 0;
  virtual int active_tab() const = 0;

  // The views' message filters, in the frame's filter after its own keys:
  // TRUE when one of them took the message.
  virtual BOOL filter_message(MSG*) { return FALSE; }

  // The detail views' column layouts: stored into a protocol (secondary
  // view as its amplifier columns, primary view as its channel columns),
  // and taken from one, as a protocol is saved and opened.
  virtual void store_column_layouts(Orvo::protocol& protocol) = 0;
  virtual void apply_column_layouts(const Orvo::protocol& protocol) = 0;
};

// The views while the frame has none: every request is taken and dropped;
// the overview's visibility and the active tab read back as set.
class null_frame_views : public frame_views {
 public:
  void suspend_redraw() override {}
  void resume_redraw() override {}
  void empty_tree() override {}
  void rebuild_tree(IAmplifierState*, Orvo::IAmplifier*, const rename_map&) override {}
  void select_tree_item(long) override {}
  void empty_views() override {}
  void show_server_properties(ICollection*) override {}
  void show_state(IAmplifierState*) override {}
  void show_amplifier(IAmplifier*) override {}
  void show_channel(ICollection*, IAmplifier*) override {}
  void scroll_to_current() override {}
  void set_view_titles(const std::wstring&, const std::wstring&) override {}
  void focus_primary() override {}
  void focus_view() override {}
  void open_impedance(long, const std::wstring&) override {}
  void impedance_values(const std::vector<unsigned char>&) override {}
  void refresh_impedance(IAmplifierState*) override {}
  void close_impedance() override {}
  bool overview_visible() const override { return m_overview; }
  void show_overview(bool show) override { m_overview = show; }
  void show_secondary(bool) override {}
  void select_tab(int tab) override { m_tab = tab; }
  int active_tab() const override { return m_tab; }
  // Without views a saved protocol keeps the layouts it has.
  void store_column_layouts(Orvo::protocol&) override {}
  void apply_column_layouts(const Orvo::protocol&) override {}

 private:
  bool m_overview = true;
  int m_tab = 0;
};
