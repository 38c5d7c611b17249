#include "orvo_module.h"

#include "zel/errors.h"

COrvoModule _Module;

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
