#include "com_test.h"

#include <shellapi.h>

#include <algorithm>
#include <cwctype>
#include <exception>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "registry/registry_key.h"

namespace orvo::testing {

void in_sta(const std::function<void()>& body) {
  std::exception_ptr failure;
  std::thread worker([&] {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
      ADD_FAILURE() << "CoInitializeEx(STA) failed";
      return;
    }
    try {
      body();
    } catch (...) {
      failure = std::current_exception();
    }
    CoUninitialize();
  });
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

void expect_error_info(IUnknown* object, REFIID iid, const wchar_t* source) {
  ISupportErrorInfo* support = nullptr;
  ASSERT_EQ(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(iid), S_OK);
  support->Release();
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  ASSERT_NE(info, nullptr);
  BSTR text = nullptr;
  info->GetSource(&text);
  EXPECT_STREQ(text, source);
  SysFreeString(text);
  info->Release();
}

int run_program(const std::wstring& command_line) {
  std::vector<wchar_t> line(command_line.begin(), command_line.end());
  line.push_back(0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    // Said here: the caller sees only the -1.
    fwprintf(stderr, L"could not start %ls: error %lu\n", command_line.c_str(), GetLastError());
    return -1;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

void remove_folder(const std::wstring& path) {
  const std::wstring from = path + L'\0';  // the list ends with a second NUL
  SHFILEOPSTRUCTW deletion{};
  deletion.wFunc = FO_DELETE;
  deletion.pFrom = from.c_str();
  deletion.fFlags = FOF_NO_UI;
  ::SHFileOperationW(&deletion);
}

int regsvr32(const std::wstring& module, bool unregister) {
  return run_program(std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u " : L"") + L"\"" + module + L"\"");
}

namespace {
std::wstring value_text(DWORD type, const std::vector<std::uint8_t>& data) {
  std::wstring text = std::to_wstring(type) + L":";
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    text.append(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == 0) text.pop_back();
  } else {
    static const wchar_t hex[] = L"0123456789abcdef";
    for (std::uint8_t b : data) {
      text += hex[b >> 4];
      text += hex[b & 15];
    }
  }
  return text;
}

void dump_key(HKEY root, const std::wstring& path, registry_dump& out) {
  std::vector<std::wstring> children;
  {
    const auto key = registry::key::open(root, path, KEY_READ);
    if (!key) return;
    out[path] = L"";
    for (const auto& v : key.values()) out[path + L"\\:" + v.name] = value_text(v.type, v.data);
    children = key.subkey_names();
  }
  for (const auto& child : children) dump_key(root, path.empty() ? child : path + L"\\" + child, out);
}

std::wstring lower(std::wstring s) {
  std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return s;
}
}  // namespace

bool registry_path_less::operator()(const std::wstring& a, const std::wstring& b) const noexcept {
  return _wcsicmp(a.c_str(), b.c_str()) < 0;
}

registry_dump dump_registry(HKEY root, const std::wstring& key) {
  registry_dump out;
  dump_key(root, key, out);
  return out;
}

registry_dump entries_mentioning(const registry_dump& dump, const std::wstring& needle) {
  const std::wstring n = lower(needle);
  registry_dump out;
  for (const auto& [path, data] : dump)
    if (lower(path).find(n) != std::wstring::npos || lower(data).find(n) != std::wstring::npos) out[path] = data;
  return out;
}

}  // namespace orvo::testing
