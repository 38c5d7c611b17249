// comet::bstr_t: an owned BSTR.
//
// A null BSTR counts as the empty string everywhere: length 0, c_str() "",
// equal to L"". Ordering (operator<) is that of VarBstrCmp under the
// thread's locale with no flags, with a null string before every other
// string, so that maps keyed by bstr_t order their keys as the system
// compares them.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace comet {

class bstr_t {
 public:
  bstr_t() noexcept = default;
  // A null text gives a null string; the others copy their text.
  bstr_t(const wchar_t* text) : m_str(text ? allocate(text, std::char_traits<wchar_t>::length(text)) : nullptr) {}
  bstr_t(const wchar_t* text, size_t length) : m_str(allocate(text, length)) {}
  bstr_t(const std::wstring& text) : m_str(allocate(text.data(), text.size())) {}
  bstr_t(const bstr_t& other) : m_str(other.m_str ? allocate(other.m_str, other.length()) : nullptr) {}
  bstr_t(bstr_t&& other) noexcept : m_str(std::exchange(other.m_str, nullptr)) {}
  ~bstr_t() { ::SysFreeString(m_str); }
  bstr_t& operator=(bstr_t other) noexcept {
    swap(other);
    return *this;
  }

  // Takes ownership of a BSTR the caller was given.
  static bstr_t attach(BSTR str) noexcept {
    bstr_t b;
    b.m_str = str;
    return b;
  }
  BSTR detach() noexcept { return std::exchange(m_str, nullptr); }
  void swap(bstr_t& other) noexcept { std::swap(m_str, other.m_str); }

  // For [in] arguments: the BSTR itself, possibly null.
  BSTR in() const noexcept { return m_str; }
  // For [out] arguments: frees what is held and hands out the slot.
  BSTR* out() noexcept {
    ::SysFreeString(std::exchange(m_str, nullptr));
    return &m_str;
  }

  bool is_null() const noexcept { return m_str == nullptr; }
  size_t length() const noexcept { return ::SysStringLen(m_str); }
  bool empty() const noexcept { return length() == 0; }
  const wchar_t* c_str() const noexcept { return m_str ? m_str : L""; }
  std::wstring w_str() const { return std::wstring(c_str(), length()); }
  // Narrow text in the thread's ANSI code page.
  std::string s_str() const;

  friend bool operator==(const bstr_t& a, const bstr_t& b) noexcept {
    return a.length() == b.length() && std::char_traits<wchar_t>::compare(a.c_str(), b.c_str(), a.length()) == 0;
  }
  friend bool operator!=(const bstr_t& a, const bstr_t& b) noexcept { return !(a == b); }
  friend bool operator<(const bstr_t& a, const bstr_t& b) noexcept;

 private:
  // SysAllocStringLen; throws std::bad_alloc when it fails.
  static BSTR allocate(const wchar_t* text, size_t length);
  BSTR m_str = nullptr;
};

}  // namespace comet
