#include "TITB_Property.h"

#include "core/tree_text.h"

namespace orvo::impl {

TITB_Property::TITB_Property(TCOMInterfacedObject* parent, ObjectID id, std::wstring name, TKind kind,
                             const TTestBoxList* list, std::size_t byte, const TestBoxRec& test_box)
    : TIProperty(parent, id, std::move(name), nullptr, 0, kind == Group, false),
      m_kind(kind),
      m_list(list),
      m_byte(byte) {
  if (m_kind == InputSelect) {
    m_value = test_box[m_byte];
  } else if (m_kind == List) {
    m_value =
        m_byte == TestBoxOutputChannel ? OutputChannelIndex(test_box[m_byte]) : m_list->IndexOfCode(test_box[m_byte]);
  }
}

void TITB_Property::Update(TAmplifierMemory*, TestBoxRec* test_box) {
  if (!m_changed || m_kind == Group) return;
  (*test_box)[m_byte] = m_kind == List ? m_list->Codes[m_value] : static_cast<std::uint8_t>(m_value);
  m_changed = false;
}

void TITB_Property::GetValue(VARIANT* value) {
  switch (m_kind) {
    case List:
      value->bstrVal = comet::bstr_t(m_list->Names[m_value]).detach();
      value->vt = VT_BSTR;
      return;
    case InputSelect:
      value->bstrVal = comet::bstr_t(FormatInputSelect(static_cast<std::uint8_t>(m_value))).detach();
      value->vt = VT_BSTR;
      return;
    case Group:
      break;
  }
  value->vt = VT_I4;
  value->lVal = 0;
}

void TITB_Property::PutValue(const VARIANT& value) {
  if (m_kind == Group) return;
  std::wstring text;
  if (!VariantText(value, text)) RaiseError(L"Invalid property value", L"Set_Value");
  if (m_kind == InputSelect) {
    m_value = ParseInputSelect(text);
  } else {
    const int index = m_list->Find(text);
    if (index < 0) RaiseError(L"Value passed is not from the allowed properties.", L"Set_Value");
    m_value = static_cast<std::size_t>(index);
  }
  m_changed = true;
}

LONG TITB_Property::Count() { return m_kind == List ? static_cast<LONG>(m_list->Count) : 0; }

void TITB_Property::Item(LONG index, VARIANT* value) {
  if (index < 0 || index >= Count()) RaiseError(L"Property Capabilitiy index out of bounds", L"Get_Item");
  value->bstrVal = comet::bstr_t(m_list->Names[index]).detach();
  value->vt = VT_BSTR;
}

}  // namespace orvo::impl
