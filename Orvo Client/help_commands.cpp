#include "help_commands.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "comet/error.h"
#include "registry/registry_key.h"
#include "res/resource.h"
#include "system_info.h"
#include "ui_seams.h"
#include "version_info.h"

namespace Orvo {

const wchar_t* const documents_key = L"Software\\Quarnell Limited\\Orvo Client";
const wchar_t* const user_guide_value = L"Manual";
const wchar_t* const programming_reference_value = L"ProgRef";

namespace {

std::wstring document_path(const wchar_t* name) {
  const auto key = orvo::registry::key::open(HKEY_LOCAL_MACHINE, documents_key, KEY_READ);
  if (!key) return {};
  return key.read_string(name).value_or(std::wstring());
}

// DllGetVersion of a library of the system; 0.0.0 when it has none.
version_number library_version(const wchar_t* library) {
  version_number version;
  HMODULE module = ::LoadLibraryW(library);
  if (!module) return version;
  auto get_version =
      reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(::GetProcAddress(module, "DllGetVersion")));
  DLLVERSIONINFO info{sizeof info, 0, 0, 0, 0};
  if (get_version && SUCCEEDED(get_version(&info)))
    version = {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
  ::FreeLibrary(module);
  return version;
}

version_number program_version() {
  const version_data data = read_version_translation(nullptr);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  if (data.block.empty() || !::VerQueryValueW(data.block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) ||
      size < sizeof *fixed)
    return {};
  return {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS)};
}

}  // namespace

void open_registered_document(const wchar_t* name) {
  const std::wstring path = document_path(name);
  HWND owner = ::GetActiveWindow();
  if (!path.empty()) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    // The shell's own error box would come before ours.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWDEFAULT;
    if (shell_execute(&info)) return;
  }
  const std::wstring text = L"Unable to execute command\r\n" + path;
  message_box(owner, text.c_str(), L"Orvo", MB_OK | MB_USERICON);
}

support_mail_versions current_versions() {
  support_mail_versions versions;
  OSVERSIONINFOW os{};
  os.dwOSVersionInfoSize = sizeof os;
  if (::GetVersionExW(&os)) versions.os = {os.dwMajorVersion, os.dwMinorVersion, os.dwBuildNumber};
  versions.comctl32 = library_version(L"comctl32.dll");
  versions.shlwapi = library_version(L"shlwapi.dll");
  versions.shell32 = library_version(L"shell32.dll");
  versions.client = program_version();
  return versions;
}

void send_support_mail(CLogSink& log, HWND owner) {
  const support_mail mail = support_mail_link(current_versions());
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner;
  info.lpFile = mail.link.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!shell_execute(&info)) {
    const HRESULT hr = HRESULT_FROM_WIN32(::GetLastError());
    Log(log, comet::system_message(hr).c_str(), log_error, hr);
    return;
  }
  const auto length = static_cast<HRESULT>(mail.link.size());
  Log(log, mail.link.c_str(), log_information, length);
  if (mail.body_length >= long_mail_body)
    Log(log, L"Automaticaly generated E-Mail length may be to long for Win9X systems", log_warning, length);
}

void open_home_page(HWND owner) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner;
  info.lpFile = L"" ORVO_WEB_ADDRESS;
  info.nShow = SW_SHOWNORMAL;
  shell_execute(&info);
}

}  // namespace Orvo
