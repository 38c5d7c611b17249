// zel::web_browser_control: a child window that hosts the web browser
// control. Its class superclasses the control host "AtlAxWin100"; create()
// makes the browser in process and puts it in place.
//
//   zel::web_browser_control browser;
//   browser.create(parent);                            // S_OK or the failure
//   browser.host()->set_external(dispatch);
//   browser.navigate(L"res://...");
//   SIZE size; browser.element_size(L"MainTable", size);
//
// The control tells a failed navigation through its events: one reported
// while Navigate2 runs makes navigate() fail; a later one goes to the
// handler given to on_navigate_error().
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>

#include <functional>
#include <string>

#include "win/ax_host.h"
#include "win/window_impl.h"

namespace zel {

class browser_events;

class web_browser_control : public WTL::CWindowImpl<web_browser_control, WTL::CWindow, WTL::CControlWinTraits> {
 public:
  // Context of the browser's creation: in process server, handler, local server and remote server (0x17).
  static constexpr DWORD browser_context =
      CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

  static WTL::window_class class_traits();

  ~web_browser_control() override;

  // Creates the window filling `parent`'s client area and the browser in it.
  HRESULT create(HWND parent) noexcept;
  WTL::ax_host* host() const noexcept { return WTL::ax_host::of(m_hWnd); }
  IWebBrowser2* browser() const noexcept { return m_browser; }

  HRESULT navigate(const std::wstring& url) noexcept;
  // Called (with the failure's status) when a navigation fails after navigate() returned.
  void on_navigate_error(std::function<void(HRESULT)> handler) { m_on_navigate_error = std::move(handler); }
  // offsetWidth and offsetHeight of the document's element of that name.
  HRESULT element_size(const std::wstring& name, SIZE& size) noexcept;
  // Lets go of the browser and destroys the window.
  void destroy() noexcept;

  BEGIN_MSG_MAP(web_browser_control)
  END_MSG_MAP()

 private:
  friend class browser_events;
  // Advises the browser's events.
  HRESULT listen() noexcept;
  void navigate_error(HRESULT status);

  IWebBrowser2* m_browser = nullptr;
  browser_events* m_events = nullptr;  // our DWebBrowserEvents2 sink
  DWORD m_cookie = 0;
  bool m_navigating = false;
  HRESULT m_navigate_status = S_OK;
  std::function<void(HRESULT)> m_on_navigate_error;
};

}  // namespace zel
