// What the windows add to the protocol changes under wine64: changes written
// to real files (a library that cannot be written shows its box and keeps
// its file), the Save As dialog, the comment editor, the delete question,
// the display and user options over a real AmplifierState, and the protocol
// manager's tree, commands and keys. Modal dialogs are answered by a
// watcher; message boxes and beeps go to the client's hooks.
//
// Argument: the capabilities library.
#include <windows.h>
#include <commctrl.h>


#include <gtest/gtest.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include <deque>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/record_archive.h"
#include "data_files.h"
#include "options_dialogs.h"
#include "orvo_module.h"
#include "protocol_commands.h"
#include "protocol_dialogs.h"
#include "protocol_frame_window.h"
#include "protocol_state.h"
#include "save_protocol_dialog.h"
#include "state_fixture.h"
#include "testing/com_test.h"
#include "ui_seams.h"

using namespace orvo::impl::testing;

namespace {

using log_line = std::tuple<std::wstring, int, HRESULT>;

void pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// Message boxes and beeps of the client, recorded; boxes answered in turn
// (IDOK when no answer is left).
struct ui_recorder {
  struct box {
    std::wstring text, caption;
    UINT style;
  };
  std::vector<box> boxes;
  std::deque<int> answers;
  int beeps = 0;
  ui_recorder() {
    Orvo::set_message_box_hook([this](const MSGBOXPARAMSW& p) {
      boxes.push_back({p.lpszText, p.lpszCaption, p.dwStyle});
      if (answers.empty()) return IDOK;
      const int answer = answers.front();
      answers.pop_front();
      return answer;
    });
    Orvo::set_beep_hook([this](UINT) { ++beeps; });
  }
  ~ui_recorder() {
    Orvo::set_message_box_hook({});
    Orvo::set_beep_hook({});
  }
};

// Answers modal dialogs: each step runs, on a thread timer, with the one
// dialog of this thread that is visible and enabled (a dialog over another
// disables it). Steps act by posting, so no step runs inside another.
class dialog_watcher {
 public:
  using step = std::function<void(HWND dialog)>;
  dialog_watcher() {
    s_current = this;
    m_timer = ::SetTimer(nullptr, 0, 20, &tick);
  }
  ~dialog_watcher() {
    ::KillTimer(nullptr, m_timer);
    s_current = nullptr;
  }
  dialog_watcher& then(step s) {
    m_steps.push_back(std::move(s));
    return *this;
  }
  bool done() const { return m_steps.empty(); }

 private:
  static BOOL CALLBACK find(HWND window, LPARAM found) {
    wchar_t name[16] = L"";
    ::GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770" && ::IsWindowVisible(window) && ::IsWindowEnabled(window) &&
        !(::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
      *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
  }
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    dialog_watcher* self = s_current;
    if (!self || self->m_busy || self->m_steps.empty()) return;
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &find, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    self->m_busy = true;
    step s = std::move(self->m_steps.front());
    self->m_steps.pop_front();
    s(dialog);
    self->m_busy = false;
  }
  static inline dialog_watcher* s_current = nullptr;
  UINT_PTR m_timer = 0;
  bool m_busy = false;
  std::deque<step> m_steps;
};

// Replaces an edit's text as typing does (with EN_CHANGE).
void type_text(HWND edit, const std::wstring& text) {
  ::SendMessageW(edit, EM_SETSEL, 0, -1);
  ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void post_command(HWND dialog, int id) { ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

std::wstring text_of(HWND window) {
  wchar_t buffer[2048] = L"";
  ::GetWindowTextW(window, buffer, 2048);
  return buffer;
}

struct recording_log : CLogSink {
  std::vector<log_line> records;
  void add_record(const std::wstring& text, int level, HRESULT code) override {
    records.emplace_back(text, level, code);
  }
  void set_status_text(const std::wstring&) override {}
  bool has_level(int level) const {
    for (const auto& r : records)
      if (std::get<1>(r) == level) return true;
    return false;
  }
};

Orvo::stamp fixed_stamp() {
  static int ticks = 0;
  return {boost::posix_time::time_from_string("2009-03-04 13:05:06") + boost::posix_time::seconds(ticks++), u"Editor"};
}

// A top-level window that records the commands it gets.
class command_owner {
 public:
  command_owner() {
    static const ATOM atom = [] {
      WNDCLASSW c{};
      c.lpfnWndProc = &procedure;
      c.hInstance = ::GetModuleHandleW(nullptr);
      c.lpszClassName = L"Orvo.TestCommandOwner";
      c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
      return ::RegisterClassW(&c);
    }();
    m_hWnd = ::CreateWindowExW(0, MAKEINTATOM(atom), L"Protocols", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 420, 480,
                               nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~command_owner() { ::DestroyWindow(m_hWnd); }
  operator HWND() const { return m_hWnd; }
  std::vector<WORD> commands;

 private:
  static LRESULT CALLBACK procedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<command_owner*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (uMsg == WM_COMMAND && self) self->commands.push_back(LOWORD(wParam));
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  }
  HWND m_hWnd;
};

// An empty folder below the temporary folder; what an earlier run left
// there is deleted first.
std::wstring fresh_folder(const std::wstring& leaf) {
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"orvo protocol changes " + leaf;
  orvo::testing::remove_folder(folder);
  ::CreateDirectoryW(folder.c_str(), nullptr);
  ::CreateDirectoryW((folder + L"\\user").c_str(), nullptr);
  ::CreateDirectoryW((folder + L"\\common").c_str(), nullptr);
  return folder;
}

// The two libraries over files in a fresh folder, written through the data
// files as the main frame writes them.
class ChangesOnDisk : public ::testing::Test {
 protected:
  void open(const std::wstring& leaf, bool common_unwritable = false) {
    m_base = fresh_folder(leaf);
    if (common_unwritable) {
      // A file where the product folder should be: nothing can be written below it.
      ::CreateDirectoryW((m_base + L"\\common\\Quarnell").c_str(), nullptr);
      HANDLE f = ::CreateFileW((m_base + L"\\common\\Quarnell\\Orvo").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                               nullptr);
      ::CloseHandle(f);
    }
    m_files =
        std::make_unique<CDataFiles>(m_session, m_libraries, m_log, nullptr, m_base + L"\\user", m_base + L"\\common");
    m_files->start(false);
    m_libraries.m_user[u"A"].m_comment = u"first";
    m_libraries.m_user[u"B"];
    ASSERT_TRUE(m_libraries.m_write_user());
    m_log.records.clear();
  }
  std::wstring file(bool user) const {
    return m_base + (user ? L"\\user" : L"\\common") + L"\\Quarnell\\Orvo\\protocols.xml";
  }
  std::string bytes(bool user) const {
    CSettingsDisk disk(nullptr);
    return disk.read_file(to_wide_string(file(user))).value_or("<none>");
  }
  Orvo::protocols stored(bool user) const {
    std::istringstream in(bytes(user));
    Orvo::protocols library;
    Orvo::read_library(in, library);
    return library;
  }
  // The next save of the user library cannot write its temporary file.
  void block_user_writes() { ::CreateDirectoryW((file(true) + L".new").c_str(), nullptr); }

  std::wstring m_base;
  Orvo::session_data m_session;
  Orvo::protocol_libraries m_libraries;
  recording_log m_log;
  std::unique_ptr<CDataFiles> m_files;
  ui_recorder m_ui;
};

TEST_F(ChangesOnDisk, AMoveToTheCommonLibraryWritesItFirst) {
  open(L"move");
  EXPECT_TRUE(Orvo::report_change(nullptr, Orvo::move_protocol(m_libraries, u"A", true)));
  ASSERT_EQ(m_log.records.size(), 2u);
  EXPECT_EQ(m_log.records[0], log_line(L"Saved protocol data: " + file(false), 1, 0));
  EXPECT_EQ(m_log.records[1], log_line(L"Saved protocol data: " + file(true), 1, 0));
  EXPECT_EQ(stored(false), m_libraries.m_common);
  EXPECT_FALSE(stored(true).contains(u"A"));
  EXPECT_TRUE(m_ui.boxes.empty());
}

TEST_F(ChangesOnDisk, AMoveIntoAnUnwritableLibraryIsUndoneWithABox) {
  open(L"unwritable target", true);
  const std::string before = bytes(true);
  EXPECT_FALSE(Orvo::report_change(nullptr, Orvo::move_protocol(m_libraries, u"A", true)));
  ASSERT_EQ(m_ui.boxes.size(), 1u);
  EXPECT_EQ(m_ui.boxes[0].caption, L"Error saving protocol");
  EXPECT_EQ(m_ui.boxes[0].text, L"Cannot write the library \"Common Protocols\". The change to it was undone.");
  EXPECT_EQ(m_ui.boxes[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
  EXPECT_TRUE(m_libraries.m_user.contains(u"A"));
  EXPECT_TRUE(m_libraries.m_common.m_protocols.empty());
  EXPECT_EQ(bytes(true), before);
}

TEST_F(ChangesOnDisk, ASourceThatCannotLetGoKeepsTheProtocolInBothFiles) {
  open(L"unwritable source");
  block_user_writes();
  EXPECT_FALSE(Orvo::report_change(nullptr, Orvo::move_protocol(m_libraries, u"A", true)));
  ASSERT_EQ(m_ui.boxes.size(), 1u);
  EXPECT_EQ(m_ui.boxes[0].text,
            L"Cannot write the library \"" + Orvo::protocol_folder_label(true) + L"\". The change to it was undone.");
  EXPECT_TRUE(m_libraries.m_user.contains(u"A"));
  EXPECT_TRUE(m_libraries.m_common.contains(u"A"));
  EXPECT_EQ(stored(true), m_libraries.m_user);
  EXPECT_EQ(stored(false), m_libraries.m_common);
}

TEST_F(ChangesOnDisk, UserLibraryChangesLeaveAnUnwritableCommonLibraryAlone) {
  open(L"user only", true);
  EXPECT_TRUE(Orvo::report_change(nullptr, Orvo::rename_protocol(m_libraries, true, u"A", u"Renamed")));
  EXPECT_TRUE(Orvo::report_change(nullptr, Orvo::copy_protocol(m_libraries, true, u"B")));
  EXPECT_TRUE(Orvo::report_change(nullptr, Orvo::delete_protocol(m_libraries, true, u"B")));
  EXPECT_TRUE(Orvo::report_change(nullptr, Orvo::set_protocol_comment(m_libraries, true, u"Renamed", u"new")));
  EXPECT_FALSE(m_log.has_level(3));
  EXPECT_TRUE(m_ui.boxes.empty());
  EXPECT_EQ(stored(true), m_libraries.m_user);
}

TEST_F(ChangesOnDisk, SaveAsIntoAnUnwritableCommonLibraryIsNotSaved) {
  open(L"save as", true);
  const std::string before = bytes(true);
  const Orvo::protocols user_before = m_libraries.m_user;
  save_protocol_dialog dialog(L"Untitled", true, &m_libraries);
  dialog_watcher watcher;
  watcher.then([](HWND d) {
    ::SetDlgItemTextW(d, IDC_PROTOCOL_NAME, L"Shared set-up");
    post_command(d, IDC_COMMON_LIBRARY);
  });
  watcher.then([](HWND d) { post_command(d, IDOK); });
  ASSERT_EQ(dialog.run(nullptr), IDOK);
  EXPECT_EQ(dialog.name(), L"Shared set-up");
  EXPECT_FALSE(dialog.user());
  Orvo::protocol working;
  working.m_state_string = u"STATE";
  EXPECT_FALSE(Orvo::store_protocol_reporting(nullptr, m_libraries, dialog.user(), dialog.name(), working));
  ASSERT_EQ(m_ui.boxes.size(), 1u);
  EXPECT_EQ(m_ui.boxes[0].caption, L"Error saving protocol");
  EXPECT_FALSE(m_libraries.m_common.contains(u"Shared set-up"));
  EXPECT_EQ(m_libraries.m_user, user_before);
  EXPECT_EQ(bytes(true), before);
}

// The dialogs and the manager over libraries in memory.
class ProtocolWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    Orvo::set_stamp_source(fixed_stamp);
    m_libraries.m_common[u"Shared"].m_comment = u"for everyone";
    m_libraries.m_user[u"A"].m_comment = u"mine";
    m_libraries.m_user[u"B"];
    m_libraries.m_write_common = [this] { return ++m_writes, true; };
    m_libraries.m_write_user = [this] { return ++m_writes, true; };
  }
  void TearDown() override { Orvo::set_stamp_source(nullptr); }

  void open_manager() { ASSERT_TRUE(m_manager.create(m_owner, RECT{0, 0, 400, 440})); }

  Orvo::protocol_libraries m_libraries;
  int m_writes = 0;
  ui_recorder m_ui;
  recording_log m_log;
  command_owner m_owner;
  protocol_frame_window m_manager{&m_libraries};
};

TEST_F(ProtocolWindows, SaveDialogDropsLeadingBlanksAndTypingSelectsWithoutRewriting) {
  save_protocol_dialog dialog(L"Untitled", true, &m_libraries);
  dialog_watcher watcher;
  std::wstring after_blank, after_typing, radio_after_pick, name_after_pick;
  std::optional<Orvo::protocol_place> selected;
  bool save_for_untitled = true, save_for_blanks = true;
  watcher.then([&](HWND d) { save_for_untitled = ::IsWindowEnabled(::GetDlgItem(d, IDOK)); });
  watcher.then([&](HWND d) { ::SetDlgItemTextW(d, IDC_PROTOCOL_NAME, L"  "); });
  watcher.then([&](HWND d) {
    save_for_blanks = ::IsWindowEnabled(::GetDlgItem(d, IDOK));
    ::SetDlgItemTextW(d, IDC_PROTOCOL_NAME, L" B");
    after_blank = text_of(::GetDlgItem(d, IDC_PROTOCOL_NAME));
    selected = dialog.manager().selected_protocol();
    ::SetDlgItemTextW(d, IDC_PROTOCOL_NAME, L"AB");  // "A" is taken; "AB" is not
    after_typing = text_of(::GetDlgItem(d, IDC_PROTOCOL_NAME));
    dialog.manager().select(false, L"Shared");
    name_after_pick = text_of(::GetDlgItem(d, IDC_PROTOCOL_NAME));
    radio_after_pick = ::IsDlgButtonChecked(d, IDC_COMMON_LIBRARY) ? L"common" : L"user";
    post_command(d, IDCANCEL);
  });
  EXPECT_EQ(dialog.run(nullptr), IDCANCEL);
  EXPECT_FALSE(save_for_untitled);
  EXPECT_FALSE(save_for_blanks);
  EXPECT_EQ(after_blank, L"B");
  EXPECT_EQ(m_ui.beeps, 2);  // "  " and " B" each lost their blanks
  ASSERT_TRUE(selected);
  EXPECT_EQ(*selected, (Orvo::protocol_place{true, u"B"}));
  EXPECT_EQ(after_typing, L"AB");
  EXPECT_EQ(name_after_pick, L"Shared");
  EXPECT_EQ(radio_after_pick, L"common");
}

TEST_F(ProtocolWindows, SaveDialogAsksBeforeOverwritingAndStaysOnNo) {
  save_protocol_dialog dialog(L"A", true, &m_libraries);
  dialog_watcher watcher;
  m_ui.answers = {IDNO, IDYES};
  watcher.then([](HWND d) { post_command(d, IDOK); });
  watcher.then([](HWND d) { post_command(d, IDOK); });
  EXPECT_EQ(dialog.run(nullptr), IDOK);
  ASSERT_EQ(m_ui.boxes.size(), 2u);
  EXPECT_EQ(m_ui.boxes[0].text, L"Overwrite existing protocol?");
  EXPECT_EQ(m_ui.boxes[0].caption, L"Warning");
  EXPECT_EQ(m_ui.boxes[0].style & (MB_TYPEMASK | MB_ICONMASK), static_cast<UINT>(MB_YESNO | MB_USERICON));
  EXPECT_EQ(dialog.name(), L"A");
  EXPECT_TRUE(dialog.user());
}

TEST_F(ProtocolWindows, TheEmbeddedManagersKeysWorkInsideTheSaveDialog) {
  save_protocol_dialog dialog(L"A", true, &m_libraries);
  dialog_watcher watcher;
  bool editing = false;
  watcher.then([&](HWND) {
    ::SetFocus(dialog.manager().tree());
    ::PostMessageW(dialog.manager().tree(), WM_KEYDOWN, VK_F2, 0);
  });
  watcher.then([&](HWND d) {
    editing = dialog.manager().label_editing();
    ::PostMessageW(TreeView_GetEditControl(dialog.manager().tree()), WM_KEYDOWN, VK_ESCAPE, 0);
    post_command(d, IDCANCEL);
  });
  EXPECT_EQ(dialog.run(nullptr), IDCANCEL);
  EXPECT_TRUE(editing);
}

TEST_F(ProtocolWindows, CommentEditorSavesOnlyAChangedCommentOfAtMost1023Characters) {
  open_manager();
  m_manager.select(true, L"A");
  std::vector<bool> save_enabled;
  int length = 0;
  dialog_watcher watcher;
  watcher.then([&](HWND d) {
    HWND edit = ::GetDlgItem(d, IDC_COMMENT_TEXT);
    save_enabled.push_back(::IsWindowEnabled(::GetDlgItem(d, IDOK)));
    type_text(edit, L"mine, changed");
    save_enabled.push_back(::IsWindowEnabled(::GetDlgItem(d, IDOK)));
    type_text(edit, L"mine");
    save_enabled.push_back(::IsWindowEnabled(::GetDlgItem(d, IDOK)));
    type_text(edit, std::wstring(2000, L'x'));
    length = ::GetWindowTextLengthW(edit);
    type_text(edit, L"a new comment");
    post_command(d, IDOK);
  });
  const Orvo::protocol before = m_libraries.m_user.m_protocols.at(u"A");
  m_manager.SendMessage(WM_COMMAND, ID_PROTOCOL_EDIT_COMMENT);
  EXPECT_EQ(save_enabled, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(length, 1023);
  const Orvo::protocol& after = m_libraries.m_user.m_protocols.at(u"A");
  EXPECT_EQ(after.m_comment, u"a new comment");
  EXPECT_GT(after.m_modified_time, before.m_modified_time);
  EXPECT_EQ(m_writes, 1);
  EXPECT_EQ(text_of(::GetDlgItem(m_manager.details(), IDC_PROTOCOL_COMMENT)), L"a new comment");
}

TEST_F(ProtocolWindows, DeleteAsksFirstAndCancelKeepsTheProtocol) {
  open_manager();
  m_manager.select(true, L"A");
  std::wstring caption;
  dialog_watcher watcher;
  watcher.then([&](HWND d) {
    caption = text_of(d);
    post_command(d, IDCANCEL);
  });
  m_manager.SendMessage(WM_COMMAND, ID_PROTOCOL_DELETE);
  EXPECT_EQ(caption, L"Delete Protocol");
  EXPECT_TRUE(m_libraries.m_user.contains(u"A"));
  watcher.then([](HWND d) { post_command(d, IDYES); });
  m_manager.SendMessage(WM_COMMAND, ID_PROTOCOL_DELETE);
  EXPECT_FALSE(m_libraries.m_user.contains(u"A"));
  EXPECT_EQ(m_manager.selected_library(), std::optional<bool>(false));  // back to the first folder
}

TEST_F(ProtocolWindows, ManagerShowsTheFoldersAndTheSelectionsDetails) {
  open_manager();
  HWND tree = m_manager.tree();
  std::vector<std::wstring> labels;
  for (HTREEITEM folder = TreeView_GetRoot(tree); folder; folder = TreeView_GetNextSibling(tree, folder)) {
    wchar_t text[260] = L"";
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = folder;
    item.pszText = text;
    item.cchTextMax = 260;
    TreeView_GetItem(tree, &item);
    labels.push_back(text);
    for (HTREEITEM child = TreeView_GetChild(tree, folder); child; child = TreeView_GetNextSibling(tree, child)) {
      item.hItem = child;
      TreeView_GetItem(tree, &item);
      labels.push_back(L"  " + std::wstring(text));
    }
  }
  const std::wstring user = get_user_display_name();
  EXPECT_EQ(Orvo::protocol_folder_label(true), user.empty() ? L"User Specific Protocols" : L"Protocols for " + user);
  EXPECT_EQ(labels, (std::vector<std::wstring>{L"Common Protocols", L"  Shared", Orvo::protocol_folder_label(true),
                                               L"  A", L"  B"}));
  HWND details = m_manager.details();
  EXPECT_EQ(text_of(::GetDlgItem(details, IDC_PROTOCOL_COMMENT)),
            L"This virtual folder contains protocols that are available to all users.");
  EXPECT_EQ(text_of(::GetDlgItem(details, IDC_CREATED_BY)), L"");
  m_libraries.m_user[u"B"].m_modified_time = boost::posix_time::not_a_date_time;
  m_manager.select(true, L"B");
  EXPECT_EQ(text_of(::GetDlgItem(details, IDC_CREATION_TIME)),
            Orvo::stamp_text(m_libraries.m_user[u"B"].m_created_time));
  EXPECT_EQ(text_of(::GetDlgItem(details, IDC_MODIFICATION_TIME)), L"not-a-date-time");
  EXPECT_EQ(text_of(::GetDlgItem(details, IDC_CREATED_BY)), L"Editor");
  EXPECT_EQ(Orvo::stamp_text(boost::posix_time::time_from_string("2009-03-04 13:05:06")), L"2009-Mar-04 13:05:06");
}

void select_item(HWND list, bool selected, int index) { ::SendMessageW(list, LB_SETSEL, selected, index); }

bool button_enabled(HWND toolbar, int id) { return ::SendMessageW(toolbar, TB_ISBUTTONENABLED, id, 0) != 0; }

TEST_F(ProtocolWindows, CommandsFollowTheSelectionTheInstanceAndTheLabelEdit) {
  command_owner owner;
  protocol_frame_window main_instance(&m_libraries), embedded(&m_libraries, false);
  ASSERT_TRUE(main_instance.create(owner, RECT{0, 0, 200, 440}));
  ASSERT_TRUE(embedded.create(owner, RECT{200, 0, 400, 440}));
  const int all[] = {ID_PROTOCOL_OPEN, ID_PROTOCOL_RENAME, ID_PROTOCOL_COPY,
                     ID_PROTOCOL_MOVE, ID_PROTOCOL_DELETE, ID_PROTOCOL_EDIT_COMMENT};
  main_instance.OnIdle();
  for (int id : all) EXPECT_FALSE(button_enabled(main_instance.toolbar(), id)) << id;  // a folder
  main_instance.select(true, L"A");
  embedded.select(true, L"A");
  main_instance.OnIdle();
  embedded.OnIdle();
  for (int id : all) EXPECT_TRUE(button_enabled(main_instance.toolbar(), id)) << id;
  EXPECT_TRUE(main_instance.UIIsEnabled(ID_PROTOCOL_PREVIEW));
  EXPECT_FALSE(button_enabled(embedded.toolbar(), ID_PROTOCOL_OPEN));
  EXPECT_FALSE(embedded.UIIsEnabled(ID_PROTOCOL_PREVIEW));
  EXPECT_TRUE(button_enabled(embedded.toolbar(), ID_PROTOCOL_RENAME));

  main_instance.SendMessage(WM_COMMAND, ID_PROTOCOL_RENAME);
  ASSERT_TRUE(main_instance.label_editing());
  main_instance.OnIdle();
  EXPECT_FALSE(button_enabled(main_instance.toolbar(), ID_PROTOCOL_DELETE));
  EXPECT_TRUE(button_enabled(main_instance.toolbar(), ID_PROTOCOL_COPY));
  ::SendMessageW(TreeView_GetEditControl(main_instance.tree()), WM_KEYDOWN, VK_ESCAPE, 0);
  pump();
  EXPECT_FALSE(main_instance.label_editing());
  EXPECT_TRUE(m_libraries.m_user.contains(u"A"));
}

TEST_F(ProtocolWindows, RenameRunsAfterTheEditAndARefusedNameShowsItsBox) {
  open_manager();
  auto rename = [&](const wchar_t* from, const wchar_t* to) {
    m_manager.select(true, from);
    m_manager.SendMessage(WM_COMMAND, ID_PROTOCOL_RENAME);
    HWND edit = TreeView_GetEditControl(m_manager.tree());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(::SendMessageW(edit, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
    ::SetWindowTextW(edit, to);
    ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    pump();
  };
  rename(L"A", L" Night ");
  EXPECT_TRUE(m_libraries.m_user.contains(u"Night"));
  EXPECT_FALSE(m_libraries.m_user.contains(u"A"));
  EXPECT_TRUE(m_ui.boxes.empty());
  rename(L"Night", L"B");
  ASSERT_EQ(m_ui.boxes.size(), 1u);
  EXPECT_EQ(m_ui.boxes[0].caption, L"Error renaming protocol");
  EXPECT_EQ(m_ui.boxes[0].text,
            L"Cannot rename \"Night\" to \"B\" : Either a protocol with the name you specified already exists or the "
            L"name is invalid. Specify another name");
  EXPECT_EQ(m_ui.beeps, 1);
  EXPECT_TRUE(m_libraries.m_user.contains(u"Night"));
  m_manager.select(false, L"");  // a folder keeps its label
  m_manager.SendMessage(WM_COMMAND, ID_PROTOCOL_RENAME);
  EXPECT_FALSE(m_manager.label_editing());
  EXPECT_EQ(TreeView_GetEditControl(m_manager.tree()), nullptr);
}

// The tree notifies the end of one edit twice under Wine: the rename runs once.
TEST_F(ProtocolWindows, AnEditEndedFromCodeRenamesOnceWithoutABox) {
  open_manager();
  m_manager.select(true, L"A");
  m_manager.SendMessage(WM_COMMAND, ID_PROTOCOL_RENAME);
  ::SetWindowTextW(TreeView_GetEditControl(m_manager.tree()), L"C");
  TreeView_EndEditLabelNow(m_manager.tree(), FALSE);
  pump();
  EXPECT_TRUE(m_libraries.m_user.contains(u"C"));
  EXPECT_FALSE(m_libraries.m_user.contains(u"A"));
  EXPECT_FALSE(m_manager.label_editing());
  EXPECT_TRUE(m_ui.boxes.empty());
  EXPECT_EQ(m_writes, 1);
}

TEST_F(ProtocolWindows, KeysActOnlyWithTheFocusInsideAndNoLabelEdit) {
  open_manager();
  m_manager.select(true, L"A");
  HWND tree = m_manager.tree();
  MSG f2{tree, WM_KEYDOWN, VK_F2, 0, 0, {0, 0}};
  ::SetFocus(m_owner);
  EXPECT_FALSE(m_manager.TranslateAccelerator(&f2));
  ::SetFocus(tree);
  EXPECT_TRUE(m_manager.TranslateAccelerator(&f2));
  EXPECT_TRUE(m_manager.label_editing());
  MSG del{TreeView_GetEditControl(tree), WM_KEYDOWN, VK_DELETE, 0, 0, {0, 0}};
  EXPECT_FALSE(m_manager.TranslateAccelerator(&del));
  ::SendMessageW(TreeView_GetEditControl(tree), WM_KEYDOWN, VK_ESCAPE, 0);
  pump();
  ::SetFocus(tree);
  dialog_watcher watcher;
  bool asked = false;
  watcher.then([&](HWND d) {
    asked = true;
    post_command(d, IDCANCEL);
  });
  del.hwnd = tree;
  EXPECT_TRUE(m_manager.TranslateAccelerator(&del));
  EXPECT_TRUE(asked);
}

TEST_F(ProtocolWindows, OpenGoesToTheOwnerAndEnterOnAFolderBeeps) {
  open_manager();
  NMHDR enter{m_manager.tree(), 0, static_cast<UINT>(NM_RETURN)};
  m_manager.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&enter));
  EXPECT_EQ(m_ui.beeps, 1);
  EXPECT_TRUE(m_owner.commands.empty());
  m_manager.select(true, L"B");
  m_manager.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&enter));
  m_manager.SendMessage(WM_COMMAND, ID_PROTOCOL_PREVIEW);
  EXPECT_EQ(m_owner.commands, (std::vector<WORD>{ID_PROTOCOL_OPEN, ID_PROTOCOL_PREVIEW}));
  EXPECT_EQ(m_manager.get_tree_item_protocol(TreeView_GetSelection(m_manager.tree())),
            (Orvo::protocol_place{true, u"B"}));
  EXPECT_EQ(m_manager.get_tree_item_protocol(TreeView_GetRoot(m_manager.tree())), std::nullopt);
}

// Reads the open popup menu on a thread timer, then closes it.
struct menu_reader {
  static inline bool open_default = false, open_enabled = true, seen = false;
  static void CALLBACK read(HWND, UINT, UINT_PTR, DWORD) {
    HWND popup = ::FindWindowW(L"#32768", nullptr);
    if (!popup || !::IsWindowVisible(popup)) return;
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
    // The item's own state: under Wine 8 GetMenuDefaultItem gave -1 for this open menu.
    open_default = (::GetMenuState(menu, ID_PROTOCOL_OPEN, MF_BYCOMMAND) & MFS_DEFAULT) != 0;
    open_enabled = !(::GetMenuState(menu, ID_PROTOCOL_OPEN, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    seen = true;
    ::EndMenu();
  }
};

TEST_F(ProtocolWindows, AKeyboardMenuRequestOffersOpenAsDefaultEnabledOnlyInTheMainInstance) {
  open_manager();
  protocol_frame_window embedded(&m_libraries, false);
  ASSERT_TRUE(embedded.create(m_owner, RECT{0, 0, 400, 440}));
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &menu_reader::read);
  for (protocol_frame_window* manager : {&m_manager, &embedded}) {
    menu_reader::seen = false;
    manager->select(true, L"A");
    manager->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(manager->tree()), -1);
    EXPECT_TRUE(menu_reader::seen);
    EXPECT_TRUE(menu_reader::open_default);
    EXPECT_EQ(menu_reader::open_enabled, manager == &m_manager);
  }
  ::KillTimer(nullptr, timer);
}

TEST_F(ProtocolWindows, ARefreshKeepsExpansionAndSelectionByName) {
  open_manager();
  HWND tree = m_manager.tree();
  TreeView_Expand(tree, TreeView_GetRoot(tree), TVE_COLLAPSE);
  m_manager.select(true, L"B");
  m_manager.SendMessage(WM_COMMAND, ID_PROTOCOL_COPY);
  EXPECT_TRUE(m_libraries.m_user.contains(u"Copy of B"));
  EXPECT_EQ(m_manager.selected_protocol(), (Orvo::protocol_place{true, u"B"}));
  EXPECT_FALSE(TreeView_GetItemState(tree, TreeView_GetRoot(tree), TVIS_EXPANDED) & TVIS_EXPANDED);
  m_manager.SendMessage(WM_COMMAND, ID_PROTOCOL_MOVE);
  EXPECT_TRUE(m_libraries.m_common.contains(u"B"));
  EXPECT_EQ(TreeView_GetSelection(tree), TreeView_GetRoot(tree));
}

TEST(ProtocolManagerResources, MenuAcceleratorsAndTipsComeFromTheProgram) {
  const HINSTANCE self = ::GetModuleHandleW(nullptr);
  HMENU menu = ::LoadMenuW(self, MAKEINTRESOURCEW(IDR_PROTOCOL_MANAGER));
  ASSERT_NE(menu, nullptr);
  wchar_t text[64] = L"";
  ::GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(text), L"&Protocol");
  HMENU popup = ::GetSubMenu(menu, 0);
  std::vector<std::wstring> items;
  for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
    text[0] = 0;
    ::GetMenuStringW(popup, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
    items.push_back(std::to_wstring(::GetMenuItemID(popup, i)) + L" " + text);
  }
  EXPECT_EQ(items, (std::vector<std::wstring>{L"3037 &Open", L"3041 &Rename", L"304 &Copy", L"3039 &Move",
                                              L"3036 &Delete", L"0 ", L"3040 &Edit Comment"}));
  ::DestroyMenu(menu);
  HACCEL table = ::LoadAcceleratorsW(self, MAKEINTRESOURCEW(IDR_PROTOCOL_MANAGER));
  ACCEL keys[4] = {};
  ASSERT_EQ(::CopyAcceleratorTableW(table, keys, 4), 2);
  EXPECT_EQ(keys[0].key, VK_DELETE);
  EXPECT_EQ(keys[0].cmd, ID_PROTOCOL_DELETE);
  EXPECT_EQ(keys[1].key, VK_F2);
  EXPECT_EQ(keys[1].cmd, ID_PROTOCOL_RENAME);
  std::vector<std::wstring> tips;
  for (int id : {ID_PROTOCOL_OPEN, ID_PROTOCOL_RENAME, ID_PROTOCOL_COPY, ID_PROTOCOL_MOVE, ID_PROTOCOL_DELETE,
                 ID_PROTOCOL_EDIT_COMMENT, ID_PROTOCOL_PREVIEW}) {
    wchar_t tip[128] = L"";
    ::LoadStringW(self, static_cast<UINT>(id), tip, 128);
    tips.push_back(tip);
  }
  EXPECT_EQ(tips, (std::vector<std::wstring>{L"Open protocol\nOpen protocol", L"Rename protocol\nRename protocol",
                                             L"Copy protocol\nCopy protocol", L"Move protocol\nMove protocol",
                                             L"Delete protocol\nDelete protocol", L"Update Comment\nUpdate Comment",
                                             L"Preview protocol\nPreview protocol"}));
}

// The options dialogs over a real state.
class OptionsDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    Orvo::set_stamp_source(fixed_stamp);
    m_state2 = MakeState(ZeroImages(1));
    m_state = m_state2.as<IAmplifierState>();
    ASSERT_TRUE(m_state);
  }
  void TearDown() override { Orvo::set_stamp_source(nullptr); }
  // The tab texts of the open dialog.
  static std::vector<std::wstring> tabs(HWND dialog) {
    HWND control = ::GetDlgItem(dialog, IDC_OPTION_TABS);
    std::vector<std::wstring> out;
    for (int i = 0; i < TabCtrl_GetItemCount(control); ++i) {
      wchar_t text[128] = L"";
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = text;
      item.cchTextMax = 128;
      TabCtrl_GetItem(control, i, &item);
      out.push_back(text);
    }
    return out;
  }
  static HWND page(HWND dialog) {
    HWND control = ::GetDlgItem(dialog, IDC_OPTION_TABS);
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    TabCtrl_GetItem(control, TabCtrl_GetCurSel(control), &item);
    return reinterpret_cast<HWND>(item.lParam);
  }
  // Shows the page of the tab with that text.
  static void show_tab(HWND dialog, const std::wstring& text) {
    HWND control = ::GetDlgItem(dialog, IDC_OPTION_TABS);
    const std::vector<std::wstring> texts = tabs(dialog);
    const auto found = std::find(texts.begin(), texts.end(), text);
    ASSERT_NE(found, texts.end()) << std::string(text.begin(), text.end());
    TabCtrl_SetCurSel(control, static_cast<int>(found - texts.begin()));
    NMHDR change{control, IDC_OPTION_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    ::SendMessageW(dialog, WM_NOTIFY, IDC_OPTION_TABS, reinterpret_cast<LPARAM>(&change));
  }
  static std::vector<std::wstring> items(HWND list) {
    std::vector<std::wstring> out;
    for (int i = 0; i < ::SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
      wchar_t text[256] = L"";
      ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      out.push_back(text);
    }
    return out;
  }

  orvo::com::ptr<IAmplifierState2> m_state2;
  orvo::com::ptr<IAmplifierState> m_state;
  recording_log m_log;
};

TEST_F(OptionsDialogs, ATabForEveryWritablePropertyInMapOrderAndExactMoves) {
  const Orvo::property_map available = Orvo::make_available_map(m_state.get(), Orvo::property_map{});
  ASSERT_FALSE(available.m_map.empty());
  std::vector<std::wstring> expected_tabs;
  std::wstring several;  // a property of at least three values
  for (const auto& entry : available.m_map) {
    if (!entry.second.empty()) expected_tabs.push_back(to_wstring(entry.first));
    if (several.empty() && entry.second.size() >= 3) several = to_wstring(entry.first);
  }
  ASSERT_FALSE(several.empty());
  Orvo::property_map exclusions;
  std::vector<std::wstring> shown_tabs, included, excluded_after, included_after;
  std::vector<bool> buttons_before, buttons_after;
  dialog_watcher watcher;
  auto buttons = [](HWND p) {
    std::vector<bool> out;
    for (int id : {IDC_ADD_VALUE, IDC_ADD_ALL_VALUES, IDC_REMOVE_VALUE, IDC_REMOVE_ALL_VALUES})
      out.push_back(::IsWindowEnabled(::GetDlgItem(p, id)));
    return out;
  };
  watcher.then([&](HWND d) {
    shown_tabs = tabs(d);
    show_tab(d, several);
    HWND p = page(d);
    HWND include_list = ::GetDlgItem(p, IDC_INCLUDED_LIST);
    included = items(include_list);
    buttons_before = buttons(p);
    select_item(include_list, false, -1);
    select_item(include_list, true, 0);
    select_item(include_list, true, 2);
    post_command(p, IDC_REMOVE_VALUE);
  });
  watcher.then([&](HWND d) {
    HWND p = page(d);
    excluded_after = items(::GetDlgItem(p, IDC_EXCLUDED_LIST));
    included_after = items(::GetDlgItem(p, IDC_INCLUDED_LIST));
    select_item(::GetDlgItem(p, IDC_INCLUDED_LIST), false, -1);
    select_item(::GetDlgItem(p, IDC_EXCLUDED_LIST), false, -1);
    ::SendMessageW(p, WM_COMMAND, MAKEWPARAM(IDC_EXCLUDED_LIST, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(::GetDlgItem(p, IDC_EXCLUDED_LIST)));
    buttons_after = buttons(p);
    post_command(p, IDC_ADD_ALL_VALUES);
  });
  watcher.then([&](HWND d) {
    HWND p = page(d);
    EXPECT_TRUE(items(::GetDlgItem(p, IDC_EXCLUDED_LIST)).empty());
    post_command(p, IDC_REMOVE_ALL_VALUES);
  });
  watcher.then([&](HWND d) { post_command(d, IDOK); });
  ASSERT_EQ(COptionsDlg::Run(m_state.get(), exclusions, m_log), 0);
  EXPECT_EQ(shown_tabs, expected_tabs);
  ASSERT_GE(included.size(), 3u);
  EXPECT_EQ(buttons_before, (std::vector<bool>{false, false, true, true}));
  EXPECT_EQ(excluded_after, (std::vector<std::wstring>{included[0], included[2]}));
  std::vector<std::wstring> rest = included;
  rest.erase(rest.begin() + 2);
  rest.erase(rest.begin());
  EXPECT_EQ(included_after, rest);
  EXPECT_EQ(buttons_after, (std::vector<bool>{false, true, false, true}));
  // After "Remove All" every value of that property is hidden; every other
  // page left an empty list.
  EXPECT_EQ(exclusions.m_map.size(), expected_tabs.size());
  const auto first = exclusions.m_map.find(to_wide_string(several));
  ASSERT_NE(first, exclusions.m_map.end());
  EXPECT_EQ(first->second.size(), included.size());
}

TEST_F(OptionsDialogs, AReadOnlyPropertyHasAPageOnlyWhenItsValuesAreHidden) {
  const Orvo::property_map available = Orvo::make_available_map(m_state.get(), Orvo::property_map{});
  ASSERT_EQ(available.m_map.count(u"Channel Name"), 0u);  // read-only in the state
  Orvo::property_map exclusions;
  std::vector<std::wstring> shown;
  dialog_watcher watcher;
  watcher.then([&](HWND d) {
    shown = tabs(d);
    post_command(d, IDCANCEL);
  });
  EXPECT_EQ(COptionsDlg::Run(m_state.get(), exclusions, m_log), 1);
  EXPECT_EQ(std::find(shown.begin(), shown.end(), L"Channel Name"), shown.end());
  exclusions.m_map[u"Channel Name"] = {u"1"};
  std::vector<std::wstring> group_included, group_excluded;
  watcher.then([&](HWND d) {
    shown = tabs(d);
    show_tab(d, L"Channel Name");
    group_included = items(::GetDlgItem(page(d), IDC_INCLUDED_LIST));
    group_excluded = items(::GetDlgItem(page(d), IDC_EXCLUDED_LIST));
    post_command(d, IDCANCEL);
  });
  EXPECT_EQ(COptionsDlg::Run(m_state.get(), exclusions, m_log), 1);
  EXPECT_TRUE(group_included.empty());
  EXPECT_EQ(group_excluded, (std::vector<std::wstring>{L"1"}));
}

TEST_F(OptionsDialogs, OkStampsTheProtocolAndCancelLeavesItUntouched) {
  Orvo::protocol working;
  const Orvo::protocol before = working;
  dialog_watcher watcher;
  watcher.then([](HWND d) { post_command(d, IDCANCEL); });
  EXPECT_FALSE(Orvo::run_display_options(m_state.get(), working, m_log));
  EXPECT_EQ(working, before);
  watcher.then([](HWND d) { post_command(d, IDOK); });
  EXPECT_TRUE(Orvo::run_display_options(m_state.get(), working, m_log));
  EXPECT_FALSE(working.m_exclusion_set.m_map.empty());
  EXPECT_GT(working.m_modified_time, before.m_modified_time);
}

TEST_F(OptionsDialogs, WithoutAStateTheRunReportsOnceAndGivesTwo) {
  Orvo::property_map exclusions;
  EXPECT_EQ(COptionsDlg::Run(nullptr, exclusions, m_log), 2);
  ASSERT_EQ(m_log.records.size(), 1u);
  EXPECT_EQ(std::get<1>(m_log.records[0]), 3);
  EXPECT_EQ(std::get<2>(m_log.records[0]), E_POINTER);
  EXPECT_TRUE(exclusions.m_map.empty());
}

TEST(UserOptions, ShowsTheFlagsAndOkStoresThemAndSavesTheSession) {
  Orvo::session_data session;
  session.m_open_last_profile = false;
  int saves = 0;
  std::vector<bool> shown;
  dialog_watcher watcher;
  watcher.then([&](HWND d) {
    for (int id : {IDC_SHOW_SPLASH, IDC_OPEN_LAST, IDC_SHOW_SHUTDOWN})
      shown.push_back(::IsDlgButtonChecked(d, id) == BST_CHECKED);
    ::CheckDlgButton(d, IDC_SHOW_SHUTDOWN, BST_UNCHECKED);
    post_command(d, IDCANCEL);
  });
  EXPECT_FALSE(Orvo::run_user_options(nullptr, session, [&] { ++saves; }));
  EXPECT_EQ(shown, (std::vector<bool>{true, false, true}));
  EXPECT_TRUE(session.m_show_shutdown_msg);
  watcher.then([](HWND d) {
    ::CheckDlgButton(d, IDC_SHOW_SHUTDOWN, BST_UNCHECKED);
    ::CheckDlgButton(d, IDC_OPEN_LAST, BST_CHECKED);
    post_command(d, IDOK);
  });
  EXPECT_TRUE(Orvo::run_user_options(nullptr, session, [&] { ++saves; }));
  EXPECT_FALSE(session.m_show_shutdown_msg);
  EXPECT_TRUE(session.m_open_last_profile);
  EXPECT_TRUE(session.m_show_spashscreen);
  EXPECT_EQ(saves, 1);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  _Module.Init(nullptr, ::GetModuleHandleW(nullptr));
  WTL::CMessageLoop loop;
  _Module.AddMessageLoop(&loop);
  UseCapabilitiesLibrary(argv[1]);
  const int result = RUN_ALL_TESTS();
  _Module.RemoveMessageLoop();
  _Module.Term();
  ::CoUninitialize();
  return result;
}
