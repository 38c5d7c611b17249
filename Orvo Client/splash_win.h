// CSplashWin: the splash window shown at start-up. A counted COM object
// (the page holds it through window.external) and a pop-up window hosting
// the page "SPLASH.HTML" from the program's resources. The page calls
// DoSplash once it is loaded: the window takes the size of the page's
// "MainTable", is centred, topmost and shown, and closes itself after six
// seconds, on Escape or from the page's "Close Window" link.
//
//   CSplashWin::create(main_window, {&frame, frame.m_hWndClient});  // null: no splash
#pragma once

#include <windows.h>

#include <memory>

#include "client_interface.h"
#include "com/object.h"
#include "page_host.h"
#include "system_info.h"
#include "win/loop.h"
#include "win/window_impl.h"

using CSplashWinTraits = WTL::CWinTraits<WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                         WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE>;

class CSplashWin : public orvo::com::object<CSplashWin, Orvo::IOrvoClientInterfaceImpl>,
                   public WTL::CWindowImpl<CSplashWin, WTL::CWindow, CSplashWinTraits>,
                   public WTL::CMessageFilter {
 public:
  static constexpr bool aggregatable = false;
  // The timer that closes the window once shown, and its time.
  static constexpr UINT_PTR close_timer = 0xAAAA;
  static constexpr UINT close_after_ms = 6000;

  static WTL::window_class class_traits() { return {L"Orvo.SplashWindow", CS_HREDRAW | CS_VREDRAW, COLOR_WINDOW + 1}; }

  // Creates the splash (hidden until its page calls DoSplash) owned by
  // `owner`. Null when the window could not be made (the object is gone
  // then); otherwise the object, valid while its window lives.
  static CSplashWin* create(HWND owner, const Orvo::system_info_context& context);

  explicit CSplashWin(const Orvo::system_info_context& context) : m_context(context) {}

  STDMETHODIMP DoClose() override;
  STDMETHODIMP DoSplash() override;
  STDMETHODIMP SystemInfo() override;
  // The page may ask; the splash takes its size in DoSplash only.
  STDMETHODIMP Resize() override { return S_OK; }

  BOOL PreTranslateMessage(MSG* message) override;

  BEGIN_MSG_MAP(CSplashWin)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  void OnFinalMessage(HWND) override;

 private:
  // Hides the window, stops its timer and posts it WM_CLOSE.
  void close() noexcept;
  void release_page() noexcept;

  Orvo::system_info_context m_context;
  std::unique_ptr<Orvo::page_host> m_host;
  WTL::CMessageLoop* m_loop = nullptr;
  orvo::com::ptr<IUnknown> m_self;  // the window's reference to its object
  bool m_shown = false;
};
