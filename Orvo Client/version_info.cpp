#include "version_info.h"

#include "core/about_rules.h"

namespace Orvo {

namespace {
std::wstring widen(const char* text) {
  std::wstring out;
  for (; *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return out;
}
}  // namespace

version_data read_version_translation(HMODULE module) {
  version_data data;
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return data;
    if (n < path.size()) break;
    path.resize(path.size() * 2);
  }
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.data(), &ignored);
  if (size == 0) return data;
  std::vector<BYTE> block(size);
  if (!::GetFileVersionInfoW(path.data(), 0, size, block.data())) return data;
  WORD* pair = nullptr;
  UINT length = 0;
  if (::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pair), &length) && pair &&
      length >= 2 * sizeof(WORD)) {
    data.translation = version_translation(pair[0], pair[1]);
  }
  data.block = std::move(block);
  return data;
}

std::wstring query_version_string(const version_data& data, const wchar_t* name) {
  if (data.block.empty()) return {};
  const std::wstring query = version_string_query(data.translation, name);
  wchar_t* text = nullptr;
  UINT length = 0;
  // VerQueryValueW takes a non-const block but only reads it.
  auto* block = const_cast<BYTE*>(data.block.data());
  if (!::VerQueryValueW(block, query.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return {};
  return std::wstring(text);
}

std::wstring build_date_text() { return widen(__DATE__); }
std::wstring build_time_text() { return widen(__TIME__); }

}  // namespace Orvo
