#include "TICollection_Amplifiers.h"

#include "OrvoCapabilitiesDll.h"
#include "com/error.h"
#include "TIAmplifier.h"

namespace orvo::impl {

TICollection_Amplifiers::TICollection_Amplifiers(TCOMInterfacedObject* parent)
    : TICollection(parent, PackObjectID(KindAmplifiers, 0, 0, 0), L"Amplifiers") {}

void TICollection_Amplifiers::Populate(const TAmplifierMemoryCollection& memory) {
  if (memory.Count() == 0) return;
  com::ptr<ICapsProvider> provider;
  CreateCapsProvider(provider);
  if (!provider) throw com::error(E_FAIL, caps_not_initialized);
  for (std::size_t i = 0; i < memory.Count(); ++i)
    AddChild<TIAmplifier>(true, i, memory.Item(i))->Populate(provider.get(), memory.Item(i), memory.TestBox());
}

void TICollection_Amplifiers::Update(TAmplifierMemoryCollection* memory, TestBoxRec* test_box) {
  std::size_t i = 0;
  for (const auto& amplifier : Children()) {
    if (i == memory->Count()) break;
    amplifier.Node->Update(&memory->Item(i++), test_box);
  }
}

}  // namespace orvo::impl
