// An open registry key that closes itself, with typed reads and writes.
//
//   auto key = orvo::registry::key::open(HKEY_LOCAL_MACHINE, L"Software\\X");
//   if (key) { auto path = key.read_string(L"Provider"); ... }
//
// Every read checks the stored type and size and gives std::nullopt when the
// value is missing or of another shape; every write and delete returns the
// Win32 error code (ERROR_SUCCESS on success). open() and create() also
// leave the Win32 error of a failed open in `error()` of the empty key.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvo::registry {

class key {
 public:
  key() noexcept = default;
  // Takes ownership of an open handle.
  explicit key(HKEY handle) noexcept : m_handle(handle) {}
  key(key&& other) noexcept : m_handle(other.release()), m_error(other.m_error) {}
  key& operator=(key&& other) noexcept;
  key(const key&) = delete;
  key& operator=(const key&) = delete;
  ~key() { close(); }

  // Opens an existing key; an empty key (with error()) when it does not open.
  static key open(HKEY root, const std::wstring& path, REGSAM access = KEY_READ) noexcept;
  // Opens the key, creating it and any missing parent keys.
  static key create(HKEY root, const std::wstring& path, REGSAM access = KEY_READ | KEY_WRITE) noexcept;
  // Deletes a key with all its subkeys and values; a missing key is success.
  // An empty path is refused (ERROR_INVALID_PARAMETER): it would empty root.
  static LONG delete_tree(HKEY root, const std::wstring& path) noexcept;
  // Whether the key exists and can be opened for reading.
  static bool exists(HKEY root, const std::wstring& path) noexcept;

  explicit operator bool() const noexcept { return m_handle != nullptr; }
  HKEY get() const noexcept { return m_handle; }
  HKEY release() noexcept;
  void close() noexcept;
  // The Win32 error of the open or create that made this key (ERROR_SUCCESS
  // for an open key).
  LONG error() const noexcept { return m_error; }

  // Opens or creates a subkey of this key; on an empty key the result is
  // empty with ERROR_INVALID_HANDLE.
  key open_subkey(const std::wstring& path, REGSAM access = KEY_READ) const noexcept;
  key create_subkey(const std::wstring& path, REGSAM access = KEY_READ | KEY_WRITE) const noexcept;
  LONG delete_subtree(const std::wstring& path) const noexcept;

  // REG_DWORD of exactly four bytes.
  std::optional<DWORD> read_dword(const wchar_t* name) const;
  // REG_SZ or REG_EXPAND_SZ (not expanded); the text ends at the first NUL,
  // and a value stored without one is read whole.
  std::optional<std::wstring> read_string(const wchar_t* name) const;
  // REG_BINARY of at most max_size bytes.
  std::optional<std::vector<std::uint8_t>> read_binary(const wchar_t* name, std::size_t max_size = 1 << 20) const;
  // Type of a value, or nullopt when there is none of that name.
  std::optional<DWORD> value_type(const wchar_t* name) const noexcept;

  LONG write_dword(const wchar_t* name, DWORD value) const noexcept;
  LONG write_string(const wchar_t* name, const std::wstring& value) const noexcept;
  LONG write_binary(const wchar_t* name, const void* data, std::size_t size) const noexcept;
  LONG write_binary(const wchar_t* name, const std::vector<std::uint8_t>& data) const noexcept {
    return write_binary(name, data.data(), data.size());
  }
  // Any type, the bytes as given (no terminator is added to texts).
  LONG write_value(const wchar_t* name, DWORD type, const void* data, std::size_t size) const noexcept;
  // Deleting a missing value is success.
  LONG delete_value(const wchar_t* name) const noexcept;

  struct value {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
  };
  // Names of the direct subkeys, and every value with its type and bytes.
  std::vector<std::wstring> subkey_names() const;
  std::vector<value> values() const;

 private:
  static key invalid() noexcept;
  LONG query(const wchar_t* name, DWORD& type, std::vector<std::uint8_t>& data, std::size_t max_size) const;

  HKEY m_handle = nullptr;
  LONG m_error = ERROR_SUCCESS;
};

// Win32 error code as an HRESULT (S_OK for ERROR_SUCCESS).
inline HRESULT to_hresult(LONG error) noexcept { return HRESULT_FROM_WIN32(static_cast<unsigned long>(error)); }

}  // namespace orvo::registry
