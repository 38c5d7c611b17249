// The classes the stand-in serves, in its in-process and its local-server
// form alike, and the type library of its control interface (embedded as
// TYPELIB resource 2; resource 1 is the server contract's library,
// resource 3 the state model's, which the state model registers itself).
#pragma once

#include <windows.h>

#include <string>

#include "com/factory.h"

namespace stand_in {

extern const orvo::com::class_entry classes[2];

// Registers or unregisters the control library (resource 2) of the module.
HRESULT register_control_library() noexcept;
HRESULT unregister_control_library() noexcept;

}  // namespace stand_in
