// What the client asks of the loaded common controls library.
#pragma once

#include <windows.h>

// True when comctl32's DllGetVersion reports at least major.minor (false
// when the library or its version is not to be had).
bool common_controls_at_least(DWORD major, DWORD minor) noexcept;
