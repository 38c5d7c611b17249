#include "registry_key.h"

#include <cstring>

namespace orvo::registry {

key& key::operator=(key&& other) noexcept {
  if (this != &other) {
    close();
    m_error = other.m_error;
    m_handle = other.release();
  }
  return *this;
}

HKEY key::release() noexcept {
  HKEY h = m_handle;
  m_handle = nullptr;
  return h;
}

void key::close() noexcept {
  if (m_handle) RegCloseKey(m_handle);
  m_handle = nullptr;
}

key key::open(HKEY root, const std::wstring& path, REGSAM access) noexcept {
  HKEY h = nullptr;
  key result;
  result.m_error = RegOpenKeyExW(root, path.c_str(), 0, access, &h);
  if (result.m_error == ERROR_SUCCESS) result.m_handle = h;
  return result;
}

key key::create(HKEY root, const std::wstring& path, REGSAM access) noexcept {
  HKEY h = nullptr;
  key result;
  result.m_error =
      RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &h, nullptr);
  if (result.m_error == ERROR_SUCCESS) result.m_handle = h;
  return result;
}

LONG key::delete_tree(HKEY root, const std::wstring& path) noexcept {
  if (path.empty()) return ERROR_INVALID_PARAMETER;
  // RegDeleteTreeW empties the key; the key itself goes with RegDeleteKeyW.
  LONG rc = RegDeleteTreeW(root, path.c_str());
  if (rc == ERROR_SUCCESS) rc = RegDeleteKeyW(root, path.c_str());
  if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND) return ERROR_SUCCESS;
  return rc;
}

bool key::exists(HKEY root, const std::wstring& path) noexcept { return static_cast<bool>(open(root, path)); }

key key::invalid() noexcept {
  key result;
  result.m_error = ERROR_INVALID_HANDLE;
  return result;
}

key key::open_subkey(const std::wstring& path, REGSAM access) const noexcept {
  if (!m_handle) return invalid();
  return open(m_handle, path, access);
}

key key::create_subkey(const std::wstring& path, REGSAM access) const noexcept {
  if (!m_handle) return invalid();
  return create(m_handle, path, access);
}

LONG key::delete_subtree(const std::wstring& path) const noexcept {
  if (!m_handle) return ERROR_INVALID_HANDLE;
  return delete_tree(m_handle, path);
}

LONG key::query(const wchar_t* name, DWORD& type, std::vector<std::uint8_t>& data, std::size_t max_size) const {
  if (!m_handle) return ERROR_INVALID_HANDLE;
  // The value may grow between the size query and the read: try again then.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    LONG rc = RegQueryValueExW(m_handle, name, nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    if (size > max_size) return ERROR_MORE_DATA;
    data.resize(size);
    rc = RegQueryValueExW(m_handle, name, nullptr, &type, data.empty() ? nullptr : data.data(), &size);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) return rc;
    data.resize(size);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

std::optional<DWORD> key::read_dword(const wchar_t* name) const {
  DWORD type = 0;
  std::vector<std::uint8_t> data;
  if (query(name, type, data, sizeof(DWORD)) != ERROR_SUCCESS || type != REG_DWORD || data.size() != sizeof(DWORD))
    return std::nullopt;
  DWORD value = 0;
  std::memcpy(&value, data.data(), sizeof value);
  return value;
}

std::optional<std::wstring> key::read_string(const wchar_t* name) const {
  DWORD type = 0;
  std::vector<std::uint8_t> data;
  if (query(name, type, data, 1 << 20) != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  const auto end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return text;
}

std::optional<std::vector<std::uint8_t>> key::read_binary(const wchar_t* name, std::size_t max_size) const {
  DWORD type = 0;
  std::vector<std::uint8_t> data;
  if (query(name, type, data, max_size) != ERROR_SUCCESS || type != REG_BINARY) return std::nullopt;
  return data;
}

std::optional<DWORD> key::value_type(const wchar_t* name) const noexcept {
  DWORD type = 0;
  if (!m_handle || RegQueryValueExW(m_handle, name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
    return std::nullopt;
  return type;
}

LONG key::write_dword(const wchar_t* name, DWORD value) const noexcept {
  if (!m_handle) return ERROR_INVALID_HANDLE;
  return RegSetValueExW(m_handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG key::write_string(const wchar_t* name, const std::wstring& value) const noexcept {
  if (!m_handle) return ERROR_INVALID_HANDLE;
  if ((value.size() + 1) * sizeof(wchar_t) > MAXDWORD) return ERROR_INVALID_PARAMETER;
  return RegSetValueExW(m_handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LONG key::write_binary(const wchar_t* name, const void* data, std::size_t size) const noexcept {
  return write_value(name, REG_BINARY, data, size);
}

LONG key::write_value(const wchar_t* name, DWORD type, const void* data, std::size_t size) const noexcept {
  if (!m_handle) return ERROR_INVALID_HANDLE;
  if (size > MAXDWORD) return ERROR_INVALID_PARAMETER;
  return RegSetValueExW(m_handle, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
}

LONG key::delete_value(const wchar_t* name) const noexcept {
  if (!m_handle) return ERROR_INVALID_HANDLE;
  const LONG rc = RegDeleteValueW(m_handle, name);
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

std::vector<std::wstring> key::subkey_names() const {
  std::vector<std::wstring> names;
  if (!m_handle) return names;
  DWORD count = 0, longest = 0;
  if (RegQueryInfoKeyW(m_handle, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return names;
  std::wstring name;
  for (DWORD i = 0;; ++i) {
    name.assign(longest + 1, L'\0');
    DWORD length = static_cast<DWORD>(name.size());
    const LONG rc = RegEnumKeyExW(m_handle, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) {  // a longer name was added meanwhile
      longest = longest * 2 + 256;
      --i;
      continue;
    }
    if (rc != ERROR_SUCCESS) break;
    name.resize(length);
    names.push_back(name);
  }
  return names;
}

std::vector<key::value> key::values() const {
  std::vector<value> result;
  if (!m_handle) return result;
  DWORD longest_name = 0, longest_data = 0;
  if (RegQueryInfoKeyW(m_handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest_name,
                       &longest_data, nullptr, nullptr) != ERROR_SUCCESS)
    return result;
  for (DWORD i = 0;; ++i) {
    value v;
    v.name.assign(longest_name + 1, L'\0');
    v.data.resize(longest_data);
    DWORD name_length = static_cast<DWORD>(v.name.size());
    DWORD size = static_cast<DWORD>(v.data.size());
    const LONG rc = RegEnumValueW(m_handle, i, v.name.data(), &name_length, nullptr, &v.type,
                                  v.data.empty() ? nullptr : v.data.data(), &size);
    if (rc == ERROR_MORE_DATA) {  // changed meanwhile: measure again
      longest_name = longest_name * 2 + 256;
      longest_data = longest_data * 2 + 256;
      --i;
      continue;
    }
    if (rc != ERROR_SUCCESS) break;
    v.name.resize(name_length);
    v.data.resize(size);
    result.push_back(std::move(v));
  }
  return result;
}

}  // namespace orvo::registry
