// The stand-in amplifier server in this build's prefix: one form at a time,
// in process (its DLL) or in a process of its own (its local server). A
// test program that uses it defines STAND_IN_INPROC and STAND_IN_LOCAL and
// holds the stand_in_server lock, so no other test sees the ProgID come and go.
#pragma once

// Registers one form (asserts that registration succeeded).
void register_stand_in(bool local);
// Removes both forms.
void unregister_stand_in();
