#include "comet/dispevent.h"

#include <exception>

#include "comet/bstr.h"

namespace comet::detail {

HRESULT load(const DISPPARAMS& params, VARIANT* args) noexcept {
  const UINT count = params.cArgs;
  for (UINT i = 0; i < count; ++i) ::VariantInit(&args[i]);
  for (UINT i = 0; i < count; ++i) {
    const VARIANT& given = params.rgvarg[count - 1 - i];
    if (given.vt == (VT_BYREF | VT_VARIANT) && given.pvarVal) {
      VARIANT* inner = given.pvarVal;
      if (inner->vt & VT_BYREF) {
        args[i] = *inner;
      } else {
        // Every value of a VARIANT starts at the same address.
        args[i].vt = static_cast<VARTYPE>(inner->vt | VT_BYREF);
        args[i].byref = &inner->lVal;
      }
    } else if (given.vt & VT_BYREF) {
      args[i] = given;
    } else if (HRESULT hr = ::VariantCopy(&args[i], const_cast<VARIANT*>(&given)); FAILED(hr)) {
      release(args, i);
      return hr;
    }
  }
  return S_OK;
}

void release(VARIANT* args, UINT count) noexcept {
  for (UINT i = 0; i < count; ++i) {
    if (!(args[i].vt & VT_BYREF)) ::VariantClear(&args[i]);
  }
}

HRESULT prepare(VARIANT& arg, VARTYPE vt) noexcept {
  if (vt == VT_VARIANT) {
    if (!(arg.vt & VT_BYREF)) return S_OK;
    VARIANT value;
    ::VariantInit(&value);
    HRESULT hr = ::VariantCopyInd(&value, &arg);
    if (SUCCEEDED(hr)) arg = value;
    return hr;
  }
  if (vt & VT_BYREF) return arg.vt == vt ? S_OK : DISP_E_TYPEMISMATCH;
  if (arg.vt == vt) return S_OK;
  VARIANT value;
  ::VariantInit(&value);
  HRESULT hr = ::VariantChangeType(&value, &arg, 0, vt);
  if (FAILED(hr)) return hr;
  release(&arg, 1);
  arg = value;
  return S_OK;
}

namespace {

// The VARIANT type of a parameter as the type library declares it:
// VT_PTR to X is a reference to X; an enum is VT_I4; an alias is resolved.
VARTYPE declared_type(ITypeInfo* info, const TYPEDESC& desc) noexcept {
  if (desc.vt == VT_PTR && desc.lptdesc) {
    const VARTYPE pointed = declared_type(info, *desc.lptdesc);
    return pointed == VT_EMPTY ? VARTYPE{VT_EMPTY} : static_cast<VARTYPE>(pointed | VT_BYREF);
  }
  if (desc.vt != VT_USERDEFINED) return desc.vt;
  orvo::com::ptr<ITypeInfo> ref;
  TYPEATTR* attr = nullptr;
  VARTYPE vt = VT_EMPTY;
  if (SUCCEEDED(info->GetRefTypeInfo(desc.hreftype, ref.put())) && SUCCEEDED(ref->GetTypeAttr(&attr))) {
    if (attr->typekind == TKIND_ENUM) vt = VT_I4;
    if (attr->typekind == TKIND_ALIAS) vt = declared_type(ref.get(), attr->tdescAlias);
    if (attr->typekind == TKIND_DISPATCH || attr->typekind == TKIND_INTERFACE) vt = VT_EMPTY;
    ref->ReleaseTypeAttr(attr);
  }
  return vt;
}

}  // namespace

HRESULT coerce(const GUID& libid, WORD major, WORD minor, const IID& diid, DISPID dispid, VARIANT* args, UINT count,
               UINT* badArgument) noexcept {
  orvo::com::ptr<ITypeLib> library;
  orvo::com::ptr<ITypeInfo> info;
  HRESULT hr = ::LoadRegTypeLib(libid, major, minor, 0, library.put());
  if (SUCCEEDED(hr)) hr = library->GetTypeInfoOfGuid(diid, info.put());
  if (FAILED(hr)) return hr;
  TYPEATTR* attr = nullptr;
  if (FAILED(hr = info->GetTypeAttr(&attr))) return hr;
  const WORD functions = attr->cFuncs;
  info->ReleaseTypeAttr(attr);
  for (WORD f = 0; f < functions; ++f) {
    FUNCDESC* desc = nullptr;
    if (FAILED(info->GetFuncDesc(f, &desc))) continue;
    if (desc->memid != dispid) {
      info->ReleaseFuncDesc(desc);
      continue;
    }
    hr = desc->cParams == static_cast<SHORT>(count) ? S_OK : DISP_E_BADPARAMCOUNT;
    for (UINT i = 0; i < count && SUCCEEDED(hr); ++i) {
      const VARTYPE vt = declared_type(info.get(), desc->lprgelemdescParam[i].tdesc);
      // Object parameters and VARIANTs are passed as they came.
      if (vt != VT_EMPTY && vt != VT_VARIANT) hr = prepare(args[i], vt);
      if (FAILED(hr) && badArgument) *badArgument = count - 1 - i;  // DISPPARAMS order
    }
    info->ReleaseFuncDesc(desc);
    return hr;
  }
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT advise(IUnknown* source, const IID& iid, IUnknown* sink, DWORD* cookie) noexcept {
  orvo::com::ptr<IConnectionPointContainer> container;
  orvo::com::ptr<IConnectionPoint> point;
  HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, container.put_void());
  if (SUCCEEDED(hr)) hr = container->FindConnectionPoint(iid, point.put());
  if (SUCCEEDED(hr)) hr = point->Advise(sink, cookie);
  return hr;
}

HRESULT unadvise(IUnknown* source, const IID& iid, DWORD* cookie) noexcept {
  orvo::com::ptr<IConnectionPointContainer> container;
  orvo::com::ptr<IConnectionPoint> point;
  HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, container.put_void());
  if (SUCCEEDED(hr)) hr = container->FindConnectionPoint(iid, point.put());
  if (SUCCEEDED(hr)) hr = point->Unadvise(*cookie);
  return hr;
}

void exception_to(EXCEPINFO* info) noexcept {
  if (!info) return;
  *info = EXCEPINFO{};
  info->scode = E_FAIL;
  try {
    throw;
  } catch (const com_error& e) {
    info->scode = e.hr();
    info->bstrDescription = ::SysAllocString(e.description().c_str());
  } catch (const std::exception& e) {
    try {
      const std::string what = e.what();
      std::wstring text(what.begin(), what.end());
      info->bstrDescription = ::SysAllocString(text.c_str());
    } catch (...) {
    }
  } catch (...) {
  }
}

}  // namespace comet::detail
