#include "inproc_server.h"

#include "registry.h"

namespace orvo::com {

BOOL dll_main(const inproc_server& server, HINSTANCE instance, DWORD reason, LPVOID reserved) noexcept {
  if (reason == DLL_PROCESS_ATTACH) {
    module::set_instance(instance);
  }
  if (server.proxy.dll_main) return server.proxy.dll_main(instance, reason, reserved);
  return TRUE;
}

HRESULT dll_get_class_object(const inproc_server& server, REFCLSID clsid, REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (std::size_t i = 0; i < server.class_count; ++i) {
    const class_entry& entry = server.classes[i];
    if (*entry.clsid == clsid) {
      return entry.factory()->QueryInterface(iid, out);
    }
  }
  if (server.proxy.get_class_object) return server.proxy.get_class_object(clsid, iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT dll_can_unload_now(const inproc_server&) noexcept { return module::active_count() == 0 ? S_OK : S_FALSE; }

HRESULT dll_register_server(const inproc_server& server) noexcept {
  const std::wstring path = module::path();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  HRESULT hr = S_OK;
  if (server.proxy.register_server) hr = server.proxy.register_server();
  for (std::size_t i = 0; SUCCEEDED(hr) && i < server.class_count; ++i)
    hr = register_class(server.classes[i], path, server_kind::inproc);
  if (SUCCEEDED(hr) && server.has_typelib) hr = register_typelib(path);
  return hr;
}

HRESULT dll_unregister_server(const inproc_server& server) noexcept {
  // Removes everything even when one step fails; reports the first failure.
  HRESULT first = S_OK;
  auto keep = [&](HRESULT hr) {
    if (FAILED(hr) && SUCCEEDED(first)) first = hr;
  };
  if (server.has_typelib) keep(unregister_typelib(module::path()));
  for (std::size_t i = 0; i < server.class_count; ++i) keep(unregister_class(server.classes[i]));
  if (server.proxy.unregister_server) keep(server.proxy.unregister_server());
  return first;
}

}  // namespace orvo::com
