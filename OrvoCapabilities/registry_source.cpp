#include "registry_source.h"

#include <algorithm>

namespace orvo::caps {

using registry::key;

const wchar_t descriptors_key[] = L"Software\\Quarnell Limited\\Orvo\\Descriptors";
const wchar_t setup_key[] = L"software\\quarnell limited\\orvo\\setup";

std::wstring value_name_w(std::uint16_t id) {
  const std::string name = value_name(id);
  return std::wstring(name.begin(), name.end());
}

std::optional<bytes> registry_source::read(std::uint16_t id) {
  const auto k = key::open(HKEY_LOCAL_MACHINE, descriptors_key, KEY_READ);
  if (!k) return std::nullopt;
  return k.read_binary(value_name_w(id).c_str());
}

void registry_source::write(std::uint16_t id, const bytes& value) {
  if (m_write_error != ERROR_SUCCESS) return;
  if (!m_started) {
    const auto before = key::open(HKEY_LOCAL_MACHINE, descriptors_key, KEY_READ);
    m_key_existed = static_cast<bool>(before);
    if (before) m_before = before.values();
    m_started = true;
  }
  const auto k = key::create(HKEY_LOCAL_MACHINE, descriptors_key, KEY_ALL_ACCESS);
  if (!k) {
    m_write_error = k.error();
    return;
  }
  const std::wstring name = value_name_w(id);
  if (std::find(m_written.begin(), m_written.end(), name) == m_written.end()) m_written.push_back(name);
  m_write_error = store_descriptor(k, name, value);
}

void registry_source::undo_writes() noexcept {
  if (!m_started) return;
  if (!m_key_existed) {
    key::delete_tree(HKEY_LOCAL_MACHINE, descriptors_key);
  } else if (const auto k = key::open(HKEY_LOCAL_MACHINE, descriptors_key, KEY_ALL_ACCESS)) {
    for (auto name = m_written.rbegin(); name != m_written.rend(); ++name) {
      const auto old = std::find_if(m_before.begin(), m_before.end(),
                                    [&](const key::value& v) { return _wcsicmp(v.name.c_str(), name->c_str()) == 0; });
      if (old == m_before.end())
        k.delete_value(name->c_str());
      else
        k.write_value(name->c_str(), old->type, old->data.data(), old->data.size());
    }
  }
  m_written.clear();
}

void registry_source::remove_all() {
  const LONG rc = delete_descriptors(descriptors_key);
  if (m_write_error == ERROR_SUCCESS) m_write_error = rc;
}

bool setup_key_present() noexcept { return key::exists(HKEY_LOCAL_MACHINE, setup_key); }

}  // namespace orvo::caps
