#include "TICollection_Functions.h"

#include "TIProperty_AmplifierRec.h"
#include "TIProperty_StatusByte.h"

namespace orvo::impl {

TICollection_Functions::TICollection_Functions(TCOMInterfacedObject* parent, std::size_t amplifier)
    : TICollection(parent, PackObjectID(KindFunctions, 0, static_cast<std::uint8_t>(amplifier), 0), L"Functions"),
      m_amplifier(static_cast<std::uint8_t>(amplifier)) {}

void TICollection_Functions::Populate(const TAmplifierMemory& memory, IAmplifierCapabilities* capabilities) {
  using Getter = void (__stdcall IAmplifierCapabilities::*)(ICapabilities**);
  const auto get = [&](Getter getter) {
    com::ptr<ICapabilities> result;
    (capabilities->*getter)(result.put());
    TIProperty::Delivered(result);
    return result;
  };
  const auto id = [&](std::uint8_t element) { return PackObjectID(KindAmplifierProperty, element, m_amplifier, 0); };
  const auto record = [&](Getter getter, std::uint8_t element) {
    AddChild<TIProperty_AmplifierRec>(true, id(element), get(getter).get(), memory);
  };
  record(&IAmplifierCapabilities::GetSerialNo, ElementSerialNo);
  AddChild<TIProperty_DeblockState>(true, id(ElementDeblockState), get(&IAmplifierCapabilities::GetDeblockState).get(),
                                    memory, false);
  record(&IAmplifierCapabilities::GetDeblockType, ElementDeblockType);
  record(&IAmplifierCapabilities::GetDeblockDuration, ElementDeblockDuration);
  AddChild<TIProperty_ImpedanceState>(true, id(ElementImpedanceState),
                                      get(&IAmplifierCapabilities::GetImpedanceState).get(), memory);
  record(&IAmplifierCapabilities::GetLowerThreshold, ElementLowerThreshold);
  record(&IAmplifierCapabilities::GetUpperThreshold, ElementUpperThreshold);
  record(&IAmplifierCapabilities::GetImpedanceResolution, ElementImpedanceResolution);
  AddChild<TIProperty_Highlight>(true, PackObjectID(KindHighlight, 0, m_amplifier, 0),
                                 get(&IAmplifierCapabilities::GetHighlight).get(), memory);
}

}  // namespace orvo::impl
