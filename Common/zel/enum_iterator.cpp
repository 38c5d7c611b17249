#include "zel/enum_iterator.h"

#include <oleauto.h>

namespace zel {

// Only the first `fetched` elements ever hold anything.
basic_enum_iterator::representation::representation() {
  for (auto& v : buffer) v.vt = VT_EMPTY;
}

basic_enum_iterator::representation::~representation() {
  for (ULONG i = 0; i < fetched; ++i) ::VariantClear(&buffer[i]);
}

bool basic_enum_iterator::representation::fetch() {
  for (ULONG i = 0; i < fetched; ++i) ::VariantClear(&buffer[i]);
  fetched = 0;
  index = 0;
  if (exhausted) return false;
  ULONG got = 0;
  // A failed call counts as nothing fetched; an enumerator that claims
  // more than it was asked for is not believed beyond the buffer. One that
  // gave fewer than asked (S_FALSE) has reached its end: it is not asked
  // again.
  const HRESULT hr = enumerator->Next(capacity, buffer, &got);
  if (FAILED(hr)) got = 0;
  exhausted = hr != S_OK;
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
