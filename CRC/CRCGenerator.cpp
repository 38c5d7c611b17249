#include "CRCGenerator.h"

using orvo::com::scoped_lock;

template <class Register, class Self>
STDMETHODIMP CCRCGeneratorT<Register, Self>::get_Valid(LONG* valid) {
  if (!valid) return E_POINTER;
  scoped_lock hold(m_lock);
  *valid = m_register.valid() ? TRUE : FALSE;
  return S_OK;
}

template <class Register, class Self>
STDMETHODIMP CCRCGeneratorT<Register, Self>::get_ByteCount(SHORT* count) {
  if (!count) return E_POINTER;
  *count = Register::byte_count;
  return S_OK;
}

template <class Register, class Self>
STDMETHODIMP CCRCGeneratorT<Register, Self>::GetByte(SHORT index, BYTE* value) {
  if (!value) return E_POINTER;
  if (index < 0 || index >= Register::byte_count)
    return orvo::com::set_error(E_INVALIDARG, Self::progid, L"CRC byte index out of range", IID_ICRCGenerator);
  scoped_lock hold(m_lock);
  *value = m_register.byte(index);
  return S_OK;
}

template <class Register, class Self>
STDMETHODIMP CCRCGeneratorT<Register, Self>::EndGenerate() {
  scoped_lock hold(m_lock);
  m_register.end_generate();
  return S_OK;
}

template <class Register, class Self>
STDMETHODIMP CCRCGeneratorT<Register, Self>::EndCheck() {
  return S_OK;
}

template <class Register, class Self>
STDMETHODIMP CCRCGeneratorT<Register, Self>::AddData(BYTE* data, LONG count) {
  if (data && count < 0) return orvo::com::negative_count(Self::progid, IID_ICRCGenerator);
  if (!data || count == 0) return S_OK;
  scoped_lock hold(m_lock);
  m_register.add(data, static_cast<std::size_t>(count));
  return S_OK;
}

template <class Register, class Self>
STDMETHODIMP CCRCGeneratorT<Register, Self>::Reset() {
  scoped_lock hold(m_lock);
  m_register.reset();
  return S_OK;
}

template <class Register, class Self>
STDMETHODIMP CCRCGeneratorT<Register, Self>::Clone(ICRCGenerator** copy) {
  if (!copy) return E_POINTER;
  *copy = nullptr;
  Register start;
  {
    scoped_lock hold(m_lock);
    start = m_register;
  }
  return Self::create(nullptr, IID_ICRCGenerator, reinterpret_cast<void**>(copy), start);
}

template class CCRCGeneratorT<crc::crc16_register, CCRCGenerator16>;
template class CCRCGeneratorT<crc::crc32_register, CCRCGenerator32>;
