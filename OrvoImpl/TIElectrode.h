// TIElectrode: the positive or negative electrode of a channel: whether it
// is in use (its bit in channel byte 8: positive 1, negative 2) and the
// amplifier's impedance thresholds and resolution as they were when the
// node was made.
//
// In the reference input modes ("Pos Ref" 0x23, "Neg Ref" 0x32) one
// electrode per polarity and mode is the reference: switching one on
// switches off the others of the same polarity on the same amplifier whose
// channel is in the same mode, and switching it off is ignored.
#pragma once

#include "TIIDentifier.h"

namespace orvo::impl {

class TIElectrode : public TIIDentifier<TIElectrode, com::dispatch<IElectrode, IIdentifier>, _IElectrodeState> {
 public:
  TIElectrode(TCOMInterfacedObject* parent, ObjectID id, std::wstring name, const TAmplifierMemory* memory);

  // IElectrode
  STDMETHODIMP get_InUse(VARIANT_BOOL* value) override;
  STDMETHODIMP put_InUse(VARIANT_BOOL value) override;
  STDMETHODIMP get_LowerThreshold(LONG* value) override;
  STDMETHODIMP get_UpperThreshold(LONG* value) override;
  STDMETHODIMP get_Resolution(LONG* value) override;

  // _IElectrodeState
  bool IsPositive() override { return m_mask == PositiveMask; }
  bool IsNegative() override { return m_mask == NegativeMask; }
  LONG GetInputMode() override { return m_input_mode; }
  bool GetInUse() override { return m_in_use; }
  void SetInUse(bool in_use) override { m_in_use = in_use; }

  // _IUpdateAmpMemory: sets or clears the electrode's bit in its channel's
  // byte 8.
  void Update(TAmplifierMemory* memory, TestBoxRec* test_box) override;

  // Gives electrode (which may be none) as a channel's IElectrode result.
  static HRESULT HandOut(TIElectrode* electrode, IElectrode** value) noexcept;

  static constexpr std::uint8_t PositiveMask = 1;
  static constexpr std::uint8_t NegativeMask = 2;

 protected:
  // The step behind put_InUse.
  virtual void PutInUse(bool in_use);

 private:
  std::uint8_t m_mask;
  bool m_in_use = false;
  LONG m_input_mode = 0;
  LONG m_lower = 0;
  LONG m_upper = 0;
  LONG m_resolution = 0;
};

}  // namespace orvo::impl
