// The control host window class "AtlAxWin100": a child window that holds
// one ActiveX control in place (its client site, in-place site and frame),
// sizes it with the window, offers it the window's forwarded messages
// (WM_FORWARDMSG) and, for document controls, answers their UI questions:
// the document flags, the context menu and window.external.
//
//   WTL::register_ax_host_class();
//   HWND host = ::CreateWindowExW(0, L"AtlAxWin100", nullptr, WS_CHILD | WS_VISIBLE, ...);
//   WTL::ax_host* site = WTL::ax_host::of(host);
//   site->attach(control);                 // an IOleObject
//   site->set_external(dispatch);
//
// A window of a class that superclasses "AtlAxWin100" gets the same host.
// The host and its control go with the window.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace WTL {

constexpr const wchar_t* ax_host_class_name = L"AtlAxWin100";

// Registers the class once per process; false when it cannot be.
bool register_ax_host_class() noexcept;

class ax_host {
 public:
  // The host of a window of the class (or a superclass); null for other windows.
  static ax_host* of(HWND window) noexcept;

  // Puts `control` (an IOleObject) in place in the window; one control per host.
  virtual HRESULT attach(IUnknown* control) noexcept = 0;
  // The hosted control's interface iid.
  virtual HRESULT query_control(REFIID iid, void** out) noexcept = 0;
  // Added to the DOCHOSTUIFLAG values a document control asks for.
  virtual void set_document_flags(DWORD flags) noexcept = 0;
  virtual void allow_context_menu(bool allow) noexcept = 0;
  // What a document's script reaches as window.external (null: nothing).
  virtual void set_external(IDispatch* external) noexcept = 0;

 protected:
  ~ax_host() = default;
};

}  // namespace WTL
