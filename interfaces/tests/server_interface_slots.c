/* The method slots of the amplifier server's interfaces, as the client
 * calls them: slot n is the n-th method after the seven of IDispatch.
 * A method out of place stops the build. */
#include <stddef.h>

#include "OrvoServer_h.h"

#define SLOT(interface, method, n) \
  _Static_assert(offsetof(interface##Vtbl, method) == (n + 6) * sizeof(void*), #interface "::" #method " slot")

SLOT(IOrvoAmplifier, Reserved1, 1);
SLOT(IOrvoAmplifier, Reserved2, 2);
SLOT(IOrvoAmplifier, Reserved3, 3);
SLOT(IOrvoAmplifier, Initialize, 4);
SLOT(IOrvoAmplifier, SetState, 5);
SLOT(IOrvoAmplifier, get_Properties, 6);
SLOT(IOrvoAmplifier, CheckImpedance, 7);
SLOT(IOrvoAmplifier, CanCheckImpedance, 8);
_Static_assert(sizeof(IOrvoAmplifierVtbl) == 15 * sizeof(void*), "IOrvoAmplifier size");
SLOT(IOrvoAmplifier2, ChangeSerialNumber, 9);
_Static_assert(sizeof(IOrvoAmplifier2Vtbl) == 16 * sizeof(void*), "IOrvoAmplifier2 size");
