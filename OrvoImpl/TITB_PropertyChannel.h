// TITB_PropertyChannel: the test box, shown as a ninth channel "TestBox"
// of an amplifier when byte 0 of the state's test-box record is non-zero.
// Its items: a read-only "Channel Name" reading "TestBox", the output
// channel, attenuator, signal and input selects, and a group that is
// always 0; it holds two electrodes named "Electrode". Its nodes carry
// channel index 8.
#pragma once

#include "TICollection.h"

namespace orvo::impl {

class TIElectrode;

class TITB_PropertyChannel
    : public TICollection<TITB_PropertyChannel, com::dispatch<IChannel, ICollection, IIdentifier>> {
 public:
  TITB_PropertyChannel(TCOMInterfacedObject* parent, std::size_t amplifier);
  void Populate(const TestBoxRec& test_box);

  // IChannel
  STDMETHODIMP get_PositiveElectrode(IElectrode** value) override;
  STDMETHODIMP get_NegativeElectrode(IElectrode** value) override;

  LONG GroupNumber() override { return 0; }

 private:
  std::uint8_t m_amplifier;
  TIElectrode* m_positive = nullptr;
  TIElectrode* m_negative = nullptr;
};

}  // namespace orvo::impl
