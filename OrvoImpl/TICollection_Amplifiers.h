// TICollection_Amplifiers: the state's "Amplifiers", one TIAmplifier per
// register image in collection order. Amplifier i writes into image i.
#pragma once

#include "TICollection.h"

namespace orvo::impl {

class TICollection_Amplifiers : public TICollection<TICollection_Amplifiers, com::dispatch<ICollection, IIdentifier>,
                                                    _IUpdateAmpMemoryCollection> {
 public:
  explicit TICollection_Amplifiers(TCOMInterfacedObject* parent);
  // Makes the amplifiers; the capabilities provider is created once for
  // them all (and not at all for a state without amplifiers).
  void Populate(const TAmplifierMemoryCollection& memory);

  using TCOMInterfacedObject::Update;
  // _IUpdateAmpMemoryCollection
  void Update(TAmplifierMemoryCollection* memory, TestBoxRec* test_box) override;
};

}  // namespace orvo::impl
