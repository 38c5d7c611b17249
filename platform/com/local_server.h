// The local-server (EXE) half of the COM layer.
//
// A server program describes itself like an in-process server does, plus
// its AppID:
//
//   const orvo::com::class_entry classes[] = { ... };
//   const orvo::com::local_server server{classes, std::size(classes), &APPID_Thing,
//                                        L"Thing", L"Thing.EXE", /*typelib*/ false};
//
// and its entry point reads the switch with parse_server_switch():
//   - register_server / unregister_server: register_local_server() and
//     unregister_local_server() write or remove the classes (LocalServer32
//     naming the program, AppID), the AppID key with its description and
//     the AppID entry of the program file, and an embedded type library;
//   - embedding: COM started the program. class_objects registers every
//     class object for multiple use (suspended until all are registered)
//     and revokes them when it goes; exit_when_idle() sets an event when
//     the module's count of objects and locks falls to zero and
//     CoSuspendClassObjects lets no new activation in, so the program can
//     leave its wait and end. serve() does all of that for a server that
//     only waits.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

#include "factory.h"

namespace orvo::com {

struct local_server {
  const class_entry* classes;
  std::size_t class_count;
  const GUID* appid;
  const wchar_t* appid_description;  // "Rasper"
  const wchar_t* program_name;       // "Rasper.EXE"
  bool has_typelib;                  // a type library embedded as resource 1
};

// The switches a server program understands, after "-" or "/", any case.
enum class server_switch { none, register_server, unregister_server, embedding };
server_switch parse_server_switch(const wchar_t* command_line) noexcept;

HRESULT register_local_server(const local_server& server) noexcept;
HRESULT unregister_local_server(const local_server& server) noexcept;

// The class objects of a server, registered with COM while this lives.
class class_objects {
 public:
  explicit class_objects(const local_server& server) noexcept : m_server(server) {}
  ~class_objects() { revoke(); }
  class_objects(const class_objects&) = delete;
  class_objects& operator=(const class_objects&) = delete;

  // Registers every class object (REGCLS_MULTIPLEUSE) and then lets
  // activations in; on failure nothing stays registered.
  HRESULT register_all() noexcept;
  void revoke() noexcept;

 private:
  const local_server& m_server;
  std::vector<DWORD> m_cookies;
};

// Sets `exit_event` once the module's count falls to zero and no new
// activation can come in any more.
void exit_when_idle(HANDLE exit_event) noexcept;

// Registers the class objects, waits until the server is idle, revokes
// them. The caller has initialised COM (multithreaded apartment).
HRESULT serve(const local_server& server) noexcept;

// The same for a server whose objects live in the calling thread's
// single-threaded apartment: calls reach them as window messages, so the
// thread pumps its messages while it waits. The caller has initialised COM
// apartment-threaded.
HRESULT serve_in_apartment(const local_server& server) noexcept;

// What a server program that only serves does with its command line:
// registers, unregisters or serves as the switch says; E_INVALIDARG
// without a switch. COM is initialised as for serve().
HRESULT run_server_switch(const local_server& server, const wchar_t* command_line) noexcept;

}  // namespace orvo::com
