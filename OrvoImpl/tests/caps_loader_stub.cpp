// A stand-in capabilities library without CheckAmplifierID. Its
// CreateInterface hands out no provider and returns 42, so a caller can
// tell that this library was bound.
#include "CapsProviderIntf.h"

extern "C" {
LONG __stdcall CreateInterface(ICapsProvider** provider) {
  if (provider) *provider = nullptr;
  return 42;
}
void __stdcall DllRegister() {}
void __stdcall DllUnregister() {}
}
