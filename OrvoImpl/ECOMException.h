// ECOMException: a failure inside the state model, with its text, the place
// it was raised and its HRESULT. At the COM boundary it becomes that
// HRESULT with error information whose source is "OrvoImpl [place]" and
// whose description is the text.
#pragma once

#include <objbase.h>

#include <stdexcept>
#include <string>

namespace orvo::impl {

class ECOMException : public std::runtime_error {
 public:
  ECOMException(std::wstring text, std::wstring place, HRESULT code);

  const std::wstring& Text() const noexcept { return m_text; }
  // "OrvoImpl [place]".
  const std::wstring& Source() const noexcept { return m_source; }
  HRESULT Code() const noexcept { return m_code; }

 private:
  std::wstring m_text;
  std::wstring m_source;
  HRESULT m_code;
};

// Raises ECOMException (E_FAIL unless code says otherwise).
[[noreturn]] void RaiseError(const wchar_t* text, const wchar_t* place, HRESULT code = E_FAIL);

// Inside a catch block: the current exception as the HRESULT of a COM
// method of interface iid, with error information. ECOMException keeps its
// HRESULT and source; any other exception gives E_UNEXPECTED with its
// message as description and no source.
HRESULT ReportException(REFIID iid) noexcept;

}  // namespace orvo::impl
