// The main frame's rules without windows: its title, the modified mark of
// the active protocol, the states of its commands and its status panes.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/frame_rules.h"

using namespace Orvo;

namespace {

command_state state_of(const frame_facts& facts, unsigned id) {
  const auto states = command_states(facts);
  const auto found = std::find_if(states.begin(), states.end(), [id](const command_state& s) { return s.id == id; });
  return found == states.end() ? command_state{0, false, false} : *found;
}

protocol stored_protocol() {
  protocol p;
  p.m_state_string = u"AAAA";
  p.m_rename_map[3] = u"Left arm";
  p.m_exclusion_set.m_map[u"Gain"] = {u"1000"};
  return p;
}

const auto same_text = [](const wide_string& a, const wide_string& b) { return a == b; };

}  // namespace

TEST(FrameTitle, NamesTheProtocolItsLibraryAndTheModifiedMark) {
  EXPECT_EQ(frame_title(L"", true, true), L"Untitled* - Orvo - [Hotkey: Ctrl+Alt+D]");
  EXPECT_EQ(frame_title(L"", false, false), L"Untitled - Orvo - [Hotkey: Ctrl+Alt+D]");
  EXPECT_EQ(frame_title(L"P", false, false), L"P - [Common]  - Orvo - [Hotkey: Ctrl+Alt+D]");
  EXPECT_EQ(frame_title(L"P", true, true), L"P - [User specific] * - Orvo - [Hotkey: Ctrl+Alt+D]");
}

TEST(ProtocolModifiedMark, IsClearOnlyWhileTheLibraryHoldsTheSameProtocol) {
  const protocol stored = stored_protocol();
  protocol working = stored;
  EXPECT_FALSE(protocol_modified(&stored, working, same_text));
  EXPECT_TRUE(protocol_modified(nullptr, working, same_text));  // no name, or not in its library
  EXPECT_TRUE(protocol_modified(&stored, working, [](const wide_string&, const wide_string&) { return false; }));

  working.m_rename_map[4] = u"Right arm";
  EXPECT_TRUE(protocol_modified(&stored, working, same_text));
  working = stored;
  working.m_exclusion_set.m_map[u"Gain"].push_back(u"2000");
  EXPECT_TRUE(protocol_modified(&stored, working, same_text));
}

TEST(ProtocolModifiedMark, CountsTwoEmptyStateStringsAsDifferent) {
  protocol stored, working;
  int compared = 0;
  EXPECT_TRUE(protocol_modified(&stored, working, [&](const wide_string&, const wide_string&) {
    ++compared;
    return true;
  }));
  EXPECT_EQ(compared, 0);
}

TEST(CommandStates, FollowTheFramesFacts) {
  frame_facts f;
  f.system_tab = true;
  f.held_state = true;
  f.server = true;
  f.amplifiers = 2;
  f.undo = true;
  f.clipboard_text = true;
  f.impedance_allowed = true;
  EXPECT_EQ(state_of(f, 0x8033), (command_state{0x8033, true, false}));   // Undo
  EXPECT_EQ(state_of(f, 0x8034), (command_state{0x8034, false, false}));  // Redo: empty history
  EXPECT_EQ(state_of(f, 0x8027), (command_state{0x8027, true, false}));   // Paste
  EXPECT_EQ(state_of(f, 0x8026), (command_state{0x8026, true, false}));   // Copy as Text
  EXPECT_EQ(state_of(f, 0x8024), (command_state{0x8024, true, false}));   // Copy as State
  EXPECT_EQ(state_of(f, 0x8013), (command_state{0x8013, true, false}));   // Global Deblock
  EXPECT_EQ(state_of(f, 0x8012), (command_state{0x8012, true, false}));   // Impedance Check
  EXPECT_EQ(state_of(f, 0x8004), (command_state{0x8004, true, true}));    // Overview
  EXPECT_EQ(state_of(f, 0x8046), (command_state{0x8046, false, false}));  // Save Protocol: unmodified

  // The event log tab disables everything that works on the system tab.
  f.system_tab = false;
  for (unsigned id : {0x8033u, 0x8027u, 0x8026u, 0x8024u, 0x8012u, 0x8004u, 0x8005u})
    EXPECT_FALSE(state_of(f, id).enabled) << std::hex << id;
  EXPECT_TRUE(state_of(f, 0x8013).enabled);  // Global Deblock does not depend on the tab
  EXPECT_TRUE(state_of(f, 0x800D).enabled);  // nor Display Options

  // Without a server: no paste and no global deblock; copying needs only the state.
  f.system_tab = true;
  f.server = false;
  EXPECT_FALSE(state_of(f, 0x8027).enabled);
  EXPECT_FALSE(state_of(f, 0x8013).enabled);
  EXPECT_TRUE(state_of(f, 0x8026).enabled);
}

TEST(CommandStates, ShowTheChecksOfFlagsAndOpenViews) {
  frame_facts f;
  f.global_deblock = true;
  f.impedance_open = true;
  f.impedance_allowed = true;
  f.show_toolbar = false;
  f.show_detailview = false;
  f.protocol_pane = true;
  f.protocol_pane_visible = true;
  f.modified = true;
  EXPECT_EQ(state_of(f, 0x8013), (command_state{0x8013, false, true}));  // no amplifier: checked, disabled
  EXPECT_EQ(state_of(f, 0x8012), (command_state{0x8012, true, true}));
  EXPECT_EQ(state_of(f, 0x8004).enabled, false);  // no overview while the impedance view is open
  EXPECT_EQ(state_of(f, 0xE800), (command_state{0xE800, true, false}));
  EXPECT_EQ(state_of(f, 0xE801), (command_state{0xE801, true, true}));
  EXPECT_EQ(state_of(f, 0x8005), (command_state{0x8005, true, false}));
  EXPECT_EQ(state_of(f, 0x8043), (command_state{0x8043, true, true}));
  EXPECT_EQ(state_of(f, 0x8046), (command_state{0x8046, true, false}));
  EXPECT_EQ(command_states(f).size(), 14u);
}

TEST(StatusPanes, TextsOfTheDeblockModifiedAndPropertyPanes) {
  EXPECT_STREQ(global_deblock_text(true), L"Global Deblock : On");
  EXPECT_STREQ(global_deblock_text(false), L"Global Deblock : Off");
  EXPECT_STREQ(modified_text(true), L"Modified *");
  EXPECT_STREQ(modified_text(false), L" Unmodified");
  EXPECT_EQ(property_pane_text(L"Firmware", L"2.1"), L"Firmware : 2.1");
}

TEST(StatusPanes, WidthsAreTheWiderTextPlusEightAndPaneZeroTakesTheRest) {
  const auto five_per_character = [](const std::wstring& text) { return static_cast<int>(text.size()) * 5; };
  const std::vector<int> widths = status_pane_widths(five_per_character, {L"Firmware : 2.1", L"Port : 5"});
  // "Global Deblock : Off" (20 characters), " Unmodified" (11), then the properties.
  EXPECT_EQ(widths, (std::vector<int>{22, 108, 63, 78, 48}));
  EXPECT_EQ(status_pane_edges(600, widths), (std::vector<int>{281, 303, 411, 474, 552, 600}));
  EXPECT_EQ(status_pane_edges(100, {22, 30}), (std::vector<int>{48, 70, 100}));
  EXPECT_EQ(status_pane_edges(40, {22, 30}), (std::vector<int>{0, 22, 52}));
}

TEST(StoredPlacement, IsTakenOnlyWhenFullLengthAndShownNormallyOrMaximised) {
  Orvo::window_placement_record placement;
  placement.length = 44;
  placement.show_command = 1;
  EXPECT_TRUE(Orvo::placement_restorable(placement));
  placement.show_command = 3;
  EXPECT_TRUE(Orvo::placement_restorable(placement));
  for (std::uint32_t shown : {0u, 2u, 6u, 7u}) {
    placement.show_command = shown;
    EXPECT_FALSE(Orvo::placement_restorable(placement)) << "show command " << shown;
  }
  placement.show_command = 1;
  placement.length = 40;
  EXPECT_FALSE(Orvo::placement_restorable(placement));
}

TEST(DefaultSplitters, QuarterOfTheWidthAndTwiceAWholeThirdOfTheHeight) {
  EXPECT_EQ(Orvo::default_splitter_positions(1000, 700), (Orvo::splitter_positions{250, 466}));
  EXPECT_EQ(Orvo::default_splitter_positions(7, 5), (Orvo::splitter_positions{1, 2}));
}
