// TIProperty_AmplifierRec: a setting held in the amplifier record (image
// bytes 72 to 81): serial number, deblock type and duration, impedance
// thresholds and resolution. Never part of the group link.
#pragma once

#include "TIProperty.h"

namespace orvo::impl {

class TIProperty_AmplifierRec : public TIProperty {
 public:
  TIProperty_AmplifierRec(TCOMInterfacedObject* parent, ObjectID id, ICapabilities* capabilities,
                          const TAmplifierMemory& memory);
  void Update(TAmplifierMemory* memory, TestBoxRec* test_box) override;
};

}  // namespace orvo::impl
