#include "zel_test_support.h"

#include <windows.h>

namespace orvo::testing {
namespace {
std::string g_text;
PVOID g_handler = nullptr;

// OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the text's length and
// address; taking it here is what a debugger does.
LONG CALLBACK take_output(EXCEPTION_POINTERS* info) {
  if (info->ExceptionRecord->ExceptionCode != DBG_PRINTEXCEPTION_C) return EXCEPTION_CONTINUE_SEARCH;
  const auto& args = info->ExceptionRecord->ExceptionInformation;
  g_text.append(reinterpret_cast<const char*>(args[1]), static_cast<size_t>(args[0] ? args[0] - 1 : 0));
  return EXCEPTION_CONTINUE_EXECUTION;
}
}  // namespace

debugger_output::debugger_output() {
  g_text.clear();
  g_handler = ::AddVectoredExceptionHandler(1, take_output);
}
debugger_output::~debugger_output() { ::RemoveVectoredExceptionHandler(g_handler); }
std::string debugger_output::text() const { return g_text; }

}  // namespace orvo::testing
