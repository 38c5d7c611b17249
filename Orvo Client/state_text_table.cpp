#include "state_text_table.h"

#include <algorithm>

namespace {

comet::bstr_t name_of(IIdentifier* node) {
  comet::bstr_t name;
  const HRESULT hr = comet::checked(node)->get_Name(name.out());
  if (FAILED(hr)) raise_IIdentifier(hr, node);
  return name;
}

std::wstring property_text(IProperty* property) {
  VARIANT value;
  ::VariantInit(&value);
  const HRESULT hr = comet::checked(property)->get_Value(&value);
  if (FAILED(hr)) raise_IProperty(hr, property);
  try {
    std::wstring text = value_text(value);
    ::VariantClear(&value);
    return text;
  } catch (...) {
    ::VariantClear(&value);
    throw;
  }
}

void measure(ICollection* row, state_text_table::columns& columns) {
  for_each_property(row, [&](const comet::com_ptr<IProperty>& property) {
    const auto name = name_of(comet::checked(property));
    auto& width = columns[name.w_str()];
    width = std::max({width, static_cast<std::uint32_t>(name.length()),
                      static_cast<std::uint32_t>(property_text(property.get()).size())});
  });
}

void pad(std::wstring& out, const std::wstring& cell, std::uint32_t width) {
  const std::size_t field = std::size_t{width} + 2;
  if (cell.size() < field) out.append(field - cell.size(), L' ');
  out += cell;
}

void header_row(std::wstring& out, const state_text_table::columns& columns) {
  for (const auto& [name, width] : columns) pad(out, name, width);
  out += L"\r\n";
}

// The row's cell of each column: the item of that name, or spaces.
void values_row(std::wstring& out, ICollection* row, const state_text_table::columns& columns) {
  for (const auto& [name, width] : columns) {
    VARIANT key;
    key.vt = VT_BSTR;
    key.bstrVal = ::SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
    comet::com_ptr<IDispatch> item;
    const HRESULT hr = comet::checked(row)->get_Item(key, item.put());
    ::VariantClear(&key);
    if (FAILED(hr)) raise_ICollection(hr, row);
    pad(out, item ? property_text(comet::query<IProperty>(item).get()) : std::wstring(), width);
  }
  out += L"\r\n";
}

}  // namespace

state_text_table::state_text_table(IAmplifierState* state) : m_state(state) {
  for_each_amplifier(state, [&](const comet::com_ptr<IAmplifier>& amplifier) {
    measure(get_functions(comet::checked(amplifier)).get(), m_amplifier_columns);
    for_each_channel_collection(amplifier.get(), [&](const comet::com_ptr<ICollection>& channel) {
      measure(comet::checked(channel), m_channel_columns);
    });
  });
}

std::wstring state_text_table::text() const {
  std::wstring out;
  for_each_amplifier(m_state.get(), [&](const comet::com_ptr<IAmplifier>& amplifier) {
    out += name_of(comet::checked(amplifier)).w_str();
    out += L"\r\n\r\n";
    header_row(out, m_amplifier_columns);
    values_row(out, get_functions(amplifier.get()).get(), m_amplifier_columns);
    out += L"\r\n";
    header_row(out, m_channel_columns);
    for_each_channel_collection(amplifier.get(), [&](const comet::com_ptr<ICollection>& channel) {
      values_row(out, comet::checked(channel), m_channel_columns);
    });
    out += L"\r\n\r\n";
  });
  return out;
}
