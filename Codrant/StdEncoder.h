// CStdEncoder ("Quarnell.StdEncoder"): turns one packet at a time into the
// bytes of its frame, handed out as an IEnumBYTE. Free-threaded; a thin
// shell over codrant::encoder.
#pragma once

#include "PacketCodec_h.h"
#include "Packet.h"
#include "core/encoder.h"

class CStdEncoder : public CPacket<CStdEncoder, IPacketEncoder, &IID_IPacketEncoder> {
 public:
  static constexpr const wchar_t* progid = L"Quarnell.StdEncoder";

  // A new encoder has begun its first packet.
  HRESULT final_construct() noexcept;

  STDMETHODIMP BeginPacket() override;
  STDMETHODIMP AddData(BYTE* data, LONG count) override;
  STDMETHODIMP EndPacket(IEnumBYTE** bytes) override;
  STDMETHODIMP Clone(IPacketEncoder** copy) override;

  codrant::encoder& core() noexcept { return m_core; }

 private:
  codrant::encoder m_core;
};
