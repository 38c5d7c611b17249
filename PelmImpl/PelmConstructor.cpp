#include "PelmConstructor.h"

#include "com/ptr.h"

using orvo::com::ptr;
using orvo::com::set_error;

namespace {
const wchar_t source[] = L"Quarnell.PelmConstructor";
}

STDMETHODIMP CPelmConstructor::Create(ICommServer* port, IPelm** device) {
  if (!device) return E_POINTER;
  *device = nullptr;
  if (!port) return set_error(E_INVALIDARG, source, L"No port was given", IID_IPelmConstructor);
  ptr<ICommServerConstructor> server;
  HRESULT hr = orvo::com::create_instance(CLSID_CommServerConstructor, server);
  if (FAILED(hr)) return set_error(hr, source, L"The line server cannot be started", IID_IPelmConstructor);
  ptr<IUnknown> object;
  hr = server->CreateInProcessComponent(CLSID_PelmEx, IID_IPelm, object.put());
  if (FAILED(hr))
    return set_error(hr, source, L"The device object cannot be made in the line server", IID_IPelmConstructor);
  ptr<IPelmUsage> usage;
  if (FAILED(hr = object.query(usage))) return hr;
  return usage->Attach(port, device);
}
