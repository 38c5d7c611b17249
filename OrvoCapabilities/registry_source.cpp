#include "registry_source.h"

namespace orvo::caps {

const wchar_t descriptors_key[] = L"Software\\Quarnell Limited\\Orvo\\Descriptors";
const wchar_t setup_key[] = L"software\\quarnell limited\\orvo\\setup";

namespace {
class key_handle {
 public:
  ~key_handle() {
    if (h) RegCloseKey(h);
  }
  HKEY h = nullptr;
};
}  // namespace

std::wstring value_name_w(std::uint16_t id) {
  const std::string name = value_name(id);
  return std::wstring(name.begin(), name.end());
}

std::optional<bytes> registry_source::read(std::uint16_t id) {
  key_handle key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, descriptors_key, 0, KEY_READ, &key.h) != ERROR_SUCCESS) return std::nullopt;
  const std::wstring name = value_name_w(id);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.h, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_BINARY)
    return std::nullopt;
  bytes value(size);
  if (RegQueryValueExW(key.h, name.c_str(), nullptr, &type, value.data(), &size) != ERROR_SUCCESS || type != REG_BINARY)
    return std::nullopt;
  value.resize(size);
  return value;
}

void registry_source::write(std::uint16_t id, const bytes& value) {
  key_handle key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, descriptors_key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key.h, nullptr) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExW(key.h, value_name_w(id).c_str(), 0, REG_BINARY, value.data(), static_cast<DWORD>(value.size()));
}

void registry_source::remove_all() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, descriptors_key); }

bool setup_key_present() noexcept {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, setup_key, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace orvo::caps
