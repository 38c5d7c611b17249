#include "TIEnumVARIANT.h"

#include <oleauto.h>

#include <algorithm>

namespace orvo::impl {

TIEnumVARIANT::TValues::~TValues() {
  for (VARIANT& value : m_values) VariantClear(&value);
}

void TIEnumVARIANT::TValues::Add(const VARIANT& value) {
  m_values.emplace_back();
  VariantInit(&m_values.back());
  if (FAILED(VariantCopy(&m_values.back(), const_cast<VARIANT*>(&value)))) {
    m_values.pop_back();
    throw std::bad_alloc();
  }
}

HRESULT TIEnumVARIANT::Make(std::shared_ptr<const TValues> values, IUnknown** out) noexcept {
  return create(nullptr, IID_IUnknown, reinterpret_cast<void**>(out), std::move(values), std::size_t{0});
}

STDMETHODIMP TIEnumVARIANT::Next(ULONG count, VARIANT* values, ULONG* fetched) {
  if (fetched) *fetched = 0;
  if (count == 0) return S_OK;
  if (!values) return E_POINTER;
  // Only one element may be asked for without a count of fetched ones.
  if (!fetched && count != 1) return E_INVALIDARG;
  const std::size_t available = m_values->Size() - std::min(m_position, m_values->Size());
  const ULONG n = static_cast<ULONG>(std::min<std::size_t>(count, available));
  for (ULONG i = 0; i < n; ++i) {
    VariantInit(&values[i]);
    const HRESULT hr = VariantCopy(&values[i], const_cast<VARIANT*>(&(*m_values)[m_position + i]));
    if (FAILED(hr)) {
      for (ULONG j = 0; j < i; ++j) VariantClear(&values[j]);
      return hr;
    }
  }
  m_position += n;
  if (fetched) *fetched = n;
  return n == count ? S_OK : S_FALSE;
}

STDMETHODIMP TIEnumVARIANT::Skip(ULONG count) {
  const std::size_t available = m_values->Size() - std::min(m_position, m_values->Size());
  m_position += std::min<std::size_t>(count, available);
  return count <= available ? S_OK : S_FALSE;
}

STDMETHODIMP TIEnumVARIANT::Reset() {
  m_position = 0;
  return S_OK;
}

STDMETHODIMP TIEnumVARIANT::Clone(IEnumVARIANT** copy) {
  if (!copy) return E_POINTER;
  return create(nullptr, IID_IEnumVARIANT, reinterpret_cast<void**>(copy), m_values, m_position);
}

}  // namespace orvo::impl
