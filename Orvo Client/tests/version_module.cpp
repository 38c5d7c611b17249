// A module for the version reader's tests; its resources are what counts.
#include <windows.h>

extern "C" __declspec(dllexport) int version_module_marker() { return 1; }
