#include "ECOMException.h"

#include <cstdio>

#include "com/error.h"

namespace orvo::impl {

namespace {
// The message: the text, a blank, the source and " 0x" with the HRESULT in
// eight hexadecimal digits.
std::string Message(const std::wstring& text, const std::wstring& source, HRESULT code) {
  std::string message;
  for (const wchar_t c : text + L" " + source) message += c < 128 ? static_cast<char>(c) : '?';
  char hex[16];
  std::snprintf(hex, sizeof hex, " 0x%08lX", static_cast<unsigned long>(code));
  return message + hex;
}

std::wstring Widen(const char* text) {
  std::wstring wide;
  for (; *text; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return wide;
}
}  // namespace

ECOMException::ECOMException(std::wstring text, std::wstring place, HRESULT code)
    : std::runtime_error(Message(text, L"OrvoImpl [" + place + L"]", code)),
      m_text(std::move(text)),
      m_source(L"OrvoImpl [" + place + L"]"),
      m_code(code) {}

void RaiseError(const wchar_t* text, const wchar_t* place, HRESULT code) { throw ECOMException(text, place, code); }

HRESULT ReportException(REFIID iid) noexcept {
  try {
    throw;
  } catch (const ECOMException& e) {
    return com::set_error(e.Code(), e.Source().c_str(), e.Text(), iid);
  } catch (const com::error& e) {
    com::set_error(E_UNEXPECTED, nullptr, e.description(), iid);
  } catch (const std::exception& e) {
    try {
      com::set_error(E_UNEXPECTED, nullptr, Widen(e.what()), iid);
    } catch (...) {
      com::set_error(E_UNEXPECTED, nullptr, L"", iid);
    }
  } catch (...) {
    com::set_error(E_UNEXPECTED, nullptr, L"Unexpected failure", iid);
  }
  return E_UNEXPECTED;
}

}  // namespace orvo::impl
