// The stand-in in process: a DLL that registers itself as the amplifier
// server, with both type libraries.
#include <windows.h>

#include <iterator>

#include "classes.h"
#include "com/inproc_server.h"

namespace {
const orvo::com::inproc_server server{stand_in::classes, std::size(stand_in::classes), true, {}};
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  return orvo::com::dll_main(server, instance, reason, reserved);
}
extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return orvo::com::dll_get_class_object(server, clsid, iid, out);
}
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return orvo::com::dll_can_unload_now(server); }
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  HRESULT hr = orvo::com::dll_register_server(server);
  if (SUCCEEDED(hr)) hr = stand_in::register_control_library();
  return hr;
}
extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  const HRESULT control = stand_in::unregister_control_library();
  const HRESULT hr = orvo::com::dll_unregister_server(server);
  return FAILED(hr) ? hr : control;
}
