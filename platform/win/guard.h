// The catch-all at every window, dialog, hook and timer procedure: an
// exception that a handler lets out is caught there, written to the
// exception log and the message gets its default processing. No exception
// crosses into the system's code.
//
// The log goes to the debugger output (OutputDebugStringA) unless the
// program sets its own logger; the client routes it to its event log.
#pragma once

namespace WTL {

// where: "window procedure", "dialog procedure", "hook", "timer"...
// what: the exception's what(), or "unknown exception".
using exception_logger = void (*)(const char* where, const char* what);

// Sets the logger (null restores the debugger output); returns the previous one.
exception_logger set_exception_logger(exception_logger logger) noexcept;

}  // namespace WTL
