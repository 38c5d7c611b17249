#include "about_dialog.h"

#include "core/about_rules.h"
#include "orvo_module.h"
#include "res/about_resources.h"
#include "zel/errors.h"

namespace {
about_dialog* g_current = nullptr;
}

local_message_loop::local_message_loop() : m_loop(_Module.GetMessageLoop()) {
  if (!m_loop) {
    m_own = std::make_unique<WTL::CMessageLoop>();
    m_loop = m_own.get();
  }
}

int local_message_loop::run() { return m_loop->RunModal(m_run); }

about_dialog::about_dialog() : m_version(Orvo::read_version_translation(nullptr)) {}

about_dialog::~about_dialog() {
  if (IsWindow()) DestroyWindow();
  release_page();
  if (g_current == this) g_current = nullptr;
}

about_dialog* about_dialog::current() noexcept { return g_current; }

HWND about_dialog::create(HWND owner) noexcept {
  m_owner = owner;
  return Create(owner, rcDefault, nullptr, 0, 0);
}

LRESULT about_dialog::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  m_shown = false;
  if (m_owner) m_owner_was_enabled = !::EnableWindow(m_owner, FALSE);
  try {
    m_loop = _Module.GetMessageLoop();
    if (m_loop) m_loop->AddMessageFilter(this);
    m_host = Orvo::make_page_host();
    if (!m_host) zel::throw_com_error(E_FAIL);
    Orvo::check_host_call(m_host->create(m_hWnd));
    // A page that cannot load would never close the box: it closes itself.
    m_host->on_navigate_error([this] { DoClose(); });
    Orvo::check_host_call(m_host->set_ui_flags(Orvo::page_flag_scroll_no | Orvo::page_flag_open_new_window, true));
    m_external = Orvo::external_dispatch::make(m_external_object);
    if (!m_external) zel::throw_com_error(E_OUTOFMEMORY);
    register_names();
    Orvo::check_host_call(m_host->set_external(m_external_object.get()));
    Orvo::check_host_call(m_host->navigate(Orvo::resource_url(std::to_wstring(IDR_ABOUT_PAGE))));
    return 0;
  } catch (...) {
    // The refused creation destroys the window; the owner is given back here
    // as not every system sends WM_DESTROY to a window whose creation failed.
    give_owner_back();
    release_page();
    return -1;
  }
}

void about_dialog::register_names() {
  m_external->add_method(L"Resize", [this] { Resize(); });
  m_external->add_method(L"DoClose", [this] { DoClose(); });
  m_external->add_getter(L"Version", [this] { return Orvo::query_version_string(m_version, L"FileVersion"); });
  m_external->add_getter(L"Date", Orvo::build_date_text);
  m_external->add_getter(L"Time", Orvo::build_time_text);
  m_external->add_getter(L"Implemented",
                         [] { return Orvo::build_implemented_html(Orvo::implemented_heading::about_box); });
}

void about_dialog::Resize() {
  if (m_shown || !m_host) return;
  SIZE size = {};
  const HRESULT hr = m_host->main_table_size(size);
  if (FAILED(hr)) zel::throw_com_error(hr);
  Orvo::fit_and_centre(m_hWnd, size);
  SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  ShowWindow(SW_SHOW);
  UpdateWindow();
  m_shown = true;
}

void about_dialog::DoClose() {
  if (!IsWindow()) return;
  ShowWindow(SW_HIDE);
  DestroyWindow();
}

BOOL about_dialog::PreTranslateMessage(MSG* message) {
  if (!Orvo::in_window_tree(m_hWnd, message->hwnd)) return FALSE;
  return m_host && m_host->forward(message);
}

void about_dialog::give_owner_back() noexcept {
  if (!m_owner) return;
  if (m_owner_was_enabled) ::EnableWindow(m_owner, TRUE);
  if (::IsWindow(m_owner)) ::SetWindowPos(m_owner, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  m_owner = nullptr;
}

LRESULT about_dialog::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  give_owner_back();
  release_page();
  if (m_running) m_running->end();
  bHandled = FALSE;
  return 0;
}

void about_dialog::release_page() noexcept {
  if (m_loop) m_loop->RemoveMessageFilter(this);
  m_loop = nullptr;
  if (m_external) m_external->clear_handlers();
  m_external = nullptr;
  if (m_host) m_host->destroy();
  m_host.reset();
  m_external_object.reset();
}

void about_dialog::run_loop() {
  local_message_loop loop;
  m_running = &loop;
  loop.run();
  m_running = nullptr;
}

void show_about_box(HWND owner) {
  if (about_dialog* open = about_dialog::current()) {
    if (open->IsWindow()) {
      open->SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
      ::SetForegroundWindow(open->m_hWnd);
    }
    return;
  }
  auto box = std::make_unique<about_dialog>();
  g_current = box.get();
  if (!box->create(owner)) return;  // nothing else happens; the object goes
  box->run_loop();
}
