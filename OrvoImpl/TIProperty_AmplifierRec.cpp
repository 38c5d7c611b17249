#include "TIProperty_AmplifierRec.h"

namespace orvo::impl {

TIProperty_AmplifierRec::TIProperty_AmplifierRec(TCOMInterfacedObject* parent, ObjectID id, ICapabilities* capabilities,
                                                 const TAmplifierMemory& memory)
    : TIProperty(parent, id, Caption(capabilities), capabilities,
                 ReadRecordValue(capabilities, memory, TMemory::AmplifierRecordOffset, TMemory::AmplifierRecordSize),
                 false, false) {}

void TIProperty_AmplifierRec::Update(TAmplifierMemory* memory, TestBoxRec*) {
  WriteRecordValue(Capabilities(), GetRawValue(), *memory, TMemory::AmplifierRecordOffset,
                   TMemory::AmplifierRecordSize);
}

}  // namespace orvo::impl
