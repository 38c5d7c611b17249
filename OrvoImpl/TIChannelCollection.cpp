#include "TIChannelCollection.h"

#include "TICollection_Channel.h"
#include "TITB_PropertyChannel.h"

namespace orvo::impl {

TIChannelCollection::TIChannelCollection(TCOMInterfacedObject* parent, std::size_t amplifier)
    : TICollection(parent, PackObjectID(KindChannels, 0, static_cast<std::uint8_t>(amplifier), 0), L"Channels"),
      m_amplifier(amplifier) {}

void TIChannelCollection::Populate(const TAmplifierMemory& memory, const TestBoxRec& test_box,
                                   IAmplifierCapabilities* capabilities) {
  for (std::size_t channel = 0; channel < TMemory::ChannelCount; ++channel) {
    com::ptr<IChannelCapabilities> channel_capabilities;
    capabilities->GetChannel(static_cast<LONG>(channel), channel_capabilities.put());
    if (!channel_capabilities) RaiseError(L"Amplifier not registered", L"Populate");
    AddChild<TICollection_Channel>(true, m_amplifier, channel)
        ->Populate(memory, capabilities, channel_capabilities.get());
  }
  if (test_box[TestBoxShown]) AddChild<TITB_PropertyChannel>(true, m_amplifier)->Populate(test_box);
}

}  // namespace orvo::impl
