#include "registry_source.h"

namespace orvo::caps {

LONG store_descriptor(const registry::key& key, const std::wstring& name, const bytes& value) noexcept {
  return key.write_binary(name.c_str(), value);
}

LONG delete_descriptors(const wchar_t* path) noexcept { return registry::key::delete_tree(HKEY_LOCAL_MACHINE, path); }

}  // namespace orvo::caps
