// The line rate the Pelm devices run at: HKLM "Software\Quarnell Limited\Pelm",
// REG_DWORD "Baud Rate". Read again on every use, so that a changed value
// counts at once.
#pragma once

#include <windows.h>

// The stored rate; 115200 when the value is missing or of another type
// (a missing value is written then, so that it can be found and changed).
LONG stored_baud_rate() noexcept;
