// TICollection_Functions: an amplifier's "Functions": serial number,
// deblock state, deblock type, deblock duration, impedance state, lower and
// upper threshold, impedance resolution and highlight.
#pragma once

#include "CapsProviderIntf.h"
#include "TICollection.h"

namespace orvo::impl {

class TICollection_Functions : public TICollection<TICollection_Functions, com::dispatch<ICollection, IIdentifier>> {
 public:
  TICollection_Functions(TCOMInterfacedObject* parent, std::size_t amplifier);
  void Populate(const TAmplifierMemory& memory, IAmplifierCapabilities* capabilities);

 private:
  std::uint8_t m_amplifier;
};

}  // namespace orvo::impl
