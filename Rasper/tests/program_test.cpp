// Rasper.exe as a program: its switches write and remove its registration,
// and started without one it only says what it is.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "testing/com_test.h"

using orvo::testing::dump_registry;
using orvo::testing::registry_dump;

namespace {
const std::wstring kClsid = L"{23BBD4A9-1350-11D3-9630-0020182D7984}";
const std::wstring kAppId = L"{C5EE2E46-0DE1-11D3-9630-0020182D7984}";

std::wstring rasper() { return orvo::testing::windows_path(RASPER_EXE); }
int run(const wchar_t* arguments) { return orvo::testing::run_program(L"\"" + rasper() + L"\" " + arguments); }

registry_dump rasper_keys() {
  registry_dump all;
  for (const std::wstring& key :
       {L"CLSID\\" + kClsid, L"AppID\\" + kAppId, std::wstring(L"AppID\\Rasper.EXE"),
        std::wstring(L"Quarnell.CommServerConstructor"), std::wstring(L"Quarnell.CommServerConstructor.1")})
    all.merge(dump_registry(HKEY_CLASSES_ROOT, key));
  return all;
}

std::wstring value(const registry_dump& keys, const std::wstring& path) {
  auto i = keys.find(path);
  return i == keys.end() ? L"(none)" : i->second;
}
}  // namespace

TEST(RasperProgram, RegServerWritesTheClassAndAppIdAndUnregServerRemovesEveryKey) {
  ASSERT_EQ(run(L"/UnregServer"), 0);
  const registry_dump before = dump_registry(HKEY_CLASSES_ROOT, L"AppID");
  EXPECT_TRUE(rasper_keys().empty());

  ASSERT_EQ(run(L"-regserver"), 0);
  const registry_dump keys = rasper_keys();
  const std::wstring sz = L"1:";
  EXPECT_EQ(value(keys, L"CLSID\\" + kClsid + L"\\:"), sz + L"CommServerConstructor Class");
  EXPECT_EQ(value(keys, L"CLSID\\" + kClsid + L"\\:AppID"), sz + kAppId);
  EXPECT_EQ(value(keys, L"CLSID\\" + kClsid + L"\\LocalServer32\\:"), sz + rasper());
  EXPECT_EQ(value(keys, L"CLSID\\" + kClsid + L"\\ProgID\\:"), sz + L"Quarnell.CommServerConstructor.1");
  EXPECT_EQ(value(keys, L"AppID\\" + kAppId + L"\\:"), sz + L"Rasper");
  EXPECT_EQ(value(keys, L"AppID\\Rasper.EXE\\:AppID"), sz + kAppId);
  EXPECT_EQ(value(keys, L"Quarnell.CommServerConstructor\\CurVer\\:"), sz + L"Quarnell.CommServerConstructor.1");

  ASSERT_EQ(run(L"/UnregServer"), 0);
  EXPECT_TRUE(rasper_keys().empty());
  EXPECT_EQ(dump_registry(HKEY_CLASSES_ROOT, L"AppID"), before);
  // The tests after this one find the server registered.
  ASSERT_EQ(run(L"/RegServer"), 0);
}

namespace {
BOOL CALLBACK find_text(HWND child, LPARAM text) {
  wchar_t name[32] = {};
  GetClassNameW(child, name, 32);
  if (_wcsicmp(name, L"Static") == 0) {
    wchar_t buffer[512] = {};
    GetWindowTextW(child, buffer, 512);
    if (buffer[0]) *reinterpret_cast<std::wstring*>(text) = buffer;
  }
  return TRUE;
}
}  // namespace

TEST(RasperProgram, WithoutASwitchItOnlySaysWhatItIsAndEndsWhenTheBoxIsClosed) {
  std::wstring line = L"\"" + rasper() + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  HWND box = nullptr;
  for (int i = 0; i < 200 && !box; ++i) {
    box = FindWindowW(L"#32770", L"Quarnel Limited");
    if (!box) Sleep(50);
  }
  ASSERT_NE(box, nullptr);
  std::wstring text;
  EnumChildWindows(box, find_text, reinterpret_cast<LPARAM>(&text));
  EXPECT_EQ(text,
            L"Rasper is part of the Quarnell components package\nand should not be run as a stand-alone program.");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}
