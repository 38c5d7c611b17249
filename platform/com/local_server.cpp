#include "local_server.h"

#include <cwctype>
#include <string>

#include "module.h"
#include "registry.h"

namespace orvo::com {

namespace {
bool equal_no_case(const wchar_t* a, std::size_t length, const wchar_t* b) noexcept {
  for (std::size_t i = 0; i < length; ++i, ++b) {
    if (!*b || std::towlower(a[i]) != std::towlower(*b)) return false;
  }
  return *b == L'\0';
}

// The program path as LocalServer32 holds it: quoted when it has a blank,
// so COM does not read the path's tail as arguments.
std::wstring server_command_line(const std::wstring& path) {
  if (path.find(L' ') == std::wstring::npos) return path;
  return L"\"" + path + L"\"";
}

HANDLE g_exit_event = nullptr;

void on_module_idle() {
  if (g_exit_event && SUCCEEDED(CoSuspendClassObjects())) SetEvent(g_exit_event);
}
}  // namespace

server_switch parse_server_switch(const wchar_t* command_line) noexcept {
  if (!command_line) return server_switch::none;
  const wchar_t* p = command_line;
  while (*p) {
    while (*p == L' ' || *p == L'\t') ++p;
    const wchar_t* start = p;
    while (*p && *p != L' ' && *p != L'\t') ++p;
    if (p - start < 2 || (*start != L'-' && *start != L'/')) continue;
    const std::size_t length = static_cast<std::size_t>(p - start - 1);
    if (equal_no_case(start + 1, length, L"regserver")) return server_switch::register_server;
    if (equal_no_case(start + 1, length, L"unregserver")) return server_switch::unregister_server;
    if (equal_no_case(start + 1, length, L"embedding")) return server_switch::embedding;
  }
  return server_switch::none;
}

HRESULT register_local_server(const local_server& server) noexcept {
  try {
    const std::wstring path = module::path();
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    HRESULT hr = S_OK;
    for (std::size_t i = 0; SUCCEEDED(hr) && i < server.class_count; ++i)
      hr = register_class(server.classes[i], server_command_line(path), server_kind::local, server.appid);
    if (SUCCEEDED(hr) && server.appid) {
      const std::wstring appid = guid_string(*server.appid);
      hr = set_string(HKEY_CLASSES_ROOT, L"AppID\\" + appid, nullptr,
                      server.appid_description ? server.appid_description : L"");
      if (SUCCEEDED(hr) && server.program_name)
        hr = set_string(HKEY_CLASSES_ROOT, std::wstring(L"AppID\\") + server.program_name, L"AppID", appid);
    }
    if (SUCCEEDED(hr) && server.has_typelib) hr = register_typelib(path);
    return hr;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT unregister_local_server(const local_server& server) noexcept {
  try {
    // Removes everything even when one step fails; reports the first failure.
    HRESULT first = S_OK;
    auto keep = [&](HRESULT hr) {
      if (FAILED(hr) && SUCCEEDED(first)) first = hr;
    };
    if (server.has_typelib) keep(unregister_typelib(module::path()));
    for (std::size_t i = 0; i < server.class_count; ++i) keep(unregister_class(server.classes[i]));
    if (server.appid) keep(delete_tree(HKEY_CLASSES_ROOT, L"AppID\\" + guid_string(*server.appid)));
    if (server.program_name) keep(delete_tree(HKEY_CLASSES_ROOT, std::wstring(L"AppID\\") + server.program_name));
    return first;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT class_objects::register_all() noexcept {
  revoke();
  try {
    for (std::size_t i = 0; i < m_server.class_count; ++i) {
      const class_entry& entry = m_server.classes[i];
      DWORD cookie = 0;
      const HRESULT hr = CoRegisterClassObject(*entry.clsid, entry.factory(), CLSCTX_LOCAL_SERVER,
                                               REGCLS_MULTIPLEUSE | REGCLS_SUSPENDED, &cookie);
      if (FAILED(hr)) {
        revoke();
        return hr;
      }
      m_cookies.push_back(cookie);
    }
  } catch (...) {
    revoke();
    return E_OUTOFMEMORY;
  }
  const HRESULT hr = CoResumeClassObjects();
  if (FAILED(hr)) revoke();
  return hr;
}

void class_objects::revoke() noexcept {
  for (DWORD cookie : m_cookies) CoRevokeClassObject(cookie);
  m_cookies.clear();
}

void exit_when_idle(HANDLE exit_event) noexcept {
  g_exit_event = exit_event;
  module::on_idle(exit_event ? &on_module_idle : nullptr);
}

namespace {
// Registers the class objects, lets `wait` wait for the exit event, then
// revokes them.
template <class Wait>
HRESULT serve_until_idle(const local_server& server, Wait&& wait) noexcept {
  HANDLE exit_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!exit_event) return HRESULT_FROM_WIN32(GetLastError());
  exit_when_idle(exit_event);
  class_objects objects(server);
  const HRESULT hr = objects.register_all();
  if (SUCCEEDED(hr)) wait(exit_event);
  objects.revoke();
  exit_when_idle(nullptr);
  CloseHandle(exit_event);
  return hr;
}
}  // namespace

HRESULT serve(const local_server& server) noexcept {
  return serve_until_idle(server, [](HANDLE exit_event) { WaitForSingleObject(exit_event, INFINITE); });
}

HRESULT serve_in_apartment(const local_server& server) noexcept {
  return serve_until_idle(server, [](HANDLE exit_event) {
    while (MsgWaitForMultipleObjects(1, &exit_event, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
  });
}

HRESULT run_server_switch(const local_server& server, const wchar_t* command_line) noexcept {
  switch (parse_server_switch(command_line)) {
    case server_switch::register_server:
      return register_local_server(server);
    case server_switch::unregister_server:
      return unregister_local_server(server);
    case server_switch::embedding:
      return serve(server);
    case server_switch::none:
      break;
  }
  return E_INVALIDARG;
}

}  // namespace orvo::com
