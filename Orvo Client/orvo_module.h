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

  // Framework initialisation with the client's time-out (5,000 ms) and
  // pause (1,000 ms); E_UNEXPECTED while this module still holds the
  // instance mutex (a start that was not ended), E_OUTOFMEMORY when the
  // loop map cannot be made.
  HRESULT Init(const void* objectMap, HINSTANCE instance, const GUID* libid = nullptr) noexcept;

  // Sets the four switch flags from GetCommandLineW, or from `line`.
  void ParseCommandLine();
  void ParseCommandLine(const wchar_t* line) noexcept;

  // Creates the instance mutex and keeps the creation status.
  void CreateInstanceMutex() noexcept;

  // The instance probe: the top-level window of a running client that
  // answers the instance message within 750 ms, or null. Asked only when
  // the mutex existed before (ERROR_ALREADY_EXISTS or ERROR_ACCESS_DENIED).
  bool InstanceMayBeRunning() const noexcept;
  HWND FindRunningInstance() noexcept;

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
