#include "zel/enum_iterator.h"

#include <oleauto.h>

namespace zel {

basic_enum_iterator::representation::representation() {
  for (auto& v : buffer) ::VariantInit(&v);
}

basic_enum_iterator::representation::~representation() {
  for (auto& v : buffer) ::VariantClear(&v);
}

bool basic_enum_iterator::representation::fetch() {
  for (ULONG i = 0; i < fetched; ++i) ::VariantClear(&buffer[i]);
  fetched = 0;
  index = 0;
  ULONG got = 0;
  // A failed call counts as nothing fetched; an enumerator that claims
  // more than it was asked for is not believed beyond the buffer.
  if (FAILED(enumerator->Next(capacity, buffer, &got))) got = 0;
  fetched = got > capacity ? capacity : got;
  return fetched != 0;
}

basic_enum_iterator::basic_enum_iterator(IEnumVARIANT* enumerator) {
  if (!enumerator) return;
  auto rep = std::make_shared<representation>();
  rep->enumerator = orvo::com::ptr<IEnumVARIANT>(enumerator);
  if (rep->fetch()) m_rep = std::move(rep);
}

basic_enum_iterator& basic_enum_iterator::operator++() {
  if (!m_rep) return *this;
  if (++m_rep->index < m_rep->fetched) return *this;
  if (m_rep->index > m_rep->fetched && m_rep->enumerator->Skip(m_rep->index - m_rep->fetched) != S_OK) {
    m_rep.reset();
    return *this;
  }
  if (!m_rep->fetch()) m_rep.reset();
  return *this;
}

basic_enum_iterator make_enum_iterator(IUnknown* enumerator) {
  orvo::com::ptr<IEnumVARIANT> items;
  if (!enumerator || FAILED(enumerator->QueryInterface(IID_IEnumVARIANT, items.put_void()))) return {};
  return basic_enum_iterator(items.get());
}

}  // namespace zel
