// IOrvoClientInterfaceImpl: the client's automation interface as the
// splash page sees it (window.external). Its IDispatch reads the type
// information from the program's own embedded type library, loaded once by
// the program's path and never registered (orvo::com::dispatch); the
// getters are written here, the four methods by the window that serves it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "OrvoIntf_h.h"
#include "com/dispatch.h"
#include "version_info.h"

namespace Orvo {

// A text handed to the caller as a new BSTR: E_POINTER without an
// out-pointer, E_FAIL when the string cannot be allocated.
HRESULT copy_to_bstr(const std::wstring& text, BSTR* out) noexcept;
// The same for a text still to be made; a failure to make it is E_FAIL.
template <class Make>
HRESULT text_result(BSTR* out, Make&& make) noexcept {
  if (!out) return E_POINTER;
  try {
    return copy_to_bstr(make(), out);
  } catch (...) {
    *out = nullptr;
    return E_FAIL;
  }
}

class IOrvoClientInterfaceImpl : public orvo::com::dispatch<IOrvoClientInterface> {
 public:
  // The version data of the program file, read now.
  IOrvoClientInterfaceImpl();

  STDMETHODIMP get_Version(BSTR* version) override;
  STDMETHODIMP get_Implemented(BSTR* html) override;
  STDMETHODIMP get_Date(BSTR* date) override;
  STDMETHODIMP get_Time(BSTR* time) override;

 protected:
  version_data m_version;
};

}  // namespace Orvo
