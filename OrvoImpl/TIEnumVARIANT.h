// TIEnumVARIANT: the _NewEnum of the tree's collections (their items as
// IDispatch) and of properties (the texts of their legal values), a
// snapshot taken when it is made; an empty list is the enumerator that
// yields nothing.
#pragma once

#include <vector>

#include "com/enumerator.h"

namespace orvo::impl {

using TIEnumVARIANT = com::enumerator<IEnumVARIANT, VARIANT, com::copy_variant>;

// An enumerator over copies of values, handed out as IUnknown.
inline HRESULT MakeEnumerator(const std::vector<VARIANT>& values, IUnknown** out) noexcept {
  com::ptr<IEnumVARIANT> enumerator;
  const HRESULT hr = TIEnumVARIANT::make_from(values, enumerator);
  if (SUCCEEDED(hr)) *out = enumerator.detach();
  return hr;
}

}  // namespace orvo::impl
