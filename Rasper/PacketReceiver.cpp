#include "PacketReceiver.h"

#include <new>
#include <vector>

#include "SerialImp.h"

void CPacketReceiver::Bind(CSerialImp* engine) noexcept {
  orvo::com::scoped_lock hold(m_lock);
  m_engine = engine;
}

STDMETHODIMP CPacketReceiver::OnPacket(BYTE* data, LONG count) {
  orvo::com::scoped_lock hold(m_lock);
  if (!m_engine) return S_FALSE;
  if (count < 0 || (count > 0 && !data)) return E_INVALIDARG;
  try {
    m_engine->QueuePacket(std::vector<BYTE>(data, data + count));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}
