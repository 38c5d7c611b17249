// What the main frame's window tests share: a frame made as the program
// makes it (module locked, loop of this thread), views that record every
// request, pumping until a condition holds, and the stand-in server
// registered in process.
#pragma once

#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "frame_views.h"
#include "main_frame.h"

// A record as the tests expect it: text, level, code, compared with what
// the frame's event log holds.
struct frame_log_record {
  frame_log_record(std::wstring t, int l, HRESULT c) : text(std::move(t)), level(l), code(c) {}
  frame_log_record(const Orvo::log_record& r);  // implicit: read back from the log
  std::wstring text;
  int level;
  HRESULT code;
  bool operator==(const frame_log_record& o) const { return text == o.text && level == o.level && code == o.code; }
};
void PrintTo(const frame_log_record& r, std::ostream* out);
inline bool operator==(const Orvo::log_record& held, const frame_log_record& expected) {
  return frame_log_record(held) == expected;
}
namespace Orvo {
void PrintTo(const log_record& r, std::ostream* out);
}

// A text as the event log keeps it: every line break one blank.
std::wstring as_logged(const std::wstring& text);

namespace frame_testing {

// Every request as a line: "empty_tree", "open_impedance 7 Impedance View - x", ...
class recording_views : public frame_views {
 public:
  std::vector<std::wstring> lines;
  std::vector<unsigned char> impedance;
  int suspended = 0;

  void suspend_redraw() override { ++suspended; }
  void resume_redraw() override { --suspended; }
  void empty_tree() override { lines.push_back(L"empty_tree"); }
  void rebuild_tree(IAmplifierState* state, Orvo::IAmplifier* server, const rename_map& renames) override;
  void select_tree_item(long id) override {
    selected = id;
    lines.push_back(L"select_tree_item " + std::to_wstring(id));
  }
  long selected_tree_item() const override { return selected; }
  void empty_views() override { lines.push_back(L"empty_views"); }
  void show_server_properties(ICollection* properties) override;
  void show_state(IAmplifierState*) override { lines.push_back(L"show_state"); }
  void show_amplifier(IAmplifier*) override { lines.push_back(L"show_amplifier"); }
  void show_channel(ICollection*, IAmplifier* parent) override {
    lines.push_back(parent ? L"show_channel with amplifier" : L"show_channel");
  }
  void scroll_to_current() override { lines.push_back(L"scroll_to_current"); }
  void set_view_titles(const std::wstring& primary, const std::wstring& secondary) override {
    lines.push_back(L"titles [" + primary + L"] [" + secondary + L"]");
  }
  void focus_primary() override { lines.push_back(L"focus_primary"); }
  void focus_view() override { lines.push_back(L"focus_view"); }
  void open_impedance(long id, const std::wstring& title) override {
    lines.push_back(L"open_impedance " + std::to_wstring(id) + L" [" + title + L"]");
  }
  void impedance_values(const std::vector<unsigned char>& values) override {
    impedance = values;
    lines.push_back(L"impedance_values " + std::to_wstring(values.size()));
  }
  void refresh_impedance(IAmplifierState*) override { lines.push_back(L"refresh_impedance"); }
  void close_impedance() override { lines.push_back(L"close_impedance"); }
  bool overview_visible() const override { return overview; }
  void show_overview(bool show) override {
    overview = show;
    lines.push_back(show ? L"show_overview" : L"hide_overview");
  }
  void show_secondary(bool show) override { lines.push_back(show ? L"show_secondary" : L"hide_secondary"); }
  void select_tab(int t) override {
    tab = t;
    lines.push_back(L"select_tab " + std::to_wstring(t));
  }
  int active_tab() const override { return tab; }
  // Stores `amp_columns` and `channel_columns`; keeps what is applied.
  void store_column_layouts(Orvo::protocol& protocol) override {
    protocol.m_amp_columns.assign(amp_columns);
    protocol.m_channel_columns.assign(channel_columns);
    lines.push_back(L"store_column_layouts");
  }
  void apply_column_layouts(const Orvo::protocol& protocol) override {
    amp_columns.assign(protocol.m_amp_columns);
    channel_columns.assign(protocol.m_channel_columns);
    lines.push_back(L"apply_column_layouts");
  }

  bool overview = true;
  int tab = 0;
  long selected = 0;
  column_attributes_map amp_columns, channel_columns;
};

// Dispatches this thread's messages until `done` holds or `ms` have passed;
// returns whether it holds. Messages go through the loop's filters as the
// program's loop would send them.
bool pump_until(const std::function<bool()>& done, DWORD ms = 3000);

// Switches the event log's Event Logging on as the user does, by its check
// box; the window logs that it did.
void log_events(CMainFrame& frame);

// The text of column `column` of item `item` in the event log's list.
std::wstring log_item_text(CMainFrame& frame, int item, int column);

// Runs the thread's message loop until WM_QUIT; its exit code.
int run_loop();

// A frame created as the program creates it, with the module locked once,
// but without data files: its loading and Exit Now hooks do nothing (a case
// that wants the files clears both before creating the frame).
struct frame_fixture {
  explicit frame_fixture(frame_views* views = nullptr, bool create = true);
  ~frame_fixture();
  void create();
  CMainFrame frame;
};

// Pane `index` of the frame's status bar.
std::wstring pane_text(const CMainFrame& frame, int index);
HICON pane_icon(const CMainFrame& frame, int index);

// Runs `act` on each dialog box of this thread that becomes visible, from
// a thread timer (so also inside a modal loop), until the watch ends.
class dialog_watch {
 public:
  explicit dialog_watch(std::function<void(HWND dialog)> act);
  ~dialog_watch();
  int seen() const noexcept;
};

// The texts of a dialog's control `id`.
std::wstring item_text(HWND dialog, int id);

// Records every call of the shell's tray function while it lives; the
// shell answers `result`.
struct tray_call {
  DWORD message;
  UINT flags;
  HICON icon;
  std::wstring tip;
};
class tray_recorder {
 public:
  explicit tray_recorder(BOOL result = TRUE);
  ~tray_recorder();
  std::vector<tray_call> calls;
  BOOL result;
};

// The stand-in server's in-process form, registered in this prefix.
void register_stand_in();
void unregister_stand_in();

}  // namespace frame_testing
