#include "TIElectrode.h"

#include "TIAmplifierState.h"

namespace orvo::impl {

namespace {
constexpr std::size_t InputModeByte = 6;
constexpr std::size_t ConnectionsByte = 8;
constexpr std::size_t ResolutionOffset = 76;
constexpr LONG PosRef = 0x23;
constexpr LONG NegRef = 0x32;

LONG U16At(const std::uint8_t* image, std::size_t offset) { return image[offset] | image[offset + 1] << 8; }
}  // namespace

TIElectrode::TIElectrode(TCOMInterfacedObject* parent, ObjectID id, std::wstring name, const TAmplifierMemory* memory)
    : TIIDentifier(parent, id, std::move(name)), m_mask(ElementOf(id) == 1 ? PositiveMask : NegativeMask) {
  if (!memory) return;  // the test box's electrodes keep their in-use flag only
  const std::uint8_t* image = memory->Data();
  const std::uint8_t* channel = image + ChannelOf(id) * TMemory::ChannelRecordSize;
  m_in_use = (channel[ConnectionsByte] & m_mask) != 0;
  m_input_mode = channel[InputModeByte];
  m_lower = U16At(image, TMemory::LowerThresholdOffset) * 2;
  m_upper = U16At(image, TMemory::UpperThresholdOffset) * 2;
  m_resolution = image[ResolutionOffset] * 200;
}

STDMETHODIMP TIElectrode::get_InUse(VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = m_in_use ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP TIElectrode::put_InUse(VARIANT_BOOL value) {
  return Call([&] {
    PutInUse(value != VARIANT_FALSE);
    return S_OK;
  });
}

STDMETHODIMP TIElectrode::get_LowerThreshold(LONG* value) {
  if (!value) return E_POINTER;
  *value = m_lower;
  return S_OK;
}

STDMETHODIMP TIElectrode::get_UpperThreshold(LONG* value) {
  if (!value) return E_POINTER;
  *value = m_upper;
  return S_OK;
}

STDMETHODIMP TIElectrode::get_Resolution(LONG* value) {
  if (!value) return E_POINTER;
  *value = m_resolution;
  return S_OK;
}

HRESULT TIElectrode::HandOut(TIElectrode* electrode, IElectrode** value) noexcept {
  if (!value) return E_POINTER;
  *value = electrode;
  if (electrode) electrode->AddRef();
  return S_OK;
}

void TIElectrode::PutInUse(bool in_use) {
  if (m_input_mode != PosRef && m_input_mode != NegRef) {
    m_in_use = in_use;
    return;
  }
  if (!in_use) return;
  m_in_use = true;
  auto* state = dynamic_cast<TIAmplifierState*>(Root());
  if (!state) return;
  std::vector<_IElectrodeState*> others;
  state->GetElectrodes(AmplifierOf(ID()), IsPositive(), others);
  for (_IElectrodeState* other : others)
    if (other != static_cast<_IElectrodeState*>(this) && other->GetInputMode() == m_input_mode) other->SetInUse(false);
}

void TIElectrode::Update(TAmplifierMemory* memory, TestBoxRec*) {
  std::uint8_t& connections = memory->Data()[ChannelOf(ID()) * TMemory::ChannelRecordSize + ConnectionsByte];
  connections = static_cast<std::uint8_t>(m_in_use ? connections | m_mask : connections & ~m_mask);
}

}  // namespace orvo::impl
