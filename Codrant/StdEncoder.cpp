#include "StdEncoder.h"

#include <memory>
#include <new>

#include "ByteEnum.h"

using orvo::com::scoped_lock;

HRESULT CStdEncoder::final_construct() noexcept { return m_core.begin() ? S_OK : E_OUTOFMEMORY; }

STDMETHODIMP CStdEncoder::BeginPacket() {
  scoped_lock hold(m_lock);
  return m_core.begin() ? S_OK : out_of_memory();
}

STDMETHODIMP CStdEncoder::AddData(BYTE* data, LONG count) {
  if (data && count < 0) return negative_count();
  scoped_lock hold(m_lock);
  return m_core.add(data, data ? static_cast<std::size_t>(count) : 0) ? S_OK : out_of_memory();
}

STDMETHODIMP CStdEncoder::EndPacket(IEnumBYTE** bytes) {
  if (!bytes) return E_POINTER;
  *bytes = nullptr;
  scoped_lock hold(m_lock);
  if (!m_core.end()) return out_of_memory();
  // The enumerator takes the buffer only once it exists; when it cannot be
  // made, the frame is dropped and a new packet begun.
  std::shared_ptr<codrant::frame> frame;
  orvo::com::ptr<IEnumBYTE> result;
  HRESULT hr = E_OUTOFMEMORY;
  try {
    frame = std::make_shared<codrant::frame>();
    hr = CByteEnum::make(result, frame);
  } catch (const std::bad_alloc&) {
  }
  if (FAILED(hr)) {
    m_core.begin();
    return hr == E_OUTOFMEMORY ? out_of_memory() : hr;
  }
  frame->take(m_core.buffer());
  *bytes = result.detach();
  return S_OK;
}

STDMETHODIMP CStdEncoder::Clone(IPacketEncoder** copy) {
  if (!copy) return E_POINTER;
  return create(nullptr, IID_IPacketEncoder, reinterpret_cast<void**>(copy));
}
