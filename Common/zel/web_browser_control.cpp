#include "web_browser_control.h"

#include <exdispid.h>
#include <mshtml.h>
#include <ocidl.h>
#include <oleauto.h>

#include <atomic>
#include <new>

namespace zel {

namespace {
// Releases an interface pointer at the end of a scope.
template <class T>
struct held {
  T* p = nullptr;
  ~held() {
    if (p) p->Release();
  }
  void** put() noexcept { return reinterpret_cast<void**>(&p); }
};
}  // namespace

// The browser's events the control listens to: a failed navigation. (The
// layer's dispinterface sinks coerce arguments through the source's type
// library; NavigateError's by-reference arguments did not reach such a sink
// under Wine, so this one reads the status itself.)
class browser_events final : public IDispatch {
 public:
  explicit browser_events(web_browser_control* owner) noexcept : m_owner(owner) {}
  void disconnect() noexcept { m_owner = nullptr; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG n = --m_refs;
    if (n == 0) delete this;
    return n;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    if (id != DISPID_NAVIGATEERROR || !m_owner) return S_OK;
    // NavigateError(browser, URL, frame, status code, cancel): arguments arrive last first.
    HRESULT status = E_FAIL;
    if (params && params->cArgs == 5) {
      const VARIANT& code = params->rgvarg[1];
      const VARIANT* value = V_VT(&code) == (VT_VARIANT | VT_BYREF) ? V_VARIANTREF(&code) : &code;
      if (value && V_VT(value) == VT_I4 && V_I4(value) < 0) status = V_I4(value);
    }
    m_owner->navigate_error(status);
    return S_OK;
  }

 private:
  ~browser_events() = default;
  web_browser_control* m_owner;
  std::atomic<ULONG> m_refs{1};
};

WTL::window_class web_browser_control::class_traits() {
  WTL::register_ax_host_class();
  WTL::window_class traits;
  traits.name = L"zel::web_browser_control";
  traits.style = 0;
  traits.background = 0;
  traits.cursor = nullptr;
  traits.superclass = WTL::ax_host_class_name;
  return traits;
}

web_browser_control::~web_browser_control() { destroy(); }

HRESULT web_browser_control::create(HWND parent) noexcept {
  if (!WTL::register_ax_host_class()) return HRESULT_FROM_WIN32(::GetLastError());
  RECT area = {};
  ::GetClientRect(parent, &area);
  if (!Create(parent, area, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS)) {
    const DWORD error = ::GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
  }
  HRESULT hr = ::CoCreateInstance(CLSID_WebBrowser, nullptr, browser_context, IID_IWebBrowser2,
                                  reinterpret_cast<void**>(&m_browser));
  if (SUCCEEDED(hr)) hr = host() ? host()->attach(m_browser) : E_UNEXPECTED;
  if (SUCCEEDED(hr)) hr = listen();
  if (FAILED(hr)) destroy();
  return hr;
}

HRESULT web_browser_control::listen() noexcept {
  held<IConnectionPointContainer> container;
  HRESULT hr = m_browser->QueryInterface(IID_IConnectionPointContainer, container.put());
  if (FAILED(hr)) return hr;
  held<IConnectionPoint> point;
  hr = container.p->FindConnectionPoint(DIID_DWebBrowserEvents2, &point.p);
  if (FAILED(hr)) return hr;
  auto* events = new (std::nothrow) browser_events(this);
  if (!events) return E_OUTOFMEMORY;
  hr = point.p->Advise(events, &m_cookie);
  if (FAILED(hr)) {
    events->Release();
    return hr;
  }
  m_events = events;
  return S_OK;
}

void web_browser_control::navigate_error(HRESULT status) {
  if (m_navigating) {
    m_navigate_status = status;
  } else if (m_on_navigate_error) {
    m_on_navigate_error(status);
  }
}

HRESULT web_browser_control::navigate(const std::wstring& url) noexcept {
  if (!m_browser) return E_UNEXPECTED;
  VARIANT target;
  ::VariantInit(&target);
  V_VT(&target) = VT_BSTR;
  V_BSTR(&target) = ::SysAllocString(url.c_str());
  if (!V_BSTR(&target)) return E_OUTOFMEMORY;
  VARIANT empty;
  ::VariantInit(&empty);
  m_navigating = true;
  m_navigate_status = S_OK;
  HRESULT hr = m_browser->Navigate2(&target, &empty, &empty, &empty, &empty);
  m_navigating = false;
  ::VariantClear(&target);
  return FAILED(hr) ? hr : m_navigate_status;
}

HRESULT web_browser_control::element_size(const std::wstring& name, SIZE& size) noexcept {
  if (!m_browser) return E_UNEXPECTED;
  held<IDispatch> document_dispatch;
  HRESULT hr = m_browser->get_Document(&document_dispatch.p);
  if (FAILED(hr)) return hr;
  if (!document_dispatch.p) return E_UNEXPECTED;
  held<IHTMLDocument2> document;
  hr = document_dispatch.p->QueryInterface(IID_IHTMLDocument2, document.put());
  if (FAILED(hr)) return hr;
  held<IHTMLElementCollection> all;
  hr = document.p->get_all(&all.p);
  if (FAILED(hr)) return hr;
  if (!all.p) return E_UNEXPECTED;
  VARIANT key;
  ::VariantInit(&key);
  V_VT(&key) = VT_BSTR;
  V_BSTR(&key) = ::SysAllocString(name.c_str());
  VARIANT index;
  ::VariantInit(&index);
  held<IDispatch> item;
  hr = all.p->item(key, index, &item.p);
  ::VariantClear(&key);
  if (FAILED(hr)) return hr;
  if (!item.p) return DISP_E_MEMBERNOTFOUND;
  held<IHTMLElement> element;
  hr = item.p->QueryInterface(IID_IHTMLElement, element.put());
  if (FAILED(hr)) return hr;
  long width = 0;
  long height = 0;
  hr = element.p->get_offsetWidth(&width);
  if (SUCCEEDED(hr)) hr = element.p->get_offsetHeight(&height);
  if (SUCCEEDED(hr)) size = {width, height};
  return hr;
}

void web_browser_control::destroy() noexcept {
  if (m_events) {
    held<IConnectionPointContainer> container;
    held<IConnectionPoint> point;
    if (m_browser && SUCCEEDED(m_browser->QueryInterface(IID_IConnectionPointContainer, container.put())) &&
        SUCCEEDED(container.p->FindConnectionPoint(DIID_DWebBrowserEvents2, &point.p))) {
      point.p->Unadvise(m_cookie);
    }
    m_events->disconnect();
    m_events->Release();
    m_events = nullptr;
  }
  if (m_browser) {
    m_browser->Release();
    m_browser = nullptr;
  }
  if (IsWindow()) DestroyWindow();
}

}  // namespace zel
