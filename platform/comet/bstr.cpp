#include "comet/bstr.h"

#include <windows.h>

#include <new>

namespace comet {

BSTR bstr_t::allocate(const wchar_t* text, size_t length) {
  BSTR str = length > 0x7FFFFFFEu ? nullptr : ::SysAllocStringLen(text, static_cast<UINT>(length));
  if (!str) throw std::bad_alloc();
  return str;
}

std::string bstr_t::s_str() const {
  const int wide = static_cast<int>(length());
  if (!wide) return {};
  const int narrow = ::WideCharToMultiByte(CP_THREAD_ACP, 0, m_str, wide, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(narrow > 0 ? narrow : 0), '\0');
  if (narrow > 0) ::WideCharToMultiByte(CP_THREAD_ACP, 0, m_str, wide, text.data(), narrow, nullptr, nullptr);
  return text;
}

bool operator<(const bstr_t& a, const bstr_t& b) noexcept {
  if (!a.m_str || !b.m_str) return !a.m_str && b.m_str;
  return ::VarBstrCmp(a.m_str, b.m_str, ::GetThreadLocale(), 0) == static_cast<HRESULT>(VARCMP_LT);
}

}  // namespace comet
