#include "StoredBaudRate.h"

#include "core/device.h"
#include "registry/registry_key.h"

LONG stored_baud_rate() noexcept {
  const wchar_t* path = L"Software\\Quarnell Limited\\Pelm";
  auto key = orvo::registry::key::create(HKEY_LOCAL_MACHINE, path);
  if (!key) key = orvo::registry::key::open(HKEY_LOCAL_MACHINE, path);
  std::optional<DWORD> rate;
  try {
    if (key) rate = key.read_dword(L"Baud Rate");
  } catch (...) {
    rate.reset();
  }
  if (rate) return static_cast<LONG>(*rate);
  if (key && !key.value_type(L"Baud Rate")) key.write_dword(L"Baud Rate", pelm::default_baud_rate);
  return static_cast<LONG>(pelm::default_baud_rate);
}
