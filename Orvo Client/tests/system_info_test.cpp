// Starting System Information: where the path comes from in the registry
// of the test prefix, what is logged, and the shell call.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "recording_sink.h"
#include "registry/registry_key.h"
#include "system_info.h"
#include "testing/com_test.h"

namespace {

using orvo::registry::key;

std::string g_stub;  // a program that records how it was started

const wchar_t* const tools_key = L"Software\\Microsoft\\Shared Tools\\MSInfo";
const wchar_t* const location_key = L"Software\\Microsoft\\Shared Tools Location";

// A registry key as it was before a test, put back afterwards.
class saved_key {
 public:
  explicit saved_key(const wchar_t* path) : m_path(path) {
    key k = key::open(HKEY_LOCAL_MACHINE, path);
    m_existed = static_cast<bool>(k);
    if (k) m_values = k.values();
  }
  ~saved_key() {
    key::delete_tree(HKEY_LOCAL_MACHINE, m_path);
    if (!m_existed) return;
    key k = key::create(HKEY_LOCAL_MACHINE, m_path);
    for (const auto& v : m_values) k.write_value(v.name.c_str(), v.type, v.data.data(), v.data.size());
  }
  bool existed() const noexcept { return m_existed; }

 private:
  const wchar_t* m_path;
  bool m_existed = false;
  std::vector<key::value> m_values;
};

std::wstring system_text(HRESULT code) {
  wchar_t text[512] = {};
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   static_cast<DWORD>(code), 0, text, 512, nullptr);
  return std::wstring(text, n);
}

std::wstring temp_folder(const wchar_t* name) {
  wchar_t base[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, base);
  std::wstring folder = std::wstring(base) + name;
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

class SystemInformation : public ::testing::Test {
 protected:
  void SetUp() override {
    owner = ::CreateWindowExW(0, L"STATIC", L"client", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    Orvo::set_shell_execute_call([this](SHELLEXECUTEINFOW* info) {
      calls.push_back(*info);
      files.push_back(info->lpFile ? info->lpFile : L"");
      ::SetLastError(shell_error);
      return shell_error == ERROR_SUCCESS && !shell_fails ? TRUE : FALSE;
    });
  }
  void TearDown() override {
    Orvo::set_shell_execute_call({});
    ::DestroyWindow(owner);
  }
  HRESULT start() { return Orvo::start_system_information({&sink, owner}); }
  static key tools() { return key::create(HKEY_LOCAL_MACHINE, tools_key); }

  saved_key saved_tools{tools_key};
  saved_key saved_location{location_key};
  HWND owner = nullptr;
  CRecordingSink sink;
  std::vector<SHELLEXECUTEINFOW> calls;
  std::vector<std::wstring> files;
  DWORD shell_error = ERROR_SUCCESS;
  bool shell_fails = false;
};

TEST_F(SystemInformation, InTheTestPrefixThePlainFileNameIsLeftToTheShellSearch) {
  // The prefix has the first key without "Path" and no second key.
  ASSERT_TRUE(saved_tools.existed());
  ASSERT_FALSE(key::open(HKEY_LOCAL_MACHINE, tools_key).value_type(L"Path"));
  ASSERT_FALSE(saved_location.existed());
  EXPECT_EQ(start(), S_OK);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(files[0], L"MSInfo32.exe");
  EXPECT_EQ(calls[0].cbSize, sizeof(SHELLEXECUTEINFOW));
  EXPECT_EQ(calls[0].fMask, 0x400u);
  EXPECT_EQ(calls[0].hwnd, owner);
  EXPECT_EQ(calls[0].lpVerb, nullptr);
  EXPECT_EQ(calls[0].lpParameters, nullptr);
  EXPECT_EQ(calls[0].nShow, 1);
  ASSERT_EQ(sink.records.size(), 1u);
  EXPECT_EQ(sink.records[0].text, L"MSInfo32.exe");
  EXPECT_EQ(sink.records[0].level, 1);
  EXPECT_EQ(sink.records[0].code, 0);
}

TEST_F(SystemInformation, APathInTheRegistryThatNamesAFileIsStarted) {
  const std::wstring stub = orvo::testing::windows_path(g_stub);
  tools().write_string(L"Path", stub);
  EXPECT_EQ(start(), S_OK);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0], stub);
  ASSERT_EQ(sink.records.size(), 1u);
  EXPECT_EQ(sink.records[0].text, stub);
}

TEST_F(SystemInformation, APathToAMissingFileIsAWarningAndNoStart) {
  const std::wstring missing = temp_folder(L"orvo_msinfo") + L"\\missing.exe";
  tools().write_string(L"Path", missing);
  EXPECT_EQ(start(), S_FALSE);
  EXPECT_TRUE(calls.empty());
  ASSERT_EQ(sink.records.size(), 1u);
  EXPECT_EQ(sink.records[0].level, 2);
  EXPECT_EQ(sink.records[0].code, E_FAIL);
  EXPECT_EQ(sink.records[0].text, L"Unable to locate file: " + missing + L" - " + system_text(E_FAIL));
}

TEST_F(SystemInformation, AnUnreadablePathSendsTheSearchToTheToolsLocation) {
  const std::wstring folder = temp_folder(L"orvo_msinfo");
  const std::wstring program = folder + L"\\MSInfo32.exe";
  ASSERT_TRUE(::CopyFileW(orvo::testing::windows_path(g_stub).c_str(), program.c_str(), FALSE));
  key::create(HKEY_LOCAL_MACHINE, location_key).write_string(L"MSInfo", folder);
  const DWORD number = 7;
  for (int unreadable = 0; unreadable < 2; ++unreadable) {
    if (unreadable == 0) {
      tools().write_string(L"Path", std::wstring(300, L'x'));
    } else {
      tools().write_value(L"Path", REG_DWORD, &number, sizeof number);
    }
    files.clear();
    EXPECT_EQ(start(), S_OK);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0], program);
  }
  ::DeleteFileW(program.c_str());
}

TEST_F(SystemInformation, WithoutTheToolsKeyThePlainFileNameIsStarted) {
  key::create(HKEY_LOCAL_MACHINE, location_key).write_string(L"MSInfo", L"C:\\never");
  key::delete_tree(HKEY_LOCAL_MACHINE, tools_key);
  EXPECT_EQ(start(), S_OK);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0], L"MSInfo32.exe");
}

TEST_F(SystemInformation, AJoinedPathOf260CharactersOrMoreIsNotFound) {
  const std::wstring folder = L"C:\\" + std::wstring(250, L'd');
  key::create(HKEY_LOCAL_MACHINE, location_key).write_string(L"MSInfo", folder);
  EXPECT_EQ(start(), S_FALSE);
  EXPECT_TRUE(calls.empty());
  ASSERT_EQ(sink.records.size(), 1u);
  EXPECT_EQ(sink.records[0].code, E_FAIL);
  EXPECT_NE(sink.records[0].text.find(folder + L"\\MSInfo32.exe - "), std::wstring::npos);
}

TEST_F(SystemInformation, AShellFailureIsLoggedWithItsErrorAsHresult) {
  shell_error = ERROR_FILE_NOT_FOUND;
  EXPECT_EQ(start(), S_FALSE);
  ASSERT_EQ(sink.records.size(), 2u);
  EXPECT_EQ(sink.records[1].level, 2);
  EXPECT_EQ(sink.records[1].code, static_cast<HRESULT>(0x80070002));
  EXPECT_EQ(sink.records[1].text,
            L"Unable to locate file: MSInfo32.exe - " + system_text(static_cast<HRESULT>(0x80070002)));
  // A failure that left no error code is a plain failure.
  shell_error = ERROR_SUCCESS;
  shell_fails = true;
  sink.records.clear();
  EXPECT_EQ(start(), S_FALSE);
  ASSERT_EQ(sink.records.size(), 2u);
  EXPECT_EQ(sink.records[1].code, E_FAIL);
}

TEST_F(SystemInformation, TheRealShellStartsTheProgramTheRegistryNames) {
  Orvo::set_shell_execute_call({});
  const std::wstring folder = temp_folder(L"orvo_msinfo_real");
  const std::wstring program = folder + L"\\msinfo_stand_in.exe";
  const std::wstring log = folder + L"\\updater.log";
  ::DeleteFileW(log.c_str());
  ASSERT_TRUE(::CopyFileW(orvo::testing::windows_path(g_stub).c_str(), program.c_str(), FALSE));
  tools().write_string(L"Path", program);
  EXPECT_EQ(start(), S_OK);
  std::string line;
  for (int i = 0; i < 200 && line.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream in(log.c_str());
    std::getline(in, line);
  }
  EXPECT_NE(line.find("msinfo_stand_in.exe"), std::string::npos) << line;
  ::DeleteFileW(log.c_str());
  ::DeleteFileW(program.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  g_stub = argv[1];
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const int result = RUN_ALL_TESTS();
  ::CoUninitialize();
  return result;
}
