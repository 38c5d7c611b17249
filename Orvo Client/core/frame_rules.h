// The main frame's rules that need no window: its title, the enabled and
// checked state of its commands, the modified mark of the active protocol,
// the texts of the status panes and their widths.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "records.h"

namespace Orvo {

// "Untitled" or the name with its library, "*" when modified, then the
// program and its hot key.
std::wstring frame_title(const std::wstring& protocol_name, bool user_specific, bool modified);

// The active protocol is unmodified only when its library holds it
// (`stored`, null when it has no name or the library lacks it), the
// working copy's state equals the stored one (`same_state` compares the
// two state strings; two empty strings count as different) and its
// exclusion set and rename map equal the stored ones.
bool protocol_modified(const protocol* stored, const protocol& working,
                       const std::function<bool(const wide_string&, const wide_string&)>& same_state);

// What the command states are made from.
struct frame_facts {
  bool modified = false;
  bool protocol_pane = false;          // the protocol pane exists
  bool protocol_pane_visible = false;  // it or its floating frame is shown
  bool show_toolbar = true, show_statusbar = true, show_overview = true, show_detailview = true;
  bool system_tab = true;  // tab 0 of the tabbed area is active
  bool impedance_open = false;
  bool impedance_allowed = false;  // for the selected object
  bool held_state = false;
  long amplifiers = 0;  // in the held state
  bool server = false;
  bool global_deblock = false;
  bool undo = false, redo = false;  // the history is not empty
  bool clipboard_text = false;      // Unicode text on the clipboard
};

struct command_state {
  unsigned id;
  bool enabled;
  bool checked;
  bool operator==(const command_state& o) const { return id == o.id && enabled == o.enabled && checked == o.checked; }
};

// Every command the idle turn sets, in a fixed order.
std::vector<command_state> command_states(const frame_facts& facts);

// Status pane texts.
const wchar_t* global_deblock_text(bool on);
const wchar_t* modified_text(bool modified);
std::wstring property_pane_text(const std::wstring& name, const std::wstring& value);

// The widths of panes 1 and up: the indicator (22), the global deblock and
// modified panes (the wider of their two texts + 8) and one per property
// (its text + 8). `text_width` measures a text with the status bar's font.
std::vector<int> status_pane_widths(const std::function<int(const std::wstring&)>& text_width,
                                    const std::vector<std::wstring>& property_texts);
// Right edges of all panes for a bar `total` pixels wide: pane 0 takes
// what the others leave (never less than 0).
std::vector<int> status_pane_edges(int total, const std::vector<int>& widths);

// A stored window placement the frame takes as it is: 44 bytes long, shown
// normally (1) or maximised (3). Any other gives a normal show.
bool placement_restorable(const window_placement_record& placement);

// The splitters' default positions in a client area: the overview bar at a
// quarter of the width, the detail bar at two thirds of the height (the
// third taken whole, then doubled).
struct splitter_positions {
  int overview;
  int detail;
  bool operator==(const splitter_positions& o) const { return overview == o.overview && detail == o.detail; }
};
splitter_positions default_splitter_positions(int width, int height);

}  // namespace Orvo
