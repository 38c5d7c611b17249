// How a window handle finds the C++ object that handles its messages,
// without code written at run time.
//
// Each bound window carries a window property (named by a global atom of
// its procedure) that points to a binding record: the object and the
// procedure that does the default processing. A procedure that finds no
// record, or a record whose object has gone, gives the message to that
// default procedure, so messages that come after the object never reach
// freed memory.
//
// A window being created finds its object through the "pending" slot of the
// creating thread: the creator puts the object there, and the first message
// the procedure receives for an unbound window takes it, provided the slot
// was filled for that same procedure (a control of another class created
// in between takes nothing).
#pragma once

#include <windows.h>

namespace WTL::detail {

struct binding {
  void* object;   // null once the object has gone
  WNDPROC super;  // default processing: the class's or the previous procedure
};

// A global atom for the procedure `key`, made once per procedure.
ATOM binding_atom(const void* key) noexcept;

binding* find_binding(HWND hWnd, ATOM atom) noexcept;
// Creates the record; fails when the window already has one for this atom.
binding* bind(HWND hWnd, ATOM atom, void* object, WNDPROC super) noexcept;
// Removes and frees the record.
void unbind(HWND hWnd, ATOM atom) noexcept;

void set_pending(ATOM atom, void* object) noexcept;
// The pending object for `atom`, taken out of the slot; null when none.
void* take_pending(ATOM atom) noexcept;
void clear_pending() noexcept;

// Writes what a caught exception says to the exception log (see guard.h).
void log_current_exception(const char* where) noexcept;

}  // namespace WTL::detail
