#include "main_frame_test_support.h"

#include <commctrl.h>

#include <algorithm>

#include "orvo_module.h"
#include "state_walk.h"
#include "testing/com_test.h"

frame_log_record::frame_log_record(const Orvo::log_record& r)
    : text(r.text.begin(), r.text.end()), level(r.level), code(static_cast<HRESULT>(r.code)) {}

void PrintTo(const frame_log_record& r, std::ostream* out) {
  *out << '{';
  for (wchar_t c : r.text) *out << (c < 0x80 ? static_cast<char>(c) : '?');
  *out << ", " << r.level << ", 0x" << std::hex << static_cast<unsigned long>(r.code) << std::dec << '}';
}

void Orvo::PrintTo(const log_record& r, std::ostream* out) { ::PrintTo(frame_log_record(r), out); }

std::wstring as_logged(const std::wstring& text) {
  const std::u16string line = Orvo::one_line(std::u16string(text.begin(), text.end()));
  return std::wstring(line.begin(), line.end());
}

namespace frame_testing {

void recording_views::rebuild_tree(IAmplifierState* state, Orvo::IAmplifier* server, const rename_map& renames) {
  lines.push_back(std::wstring(L"rebuild_tree") + (state ? L" state" : L"") + (server ? L" server" : L"") +
                  L" renames " + std::to_wstring(renames.size()));
}

void recording_views::show_server_properties(ICollection* properties) {
  lines.push_back(L"show_server_properties " + std::to_wstring(get_collection_count(properties)));
}

bool pump_until(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = ::GetTickCount();
  WTL::CMessageLoop* loop = _Module.GetMessageLoop();
  for (;;) {
    if (done()) return true;
    if (::GetTickCount() - start > ms) return false;
    MSG msg;
    bool any = false;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      any = true;
      if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return done();
      }
      if (!loop || !loop->PreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
    }
    if (loop) loop->OnIdle(0);
    if (!any) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void log_events(CMainFrame& frame) {
  HWND window = frame.log_window();
  ::CheckDlgButton(window, IDC_LOG_EVENT_LOGGING, BST_CHECKED);
  ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_LOG_EVENT_LOGGING, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(window, IDC_LOG_EVENT_LOGGING)));
}

std::wstring log_item_text(CMainFrame& frame, int item, int column) {
  wchar_t text[256] = L"";
  LVITEMW request{};
  request.iSubItem = column;
  request.pszText = text;
  request.cchTextMax = 256;
  ::SendDlgItemMessageW(frame.log_window(), IDC_LOG_LIST, LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                        reinterpret_cast<LPARAM>(&request));
  return text;
}

int run_loop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : -2;
}

frame_fixture::frame_fixture(frame_views* views, bool now) {
  if (views) frame.set_views(*views);
  // No data files unless a case asks for them.
  frame.m_load_data = [](CMainFrame&) {};
  frame.m_exit_now = [](CMainFrame&) { return true; };
  if (now) create();
}

void frame_fixture::create() {
  _Module.Lock();
  frame.CreateEx();
}

frame_fixture::~frame_fixture() {
  if (frame.IsWindow()) frame.DestroyWindow();
  // The quit message the frame posted ends nothing here.
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  while (_Module.GetLockCount() > 0) _Module.Unlock();
}

std::wstring pane_text(const CMainFrame& frame, int index) {
  wchar_t text[512] = L"";
  const LRESULT length = ::SendMessageW(frame.m_hWndStatusBar, SB_GETTEXTLENGTHW, index, 0);
  if (LOWORD(length) >= 512) return L"<long>";
  ::SendMessageW(frame.m_hWndStatusBar, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(text));
  return text;
}

HICON pane_icon(const CMainFrame& frame, int index) {
  return reinterpret_cast<HICON>(::SendMessageW(frame.m_hWndStatusBar, SB_GETICON, index, 0));
}

namespace {
std::function<void(HWND)> g_act;
std::vector<HWND> g_handled;
UINT_PTR g_timer = 0;

BOOL CALLBACK find_dialog(HWND window, LPARAM found) {
  wchar_t name[16] = L"";
  ::GetClassNameW(window, name, 16);
  if (lstrcmpW(name, L"#32770") == 0 && ::IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK watch_tick(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), find_dialog, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog || std::find(g_handled.begin(), g_handled.end(), dialog) != g_handled.end()) return;
  g_handled.push_back(dialog);
  if (g_act) g_act(dialog);
}
}  // namespace

dialog_watch::dialog_watch(std::function<void(HWND)> act) {
  g_act = std::move(act);
  g_handled.clear();
  g_timer = ::SetTimer(nullptr, 0, 50, watch_tick);
}

dialog_watch::~dialog_watch() {
  ::KillTimer(nullptr, g_timer);
  g_act = nullptr;
}

int dialog_watch::seen() const noexcept { return static_cast<int>(g_handled.size()); }

std::wstring item_text(HWND dialog, int id) {
  wchar_t text[512] = L"";
  ::GetDlgItemTextW(dialog, id, text, 512);
  return text;
}

tray_recorder::tray_recorder(BOOL answer) : result(answer) {
  Orvo::set_shell_notify_hook([this](DWORD message, const NOTIFYICONDATAW& data) {
    calls.push_back({message, data.uFlags, data.hIcon, data.szTip});
    return result;
  });
}

tray_recorder::~tray_recorder() { Orvo::set_shell_notify_hook(nullptr); }

void register_stand_in() { orvo::testing::regsvr32(orvo::testing::windows_path(STAND_IN_INPROC)); }
void unregister_stand_in() { orvo::testing::regsvr32(orvo::testing::windows_path(STAND_IN_INPROC), true); }

}  // namespace frame_testing
