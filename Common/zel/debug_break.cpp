// debug_break: a breakpoint that a missing debugger does not turn into a
// crash. GCC has no structured exception handling, so the guard is a
// vectored handler that takes only the breakpoint exception (0x80000003)
// raised while the guarded call runs on this thread, and resumes after the
// breakpoint instruction.
#include <windows.h>

#include "zel/errors.h"

namespace zel {
namespace {

thread_local bool t_guarding = false;
thread_local bool t_unhandled = false;

LONG CALLBACK take_breakpoint(EXCEPTION_POINTERS* info) {
  if (!t_guarding || info->ExceptionRecord->ExceptionCode != EXCEPTION_BREAKPOINT) return EXCEPTION_CONTINUE_SEARCH;
  const auto* at = static_cast<const unsigned char*>(info->ExceptionRecord->ExceptionAddress);
  if (!at || *at != 0xCC) return EXCEPTION_CONTINUE_SEARCH;  // not the one-byte breakpoint we know how to skip
  t_unhandled = true;
#ifdef _WIN64
  info->ContextRecord->Rip = reinterpret_cast<DWORD64>(at + 1);
#else
  info->ContextRecord->Eip = reinterpret_cast<DWORD>(at + 1);
#endif
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

bool debug_break() noexcept {
  PVOID handler = ::AddVectoredExceptionHandler(1, take_breakpoint);
  if (!handler) return false;
  t_unhandled = false;
  t_guarding = true;
  ::DebugBreak();
  t_guarding = false;
  ::RemoveVectoredExceptionHandler(handler);
  if (!t_unhandled) return true;  // a debugger took it
  ::OutputDebugStringA("Failed to break into debugger.\n");
  return false;
}

}  // namespace zel
