// CPacketReceiver: the packet decoder's callback of a port engine. It
// copies each whole packet into the engine's packet queue, on the reader
// thread inside the decoder's lock; once the engine has let go of it
// (Unbind), packets are refused with S_FALSE.
#pragma once

#include "PacketCodec_h.h"
#include "com/lock.h"
#include "com/object.h"

class CSerialImp;

class CPacketReceiver : public orvo::com::object<CPacketReceiver, IPacketDecoderCallback> {
 public:
  static constexpr bool aggregatable = false;

  void Bind(CSerialImp* engine) noexcept;
  void Unbind() noexcept { Bind(nullptr); }

  STDMETHODIMP OnPacket(BYTE* data, LONG count) override;

 private:
  orvo::com::critical_section m_lock;
  CSerialImp* m_engine = nullptr;
};
