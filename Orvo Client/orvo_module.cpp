#include "orvo_module.h"

#include <cwchar>

#include <string_view>

#include "core/command_line.h"
#include "zel/errors.h"

COrvoModule _Module;

HRESULT COrvoModule::Init(const void* objectMap, HINSTANCE instance, const GUID* libid) noexcept {
  m_dwTimeOut = 5000;
  m_dwPause = 1000;
  if (m_instance_mutex) return E_UNEXPECTED;
  return WTL::CServerAppModule::Init(objectMap, instance, libid);
}

void COrvoModule::ParseCommandLine() { ParseCommandLine(::GetCommandLineW()); }

void COrvoModule::ParseCommandLine(const wchar_t* line) noexcept {
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows texts are UTF-16");
  const std::u16string_view text =
      line ? std::u16string_view(reinterpret_cast<const char16_t*>(line), std::wcslen(line)) : std::u16string_view();
  const Orvo::command_line_switches switches = Orvo::parse_command_line(text);
  m_show_splash = switches.show_splash;
  m_allow_second_instance = switches.allow_second_instance;
  m_repair_installation = switches.repair_installation;
  m_skip_data_files = switches.skip_data_files;
}

void COrvoModule::CreateInstanceMutex() noexcept {
  m_instance_mutex = ::CreateMutexW(nullptr, FALSE, instance_name);
  m_mutex_status = ::GetLastError();
}

bool COrvoModule::InstanceMayBeRunning() const noexcept {
  return m_mutex_status == ERROR_ALREADY_EXISTS || m_mutex_status == ERROR_ACCESS_DENIED;
}

HWND COrvoModule::FindRunningInstance() noexcept {
  HWND found = nullptr;
  ::EnumWindows(&FindInstanceProc, reinterpret_cast<LPARAM>(&found));
  return found && ::IsWindow(found) ? found : nullptr;
}

void COrvoModule::RepairInstallation(INSTALLUILEVEL level, HWND owner) {
  m_installer.set_internal_ui(level, &owner);
  wchar_t product[260] = {};
  ::LoadStringW(GetResourceInstance(), 0xF014, product, 260);
  const UINT result = m_installer.reinstall_product(product, REINSTALLMODE_FILEMISSING | REINSTALLMODE_SHORTCUT);
  if (result == 0) return;
  const HRESULT hr = static_cast<int>(result) > 0 ? static_cast<HRESULT>(0x80070000u | (result & 0xFFFFu))
                                                  : static_cast<HRESULT>(result);
  zel::throw_com_error(hr);
}

UINT COrvoModule::GetInstanceMessage() noexcept {
  if (!m_instance_message) m_instance_message = ::RegisterWindowMessageW(instance_name);
  return m_instance_message;
}

BOOL CALLBACK COrvoModule::FindInstanceProc(HWND window, LPARAM param) noexcept {
  const UINT message = _Module.GetInstanceMessage();
  DWORD_PTR answer = 0;
  if (::SendMessageTimeoutW(window, message, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 750, &answer) &&
      answer == static_cast<DWORD_PTR>(static_cast<UINT>(~message))) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

void COrvoModule::CloseInstanceMutex() noexcept {
  if (m_instance_mutex) ::CloseHandle(m_instance_mutex);
  m_instance_mutex = nullptr;
}
