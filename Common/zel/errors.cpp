#include "zel/errors.h"

#include <boost/core/demangle.hpp>
#include <typeinfo>

namespace zel {

namespace {
constexpr DWORD system_message_flags =
    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;
constexpr DWORD neutral_language = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);

// FormatMessage into a system buffer; null (and nothing left allocated) when it fails.
template <class Ch, class F>
Ch* system_message(F format, DWORD code) noexcept {
  Ch* buffer = nullptr;
  const DWORD length =
      format(system_message_flags, nullptr, code, neutral_language, reinterpret_cast<Ch*>(&buffer), 0, nullptr);
  if (length && buffer) return buffer;
  if (buffer) ::LocalFree(buffer);
  return nullptr;
}
}  // namespace

win32_error::~win32_error() {
  if (m_narrow) ::LocalFree(m_narrow);
  if (m_wide) ::LocalFree(m_wide);
}

const char* win32_error::what() const noexcept {
  if (!m_narrow) m_narrow = system_message<char>(&::FormatMessageA, m_code);
  return m_narrow ? m_narrow : "win32_error";
}

const wchar_t* win32_error::wwhat() const noexcept {
  if (!m_wide) m_wide = system_message<wchar_t>(&::FormatMessageW, m_code);
  return m_wide ? m_wide : L"win32_error";
}

void basic_com_error::system_text() const {
  if (char* text = system_message<char>(&::FormatMessageA, static_cast<DWORD>(m_hr))) {
    try {
      m_message = text;
    } catch (...) {
      ::LocalFree(text);
      throw;
    }
    ::LocalFree(text);
  } else {
    m_message = boost::core::demangle(typeid(*this).name()) + " - No message for this error code is available";
  }
}

const char* basic_com_error::what() const noexcept {
  try {
    if (m_message.empty()) system_text();
  } catch (...) {
  }
  return m_message.c_str();
}

com_error::com_error(HRESULT hr, IErrorInfo* info) noexcept : basic_com_error(hr), m_info(info) {
  if (m_info) m_info->AddRef();
}

com_error::com_error(const com_error& other) noexcept : basic_com_error(other), m_info(other.m_info) {
  if (m_info) m_info->AddRef();
}

com_error::~com_error() {
  if (m_info) m_info->Release();
}

const char* com_error::what() const noexcept {
  try {
    if (m_message.empty() && m_info) {
      BSTR description = nullptr;
      if (SUCCEEDED(m_info->GetDescription(&description)) && description) {
        const UINT length = ::SysStringLen(description);
        if (length <= 0x3FFFFFFE) {
          std::string text(length * 2 + 2, '\0');
          const int written = ::WideCharToMultiByte(CP_THREAD_ACP, 0, description, -1, text.data(),
                                                    static_cast<int>(text.size()), nullptr, nullptr);
          if (written > 0) {
            text.resize(static_cast<size_t>(written) - 1);  // without the terminating zero
            m_message = std::move(text);
          }
        }
      }
      ::SysFreeString(description);
    }
    if (m_message.empty()) system_text();
  } catch (...) {
  }
  return m_message.c_str();
}

comet::bstr_t com_error::source() const {
  comet::bstr_t text;
  if (m_info) m_info->GetSource(text.out());
  return text;
}

comet::bstr_t com_error::help_file() const {
  comet::bstr_t text;
  if (m_info) m_info->GetHelpFile(text.out());
  return text;
}

DWORD com_error::help_context() const {
  DWORD context = 0;
  if (m_info && FAILED(m_info->GetHelpContext(&context))) context = 0;
  return context;
}

void throw_win32_error(DWORD code) { throw win32_error(code); }

void throw_com_error(HRESULT hr) { throw basic_com_error(hr); }

void throw_com_error(HRESULT hr, IUnknown* object, REFIID iid) {
  ISupportErrorInfo* support = nullptr;
  if (object && SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))) &&
      support) {
    const HRESULT supported = support->InterfaceSupportsErrorInfo(iid);
    support->Release();
    if (supported == S_OK) {
      IErrorInfo* info = nullptr;
      ::GetErrorInfo(0, &info);
      com_error error(hr, info);
      if (info) info->Release();
      throw error;
    }
  }
  throw basic_com_error(hr);
}

}  // namespace zel
