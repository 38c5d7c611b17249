#include "TIAmplifier.h"

#include "TIChannelCollection.h"
#include "TICollection_Functions.h"

namespace orvo::impl {

namespace {
template <class Collection>
HRESULT HandOut(Collection* collection, ICollection** value, const wchar_t* place) {
  if (!collection) RaiseError(L"Amplifier not registered", place);
  *value = collection;
  collection->AddRef();
  return S_OK;
}
}  // namespace

TIAmplifier::TIAmplifier(TCOMInterfacedObject* parent, std::size_t index, const TAmplifierMemory& memory)
    : TIIDentifier(parent, PackObjectID(KindAmplifier, 0, static_cast<std::uint8_t>(index), 0),
                   AmplifierName(index, memory.Data()[TMemory::SerialNumberOffset])),
      m_index(index) {}

void TIAmplifier::Populate(ICapsProvider* provider, const TAmplifierMemory& memory, const TestBoxRec& test_box) {
  com::ptr<IUnknown> model;
  if (!provider->GetAmplifier(static_cast<WORD>(memory.AmplifierID() & 0xFFFF), model.put()) || !model) return;
  com::ptr<IAmplifierCapabilities> capabilities;
  if (FAILED(model.query(capabilities))) return;
  try {
    m_channels = AddChild<TIChannelCollection>(false, m_index);
    m_channels->Populate(memory, test_box, capabilities.get());
    m_functions = AddChild<TICollection_Functions>(false, m_index);
    m_functions->Populate(memory, capabilities.get());
  } catch (const ECOMException&) {
    // A model whose settings the provider does not all deliver is shown as
    // one it does not know: no channels, no functions, the image unchanged.
    ReleaseChildren();
    m_channels = nullptr;
    m_functions = nullptr;
  }
}

STDMETHODIMP TIAmplifier::get_Channels(ICollection** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return Call([&] { return HandOut(m_channels, value, L"Channels"); });
}

STDMETHODIMP TIAmplifier::get_Functions(ICollection** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return Call([&] { return HandOut(m_functions, value, L"Functions"); });
}

STDMETHODIMP TIAmplifier::get_ComElectrode(IDispatch** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return Call([&]() -> HRESULT { RaiseError(L"Property not implemented", L"ComElectrode"); });
}

void TIAmplifier::Apply(TCOMInterfacedObject* changed) {
  if (!m_channels) return;
  TCOMInterfacedObject* owner = Root()->GetOwnerByID(changed->ID());
  const LONG group = owner ? owner->GroupNumber() : -1;
  if (group <= 0) return;
  for (const auto& channel : m_channels->Children())
    if (channel.Node->GroupNumber() == group) channel.Node->Apply(changed);
}

}  // namespace orvo::impl
