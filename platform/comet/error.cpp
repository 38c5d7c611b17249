#include "comet/error.h"

namespace comet {

std::wstring system_message(HRESULT hr) {
  wchar_t* buffer = nullptr;
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer ? buffer : L"", length);
  ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
  return text;
}

std::wstring com_error::description() const {
  if (m_info) {
    bstr_t text;
    if (SUCCEEDED(m_info->GetDescription(text.out())) && !text.empty()) return text.w_str();
  }
  std::wstring text = system_message(m_hr);
  if (text.empty()) {
    wchar_t code[32];
    swprintf(code, 32, L"Error 0x%08lX", static_cast<unsigned long>(m_hr));
    text = code;
  }
  return text;
}

bstr_t com_error::source() const {
  bstr_t text;
  if (m_info) m_info->GetSource(text.out());
  return text;
}

const char* com_error::what() const noexcept {
  try {
    if (m_what.empty()) m_what = bstr_t(description()).s_str();
  } catch (...) {
  }
  return m_what.c_str();
}

void raise(HRESULT hr) { throw com_error(hr); }

void raise(HRESULT hr, IUnknown* object, REFIID iid) {
  orvo::com::ptr<ISupportErrorInfo> support;
  orvo::com::ptr<IErrorInfo> info;
  if (object && SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, support.put_void())) && support &&
      support->InterfaceSupportsErrorInfo(iid) == S_OK && ::GetErrorInfo(0, info.put()) == S_OK && info) {
    throw com_error(hr, info.get());
  }
  throw com_error(hr);
}

}  // namespace comet
