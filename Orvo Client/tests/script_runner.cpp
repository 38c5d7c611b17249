#include <initguid.h>

#include "script_runner.h"

#include <activscp.h>
#include <oleauto.h>

#include "com/ptr.h"

namespace orvo::testing {

namespace {

class site final : public IActiveScriptSite {
 public:
  explicit site(IDispatch* external) : m_external(external) {}
  script_result result;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IActiveScriptSite) {
      *out = static_cast<IActiveScriptSite*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() override { return --m_refs; }  // lives on the stack

  STDMETHODIMP GetLCID(LCID* lcid) override {
    *lcid = 0x0409;
    return S_OK;
  }
  STDMETHODIMP GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) override {
    if (info) *info = nullptr;
    if (item) *item = nullptr;
    if (wcscmp(name, L"external") != 0) return TYPE_E_ELEMENTNOTFOUND;
    if ((mask & SCRIPTINFO_IUNKNOWN) && item) {
      *item = m_external;
      m_external->AddRef();
    }
    return S_OK;
  }
  STDMETHODIMP GetDocVersionString(BSTR* version) override {
    *version = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
  STDMETHODIMP OnStateChange(SCRIPTSTATE) override { return S_OK; }
  STDMETHODIMP OnScriptError(IActiveScriptError* error) override {
    EXCEPINFO info = {};
    if (SUCCEEDED(error->GetExceptionInfo(&info))) {
      if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
      result.error = info.scode ? info.scode : E_FAIL;
      if (info.bstrDescription) result.description = info.bstrDescription;
      ::SysFreeString(info.bstrSource);
      ::SysFreeString(info.bstrDescription);
      ::SysFreeString(info.bstrHelpFile);
    }
    return S_OK;
  }
  STDMETHODIMP OnEnterScript() override { return S_OK; }
  STDMETHODIMP OnLeaveScript() override { return S_OK; }

 private:
  IDispatch* m_external;
  ULONG m_refs = 1;
};

}  // namespace

script_result run_jscript(IDispatch* external, const std::wstring& expression) {
  site host(external);
  CLSID jscript = {};
  host.result.parse = ::CLSIDFromProgID(L"JScript", &jscript);
  if (FAILED(host.result.parse)) return host.result;
  orvo::com::ptr<IActiveScript> engine;
  host.result.parse = ::CoCreateInstance(jscript, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript, engine.put_void());
  if (FAILED(host.result.parse)) return host.result;
  orvo::com::ptr<IActiveScriptParse> parser;
  host.result.parse = engine->QueryInterface(IID_IActiveScriptParse, parser.put_void());
  if (FAILED(host.result.parse)) return host.result;
  engine->SetScriptSite(&host);
  parser->InitNew();
  engine->AddNamedItem(L"external", SCRIPTITEM_ISVISIBLE);
  engine->SetScriptState(SCRIPTSTATE_STARTED);
  VARIANT value;
  ::VariantInit(&value);
  EXCEPINFO exception = {};
  host.result.parse = parser->ParseScriptText(expression.c_str(), nullptr, nullptr, nullptr, 0, 0,
                                              SCRIPTTEXT_ISEXPRESSION, &value, &exception);
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
  if (V_VT(&value) == VT_EMPTY) {
    host.result.value = L"undefined";
  } else if (SUCCEEDED(::VariantChangeType(&value, &value, 0, VT_BSTR)) && V_BSTR(&value)) {
    host.result.value = V_BSTR(&value);
  }
  ::VariantClear(&value);
  engine->Close();
  return host.result;
}

}  // namespace orvo::testing
