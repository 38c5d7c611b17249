#include "TIProperty_ChannelRec.h"

namespace orvo::impl {

namespace {
std::size_t RecordOffset(ObjectID id) { return ChannelOf(id) * TMemory::ChannelRecordSize; }
}  // namespace

TIProperty_ChannelRec::TIProperty_ChannelRec(TCOMInterfacedObject* parent, ObjectID id, ICapabilities* capabilities,
                                             const TAmplifierMemory& memory, bool linkable)
    : TIProperty(parent, id, Caption(capabilities), capabilities,
                 ReadRecordValue(capabilities, memory, RecordOffset(id), TMemory::ChannelRecordSize), false, linkable) {
}

void TIProperty_ChannelRec::Update(TAmplifierMemory* memory, TestBoxRec*) {
  WriteRecordValue(Capabilities(), GetRawValue(), *memory, RecordOffset(ID()), TMemory::ChannelRecordSize);
}

}  // namespace orvo::impl
