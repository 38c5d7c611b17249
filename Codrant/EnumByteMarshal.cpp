// IEnumBYTE::Next across apartments. A standard enumerator lets a caller
// leave out the fetched count when it asks for one byte, but an [out]
// pointer may not be null on the wire, so the interface sends RemoteNext
// instead: the proxy below always passes a count of its own and copies it
// out when the caller gave a place for it; the stub calls the object's Next
// with the count the wire carries.
#include "PacketCodec_h.h"

extern "C" HRESULT CALLBACK IEnumBYTE_Next_Proxy(IEnumBYTE* This, ULONG count, BYTE* bytes, ULONG* fetched) {
  if (!fetched && count != 1) return E_POINTER;
  ULONG got = 0;
  const HRESULT hr = IEnumBYTE_RemoteNext_Proxy(This, count, bytes, &got);
  if (fetched) *fetched = got;
  return hr;
}

extern "C" HRESULT __RPC_STUB IEnumBYTE_Next_Stub(IEnumBYTE* This, ULONG count, BYTE* bytes, ULONG* fetched) {
  // Only the bytes fetched go back; none when the call fails.
  *fetched = 0;
  const HRESULT hr = This->Next(count, bytes, fetched);
  if (FAILED(hr)) *fetched = 0;
  return hr;
}
