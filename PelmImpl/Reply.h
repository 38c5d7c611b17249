// Replies handed to the line server: allocated with CoTaskMemAlloc, freed
// by the line server once sent.
#pragma once

#include <objbase.h>

#include <cstddef>
#include <cstring>

inline HRESULT hand_out(const BYTE* data, std::size_t size, BYTE** reply, LONG* count) noexcept {
  auto* copy = static_cast<BYTE*>(CoTaskMemAlloc(size ? size : 1));
  if (!copy) return E_OUTOFMEMORY;
  if (size) std::memcpy(copy, data, size);
  *reply = copy;
  *count = static_cast<LONG>(size);
  return S_OK;
}

// Clears a caller's reply slots; E_POINTER when either is missing.
inline HRESULT no_reply(BYTE** reply, LONG* count) noexcept {
  if (!reply || !count) return E_POINTER;
  *reply = nullptr;
  *count = 0;
  return S_OK;
}
