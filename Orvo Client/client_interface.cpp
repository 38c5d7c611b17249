#include "client_interface.h"

#include <oleauto.h>

#include "core/about_rules.h"

namespace Orvo {

HRESULT copy_to_bstr(const std::wstring& text, BSTR* out) noexcept {
  if (!out) return E_POINTER;
  *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_FAIL;
}

IOrvoClientInterfaceImpl::IOrvoClientInterfaceImpl() : m_version(read_version_translation(nullptr)) {}

STDMETHODIMP IOrvoClientInterfaceImpl::get_Version(BSTR* version) {
  return text_result(version, [&] { return query_version_string(m_version, L"FileVersion"); });
}

STDMETHODIMP IOrvoClientInterfaceImpl::get_Implemented(BSTR* html) {
  return text_result(html, [] { return build_implemented_html(implemented_heading::client_interface); });
}

STDMETHODIMP IOrvoClientInterfaceImpl::get_Date(BSTR* date) { return text_result(date, build_date_text); }

STDMETHODIMP IOrvoClientInterfaceImpl::get_Time(BSTR* time) { return text_result(time, build_time_text); }

}  // namespace Orvo
