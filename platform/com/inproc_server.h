// The four exports of an in-process COM server, written once.
//
// A DLL describes itself and defines its exports with one macro:
//
//   const orvo::com::class_entry classes[] = { ... };
//   const orvo::com::inproc_server server{classes, std::size(classes),
//                                         /*typelib*/ false, orvo::com::merged_proxy()};
//   ORVO_COM_INPROC_SERVER_EXPORTS(server)
//
// and lists DllGetClassObject, DllCanUnloadNow, DllRegisterServer and
// DllUnregisterServer as PRIVATE in its module definition file.
//
// A DLL that also serves the proxies and stubs of its interfaces links the
// widl-generated proxy code built with ENTRY_PREFIX=Prx and passes
// merged_proxy(): unknown CLSIDs, registration and DllMain are then
// forwarded to the Prx* entry points.
#pragma once

#include <windows.h>

#include <cstddef>

#include "factory.h"

namespace orvo::com {

struct proxy_entry_points {
  HRESULT(STDAPICALLTYPE* get_class_object)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* register_server)() = nullptr;
  HRESULT(STDAPICALLTYPE* unregister_server)() = nullptr;
  BOOL(WINAPI* dll_main)(HINSTANCE, DWORD, LPVOID) = nullptr;
};

struct inproc_server {
  const class_entry* classes;
  std::size_t class_count;
  bool has_typelib;  // a type library embedded as resource 1
  proxy_entry_points proxy;
};

BOOL dll_main(const inproc_server& server, HINSTANCE instance, DWORD reason, LPVOID reserved) noexcept;
HRESULT dll_get_class_object(const inproc_server& server, REFCLSID clsid, REFIID iid, void** out) noexcept;
HRESULT dll_can_unload_now(const inproc_server& server) noexcept;
HRESULT dll_register_server(const inproc_server& server) noexcept;
HRESULT dll_unregister_server(const inproc_server& server) noexcept;

}  // namespace orvo::com

// The Prx* entry points of widl's proxy code built with ENTRY_PREFIX=Prx.
extern "C" {
HRESULT STDAPICALLTYPE PrxDllGetClassObject(REFCLSID, REFIID, void**);
HRESULT STDAPICALLTYPE PrxDllRegisterServer();
HRESULT STDAPICALLTYPE PrxDllUnregisterServer();
BOOL WINAPI PrxDllMain(HINSTANCE, DWORD, LPVOID);
}

namespace orvo::com {
inline proxy_entry_points merged_proxy() noexcept {
  return {&PrxDllGetClassObject, &PrxDllRegisterServer, &PrxDllUnregisterServer, &PrxDllMain};
}
}  // namespace orvo::com

#define ORVO_COM_INPROC_SERVER_EXPORTS(server)                                                               \
  extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {                        \
    return ::orvo::com::dll_main(server, instance, reason, reserved);                                        \
  }                                                                                                          \
  extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {              \
    return ::orvo::com::dll_get_class_object(server, clsid, iid, out);                                       \
  }                                                                                                          \
  extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return ::orvo::com::dll_can_unload_now(server); }    \
  extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return ::orvo::com::dll_register_server(server); } \
  extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return ::orvo::com::dll_unregister_server(server); }
