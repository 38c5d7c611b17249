#include "TIProperty_SimpleString.h"

namespace orvo::impl {

TIProperty_SimpleString::TIProperty_SimpleString(TCOMInterfacedObject* parent, ObjectID id, std::wstring name,
                                                 std::wstring text)
    : TIProperty(parent, id, std::move(name), nullptr, 0, true, false), m_text(std::move(text)) {}

void TIProperty_SimpleString::GetValue(VARIANT* value) {
  value->bstrVal = comet::bstr_t(m_text).detach();
  value->vt = VT_BSTR;
}

void TIProperty_SimpleString::PutValue(const VARIANT&) { RaiseError(L"Property is read only", L"Set_Value"); }

void TIProperty_SimpleString::Item(LONG, VARIANT*) { RaiseError(L"Index out of bounds", L"Get_Item"); }

}  // namespace orvo::impl
