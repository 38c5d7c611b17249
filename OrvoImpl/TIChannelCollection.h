// TIChannelCollection: an amplifier's "Channels": its eight channels and,
// when the state's test-box record shows it, the "TestBox" channel after
// them.
#pragma once

#include "CapsProviderIntf.h"
#include "TICollection.h"

namespace orvo::impl {

class TIChannelCollection : public TICollection<TIChannelCollection, com::dispatch<ICollection, IIdentifier>> {
 public:
  TIChannelCollection(TCOMInterfacedObject* parent, std::size_t amplifier);
  void Populate(const TAmplifierMemory& memory, const TestBoxRec& test_box, IAmplifierCapabilities* capabilities);

 private:
  std::size_t m_amplifier;
};

}  // namespace orvo::impl
