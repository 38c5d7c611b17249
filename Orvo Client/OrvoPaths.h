// The client's folders and data files: the user and common application-data
// folders from the shell, the maker and product folders below them, and the
// files in the product folder. Folder and path failures throw standard
// exceptions that carry this header as their throw location.
#pragma once

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <boost/throw_exception.hpp>

#include <stdexcept>
#include <string>

namespace OrvoPaths {

constexpr int user_data_folder_id = CSIDL_APPDATA | CSIDL_FLAG_CREATE;           // 0x801A
constexpr int common_data_folder_id = CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE;  // 0x8023

inline std::wstring get_folder_path(int folder) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path)))
    BOOST_THROW_EXCEPTION(std::runtime_error("get_folder_path"));
  return path;
}

// base joined with part in a buffer of MAX_PATH characters.
inline std::wstring path_append(const std::wstring& base, const std::wstring& part) {
  if (base.size() >= MAX_PATH) BOOST_THROW_EXCEPTION(std::runtime_error("path_append"));
  wchar_t path[MAX_PATH] = {};
  base.copy(path, base.size());
  if (!::PathAppendW(path, part.c_str())) BOOST_THROW_EXCEPTION(std::runtime_error("path_append"));
  return path;
}

inline std::wstring get_user_data_folder() { return get_folder_path(user_data_folder_id); }
inline std::wstring get_common_data_folder() { return get_folder_path(common_data_folder_id); }

// Each level is created every time; an existing folder is the normal case.
inline std::wstring get_maker_folder(const std::wstring& base) {
  std::wstring folder = path_append(base, L"Quarnell");
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

inline std::wstring get_product_folder(const std::wstring& base) {
  std::wstring folder = path_append(get_maker_folder(base), L"Orvo");
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

inline std::wstring get_options_file(const std::wstring& base) {
  return path_append(get_product_folder(base), L"options.xml");
}
inline std::wstring get_protocols_file(const std::wstring& base) {
  return path_append(get_product_folder(base), L"protocols.xml");
}

// Copies path to path + ".old", overwriting; whether the copy succeeded.
inline bool backup_file(const std::wstring& path) {
  return ::CopyFileW(path.c_str(), (path + L".old").c_str(), FALSE) != FALSE;
}

// The built-in session archive (resource "XML" 296 of module) as a stream
// that owns a movable copy of it; false and no stream when a step fails.
constexpr int builtin_session_resource = 296;
bool open_builtin_session(HMODULE module, IStream** stream);

}  // namespace OrvoPaths
