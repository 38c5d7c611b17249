// OrvoImpl's binding to OrvoCapabilities. OrvoImpl never links the
// capabilities library: it loads it on first need from the path the registry
// names (HKLM "Software\Quarnell Limited\Orvo", value "Provider" when it is
// a REG_SZ, else "OrvoCapabilities.dll" from the current folder), keeps the
// addresses of its exports for the life of the process, and never frees it.
// A failed load is tried again on the next call.
//
// The process-wide addresses are not guarded: like the provider itself they
// are used from one thread at a time.
#pragma once

#include <string>

#include "CapsProviderIntf.h"
#include "com/ptr.h"

namespace orvo::impl {

extern const wchar_t caps_provider_key[];     // "Software\Quarnell Limited\Orvo"
extern const wchar_t caps_provider_value[];   // "Provider"
extern const wchar_t caps_default_file[];     // "OrvoCapabilities.dll"
extern const wchar_t caps_not_initialized[];  // the error text of every failed use

// The exports of the loaded library; all null until a load succeeded.
// CheckAmplifierID may be null in a library that does not export it.
struct caps_entry_points {
  DllRegisterProc DllRegister = nullptr;
  DllUnregisterProc DllUnregister = nullptr;
  CreateInterfaceProc CreateInterface = nullptr;
  CheckAmplifierIDProc CheckAmplifierID = nullptr;
};
const caps_entry_points& CapsEntryPoints() noexcept;

// The library's path as the registry names it; empty when the key does not
// open.
std::wstring CapabilitiesDllPath();

// Finds and loads the library; true when it exports DllRegister,
// DllUnregister and CreateInterface. On failure the addresses kept from an
// earlier load stay as they were.
bool LoadCapabilitiesDll() noexcept;

// Releases what `provider` held, loads the library when that has not
// succeeded yet, and gives the result of its CreateInterface. Throws
// orvo::com::error (E_FAIL, "CapsProvidier library not initialized") when
// the library cannot be loaded.
LONG CreateCapsProvider(com::ptr<ICapsProvider>& provider);

}  // namespace orvo::impl
