// The descriptor store in the registry: REG_BINARY values under
// HKLM "Software\Quarnell Limited\Orvo\Descriptors", named by the ID in four
// upper-case hex digits, and the setup switch key.
#pragma once

#include <windows.h>

#include "core/store.h"

namespace orvo::caps {

extern const wchar_t descriptors_key[];
extern const wchar_t setup_key[];

// Every read opens the key for reading on its own; writes open it with full
// access, creating it when missing. Write failures are ignored: there is no
// one to report them to.
class registry_source final : public descriptor_source {
 public:
  std::optional<bytes> read(std::uint16_t id) override;
  void write(std::uint16_t id, const bytes& value) override;
  void remove_all() override;
};

// Whether HKLM "software\quarnell limited\orvo\setup" exists.
bool setup_key_present() noexcept;

std::wstring value_name_w(std::uint16_t id);

}  // namespace orvo::caps
