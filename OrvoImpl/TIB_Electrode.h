// TIB_Electrode: an electrode of the test box ("Electrode"). It keeps its
// in-use flag only: no reference rule, no thresholds, nothing written into
// the images.
#pragma once

#include "TIElectrode.h"

namespace orvo::impl {

class TIB_Electrode : public TIElectrode {
 public:
  TIB_Electrode(TCOMInterfacedObject* parent, ObjectID id) : TIElectrode(parent, id, L"Electrode", nullptr) {}
  void Update(TAmplifierMemory*, TestBoxRec*) override {}

 protected:
  void PutInUse(bool in_use) override { SetInUse(in_use); }
};

}  // namespace orvo::impl
