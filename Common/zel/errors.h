// The client's exceptions: every failure inside Orvo Client travels as one
// of these, and handlers take the text from what() and the code from the
// error.
//
//   zel::win32_error       a failed Win32 call: its error code and system text;
//   zel::basic_com_error   a failed HRESULT and its system text;
//   zel::com_error         a failed HRESULT with the callee's error information.
//
//   if (!::MapDialogRect(dialog, &r)) zel::throw_win32_error(::GetLastError());
//   if (hr < 0) zel::throw_com_error(hr);
//   zel::check_com_result(document->get_body(&body), document.get());  // with the callee's info
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <boost/exception/exception.hpp>
#include <exception>
#include <string>

#include "comet/bstr.h"

namespace zel {

class win32_error : public std::exception, public boost::exception {
 public:
  explicit win32_error(DWORD code) noexcept : m_code(code) {}
  // Copies the code and the Boost error information; the copy makes its own texts.
  win32_error(const win32_error& other) noexcept
      : std::exception(other), boost::exception(other), m_code(other.m_code) {}
  win32_error& operator=(const win32_error&) = delete;
  ~win32_error() override;

  // The system's message for the code (with its line break), or
  // "win32_error" when the system has none; asked again on the next call.
  const char* what() const noexcept override;
  virtual const wchar_t* wwhat() const noexcept;
  DWORD code() const noexcept { return m_code; }

 private:
  DWORD m_code;
  mutable char* m_narrow = nullptr;   // LocalAlloc'ed by FormatMessageA
  mutable wchar_t* m_wide = nullptr;  // LocalAlloc'ed by FormatMessageW
};

class basic_com_error : public std::exception {
 public:
  // A success code (zero or positive) is kept as E_FAIL: the error never carries success.
  explicit basic_com_error(HRESULT hr) noexcept : m_hr(hr < 0 ? hr : E_FAIL) {}
  basic_com_error(const basic_com_error& other) noexcept : std::exception(other), m_hr(other.m_hr) {}
  basic_com_error& operator=(const basic_com_error&) = delete;
  ~basic_com_error() override = default;

  // The system's message for hr, else the error's class name followed by
  // " - No message for this error code is available". Never throws.
  const char* what() const noexcept override;
  HRESULT hr() const noexcept { return m_hr; }

 protected:
  // Builds the system text or the fallback into m_message.
  void system_text() const;
  mutable std::string m_message;

 private:
  HRESULT m_hr;
};

class com_error : public basic_com_error {
 public:
  // Takes its own reference to info (which may be null).
  com_error(HRESULT hr, IErrorInfo* info) noexcept;
  com_error(const com_error& other) noexcept;
  ~com_error() override;

  // The error information's description, else the system text of hr.
  const char* what() const noexcept override;
  // GetSource and GetHelpFile of the error information; null without it.
  comet::bstr_t source() const;
  comet::bstr_t help_file() const;
  // GetHelpContext of the error information; 0 without it.
  DWORD help_context() const;

 private:
  IErrorInfo* m_info;
};

[[noreturn]] void throw_win32_error(DWORD code);
// Throws zel::basic_com_error; callers test hr < 0 first.
[[noreturn]] void throw_com_error(HRESULT hr);
// After a failed call of interface iid on object: zel::com_error with the
// thread's error information when the object answers ISupportErrorInfo and
// its InterfaceSupportsErrorInfo(iid) is S_OK, else zel::basic_com_error.
[[noreturn]] void throw_com_error(HRESULT hr, IUnknown* object, REFIID iid);

// hr unchanged when it is not negative; else throw_com_error(hr, object, iid).
inline HRESULT check_com_result(HRESULT hr, IUnknown* object, REFIID iid) {
  if (hr < 0) throw_com_error(hr, object, iid);
  return hr;
}
template <class Itf>
HRESULT check_com_result(HRESULT hr, Itf* object) {
  return check_com_result(hr, object, __uuidof(Itf));
}

// Breaks into a debugger after a failed internal check: true when one took
// the breakpoint and let the program go on; without one, writes
// "Failed to break into debugger.\n" to the debugger output and gives false.
bool debug_break() noexcept;

}  // namespace zel
