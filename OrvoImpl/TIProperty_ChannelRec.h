// TIProperty_ChannelRec: a setting held in a channel record (input mode,
// gain, low-cut, high-cut, notch, group). Its raw value starts as the
// nearest legal value of what the record holds; Update encodes it back into
// the record of its channel.
#pragma once

#include "TIProperty.h"

namespace orvo::impl {

class TIProperty_ChannelRec : public TIProperty {
 public:
  TIProperty_ChannelRec(TCOMInterfacedObject* parent, ObjectID id, ICapabilities* capabilities,
                        const TAmplifierMemory& memory, bool linkable);
  void Update(TAmplifierMemory* memory, TestBoxRec* test_box) override;
};

}  // namespace orvo::impl
