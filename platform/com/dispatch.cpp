#include "dispatch.h"

#include <oleauto.h>

#include <map>
#include <string>
#include <vector>

#include "lock.h"
#include "module.h"

namespace orvo::com {

namespace {

struct iid_less {
  bool operator()(const IID& a, const IID& b) const noexcept { return memcmp(&a, &b, sizeof(IID)) < 0; }
};

struct type_info_cache {
  critical_section lock;
  std::vector<ptr<ITypeLib>> libraries;  // resources 1, 2, ... of the module
  bool all_loaded = false;
  std::map<IID, ptr<ITypeInfo>, iid_less> infos;
};

// The type library embedded as TYPELIB resource `index` (1 is the module path alone).
HRESULT load_embedded(const std::wstring& path, std::size_t index, ptr<ITypeLib>& out) noexcept {
  const std::wstring name = index == 1 ? path : path + L"\\" + std::to_wstring(index);
  return LoadTypeLibEx(name.c_str(), REGKIND_NONE, out.put());
}

type_info_cache& cache() {
  static type_info_cache instance;
  return instance;
}

// The vtable half of a dual interface: DispInvoke calls slots through it.
HRESULT interface_part(ptr<ITypeInfo>& info) noexcept {
  TYPEATTR* attr = nullptr;
  HRESULT hr = info->GetTypeAttr(&attr);
  if (FAILED(hr)) return hr;
  const bool dual_dispatch = attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL);
  info->ReleaseTypeAttr(attr);
  if (!dual_dispatch) return S_OK;
  HREFTYPE ref = 0;
  hr = info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref);
  if (FAILED(hr)) return hr;
  ptr<ITypeInfo> vtable;
  hr = info->GetRefTypeInfo(ref, vtable.put());
  if (SUCCEEDED(hr)) info = vtable;
  return hr;
}

}  // namespace

HRESULT embedded_type_info(REFIID iid, ITypeInfo** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  try {
    type_info_cache& c = cache();
    scoped_lock hold(c.lock);
    auto found = c.infos.find(iid);
    if (found != c.infos.end()) return found->second.copy_to(out);
    if (!c.all_loaded) {
      // A module may embed several libraries (its own and those whose
      // interfaces it serves): every one is searched, in resource order.
      const std::wstring path = module::path();
      if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
      for (std::size_t index = 1;; ++index) {
        ptr<ITypeLib> library;
        const HRESULT hr = load_embedded(path, index, library);
        if (FAILED(hr)) {
          if (index == 1) return hr;
          break;
        }
        c.libraries.push_back(library);
      }
      c.all_loaded = true;
    }
    ptr<ITypeInfo> info;
    HRESULT hr = TYPE_E_ELEMENTNOTFOUND;
    for (const ptr<ITypeLib>& library : c.libraries) {
      hr = library->GetTypeInfoOfGuid(iid, info.put());
      if (SUCCEEDED(hr)) break;
    }
    if (SUCCEEDED(hr)) hr = interface_part(info);
    if (FAILED(hr)) return hr;
    c.infos.emplace(iid, info);
    return info.copy_to(out);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT dispatch_ids_of_names(REFIID iid, REFIID riid, LPOLESTR* names, UINT count, DISPID* ids) noexcept {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  ptr<ITypeInfo> info;
  HRESULT hr = embedded_type_info(iid, info.put());
  if (FAILED(hr)) return hr;
  return DispGetIDsOfNames(info.get(), names, count, ids);
}

HRESULT dispatch_invoke(REFIID iid, void* self, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argument_error) noexcept {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  ptr<ITypeInfo> info;
  HRESULT hr = embedded_type_info(iid, info.put());
  if (FAILED(hr)) return hr;
  // Error information present afterwards was published by the slot itself.
  SetErrorInfo(0, nullptr);
  hr = DispInvoke(self, info.get(), id, flags, params, result, exception, argument_error);
  if (FAILED(hr) && hr != DISP_E_EXCEPTION && exception) {
    ptr<IErrorInfo> error;
    if (GetErrorInfo(0, error.put()) == S_OK && error) {
      *exception = EXCEPINFO{};
      exception->scode = hr;
      error->GetSource(&exception->bstrSource);
      error->GetDescription(&exception->bstrDescription);
      error->GetHelpFile(&exception->bstrHelpFile);
      error->GetHelpContext(&exception->dwHelpContext);
      SetErrorInfo(0, error.get());
      hr = DISP_E_EXCEPTION;
    }
  }
  return hr;
}

}  // namespace orvo::com
