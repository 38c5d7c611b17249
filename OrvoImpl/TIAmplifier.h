// TIAmplifier: one amplifier of the state ("Amplifier 2 ( SN: 7 )"), made
// from its register image. It asks the capabilities provider for its model
// (the low 16 bits of the image's amplifier ID) and holds its Channels and
// Functions; a model the provider does not know leaves both out, and asking
// for them fails with "Amplifier not registered" while the image travels
// on unchanged.
#pragma once

#include "CapsProviderIntf.h"
#include "TIIDentifier.h"

namespace orvo::impl {

class TIChannelCollection;
class TICollection_Functions;

class TIAmplifier : public TIIDentifier<TIAmplifier, com::dispatch<IAmplifier, IIdentifier>> {
 public:
  TIAmplifier(TCOMInterfacedObject* parent, std::size_t index, const TAmplifierMemory& memory);
  void Populate(ICapsProvider* provider, const TAmplifierMemory& memory, const TestBoxRec& test_box);

  // IAmplifier
  STDMETHODIMP get_Channels(ICollection** value) override;
  STDMETHODIMP get_Functions(ICollection** value) override;
  STDMETHODIMP get_ComElectrode(IDispatch** value) override;

  // _IGroupLink: finds the channel that holds the changed property and,
  // when its group g is not 0, passes the property to this amplifier's
  // channels of group g.
  void Apply(TCOMInterfacedObject* changed) override;

  // None for a model the provider does not know.
  TICollection_Functions* Functions() const noexcept { return m_functions; }

 private:
  std::size_t m_index;
  TIChannelCollection* m_channels = nullptr;
  TICollection_Functions* m_functions = nullptr;
};

}  // namespace orvo::impl
