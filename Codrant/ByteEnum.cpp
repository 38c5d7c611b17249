#include "ByteEnum.h"

using orvo::com::scoped_lock;

STDMETHODIMP CByteEnum::Next(ULONG count, BYTE* bytes, ULONG* fetched) {
  // As with every enumerator, the count may be left out only for one item.
  if ((!bytes && count) || (!fetched && count != 1)) return E_POINTER;
  scoped_lock hold(m_lock);
  const ULONG n = m_frame->read(m_position, bytes, count);
  if (fetched) *fetched = n;
  return n == count ? S_OK : S_FALSE;
}

STDMETHODIMP CByteEnum::Skip(ULONG count) {
  scoped_lock hold(m_lock);
  return m_frame->skip(m_position, count) == count ? S_OK : S_FALSE;
}

STDMETHODIMP CByteEnum::Reset() {
  scoped_lock hold(m_lock);
  m_position = 0;
  return S_OK;
}

STDMETHODIMP CByteEnum::Clone(IEnumBYTE** copy) {
  if (!copy) return E_POINTER;
  scoped_lock hold(m_lock);
  return create(nullptr, IID_IEnumBYTE, reinterpret_cast<void**>(copy), m_frame, m_position);
}
