#include "OrvoCapabilitiesDll.h"

#include <windows.h>

#include "com/error.h"
#include "registry/registry_key.h"

namespace orvo::impl {

const wchar_t caps_provider_key[] = L"Software\\Quarnell Limited\\Orvo";
const wchar_t caps_provider_value[] = L"Provider";
const wchar_t caps_default_file[] = L"OrvoCapabilities.dll";
const wchar_t caps_not_initialized[] = L"CapsProvidier library not initialized";

namespace {

caps_entry_points g_entry_points;

template <class F>
F export_of(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

bool file_exists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

const caps_entry_points& CapsEntryPoints() noexcept { return g_entry_points; }

std::wstring CapabilitiesDllPath() {
  const auto key = registry::key::open(HKEY_LOCAL_MACHINE, caps_provider_key, KEY_READ);
  if (!key) return {};
  // A REG_SZ value, up to its first terminator, stored or not; else the
  // default name.
  if (key.value_type(caps_provider_value) == DWORD{REG_SZ})
    if (auto path = key.read_string(caps_provider_value)) return *path;
  return caps_default_file;
}

bool LoadCapabilitiesDll() noexcept {
  try {
    const std::wstring path = CapabilitiesDllPath();
    if (path.empty() || !file_exists(path)) return false;
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, 0);
    if (!module) return false;
    caps_entry_points found;
    found.DllRegister = export_of<DllRegisterProc>(module, "DllRegister");
    found.DllUnregister = export_of<DllUnregisterProc>(module, "DllUnregister");
    found.CreateInterface = export_of<CreateInterfaceProc>(module, "CreateInterface");
    found.CheckAmplifierID = export_of<CheckAmplifierIDProc>(module, "CheckAmplifierID");
    if (!found.DllRegister || !found.DllUnregister || !found.CreateInterface) {
      // Not a capabilities library: nothing of it is kept.
      FreeLibrary(module);
      return false;
    }
    // Kept, and the library never freed, for the life of the process.
    g_entry_points = found;
    return true;
  } catch (...) {
    return false;
  }
}

LONG CreateCapsProvider(com::ptr<ICapsProvider>& provider) {
  provider.reset();
  if (!g_entry_points.CreateInterface && !LoadCapabilitiesDll()) throw com::error(E_FAIL, caps_not_initialized);
  return g_entry_points.CreateInterface(provider.put());
}

}  // namespace orvo::impl
