#include "StdDecoder.h"

#include <utility>

using orvo::com::ptr;
using orvo::com::scoped_lock;
using orvo::com::scoped_unlock;

STDMETHODIMP CStdDecoder::SetCallback(IPacketDecoderCallback* callback) {
  ptr<IPacketDecoderCallback> held(callback);
  {
    scoped_lock hold(m_lock);
    m_callback.swap(held);
  }
  // The old callback is released outside the lock.
  return S_OK;
}

STDMETHODIMP CStdDecoder::GetCallback(IPacketDecoderCallback** callback) {
  if (!callback) return E_POINTER;
  scoped_lock hold(m_lock);
  m_callback.copy_to(callback);
  return m_callback ? S_OK : S_FALSE;
}

STDMETHODIMP CStdDecoder::Decode(BYTE* data, LONG count) {
  if (data && count < 0) return negative_count();
  // The callback may release the last reference to this decoder (a port
  // closing drops its decoder): the object lives until the call ends.
  const ptr<IUnknown> alive(controlling_unknown());
  return orvo::com::guard(progid, IID_IPacketDecoder, [&] {
    scoped_lock hold(m_lock);
    const bool done = m_core.decode(data, data ? static_cast<std::size_t>(count) : 0,
                                    [this](const std::uint8_t* packet, std::uint32_t size) { deliver(packet, size); });
    return done ? S_OK : out_of_memory();
  });
}

void CStdDecoder::deliver(const std::uint8_t* packet, std::uint32_t size) {
  ptr<IPacketDecoderCallback> callback = m_callback;
  if (!callback) return;
  // Called without the lock, so that the callback may call this decoder
  // again from any thread (through a proxy from its own apartment); the
  // core has left the frame and lent the packet out, so nothing done
  // meanwhile touches it. The callback is released before the lock is
  // taken again: it may be its last reference.
  scoped_unlock outside(m_lock);
  const ptr<IPacketDecoderCallback> called(std::move(callback));
  called->OnPacket(const_cast<BYTE*>(packet), static_cast<LONG>(size));
}

STDMETHODIMP CStdDecoder::Clone(IPacketDecoder** copy) {
  if (!copy) return E_POINTER;
  return create(nullptr, IID_IPacketDecoder, reinterpret_cast<void**>(copy));
}

STDMETHODIMP CStdDecoder::Reset() {
  scoped_lock hold(m_lock);
  return m_core.reset() ? S_OK : out_of_memory();
}
