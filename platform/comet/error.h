// comet::com_error and the checked calls of the client.
//
// Every failed call of the client on a COM interface raises comet::com_error
// carrying the HRESULT and, when the callee left it, its error information:
//
//   comet::check(state->get_AsString(text.out()), state.get());      // raises on failure
//   comet::raise(E_POINTER);                                           // the HRESULT alone
//
// The rule of check (and raise with an object): the callee's error object
// is taken only when the object answers ISupportErrorInfo, its
// InterfaceSupportsErrorInfo for the called interface returns exactly S_OK,
// and GetErrorInfo yields an object; otherwise the error carries the
// HRESULT alone. what() (narrow) and description() (wide) give the error
// object's description, else the system's text for the HRESULT.
#pragma once

#include <oaidl.h>

#include <exception>
#include <string>

#include "com/ptr.h"
#include "comet/bstr.h"

namespace comet {

class com_error : public std::exception {
 public:
  explicit com_error(HRESULT hr, IErrorInfo* info = nullptr) noexcept : m_hr(hr), m_info(info) {}

  HRESULT hr() const noexcept { return m_hr; }
  IErrorInfo* error_info() const noexcept { return m_info.get(); }
  std::wstring description() const;
  bstr_t source() const;
  const char* what() const noexcept override;

 private:
  HRESULT m_hr;
  orvo::com::ptr<IErrorInfo> m_info;
  mutable std::string m_what;
};

// The system's text for an HRESULT, without its line break; empty when none.
std::wstring system_message(HRESULT hr);

[[noreturn]] void raise(HRESULT hr);
// Raises for a failed call of interface `iid` on `object` (see above).
[[noreturn]] void raise(HRESULT hr, IUnknown* object, REFIID iid);

// Returns hr when it is not a failure, else raises for `object`'s interface.
template <class Itf>
HRESULT check(HRESULT hr, Itf* object) {
  if (FAILED(hr)) raise(hr, object, __uuidof(Itf));
  return hr;
}
inline HRESULT check(HRESULT hr) {
  if (FAILED(hr)) raise(hr);
  return hr;
}

}  // namespace comet
