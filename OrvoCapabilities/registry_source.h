// The descriptor store in the registry: REG_BINARY values under
// HKLM "Software\Quarnell Limited\Orvo\Descriptors", named by the ID in four
// upper-case hex digits, and the setup switch key.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "core/store.h"
#include "registry/registry_key.h"

namespace orvo::caps {

extern const wchar_t descriptors_key[];
extern const wchar_t setup_key[];

// Every read opens the key for reading on its own; writes open it with full
// access, creating it when missing. The first failed write is kept, and the
// writes after it are skipped, so that a registration can report it and put
// back what it had already written.
class registry_source final : public descriptor_source {
 public:
  std::optional<bytes> read(std::uint16_t id) override;
  void write(std::uint16_t id, const bytes& value) override;
  void remove_all() override;

  // The first write failure (a failed remove_all included) as an HRESULT;
  // S_OK while every write succeeded.
  HRESULT write_result() const noexcept { return registry::to_hresult(m_write_error); }
  // Puts the descriptors key back as it was before this source's first
  // write: values it added are deleted, values it replaced get their old
  // type and bytes, and a key it created is removed.
  void undo_writes() noexcept;

 private:
  LONG m_write_error = ERROR_SUCCESS;
  bool m_started = false;
  bool m_key_existed = false;
  std::vector<registry::key::value> m_before;  // the key's values before the first write
  std::vector<std::wstring> m_written;         // names written, first write first
};

// Stores one descriptor value in the open descriptors key. Registration
// writes go through here, and nowhere else.
LONG store_descriptor(const registry::key& key, const std::wstring& name, const bytes& value) noexcept;
// Deletes the descriptors key with everything in it (ERROR_SUCCESS when it
// is not there). Unregistration deletes through here, and nowhere else.
LONG delete_descriptors(const wchar_t* path) noexcept;

// Whether HKLM "software\quarnell limited\orvo\setup" exists.
bool setup_key_present() noexcept;

std::wstring value_name_w(std::uint16_t id);

}  // namespace orvo::caps
