#include "TIProperty.h"

#include "TIAmplifierState.h"
#include "TIEnumVARIANT.h"

namespace orvo::impl {

TIProperty::TIProperty(TCOMInterfacedObject* parent, ObjectID id, std::wstring name, ICapabilities* capabilities,
                       LONG raw, bool read_only, bool linkable)
    : TIIDentifier(parent, id, std::move(name)),
      m_capabilities(capabilities),
      m_raw(raw),
      m_read_only(read_only),
      m_linkable(linkable) {
  if (m_capabilities) m_capabilities->GetEnumerator(m_enumerator.put());
}

std::wstring TIProperty::Caption(ICapabilities* capabilities) {
  comet::variant_t caption;
  capabilities->GetName(caption.out());
  std::wstring text;
  VariantText(caption.get(), text);
  return text;
}

ICapabilities* TIProperty::Delivered(const com::ptr<ICapabilities>& capabilities) {
  if (!capabilities) RaiseError(L"Amplifier not registered", L"Populate");
  return capabilities.get();
}

STDMETHODIMP TIProperty::get_Value(VARIANT* value) {
  if (!value) return E_POINTER;
  VariantInit(value);
  return Call([&] {
    GetValue(value);
    return S_OK;
  });
}

STDMETHODIMP TIProperty::put_Value(VARIANT value) {
  return Call([&] {
    comet::variant_t plain;
    if (FAILED(VariantValue(value, *plain.out()))) RaiseError(L"Invalid property value", L"Set_Value");
    PutValue(plain.get());
    return S_OK;
  });
}

STDMETHODIMP TIProperty::get_IsReadOnly(VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  return Call([&] {
    *value = IsReadOnly() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  });
}

STDMETHODIMP TIProperty::get_RangeID(LONG* value) {
  if (!value) return E_POINTER;
  return Call([&] {
    *value = RangeID();
    return S_OK;
  });
}

STDMETHODIMP TIProperty::get_Count(LONG* value) {
  if (!value) return E_POINTER;
  return Call([&] {
    *value = Count();
    return S_OK;
  });
}

STDMETHODIMP TIProperty::get_Item(LONG index, VARIANT* value) {
  if (!value) return E_POINTER;
  VariantInit(value);
  return Call([&] {
    Item(index, value);
    return S_OK;
  });
}

STDMETHODIMP TIProperty::get__NewEnum(IUnknown** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return Call([&] {
    NewEnum(value);
    return S_OK;
  });
}

void TIProperty::PutText(const wchar_t* text) {
  const comet::variant_t value(text);
  PutValue(value.get());
}

void TIProperty::Apply(TCOMInterfacedObject* changed) {
  if (!m_linkable || changed == this || changed->ID() == ID()) return;
  if (KindOf(changed->ID()) != KindOf(ID()) || ElementOf(changed->ID()) != ElementOf(ID())) return;
  if (auto* raw = dynamic_cast<_IRawValue*>(changed)) m_raw = raw->GetRawValue();
}

void TIProperty::GetValue(VARIANT* value) { m_capabilities->FromValue(m_raw, value); }

void TIProperty::PutValue(const VARIANT& value) {
  if (IsReadOnly()) RaiseError(L"Property readonly", L"Set_Value");
  if (value.vt == VT_EMPTY) return;
  std::wstring text;
  if (!VariantText(value, text)) RaiseError(L"Invalid property value", L"Set_Value");
  const LONG code = m_capabilities->ToValue(comet::variant_t(text).get());
  if (code < 0) RaiseError(L"Invalid property value", L"Set_Value");
  m_raw = code;
  RunGroupLink();
}

LONG TIProperty::RangeID() { return m_capabilities->GetRangeID(); }

LONG TIProperty::Count() { return m_enumerator ? m_enumerator->GetCount() : 0; }

void TIProperty::Item(LONG index, VARIANT* value) {
  if (index < 0 || index >= Count()) RaiseError(L"Property Capabilitiy index out of bounds", L"Get_Item");
  m_enumerator->GetName(index, value);
}

void TIProperty::NewEnum(IUnknown** value) {
  std::vector<VARIANT> names;
  const auto clear = [&] {
    for (VARIANT& name : names) VariantClear(&name);
  };
  try {
    const LONG count = Count();
    names.reserve(static_cast<std::size_t>(count));
    for (LONG i = 0; i < count; ++i) {
      names.emplace_back();
      VariantInit(&names.back());
      Item(i, &names.back());
    }
  } catch (...) {
    clear();
    throw;
  }
  const HRESULT hr = MakeEnumerator(names, value);
  clear();
  if (FAILED(hr)) throw std::bad_alloc();
}

LONG TIProperty::ReadRecordValue(ICapabilities* capabilities, const TAmplifierMemory& memory, std::size_t offset,
                                 std::size_t size) {
  BYTE record[TMemory::AmplifierRecordSize] = {};
  memory.Read(static_cast<std::uint8_t>(offset), record, static_cast<std::uint8_t>(size));
  return capabilities->NearestValue(capabilities->ReadValue(record));
}

void TIProperty::WriteRecordValue(ICapabilities* capabilities, LONG raw, TAmplifierMemory& memory, std::size_t offset,
                                  std::size_t size) {
  BYTE record[TMemory::AmplifierRecordSize] = {};
  memory.Read(static_cast<std::uint8_t>(offset), record, static_cast<std::uint8_t>(size));
  capabilities->WriteValue(capabilities->NearestValue(raw), record);
  memory.Write(static_cast<std::uint8_t>(offset), record, static_cast<std::uint8_t>(size));
}

void TIProperty::RunGroupLink() {
  if (auto* state = dynamic_cast<TIAmplifierState*>(Root())) state->Apply(this);
}

}  // namespace orvo::impl
