#include "registry_source.h"

namespace orvo::caps {

LONG store_descriptor(const registry::key& key, const std::wstring& name, const bytes& value) noexcept {
  return key.write_binary(name.c_str(), value);
}

}  // namespace orvo::caps
