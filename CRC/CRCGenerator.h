// CCRCGenerator16 and CCRCGenerator32: the COM classes of CRC.dll, a thin
// shell over the registers in core/. Free-threaded: each object guards its
// register with a critical section.
#pragma once

#include "CRCGenerator_h.h"
#include "com/error.h"
#include "com/lock.h"
#include "com/object.h"
#include "core/crc_register.h"

template <class Register, class Self>
class CCRCGeneratorT
    : public orvo::com::object<Self, ICRCGenerator, orvo::com::supports_error_info<&IID_ICRCGenerator>> {
 public:
  STDMETHODIMP get_Valid(LONG* valid) override;
  STDMETHODIMP get_ByteCount(SHORT* count) override;
  STDMETHODIMP GetByte(SHORT index, BYTE* value) override;
  STDMETHODIMP EndGenerate() override;
  STDMETHODIMP EndCheck() override;
  STDMETHODIMP AddData(BYTE* data, LONG count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(ICRCGenerator** copy) override;

 protected:
  CCRCGeneratorT() = default;
  explicit CCRCGeneratorT(const Register& start) : m_register(start) {}

 private:
  orvo::com::critical_section m_lock;
  Register m_register;
};

class CCRCGenerator16 : public CCRCGeneratorT<crc::crc16_register, CCRCGenerator16> {
 public:
  static constexpr const wchar_t* progid = L"Quarnell.CRCGenerator16";
  CCRCGenerator16() = default;
  explicit CCRCGenerator16(const crc::crc16_register& start) : CCRCGeneratorT(start) {}
};

class CCRCGenerator32 : public CCRCGeneratorT<crc::crc32_register, CCRCGenerator32> {
 public:
  static constexpr const wchar_t* progid = L"Quarnell.CRCGenerator32";
  CCRCGenerator32() = default;
  explicit CCRCGenerator32(const crc::crc32_register& start) : CCRCGeneratorT(start) {}
};
