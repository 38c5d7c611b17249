// The properties over an amplifier's status bytes: TIProperty_DeblockState
// ("Reset" 0, "Set" 1), TIProperty_ImpedanceState and TIProperty_Highlight
// ("Off" 0, "On" 1). The raw value starts as the status byte; Update
// stores it back, except from a read-only property (a channel's view of
// the amplifier's deblock state).
#pragma once

#include "TIProperty.h"

namespace orvo::impl {

class TIProperty_StatusByte : public TIProperty {
 public:
  enum TStatus { DeblockState, ImpedanceState, Highlight };

  TIProperty_StatusByte(TCOMInterfacedObject* parent, ObjectID id, ICapabilities* capabilities,
                        const TAmplifierMemory& memory, TStatus status, bool read_only);
  void Update(TAmplifierMemory* memory, TestBoxRec* test_box) override;

 private:
  TStatus m_status;
};

class TIProperty_DeblockState : public TIProperty_StatusByte {
 public:
  TIProperty_DeblockState(TCOMInterfacedObject* parent, ObjectID id, ICapabilities* capabilities,
                          const TAmplifierMemory& memory, bool read_only)
      : TIProperty_StatusByte(parent, id, capabilities, memory, DeblockState, read_only) {}
};

class TIProperty_ImpedanceState : public TIProperty_StatusByte {
 public:
  TIProperty_ImpedanceState(TCOMInterfacedObject* parent, ObjectID id, ICapabilities* capabilities,
                            const TAmplifierMemory& memory)
      : TIProperty_StatusByte(parent, id, capabilities, memory, ImpedanceState, false) {}
};

class TIProperty_Highlight : public TIProperty_StatusByte {
 public:
  TIProperty_Highlight(TCOMInterfacedObject* parent, ObjectID id, ICapabilities* capabilities,
                       const TAmplifierMemory& memory)
      : TIProperty_StatusByte(parent, id, capabilities, memory, Highlight, false) {}
};

}  // namespace orvo::impl
