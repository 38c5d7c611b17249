// The client's start and end in this process: the start-up and shut-down
// steps around a stand-in main window, the repair's installer calls and the
// fatal-error box (answered by the message-box hook). What a user sees of a
// second start, the repair box and the exits: client_program_test.
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "client_start.h"
#include "core/command_line.h"
#include "orvo_module.h"
#include "ui_seams.h"
#include "win/window_impl.h"

namespace {

constexpr UINT deferred_start = WM_APP + 1000;

// Stands in for the main frame: created hidden, shown by its deferred
// start (where the test acts), and at its end it releases the module's lock
// with time-out and pause cleared, closes the instance mutex and quits with 0.
class stand_in_frame : public WTL::CWindowImpl<stand_in_frame>, public Orvo::main_window {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.Test.StandInFrame"}; }
  std::function<void(HWND)> on_started;
  bool refuse_creation = false;

  HWND create() override {
    if (refuse_creation) return nullptr;
    HWND window = Create(nullptr, rcDefault, L"Orvo test main window", WS_OVERLAPPEDWINDOW);
    if (window) PostMessage(deferred_start);
    return window;
  }
  bool session_shows_splash() const override { return true; }

  BEGIN_MSG_MAP(stand_in_frame)
  MESSAGE_HANDLER(deferred_start, OnDeferredStart)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

  LRESULT OnDeferredStart(UINT, WPARAM, LPARAM, BOOL&) {
    ShowWindow(SW_SHOWNORMAL);
    if (on_started) on_started(m_hWnd);
    return 0;
  }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    if (_Module.GetLockCount() == 1) _Module.m_dwTimeOut = _Module.m_dwPause = 0;
    _Module.Unlock();
    _Module.CloseInstanceMutex();
    ::PostQuitMessage(0);
    return 0;
  }
};

struct shown_box {
  HWND owner;
  HINSTANCE instance;
  std::wstring text, caption;
  DWORD style;
  const wchar_t* icon;
};

// What the module looked like while the main window ran.
struct running_module {
  bool ran = false;
  LONG locks = 0;
  bool mutex_held = false, loop_registered = false;
  bool show_splash = false, second_instance = false, repair = false, skip_data_files = false;
};

class ClientStart : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_box = Orvo::set_message_box_hook([this](const MSGBOXPARAMSW& p) {
      boxes.push_back({p.hwndOwner, p.hInstance, p.lpszText ? p.lpszText : L"", p.lpszCaption ? p.lpszCaption : L"",
                       p.dwStyle, p.lpszIcon});
      return IDOK;
    });
  }
  void TearDown() override {
    Orvo::set_message_box_hook(previous_box);
    _Module.m_installer = installer_calls();
    // The shutdown monitor's own quit message may follow the main window's.
    MSG message;
    while (::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  // Runs the client on `line` with a stand-in frame that records the
  // module and then ends itself.
  int run(const wchar_t* line) {
    return Orvo::run_client(line, ::GetModuleHandleW(nullptr), [this] {
      auto frame = std::make_unique<stand_in_frame>();
      frame->refuse_creation = refuse_creation;
      frame->on_started = [this](HWND window) {
        seen.ran = true;
        seen.locks = _Module.GetLockCount();
        seen.mutex_held = _Module.m_instance_mutex != nullptr;
        seen.loop_registered = _Module.GetMessageLoop() != nullptr;
        seen.show_splash = _Module.m_show_splash;
        seen.second_instance = _Module.m_allow_second_instance;
        seen.repair = _Module.m_repair_installation;
        seen.skip_data_files = _Module.m_skip_data_files;
        ::DestroyWindow(window);
      };
      ++frames_made;
      if (throw_from_factory) throw std::runtime_error("the main window cannot be made");
      return std::unique_ptr<Orvo::main_window>(std::move(frame));
    });
  }

  static bool instance_mutex_exists() {
    HANDLE mutex = ::OpenMutexW(SYNCHRONIZE, FALSE, COrvoModule::instance_name);
    if (!mutex) return false;
    ::CloseHandle(mutex);
    return true;
  }

  Orvo::message_box_hook previous_box;
  std::vector<shown_box> boxes;
  running_module seen;
  int frames_made = 0;
  bool refuse_creation = false, throw_from_factory = false;
};

TEST_F(ClientStart, RunsTheLoopUntilTheMainWindowEndsAndReturnsItsResult) {
  EXPECT_EQ(run(L"\"C:\\Orvo\\Orvo Client.exe\""), 0);
  ASSERT_TRUE(seen.ran);
  EXPECT_EQ(seen.locks, 1) << "one lock for the main window";
  EXPECT_TRUE(seen.mutex_held);
  EXPECT_TRUE(seen.loop_registered);
  EXPECT_TRUE(boxes.empty());
  // Shut down: lock released, mutex closed, loop removed.
  EXPECT_EQ(_Module.GetLockCount(), 0);
  EXPECT_FALSE(instance_mutex_exists());
  EXPECT_EQ(_Module.GetMessageLoop(), nullptr);
}

TEST_F(ClientStart, SwitchesAfterTheProgramPathReachTheModule) {
  ASSERT_EQ(run(L"\"C:\\x-b\\Orvo Client.exe\" /s -M"), 0);
  EXPECT_FALSE(seen.show_splash);
  EXPECT_TRUE(seen.second_instance);
  EXPECT_FALSE(seen.skip_data_files);
  EXPECT_FALSE(seen.repair);
}

// The path as the switch scan cuts it, without its quotes.
std::wstring skipped_path(const wchar_t* line) {
  std::wstring path(line, Orvo::program_path_end(reinterpret_cast<const char16_t*>(line)));
  if (!path.empty() && path.front() == L'"') path.erase(0, 1);
  if (!path.empty() && path.back() == L'"') path.pop_back();
  return path;
}

TEST(ProgramPath, IsTheFirstArgumentTheSystemReads) {
  for (const wchar_t* line : {L"\"C:\\x-b\\Orvo Client.exe\" -m", L"C:\\x-b\\client.exe -m", L"C:\\a\\c.exe\t-m",
                              L"\"C:\\a b\\c.exe\"-m", L"\"C:\\a -b", L" -m"}) {
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(line, &count);
    ASSERT_NE(arguments, nullptr);
    EXPECT_EQ(std::wstring(arguments[0]), skipped_path(line)) << line;
    ::LocalFree(arguments);
  }
}

TEST_F(ClientStart, FailedMainWindowEndsSilentlyAfterTheShutDownSteps) {
  refuse_creation = true;
  EXPECT_EQ(run(L"client.exe"), -1);
  EXPECT_FALSE(seen.ran);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(_Module.GetLockCount(), 0);
  EXPECT_FALSE(instance_mutex_exists());
  EXPECT_EQ(_Module.GetMessageLoop(), nullptr);
}

TEST_F(ClientStart, AnExceptionDuringTheStartShowsTheFatalErrorBoxAndEnds) {
  throw_from_factory = true;
  EXPECT_EQ(run(L"client.exe"), -1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"Orvo Client Error");
  EXPECT_EQ(boxes[0].text, L"the main window cannot be made");
  EXPECT_EQ(boxes[0].style, static_cast<DWORD>(MB_USERICON));
  EXPECT_EQ(boxes[0].icon, MAKEINTRESOURCEW(128)) << "the program's first icon";
  EXPECT_EQ(boxes[0].instance, ::GetModuleHandleW(nullptr));
  EXPECT_FALSE(instance_mutex_exists());
  EXPECT_EQ(_Module.GetMessageLoop(), nullptr);
}

TEST_F(ClientStart, AModuleStillHoldingTheMutexCannotStartAgain) {
  HANDLE left = ::CreateMutexW(nullptr, FALSE, nullptr);
  _Module.m_instance_mutex = left;
  EXPECT_EQ(run(L"client.exe"), -1);
  EXPECT_EQ(frames_made, 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"Orvo Client Error");
  _Module.CloseInstanceMutex();
  EXPECT_EQ(run(L"client.exe"), 0) << "a module that let go of its mutex starts";
}

// The installer's calls as the repair makes them.
struct installer_record {
  static inline std::vector<std::wstring> calls;
  static inline UINT result = 0;
  static INSTALLUILEVEL WINAPI set_ui(INSTALLUILEVEL level, HWND* owner) {
    calls.push_back(L"ui " + std::to_wstring(level) + (owner && *owner ? L" owner" : L" no owner"));
    return INSTALLUILEVEL_DEFAULT;
  }
  static UINT WINAPI reinstall(LPCWSTR product, DWORD mode) {
    calls.push_back(L"reinstall " + std::wstring(product) + L" " + std::to_wstring(mode));
    return result;
  }
  static installer_calls install(UINT answer) {
    calls.clear();
    result = answer;
    installer_calls replaced;
    replaced.set_internal_ui = &set_ui;
    replaced.reinstall_product = &reinstall;
    return replaced;
  }
};

TEST_F(ClientStart, IRepairsTheInstallationWithTheBasicInterfaceBeforeTheWindow) {
  _Module.m_installer = installer_record::install(0);
  EXPECT_EQ(run(L"client.exe -i"), 0);
  const std::vector<std::wstring> expected = {L"ui 3 no owner",
                                              L"reinstall {87101B90-FAC0-4C4E-AE2E-D1A646945FA0} 514"};
  EXPECT_EQ(installer_record::calls, expected);
  EXPECT_TRUE(seen.ran);
}

TEST(FirstIconGroup, IsTheLowestNumberedIconOfAProgramWithNoNamedOnes) {
  const auto first = Orvo::find_first_icon_group(::GetModuleHandleW(nullptr));
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->get(), MAKEINTRESOURCEW(128));
}

TEST(FirstIconGroup, IsNoneForAModuleWithoutIcons) {
  EXPECT_FALSE(Orvo::find_first_icon_group(::GetModuleHandleW(L"ntdll.dll")).has_value());
}

TEST(FatalErrorBox, ConvertsTheTextThroughTheThreadsCodePageAndTakesTheGivenCaption) {
  std::vector<std::wstring> texts, captions;
  auto previous = Orvo::set_message_box_hook([&](const MSGBOXPARAMSW& p) {
    texts.push_back(p.lpszText);
    captions.push_back(p.lpszCaption);
    return IDOK;
  });
  // "Gr\xfc\xdfe" in the Western code page, the thread's code page here.
  const char latin[] = {'G', 'r', static_cast<char>(0xFC), static_cast<char>(0xDF), 'e', 0};
  Orvo::show_fatal_error(std::runtime_error(latin), L"Caption");
  Orvo::show_fatal_error(std::runtime_error(""));
  Orvo::set_message_box_hook(previous);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], L"Gr\u00fc\u00dfe");
  EXPECT_EQ(captions[0], L"Caption");
  EXPECT_EQ(texts[1], L"");
  EXPECT_EQ(captions[1], L"Orvo Client Error");
}

}  // namespace
