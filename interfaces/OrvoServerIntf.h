// The amplifier server as the client names it: Orvo::IAmplifier and
// Orvo::IAmplifier2 over the interfaces of OrvoServer.idl, and the events'
// dispinterface. The identifiers are checked against the contract's values
// when this header is compiled; the slots in server_interface_slots.c.
#pragma once

#include "OrvoServer_h.h"

namespace Orvo {
using IAmplifier = ::IOrvoAmplifier;
using IAmplifier2 = ::IOrvoAmplifier2;
}  // namespace Orvo

namespace orvo::server_contract {
constexpr bool same(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}
static_assert(same(__uuidof(Orvo::IAmplifier),
                   GUID{0x741D324A, 0x1A84, 0x4653, {0x9F, 0xAA, 0x76, 0x5C, 0x28, 0x00, 0x6A, 0x66}}));
static_assert(same(__uuidof(Orvo::IAmplifier2),
                   GUID{0x819E353F, 0x7848, 0x443A, {0x82, 0x41, 0x68, 0x97, 0x70, 0x59, 0x1B, 0x7C}}));
static_assert(same(__uuidof(IOrvoAmplifierEvents),
                   GUID{0x4D264EEA, 0x609B, 0x4A07, {0x85, 0xEF, 0x42, 0xD9, 0x7D, 0x62, 0x1F, 0x6D}}));
}  // namespace orvo::server_contract
