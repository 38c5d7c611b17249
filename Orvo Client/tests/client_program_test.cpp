// Orvo Client.exe as a user starts it, under wine64 on the test display,
// against the stand-in amplifier server registered in process and then as
// a local server. The test reads the program's windows from outside
// (window texts, the status bar's parts) and ends it the ways a user does:
// the tray menu's Exit and the close dialog's Exit Now.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <oleauto.h>
#include <gtest/gtest.h>

#include <shlobj.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "com/object.h"
#include "core/record_archive.h"
#include "registry/registry_key.h"
#include "res/protocol_manager_resources.h"
#include "res/resource.h"
#include "stand_in_forms.h"
#include "state_walk.h"
#include "stand_in_h.h"
#include "testing/com_test.h"

using orvo::com::ptr;
using namespace orvo::testing;

namespace {

const std::wstring client_program = windows_path(ORVO_CLIENT_PROGRAM);

constexpr wchar_t instance_name[] = L"Orvo_CLIENT_E2B4BBBD_A5C1_4C07_AEEA_785BDFBB7EB1";
constexpr wchar_t installation_error[] = L"An error occured during the Orvo system software instalation process";
constexpr wchar_t untitled[] = L"Untitled* - Orvo - [Hotkey: Ctrl+Alt+D]";
constexpr int status_bar_id = ID_VIEW_STATUS_BAR;  // the status bar's control id
constexpr int exit_now = 6;
constexpr DWORD ended_early = static_cast<DWORD>(-1);

// Polls `done` every 20 ms for up to `seconds`.
bool wait_for(const std::function<bool()>& done, double seconds = 20) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::wstring text_of(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &length))
    return L"<no answer>";
  return text;
}

// Calls `visit` for each top-level window, or each child of `parent`,
// until it answers false.
void each_window(const std::function<bool(HWND)>& visit, HWND parent = nullptr) {
  struct call {
    static BOOL CALLBACK next(HWND window, LPARAM param) {
      return (*reinterpret_cast<const std::function<bool(HWND)>*>(param))(window) ? TRUE : FALSE;
    }
  };
  if (parent) {
    EnumChildWindows(parent, &call::next, reinterpret_cast<LPARAM>(&visit));
  } else {
    EnumWindows(&call::next, reinterpret_cast<LPARAM>(&visit));
  }
}

// The visible top-level windows of a process: the unowned ones, or with a
// caption those bearing it.
std::vector<HWND> windows_of(DWORD process, const wchar_t* caption = nullptr) {
  std::vector<HWND> found;
  each_window([&](HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process && IsWindowVisible(window) &&
        (caption ? text_of(window) == caption : GetWindow(window, GW_OWNER) == nullptr))
      found.push_back(window);
    return true;
  });
  return found;
}

// One run of the program. A run the test could not end is killed.
class client_run {
 public:
  explicit client_run(const std::wstring& arguments = L"") {
    std::wstring line = L"\"" + client_program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    std::vector<wchar_t> text(line.begin(), line.end());
    text.push_back(0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_process))
      ADD_FAILURE() << "the client does not start: error " << GetLastError();
  }
  ~client_run() {
    if (m_process.hProcess && WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
      ADD_FAILURE() << "the client was still running and is killed";
      TerminateProcess(m_process.hProcess, 99);
      WaitForSingleObject(m_process.hProcess, 5000);
    }
    if (m_process.hProcess) CloseHandle(m_process.hProcess);
    if (m_process.hThread) CloseHandle(m_process.hThread);
  }
  client_run(const client_run&) = delete;
  client_run& operator=(const client_run&) = delete;

  DWORD id() const { return m_process.dwProcessId; }

  // The main window once it is shown, else null.
  HWND main_window(double seconds = 30) {
    HWND found = nullptr;
    wait_for(
        [&] {
          for (HWND window : windows_of(id()))
            if (GetDlgItem(window, status_bar_id)) found = window;
          return found != nullptr;
        },
        seconds);
    return found;
  }
  // The exit code once the program has ended, else STILL_ACTIVE.
  DWORD exit_code(DWORD milliseconds = 30000) {
    WaitForSingleObject(m_process.hProcess, milliseconds);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process.hProcess, &code);
    return code;
  }
  // A shown window of the program with that caption, else null.
  HWND window_captioned(const wchar_t* caption, double seconds = 20) {
    HWND found = nullptr;
    wait_for(
        [&] {
          const auto all = windows_of(id(), caption);
          found = all.empty() ? nullptr : all.front();
          return found != nullptr;
        },
        seconds);
    return found;
  }

 private:
  PROCESS_INFORMATION m_process{};
};

std::wstring pane_0(HWND main) { return text_of(GetDlgItem(main, status_bar_id)); }

// The right edges of the status bar's parts, read through a buffer in the
// program's own memory.
std::vector<int> status_parts(HWND main, DWORD process) {
  HWND bar = GetDlgItem(main, status_bar_id);
  HANDLE target = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
  if (!target) return {};
  void* buffer = VirtualAllocEx(target, nullptr, 256 * sizeof(int), MEM_COMMIT, PAGE_READWRITE);
  std::vector<int> parts(256);
  const int count = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 256, reinterpret_cast<LPARAM>(buffer)));
  SIZE_T read = 0;
  ReadProcessMemory(target, buffer, parts.data(), parts.size() * sizeof(int), &read);
  VirtualFreeEx(target, buffer, 0, MEM_RELEASE);
  CloseHandle(target);
  parts.resize(count > 0 ? static_cast<size_t>(count) : 0);
  return parts;
}

// The text of a message box: its static control's.
std::wstring box_text(HWND box) {
  std::wstring text;
  each_window(
      [&](HWND child) {
        wchar_t kind[32] = {};
        GetClassNameW(child, kind, 32);
        const std::wstring content = text_of(child);
        if (_wcsicmp(kind, L"Static") == 0 && !content.empty()) text = content;
        return true;
      },
      box);
  return text;
}

std::wstring system_text(HRESULT hr) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 static_cast<DWORD>(hr), 0x400, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring result = text ? text : L"";
  LocalFree(text);
  return result;
}

// Ends a run through the tray menu's Exit: the window goes at once.
void exit_from_tray(HWND main) { PostMessageW(main, WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0); }

// Ends a run through the close dialog's Exit Now (the dialog is the
// program's shown window that holds a button 6); with `modified` the
// question about saving the modified protocol follows and is answered No.
void exit_now_from_close_dialog(client_run& run, HWND main, bool modified = true) {
  PostMessageW(main, WM_CLOSE, 0, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(wait_for([&] {
    each_window([&](HWND window) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == run.id() && IsWindowVisible(window) && GetDlgItem(window, exit_now)) dialog = window;
      return dialog == nullptr;
    });
    return dialog != nullptr;
  })) << "no close dialog";
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(exit_now, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, exit_now)));
  if (!modified) return;
  HWND question = run.window_captioned(L"Warning");
  ASSERT_NE(question, nullptr) << "no question about the modified protocol";
  EXPECT_EQ(box_text(question), L"Current protocol has been modified. Save?");
  PostMessageW(question, WM_COMMAND, IDNO, 0);
}

class ClientProgram : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    orvo::registry::key::create(HKEY_LOCAL_MACHINE, L"Software\\Quarnell Limited\\Orvo")
        .write_string(L"Provider", windows_path(ORVO_CAPABILITIES));
    register_stand_in(false);
  }
  static void TearDownTestSuite() { unregister_stand_in(); }
};

TEST_F(ClientProgram, StartsWithItsTitleAndStatusBarAndEndsFromTheTrayWithZero) {
  client_run run;
  HWND main = run.main_window();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(wait_for([&] { return text_of(main) == untitled; })) << text_of(main);
  EXPECT_TRUE(wait_for([&] { return pane_0(main) == L"Ready"; })) << pane_0(main);
  // Panes 0 to 3 and the stand-in's one property ("Server").
  EXPECT_EQ(status_parts(main, run.id()).size(), 5u);
  exit_from_tray(main);
  EXPECT_EQ(run.exit_code(), 0u);
}

TEST_F(ClientProgram, ASecondStartBringsTheFirstToTheFrontAndEnds) {
  client_run first;
  HWND main = first.main_window();
  ASSERT_NE(main, nullptr);
  {
    client_run second;
    EXPECT_EQ(second.exit_code(), ended_early);
    EXPECT_TRUE(windows_of(second.id()).empty());
  }
  EXPECT_TRUE(wait_for([&] { return GetForegroundWindow() == main; }));
  // In the tray: hidden and minimised; a second start restores it.
  PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(wait_for([&] { return IsIconic(main) && !IsWindowVisible(main); }));
  {
    client_run second;
    EXPECT_EQ(second.exit_code(), ended_early);
  }
  EXPECT_TRUE(wait_for([&] { return IsWindowVisible(main) && !IsIconic(main); }));
  exit_from_tray(main);
  EXPECT_EQ(first.exit_code(), 0u);
}

TEST_F(ClientProgram, WithMASecondClientRunsBeside) {
  client_run first;
  HWND main = first.main_window();
  ASSERT_NE(main, nullptr);
  client_run second(L"-m");
  HWND beside = second.main_window();
  ASSERT_NE(beside, nullptr);
  EXPECT_NE(beside, main);
  exit_from_tray(beside);
  EXPECT_EQ(second.exit_code(), 0u);
  exit_from_tray(main);
  EXPECT_EQ(first.exit_code(), 0u);
}

TEST_F(ClientProgram, AWindowThatNeverAnswersDoesNotStopTheStart) {
  // What a hung first client leaves: its mutex, and a window whose thread
  // reads no messages.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, instance_name);
  HANDLE made = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread decoy([&] {
    HWND window = CreateWindowExW(0, L"STATIC", L"Orvo - [Hotkey: Ctrl+Alt+D]", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  200, 100, nullptr, nullptr, nullptr, nullptr);
    SetEvent(made);
    WaitForSingleObject(release, INFINITE);
    DestroyWindow(window);
  });
  WaitForSingleObject(made, INFINITE);
  {
    client_run run;
    HWND main = run.main_window();
    EXPECT_NE(main, nullptr);
    if (main) exit_from_tray(main);
    EXPECT_EQ(run.exit_code(), 0u);
  }
  SetEvent(release);
  decoy.join();
  CloseHandle(made);
  CloseHandle(release);
  CloseHandle(mutex);
}

// The installer knows no such product here (1605): the repair fails.
void repair_box_shows_and_the_start_ends(client_run& run) {
  HWND box = run.window_captioned(installation_error);
  ASSERT_NE(box, nullptr);
  const std::wstring unknown_product = system_text(static_cast<HRESULT>(0x80070645));
  EXPECT_FALSE(unknown_product.empty());
  EXPECT_EQ(box_text(box), unknown_product);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(run.exit_code(), ended_early);
  EXPECT_TRUE(windows_of(run.id()).empty());
}

TEST_F(ClientProgram, IShowsTheRepairBoxWhenTheRepairFailsAndEndsAlsoBesideARunningClient) {
  {
    client_run repair(L"-i");
    repair_box_shows_and_the_start_ends(repair);
  }
  client_run first;
  HWND main = first.main_window();
  ASSERT_NE(main, nullptr);
  {
    client_run repair(L"/I");
    repair_box_shows_and_the_start_ends(repair);
  }
  exit_from_tray(main);
  EXPECT_EQ(first.exit_code(), 0u);
}

// The program's data files in this prefix: the session and the user's
// library in the user data folder, the common library in the common one.
class program_files {
 public:
  program_files() : m_user(folder(CSIDL_APPDATA)), m_common(folder(CSIDL_COMMON_APPDATA)) { remove(); }
  ~program_files() { remove(); }
  program_files(const program_files&) = delete;
  program_files& operator=(const program_files&) = delete;

  std::wstring session() const { return m_user + L"\\Quarnell\\Orvo\\options.xml"; }
  std::wstring library(bool user) const { return (user ? m_user : m_common) + L"\\Quarnell\\Orvo\\protocols.xml"; }
  std::vector<std::wstring> all() const { return {session(), library(true), library(false)}; }
  // Each file's bytes, and with `old` its ".old" copy's; "<none>" when missing.
  std::vector<std::string> contents(bool old = false) const {
    std::vector<std::string> bytes;
    for (const std::wstring& path : all()) bytes.push_back(read(old ? path + L".old" : path));
    return bytes;
  }
  Orvo::session_data read_session() const {
    std::istringstream in(read(session()));
    Orvo::session_data data;
    Orvo::read_session(in, data);
    return data;
  }

 private:
  static std::wstring folder(int id) {
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, id | CSIDL_FLAG_CREATE, nullptr, 0, path);
    return path;
  }
  static std::string read(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return "<none>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void remove() const {
    for (const std::wstring& base : {m_user, m_common}) remove_folder(base + L"\\Quarnell");
  }
  std::wstring m_user, m_common;
};

std::wstring title_of(const std::wstring& name, bool user) {
  return name + (user ? L" - [User specific] " : L" - [Common] ") + L" - Orvo - [Hotkey: Ctrl+Alt+D]";
}

// Saves the working protocol through Save Protocol As under a new name;
// true once the title names it.
bool save_as(client_run& run, HWND main, const std::wstring& name, bool user) {
  PostMessageW(main, WM_COMMAND, ID_SAVE_PROTOCOL_AS, 0);
  HWND dialog = run.window_captioned(L"Save Protocol As...");
  if (!dialog) return false;
  const int library = user ? IDC_USER_LIBRARY : IDC_COMMON_LIBRARY;
  SendMessageW(GetDlgItem(dialog, IDC_PROTOCOL_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(library, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, library)));
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  return wait_for([&] { return text_of(main) == title_of(name, user); });
}

// The stand-in in a process of its own, steered through its control.
class ClientProgramLocalServer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    unregister_stand_in();
    register_stand_in(true);
  }
  static void TearDownTestSuite() { unregister_stand_in(); }
};

TEST_F(ClientProgramLocalServer, FollowsTheServersEventsEndsByExitNowAndTheServerEndsAfterIt) {
  program_files files;
  ptr<IStandInControl> control;
  ASSERT_EQ(
      CoCreateInstance(CLSID_StandInControl, nullptr, CLSCTX_LOCAL_SERVER, IID_IStandInControl, control.put_void()),
      S_OK);
  ASSERT_EQ(control->Defaults(), S_OK);
  VARIANT version;
  version.vt = VT_BSTR;
  version.bstrVal = SysAllocString(L"2.1");
  BSTR firmware = SysAllocString(L"Firmware");
  EXPECT_EQ(control->AddProperty(firmware, version), S_OK);
  SysFreeString(firmware);
  VariantClear(&version);
  LONG server_id = 0;
  ASSERT_EQ(control->get_ProcessId(&server_id), S_OK);
  HANDLE server = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(server_id));
  ASSERT_NE(server, nullptr);

  client_run run;
  HWND main = run.main_window();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(wait_for([&] { return pane_0(main) == L"Ready"; })) << pane_0(main);
  EXPECT_EQ(text_of(main), untitled);
  EXPECT_EQ(status_parts(main, run.id()).size(), 6u) << "a pane for each of the server's two properties";

  BSTR description = SysAllocString(L"Amplifier 1 lost");
  EXPECT_EQ(control->FireError(0, description), S_OK);
  SysFreeString(description);
  EXPECT_TRUE(wait_for([&] { return pane_0(main) == L"An error occurred communicating with the Orvo System"; }))
      << pane_0(main);
  BSTR none = SysAllocString(L"");
  EXPECT_EQ(control->FireInitialize(1, none), S_OK);
  SysFreeString(none);
  EXPECT_TRUE(wait_for([&] { return pane_0(main) == L"Ready"; })) << pane_0(main);

  BSTR log = nullptr;
  ASSERT_EQ(control->get_CallLog(&log), S_OK);
  const std::wstring calls(log ? log : L"", SysStringLen(log));
  SysFreeString(log);
  std::size_t initializations = 0;
  for (std::size_t at = calls.find(L"Initialize("); at != std::wstring::npos; at = calls.find(L"Initialize(", at + 1))
    ++initializations;
  EXPECT_EQ(initializations, 1u) << calls;
  EXPECT_NE(calls.find(L"Initialize(false)"), std::wstring::npos) << calls;

  // Only the client holds the server now.
  control = nullptr;
  exit_now_from_close_dialog(run, main);
  EXPECT_EQ(run.exit_code(), 0u);
  EXPECT_EQ(WaitForSingleObject(server, 20000), WAIT_OBJECT_0) << "the server outlives its last client";
  CloseHandle(server);
}

// The stand-in in a process of its own holding a state that reads back
// unchanged, so that a saved protocol counts as unmodified; each case
// starts and ends without data files.
class ClientProgramDataFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    unregister_stand_in();
    register_stand_in(true);
  }
  static void TearDownTestSuite() { unregister_stand_in(); }
  void SetUp() override {
    ASSERT_EQ(
        CoCreateInstance(CLSID_StandInControl, nullptr, CLSCTX_LOCAL_SERVER, IID_IStandInControl, control.put_void()),
        S_OK);
    reset();
  }
  // The stand-in back at its first state with its call log emptied.
  void reset() {
    ASSERT_EQ(control->Defaults(), S_OK);
    BSTR text = nullptr;
    ASSERT_EQ(control->get_State(&text), S_OK);
    first_state.assign(text, SysStringLen(text));
    SysFreeString(text);
  }
  std::wstring call_log() {
    BSTR text = nullptr;
    control->get_CallLog(&text);
    const std::wstring log(text ? text : L"", SysStringLen(text));
    SysFreeString(text);
    return log;
  }

  ptr<IStandInControl> control;
  std::wstring first_state;
  program_files files;
};

TEST_F(ClientProgramDataFiles, ExitNowWritesTheThreeFilesKeepingTheLastInOldAndATrayExitWritesNothing) {
  {
    client_run run;
    HWND main = run.main_window();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(wait_for([&] { return pane_0(main) == L"Ready"; }));
    EXPECT_TRUE(save_as(run, main, L"Mine", true)) << text_of(main);
    EXPECT_TRUE(save_as(run, main, L"Shared", false)) << text_of(main);
    exit_now_from_close_dialog(run, main, false);
    EXPECT_EQ(run.exit_code(), 0u);
  }
  const std::vector<std::string> first = files.contents();
  for (const std::string& bytes : first) EXPECT_NE(bytes, "<none>");
  reset();
  {
    // The last protocol saved is open again.
    client_run run;
    HWND main = run.main_window();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(wait_for([&] { return text_of(main) == title_of(L"Shared", false); })) << text_of(main);
    EXPECT_NE(call_log().find(L"SetState(8, " + first_state + L")"), std::wstring::npos) << call_log();
    EXPECT_TRUE(save_as(run, main, L"Also mine", true)) << text_of(main);
    EXPECT_TRUE(save_as(run, main, L"Also shared", false)) << text_of(main);
    exit_now_from_close_dialog(run, main, false);
    EXPECT_EQ(run.exit_code(), 0u);
  }
  EXPECT_EQ(files.contents(true), first);
  const std::vector<std::string> second = files.contents();
  {
    client_run run;
    HWND main = run.main_window();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(wait_for([&] { return text_of(main) == title_of(L"Also shared", false); })) << text_of(main);
    SendMessageW(main, WM_COMMAND, ID_VIEW_TOOLBAR, 0);
    SetWindowPos(main, nullptr, 40, 50, 600, 450, SWP_NOZORDER);
    exit_from_tray(main);
    EXPECT_EQ(run.exit_code(), 0u);
  }
  EXPECT_EQ(files.contents(), second);
  EXPECT_EQ(files.contents(true), first);
}

TEST_F(ClientProgramDataFiles, UserOptionsAreWrittenAtOnceAndALastProtocolGoneFromItsFileIsForgotten) {
  {
    client_run run;
    HWND main = run.main_window();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(wait_for([&] { return pane_0(main) == L"Ready"; }));
    EXPECT_TRUE(save_as(run, main, L"Passing", false)) << text_of(main);
    PostMessageW(main, WM_COMMAND, ID_VIEW_USER_OPTIONS, 0);
    HWND options = run.window_captioned(L"Options");
    ASSERT_NE(options, nullptr);
    SendMessageW(GetDlgItem(options, IDC_SHOW_SPLASH), BM_SETCHECK, BST_UNCHECKED, 0);
    PostMessageW(options, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(wait_for([&] { return !IsWindow(options); }));
    exit_from_tray(main);
    EXPECT_EQ(run.exit_code(), 0u);
  }
  Orvo::session_data session = files.read_session();
  EXPECT_FALSE(session.m_show_spashscreen);
  EXPECT_EQ(session.m_last_protocol_name, u"Passing");
  DeleteFileW(files.library(false).c_str());
  reset();
  {
    client_run run;
    HWND main = run.main_window();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(wait_for([&] { return pane_0(main) == L"Ready"; }));
    EXPECT_EQ(text_of(main), untitled);
    EXPECT_EQ(call_log().find(L"SetState("), std::wstring::npos) << call_log();
    exit_now_from_close_dialog(run, main);
    EXPECT_EQ(run.exit_code(), 0u);
  }
  session = files.read_session();
  EXPECT_TRUE(session.m_last_protocol_name.empty());
  EXPECT_TRUE(session.m_last_protocol_local);
  EXPECT_FALSE(session.m_show_spashscreen);
}

std::wstring class_of(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

RECT rect_in(HWND window, HWND parent) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The first window below `root` (or, without one, of the process) of that
// class whose parent passes `parent_test`.
HWND find_window(DWORD process, HWND root, const wchar_t* kind, const std::function<bool(HWND)>& parent_test) {
  HWND found = nullptr;
  each_window(
      [&](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process && class_of(window) == kind && parent_test(GetParent(window))) found = window;
        return found == nullptr;
      },
      root);
  return found;
}

// A splitter's two panes, first the left or upper one.
std::pair<RECT, RECT> splitter_panes(HWND splitter) {
  std::vector<RECT> panes;
  for (HWND child = GetWindow(splitter, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsWindowVisible(child)) panes.push_back(rect_in(child, splitter));
  if (panes.size() != 2) return {};
  if (panes[1].left < panes[0].left || panes[1].top < panes[0].top) std::swap(panes[0], panes[1]);
  return {panes[0], panes[1]};
}

// The program's layout as another process sees it.
class seen_layout {
 public:
  seen_layout(client_run& run, HWND main) : m_run(run), m_main(main) {}

  HWND overview_splitter() const {
    return find_window(m_run.id(), m_main, L"zel::dynamic_splitter",
                       [](HWND parent) { return class_of(parent) == L"TabbedChildWindow"; });
  }
  HWND detail_splitter() const {
    const HWND overview = overview_splitter();
    return find_window(m_run.id(), m_main, L"zel::dynamic_splitter", [&](HWND parent) { return parent == overview; });
  }
  // The protocol manager's pane, docked in the frame or floating.
  HWND pane() const {
    const auto any = [](HWND) { return true; };
    HWND found = find_window(m_run.id(), m_main, L"zel::docking_window_holder", any);
    return found ? found : find_window(m_run.id(), nullptr, L"zel::docking_window_holder", any);
  }
  LONG pane_width() const {
    RECT r{};
    GetWindowRect(pane(), &r);
    return r.right - r.left;
  }
  bool pane_docked() const { return (GetWindowLongW(pane(), GWL_STYLE) & WS_CHILD) != 0; }
  // Where a splitter's bar is: the right or lower edge of its first pane.
  static int splitter_position(HWND splitter, bool vertical) {
    const RECT first = splitter_panes(splitter).first;
    return vertical ? first.right : first.bottom;
  }

  // Every measure the session keeps, as numbers to compare.
  std::vector<LONG> measures() const {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(m_main, &placement);
    const RECT& frame = placement.rcNormalPosition;
    const HWND holder = pane();
    RECT pane_rect{};
    GetWindowRect(holder, &pane_rect);
    const bool shown = IsWindowVisible(holder) != FALSE;
    std::vector<LONG> all{frame.left,
                          frame.top,
                          frame.right,
                          frame.bottom,
                          static_cast<LONG>(placement.showCmd),
                          splitter_position(overview_splitter(), true),
                          splitter_position(detail_splitter(), false),
                          shown,
                          pane_docked()};
    if (shown) all.insert(all.end(), {pane_rect.left, pane_rect.top, pane_rect.right, pane_rect.bottom});
    return all;
  }

 private:
  client_run& m_run;
  HWND m_main;
};

// Drags a splitter's bar by `distance` with the messages a user's drag
// sends it.
void drag_splitter(HWND splitter, bool vertical, int distance) {
  const auto [first, second] = splitter_panes(splitter);
  POINT at = vertical ? POINT{(first.right + second.left) / 2, first.top + 20}
                      : POINT{first.left + 20, (first.bottom + second.top) / 2};
  SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  (vertical ? at.x : at.y) += distance;
  SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  SendMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// Drags the bar between the tabbed area and the docked pane's column
// `distance` to the left: the frame runs its own drag loop, fed here.
void widen_docked_pane(HWND main, HWND pane, int distance) {
  const RECT column = rect_in(GetParent(pane), main);
  const POINT at{column.left - 2, (column.top + column.bottom) / 2};
  PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  PostMessageW(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x - distance, at.y));
  PostMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(at.x - distance, at.y));
}

// Input as the user's mouse and keyboard give it, at a screen point.
void mouse_input(DWORD flags, POINT at) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
  Sleep(50);
}

void key_input(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

// Drags the docked pane by its caption to `to` (screen) with Ctrl held,
// so that nothing takes it: it floats there.
void float_pane(HWND pane, POINT to) {
  RECT r{};
  GetWindowRect(pane, &r);
  const POINT grab{r.left + 30, r.top + 6};
  mouse_input(0, grab);
  mouse_input(MOUSEEVENTF_LEFTDOWN, grab);
  key_input(VK_CONTROL, false);
  mouse_input(0, {grab.x - 20, grab.y + 20});
  mouse_input(0, to);
  mouse_input(MOUSEEVENTF_LEFTUP, to);
  key_input(VK_CONTROL, true);
}

// Starts the program, lets `act` look and move things once it is ready,
// and ends the run by Exit Now.
void run_and_exit_now(const std::function<void(client_run&, HWND, const seen_layout&)>& act) {
  client_run run;
  HWND main = run.main_window();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(wait_for([&] { return pane_0(main) == L"Ready"; })) << pane_0(main);
  act(run, main, seen_layout(run, main));
  exit_now_from_close_dialog(run, main);
  EXPECT_EQ(run.exit_code(), 0u);
}

TEST_F(ClientProgramDataFiles, TheFrameSplittersAndManagerPaneALeftRunHadAreWhatTheNextRunShows) {
  std::vector<LONG> left;
  // The next run shows what the last one left, then moves on.
  const auto shows_what_was_left = [&](const seen_layout& seen) {
    EXPECT_TRUE(wait_for([&] { return seen.measures() == left; }, 5))
        << "left " << testing::PrintToString(left) << ", shown " << testing::PrintToString(seen.measures());
  };
  run_and_exit_now([&](client_run&, HWND main, const seen_layout& seen) {
    SetWindowPos(main, nullptr, 60, 40, 900, 720, SWP_NOZORDER);
    const LONG docked_width = seen.pane_width();
    widen_docked_pane(main, seen.pane(), 80);
    EXPECT_TRUE(wait_for([&] { return seen.pane_width() == docked_width + 80; }, 5)) << seen.pane_width();
    const int overview = seen_layout::splitter_position(seen.overview_splitter(), true);
    const int detail = seen_layout::splitter_position(seen.detail_splitter(), false);
    drag_splitter(seen.overview_splitter(), true, 40);
    drag_splitter(seen.detail_splitter(), false, -60);
    EXPECT_EQ(seen_layout::splitter_position(seen.overview_splitter(), true), overview + 40);
    EXPECT_EQ(seen_layout::splitter_position(seen.detail_splitter(), false), detail - 60);
    left = seen.measures();
  });
  run_and_exit_now([&](client_run&, HWND, const seen_layout& seen) {
    shows_what_was_left(seen);
    float_pane(seen.pane(), {1000, 300});
    EXPECT_TRUE(wait_for([&] { return !seen.pane_docked() && IsWindowVisible(seen.pane()); }, 5));
    left = seen.measures();
  });
  run_and_exit_now([&](client_run&, HWND main, const seen_layout& seen) {
    shows_what_was_left(seen);
    PostMessageW(main, WM_COMMAND, ID_VIEW_PROTOCOL_MANAGER, 0);
    EXPECT_TRUE(wait_for([&] { return !IsWindowVisible(seen.pane()); }, 5));
    left = seen.measures();
  });
  run_and_exit_now([&](client_run&, HWND, const seen_layout& seen) { shows_what_was_left(seen); });
}

TEST_F(ClientProgramDataFiles, StoredPlacementsItCannotTakeShowTheFrameNormallyOnScreenWithTheSplittersInside) {
  run_and_exit_now([](client_run&, HWND, const seen_layout&) {});
  Orvo::session_data session = files.read_session();
  ASSERT_EQ(session.m_mainframe_pos.length, 44u) << "a first run records the whole placement";
  struct stored {
    const char* name;
    std::uint32_t length, show;
    RECT normal;
    std::int32_t overview, detail;
  };
  for (const stored& s : {stored{"length 40", 40, SW_SHOWNORMAL, {50, 50, 700, 600}, 5000, -20},
                          stored{"off every monitor", 44, SW_SHOWNORMAL, {-9000, -9000, -8000, -8000}, -20, 5000},
                          stored{"minimised", 44, SW_SHOWMINIMIZED, {50, 50, 700, 600}, 5000, -20}}) {
    Orvo::window_placement_record& placement = session.m_mainframe_pos;
    placement.length = s.length;
    placement.show_command = s.show;
    placement.left = s.normal.left;
    placement.top = s.normal.top;
    placement.right = s.normal.right;
    placement.bottom = s.normal.bottom;
    session.m_wndSplitPos = s.overview;
    session.m_wndSplitHorPos = s.detail;
    {
      std::ofstream out(files.session().c_str(), std::ios::binary | std::ios::trunc);
      Orvo::write_session(out, session);
    }
    run_and_exit_now([&](client_run&, HWND main, const seen_layout& seen) {
      EXPECT_FALSE(IsIconic(main)) << s.name;
      WINDOWPLACEMENT shown{};
      shown.length = sizeof shown;
      GetWindowPlacement(main, &shown);
      EXPECT_EQ(shown.showCmd, static_cast<UINT>(SW_SHOWNORMAL)) << s.name;
      EXPECT_NE(MonitorFromWindow(main, MONITOR_DEFAULTTONULL), nullptr) << s.name;
      for (const bool vertical : {true, false}) {
        const HWND splitter = vertical ? seen.overview_splitter() : seen.detail_splitter();
        RECT area{};
        GetClientRect(splitter, &area);
        const int position = seen_layout::splitter_position(splitter, vertical);
        EXPECT_GE(position, 0) << s.name;
        EXPECT_LT(position, vertical ? area.right : area.bottom) << s.name;
      }
    });
  }
}

}  // namespace
