#include "ax_host.h"

#include <ole2.h>
#include <mshtmhst.h>

#include <atomic>
#include <new>

#include "message_map.h"
#include "window_traits.h"

namespace WTL {

namespace {

const wchar_t* const host_property = L"Orvo.AxHost";

// The site of one control: a COM object of its own, counted, owned by its
// window (one reference) and by the control while it holds its site.
class site final : public IOleClientSite,
                   public IOleInPlaceSite,
                   public IOleInPlaceFrame,
                   public IDocHostUIHandler,
                   public ax_host {
 public:
  explicit site(HWND window) noexcept : m_window(window) {}

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
      *out = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
      *out = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
      *out = static_cast<IOleInPlaceFrame*>(this);
    } else if (iid == IID_IDocHostUIHandler) {
      *out = static_cast<IDocHostUIHandler*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG n = --m_refs;
    if (n == 0) delete this;
    return n;
  }

  // ax_host
  HRESULT attach(IUnknown* control) noexcept override {
    if (!control) return E_POINTER;
    if (m_control) return E_UNEXPECTED;
    IOleObject* object = nullptr;
    HRESULT hr = control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object));
    if (FAILED(hr)) return hr;
    m_control = object;
    hr = object->SetClientSite(static_cast<IOleClientSite*>(this));
    if (SUCCEEDED(hr)) {
      RECT r = {};
      ::GetClientRect(m_window, &r);
      hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, m_window, &r);
    }
    if (FAILED(hr)) close();
    return hr;
  }
  HRESULT query_control(REFIID iid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return m_control ? m_control->QueryInterface(iid, out) : E_UNEXPECTED;
  }
  void set_document_flags(DWORD flags) noexcept override { m_flags |= flags; }
  void allow_context_menu(bool allow) noexcept override { m_context_menu = allow; }
  void set_external(IDispatch* external) noexcept override {
    if (external) external->AddRef();
    if (m_external) m_external->Release();
    m_external = external;
  }

  // The window's calls.
  void resize() noexcept {
    IOleInPlaceObject* in_place = nullptr;
    if (m_control && SUCCEEDED(m_control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&in_place)))) {
      RECT r = {};
      ::GetClientRect(m_window, &r);
      in_place->SetObjectRects(&r, &r);
      in_place->Release();
    }
  }
  BOOL forward(const MSG* message) noexcept {
    if (!message || !m_control) return FALSE;
    IOleInPlaceActiveObject* active = nullptr;
    if (FAILED(m_control->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&active)))) return FALSE;
    MSG copy = *message;
    const BOOL taken = active->TranslateAcceleratorW(&copy) == S_OK;
    active->Release();
    return taken;
  }
  // Closes the control and lets go of everything it was given.
  void close() noexcept {
    if (IOleObject* object = m_control) {
      m_control = nullptr;
      object->Close(OLECLOSE_NOSAVE);
      object->SetClientSite(nullptr);
      object->Release();
    }
    set_external(nullptr);
  }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** out) override {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (shared by the in-place site and the frame)
  STDMETHODIMP GetWindow(HWND* out) override {
    if (!out) return E_POINTER;
    *out = m_window;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position, LPRECT clip,
                                LPOLEINPLACEFRAMEINFO info) override {
    if (!frame || !document || !position || !clip) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    ::GetClientRect(m_window, position);
    *clip = *position;
    if (info) {
      info->fMDIApp = FALSE;
      info->hwndFrame = ::GetAncestor(m_window, GA_ROOT);
      info->haccel = nullptr;
      info->cAccelEntries = 0;
    }
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return S_OK; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow and IOleInPlaceFrame: no borders, menus or status of our own.
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAcceleratorW(LPMSG, WORD) override { return S_FALSE; }

  // IDocHostUIHandler
  STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
    return m_context_menu ? S_FALSE : S_OK;  // S_OK: the host has handled it (no menu)
  }
  STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override {
    if (!info) return E_POINTER;
    info->dwFlags |= m_flags;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
  }
  STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                      IOleInPlaceUIWindow*) override {
    return S_FALSE;
  }
  STDMETHODIMP HideUI() override { return S_OK; }
  STDMETHODIMP UpdateUI() override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
  STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override {
    if (key) *key = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetExternal(IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = m_external;
    if (!m_external) return S_FALSE;
    m_external->AddRef();
    return S_OK;
  }
  STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
    if (out) *out = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override {
    if (out) *out = nullptr;
    return S_FALSE;
  }

 private:
  ~site() = default;

  HWND m_window;
  std::atomic<ULONG> m_refs{1};
  IOleObject* m_control = nullptr;
  IDispatch* m_external = nullptr;
  DWORD m_flags = 0;
  bool m_context_menu = true;
};

site* site_of(HWND window) noexcept { return static_cast<site*>(::GetPropW(window, host_property)); }

LRESULT CALLBACK host_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      if (auto* s = new (std::nothrow) site(window)) {
        if (!::SetPropW(window, host_property, s)) {
          s->Release();
          return FALSE;
        }
      } else {
        return FALSE;
      }
      break;
    case WM_SIZE:
      if (site* s = site_of(window)) s->resize();
      break;
    case WM_FORWARDMSG:
      if (site* s = site_of(window)) return s->forward(reinterpret_cast<const MSG*>(lParam));
      return FALSE;
    case WM_ERASEBKGND:
      return 1;
    case WM_DESTROY:
      if (site* s = site_of(window)) s->close();
      break;
    case WM_NCDESTROY:
      if (site* s = static_cast<site*>(::RemovePropW(window, host_property))) {
        s->close();
        s->Release();
      }
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

ax_host* ax_host::of(HWND window) noexcept { return window ? site_of(window) : nullptr; }

bool register_ax_host_class() noexcept {
  static const bool registered = [] {
    WNDCLASSEXW cls = {};
    cls.cbSize = sizeof cls;
    if (::GetClassInfoExW(resource_instance(), ax_host_class_name, &cls)) return true;
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = host_procedure;
    cls.hInstance = resource_instance();
    cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    cls.lpszClassName = ax_host_class_name;
    return ::RegisterClassExW(&cls) != 0;
  }();
  return registered;
}

}  // namespace WTL
