// What the line tests share: the line server started by COM, one port on
// the simulated device kept open for the run, and helpers to talk on it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "CommServer_h.h"
#include "com/ptr.h"
#include "line_device.h"
#include "test_client.h"

extern std::string g_self;  // this program, for child processes
extern orvo::com::ptr<ICommServerConstructor> g_constructor;
extern orvo::com::ptr<ICommServer> g_port;  // keeps the port's engine for the run
extern std::unique_ptr<line_device> g_device;

orvo::com::ptr<test_client> make_client(bytes request = {}, bytes reply = {});
orvo::com::ptr<ICommServer> open_port(const std::wstring& name, bool attach_only = false, HRESULT* result = nullptr);
// Runs one conversation at an address and returns how it ended.
long converse(test_client* client, BYTE address, DWORD milliseconds = 5000);
// Rasper's process id, 0 when it does not run.
DWORD rasper_process();

// Calls the test class that Rasper creates inside its own process
// (tests/helper) with the arguments in order; its text answer.
std::wstring helper_text(DISPID id, std::vector<VARIANT> args);
VARIANT unknown_arg(IUnknown* object);
VARIANT long_arg(LONG value);

// main() of a line test: registers Rasper, starts it, opens the simulated
// port, runs the tests.
int line_main(int argc, char** argv);
