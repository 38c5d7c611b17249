// The seam between the client's HTML windows and the control that shows
// their pages. The splash window and the About box ask make_page_host()
// for a host, create it inside their own window and talk to it only
// through this interface; tests install a factory of their own.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <memory>
#include <string>

namespace Orvo {

// DOCHOSTUIFLAG values the windows add to the host's document flags.
constexpr DWORD page_flag_scroll_no = 0x8;
constexpr DWORD page_flag_open_new_window = 0x20;

class page_host {
 public:
  virtual ~page_host() = default;
  // Creates the control filling `parent`'s client area.
  virtual HRESULT create(HWND parent) = 0;
  // Starts loading a page; fails when the control already knows it cannot.
  virtual HRESULT navigate(const std::wstring& url) = 0;
  // What to do when loading fails after navigate() has returned.
  virtual void on_navigate_error(std::function<void()> handler) = 0;
  // Adds document flags; `context_menu` false switches the page's context menu off.
  virtual HRESULT set_ui_flags(DWORD document_flags, bool context_menu) = 0;
  // The object the page reaches as window.external (the host holds a reference).
  virtual HRESULT set_external(IDispatch* external) = 0;
  // offsetWidth and offsetHeight of the page's element "MainTable".
  virtual HRESULT main_table_size(SIZE& size) = 0;
  // Offers a message to the control (WM_FORWARDMSG); true when it took it.
  virtual bool forward(MSG* message) = 0;
  // Destroys the control and lets go of the page, its external object included.
  virtual void destroy() noexcept = 0;
};

using page_host_factory = std::function<std::unique_ptr<page_host>()>;

// A new host: the installed factory's, else one over the web browser control.
std::unique_ptr<page_host> make_page_host();
// Installs a factory (empty: the web browser control again); returns the previous one.
page_host_factory set_page_host_factory(page_host_factory factory);

// "res://" + the program's full path + "/" + the resource name.
std::wstring resource_url(const std::wstring& resource);

}  // namespace Orvo

namespace Orvo {

// Sizes `window` so that its client area is `client`, and centres it over
// its owner when that is visible and not minimised, else in the work area.
void fit_and_centre(HWND window, SIZE client) noexcept;
// Throws zel::basic_com_error for a failed call on a page host.
void check_host_call(HRESULT hr);
// Whether `message` is for `root` or one of its descendants.
bool in_window_tree(HWND root, HWND message) noexcept;

}  // namespace Orvo
