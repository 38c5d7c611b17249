#include "settings_disk.h"

#include "OrvoPaths.h"
#include "zel/com_stream.h"

#include <cstring>
#include <iterator>
#include <vector>

std::wstring to_wstring(const Orvo::wide_string& text) { return std::wstring(text.begin(), text.end()); }

Orvo::wide_string to_wide_string(const std::wstring& text) { return Orvo::wide_string(text.begin(), text.end()); }

namespace {

// Text of the system's ANSI code page.
std::u16string decode_ansi(const std::string& text) {
  if (text.empty()) return {};
  const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return to_wide_string(wide);
}

struct handle_closer {
  HANDLE handle;
  ~handle_closer() {
    if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  }
};

}  // namespace

namespace OrvoPaths {

bool open_builtin_session(HMODULE module, IStream** stream) {
  *stream = nullptr;
  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(builtin_session_resource), L"XML");
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  const DWORD size = found ? ::SizeofResource(module, found) : 0;
  if (!data || size == 0) return false;
  HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) return false;
  void* target = ::GlobalLock(copy);
  if (!target) {
    ::GlobalFree(copy);
    return false;
  }
  std::memcpy(target, data, size);
  ::GlobalUnlock(copy);
  if (FAILED(::CreateStreamOnHGlobal(copy, TRUE, stream))) {
    ::GlobalFree(copy);
    *stream = nullptr;
    return false;
  }
  return true;
}

}  // namespace OrvoPaths

Orvo::wide_string CSettingsDisk::user_data_folder() {
  return to_wide_string(m_user_base.empty() ? OrvoPaths::get_user_data_folder() : m_user_base);
}

Orvo::wide_string CSettingsDisk::common_data_folder() {
  return to_wide_string(m_common_base.empty() ? OrvoPaths::get_common_data_folder() : m_common_base);
}

Orvo::wide_string CSettingsDisk::product_file(const Orvo::wide_string& base, const Orvo::wide_string& name) {
  return to_wide_string(OrvoPaths::path_append(OrvoPaths::get_product_folder(to_wstring(base)), to_wstring(name)));
}

std::optional<std::string> CSettingsDisk::read_file(const Orvo::wide_string& path) {
  const handle_closer file{::CreateFileW(to_wstring(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string content;
  char buffer[65536];
  DWORD got = 0;
  while (true) {
    if (!::ReadFile(file.handle, buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
    if (got == 0) return content;
    content.append(buffer, got);
  }
}

bool CSettingsDisk::write_file(const Orvo::wide_string& path, const std::string& content) {
  HANDLE handle = ::CreateFileW(to_wstring(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = ::WriteFile(handle, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
                  written == content.size() && ::FlushFileBuffers(handle);
  // The file counts as written only when it also closes cleanly.
  return ::CloseHandle(handle) && ok;
}

bool CSettingsDisk::copy_file(const Orvo::wide_string& from, const Orvo::wide_string& to) {
  return ::CopyFileW(to_wstring(from).c_str(), to_wstring(to).c_str(), FALSE) != FALSE;
}

bool CSettingsDisk::replace_file(const Orvo::wide_string& from, const Orvo::wide_string& to) {
  return ::MoveFileExW(to_wstring(from).c_str(), to_wstring(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

void CSettingsDisk::remove_file(const Orvo::wide_string& path) { ::DeleteFileW(to_wstring(path).c_str()); }

std::optional<std::string> CSettingsDisk::builtin_session() {
  IStream* raw = nullptr;
  if (!OrvoPaths::open_builtin_session(m_module, &raw)) {
    zel::debug_break();
    return std::nullopt;
  }
  const auto stream = orvo::com::ptr<IStream>::attach(raw);
  zel::basic_com_istream<char> in(stream.get());
  std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return content;
}

Orvo::ansi_decoder CSettingsDisk::text_decoder() { return decode_ansi; }
