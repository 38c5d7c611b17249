#include "StdDecoder.h"

using orvo::com::ptr;
using orvo::com::scoped_lock;

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
  scoped_lock hold(m_lock);
  const bool done = m_core.decode(data, data ? static_cast<std::size_t>(count) : 0,
                                  [this](const std::uint8_t* packet, std::uint32_t size) {
                                    // Held for the call: the callback may replace itself.
                                    if (ptr<IPacketDecoderCallback> callback = m_callback)
                                      callback->OnPacket(const_cast<BYTE*>(packet), static_cast<LONG>(size));
                                  });
  return done ? S_OK : out_of_memory();
}

STDMETHODIMP CStdDecoder::Clone(IPacketDecoder** copy) {
  if (!copy) return E_POINTER;
  return create(nullptr, IID_IPacketDecoder, reinterpret_cast<void**>(copy));
}

STDMETHODIMP CStdDecoder::Reset() {
  scoped_lock hold(m_lock);
  return m_core.reset() ? S_OK : out_of_memory();
}
