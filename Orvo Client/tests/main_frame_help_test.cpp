// What the main frame adds to update checks and the About box: its updater
// folder, its handle on the configure line, the log records of a failed
// start, and the About box over the frame from the menu, Ctrl+A and the tray.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "about_dialog.h"
#include "main_frame_test_support.h"
#include "page_host_double.h"
#include "script_runner.h"

namespace {

std::wstring g_stub;  // the stand-in updater (Windows path), given by the test command

std::wstring program_folder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring system_text(DWORD code) {
  wchar_t text[512] = {};
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                   512, nullptr);
  return std::wstring(text, n);
}

std::vector<std::string> lines_of(const std::wstring& file) {
  std::vector<std::string> lines;
  std::ifstream in(file.c_str());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(FrameUpdates, AnUpdaterThatCannotStartIsLoggedAsAnErrorWithTheSystemText) {
  const std::wstring folder = program_folder() + L"\\Updater";
  ::RemoveDirectoryW(folder.c_str());
  frame_testing::frame_fixture fixture;
  CMainFrame& frame = fixture.frame;
  frame.SendMessage(WM_COMMAND, ID_HELP_CHECK_UPDATES);
  ASSERT_FALSE(frame.log_records().empty());
  frame_log_record last = frame.log_records().back();
  EXPECT_EQ(last.level, 3);
  EXPECT_EQ(last.code, E_FAIL);
  EXPECT_EQ(last.text, as_logged(system_text(ERROR_PATH_NOT_FOUND)));  // no folder "Updater"
  ::CreateDirectoryW(folder.c_str(), nullptr);
  frame.SendMessage(WM_COMMAND, ID_HELP_CHECK_UPDATES);
  last = frame.log_records().back();
  EXPECT_EQ(last.code, E_FAIL);
  EXPECT_EQ(last.text, as_logged(system_text(ERROR_FILE_NOT_FOUND)));  // no updater in it
  ::RemoveDirectoryW(folder.c_str());
}

TEST(FrameUpdates, TheUpdaterInTheUpdaterFolderIsStartedSilentlyAndByTheHelpCommands) {
  const std::wstring folder = program_folder() + L"\\Updater";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring log = folder + L"\\updater.log";
  ::DeleteFileW(log.c_str());
  ASSERT_TRUE(::CopyFileW(g_stub.c_str(), (folder + L"\\updater.exe").c_str(), FALSE));
  {
    frame_testing::frame_fixture fixture;
    CMainFrame& frame = fixture.frame;
    ASSERT_TRUE(frame_testing::pump_until([&] { return !lines_of(log).empty(); }, 20000));
    EXPECT_EQ(lines_of(log)[0], "updater.exe /silent");
    frame.SendMessage(WM_COMMAND, ID_HELP_CHECK_UPDATES);
    ASSERT_TRUE(frame_testing::pump_until([&] { return lines_of(log).size() == 2; }, 10000));
    frame.SendMessage(WM_COMMAND, ID_HELP_CONFIGURE_UPDATES);
    ASSERT_TRUE(frame_testing::pump_until([&] { return lines_of(log).size() == 3; }, 10000));
    const auto lines = lines_of(log);
    EXPECT_EQ(lines[1], "updater.exe /checknow");
    EXPECT_EQ(lines[2], "updater.exe /configure " + std::to_string(reinterpret_cast<std::uintptr_t>(frame.m_hWnd)));
  }
  ::DeleteFileW((folder + L"\\updater.exe").c_str());
  ::DeleteFileW(log.c_str());
  ::RemoveDirectoryW(folder.c_str());
}

TEST(FrameAbout, TheAboutCommandOpensOneBoxOverTheFrame) {
  orvo::testing::page_host_double host;
  frame_testing::frame_fixture fixture;
  CMainFrame& frame = fixture.frame;
  int boxes = 0;
  HWND owner = nullptr;
  host.on_load = [&](orvo::testing::page_host_record& page) {
    orvo::testing::run_jscript(page.external.get(), L"external.Resize()");
    owner = ::GetWindow(page.parent, GW_OWNER);
    frame.SendMessage(WM_COMMAND, ID_APP_ABOUT);  // Ctrl+A and the tray menu while it is open
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"Orvo.AboutBox", nullptr); w;
         w = ::FindWindowExW(nullptr, w, L"Orvo.AboutBox", nullptr)) {
      ++boxes;
    }
    orvo::testing::run_jscript(page.external.get(), L"external.DoClose()");
  };
  frame.SendMessage(WM_COMMAND, ID_APP_ABOUT);
  EXPECT_EQ(owner, frame.m_hWnd);
  EXPECT_EQ(boxes, 1);
  EXPECT_TRUE(frame.IsWindowEnabled());
}

TEST(FrameAbout, TheTraysExitWhileTheAboutBoxIsOpenEndsTheProgramWithZero) {
  orvo::testing::page_host_double host;
  frame_testing::frame_fixture fixture;
  CMainFrame& frame = fixture.frame;
  host.on_load = [&](orvo::testing::page_host_record& page) {
    orvo::testing::run_jscript(page.external.get(), L"external.Resize()");
    frame.PostMessage(WM_COMMAND, ID_TRAY_EXIT);
  };
  frame.PostMessage(WM_COMMAND, ID_APP_ABOUT);
  EXPECT_EQ(frame_testing::run_loop(), 0);
  EXPECT_EQ(::FindWindowW(L"Orvo.AboutBox", nullptr), nullptr);
}

}  // namespace

// The stand-in updater's path comes in the environment: main() is the frame tests' own.
struct stub_path {
  stub_path() {
    wchar_t value[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"ORVO_STUB_UPDATER", value, MAX_PATH)) {
      g_stub = L"Z:" + std::wstring(value);
      for (wchar_t& c : g_stub) {
        if (c == L'/') c = L'\\';
      }
    }
  }
} const g_stub_path;
