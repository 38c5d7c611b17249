// The stand-in in a process of its own: a local server in a
// single-threaded apartment that COM starts with -Embedding and that ends
// after its last object; /RegServer and /UnregServer write and remove its
// registration.
#include <windows.h>

#include <iterator>

#include "classes.h"
#include "com/local_server.h"
#include "com/module.h"

namespace {

const GUID APPID_StandIn = {0x57bcf9eb, 0xd26d, 0x4cc2, {0x85, 0xc5, 0x7e, 0xfd, 0x90, 0x69, 0xc5, 0x96}};

const orvo::com::local_server server{stand_in::classes,     std::size(stand_in::classes),
                                     &APPID_StandIn,        L"Orvo Stand-in Amplifier Server",
                                     L"stand_in_local.exe", true};

HRESULT run(const wchar_t* command_line) {
  switch (orvo::com::parse_server_switch(command_line)) {
    case orvo::com::server_switch::register_server: {
      const HRESULT hr = orvo::com::register_local_server(server);
      return FAILED(hr) ? hr : stand_in::register_control_library();
    }
    case orvo::com::server_switch::unregister_server: {
      const HRESULT control = stand_in::unregister_control_library();
      const HRESULT hr = orvo::com::unregister_local_server(server);
      return FAILED(hr) ? hr : control;
    }
    case orvo::com::server_switch::embedding:
      return orvo::com::serve_in_apartment(server);
    case orvo::com::server_switch::none:
      break;
  }
  return E_INVALIDARG;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  orvo::com::module::set_instance(instance);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  const HRESULT hr = run(command_line);
  CoUninitialize();
  return SUCCEEDED(hr) ? 0 : 2;
}
