#include "TIProperty_StatusByte.h"

namespace orvo::impl {

namespace {
std::uint8_t StatusOf(const TAmplifierMemory& memory, TIProperty_StatusByte::TStatus status) {
  switch (status) {
    case TIProperty_StatusByte::DeblockState:
      return memory.DeblockState();
    case TIProperty_StatusByte::ImpedanceState:
      return memory.ImpedanceState();
    case TIProperty_StatusByte::Highlight:
      break;
  }
  return memory.Highlight();
}
}  // namespace

TIProperty_StatusByte::TIProperty_StatusByte(TCOMInterfacedObject* parent, ObjectID id, ICapabilities* capabilities,
                                             const TAmplifierMemory& memory, TStatus status, bool read_only)
    : TIProperty(parent, id, Caption(capabilities), capabilities, StatusOf(memory, status), read_only, false),
      m_status(status) {}

void TIProperty_StatusByte::Update(TAmplifierMemory* memory, TestBoxRec*) {
  if (IsReadOnly()) return;
  const auto value = static_cast<std::uint8_t>(GetRawValue());
  switch (m_status) {
    case DeblockState:
      memory->SetDeblockState(value);
      break;
    case ImpedanceState:
      memory->SetImpedanceState(value);
      break;
    case Highlight:
      memory->SetHighlight(value);
      break;
  }
}

}  // namespace orvo::impl
