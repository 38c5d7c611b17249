// CStdDecoder ("Quarnell.StdDecoder"): finds whole packets in the bytes
// read from the line and hands each to its callback, on the thread that
// called Decode. The object's lock is not held while the callback runs, so
// the callback may call the decoder again, from any apartment. A C++
// exception out of the callback ends the Decode call with an error.
// Free-threaded; a thin shell over codrant::decoder.
#pragma once

#include "PacketCodec_h.h"
#include "Packet.h"
#include "com/ptr.h"
#include "core/decoder.h"

class CStdDecoder : public CPacket<CStdDecoder, IPacketDecoder, &IID_IPacketDecoder> {
 public:
  static constexpr const wchar_t* progid = L"Quarnell.StdDecoder";

  STDMETHODIMP SetCallback(IPacketDecoderCallback* callback) override;
  STDMETHODIMP GetCallback(IPacketDecoderCallback** callback) override;
  STDMETHODIMP Decode(BYTE* data, LONG count) override;
  STDMETHODIMP Clone(IPacketDecoder** copy) override;
  STDMETHODIMP Reset() override;

  codrant::decoder& core() noexcept { return m_core; }

 private:
  // Calls the callback with one packet; entered and left under the lock.
  void deliver(const std::uint8_t* packet, std::uint32_t size);

  codrant::decoder m_core;
  orvo::com::ptr<IPacketDecoderCallback> m_callback;
};
