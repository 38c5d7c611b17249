// Stores descriptor values as OrvoCapabilities.dll does, except that the
// third write of the process fails as a write to a key denied to writes
// does, and deleting the descriptors is always denied. Built into a copy of
// the library for the registration tests.
#include "registry_source.h"

namespace orvo::caps {

LONG store_descriptor(const registry::key& key, const std::wstring& name, const bytes& value) noexcept {
  static int writes = 0;
  if (++writes == 3) return ERROR_ACCESS_DENIED;
  return key.write_binary(name.c_str(), value);
}

LONG delete_descriptors(const wchar_t*) noexcept { return ERROR_ACCESS_DENIED; }

}  // namespace orvo::caps
