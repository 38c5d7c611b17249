#include "system_info.h"

#include <string>
#include <utility>

#include "core/about_rules.h"
#include "registry/registry_key.h"
#include "res/about_resources.h"
#include "win/window_traits.h"

namespace Orvo {

namespace {

shell_execute_call& shell_call() {
  static shell_execute_call call;
  return call;
}

constexpr REGSAM read_write = KEY_READ | KEY_WRITE;  // 0x2001F

// A string value of at most max_registry_path characters; other shapes count as unreadable.
std::optional<std::wstring> path_value(const orvo::registry::key& key, const wchar_t* name) {
  const std::optional<DWORD> type = key.value_type(name);
  if (!type || (*type != REG_SZ && *type != REG_EXPAND_SZ)) return std::nullopt;
  std::optional<std::wstring> text = key.read_string(name);
  if (text && text->size() > max_registry_path) return std::nullopt;
  return text;
}

msinfo_registry read_msinfo_registry() {
  msinfo_registry found;
  const auto tools =
      orvo::registry::key::open(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Shared Tools\\MSInfo", read_write);
  if (!tools) return found;
  found.tools_key_opened = true;
  found.path = path_value(tools, L"Path");
  if (found.path) return found;
  const auto location =
      orvo::registry::key::open(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Shared Tools Location", read_write);
  if (location) found.tools_location = path_value(location, L"MSInfo");
  return found;
}

bool file_exists(const std::wstring& path) noexcept {
  if (too_long_for_a_file(path)) return false;
  WIN32_FIND_DATAW data;
  HANDLE found = ::FindFirstFileW(path.c_str(), &data);
  if (found == INVALID_HANDLE_VALUE) return false;
  ::FindClose(found);
  return true;
}

std::wstring system_text(HRESULT code) {
  wchar_t text[512] = {};
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   static_cast<DWORD>(code), 0, text, 512, nullptr);
  return n ? std::wstring(text, n) : std::wstring(L"<unknown>");
}

std::wstring resource_string(UINT id) {
  const wchar_t* text = nullptr;
  const int n = ::LoadStringW(WTL::resource_instance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return n > 0 ? std::wstring(text, static_cast<std::size_t>(n)) : std::wstring();
}

void log(const system_info_context& context, const std::wstring& text, int level, HRESULT code) noexcept {
  if (context.log) Log(*context.log, text.c_str(), level, code);
}

}  // namespace

shell_execute_call set_shell_execute_call(shell_execute_call call) {
  return std::exchange(shell_call(), std::move(call));
}

BOOL shell_execute(SHELLEXECUTEINFOW* info) { return shell_call() ? shell_call()(info) : ::ShellExecuteExW(info); }

HRESULT start_system_information(const system_info_context& context) noexcept {
  try {
    const msinfo_choice choice = choose_msinfo_path(read_msinfo_registry());
    HRESULT code = S_OK;
    if (choice.must_exist && !file_exists(choice.path)) {
      code = E_FAIL;
    } else {
      log(context, choice.path, log_information, S_OK);
      SHELLEXECUTEINFOW info = {};
      info.cbSize = sizeof info;
      info.fMask = SEE_MASK_FLAG_NO_UI;
      info.hwnd = context.owner;
      info.lpFile = choice.path.c_str();
      info.nShow = SW_SHOWNORMAL;
      if (shell_execute(&info)) return S_OK;
      code = hresult_from_error_code(static_cast<std::int32_t>(::GetLastError()));
    }
    log(context, resource_string(IDS_UNABLE_TO_LOCATE_FILE) + choice.path + L" - " + system_text(code), log_warning,
        code);
  } catch (...) {
    log(context, L"System Information could not be started", log_warning, E_OUTOFMEMORY);
  }
  return S_FALSE;
}

}  // namespace Orvo
