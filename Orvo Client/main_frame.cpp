#include "main_frame.h"
#include "wait_cursor.h"

#include <commctrl.h>
#include <msi.h>

#include <algorithm>
#include <utility>

#include "about_dialog.h"
#include "close_dialog.h"
#include "comet/variant.h"
#include "zel/errors.h"
#include "orvo_module.h"
#include "protocol_state.h"
#include "state_walk.h"
#include "ui_seams.h"

namespace {

const wchar_t* const indicator_tip = L"Flashes when data is received from the Orvo";

std::wstring load_text(UINT id) { return zel::frame::load_string(id); }

HICON load_icon(UINT id, int size) {
  return static_cast<HICON>(
      ::LoadImageW(WTL::resource_instance(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

std::wstring text_of(BSTR text) { return std::wstring(text ? text : L"", ::SysStringLen(text)); }

std::wstring name_of(IIdentifier* object) {
  comet::bstr_t name;
  const HRESULT hr = object->get_Name(name.out());
  if (FAILED(hr)) raise_IIdentifier(hr, object);
  return name.w_str();
}

std::wstring value_of(IProperty* property) {
  comet::variant_t value;
  const HRESULT hr = property->get_Value(value.out());
  if (FAILED(hr)) raise_IProperty(hr, property);
  return value_text(value.get());
}

// The amplifier a channel belongs to: its parent, or the parent of its
// parent (the amplifier's Channels collection holds the channels); null
// when neither is an amplifier.
comet::com_ptr<IAmplifier> amplifier_of(ICollection* channel) {
  comet::com_ptr<IAmplifier> owner;
  comet::com_ptr<IDispatch> parent = get_parent(channel);
  for (int level = 0; level < 2 && parent; ++level) {
    if (SUCCEEDED(parent->QueryInterface(IID_IAmplifier, owner.put_void()))) return owner;
    comet::com_ptr<IIdentifier> holder;
    if (FAILED(parent->QueryInterface(IID_IIdentifier, holder.put_void()))) break;
    parent = get_parent(holder.get());
  }
  return nullptr;
}

// Redrawing of the views stops for the scope's length, also when it is
// left by an exception.
class redraw_suspended {
 public:
  explicit redraw_suspended(frame_views& views) : m_views(views) { m_views.suspend_redraw(); }
  ~redraw_suspended() { m_views.resume_redraw(); }
  redraw_suspended(const redraw_suspended&) = delete;
  redraw_suspended& operator=(const redraw_suspended&) = delete;

 private:
  frame_views& m_views;
};

}  // namespace

CMainFrame::CMainFrame() : m_views(&m_no_views), m_link(*this), m_tray(unique_messge_id()) {
  m_updater_folder = L"Updater";
  m_status = load_text(IDS_NOT_CONNECTED);
}

CMainFrame::~CMainFrame() {
  if (IsWindow()) DestroyWindow();
}

// Creation: every step runs on its own, so a failed one is logged and the
// later ones still run; the deferred start is always posted.
LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  // The focus hook of this thread, once however many frames it makes.
  m_focus_handler.InstallHook(m_hWnd);
  guarded(*this, [&] {
    WTL::CMessageLoop* loop = _Module.GetMessageLoop();
    if (loop) {
      loop->AddMessageFilter(this);
      loop->AddIdleHandler(this);
    }
    _Module.m_main_frame = this;
  });
  m_taskbar_created = ::RegisterWindowMessageW(L"TaskbarCreated");
  m_instance_message = _Module.GetInstanceMessage();
  Log(L"Orvo Client program started", log_information, 0);
  guarded(*this, [&] { load_data_files(); });
  guarded(*this, [&] { create_bars(); });
  guarded(*this, [&] { create_panes(); });
  guarded(*this, [&] {
    m_views->show_secondary(m_session.m_show_detailview);
    m_views->show_overview(m_session.m_show_overview);
    if (m_hWndStatusBar) ::ShowWindow(m_hWndStatusBar, m_session.m_show_statusbar ? SW_SHOWNOACTIVATE : SW_HIDE);
    show_toolbar(m_session.m_show_toolbar);
  });
  ::RegisterHotKey(m_hWnd, hot_key_id, MOD_CONTROL | MOD_ALT, 'D');  // a key taken elsewhere is ignored
  {
    redraw_suspended lock(*m_views);
    guarded(*this, [&] {
      m_views->focus_primary();
      m_views->empty_tree();
    });
    guarded(*this, [&] { ConnectServer(false); });
    PostMessage(WM_DEFERRED_START);
  }
  bHandled = TRUE;
  return 0;
}

void CMainFrame::create_bars() {
  m_icon_idle = load_icon(IDI_IDLE, 16);
  m_icon_data = load_icon(IDI_DATA_RECEIVED, 16);
  m_icon_tray = load_icon(IDR_MAINFRAME, 16);
  m_icon_blink = load_icon(IDI_TRAY_BLINK, 16);
  if (!CreateSimpleReBar()) zel::throw_win32_error(::GetLastError());
  if (!m_CmdBar.Create(m_hWndToolBar, WTL::CWindow::rcDefault)) zel::throw_win32_error(::GetLastError());
  m_CmdBar.AttachMenu(m_hMenu);
  AddSimpleReBarBand(m_CmdBar);
  create_toolbar();
  m_CmdBar.SetupAfterCreate();
  // The status bar shows the indicator pane's tip.
  m_hWndStatusBar = ::CreateWindowExW(
      0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_SIZEGRIP | SBARS_TOOLTIPS, 0, 0, 0,
      0, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(zel::frame_status_bar)), WTL::resource_instance(),
      nullptr);
  if (!m_hWndStatusBar) zel::throw_win32_error(::GetLastError());
  UIAddStatusBar(m_hWndStatusBar);
  layout_status_bar({});
  UpdateLayout();
}

// The event log window asks for attention only for errors logged from now
// on: records logged before it existed are listed but ask for nothing.
void CMainFrame::create_log_window(HWND parent) {
  if (!m_log_window.Create(parent)) zel::throw_win32_error(::GetLastError());
  m_log_window.m_attention = false;
  m_log_window.m_attention_level = log_error;
}

// Panes 0 to 3 and one per server property; pane 0 takes the rest.
void CMainFrame::layout_status_bar(const std::vector<std::wstring>& property_texts) {
  if (!m_hWndStatusBar) return;
  HDC dc = ::GetDC(m_hWndStatusBar);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWndStatusBar, WM_GETFONT, 0, 0)));
  m_pane_widths = Orvo::status_pane_widths(
      [dc](const std::wstring& text) {
        SIZE size{0, 0};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
      },
      property_texts);
  ::SelectObject(dc, old);
  ::ReleaseDC(m_hWndStatusBar, dc);
  place_status_panes();
  ::SendMessageW(m_hWndStatusBar, SB_SETICON, 1, reinterpret_cast<LPARAM>(m_activity ? m_icon_data : m_icon_idle));
  ::SendMessageW(m_hWndStatusBar, SB_SETTIPTEXTW, 1, reinterpret_cast<LPARAM>(indicator_tip));
  for (std::size_t i = 0; i < property_texts.size(); ++i)
    ::SendMessageW(m_hWndStatusBar, SB_SETTEXTW, 4 + i, reinterpret_cast<LPARAM>(property_texts[i].c_str()));
  update_panes();
}

void CMainFrame::place_status_panes() {
  if (!m_hWndStatusBar || m_pane_widths.empty()) return;
  RECT area{};
  ::GetClientRect(m_hWndStatusBar, &area);
  const std::vector<int> edges = Orvo::status_pane_edges(area.right - area.left, m_pane_widths);
  ::SendMessageW(m_hWndStatusBar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

// The deferred start shows the window and lays its panes out, as the
// loaded session left them or by default; then it reopens the last
// protocol.
LRESULT CMainFrame::OnDeferredStart(UINT, WPARAM, LPARAM, BOOL&) {
  guarded(*this, [&] { apply_layout(); });
  guarded(*this, [&] { open_last_protocol(); });
  return 0;
}

// Destruction, in order; the loop ends with 0.
LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  KillTimer(activity_timer);
  m_activity = false;
  StopBlink();
  DisconnectServer();
  ::UnregisterHotKey(m_hWnd, hot_key_id);
  if (WTL::CMessageLoop* loop = _Module.GetMessageLoop()) {
    loop->RemoveMessageFilter(this);
    loop->RemoveIdleHandler(this);
  }
  if (_Module.GetLockCount() == 1) {
    _Module.m_dwTimeOut = 0;
    _Module.m_dwPause = 0;
  }
  _Module.Unlock();
  _Module.CloseInstanceMutex();
  if (_Module.m_main_frame == this) _Module.m_main_frame = nullptr;
  m_focus_handler.RemoveHook();
  m_relocation.disconnect();
  m_data_files.reset();
  ::PostQuitMessage(0);
  bHandled = FALSE;
  return 0;
}

LRESULT CMainFrame::OnNcDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  DeleteTrayIcon();
  for (HICON* icon : {&m_icon_idle, &m_icon_data, &m_icon_tray, &m_icon_blink}) {
    if (*icon) ::DestroyIcon(*icon);
    *icon = nullptr;
  }
  m_toolbar_images.Destroy();
  m_toolbar_hot_images.Destroy();
  bHandled = FALSE;
  return 0;
}

LRESULT CMainFrame::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  int answer = close_dlg::exit_now;
  if (m_session.m_show_shutdown_msg) {
    close_dlg dialog;
    dialog.m_show_next_time = true;
    HWND owner = ::GetActiveWindow();
    answer = static_cast<int>(dialog.DoModal(owner ? owner : m_hWnd));
    if (answer != close_dlg::cancel) m_session.m_show_shutdown_msg = dialog.m_show_next_time;
  }
  bHandled = TRUE;
  if (answer == close_dlg::minimize) {
    // A changed check box is written at once: a tray Exit writes nothing.
    if (!m_session.m_show_shutdown_msg) guarded(*this, [&] { save_session(); });
    ShowWindow(SW_MINIMIZE);
  } else if (answer == close_dlg::exit_now) {
    bool go_on = false;
    guarded(*this, [&] { go_on = m_exit_now ? m_exit_now(*this) : ExitNow(); });
    if (go_on) bHandled = FALSE;  // the default handling destroys the window
  }
  return 0;
}

LRESULT CMainFrame::OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam == SIZE_MINIMIZED) {
    wchar_t title[1024] = L"";
    ::GetWindowTextW(m_hWnd, title, 1024);
    AddTrayIcon(m_hWnd, m_icon_tray, title);
    m_tray_icon_id = IDR_MAINFRAME;
    if (m_tray.added()) ShowWindow(SW_HIDE);
  } else if (wParam == SIZE_RESTORED && m_tray.added()) {
    StopBlink();
    DeleteTrayIcon();
  }
  if (wParam != SIZE_MINIMIZED) {
    UpdateLayout();
    place_status_panes();
  }
  bHandled = TRUE;
  return 0;
}

LRESULT CMainFrame::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&) {
  guarded(*this, [&] { m_views->focus_view(); });
  return 0;
}

void CMainFrame::StartBlink() {
  m_blinking = true;
  SetTimer(blink_timer, 333);
}

void CMainFrame::StopBlink() {
  if (m_hWnd) KillTimer(blink_timer);
  if (!m_blinking) return;
  m_blinking = false;
  m_tray_icon_id = IDR_MAINFRAME;
  ModifyTrayIcon(m_icon_tray);
}

void CMainFrame::RestoreFromTray() {
  StopBlink();
  DeleteTrayIcon();
  ShowWindow(SW_SHOW);
  DefWindowProc(WM_SYSCOMMAND, SC_RESTORE, 0);
}

LRESULT CMainFrame::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam == activity_timer) {
    KillTimer(activity_timer);
    m_activity = false;
    if (m_hWndStatusBar) ::SendMessageW(m_hWndStatusBar, SB_SETICON, 1, reinterpret_cast<LPARAM>(m_icon_idle));
  } else if (wParam == blink_timer) {
    m_tray_icon_id = m_tray_icon_id == IDR_MAINFRAME ? IDI_TRAY_BLINK : IDR_MAINFRAME;
    ModifyTrayIcon(m_tray_icon_id == IDR_MAINFRAME ? m_icon_tray : m_icon_blink);
  } else {
    bHandled = FALSE;
  }
  return 0;
}

LRESULT CMainFrame::OnHotKey(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (static_cast<int>(wParam) != hot_key_id) {
    bHandled = FALSE;
    return 0;
  }
  if (IsIconic()) {
    RestoreFromTray();
    ::SetForegroundWindow(m_hWnd);
  } else if (::GetForegroundWindow() == m_hWnd) {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
  } else {
    ::SetForegroundWindow(m_hWnd);
  }
  return 0;
}

LRESULT CMainFrame::OnTrayNotify(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (m_CmdBar.m_hWnd && m_CmdBar.IsMenuOpen()) return 0;
  switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
      RestoreFromTray();
      break;
    case WM_RBUTTONDOWN: {
      HMENU menu = ::LoadMenuW(WTL::resource_instance(), MAKEINTRESOURCEW(IDR_TRAY_MENU));
      if (!menu) break;
      HMENU popup = ::GetSubMenu(menu, 0);
      ::SetMenuDefaultItem(popup, ID_TRAY_RESTORE, FALSE);
      POINT at{};
      ::GetCursorPos(&at);
      ::SetForegroundWindow(m_hWnd);
      ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
      PostMessage(WM_NULL);
      ::DestroyMenu(menu);
      break;
    }
    default:
      break;
  }
  return 0;
}

LRESULT CMainFrame::OnTaskbarCreated(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_tray.added()) {
    NOTIFYICONDATAW data = m_tray.data();
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    Orvo::shell_notify_icon(NIM_ADD, &data);
  }
  return 0;
}

LRESULT CMainFrame::OnFileExit(WORD, WORD, HWND, BOOL&) {
  PostMessage(WM_CLOSE);
  return 0;
}

LRESULT CMainFrame::OnTrayRestore(WORD, WORD, HWND, BOOL&) {
  guarded(*this, [&] { RestoreFromTray(); });
  return 0;
}

LRESULT CMainFrame::OnTrayExit(WORD, WORD, HWND, BOOL&) {
  DestroyWindow();
  return 0;
}

// The updater's commands: a missing or unstartable updater is logged.
LRESULT CMainFrame::OnCheckForUpdates(WORD, WORD, HWND, BOOL&) {
  guarded(*this, [&] { check_now(); });
  return 0;
}

LRESULT CMainFrame::OnConfigureUpdates(WORD, WORD, HWND, BOOL&) {
  guarded(*this, [&] { configure(); });
  return 0;
}

// Opens the About box (or brings the open one to the front).
LRESULT CMainFrame::OnAbout(WORD, WORD, HWND, BOOL&) {
  guarded(*this, [&] { show_about_box(m_hWnd); });
  return 0;
}

LRESULT CMainFrame::OnRepair(WORD, WORD, HWND, BOOL&) {
  guarded(*this, [&] {
    Log(L"Software repair process started", log_information, 0);
    _Module.RepairInstallation(INSTALLUILEVEL_DEFAULT, m_hWnd);
  });
  return 0;
}

bool CMainFrame::SendState(const VARIANT& state) {
  set_status(IDS_COMMUNICATING);
  Orvo::IAmplifier* server = comet::checked(m_link.server());
  VARIANT_BOOL applied = VARIANT_FALSE;
  const HRESULT hr = server->SetState(state, &applied);
  if (FAILED(hr)) raise_server_IAmplifier(hr, server);
  if (!applied) Log(L"The update to the Orvo system was only partially applied", log_warning, 1);
  return applied != VARIANT_FALSE;
}

std::vector<Orvo::wide_string> CMainFrame::excluded_texts(const Orvo::wide_string& name) const {
  const auto& exclusions = m_protocol.m_exclusion_set.m_map;
  const auto found = exclusions.find(name);
  return found == exclusions.end() ? std::vector<Orvo::wide_string>() : found->second;
}

bool CMainFrame::ApplyState(const BSTR state) {
  comet::variant_t sent;
  if (state) {
    sent = comet::variant_t(comet::bstr_t(state, ::SysStringLen(state)));
  } else {
    comet::com_ptr<IDispatch> object;
    IAmplifierState* held = comet::checked(m_state);
    if (SUCCEEDED(held->QueryInterface(IID_IDispatch, object.put_void())))
      sent = comet::variant_t(object.get());
    else
      sent = comet::variant_t(static_cast<IUnknown*>(held));
  }
  m_undo.push_back(m_state_string);
  const bool applied = SendState(sent.get());
  m_redo.clear();
  return applied;
}

Orvo::frame_facts CMainFrame::facts() const {
  Orvo::frame_facts f;
  f.modified = m_modified;
  f.protocol_pane = m_protocol_pane.IsWindow() != FALSE;
  f.protocol_pane_visible = protocol_pane_visible();
  f.show_toolbar = m_session.m_show_toolbar;
  f.show_statusbar = m_session.m_show_statusbar;
  f.show_overview = m_session.m_show_overview;
  f.show_detailview = m_session.m_show_detailview;
  f.system_tab = m_views->active_tab() == 0;
  f.impedance_open = m_impedance_open;
  f.impedance_allowed = m_impedance_allowed;
  f.held_state = static_cast<bool>(m_state);
  f.amplifiers = m_amplifiers;
  f.server = m_link.connected();
  f.global_deblock = m_global_deblock;
  f.undo = !m_undo.empty();
  f.redo = !m_redo.empty();
  f.clipboard_text = ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
  return f;
}

BOOL CMainFrame::OnIdle() {
  guarded(*this, [&] {
    const Orvo::protocols& library = m_protocol_user_specific ? m_libraries.m_user : m_libraries.m_common;
    const std::u16string name(m_protocol_name.begin(), m_protocol_name.end());
    const auto stored = m_protocol_name.empty() ? library.m_protocols.end() : library.m_protocols.find(name);
    const Orvo::protocol* held = stored == library.m_protocols.end() ? nullptr : &stored->second;
    // A stored state that cannot be compared counts as different; it is
    // not logged, as the comparison runs at every idle turn.
    m_modified = Orvo::protocol_modified(held, m_protocol, [&](const Orvo::wide_string&, const Orvo::wide_string& now) {
      try {
        comet::variant_t state(comet::bstr_t(std::wstring(now.begin(), now.end())));
        return Orvo::state_equals(*held, state.get());
      } catch (...) {
        return false;
      }
    });
  });
  const std::wstring title = Orvo::frame_title(m_protocol_name, m_protocol_user_specific, m_modified);
  if (title != m_title) {
    m_title = title;
    SetWindowText(title.c_str());
  }
  update_command_states();
  bool served = false;
  guarded(*this, [&] { served = serve_attention(); });
  // The event log's tab disables the system tab's commands at once.
  if (served) update_command_states();
  return FALSE;
}

void CMainFrame::update_command_states() {
  for (const Orvo::command_state& s : Orvo::command_states(facts())) {
    UIEnable(static_cast<int>(s.id), s.enabled);
    UISetCheck(static_cast<int>(s.id), s.checked ? 1 : 0);
  }
  update_panes();
  UIUpdateToolBar();
  UIUpdateStatusBar();
}

// One beep however many records asked since the last idle turn, and the
// event log's tab; the tray icon blinks while the frame is minimised.
bool CMainFrame::serve_attention() {
  if (!m_log_window.m_attention) return false;
  m_log_window.m_attention = false;
  Orvo::beep(0xFFFFFFFF);
  m_views->select_tab(1);
  if (IsIconic()) StartBlink();
  return true;
}

void CMainFrame::update_panes() {
  UISetText(0, status_text().c_str());
  UISetText(2, Orvo::global_deblock_text(m_global_deblock));
  UISetText(3, Orvo::modified_text(m_modified));
}

std::wstring CMainFrame::status_text() const { return m_link.connected() ? m_status : load_text(IDS_NOT_CONNECTED); }

HICON CMainFrame::pane_icon(int id) const noexcept {
  return id == IDI_DATA_RECEIVED ? m_icon_data : id == IDI_IDLE ? m_icon_idle : nullptr;
}

// Every record goes to the event log window, which keeps it whether its
// window exists yet or not.
void CMainFrame::Log(const wchar_t* text, int level, HRESULT code) { ::Log(*this, text, level, code); }

void CMainFrame::add_record(const std::wstring& text, int level, HRESULT code) {
  m_log_window.add(text.c_str(), level, code);
}

void CMainFrame::set_status(UINT id) { m_status = load_text(id); }

// Connection.
void CMainFrame::ConnectServer(bool reset) {
  if (m_link.connected()) return;
  wait_cursor waiting;
  set_status(IDS_COMMUNICATING);
  m_state.reset();
  m_initialised = false;
  try {
    m_link.connect(reset);
  } catch (...) {
    DisconnectServer();
    throw;
  }
}

void CMainFrame::DisconnectServer() noexcept {
  guarded(*this, [&] {
    close_impedance();
    m_views->empty_tree();
    m_views->empty_views();
  });
  m_link.disconnect();
  m_undo.clear();
  m_redo.clear();
  m_initialised = false;
  m_state.reset();
  m_impedance_allowed = false;
}

comet::com_ptr<IIdentifier> CMainFrame::GetObjectByID(long id) {
  return comet::query<IIdentifier>(get_object_by_id(comet::checked(m_state), id));
}

bool CMainFrame::SendSerialNumber(const VARIANT& old_number, const VARIANT& new_number) {
  comet::com_ptr<Orvo::IAmplifier2> second;
  if (!m_link.connected() || FAILED(m_link.server()->QueryInterface(__uuidof(Orvo::IAmplifier2), second.put_void())))
    return false;
  const auto as_long = [](const VARIANT& v) {
    return v.vt == VT_I4 ? v.lVal : comet::variant_t(v).change_type(VT_I4).get().lVal;
  };
  const long old_value = as_long(old_number), new_value = as_long(new_number);
  const HRESULT hr = second->ChangeSerialNumber(old_value, new_value);
  if (FAILED(hr)) raise_server_IAmplifier2(hr, second.get());
  return true;
}

void CMainFrame::QueryImpedanceAllowed(long id) {
  VARIANT_BOOL allowed = VARIANT_FALSE;
  Orvo::IAmplifier* server = comet::checked(m_link.server());
  const HRESULT hr = server->CanCheckImpedance(id, &allowed);
  if (FAILED(hr)) raise_server_IAmplifier(hr, server);
  m_impedance_allowed = allowed != VARIANT_FALSE;
}

std::wstring CMainFrame::object_title(const wchar_t* prefix, long id) {
  const auto renamed = m_protocol.m_rename_map.find(id);
  if (renamed != m_protocol.m_rename_map.end())
    return prefix + std::wstring(renamed->second.begin(), renamed->second.end());
  // An ID the state does not know has no object: the title is the prefix.
  comet::com_ptr<IDispatch> object;
  if (m_state) m_state->getObjectByID(id, object.put());
  comet::com_ptr<IIdentifier> identifier;
  if (!object || FAILED(object->QueryInterface(IID_IIdentifier, identifier.put_void()))) return prefix;
  return prefix + name_of(identifier.get());
}

void CMainFrame::OnTreeSelection(long id) {
  guarded(*this, [&] {
    redraw_suspended lock(*m_views);
    m_views->empty_views();
    m_views->set_view_titles(L"", L"");
    QueryImpedanceAllowed(id);
    if (id == -1) {
      if (m_link.connected()) m_views->show_server_properties(get_properties(m_link.server()).get());
    } else if (m_state) {
      comet::com_ptr<IDispatch> object = get_object_by_id(m_state.get(), id);
      comet::com_ptr<IAmplifierState> state;
      comet::com_ptr<IAmplifier> amplifier;
      comet::com_ptr<ICollection> channel;
      if (object && SUCCEEDED(object->QueryInterface(IID_IAmplifierState, state.put_void()))) {
        m_views->show_state(state.get());
      } else if (object && SUCCEEDED(object->QueryInterface(IID_IAmplifier, amplifier.put_void()))) {
        m_views->show_amplifier(amplifier.get());
      } else if (object && SUCCEEDED(object->QueryInterface(IID_ICollection, channel.put_void()))) {
        m_views->show_channel(channel.get(), amplifier_of(channel.get()).get());
      }
    }
    m_views->scroll_to_current();
    m_views->set_view_titles(object_title(L"Primary View - ", id), object_title(L"Secondary View - ", id));
  });
}

bool CMainFrame::OnEndLabelEdit(long id, const wchar_t* text) {
  if (!text || !*text || id == 0) return true;
  const std::wstring name(text);
  m_protocol.m_rename_map[static_cast<std::int32_t>(id)] = Orvo::wide_string(name.begin(), name.end());
  PostMessage(WM_REBUILD);
  return false;
}

LRESULT CMainFrame::OnRebuild(UINT, WPARAM, LPARAM, BOOL&) {
  guarded(*this, [&] {
    redraw_suspended lock(*m_views);
    m_views->rebuild_tree(m_state.get(), m_link.server(), m_protocol.m_rename_map);
    if (m_impedance_open) m_views->refresh_impedance(m_state.get());
  });
  return 0;
}

// Server events: each sets "Ready", shows the activity and logs its name
// before its own work.
void CMainFrame::show_activity() {
  if (!m_activity && m_hWndStatusBar)
    ::SendMessageW(m_hWndStatusBar, SB_SETICON, 1, reinterpret_cast<LPARAM>(m_icon_data));
  m_activity = true;
  SetTimer(activity_timer, 250);
}

void CMainFrame::event_start(const wchar_t* name, bool ready) {
  if (ready) set_status(IDS_READY);
  show_activity();
  Log(name, log_event, 0);
}

void CMainFrame::close_impedance() {
  if (!m_impedance_open) return;
  m_impedance_open = false;
  m_views->close_impedance();
  m_views->focus_primary();
  if (m_overview_was_visible) m_views->show_overview(true);
}

void CMainFrame::OnInitialize(long success, BSTR message) {
  guarded(*this, [&] {
    set_status(IDS_READY);
    close_impedance();
    Log(L"OnInitialize", log_event, 0);
    m_global_deblock = false;
    m_initialised = true;
    if (success) {
      std::vector<std::wstring> texts;
      for_each_property(get_properties(m_link.server()).get(), [&](const comet::com_ptr<IProperty>& item) {
        IProperty* p = comet::checked(item);
        texts.push_back(Orvo::property_pane_text(name_of(p), value_of(p)));
      });
      layout_status_bar(texts);
      Log(L"Orvo Client initialized successfully", log_information, 0);
    } else {
      const std::wstring text = text_of(message);
      Log(text.empty() ? L"No detailed error message available" : text.c_str(), log_error, E_FAIL);
    }
  });
  show_activity();
}

void CMainFrame::OnChange(const VARIANT& state) {
  guarded(*this, [&] {
    event_start(L"OnChange");
    IUnknown* object = nullptr;
    switch (state.vt) {
      case VT_DISPATCH:
      case VT_UNKNOWN:
        object = state.punkVal;
        break;
      case VT_DISPATCH | VT_BYREF:
      case VT_UNKNOWN | VT_BYREF:
        object = state.ppunkVal ? *state.ppunkVal : nullptr;
        break;
      case VT_EMPTY:
      case VT_NULL:
        break;
      default:
        comet::raise(E_INVALIDARG);
    }
    comet::com_ptr<IAmplifierState> held;
    if (object) comet::check(object->QueryInterface(IID_IAmplifierState, held.put_void()));
    m_state = std::move(held);
    IAmplifierState* s = comet::checked(m_state);
    m_amplifiers = 0;
    try {
      m_amplifiers = get_collection_count(get_amplifiers(s).get());
    } catch (...) {
    }
    m_state_string = get_state_string(s);
    const std::wstring text = m_state_string.w_str();
    m_protocol.set_state_string(Orvo::wide_string(text.begin(), text.end()));
    VARIANT_BOOL deblock = VARIANT_FALSE;
    const HRESULT hr = s->get_GlobalDeblock(&deblock);
    if (FAILED(hr)) raise_IAmplifierState(hr, s);
    m_global_deblock = deblock != VARIANT_FALSE;
    redraw_suspended lock(*m_views);
    m_views->rebuild_tree(s, m_link.server(), m_protocol.m_rename_map);
    if (m_impedance_open) m_views->refresh_impedance(s);
  });
}

void CMainFrame::OnImpedance(long id, const VARIANT& values) {
  guarded(*this, [&] {
    event_start(L"OnImpedance");
    if (!m_impedance_open) {
      m_views->select_tab(0);
      m_views->select_tree_item(id);
      m_overview_was_visible = m_views->overview_visible();
      if (m_overview_was_visible) m_views->show_overview(false);
      m_views->open_impedance(id, object_title(L"Impedance View - ", id));
      m_impedance_open = true;
    }
    if (values.vt != (VT_ARRAY | VT_VARIANT) || !values.parray || ::SafeArrayGetDim(values.parray) != 1) return;
    LONG lower = 0, upper = -1;
    comet::check(::SafeArrayGetLBound(values.parray, 1, &lower));
    comet::check(::SafeArrayGetUBound(values.parray, 1, &upper));
    std::vector<unsigned char> bytes(upper >= lower ? static_cast<std::size_t>(upper - lower + 1) : 0, 0xFF);
    try {
      for (LONG i = lower; i <= upper; ++i) {
        comet::variant_t element;
        comet::check(::SafeArrayGetElement(values.parray, &i, element.out()));
        bytes[static_cast<std::size_t>(i - lower)] = element.change_type(VT_UI1).get().bVal;
      }
    } catch (...) {
      m_views->impedance_values(bytes);
      throw;
    }
    m_views->impedance_values(bytes);
  });
}

void CMainFrame::OnImpedanceEnd() {
  guarded(*this, [&] {
    event_start(L"OnImpedanceEnd");
    close_impedance();
  });
}

void CMainFrame::OnError(long, BSTR description) {
  guarded(*this, [&] {
    event_start(L"OnError", false);
    Log(text_of(description).c_str(), log_error, E_FAIL);
  });
}

void CMainFrame::OnReset() {
  guarded(*this, [&] {
    event_start(L"OnReset");
    close_impedance();
    Log(L"Orvo System was reset", log_information, 0);
  });
}
