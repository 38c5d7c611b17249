// OrvoCapabilities.dll: the plain exports. None lets an exception escape.
#include <new>
#include <type_traits>

#include "capabilities.h"
#include "registry_source.h"

using namespace orvo::caps;

namespace {
// Writes the default descriptor set. When a write fails, what this
// registration wrote is taken back and the failure returned.
HRESULT register_defaults() noexcept {
  registry_source source;
  HRESULT hr = S_OK;
  try {
    TCapsRegistry registry(source, process().setup);
    write_defaults(registry, process().setup);
    hr = source.write_result();
  } catch (const std::bad_alloc&) {
    hr = E_OUTOFMEMORY;
  } catch (...) {
    hr = E_UNEXPECTED;
  }
  if (FAILED(hr)) source.undo_writes();
  return hr;
}
}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    orvo::com::module::set_instance(instance);
    // The setup switch is read once, when the library is loaded.
    process().setup = setup_key_present();
  }
  return TRUE;
}

LONG __stdcall CreateInterface(ICapsProvider** provider) {
  if (!provider) return E_POINTER;
  *provider = nullptr;
  orvo::com::ptr<ICapsProvider> p;
  const HRESULT hr = TICapsProvider::make(p);
  if (FAILED(hr)) return hr;
  *provider = p.detach();
  return 0;
}

LONG __stdcall CheckAmplifierID(DWORD amplifier_id) {
  orvo::com::ptr<IAmplifierCapabilities> amplifier;
  return make_amplifier(static_cast<WORD>(amplifier_id), amplifier) ? 0 : 1;
}

void __stdcall DllRegister() { register_defaults(); }

namespace {
// Deletes the descriptor set; the failure when it could not.
HRESULT unregister_descriptors() noexcept {
  try {
    registry_source source;
    source.remove_all();
    return source.write_result();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}
}  // namespace

void __stdcall DllUnregister() { unregister_descriptors(); }

HRESULT __stdcall DllRegisterServer() {
  // Registration always stores the four-entry input-mode list.
  process().setup = false;
  return register_defaults();
}

HRESULT __stdcall DllUnregisterServer() { return unregister_descriptors(); }

}  // extern "C"

static_assert(std::is_same_v<decltype(&CreateInterface), CreateInterfaceProc>);
static_assert(std::is_same_v<decltype(&CheckAmplifierID), CheckAmplifierIDProc>);
static_assert(std::is_same_v<decltype(&DllRegister), DllRegisterProc>);
static_assert(std::is_same_v<decltype(&DllUnregister), DllUnregisterProc>);
