// The main frame with the stand-in server in process: what each server
// event leaves in the log, the status panes and the views, the held state,
// the selection of the system tree and its label edits, and the serial
// number change.
#include <windows.h>

#include <commctrl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "main_frame_stand_in_test.h"
#include "main_frame_test_support.h"
#include "orvo_module.h"
#include "registry/registry_key.h"
#include "stand_in_h.h"
#include "state_walk.h"
#include "testing/com_test.h"

using namespace frame_testing;
using orvo::com::ptr;
using testing::ElementsAre;

namespace {

class MainFrameServer : public stand_in_frame_test<> {
 protected:
  void start() {
    f = std::make_unique<frame_fixture>(&views);
    pump_until([&] { return frame().IsWindowVisible() != FALSE; });
    views.lines.clear();
  }
  CMainFrame& frame() { return f->frame; }
  std::wstring call_log() {
    BSTR text = nullptr;
    control->get_CallLog(&text);
    std::wstring result(text ? text : L"", SysStringLen(text));
    SysFreeString(text);
    return result;
  }
  frame_log_record last_record() { return frame().log_records().back(); }
  std::vector<frame_log_record> records_since(std::size_t first) {
    const auto& all = frame().log_records();
    return std::vector<frame_log_record>(all.begin() + static_cast<std::ptrdiff_t>(first), all.end());
  }
  // Pane 0 after an idle turn.
  std::wstring status() {
    frame().OnIdle();
    return pane_text(frame(), 0);
  }
  void expect_activity_then_idle() {
    EXPECT_EQ(pane_icon(frame(), 1), frame().pane_icon(IDI_DATA_RECEIVED));
    frame().SendMessage(WM_TIMER, CMainFrame::activity_timer);
    EXPECT_EQ(pane_icon(frame(), 1), frame().pane_icon(IDI_IDLE));
    EXPECT_FALSE(frame().activity_showing());
  }
};

VARIANT values_of(std::initializer_list<VARIANT> elements) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(elements.size()), 1};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 1, &bound);
  LONG i = 1;
  for (VARIANT element : elements) {
    SafeArrayPutElement(array, &i, &element);
    VariantClear(&element);
    ++i;
  }
  VARIANT values;
  values.vt = VT_ARRAY | VT_VARIANT;
  values.parray = array;
  return values;
}
VARIANT long_value(LONG v) {
  VARIANT r;
  r.vt = VT_I4;
  r.lVal = v;
  return r;
}
VARIANT text_value(const wchar_t* text) {
  VARIANT r;
  r.vt = VT_BSTR;
  r.bstrVal = SysAllocString(text);
  return r;
}

LONG id_of(IUnknown* object) {
  ptr<IIdentifier> node;
  object->QueryInterface(IID_IIdentifier, node.put_void());
  LONG id = 0;
  node->get_ID(&id);
  return id;
}

// The installer calls of a repair, answered with 1605 (product unknown).
struct installer_seen {
  static inline INSTALLUILEVEL level = INSTALLUILEVEL_NOCHANGE;
  static inline HWND owner = nullptr;
  static inline std::wstring product;
  static inline DWORD mode = 0;
  static INSTALLUILEVEL WINAPI set_internal_ui(INSTALLUILEVEL l, HWND* o) {
    level = l;
    owner = o ? *o : nullptr;
    return INSTALLUILEVEL_NOCHANGE;
  }
  static UINT WINAPI reinstall_product(LPCWSTR p, DWORD m) {
    product = p;
    mode = m;
    return 1605;
  }
};

}  // namespace

TEST_F(MainFrameServer, ConnectsAtCreationAndHoldsTheFirstState) {
  start();
  // The events' own names are Event records, left out while event logging is off.
  EXPECT_THAT(frame().log_records(), ElementsAre(frame_log_record{L"Orvo Client program started", 1, 0},
                                                 frame_log_record{L"Orvo Client initialized successfully", 1, 0}));
  EXPECT_EQ(call_log(), L"Initialize(false)\nProperties()\n");
  ASSERT_NE(frame().held_state(), nullptr);
  EXPECT_TRUE(frame().initialised());
  EXPECT_EQ(frame().amplifier_count(), 1);
  BSTR state = nullptr;
  control->get_State(&state);
  // The frame holds the string of the state the server sent, also as the
  // working protocol's.
  const std::wstring sent(state, SysStringLen(state));
  SysFreeString(state);
  EXPECT_EQ(frame().state_string().w_str(), sent);
  EXPECT_EQ(get_state_string(frame().held_state()).w_str(), sent);
  EXPECT_EQ(frame().m_protocol.m_state_string, Orvo::wide_string(sent.begin(), sent.end()));
  EXPECT_EQ(status(), L"Ready");
  // The start pumps messages, so the activity timer may have run already;
  // once it has, the idle icon shows.
  frame().SendMessage(WM_TIMER, CMainFrame::activity_timer);
  EXPECT_EQ(pane_icon(frame(), 1), frame().pane_icon(IDI_IDLE));
  EXPECT_FALSE(frame().activity_showing());
}

TEST_F(MainFrameServer, LaysOutOnePanePerServerPropertyAfterInitialize) {
  BSTR name = SysAllocString(L"Firmware");
  VARIANT value = text_value(L"2.1");
  control->AddProperty(name, value);
  SysFreeString(name);
  VariantClear(&value);
  start();
  HWND bar = frame().m_hWndStatusBar;
  int edges[8] = {};
  ASSERT_EQ(SendMessageW(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 6);
  EXPECT_EQ(pane_text(frame(), 4), L"Server : Orvo Stand-in Server");
  EXPECT_EQ(pane_text(frame(), 5), L"Firmware : 2.1");
  wchar_t tip[128] = L"";
  SendMessageW(bar, SB_GETTIPTEXTW, MAKEWPARAM(1, 128), reinterpret_cast<LPARAM>(tip));
  EXPECT_STREQ(tip, L"Flashes when data is received from the Orvo");

  HDC dc = GetDC(bar);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(bar, WM_GETFONT, 0, 0)));
  const auto width = [&](const wchar_t* text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    return static_cast<int>(size.cx);
  };
  EXPECT_EQ(edges[1] - edges[0], 22);
  EXPECT_EQ(edges[2] - edges[1], std::max(width(L"Global Deblock : On"), width(L"Global Deblock : Off")) + 8);
  EXPECT_EQ(edges[3] - edges[2], std::max(width(L"Modified *"), width(L" Unmodified")) + 8);
  EXPECT_EQ(edges[5] - edges[4], width(L"Firmware : 2.1") + 8);
  SelectObject(dc, old);
  ReleaseDC(bar, dc);
  RECT area{};
  GetClientRect(bar, &area);
  EXPECT_EQ(edges[5], area.right);
}

TEST_F(MainFrameServer, EveryEventLogsItsNameShowsTheActivityAndSetsReady) {
  start();
  log_events(frame());
  struct event_case {
    const wchar_t* name;
    std::function<HRESULT()> fire;
    std::vector<frame_log_record> after;
  };
  BSTR description = SysAllocString(L"Amplifier 2 overheated");
  BSTR empty = SysAllocString(L"");
  const std::vector<event_case> cases = {
      {L"OnChange", [&] { return control->FireChange(VT_DISPATCH); }, {}},
      {L"OnImpedanceEnd", [&] { return control->FireImpedanceEnd(); }, {}},
      {L"OnReset", [&] { return control->FireReset(); }, {{L"Orvo System was reset", 1, 0}}},
      {L"OnInitialize",
       [&] { return control->FireInitialize(1, empty); },
       {{L"Orvo Client initialized successfully", 1, 0}}},
  };
  for (const event_case& c : cases) {
    frame().SendMessage(WM_TIMER, CMainFrame::activity_timer);
    const std::size_t first = frame().log_records().size();
    ASSERT_EQ(c.fire(), S_OK) << c.name;
    std::vector<frame_log_record> expected = {{c.name, 0, 0}};
    expected.insert(expected.end(), c.after.begin(), c.after.end());
    EXPECT_EQ(records_since(first), expected) << c.name;
    EXPECT_EQ(status(), L"Ready") << c.name;
    expect_activity_then_idle();
  }
  // OnError sets no status of its own: its error record sets the error status.
  const std::size_t first = frame().log_records().size();
  ASSERT_EQ(control->FireError(5, description), S_OK);
  EXPECT_THAT(records_since(first),
              ElementsAre(frame_log_record{L"OnError", 0, 0}, frame_log_record{L"Amplifier 2 overheated", 3, E_FAIL}));
  EXPECT_EQ(status(), L"An error occurred communicating with the Orvo System");
  expect_activity_then_idle();
  SysFreeString(description);
  SysFreeString(empty);
}

TEST_F(MainFrameServer, AFailedInitializeLogsItsMessageOrThatThereIsNone) {
  start();
  BSTR message = SysAllocString(L"Amplifier 2 not found");
  std::size_t first = frame().log_records().size();
  ASSERT_EQ(control->FireInitialize(0, message), S_OK);
  EXPECT_THAT(records_since(first), ElementsAre(frame_log_record{L"Amplifier 2 not found", 3, E_FAIL}));
  first = frame().log_records().size();
  ASSERT_EQ(control->FireInitialize(0, nullptr), S_OK);
  EXPECT_EQ(last_record(), (frame_log_record{L"No detailed error message available", 3, E_FAIL}));
  EXPECT_TRUE(frame().initialised());
  EXPECT_FALSE(frame().global_deblock());
  SysFreeString(message);
}

TEST_F(MainFrameServer, AnEmptyChangeDropsTheStateAndAnotherTypeKeepsIt) {
  start();
  ASSERT_EQ(control->FireChange(VT_I4), S_OK);
  EXPECT_EQ(last_record().code, E_INVALIDARG);
  EXPECT_EQ(last_record().level, 3);
  EXPECT_NE(frame().held_state(), nullptr);
  ASSERT_EQ(control->FireChange(VT_EMPTY), S_OK);
  EXPECT_EQ(last_record().code, E_POINTER);
  EXPECT_EQ(last_record().level, 3);
  EXPECT_EQ(frame().held_state(), nullptr);
  ASSERT_EQ(control->FireChange(VT_UNKNOWN), S_OK);
  EXPECT_NE(frame().held_state(), nullptr);
  EXPECT_THAT(views.lines, ElementsAre(L"rebuild_tree state server renames 0"));
}

TEST_F(MainFrameServer, ImpedanceValuesOpenTheViewAsBytesAndStopAtABadElement) {
  start();
  VARIANT values = values_of({long_value(10), long_value(200), text_value(L"30")});
  ASSERT_EQ(control->FireImpedance(0, values), S_OK);
  VariantClear(&values);
  ASSERT_EQ(views.lines.size(), 5u);
  EXPECT_EQ(views.lines[0], L"select_tab 0");
  EXPECT_EQ(views.lines[1], L"select_tree_item 0");
  EXPECT_EQ(views.lines[2], L"hide_overview");
  EXPECT_EQ(views.lines[3].rfind(L"open_impedance 0 [Impedance View - ", 0), 0u) << views.lines[3];
  EXPECT_GT(views.lines[3].size(), std::wstring(L"open_impedance 0 [Impedance View - ]").size());
  EXPECT_EQ(views.impedance, (std::vector<unsigned char>{10, 200, 30}));
  EXPECT_TRUE(frame().impedance_open());

  // A second event updates the open view; a value that is no byte ends the
  // conversion, the rest stays 0xFF.
  views.lines.clear();
  values = values_of({long_value(5), text_value(L"high"), long_value(6)});
  ASSERT_EQ(control->FireImpedance(0, values), S_OK);
  VariantClear(&values);
  EXPECT_THAT(views.lines, ElementsAre(L"impedance_values 3"));
  EXPECT_EQ(views.impedance, (std::vector<unsigned char>{5, 0xFF, 0xFF}));
  EXPECT_EQ(last_record().level, 3);
  EXPECT_EQ(last_record().code, DISP_E_TYPEMISMATCH);

  // Values that are no array: the view stays as it is.
  views.lines.clear();
  VARIANT none = long_value(3);
  ASSERT_EQ(control->FireImpedance(0, none), S_OK);
  EXPECT_TRUE(views.lines.empty());

  ASSERT_EQ(control->FireImpedanceEnd(), S_OK);
  EXPECT_THAT(views.lines, ElementsAre(L"close_impedance", L"focus_primary", L"show_overview"));
  EXPECT_FALSE(frame().impedance_open());
}

TEST_F(MainFrameServer, SelectingAnItemFillsTheViewsByWhatTheObjectIs) {
  start();
  IAmplifierState* state = frame().held_state();
  ASSERT_NE(state, nullptr);
  LONG amplifier_id = 0, channel_id = 0;
  for_each_amplifier(state, [&](const comet::com_ptr<IAmplifier>& amplifier) {
    if (!amplifier_id) amplifier_id = id_of(amplifier.get());
    for_each_channel_collection(amplifier.get(), [&](const comet::com_ptr<ICollection>& channel) {
      if (!channel_id) channel_id = id_of(channel.get());
    });
  });
  // The views' requests for one selection, after the emptying and blank
  // titles every selection starts with.
  const auto shown = [&](long id) {
    views.lines.clear();
    frame().OnTreeSelection(id);
    EXPECT_EQ(views.suspended, 0);
    std::wstring all;
    for (std::size_t i = 2; i < views.lines.size(); ++i) all += views.lines[i] + L"|";
    EXPECT_THAT(std::vector<std::wstring>(views.lines.begin(),
                                          views.lines.begin() + std::min<std::size_t>(2, views.lines.size())),
                ElementsAre(L"empty_views", L"titles [] []"));
    return all;
  };
  frame().m_protocol.m_rename_map[amplifier_id] = u"Amplifier title";
  EXPECT_EQ(shown(0),
            L"show_state|scroll_to_current|titles [Primary View - All Amplifiers] [Secondary View - All "
            L"Amplifiers]|");
  EXPECT_EQ(shown(amplifier_id),
            L"show_amplifier|scroll_to_current|titles [Primary View - Amplifier title] [Secondary View - Amplifier "
            L"title]|");
  const std::wstring channel = shown(channel_id);
  EXPECT_EQ(channel.rfind(L"show_channel with amplifier|scroll_to_current|titles [Primary View - ", 0), 0u)
      << std::string(channel.begin(), channel.end());
  EXPECT_EQ(shown(-1), L"show_server_properties 1|scroll_to_current|titles [Primary View - ] [Secondary View - ]|");
  EXPECT_NE(call_log().find(L"CanCheckImpedance(-1)\n"), std::wstring::npos);

  // Without a server the root shows nothing, and asking whether checking
  // is allowed is the logged error.
  frame().DisconnectServer();
  views.lines.clear();
  frame().OnTreeSelection(-1);
  EXPECT_THAT(views.lines, ElementsAre(L"empty_views", L"titles [] []"));
  EXPECT_EQ(last_record().code, E_POINTER);
  EXPECT_EQ(views.suspended, 0);
}

TEST_F(MainFrameServer, LabelEditsAreRefusedForTheEmptyTextAndItemsWithoutID) {
  start();
  EXPECT_TRUE(frame().OnBeginLabelEdit(0));
  EXPECT_FALSE(frame().OnBeginLabelEdit(5));
  EXPECT_TRUE(frame().OnEndLabelEdit(5, L""));
  EXPECT_TRUE(frame().OnEndLabelEdit(5, nullptr));
  EXPECT_TRUE(frame().OnEndLabelEdit(0, L"Root"));
  EXPECT_TRUE(frame().m_protocol.m_rename_map.empty());
  EXPECT_FALSE(frame().OnEndLabelEdit(5, L"Left arm"));
  EXPECT_EQ(frame().m_protocol.m_rename_map.at(5), u"Left arm");
  pump_until([&] { return !views.lines.empty(); });
  EXPECT_THAT(views.lines, ElementsAre(L"rebuild_tree state server renames 1"));
}

TEST_F(MainFrameServer, SendsASerialNumberOnlyToAServerWithTheSecondInterface) {
  start();
  VARIANT old_number = long_value(3), new_number = text_value(L"4");
  EXPECT_TRUE(frame().SendSerialNumber(old_number, new_number));
  EXPECT_NE(call_log().find(L"ChangeSerialNumber(3, 4)\n"), std::wstring::npos);
  const std::wstring before = call_log();
  control->put_OffersAmplifier2(VARIANT_FALSE);
  EXPECT_FALSE(frame().SendSerialNumber(old_number, new_number));
  EXPECT_EQ(call_log(), before);
  VariantClear(&new_number);
}

TEST_F(MainFrameServer, CommandStatesReachTheMenuAtTheIdleTurn) {
  start();
  frame().OnIdle();
  EXPECT_TRUE(frame().UIIsEnabled(ID_COPY_TEXT));
  EXPECT_TRUE(frame().UIIsEnabled(ID_ACTION_GLOBAL_DEBLOCK));
  EXPECT_FALSE(frame().UIIsEnabled(ID_UNDO));
  frame().m_undo.push_back(comet::bstr_t(L"earlier"));
  ASSERT_TRUE(OpenClipboard(frame()));
  EmptyClipboard();
  HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 4 * sizeof(wchar_t));
  lstrcpyW(static_cast<wchar_t*>(GlobalLock(text)), L"abc");
  GlobalUnlock(text);
  SetClipboardData(CF_UNICODETEXT, text);
  CloseClipboard();
  frame().OnIdle();
  EXPECT_TRUE(frame().UIIsEnabled(ID_UNDO));
  EXPECT_TRUE(frame().UIIsEnabled(ID_PASTE));
  EXPECT_EQ(pane_text(frame(), 2), L"Global Deblock : Off");
  // Opened, the Copy menu shows the states.
  HMENU copy = GetSubMenu(frame().m_hMenu, 1);
  frame().SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(copy), 1);
  EXPECT_FALSE(GetMenuState(copy, ID_UNDO, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(copy, ID_REDO, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(MainFrameServer, RepairLogsItsStartAndTheInstallersFailure) {
  start();
  const installer_calls saved = _Module.m_installer;
  _Module.m_installer.set_internal_ui = &installer_seen::set_internal_ui;
  _Module.m_installer.reinstall_product = &installer_seen::reinstall_product;
  const std::size_t first = frame().log_records().size();
  frame().SendMessage(WM_COMMAND, ID_REPAIR);
  _Module.m_installer = saved;
  EXPECT_EQ(installer_seen::level, INSTALLUILEVEL_DEFAULT);
  EXPECT_EQ(installer_seen::owner, static_cast<HWND>(frame()));
  EXPECT_EQ(installer_seen::product, L"{87101B90-FAC0-4C4E-AE2E-D1A646945FA0}");
  const auto records = records_since(first);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0], (frame_log_record{L"Software repair process started", 1, 0}));
  EXPECT_EQ(records[1].level, 3);
  EXPECT_EQ(records[1].code, static_cast<HRESULT>(0x80070645));
}

TEST_F(MainFrameServer, ExitNowEndsTheLoopAndLeavesNoServerObjectOrSink) {
  _Module.m_instance_mutex = ::CreateMutexW(nullptr, FALSE, nullptr);
  start();
  LONG count = -1;
  ASSERT_EQ(control->get_SinkCount(&count), S_OK);
  EXPECT_EQ(count, 1);
  dialog_watch watch([](HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, IDYES, 0); });
  frame().PostMessage(WM_CLOSE);
  EXPECT_EQ(run_loop(), 0);
  EXPECT_EQ(watch.seen(), 1);
  EXPECT_FALSE(frame().IsWindow());
  EXPECT_EQ(_Module.GetLockCount(), 0);
  EXPECT_EQ(_Module.m_dwTimeOut, 0u);
  EXPECT_EQ(_Module.m_dwPause, 0u);
  EXPECT_EQ(_Module.m_instance_mutex, nullptr);
  ASSERT_EQ(control->get_SinkCount(&count), S_OK);
  EXPECT_EQ(count, 0);
  ASSERT_EQ(control->get_ObjectCount(&count), S_OK);
  EXPECT_EQ(count, 0);
  _Module.m_dwTimeOut = 5000;
  _Module.m_dwPause = 1000;
}

TEST_F(MainFrameServer, TheTitleMarksTheProtocolUnmodifiedOnlyWhileItsLibraryHoldsTheSameState) {
  start();
  frame().m_protocol_name = L"P";
  frame().m_protocol_user_specific = false;
  Orvo::protocol stored = frame().m_protocol;
  stored.m_state_string = u"not a state string";
  frame().m_libraries.m_common[u"P"] = stored;
  const std::size_t records = frame().log_records().size();
  frame().OnIdle();
  EXPECT_EQ(frame().GetWindowText(), L"P - [Common] * - Orvo - [Hotkey: Ctrl+Alt+D]");
  EXPECT_EQ(frame().log_records().size(), records);  // a comparison that fails is no record
  // A state read back from its string may differ from it at first (its
  // models adjust the images); the one the library stores reads back as itself.
  comet::bstr_t text = frame().state_string();
  const auto factory = create_amplifier_state();
  for (int round = 0; round < 4; ++round) {
    const comet::bstr_t again = get_state_string(create_state_from_string(factory.get(), text).get());
    if (again.w_str() == text.w_str()) break;
    text = again;
  }
  const std::wstring stable = text.w_str();
  frame().m_protocol.set_state_string(Orvo::wide_string(stable.begin(), stable.end()));
  frame().m_libraries.m_common[u"P"] = frame().m_protocol;
  frame().OnIdle();
  EXPECT_EQ(frame().GetWindowText(), L"P - [Common]  - Orvo - [Hotkey: Ctrl+Alt+D]");
  EXPECT_EQ(pane_text(frame(), 3), L" Unmodified");
}

TEST_F(MainFrameServer, CtrlSpaceSendsTheDeblockedStateAndKeepsTheFormerForUndo) {
  start();
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  MSG down{frame(), WM_KEYDOWN, VK_SPACE, 0, 0, {0, 0}};
  const comet::bstr_t before = frame().state_string();
  frame().m_redo.push_back(comet::bstr_t(L"undone"));
  EXPECT_TRUE(_Module.GetMessageLoop()->PreTranslateMessage(&down));
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  ASSERT_EQ(frame().m_undo.size(), 1u);
  EXPECT_EQ(frame().m_undo.back().w_str(), before.w_str());
  EXPECT_TRUE(frame().m_redo.empty());
  EXPECT_NE(call_log().find(L"SetState("), std::wstring::npos);
}

TEST_F(MainFrameServer, AStateAppliedInPartIsAWarningAfterTheServersChange) {
  start();
  control->put_Applied(VARIANT_FALSE);
  control->put_ChangeInsideSetState(VARIANT_TRUE);
  const std::size_t first = frame().log_records().size();
  EXPECT_FALSE(frame().ApplyState());
  EXPECT_EQ(frame().m_undo.size(), 1u);
  EXPECT_THAT(records_since(first),
              ElementsAre(frame_log_record{L"The update to the Orvo system was only partially applied", 2, 1}));
}
