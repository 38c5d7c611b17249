// The local halves of the codec methods that cross apartments in another
// form than a caller sees ([call_as] in PacketCodec.idl): each proxy checks
// or completes what its caller gave and sends the Remote method; each stub
// calls the object's own method with what the wire carried.
#include "PacketCodec_h.h"
#include "com/error.h"

// IEnumBYTE::Next. A standard enumerator lets a caller leave out the
// fetched count when it asks for one byte, but an [out] pointer may not be
// null on the wire: the proxy always passes a count of its own and copies
// it out when the caller gave a place for it.
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

// IPacketEncoder::AddData, IPacketDecoder::Decode and
// IPacketDecoderCallback::OnPacket. The bytes travel as
// an array of `count` elements: a negative count would make the proxy read
// far beyond the caller's buffer, so it is refused before anything is sent,
// as the object itself refuses it. Null data, which adds nothing whatever
// the count, goes with a count of 0.
extern "C" HRESULT CALLBACK IPacketEncoder_AddData_Proxy(IPacketEncoder* This, BYTE* data, LONG count) {
  if (data && count < 0) return orvo::com::negative_count(nullptr, IID_IPacketEncoder);
  return IPacketEncoder_RemoteAddData_Proxy(This, data, data ? count : 0);
}

extern "C" HRESULT __RPC_STUB IPacketEncoder_AddData_Stub(IPacketEncoder* This, BYTE* data, LONG count) {
  return This->AddData(data, count);
}

extern "C" HRESULT CALLBACK IPacketDecoder_Decode_Proxy(IPacketDecoder* This, BYTE* data, LONG count) {
  if (data && count < 0) return orvo::com::negative_count(nullptr, IID_IPacketDecoder);
  return IPacketDecoder_RemoteDecode_Proxy(This, data, data ? count : 0);
}

extern "C" HRESULT __RPC_STUB IPacketDecoder_Decode_Stub(IPacketDecoder* This, BYTE* data, LONG count) {
  return This->Decode(data, count);
}

extern "C" HRESULT CALLBACK IPacketDecoderCallback_OnPacket_Proxy(IPacketDecoderCallback* This, BYTE* data,
                                                                  LONG count) {
  if (data && count < 0) return orvo::com::negative_count(nullptr, IID_IPacketDecoderCallback);
  return IPacketDecoderCallback_RemoteOnPacket_Proxy(This, data, data ? count : 0);
}

extern "C" HRESULT __RPC_STUB IPacketDecoderCallback_OnPacket_Stub(IPacketDecoderCallback* This, BYTE* data,
                                                                   LONG count) {
  return This->OnPacket(data, count);
}
