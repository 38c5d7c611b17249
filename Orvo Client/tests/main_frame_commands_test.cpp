// The main frame's state commands with the stand-in server in process:
// what each command sends, what the histories keep, what reaches the
// clipboard, the Ctrl+Space key, and the menu, accelerators and strings
// the program carries.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <utility>

#include "main_frame_stand_in_test.h"
#include "main_frame_test_support.h"
#include "registry/registry_key.h"
#include "stand_in_h.h"
#include "state_fixture.h"
#include "state_text_table.h"
#include "state_walk.h"
#include "testing/com_test.h"

using namespace frame_testing;
using orvo::com::ptr;
using orvo::impl::testing::MakeState;
using orvo::impl::testing::StateString;
using orvo::impl::testing::ZeroImages;
using testing::ElementsAre;
using testing::ElementsAreArray;

namespace {

std::wstring text_of(BSTR text) { return std::wstring(text ? text : L"", SysStringLen(text)); }

// Puts `bytes` on the clipboard as Unicode text, exactly as given.
void set_clipboard(const void* bytes, std::size_t size) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  memcpy(GlobalLock(block), bytes, size);
  GlobalUnlock(block);
  SetClipboardData(CF_UNICODETEXT, block);
  CloseClipboard();
}
void set_clipboard(const std::wstring& text) { set_clipboard(text.c_str(), (text.size() + 1) * sizeof(wchar_t)); }

// The clipboard's Unicode text as raw bytes, up to and with its first NUL.
std::string clipboard_bytes() {
  std::string bytes;
  if (!OpenClipboard(nullptr)) return "<not open>";
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const char* raw = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  if (raw) {
    const std::size_t size = GlobalSize(data);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
      bytes.append(raw + i, 2);
      if (!raw[i] && !raw[i + 1]) break;
    }
    GlobalUnlock(data);
  }
  CloseClipboard();
  return bytes;
}
// Every format the clipboard offers now.
std::set<UINT> clipboard_formats() {
  std::set<UINT> formats;
  if (!OpenClipboard(nullptr)) return formats;
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) formats.insert(format);
  CloseClipboard();
  return formats;
}
std::string utf16_bytes(const std::wstring& text) {
  std::string bytes;
  for (wchar_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return bytes + std::string(2, '\0');
}

std::wstring name_of(IProperty* property) {
  ptr<IIdentifier> node;
  BSTR name = nullptr;
  if (FAILED(property->QueryInterface(IID_IIdentifier, node.put_void())) || FAILED(node->get_Name(&name))) return L"";
  const std::wstring text = text_of(name);
  SysFreeString(name);
  return text;
}

// Each amplifier's "Deblock State" in a state string, read from a state
// object of its own.
std::vector<std::wstring> deblock_states(const std::wstring& text) {
  std::vector<std::wstring> states;
  const auto state = create_state_from_string(create_amplifier_state().get(), comet::bstr_t(text));
  for_each_amplifier(state.get(), [&](const comet::com_ptr<IAmplifier>& amplifier) {
    for_each_property(get_functions(amplifier.get()).get(), [&](const comet::com_ptr<IProperty>& p) {
      if (name_of(p.get()) != L"Deblock State") return;
      VARIANT value;
      VariantInit(&value);
      p->get_Value(&value);
      states.push_back(value_text(value));
      VariantClear(&value);
    });
  });
  return states;
}

using sent_state = std::pair<VARTYPE, std::wstring>;

class StateCommands : public stand_in_frame_test<::testing::TestWithParam<bool>> {
 protected:
  void SetUp() override {
    stand_in_frame_test::SetUp();
    ASSERT_EQ(control->put_ChangeInsideSetState(GetParam() ? VARIANT_TRUE : VARIANT_FALSE), S_OK);
  }

  void start() {
    f = std::make_unique<frame_fixture>(&views);
    ASSERT_TRUE(pump_until([&] { return frame().IsWindowVisible() && frame().held_state(); }));
    log_events(frame());  // each OnChange leaves its Event record
    control->Defaults();
    control->put_ChangeInsideSetState(GetParam() ? VARIANT_TRUE : VARIANT_FALSE);
  }
  CMainFrame& frame() { return f->frame; }
  // The frame holds the state of that string, delivered by OnChange.
  void hold(const std::wstring& text) {
    ASSERT_EQ(control->put_State(comet::bstr_t(text).in()), S_OK);
    const std::size_t before = changes();
    ASSERT_EQ(control->FireChange(VT_DISPATCH), S_OK);
    ASSERT_TRUE(pump_until([&] { return changes() > before; }));
  }
  // A key through the frame's filter, with Ctrl held or not; whether the
  // filter took it.
  bool key(UINT message, WPARAM code, bool control_down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control_down ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg{GetFocus() ? GetFocus() : frame().m_hWnd, message, code, 0, 0, {}};
    const bool taken = frame().PreTranslateMessage(&msg) != FALSE;
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    return taken;
  }
  std::size_t changes() {
    std::size_t n = 0;
    for (const auto& r : frame().log_records()) n += r.text == u"OnChange";
    return n;
  }
  // Runs `act` and the loop until the frame has handled the OnChange it
  // caused (none expected: `change` false).
  void step(const std::function<void()>& act, bool change = true) {
    const std::size_t before = changes();
    act();
    if (change) {
      EXPECT_TRUE(pump_until([&] { return changes() > before; }));
    }
    frame().OnIdle();
  }
  void command(UINT id) { frame().SendMessage(WM_COMMAND, id); }
  std::pair<std::size_t, std::size_t> histories() { return {frame().m_undo.size(), frame().m_redo.size()}; }
  std::wstring held_string() { return frame().state_string().w_str(); }

  // Puts a legal Gain value other than the present one on the first channel.
  void change_gain(int pick) {
    bool done = false;
    for_each_amplifier(frame().held_state(), [&](const comet::com_ptr<IAmplifier>& amplifier) {
      for_each_channel_collection(amplifier.get(), [&](const comet::com_ptr<ICollection>& channel) {
        if (done) return;
        for_each_property(channel.get(), [&](const comet::com_ptr<IProperty>& p) {
          if (done || name_of(p.get()) != L"Gain") return;
          std::vector<std::wstring> legal;
          for_each_property_value(p.get(), [&](const std::wstring& v) { legal.push_back(v); });
          VARIANT value;
          value.vt = VT_BSTR;
          value.bstrVal = SysAllocString(legal[legal.size() - 1 - static_cast<std::size_t>(pick)].c_str());
          ASSERT_EQ(p->put_Value(value), S_OK);
          VariantClear(&value);
          done = true;
        });
      });
    });
    ASSERT_TRUE(done);
  }
};

TEST_P(StateCommands, EditsUndoRedoAndPasteSendTheirStatesAndKeepBothHistories) {
  start();
  const std::wstring s0 = held_string();
  std::vector<std::pair<std::size_t, std::size_t>> sizes;

  // The server's state reads the edited object's images back, so the held
  // string may differ from the string of the object that was sent.
  std::wstring sent1, sent2;
  step([&] {
    change_gain(0);
    sent1 = get_state_string(frame().held_state()).w_str();
    frame().ApplyState();
  });
  const std::wstring s1 = held_string();
  sizes.push_back(histories());
  control->put_Applied(VARIANT_FALSE);
  step([&] {
    change_gain(1);
    sent2 = get_state_string(frame().held_state()).w_str();
    frame().ApplyState();
  });
  control->put_Applied(VARIANT_TRUE);
  EXPECT_THAT(frame().log_records(),
              testing::Contains(frame_log_record{L"The update to the Orvo system was only partially applied", 2, 1}));
  const std::wstring s2 = held_string();
  sizes.push_back(histories());
  step([&] { command(ID_COPY_STATE); }, false);
  EXPECT_EQ(clipboard_bytes().size(), 322u);
  EXPECT_EQ(clipboard_bytes(), utf16_bytes(s2));
  sizes.push_back(histories());
  step([&] { command(ID_UNDO); });
  sizes.push_back(histories());
  step([&] { command(ID_UNDO); });
  sizes.push_back(histories());
  step([&] { command(ID_UNDO); }, false);
  sizes.push_back(histories());
  step([&] { command(ID_REDO); });
  sizes.push_back(histories());
  set_clipboard(L"junk");
  step([&] { command(ID_PASTE); }, false);
  EXPECT_EQ(frame().log_records().back(), (frame_log_record{L"The state string is not valid", 3, E_FAIL}));
  EXPECT_EQ(pane_text(frame(), 0), L"An error occurred communicating with the Orvo System");
  sizes.push_back(histories());
  command(ID_SYSTEM_TAB);  // the error showed the event log
  set_clipboard(s2);
  step([&] { command(ID_PASTE); });
  sizes.push_back(histories());

  EXPECT_THAT(sent_states(), ElementsAre(sent_state{VT_DISPATCH, sent1}, sent_state{VT_DISPATCH, sent2},
                                         sent_state{VT_BSTR, s1}, sent_state{VT_BSTR, s0}, sent_state{VT_BSTR, s1},
                                         sent_state{VT_BSTR, L"junk"}, sent_state{VT_BSTR, s2}));
  using h = std::pair<std::size_t, std::size_t>;
  EXPECT_THAT(sizes, ElementsAre(h{1, 0}, h{2, 0}, h{2, 0}, h{1, 1}, h{0, 2}, h{0, 2}, h{1, 1}, h{2, 1}, h{3, 0}));

  control->Defaults();
  step([&] { command(ID_ACTION_RESET); });
  EXPECT_EQ(histories(), (h{0, 0}));
  BSTR log = nullptr;
  control->get_CallLog(&log);
  EXPECT_EQ(text_of(log).rfind(L"Initialize(true)\n", 0), 0u);
  SysFreeString(log);
}

TEST_P(StateCommands, AFailedSendKeepsTheUndoEntryAndTheServersDescription) {
  start();
  frame().m_redo.push_back(comet::bstr_t(L"undone"));
  control->FailMethod(comet::bstr_t(L"SetState").in(), E_FAIL, comet::bstr_t(L"The amplifier is busy").in());
  set_clipboard(held_string());
  command(ID_PASTE);
  EXPECT_EQ(frame().log_records().back(), (frame_log_record{L"The amplifier is busy", 3, E_FAIL}));
  EXPECT_EQ(histories(), (std::pair<std::size_t, std::size_t>{1, 1}));
}

TEST_P(StateCommands, CtrlSpaceSendsDeblockOnKeyDownAndOffOnKeyUpOnce) {
  start();
  hold(StateString(ZeroImages(2)));
  ASSERT_EQ(frame().amplifier_count(), 2);
  // What each request set on every amplifier of the state the server got.
  auto deblocks = [&] {
    std::vector<std::vector<std::wstring>> states;
    for (const sent_state& sent : sent_states()) states.push_back(deblock_states(sent.second));
    return states;
  };
  const std::vector<std::wstring> set(2, L"Set"), reset(2, L"Reset");
  // Down and up with no OnChange between: both are sent.
  EXPECT_TRUE(key(WM_KEYDOWN, VK_SPACE, true));
  EXPECT_TRUE(key(WM_KEYUP, VK_SPACE, true));
  EXPECT_THAT(deblocks(), ElementsAre(set, reset));
  pump_until([&] { return false; }, 200);
  // Repeated key-downs: one request.
  EXPECT_TRUE(key(WM_KEYDOWN, VK_SPACE, true));
  EXPECT_TRUE(key(WM_KEYDOWN, VK_SPACE, true));
  EXPECT_TRUE(key(WM_KEYDOWN, VK_SPACE, true));
  EXPECT_THAT(deblocks(), ElementsAre(set, reset, set));
  EXPECT_TRUE(pump_until([&] { return frame().global_deblock(); }));
  frame().OnIdle();
  EXPECT_EQ(pane_text(frame(), 2), L"Global Deblock : On");
  // Ctrl released first: the space key-up still switches off.
  EXPECT_TRUE(key(WM_KEYUP, VK_SPACE, false));
  EXPECT_THAT(deblocks(), ElementsAre(set, reset, set, reset));
  EXPECT_TRUE(pump_until([&] { return !frame().global_deblock(); }));
  frame().OnIdle();
  EXPECT_EQ(pane_text(frame(), 2), L"Global Deblock : Off");
  // A plain space is not the frame's.
  EXPECT_FALSE(key(WM_KEYDOWN, VK_SPACE, false));
  EXPECT_FALSE(key(WM_KEYUP, VK_SPACE, false));
}

// Ctrl+E shows the event log; there Ctrl+Z, Ctrl+C and Ctrl+V do nothing.
TEST_P(StateCommands, CommandsOfTheSystemTabDoNothingOnTheEventLogTab) {
  start();
  frame().m_undo.push_back(comet::bstr_t(L"earlier"));
  set_clipboard(L"text");
  EXPECT_TRUE(key(WM_KEYDOWN, 'E', true));
  EXPECT_EQ(views.tab, 1);
  for (const WPARAM code : {'Z', 'C', 'V'}) key(WM_KEYDOWN, code, true);
  EXPECT_TRUE(sent_states().empty());
  EXPECT_EQ(frame().m_undo.size(), 1u);
  EXPECT_EQ(clipboard_bytes(), utf16_bytes(L"text"));
  EXPECT_TRUE(key(WM_KEYDOWN, 'D', true));
  EXPECT_EQ(views.tab, 0);
}

TEST_P(StateCommands, ImpedanceCheckAsksForTheSelectedObject) {
  start();
  views.selected = 7;
  frame().QueryImpedanceAllowed(7);
  command(ID_VIEW_IMPEDANCE);
  BSTR log = nullptr;
  control->get_CallLog(&log);
  EXPECT_NE(text_of(log).find(L"CheckImpedance(7, true)"), std::wstring::npos) << text_of(log);
  SysFreeString(log);
  // With the impedance view open the same command turns checking off.
  VARIANT nothing;
  VariantInit(&nothing);
  control->FireImpedance(7, nothing);
  ASSERT_TRUE(frame().impedance_open());
  frame().QueryImpedanceAllowed(7);
  command(ID_VIEW_IMPEDANCE);
  control->get_CallLog(&log);
  EXPECT_NE(text_of(log).find(L"CheckImpedance(7, false)"), std::wstring::npos) << text_of(log);
  SysFreeString(log);
}

TEST_P(StateCommands, PasteWithoutAServerSendsNothing) {
  control->FailMethod(comet::bstr_t(L"Initialize").in(), E_FAIL, nullptr);
  f = std::make_unique<frame_fixture>(&views);
  ASSERT_TRUE(pump_until([&] { return frame().IsWindowVisible() != FALSE; }));
  ASSERT_EQ(frame().server(), nullptr);
  set_clipboard(L"text");
  const std::size_t records = frame().log_records().size();
  frame().Paste();
  command(ID_PASTE);
  EXPECT_TRUE(sent_states().empty());
  EXPECT_EQ(frame().log_records().size(), records);
}

TEST_P(StateCommands, WithoutAmplifiersTheCopiesHoldTheStateStringOrNothingAndCtrlSpaceSendsNothing) {
  start();
  const std::wstring none = L"CBkqO0xdbn8DAAAAf25dTDsqGQhjhU+yAAAAAAAAADeN4dY=";
  hold(none);
  ASSERT_EQ(frame().amplifier_count(), 0);
  command(ID_COPY_STATE);
  EXPECT_EQ(clipboard_bytes().size(), 98u);
  EXPECT_EQ(clipboard_bytes(), utf16_bytes(none));
  command(ID_COPY_TEXT);
  EXPECT_EQ(clipboard_bytes(), std::string(2, '\0'));
  EXPECT_TRUE(key(WM_KEYDOWN, VK_SPACE, true));
  EXPECT_TRUE(sent_states().empty());
}

TEST_P(StateCommands, CtrlVInAFocusedEditControlIsTheControlsOwn) {
  start();
  set_clipboard(held_string());
  HWND edit =
      CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, frame().m_hWnd, nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  SetFocus(edit);
  EXPECT_FALSE(key(WM_KEYDOWN, 'V', true));
  // Elsewhere the same key is the frame's Paste.
  SetFocus(frame().m_hWnd);
  EXPECT_TRUE(key(WM_KEYDOWN, 'V', true));
  DestroyWindow(edit);
  EXPECT_EQ(sent_states().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(ChangeFired, StateCommands, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "InsideSetState" : "Posted"; });

// The clipboard's bytes without a server's part in them.
class Clipboard : public StateCommands {};

// Wine's clipboard hands back a block without a NUL with its last
// character made the NUL, so "xyz" arrives as "xy" here.
TEST_P(Clipboard, APasteReadsNoFurtherThanTheBlock) {
  start();
  const char xyz[] = {'x', 0, 'y', 0, 'z', 0};
  set_clipboard(xyz, sizeof xyz);
  command(ID_PASTE);
  EXPECT_THAT(sent_states(), ElementsAre(sent_state{VT_BSTR, L"xy"}));
}

// The one-amplifier state whose table the reference check builds on its
// own from the tree's names and values: Copy as Text holds that table and
// a NUL, as Unicode text and the formats Wine makes from it.
TEST_P(Clipboard, CopyAsTextHoldsTheTableOfTheHeldStateAndItsNul) {
  start();
  const auto one = MakeState(ZeroImages(1));
  hold(get_state_string(one.get()).w_str());
  ASSERT_EQ(frame().amplifier_count(), 1);
  command(ID_COPY_TEXT);
  EXPECT_EQ(clipboard_bytes(), utf16_bytes(state_text_table(one.get()).text()));
  EXPECT_EQ(clipboard_formats(), (std::set<UINT>{CF_UNICODETEXT, CF_LOCALE, CF_TEXT, CF_OEMTEXT}));
}

// An amplifier the capabilities do not know stops the copy before the
// clipboard is opened.
TEST_P(Clipboard, CopyAsTextOfAnUnregisteredAmplifierLogsItAndKeepsTheClipboard) {
  start();
  hold(StateString(ZeroImages(3)));
  set_clipboard(L"kept");
  command(ID_COPY_TEXT);
  EXPECT_EQ(frame().log_records().back(), (frame_log_record{L"Amplifier not registered", 3, E_FAIL}));
  EXPECT_EQ(clipboard_bytes(), utf16_bytes(L"kept"));
}

INSTANTIATE_TEST_SUITE_P(Posted, Clipboard, ::testing::Values(false));

// --- resources -----------------------------------------------------------------

TEST(MainFrameResources, TheMenuHoldsItsItemsInOrder) {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  ASSERT_NE(menu, nullptr);
  std::vector<std::pair<UINT, std::wstring>> items;
  for (int top = 0; top < GetMenuItemCount(menu); ++top) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(top), text, 128, MF_BYPOSITION);
    items.push_back({0, text});
    HMENU popup = GetSubMenu(menu, top);
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
      const UINT id = GetMenuItemID(popup, i);
      GetMenuStringW(popup, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
      items.push_back({id, text});
    }
  }
  DestroyMenu(menu);
  using i = std::pair<UINT, std::wstring>;
  EXPECT_THAT(items, ElementsAreArray(std::vector<i>{
                         {0, L"&File"},
                         {0x8046, L"Save Protocol"},
                         {0x8047, L"Save Protocol As..."},
                         {0, L""},
                         {0xE141, L"E&xit\tAlt+F4"},
                         {0, L"&Copy"},
                         {0x8026, L"&Copy as Text\tCtrl+C "},
                         {0x8024, L"Copy as S&tate\tCtrl+T"},
                         {0x8027, L"&Paste\tCtrl+V"},
                         {0, L""},
                         {0x8033, L"&Undo\tCtrl+Z"},
                         {0x8034, L"&Redo\tCtrl+Y"},
                         {0, L"&View"},
                         {0x8012, L"&Impedance Check\tAlt+Z"},
                         {0x8004, L"Ove&rview\tCtrl+R"},
                         {0x8005, L"Se&condary View\t Ctrl+2"},
                         {0x8043, L"Protoco&l Manager\tCtrl+L"},
                         {0x8067, L"&User Options...\tCtrl+U"},
                         {0x800D, L"&Display Options...\tCtrl+P"},
                         {0xE800, L"&Toolbar"},
                         {0xE801, L"&Status Bar"},
                         {0, L"&Action"},
                         {0x8013, L"Global &Deblock\tCtrl+Space"},
                         {0x8065, L"&Reset Orvo\tCtrl+N"},
                         {0, L"&Help"},
                         {0x806B, L"Check for Updates..."},
                         {0x806C, L"Configure Updates..."},
                         {0, L""},
                         {0x801D, L"Help Topics...\tF1"},
                         {0, L""},
                         {0x8038, L"&E-Mail Tech Support\tCtrl+I"},
                         {0x801E, L"Quarnell On The &Web\tCtrl+W"},
                         {0, L""},
                         {0xE140, L"&About Orvo Client...\tCtrl+A"},
                     }));
}

TEST(MainFrameResources, TheAcceleratorsAreTheTablesKeys) {
  HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  ASSERT_NE(table, nullptr);
  ACCEL entries[64];
  const int count = CopyAcceleratorTableW(table, entries, 64);
  using a = std::tuple<int, int, int>;
  std::multiset<a> read;
  for (int n = 0; n < count; ++n) read.insert(a{entries[n].fVirt & ~0x80, entries[n].key, entries[n].cmd});
  const int c = FVIRTKEY | FCONTROL, alt = FVIRTKEY | FALT, cs = FVIRTKEY | FCONTROL | FSHIFT;
  EXPECT_EQ(read, (std::multiset<a>{
                      {c, 'C', 0x8026},       {c, 'T', 0x8024},          {c, 'V', 0x8027},    {c, 'Z', 0x8033},
                      {alt, VK_BACK, 0x8033}, {c, 'Y', 0x8034},          {alt, 'Z', 0x8012},  {c, 'R', 0x8004},
                      {c, '2', 0x8005},       {c, 'L', 0x8043},          {c, 'U', 0x8067},    {c, 'P', 0x800D},
                      {c, 'N', 0x8065},       {FVIRTKEY, VK_F1, 0x801D}, {c, 'I', 0x8038},    {c, 'W', 0x801E},
                      {c, 'A', 0xE140},       {c, 'D', 0x8036},          {c, 'E', 0x8037},    {c, VK_TAB, 0x8020},
                      {c, VK_F6, 0x8020},     {cs, VK_TAB, 0x8021},      {cs, VK_F6, 0x8021},
                  }));
}

TEST(MainFrameResources, EveryCommandHasItsStatusTextAndTip) {
  const std::vector<std::pair<UINT, std::wstring>> strings = {
      {0x8004, L"Show or hide the Orvo System Overview Window\nOverview [Ctrl+R]"},
      {0x8005, L"Show or hide the Secondary View\nSecondary View [Ctrl+2]"},
      {0x800D, L"Edit options from the current protocol\nOptions [Ctrl+P]"},
      {0x8012, L"Turn impedance checking on or off\nImpedance Checking [Alt+Z]"},
      {0x8013, L"Deblock all amplifiers\nGlobal Deblock [Ctrl+Space]"},
      {0x801D, L"View the Orvo System User Guide\nOrvo User Guide [F1]"},
      {0x801E,
       L"Launches the default browser to https://www.quarnell.example/\nhttps://www.quarnell.example/ [Ctrl+W]"},
      {0x8024,
       L"Copies the amplifier state to the clipboard to be used with Orvo::IAmplifier.SetState\n"
       L"Copy as a state string [Ctrl+T]"},
      {0x8026, L"Copies the current amplifier state to the clipboard as text\nCopy as readable text [Ctrl+C]"},
      {0x8027,
       L"Pastes an amplifier state string from the clipboard to Orvo::IAmplifier.SetState\n"
       L"Paste an amplifier state string [Ctrl+V]"},
      {0x8033, L"Undoes the last action\nUndo [Ctrl+Z]"},
      {0x8034, L"Redoes the previously undone action\nRedo [Ctrl+Y]"},
      {0x8038, L"Contact Quarnell Technical Support via E-Mail\nE-Mail Quarnell Tech Support [Ctrl+I]"},
      {0x803D, L"View Context Sensitive Help\nContext Sensitive Help [Shift + F1]"},
      {0x8043, L"Show or hide the Protocol view\nProtocols [Ctrl+L]"},
      {0x8046, L"Saves the Orvo settings to the active protocol\nSave protocol"},
      {0x8047, L"Saves the Orvo settings to a new protocol name\nSave protocol as"},
      {0x8065, L"Reset Orvo"},
      {0x8067, L"Change user options"},
      {0xE140, L"Display program information, version number and copyright\nAbout [Ctrl+A]"},
      {0xE141, L"Quit the Orvo Client program\nExit [Alt+F4]"},
      {0xE800, L"Show or hide the toolbar\nToggle ToolBar Display"},
      {0xE801, L"Show or hide the status bar\nToggle StatusBar Display"},
  };
  for (const auto& [id, text] : strings) {
    wchar_t read[512] = {};
    LoadStringW(GetModuleHandleW(nullptr), id, read, 512);
    EXPECT_EQ(read, text) << std::hex << id;
  }
}

}  // namespace
