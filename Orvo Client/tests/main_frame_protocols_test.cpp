// The main frame's protocols and data files with the stand-in server in
// process and the data folders in a fresh folder: what a first start reads
// and logs, the questions before saving and before leaving a modified
// protocol, opening from the protocol manager, the manager's renames and
// deletes, the options commands and Exit Now's writes.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>

#include "core/protocol_changes.h"
#include "main_frame_stand_in_test.h"
#include "main_frame_test_support.h"
#include "res/protocol_manager_resources.h"
#include "settings_disk.h"
#include "state_fixture.h"
#include "testing/com_test.h"
#include "ui_seams.h"

using namespace frame_testing;
using orvo::impl::testing::MakeState;
using orvo::impl::testing::ZeroImages;
using testing::ElementsAre;

namespace {

constexpr HRESULT failed = static_cast<HRESULT>(0x80004005);
const std::wstring untitled_modified = L"Untitled* - Orvo - [Hotkey: Ctrl+Alt+D]";

std::wstring text_of(BSTR text) { return std::wstring(text ? text : L"", SysStringLen(text)); }

// An empty folder below the temporary folder (an earlier run's is deleted).
std::wstring fresh_folder(const std::wstring& leaf) {
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"orvo frame protocols " + leaf;
  orvo::testing::remove_folder(folder);
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::string bytes_of(const std::wstring& path) {
  return CSettingsDisk(nullptr).read_file(to_wide_string(path)).value_or("<none>");
}

// A message box as the frame asked for it, through the seam.
struct box {
  std::wstring text, caption;
  UINT style;
  bool operator==(const box& o) const { return text == o.text && caption == o.caption && style == o.style; }
};
void PrintTo(const box& b, std::ostream* out) {
  *out << "[" << std::string(b.text.begin(), b.text.end()) << "] [" << std::string(b.caption.begin(), b.caption.end())
       << "] " << std::hex << b.style;
}

const std::wstring fewer_amplifiers =
    L"The protocol that will be overwitten contains information on more amplifiers than contained in the active "
    L"protocol\nIf you save it now information about the amplifiers not currently connected will be lost\nAre you "
    L"sure you want to save it?";
const std::wstring empty_protocol =
    L"This prototocol doesn't contain any information about any amplifers.\nAre you sure you want to save it?";
// The state string of that many amplifiers as a state object writes it.
std::wstring state_of(std::size_t amplifiers) {
  const auto state = MakeState(ZeroImages(amplifiers)).as<IAmplifierState>();
  BSTR text = nullptr;
  if (!state || FAILED(state->get_AsString(&text))) return L"<no state>";
  const std::wstring result = text_of(text);
  SysFreeString(text);
  return result;
}

const box modified_box{L"Current protocol has been modified. Save?", L"Warning", MB_YESNO | MB_USERICON};

class FrameProtocols : public stand_in_frame_test<> {
 protected:
  void SetUp() override {
    stand_in_frame_test::SetUp();
    m_previous_box = Orvo::set_message_box_hook([this](const MSGBOXPARAMSW& p) {
      boxes.push_back({p.lpszText, p.lpszCaption, p.dwStyle});
      if (on_box) on_box();
      if (answers.empty()) return IDNO;
      const int answer = answers.front();
      answers.pop_front();
      return answer;
    });
  }
  void TearDown() override {
    stand_in_frame_test::TearDown();
    Orvo::set_message_box_hook(m_previous_box);
  }

  // A frame over the files of a fresh folder, holding a state of one
  // amplifier.
  void start(const std::wstring& leaf) {
    base = fresh_folder(leaf);
    ::CreateDirectoryW((base + L"\\user").c_str(), nullptr);
    ::CreateDirectoryW((base + L"\\common").c_str(), nullptr);
    f = std::make_unique<frame_fixture>(&views, false);
    frame().m_load_data = nullptr;
    frame().m_exit_now = nullptr;
    frame().set_data_folders(base + L"\\user", base + L"\\common");
    f->create();
    ASSERT_TRUE(pump_until([&] { return frame().IsWindowVisible() && frame().held_state(); }));
    one_amplifier = state_of(1);
    ASSERT_EQ(control->put_State(comet::bstr_t(one_amplifier).in()), S_OK);
    ASSERT_EQ(control->FireChange(VT_DISPATCH), S_OK);
    ASSERT_TRUE(pump_until([&] { return frame().state_string().w_str() == one_amplifier; }));
    frame().OnIdle();
  }
  CMainFrame& frame() { return f->frame; }
  std::wstring file(bool user, const wchar_t* name = L"protocols.xml") const {
    return base + (user ? L"\\user" : L"\\common") + L"\\Quarnell\\Orvo\\" + name;
  }
  std::wstring title() {
    frame().OnIdle();
    return frame().GetWindowText();
  }

  std::wstring base;
  const std::wstring two_amplifiers = state_of(2);
  std::wstring one_amplifier;
  std::vector<box> boxes;
  std::deque<int> answers;
  std::function<void()> on_box;

 private:
  Orvo::message_box_hook m_previous_box;
};

}  // namespace

TEST_F(FrameProtocols, AFirstStartLogsTheMissingFilesAndTakesTheBuiltInSession) {
  start(L"first start");
  const std::wstring product = L"\\Quarnell\\Orvo\\";
  const auto& records = frame().log_records();
  ASSERT_GE(records.size(), 6u);
  EXPECT_THAT(
      std::vector<frame_log_record>(records.begin(), records.begin() + 6),
      ElementsAre(frame_log_record{L"Orvo Client program started", 1, 0},
                  frame_log_record{L"Opening user session data: " + base + L"\\user" + product + L"options.xml", 1, 0},
                  frame_log_record{L"Failed to open user session data", 2, failed},
                  frame_log_record{L"Opening in-built session data", 1, 0},
                  frame_log_record{L"Failed to load protocol data: " + file(false), 2, E_FAIL},
                  frame_log_record{L"Failed to load protocol data: " + file(true), 2, E_FAIL}));
  EXPECT_TRUE(frame().m_session.m_loaded);
}

TEST_F(FrameProtocols, SavingOverMoreAmplifiersOrAnEmptyProtocolAsksFirstAndNoSavesNothing) {
  start(L"save questions");
  Orvo::protocols& user = frame().m_libraries.m_user;
  user[u"Big"].m_state_string = to_wide_string(two_amplifiers);
  ASSERT_TRUE(frame().m_libraries.m_write_user());
  const std::string before = bytes_of(file(true));
  const Orvo::protocol stored = user[u"Big"];

  // The working protocol holds the stand-in's one amplifier.
  EXPECT_FALSE(frame().SaveInto(true, L"Big"));
  EXPECT_THAT(boxes, ElementsAre(box{fewer_amplifiers, L"Warning", MB_YESNO | MB_ICONEXCLAMATION}));

  // Empty: both questions in turn; No to the second saves nothing.
  boxes.clear();
  frame().m_protocol.m_state_string.clear();
  answers = {IDYES, IDNO};
  EXPECT_FALSE(frame().SaveInto(true, L"Big"));
  EXPECT_THAT(boxes, ElementsAre(box{fewer_amplifiers, L"Warning", MB_YESNO | MB_ICONEXCLAMATION},
                                 box{empty_protocol, L"Empty protocol!", MB_YESNO | MB_ICONQUESTION}));
  EXPECT_EQ(user[u"Big"], stored);
  EXPECT_EQ(bytes_of(file(true)), before);
  EXPECT_TRUE(frame().m_protocol_name.empty());

  // Yes to both saves.
  boxes.clear();
  answers = {IDYES, IDYES};
  EXPECT_TRUE(frame().SaveInto(true, L"Big"));
  EXPECT_EQ(boxes.size(), 2u);
  EXPECT_TRUE(user[u"Big"].m_state_string.empty());
}

TEST_F(FrameProtocols, SavingKeepsTheStoredCommentTakesTheViewsColumnsAndMakesItActive) {
  start(L"save");
  frame().m_libraries.m_common[u"Q"].m_comment = u"kept";
  views.channel_columns.m_column_atributes[u"Gain"] = column_attribute{80, 1};
  views.amp_columns.m_column_atributes[u"Serial No"] = column_attribute{60, 0};

  EXPECT_TRUE(frame().SaveInto(false, L"Q"));
  EXPECT_TRUE(boxes.empty());
  const Orvo::protocol& saved = frame().m_libraries.m_common.m_protocols.at(u"Q");
  EXPECT_EQ(saved.m_comment, u"kept");
  EXPECT_EQ(saved.m_channel_columns, views.channel_columns);
  EXPECT_EQ(saved.m_amp_columns, views.amp_columns);
  EXPECT_EQ(frame().m_protocol_name, L"Q");
  EXPECT_FALSE(frame().m_protocol_user_specific);
  EXPECT_EQ(frame().m_session.m_last_protocol_name, u"Q");
  EXPECT_FALSE(frame().m_session.m_last_protocol_local);
  EXPECT_NE(bytes_of(file(false)).find("<first>Q</first>"), std::string::npos);
  EXPECT_EQ(title(), L"Q - [Common]  - Orvo - [Hotkey: Ctrl+Alt+D]");
}

TEST_F(FrameProtocols, SaveProtocolWithoutANameRunsSaveAsAndWithOneSavesUnderIt) {
  start(L"save protocol");
  dialog_watch watch([](HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
  frame().SendMessage(WM_COMMAND, ID_SAVE_PROTOCOL);
  EXPECT_EQ(watch.seen(), 1);
  EXPECT_TRUE(frame().m_libraries.m_user.m_protocols.empty());

  frame().m_protocol_name = L"Q";
  frame().SendMessage(WM_COMMAND, ID_SAVE_PROTOCOL);
  EXPECT_EQ(watch.seen(), 1);
  EXPECT_TRUE(frame().m_libraries.m_user.contains(u"Q"));
}

TEST_F(FrameProtocols, ExitNowAsksToSaveAModifiedProtocolACancelledSaveAsStaysAndNoWritesTheFiles) {
  start(L"exit now");
  frame().m_session.m_show_shutdown_msg = false;
  answers = {IDYES};
  int save_dialogs = 0;
  {
    dialog_watch watch([&](HWND dialog) {
      save_dialogs += item_text(dialog, IDC_PROTOCOL_NAME) == L"Untitled";
      ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    frame().SendMessage(WM_CLOSE);
  }
  EXPECT_EQ(save_dialogs, 1);
  EXPECT_THAT(boxes, ElementsAre(modified_box));
  EXPECT_TRUE(frame().IsWindow());
  EXPECT_EQ(::GetFileAttributesW(file(true, L"options.xml").c_str()), INVALID_FILE_ATTRIBUTES);

  answers = {IDNO};
  frame().SendMessage(WM_CLOSE);
  EXPECT_FALSE(frame().IsWindow());
  EXPECT_NE(bytes_of(file(true, L"options.xml")), "<none>");
}

TEST_F(FrameProtocols, OpeningFromTheManagerSendsTheStoredStateAndKeepsTheHistories) {
  start(L"open");
  Orvo::protocol& stored = frame().m_libraries.m_user[u"Q"];
  stored.m_state_string = to_wide_string(two_amplifiers);
  stored.m_channel_columns.m_column_atributes[u"Gain"] = column_attribute{90, 0};
  frame().m_libraries.m_changed();
  frame().m_undo.push_back(comet::bstr_t(L"earlier"));
  control->Defaults();
  frame().m_protocol_window.select(true, L"Q");

  frame().SendMessage(WM_COMMAND, ID_PROTOCOL_OPEN);
  EXPECT_THAT(boxes, ElementsAre(modified_box));  // No: open without saving
  EXPECT_THAT(sent_states(), ElementsAre(std::make_pair(VARTYPE(VT_BSTR), two_amplifiers)));
  EXPECT_EQ(frame().m_undo.size(), 1u);
  EXPECT_TRUE(frame().m_redo.empty());
  EXPECT_EQ(frame().log_records().back(), (frame_log_record{L"On open protocol: Q", 1, 0}));
  EXPECT_EQ(views.channel_columns, stored.m_channel_columns);
  EXPECT_EQ(frame().m_session.m_last_protocol_name, u"Q");
  EXPECT_TRUE(frame().m_session.m_last_protocol_local);
  // The server's change brings the stored state: unmodified.
  EXPECT_TRUE(pump_until([&] { return frame().state_string().w_str() == two_amplifiers; }));
  EXPECT_EQ(title(), L"Q - [User specific]  - Orvo - [Hotkey: Ctrl+Alt+D]");
}

TEST_F(FrameProtocols, TheManagersOpenOnAFolderOrUnderItsOwnQuestionDoesNothingAndPreviewIsLogged) {
  start(L"open questions");
  frame().m_libraries.m_user[u"Q"].m_state_string = to_wide_string(one_amplifier);
  frame().m_libraries.m_changed();
  frame().m_protocol_name = L"Q";
  frame().m_protocol.m_exclusion_set.m_map[u"Gain"] = {u"10"};  // modified
  frame().OnIdle();
  control->Defaults();

  frame().m_protocol_window.select(true, L"");  // the folder
  frame().SendMessage(WM_COMMAND, ID_PROTOCOL_OPEN);
  EXPECT_TRUE(boxes.empty());

  frame().m_protocol_window.select(true, L"Q");
  on_box = [&] { frame().SendMessage(WM_COMMAND, ID_PROTOCOL_OPEN); };
  frame().SendMessage(WM_COMMAND, ID_PROTOCOL_OPEN);
  EXPECT_THAT(boxes, ElementsAre(box{L"Discard changes to protocol \"Q\" and revert to saved version?",
                                     L"Discard changes?", MB_YESNO | MB_USERICON}));
  EXPECT_TRUE(sent_states().empty());
  EXPECT_FALSE(frame().m_protocol.m_exclusion_set.m_map.empty());

  on_box = nullptr;
  answers = {IDYES};
  frame().SendMessage(WM_COMMAND, ID_PROTOCOL_OPEN);
  EXPECT_TRUE(frame().m_protocol.m_exclusion_set.m_map.empty());
  EXPECT_EQ(sent_states().size(), 1u);

  frame().SendMessage(WM_COMMAND, ID_PROTOCOL_PREVIEW);
  EXPECT_EQ(frame().log_records().back(), (frame_log_record{L"On preview protocol", 1, 0}));
}

TEST_F(FrameProtocols, TheActiveAndLastProtocolFollowARenameAndAreClearedByADelete) {
  start(L"rename");
  ASSERT_TRUE(frame().SaveInto(true, L"Q"));
  ASSERT_TRUE(Orvo::rename_protocol(frame().m_libraries, true, u"Q", u"R"));
  EXPECT_EQ(frame().m_session.m_last_protocol_name, u"R");
  EXPECT_EQ(title(), L"R - [User specific]  - Orvo - [Hotkey: Ctrl+Alt+D]");
  ASSERT_TRUE(Orvo::move_protocol(frame().m_libraries, u"R", true));
  EXPECT_EQ(title(), L"R - [Common]  - Orvo - [Hotkey: Ctrl+Alt+D]");
  EXPECT_FALSE(frame().m_session.m_last_protocol_local);

  ASSERT_TRUE(Orvo::delete_protocol(frame().m_libraries, false, u"R"));
  EXPECT_TRUE(frame().m_protocol_name.empty());
  EXPECT_TRUE(frame().m_session.m_last_protocol_name.empty());
  EXPECT_EQ(title(), untitled_modified);
}

TEST_F(FrameProtocols, UserOptionsOkReplacesAndWritesTheSessionAndCancelChangesNothing) {
  start(L"user options");
  {
    dialog_watch watch([](HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    frame().SendMessage(WM_COMMAND, ID_VIEW_USER_OPTIONS);
  }
  EXPECT_TRUE(frame().m_session.m_show_spashscreen);
  EXPECT_EQ(::GetFileAttributesW(file(true, L"options.xml").c_str()), INVALID_FILE_ATTRIBUTES);
  {
    dialog_watch watch([](HWND dialog) {
      ::CheckDlgButton(dialog, IDC_SHOW_SPLASH, BST_UNCHECKED);
      ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    frame().SendMessage(WM_COMMAND, ID_VIEW_USER_OPTIONS);
  }
  EXPECT_FALSE(frame().m_session.m_show_spashscreen);
  EXPECT_NE(bytes_of(file(true, L"options.xml")).find("<m_show_spashscreen>0<"), std::string::npos);
}

TEST_F(FrameProtocols, MinimizingWithTheQuestionSwitchedOffWritesTheSession) {
  start(L"minimize");
  tray_recorder tray;
  dialog_watch watch([](HWND dialog) {
    ::CheckDlgButton(dialog, IDC_SHOW_NEXT_TIME, BST_UNCHECKED);
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  frame().SendMessage(WM_CLOSE);
  EXPECT_TRUE(frame().IsIconic());
  EXPECT_NE(bytes_of(file(true, L"options.xml")).find("<m_show_shutdown_msg>0<"), std::string::npos);
}

TEST_F(FrameProtocols, DisplayOptionsOkGivesTheWorkingProtocolTheEditedExclusionsAndCancelNothing) {
  start(L"display options");
  const Orvo::protocol before = frame().m_protocol;
  {
    dialog_watch watch([](HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    frame().SendMessage(WM_COMMAND, ID_VIEW_DISPLAY_OPTIONS);
  }
  EXPECT_EQ(frame().m_protocol, before);
  {
    dialog_watch watch([](HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, IDOK, 0); });
    frame().SendMessage(WM_COMMAND, ID_VIEW_DISPLAY_OPTIONS);
  }
  // Every page's property is listed, without values.
  EXPECT_FALSE(frame().m_protocol.m_exclusion_set.m_map.empty());
  EXPECT_TRUE(frame().m_protocol.m_exclusion_set.m_map.begin()->second.empty());
}
