// The local halves of ICRCGenerator::AddData, which crosses apartments as
// RemoteAddData ([call_as] in CRCGenerator.idl). The bytes travel as an
// array of `count` elements: a negative count would make the proxy read far
// beyond the caller's buffer, so it is refused before anything is sent, as
// the object itself refuses it. Null data, which is ignored whatever the
// count, goes with a count of 0.
#include "CRCGenerator_h.h"
#include "com/error.h"

extern "C" HRESULT CALLBACK ICRCGenerator_AddData_Proxy(ICRCGenerator* This, BYTE* data, LONG count) {
  if (data && count < 0) return orvo::com::negative_count(nullptr, IID_ICRCGenerator);
  return ICRCGenerator_RemoteAddData_Proxy(This, data, data ? count : 0);
}

extern "C" HRESULT __RPC_STUB ICRCGenerator_AddData_Stub(ICRCGenerator* This, BYTE* data, LONG count) {
  return This->AddData(data, count);
}
