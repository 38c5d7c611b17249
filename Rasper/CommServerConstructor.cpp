#include "CommServerConstructor.h"

#include <string>
#include <vector>

#include "CommServer.h"
#include "RasperProcess.h"
#include "com/enumerator.h"
#include "registry/registry_key.h"

using orvo::com::ptr;

namespace {
const wchar_t kSource[] = L"Quarnell.CommServerConstructor";

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  return StringFromGUID2(guid, text, 40) ? std::wstring(text) : std::wstring(L"Unknown");
}
}  // namespace

STDMETHODIMP CCommServerConstructor::GetCommServer(BSTR port, ICommServer** server) {
  return GetCommServerEx(port, server, VARIANT_FALSE);
}

STDMETHODIMP CCommServerConstructor::GetCommServerEx(BSTR port, ICommServer** server, VARIANT_BOOL attach_only) {
  if (!port || !server) return E_POINTER;
  *server = nullptr;
  return orvo::com::guard(kSource, IID_ICommServerConstructor, [&]() -> HRESULT {
    const std::wstring name(port, SysStringLen(port));
    CActiveServersArray& servers = RasperProcess().servers;
    CSerialImp* engine = nullptr;
    HRESULT hr = servers.FindOrOpen(name, attach_only != VARIANT_FALSE, &engine);
    ptr<ICommServer> facade;
    if (SUCCEEDED(hr)) {
      hr = CCommServer::make(facade);
      if (SUCCEEDED(hr)) hr = static_cast<CCommServer*>(facade.get())->Bind(engine);
      // Until bound, the engine's use is still ours to give back.
      if (FAILED(hr)) servers.Release(engine);
    }
    if (SUCCEEDED(hr)) *server = facade.detach();
    if (FAILED(hr)) {
      wchar_t text[300];
      _snwprintf(text, 300, L"Unable to access port %ls", name.c_str());
      text[299] = 0;
      return orvo::com::set_error(hr, kSource, text, IID_ICommServerConstructor);
    }
    return S_OK;
  });
}

STDMETHODIMP CCommServerConstructor::EnumPorts(IEnumString** ports) {
  if (!ports) return E_POINTER;
  *ports = nullptr;
  return orvo::com::guard(kSource, IID_ICommServerConstructor, [&]() -> HRESULT {
    std::vector<std::wstring> names;
    const auto key = orvo::registry::key::open(HKEY_LOCAL_MACHINE, L"Hardware\\DeviceMap\\SerialComm");
    if (key) {
      for (const auto& value : key.values()) {
        if (auto text = key.read_string(value.name.c_str())) names.push_back(*text);
      }
    }
    std::vector<LPOLESTR> items;
    for (auto& n : names) items.push_back(n.data());
    ptr<IEnumString> e;
    const HRESULT hr = orvo::com::enumerator<IEnumString, LPOLESTR, orvo::com::copy_string>::make_from(items, e);
    *ports = e.detach();
    return hr;
  });
}

STDMETHODIMP CCommServerConstructor::CreateInProcessComponent(REFCLSID clsid, REFIID iid, IUnknown** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(object));
  if (SUCCEEDED(hr)) return hr;
  return orvo::com::guard(kSource, IID_ICommServerConstructor, [&]() -> HRESULT {
    return orvo::com::set_error(
        hr, kSource, L"Unable to create the component " + GuidText(clsid) + L" with the interface " + GuidText(iid),
        IID_ICommServerConstructor);
  });
}

STDMETHODIMP CCommServerConstructor::RegisterInterface(BSTR name, IUnknown* object) {
  if (!name || !object) return E_POINTER;
  return RasperProcess().interfaces.Register(name, object);
}

STDMETHODIMP CCommServerConstructor::RevokeInterface(BSTR name) {
  if (!name) return E_POINTER;
  return RasperProcess().interfaces.Revoke(name);
}

STDMETHODIMP CCommServerConstructor::GetInterface(BSTR name, IUnknown** object) {
  if (!name || !object) return E_POINTER;
  return RasperProcess().interfaces.Get(name, object);
}
