#include "testing/crash_report.h"

#include <windows.h>

#include <cstdio>

namespace orvo::testing {
namespace {

// "module+0xoffset" of a code address, for addr2line.
void print_address(const char* label, DWORD64 address) {
  HMODULE module = nullptr;
  char name[MAX_PATH] = "?";
  if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(address)), &module)) {
    GetModuleFileNameA(module, name, sizeof name);
    const char* base = name;
    for (const char* c = name; *c; ++c)
      if (*c == '\\' || *c == '/') base = c + 1;
    std::fprintf(stderr, "  %s %s+0x%llx\n", label, base,
                 static_cast<unsigned long long>(address - reinterpret_cast<ULONG_PTR>(module)));
  } else {
    std::fprintf(stderr, "  %s 0x%llx\n", label, static_cast<unsigned long long>(address));
  }
}

LONG WINAPI on_crash(EXCEPTION_POINTERS* e) {
  std::fprintf(stderr, "crash: exception 0x%08lx in thread %lu\n", e->ExceptionRecord->ExceptionCode,
               GetCurrentThreadId());
  print_address("at", reinterpret_cast<ULONG_PTR>(e->ExceptionRecord->ExceptionAddress));
#if defined(_M_X64) || defined(__x86_64__)
  // The frames above, unwound from the faulting context.
  CONTEXT context = *e->ContextRecord;
  for (int frame = 0; frame < 24 && context.Rip; ++frame) {
    DWORD64 image = 0;
    RUNTIME_FUNCTION* function = RtlLookupFunctionEntry(context.Rip, &image, nullptr);
    if (!function) {
      // A leaf function: the return address is on top of the stack.
      context.Rip = *reinterpret_cast<DWORD64*>(context.Rsp);
      context.Rsp += 8;
    } else {
      void* handler_data = nullptr;
      DWORD64 establisher = 0;
      RtlVirtualUnwind(UNW_FLAG_NHANDLER, image, context.Rip, function, &context, &handler_data, &establisher, nullptr);
    }
    if (context.Rip) print_address("from", context.Rip);
  }
#endif
  std::fflush(stderr);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void report_crashes() { SetUnhandledExceptionFilter(on_crash); }

}  // namespace orvo::testing
