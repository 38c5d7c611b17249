// main() of the main frame's window tests: the thread is a single-threaded
// apartment with the client's module and one message loop, as in the
// program.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "orvo_module.h"
#include "tray_icon.h"
#include "testing/crash_report.h"
#include "win/loop.h"

int main(int argc, char** argv) {
  // A second process's unique message, as its exit code.
  if (argc > 1 && std::string(argv[1]) == "--unique-message") return static_cast<int>(unique_messge_id());
  testing::InitGoogleTest(&argc, argv);
  orvo::testing::report_crashes();
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  INITCOMMONCONTROLSEX controls{sizeof controls, 0x6FF};
  ::InitCommonControlsEx(&controls);
  _Module.Init(nullptr, ::GetModuleHandleW(nullptr));
  WTL::CMessageLoop loop;
  _Module.AddMessageLoop(&loop);
  const int result = RUN_ALL_TESTS();
  _Module.RemoveMessageLoop();
  _Module.Term();
  ::CoUninitialize();
  return result;
}
