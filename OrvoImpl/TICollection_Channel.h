// TICollection_Channel: one channel of an amplifier ("Channel 6"): a
// collection of its properties ("Channel Name", input mode, gain, low-cut,
// high-cut, notch, deblock state, group) that also holds its two
// electrodes ("Ch14 P", "Ch14 N"), which are children but not items.
#pragma once

#include "CapsProviderIntf.h"
#include "TICollection.h"

namespace orvo::impl {

class TIElectrode;
class TIProperty;

class TICollection_Channel
    : public TICollection<TICollection_Channel, com::dispatch<IChannel, ICollection, IIdentifier>> {
 public:
  TICollection_Channel(TCOMInterfacedObject* parent, std::size_t amplifier, std::size_t channel);
  void Populate(const TAmplifierMemory& memory, IAmplifierCapabilities* amplifier, IChannelCapabilities* channel);

  // IChannel
  STDMETHODIMP get_PositiveElectrode(IElectrode** value) override;
  STDMETHODIMP get_NegativeElectrode(IElectrode** value) override;

  // The raw value of the channel's group property.
  LONG GroupNumber() override;

 private:
  std::uint8_t m_amplifier;
  std::uint8_t m_channel;
  TIProperty* m_group = nullptr;
  TIElectrode* m_positive = nullptr;
  TIElectrode* m_negative = nullptr;
};

}  // namespace orvo::impl
