#include "common_controls.h"

#include <shlwapi.h>

bool common_controls_at_least(DWORD major, DWORD minor) noexcept {
  HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
  auto get_version = comctl ? reinterpret_cast<HRESULT(CALLBACK*)(DLLVERSIONINFO*)>(
                                  reinterpret_cast<void*>(::GetProcAddress(comctl, "DllGetVersion")))
                            : nullptr;
  DLLVERSIONINFO info{sizeof info, 0, 0, 0, 0};
  if (!get_version || FAILED(get_version(&info))) return false;
  return info.dwMajorVersion > major || (info.dwMajorVersion == major && info.dwMinorVersion >= minor);
}
