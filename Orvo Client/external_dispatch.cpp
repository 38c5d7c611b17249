#include "external_dispatch.h"

#include <oleauto.h>

#include "com/error.h"
#include "zel/errors.h"

namespace Orvo {

namespace {
std::wstring widen(const char* text) {
  std::wstring out;
  for (; text && *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return out;
}
}  // namespace

external_dispatch* external_dispatch::make(orvo::com::ptr<IDispatch>& out) {
  if (FAILED(object::make(out))) return nullptr;
  return static_cast<external_dispatch*>(out.get());
}

DISPID external_dispatch::id_of(const std::wstring& name) {
  for (const auto& known : m_names) {
    if (_wcsicmp(known.first.c_str(), name.c_str()) == 0) return known.second;
  }
  const DISPID id = first_dispid + static_cast<DISPID>(m_names.size());
  m_names.emplace_back(name, id);
  return id;
}

DISPID external_dispatch::add(const std::wstring& name, kind what, unsigned argument_count, handler body) {
  const DISPID id = id_of(name);
  m_entries.push_back({id, what, argument_count, std::move(body)});
  return id;
}

DISPID external_dispatch::add_method(const std::wstring& name, std::function<void()> body) {
  return add(name, kind::method, 0, [body = std::move(body)](const std::vector<VARIANT*>&, VARIANT*) { body(); });
}

DISPID external_dispatch::add_getter(const std::wstring& name, std::function<std::wstring()> body) {
  return add(name, kind::getter, 0, [body = std::move(body)](const std::vector<VARIANT*>&, VARIANT* result) {
    const std::wstring text = body();
    if (!result) return;  // a caller that wants no value (JScript statements)
    BSTR value = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!value) zel::throw_com_error(E_OUTOFMEMORY);
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = value;
  });
}

void external_dispatch::clear_handlers() noexcept { m_entries.clear(); }

const external_dispatch::entry* external_dispatch::find(DISPID id, kind what, unsigned argument_count) const noexcept {
  for (const entry& e : m_entries) {
    if (e.id == id && e.what == what && e.argument_count == argument_count) return &e;
  }
  return nullptr;
}

STDMETHODIMP external_dispatch::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP external_dispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return DISP_E_BADINDEX;
}

STDMETHODIMP external_dispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    if (!names[i]) {
      hr = DISP_E_UNKNOWNNAME;
      continue;
    }
    bool found = false;
    for (const auto& known : m_names) {
      if (_wcsicmp(known.first.c_str(), names[i]) == 0) {
        ids[i] = known.second;
        found = true;
        break;
      }
    }
    if (!found) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

STDMETHODIMP external_dispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                       EXCEPINFO*, UINT*) {
  bool known = false;
  for (const auto& name : m_names) known = known || name.second == id;
  if (!known) return DISP_E_MEMBERNOTFOUND;
  DISPPARAMS none = {};
  if (!params) params = &none;
  const bool put_value = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && params->cNamedArgs == 1 &&
                         params->rgdispidNamedArgs && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
  if (params->cNamedArgs > 0 && !put_value) return DISP_E_NONAMEDARGS;
  const unsigned count = params->cArgs;
  const entry* chosen = nullptr;
  if (count <= max_arguments) {
    if (flags & DISPATCH_METHOD) chosen = find(id, kind::method, count);
    if (!chosen && (flags & DISPATCH_PROPERTYGET)) chosen = find(id, kind::getter, count);
  }
  if (!chosen) return DISP_E_BADPARAMCOUNT;
  // Arguments arrive last first.
  std::vector<VARIANT*> arguments;
  for (unsigned i = count; i-- > 0;) arguments.push_back(&params->rgvarg[i]);
  if (result) ::VariantInit(result);
  // Copied: a handler may clear the handlers (the window closing under its page).
  const handler body = chosen->body;
  orvo::com::clear_error();
  try {
    body(arguments, result);
    return S_OK;
  } catch (const zel::basic_com_error& e) {
    return orvo::com::set_error(e.hr(), L"Orvo Client", widen(e.what()));
  } catch (const std::exception& e) {
    return orvo::com::set_error(E_FAIL, L"Orvo Client", widen(e.what()));
  } catch (...) {
    return orvo::com::set_error(E_FAIL, L"Orvo Client", L"No detailed error message available");
  }
}

}  // namespace Orvo
