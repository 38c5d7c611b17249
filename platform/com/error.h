// Errors at the COM boundary.
//
// set_error() publishes error information (source, description, interface)
// for the calling thread with SetErrorInfo and returns the HRESULT, so a
// method can end with `return set_error(E_INVALIDARG, source, text, iid);`.
// clear_error() clears it at the start of a call that may fail.
//
// Inside a server, code below a COM method may throw orvo::com::error;
// guard() runs such code and turns every exception into an HRESULT with
// error information, so no exception ever leaves a COM method.
//
// supports_error_info<IIDs...> is an interface-list entry for
// orvo::com::object that answers ISupportErrorInfo for the given
// interfaces, so that clients trust the published information.
#pragma once

#include <objbase.h>
#include <oaidl.h>

#include <exception>
#include <new>
#include <string>

namespace orvo::com {

HRESULT set_error(HRESULT hr, const wchar_t* source, const wchar_t* description, REFIID iid = GUID_NULL) noexcept;
inline HRESULT set_error(HRESULT hr, const wchar_t* source, const std::wstring& description,
                         REFIID iid = GUID_NULL) noexcept {
  return set_error(hr, source, description.c_str(), iid);
}
void clear_error() noexcept;

// A negative byte count given with data: E_INVALIDARG with error info. A
// proxy that refuses such a call before it is sent passes no source.
inline HRESULT negative_count(const wchar_t* source, REFIID iid) noexcept {
  return set_error(E_INVALIDARG, source, L"The byte count is negative", iid);
}

// A failure with its HRESULT and text, thrown below a COM method.
class error : public std::exception {
 public:
  error(HRESULT hr, std::wstring description) : m_hr(hr), m_description(std::move(description)) {}
  HRESULT hr() const noexcept { return m_hr; }
  const std::wstring& description() const noexcept { return m_description; }
  const char* what() const noexcept override { return "orvo::com::error"; }

 private:
  HRESULT m_hr;
  std::wstring m_description;
};

// Runs f (returning HRESULT) and turns any exception into an HRESULT with
// error information from `source` for interface `iid`.
template <class F>
HRESULT guard(const wchar_t* source, REFIID iid, F&& f) noexcept {
  try {
    return f();
  } catch (const error& e) {
    return set_error(e.hr(), source, e.description(), iid);
  } catch (const std::bad_alloc&) {
    return set_error(E_OUTOFMEMORY, source, L"Out of memory", iid);
  } catch (...) {
    return set_error(E_UNEXPECTED, source, L"Unexpected failure", iid);
  }
}

template <const IID*... Iids>
class supports_error_info : public ISupportErrorInfo {
 public:
  using interface_type = ISupportErrorInfo;
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return ((iid == *Iids) || ...) ? S_OK : S_FALSE; }
};

}  // namespace orvo::com
