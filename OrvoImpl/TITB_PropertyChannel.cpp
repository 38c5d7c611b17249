#include "TITB_PropertyChannel.h"

#include "TIB_Electrode.h"
#include "TIProperty_SimpleString.h"
#include "TITB_Property.h"

namespace orvo::impl {

TITB_PropertyChannel::TITB_PropertyChannel(TCOMInterfacedObject* parent, std::size_t amplifier)
    : TICollection(parent,
                   PackObjectID(KindAmplifierProperty, ElementTestBoxChannel, static_cast<std::uint8_t>(amplifier),
                                TestBoxChannelIndex),
                   L"TestBox"),
      m_amplifier(static_cast<std::uint8_t>(amplifier)) {}

void TITB_PropertyChannel::Populate(const TestBoxRec& test_box) {
  const auto id = [&](std::uint8_t kind, std::uint8_t element) {
    return PackObjectID(kind, element, m_amplifier, TestBoxChannelIndex);
  };
  AddChild<TIProperty_SimpleString>(true, id(KindChannelName, 0), L"Channel Name", L"TestBox");
  const struct {
    const wchar_t* name;
    TITB_Property::TKind kind;
    const TTestBoxList* list;
    std::size_t byte;
  } settings[] = {
      {L"Output Channel", TITB_Property::List, &OutputChannelList(), TestBoxOutputChannel},
      {L"Attenuator", TITB_Property::List, &AttenuatorList(), TestBoxAttenuator},
      {L"Pos Sig Sel", TITB_Property::List, &SignalSelectList(), TestBoxPositiveSignalSelect},
      {L"Pos IP Sel", TITB_Property::InputSelect, nullptr, TestBoxPositiveInputSelect},
      {L"Neg Sig Sel", TITB_Property::List, &SignalSelectList(), TestBoxNegativeSignalSelect},
      {L"Neg IP Sel", TITB_Property::InputSelect, nullptr, TestBoxNegativeInputSelect},
  };
  std::uint8_t element = 0;
  for (const auto& setting : settings)
    AddChild<TITB_Property>(true, id(KindTestBoxSetting, element++), setting.name, setting.kind, setting.list,
                            setting.byte, test_box);
  AddChild<TITB_Property>(true, id(KindChannelProperty, ElementGroup), L"Group", TITB_Property::Group, nullptr,
                          std::size_t{0}, test_box);
  m_positive = AddChild<TIB_Electrode>(false, id(KindElectrode, 1));
  m_negative = AddChild<TIB_Electrode>(false, id(KindElectrode, 0));
}

STDMETHODIMP TITB_PropertyChannel::get_PositiveElectrode(IElectrode** value) {
  return TIElectrode::HandOut(m_positive, value);
}

STDMETHODIMP TITB_PropertyChannel::get_NegativeElectrode(IElectrode** value) {
  return TIElectrode::HandOut(m_negative, value);
}

}  // namespace orvo::impl
