#include "frame_rules.h"

#include <algorithm>

namespace Orvo {

std::wstring frame_title(const std::wstring& protocol_name, bool user_specific, bool modified) {
  std::wstring title = protocol_name.empty()
                           ? std::wstring(L"Untitled")
                           : protocol_name + (user_specific ? L" - [User specific] " : L" - [Common] ");
  if (modified) title += L"*";
  return title + L" - Orvo - [Hotkey: Ctrl+Alt+D]";
}

bool protocol_modified(const protocol* stored, const protocol& working,
                       const std::function<bool(const wide_string&, const wide_string&)>& same_state) {
  if (!stored) return true;
  if (stored->m_state_string.empty() && working.m_state_string.empty()) return true;
  if (!same_state(stored->m_state_string, working.m_state_string)) return true;
  return !(stored->m_exclusion_set == working.m_exclusion_set && stored->m_rename_map == working.m_rename_map);
}

std::vector<command_state> command_states(const frame_facts& f) {
  const bool tab = f.system_tab;
  return {
      {0x8046, f.modified, false},                               // Save Protocol
      {0x8043, f.protocol_pane, f.protocol_pane_visible},        // Protocol Manager
      {0xE800, true, f.show_toolbar},                            // Toolbar
      {0xE801, true, f.show_statusbar},                          // Status Bar
      {0x800D, true, false},                                     // Display Options
      {0x8004, tab && !f.impedance_open, f.show_overview},       // Overview
      {0x8005, tab, f.show_detailview},                          // Secondary View
      {0x8012, f.impedance_allowed && tab, f.impedance_open},    // Impedance Check
      {0x8024, tab && f.held_state, false},                      // Copy as State
      {0x8026, tab && f.held_state, false},                      // Copy as Text
      {0x8013, f.amplifiers > 0 && f.server, f.global_deblock},  // Global Deblock
      {0x8034, f.redo && tab, false},                            // Redo
      {0x8033, f.undo && tab, false},                            // Undo
      {0x8027, tab && f.clipboard_text && f.server, false},      // Paste
  };
}

const wchar_t* global_deblock_text(bool on) { return on ? L"Global Deblock : On" : L"Global Deblock : Off"; }

const wchar_t* modified_text(bool modified) { return modified ? L"Modified *" : L" Unmodified"; }

std::wstring property_pane_text(const std::wstring& name, const std::wstring& value) { return name + L" : " + value; }

std::vector<int> status_pane_widths(const std::function<int(const std::wstring&)>& text_width,
                                    const std::vector<std::wstring>& property_texts) {
  const auto wider = [&](const wchar_t* a, const wchar_t* b) { return std::max(text_width(a), text_width(b)) + 8; };
  std::vector<int> widths = {22, wider(global_deblock_text(true), global_deblock_text(false)),
                             wider(modified_text(true), modified_text(false))};
  for (const std::wstring& text : property_texts) widths.push_back(text_width(text) + 8);
  return widths;
}

std::vector<int> status_pane_edges(int total, const std::vector<int>& widths) {
  int others = 0;
  for (int w : widths) others += w;
  std::vector<int> edges;
  int edge = std::max(0, total - others);
  edges.push_back(edge);
  for (int w : widths) edges.push_back(edge += w);
  return edges;
}

bool placement_restorable(const window_placement_record& placement) {
  constexpr std::uint32_t placement_size = 44, shown_normally = 1, shown_maximised = 3;
  return placement.length == placement_size &&
         (placement.show_command == shown_normally || placement.show_command == shown_maximised);
}

splitter_positions default_splitter_positions(int width, int height) { return {width / 4, height / 3 * 2}; }

}  // namespace Orvo
