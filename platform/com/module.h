// orvo::com::module: what a COM server module counts and knows about itself.
//
// Live objects and server locks (IClassFactory::LockServer) are counted
// together; an in-process server may unload when both are zero. The
// handle of the module (set by DllMain or WinMain) gives its file path for
// registration and its resources. A local server sets a callback run when
// the last object or lock goes away, so it can end itself.
#pragma once

#include <windows.h>

#include <string>

namespace orvo::com::module {

void set_instance(HINSTANCE instance) noexcept;
HINSTANCE instance() noexcept;
// Full path of the module file; empty when it cannot be read.
std::wstring path();

void object_created() noexcept;
void object_destroyed() noexcept;
void lock() noexcept;
// Takes back one lock; does nothing when no lock is held.
void unlock() noexcept;
long active_count() noexcept;

// Called (once per fall to zero) when the object and lock count reaches zero.
void on_idle(void (*callback)()) noexcept;

}  // namespace orvo::com::module
