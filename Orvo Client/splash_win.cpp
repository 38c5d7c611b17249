#include "splash_win.h"

#include "com/ptr.h"
#include "orvo_module.h"
#include "wrapper_dispatch.h"
#include "zel/errors.h"

CSplashWin* CSplashWin::create(HWND owner, const Orvo::system_info_context& context) {
  orvo::com::ptr<IOrvoClientInterface> splash;
  if (FAILED(object::make(splash, context))) return nullptr;
  auto* self = static_cast<CSplashWin*>(splash.get());
  // The window holds the object from its creation to its last message.
  self->m_self = orvo::com::ptr<IUnknown>(static_cast<IUnknown*>(splash.get()));
  if (!self->Create(owner, rcDefault, nullptr, 0, 0)) {
    self->m_self.reset();
    return nullptr;
  }
  return self;
}

LRESULT CSplashWin::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  m_shown = false;
  try {
    m_loop = _Module.GetMessageLoop();
    if (!m_loop) zel::throw_com_error(E_UNEXPECTED);
    m_loop->AddMessageFilter(this);
    m_host = Orvo::make_page_host();
    if (!m_host) zel::throw_com_error(E_FAIL);
    Orvo::check_host_call(m_host->create(m_hWnd));
    m_host->on_navigate_error([this] { close(); });
    Orvo::check_host_call(m_host->navigate(Orvo::resource_url(L"SPLASH.HTML")));
    Orvo::check_host_call(m_host->set_ui_flags(Orvo::page_flag_scroll_no, false));
    orvo::com::ptr<IDispatch> external;
    Orvo::check_host_call(CWrapperDispatch::make(external, static_cast<IOrvoClientInterface*>(this)));
    Orvo::check_host_call(m_host->set_external(external.get()));
    return 0;
  } catch (...) {
    release_page();
    return -1;
  }
}

STDMETHODIMP CSplashWin::DoSplash() {
  if (m_shown) return S_OK;
  try {
    SIZE size = {};
    const HRESULT hr = m_host ? m_host->main_table_size(size) : E_UNEXPECTED;
    if (FAILED(hr)) zel::throw_com_error(hr);
    Orvo::fit_and_centre(m_hWnd, size);
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    UpdateWindow();
    SetTimer(close_timer, close_after_ms);
    m_shown = true;
  } catch (...) {
    close();
  }
  return S_OK;
}

STDMETHODIMP CSplashWin::DoClose() {
  close();
  return S_OK;
}

STDMETHODIMP CSplashWin::SystemInfo() { return Orvo::start_system_information(m_context); }

void CSplashWin::close() noexcept {
  if (!IsWindow()) return;
  ShowWindow(SW_HIDE);
  KillTimer(close_timer);
  PostMessage(WM_CLOSE);
}

BOOL CSplashWin::PreTranslateMessage(MSG* message) {
  if (!Orvo::in_window_tree(m_hWnd, message->hwnd)) return FALSE;
  if (message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE) {
    close();
    return TRUE;
  }
  return m_host && m_host->forward(message);
}

LRESULT CSplashWin::OnTimer(UINT, WPARAM, LPARAM, BOOL&) {
  close();
  return 0;
}

LRESULT CSplashWin::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  if (!m_shown) {
    bHandled = FALSE;
    return 0;
  }
  RECT r = {};
  GetWindowRect(&r);
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  const POINT size = {r.right - r.left, r.bottom - r.top};
  info->ptMaxSize = info->ptMinTrackSize = info->ptMaxTrackSize = size;
  info->ptMaxPosition = {r.left, r.top};
  return 0;
}

LRESULT CSplashWin::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  KillTimer(close_timer);
  bHandled = FALSE;
  return 0;
}

void CSplashWin::release_page() noexcept {
  if (m_loop) m_loop->RemoveMessageFilter(this);
  m_loop = nullptr;
  if (m_host) m_host->destroy();
  m_host.reset();
}

void CSplashWin::OnFinalMessage(HWND) {
  release_page();
  // Last: may end the object.
  orvo::com::ptr<IUnknown> self = std::move(m_self);
}
