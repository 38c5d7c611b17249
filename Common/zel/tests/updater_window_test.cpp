// Update checks: the updater beside the program or in its folder, started
// with its switches by the commands and by the window's timer.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "win/window_impl.h"
#include "zel/errors.h"
#include "zel/updater_window.h"

namespace {

std::wstring g_stub;  // the stand-in updater (Windows path)

std::wstring program_folder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

// The stand-in placed as `folder`\updater.exe, removed again at the end.
class placed_updater {
 public:
  explicit placed_updater(const std::wstring& sub) : m_folder(program_folder()) {
    if (!sub.empty()) {
      m_folder += L"\\" + sub;
      ::CreateDirectoryW(m_folder.c_str(), nullptr);
    }
    ::DeleteFileW(log().c_str());
    ::CopyFileW(g_stub.c_str(), (m_folder + L"\\updater.exe").c_str(), FALSE);
  }
  ~placed_updater() {
    ::DeleteFileW((m_folder + L"\\updater.exe").c_str());
    ::DeleteFileW(log().c_str());
  }
  std::wstring log() const { return m_folder + L"\\updater.log"; }
  std::vector<std::string> lines() const {
    std::vector<std::string> found;
    std::ifstream in(log().c_str());
    for (std::string line; std::getline(in, line);) found.push_back(line);
    return found;
  }

 private:
  std::wstring m_folder;
};

class CUpdatingWindow : public WTL::CWindowImpl<CUpdatingWindow, WTL::CWindow, WTL::CFrameWinTraits>,
                        public zel::updater_window<CUpdatingWindow> {
 public:
  BEGIN_MSG_MAP(CUpdatingWindow)
  CHAIN_MSG_MAP(zel::updater_window<CUpdatingWindow>)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  END_MSG_MAP()
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    created = true;
    return 0;
  }
  bool created = false;
};

bool pump_until(const std::function<bool()>& done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

TEST(Updater, WithoutFolderTheUpdaterBesideTheProgramIsStarted) {
  placed_updater updater(L"");
  zel::launch_updater(L"", L"/checknow");
  ASSERT_TRUE(pump_until([&] { return !updater.lines().empty(); }, 10000));
  EXPECT_EQ(updater.lines()[0], "updater.exe /checknow");
}

TEST(Updater, TheWindowStartsItSilentlySecondsAfterCreationAndArmsTheTimerAgain) {
  placed_updater updater(L"Updater");
  CUpdatingWindow window;
  window.m_updater_folder = L"Updater";
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(window.Create(nullptr, WTL::CWindow::rcDefault, L"updating"));
  EXPECT_TRUE(window.created);  // the window's own creation handler ran too
  EXPECT_TRUE(window.m_timer_armed);
  ASSERT_TRUE(pump_until([&] { return !updater.lines().empty(); }, 20000));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(seconds, 4.5);
  EXPECT_EQ(updater.lines()[0], "updater.exe /silent");
  EXPECT_TRUE(window.m_timer_armed);

  // Each firing starts one; another timer's message starts none.
  window.SendMessage(WM_TIMER, 0xDCBA);
  ASSERT_TRUE(pump_until([&] { return updater.lines().size() == 2; }, 10000));
  window.SendMessage(WM_TIMER, 0x1234);

  window.check_now();
  window.configure();
  ASSERT_TRUE(pump_until([&] { return updater.lines().size() == 4; }, 10000));
  const std::vector<std::string> lines = updater.lines();
  EXPECT_EQ(lines[2] == "updater.exe /checknow" ? lines[3] : lines[2],
            "updater.exe /configure " + std::to_string(reinterpret_cast<std::uintptr_t>(window.m_hWnd)));

  // After destruction the timer is gone: its message starts nothing.
  HWND handle = window.m_hWnd;
  window.DestroyWindow();
  EXPECT_FALSE(window.m_timer_armed);
  ::SendMessageW(handle, WM_TIMER, 0xDCBA, 0);
  pump_until([] { return false; }, 500);
  EXPECT_EQ(updater.lines().size(), 4u);
}

TEST(Updater, AMissingUpdaterIsSilentOnTheTimerAndAnErrorOnTheCommands) {
  placed_updater folder_only(L"Updater");
  ::DeleteFileW((program_folder() + L"\\Updater\\updater.exe").c_str());
  CUpdatingWindow window;
  window.m_updater_folder = L"Updater";
  ASSERT_TRUE(window.Create(nullptr, WTL::CWindow::rcDefault, L"updating"));
  window.SendMessage(WM_TIMER, 0xDCBA);
  EXPECT_TRUE(window.m_timer_armed);
  try {
    window.check_now();
    ADD_FAILURE() << "no error";
  } catch (const zel::win32_error& e) {
    EXPECT_EQ(e.code(), ERROR_FILE_NOT_FOUND);
  }
  window.m_updater_folder = L"No Such Folder";
  try {
    window.check_now();
    ADD_FAILURE() << "no error";
  } catch (const zel::win32_error& e) {
    EXPECT_EQ(e.code(), ERROR_PATH_NOT_FOUND);
  }
  window.DestroyWindow();
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  const std::string stub = argv[1];
  g_stub = L"Z:" + std::wstring(stub.begin(), stub.end());
  for (wchar_t& c : g_stub) {
    if (c == L'/') c = L'\\';
  }
  return RUN_ALL_TESTS();
}
