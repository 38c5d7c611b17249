// The client's process-wide module: the command-line switches, the
// single-instance mutex and its registered message, the installer repair,
// the module lock with its shutdown monitor, and the main frame the error
// reporters reach the event log through. One global instance, `_Module`.
#pragma once

#include <windows.h>
#include <msi.h>

#include "win/module.h"

class CMainFrame;

// The installer calls the repair makes; tests replace them.
struct installer_calls {
  INSTALLUILEVEL(WINAPI* set_internal_ui)(INSTALLUILEVEL level, HWND* owner) = ::MsiSetInternalUI;
  UINT(WINAPI* reinstall_product)(LPCWSTR product, DWORD mode) = ::MsiReinstallProductW;
};

class COrvoModule : public WTL::CServerAppModule {
 public:
  // The name of the instance mutex and of the instance message.
  static constexpr const wchar_t* instance_name = L"Orvo_CLIENT_E2B4BBBD_A5C1_4C07_AEEA_785BDFBB7EB1";

  bool m_show_splash = true;             // cleared by switch S
  bool m_allow_second_instance = false;  // set by switch M
  bool m_repair_installation = false;    // set by switch I
  bool m_skip_data_files = false;        // set by switch B

  HANDLE m_instance_mutex = nullptr;
  DWORD m_mutex_status = 0;  // GetLastError right after the mutex was created

  // Set by the main frame at its creation, cleared at its destruction.
  CMainFrame* m_main_frame = nullptr;

  installer_calls m_installer;

  // Sets the four switch flags from GetCommandLineW.
  void ParseCommandLine();

  // Runs the installer's repair of the product; throws zel::basic_com_error
  // with the installer's result as an HRESULT on failure.
  void RepairInstallation(INSTALLUILEVEL level, HWND owner);

  // The instance message, registered on first use.
  UINT GetInstanceMessage() noexcept;

  // The instance probe's EnumWindows callback; `param` points at the HWND
  // that receives the answering window.
  static BOOL CALLBACK FindInstanceProc(HWND window, LPARAM param) noexcept;

  // Closes the instance mutex if it is still open.
  void CloseInstanceMutex() noexcept;

 private:
  UINT m_instance_message = 0;
};

extern COrvoModule _Module;
