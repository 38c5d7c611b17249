#include "TICollection_Channel.h"

#include "TIElectrode.h"
#include "TIProperty_ChannelRec.h"
#include "TIProperty_SimpleString.h"
#include "TIProperty_StatusByte.h"

namespace orvo::impl {

TICollection_Channel::TICollection_Channel(TCOMInterfacedObject* parent, std::size_t amplifier, std::size_t channel)
    : TICollection(
          parent,
          PackObjectID(KindChannel, 0, static_cast<std::uint8_t>(amplifier), static_cast<std::uint8_t>(channel)),
          ChannelName(channel)),
      m_amplifier(static_cast<std::uint8_t>(amplifier)),
      m_channel(static_cast<std::uint8_t>(channel)) {}

void TICollection_Channel::Populate(const TAmplifierMemory& memory, IAmplifierCapabilities* amplifier,
                                    IChannelCapabilities* channel) {
  const auto id = [&](std::uint8_t kind, std::uint8_t element) {
    return PackObjectID(kind, element, m_amplifier, m_channel);
  };
  AddChild<TIProperty_SimpleString>(true, id(KindChannelName, 0), L"Channel Name",
                                    ChannelNameValue(m_amplifier, m_channel));
  using Getter = void (__stdcall IChannelCapabilities::*)(ICapabilities**);
  const struct {
    Getter get;
    std::uint8_t element;
  } settings[] = {
      {&IChannelCapabilities::GetInputMode, ElementInputMode}, {&IChannelCapabilities::GetGain, ElementGain},
      {&IChannelCapabilities::GetLowCut, ElementLowCut},       {&IChannelCapabilities::GetHighCut, ElementHighCut},
      {&IChannelCapabilities::GetNotch, ElementNotch},
  };
  for (const auto& setting : settings) {
    com::ptr<ICapabilities> capabilities;
    (channel->*setting.get)(capabilities.put());
    AddChild<TIProperty_ChannelRec>(true, id(KindChannelProperty, setting.element), TIProperty::Delivered(capabilities),
                                    memory, true);
  }
  com::ptr<ICapabilities> deblock;
  amplifier->GetDeblockState(deblock.put());
  AddChild<TIProperty_DeblockState>(true, id(KindAmplifierProperty, ElementChannelDeblockState + m_channel),
                                    TIProperty::Delivered(deblock), memory, true);
  com::ptr<ICapabilities> group;
  channel->GetGroup(group.put());
  m_group = AddChild<TIProperty_ChannelRec>(true, id(KindChannelProperty, ElementGroup), TIProperty::Delivered(group),
                                            memory, false);
  m_positive = AddChild<TIElectrode>(false, id(KindElectrode, 1), ElectrodeName(m_amplifier, m_channel, true), &memory);
  m_negative =
      AddChild<TIElectrode>(false, id(KindElectrode, 0), ElectrodeName(m_amplifier, m_channel, false), &memory);
}

STDMETHODIMP TICollection_Channel::get_PositiveElectrode(IElectrode** value) {
  return TIElectrode::HandOut(m_positive, value);
}

STDMETHODIMP TICollection_Channel::get_NegativeElectrode(IElectrode** value) {
  return TIElectrode::HandOut(m_negative, value);
}

LONG TICollection_Channel::GroupNumber() { return m_group ? m_group->GetRawValue() : 0; }

}  // namespace orvo::impl
