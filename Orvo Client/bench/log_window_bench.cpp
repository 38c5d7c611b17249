// Benchmark under wine64 (Xvfb): the event log window holding 100,000
// records against a plain report list view of 100,000 texts, side by side
// in one run, both shown.
//   add:    one CLogWindow::add (auto scroll) and the paint it causes, to
//           LVM_INSERTITEMW + LVM_ENSUREVISIBLE + paint in the plain list;
//   refill: a filter change's refill and paint, to clearing and refilling
//           the plain list with redraw off, then its paint.
// Prints milliseconds and the ratios (targets: 1.2 or less).
//
//   client_log_window_bench.exe
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "log_window.h"
#include "orvo_module.h"

namespace {

int records = 100000;  // or the first argument
int adds = 300;        // or the second argument
constexpr int rounds = 3;

using clock_type = std::chrono::steady_clock;

double ms_since(clock_type::time_point start) {
  return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

void pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

HWND top_level(const wchar_t* title, int x) {
  HWND w = ::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 10, 620, 420, nullptr, nullptr,
                             nullptr, nullptr);
  return w;
}

std::wstring message(int i) { return L"Record " + std::to_wstring(i) + L": the amplifier state was applied"; }

// The plain list: the same four columns, items with their own text.
class plain_list {
 public:
  explicit plain_list(HWND parent) {
    m_list = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL,
                               0, 0, 600, 380, parent, nullptr, nullptr, nullptr);
    const wchar_t* names[] = {L"Time", L"Index", L"Message", L"Status Code"};
    for (int i = 0; i < 4; ++i) {
      LVCOLUMNW c{};
      c.mask = LVCF_TEXT | LVCF_WIDTH;
      c.pszText = const_cast<wchar_t*>(names[i]);
      c.cx = i == 2 ? 300 : 80;
      ::SendMessageW(m_list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
    }
  }
  int insert(const std::wstring& text) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(::SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return static_cast<int>(::SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  }
  void fill() {
    for (int i = 0; i < records; ++i) insert(message(i));
  }
  HWND m_list;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1) records = _wtoi(argv[1]);
  if (argc > 2) adds = _wtoi(argv[2]);
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&classes);
  _Module.Init(nullptr, ::GetModuleHandleW(nullptr));
  WTL::CMessageLoop loop;
  _Module.AddMessageLoop(&loop);

  // The records are logged first and listed when the window is made.
  HWND log_parent = top_level(L"Event Log", 10);
  CLogWindow log;
  auto phase = clock_type::now();
  for (int i = 0; i < records; ++i) log.add(message(i).c_str(), 1 + i % 3, 0);
  log.Create(log_parent);
  log.SetWindowPos(nullptr, 0, 0, 600, 380, SWP_NOZORDER);
  std::printf("logging %d records and making the window: %.0f ms\n", records, ms_since(phase));
  std::fflush(stdout);
  HWND log_list = ::GetDlgItem(log, IDC_LOG_LIST);

  HWND plain_parent = top_level(L"Plain list", 640);
  plain_list plain(plain_parent);
  phase = clock_type::now();
  ::SendMessageW(plain.m_list, WM_SETREDRAW, FALSE, 0);
  plain.fill();
  ::SendMessageW(plain.m_list, WM_SETREDRAW, TRUE, 0);
  std::printf("filling the plain list: %.0f ms\n", ms_since(phase));
  std::fflush(stdout);
  pump();
  ::UpdateWindow(log_parent);
  ::UpdateWindow(plain_parent);

  double add_log = 1e30, add_plain = 1e30, refill_log = 1e30, refill_plain = 1e30;
  int n = records;
  for (int round = 0; round < rounds; ++round) {
    auto start = clock_type::now();
    for (int i = 0; i < adds; ++i) {
      log.add(message(n + i).c_str(), 2, 0);
      ::UpdateWindow(log_list);
    }
    add_log = std::min(add_log, ms_since(start) / adds);
    start = clock_type::now();
    for (int i = 0; i < adds; ++i) {
      const int at = plain.insert(message(n + i));
      ::SendMessageW(plain.m_list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(at), TRUE);
      ::UpdateWindow(plain.m_list);
    }
    add_plain = std::min(add_plain, ms_since(start) / adds);
    n += adds;
    pump();

    const int level = round % 2 ? IDC_LOG_LEVEL1 : IDC_LOG_LEVEL2;
    start = clock_type::now();
    ::CheckRadioButton(log, IDC_LOG_LEVEL1, IDC_LOG_LEVEL4, level);
    log.SendMessage(WM_COMMAND, MAKEWPARAM(level, BN_CLICKED));
    ::UpdateWindow(log_list);
    refill_log = std::min(refill_log, ms_since(start));
    start = clock_type::now();
    ::SendMessageW(plain.m_list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(plain.m_list, LVM_DELETEALLITEMS, 0, 0);
    plain.fill();
    ::SendMessageW(plain.m_list, WM_SETREDRAW, TRUE, 0);
    ::UpdateWindow(plain.m_list);
    refill_plain = std::min(refill_plain, ms_since(start));
    pump();
  }
  std::printf("records %d, best of %d rounds\n", records, rounds);
  std::printf("add:    log window %.3f ms, plain list %.3f ms, ratio %.2f (target <= 1.2)\n", add_log, add_plain,
              add_log / add_plain);
  std::printf("refill: log window %.1f ms, plain list %.1f ms, ratio %.2f (target <= 1.2)\n", refill_log, refill_plain,
              refill_log / refill_plain);
  log.DestroyWindow();
  ::DestroyWindow(log_parent);
  ::DestroyWindow(plain_parent);
  _Module.RemoveMessageLoop();
  _Module.Term();
  return 0;
}
