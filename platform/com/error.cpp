#include "error.h"

#include "ptr.h"

namespace orvo::com {

HRESULT set_error(HRESULT hr, const wchar_t* source, const wchar_t* description, REFIID iid) noexcept {
  ptr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(create.put()))) return hr;
  create->SetGUID(iid);
  if (source) create->SetSource(const_cast<LPOLESTR>(source));
  if (description) create->SetDescription(const_cast<LPOLESTR>(description));
  ptr<IErrorInfo> info;
  if (SUCCEEDED(create.query(info))) SetErrorInfo(0, info.get());
  return hr;
}

void clear_error() noexcept { SetErrorInfo(0, nullptr); }

}  // namespace orvo::com
