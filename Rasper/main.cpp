// Rasper.exe: the line server. Started by COM with "-Embedding" it serves
// "Quarnell.CommServerConstructor" until the last client has gone;
// "/RegServer" and "/UnregServer" write and remove its registration; any
// other start only says what the program is.
#include <windows.h>

#include <iterator>
#include <memory>

#include "CommServerConstructor.h"
#include "RasperProcess.h"
#include "com/local_server.h"
#include "com/module.h"
#include "registry/registry_key.h"

namespace {
using orvo::com::class_entry;

// {C5EE2E46-0DE1-11D3-9630-0020182D7984}
const GUID APPID_Rasper = {0xC5EE2E46, 0x0DE1, 0x11D3, {0x96, 0x30, 0x00, 0x20, 0x18, 0x2D, 0x79, 0x84}};

const class_entry classes[] = {
    class_entry::of<CCommServerConstructor>(CLSID_CommServerConstructor, L"CommServerConstructor Class",
                                            L"Quarnell.CommServerConstructor", nullptr),
};
const orvo::com::local_server server{classes, std::size(classes), &APPID_Rasper, L"Rasper", L"Rasper.EXE", false};

CRasperProcess* g_process = nullptr;

// Registers the process as a service process so that it outlives a log-off,
// where the system has that call and the machine does not say otherwise.
class CServiceProcess {
 public:
  CServiceProcess() noexcept {
    if (orvo::registry::key::exists(HKEY_LOCAL_MACHINE, L"Software\\Quarnell Limited\\Rasper\\NoWin9XService")) return;
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    if (kernel)
      m_register = reinterpret_cast<DWORD(WINAPI*)(DWORD, DWORD)>(
          reinterpret_cast<void*>(GetProcAddress(kernel, "RegisterServiceProcess")));
    if (m_register) m_register(0, 1);
  }
  ~CServiceProcess() {
    if (m_register) m_register(0, 0);
  }

 private:
  DWORD(WINAPI* m_register)(DWORD, DWORD) = nullptr;
};

void DeleteQueuedEngines() noexcept {
  while (auto engine = g_process->deletion_queue.Pop()) delete *engine;
}

int Serve() noexcept {
  CServiceProcess service;
  auto process = std::make_unique<CRasperProcess>();
  g_process = process.get();
  orvo::com::exit_when_idle(process->exit.Handle());
  orvo::com::class_objects objects(server);
  HRESULT hr = objects.register_all();
  if (SUCCEEDED(hr)) {
    ZEL::TWaitList waits;
    waits.Add(process->exit.Handle());
    waits.Add(process->deletion_queue.Event());
    for (;;) {
      const DWORD r = waits.Wait(INFINITE);
      if (r == 1) {
        DeleteQueuedEngines();
      } else if (r == 0) {
        break;
      } else {
        Sleep(50);
      }
    }
  }
  objects.revoke();
  orvo::com::exit_when_idle(nullptr);
  if (process->interfaces.Clear()) {
    // A server started by COM has no user to close a message box, and its
    // ports would stay open meanwhile: the warning goes to the debugger.
    OutputDebugStringA(
        "You have screwed up your reference counting: "
        "Not all all objects registered with IRasperGIT have been unregistered!!!\n");
  }
  DeleteQueuedEngines();
  g_process = nullptr;
  return SUCCEEDED(hr) ? 0 : 1;
}
}  // namespace

CRasperProcess& RasperProcess() noexcept { return *g_process; }

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR command_line, int) {
  orvo::com::module::set_instance(instance);
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 1;
  CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_NONE, RPC_C_IMP_LEVEL_IDENTIFY, nullptr,
                       EOAC_NONE, nullptr);
  int result = 0;
  switch (orvo::com::parse_server_switch(command_line)) {
    case orvo::com::server_switch::register_server:
      result = SUCCEEDED(orvo::com::register_local_server(server)) ? 0 : 1;
      break;
    case orvo::com::server_switch::unregister_server:
      result = SUCCEEDED(orvo::com::unregister_local_server(server)) ? 0 : 1;
      break;
    case orvo::com::server_switch::embedding:
      result = Serve();
      break;
    case orvo::com::server_switch::none:
      MessageBoxW(nullptr,
                  L"Rasper is part of the Quarnell components package\nand should not be run as a stand-alone "
                  L"program.",
                  L"Quarnel Limited", MB_OK | MB_ICONERROR);
      break;
  }
  CoUninitialize();
  return result;
}
