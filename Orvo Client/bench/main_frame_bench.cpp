// Benchmark under wine64 with a display (a program, not a test): the real
// main frame, connected to the stand-in server in process, handles a change
// event carrying the held state of 16 amplifiers of registered models while
// "All Amplifiers" is selected: the system tree is rebuilt (146 items) and
// the selection refills the channel view (128 rows) and the amplifier view
// (16 rows). Two states one gain apart take turns, so every event changes
// something. Each event is timed until the handler returns, and one paint
// of the frame apart; medians of 50, the event as a fraction of a 16 ms
// frame (target <= 1) and as a ratio to the same texts put into a plain
// tree view and two plain list views of the same sizes, shown beside the
// frame (target <= 2). The event is split into the views' part (the
// tree's selection handling, which refills them, and switching their
// drawing back on) and the rest (the tree's rebuild, the event's own steps).
//
//   scripts/bench client_main_frame_bench.exe
//
// It registers the capabilities, the state model and the stand-in server in
// the build's prefix itself, and removes the stand-in again at its end. It
// finds the frame's windows by class only, so it does not depend on how the
// frame arranges its panes.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_client_state.h"
#include "bench/plain_controls.h"
#include "comet/variant.h"
#include "main_frame.h"
#include "orvo_module.h"
#include "registry/registry_key.h"
#include "testing/wine_bench.h"
#include "win/loop.h"

using orvo::testing::median;
using orvo::testing::register_library;
using orvo::testing::time_ms;
using orvo::testing::windows_path;

namespace {

constexpr int rounds = 50;
constexpr double frame_ms = 16.0;

// Dispatches this thread's messages until none is left, through the loop's
// filters as the program's loop does.
void pump() {
  WTL::CMessageLoop* loop = _Module.GetMessageLoop();
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    if (!loop || !loop->PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

// Time spent in the views while the frame handles an event: selection
// changes reaching the tree's parent (the frame's selection handling, which
// refills the detail views), and the detail views' redraw switches outside
// it (a list view lays itself out again and invalidates when drawing is
// switched back on). Each window's own procedure is called through.
struct timed_window {
  WNDPROC procedure;
  bool list;
};
std::map<HWND, timed_window> timed;
double refill_ms = 0, redraw_ms = 0;
int selection_changes = 0;
bool in_selection = false;

LRESULT CALLBACK timed_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const timed_window& w = timed.at(window);
  const bool selection =
      !w.list && message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lparam)->code == TVN_SELCHANGEDW;
  const bool redraw = w.list && message == WM_SETREDRAW && !in_selection;
  if (!selection && !redraw) return ::CallWindowProcW(w.procedure, window, message, wparam, lparam);
  const bool was_in_selection = in_selection;
  in_selection = in_selection || selection;
  LRESULT result = 0;
  (selection ? refill_ms : redraw_ms) +=
      time_ms([&] { result = ::CallWindowProcW(w.procedure, window, message, wparam, lparam); });
  in_selection = was_in_selection;
  selection_changes += selection;
  return result;
}

void time_window(HWND window, bool list) {
  timed[window] = {reinterpret_cast<WNDPROC>(
                       ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&timed_procedure))),
                   list};
}

void stop_timing_windows() {
  for (const auto& [window, t] : timed)
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(t.procedure));
  timed.clear();
}

// The state of `images` with the first channel's "Gain" set to another of
// its legal values.
comet::com_ptr<IAmplifierState> one_gain_apart(const orvo::impl::TAmplifierMemoryCollection& images) {
  comet::com_ptr<IAmplifierState> other = built_state(images);
  if (!other) return nullptr;
  comet::com_ptr<IAmplifier> first;
  for_each_amplifier(other.get(), [&](const comet::com_ptr<IAmplifier>& a) {
    if (!first) first = a;
  });
  comet::com_ptr<ICollection> channel;
  for_each_channel_collection(first.get(), [&](const comet::com_ptr<ICollection>& c) {
    if (!channel) channel = c;
  });
  for_each_property(channel.get(), [&](const comet::com_ptr<IProperty>& property) {
    BSTR name = nullptr;
    property->get_Name(&name);
    const bool gain = name && std::wstring(name) == L"Gain";
    SysFreeString(name);
    if (!gain) return;
    VARIANT value;
    VariantInit(&value);
    property->get_Value(&value);
    const std::wstring current = value_text(value);
    VariantClear(&value);
    std::wstring next;
    for_each_property_value(property.get(), [&](const std::wstring& text) {
      if (next.empty() && text != current) next = text;
    });
    comet::variant_t changed(next.c_str());
    property->put_Value(changed.get());
  });
  return other;
}

class CPlainHost : public WTL::CWindowImpl<CPlainHost, WTL::CWindow, WTL::CFrameWinTraits> {
 public:
  BEGIN_MSG_MAP(CPlainHost)
  END_MSG_MAP()
};

// The frame's windows of a class, in the order the frame holds them.
std::vector<HWND> windows_of_class(HWND top, const wchar_t* name) {
  struct search {
    const wchar_t* name;
    std::vector<HWND> found;
  } s{name, {}};
  ::EnumChildWindows(
      top,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<search*>(data);
        wchar_t name[64] = L"";
        ::GetClassNameW(child, name, 64);
        if (std::wstring(name) == s->name) s->found.push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// A plain control at the place and size `like` has in `frame`'s client area.
HWND plain_like(HWND like, HWND frame, HWND host, const wchar_t* window_class, DWORD style) {
  RECT r{};
  ::GetWindowRect(like, &r);
  ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
  return ::CreateWindowExW(WS_EX_CLIENTEDGE, window_class, L"", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, host, nullptr, nullptr, nullptr);
}

std::size_t errors_logged(const CMainFrame& frame) {
  std::size_t errors = 0;
  for (const Orvo::log_record& r : frame.log_records()) errors += r.level == 3;
  return errors;
}

int run() {
  const orvo::impl::TAmplifierMemoryCollection images = orvo::impl::SixteenAmplifierImages();
  const comet::com_ptr<IAmplifierState> first = built_state(images), second = one_gain_apart(images);
  if (!first || !second) {
    std::fprintf(stderr, "the states could not be built\n");
    return 1;
  }
  if (get_state_string(first.get()).w_str() == get_state_string(second.get()).w_str()) {
    std::fprintf(stderr, "the second state does not differ\n");
    return 1;
  }
  const comet::variant_t states[2] = {comet::variant_t(static_cast<IDispatch*>(first.get())),
                                      comet::variant_t(static_cast<IDispatch*>(second.get()))};

  _Module.Lock();
  CMainFrame frame;
  frame.CreateEx();
  const DWORD start = ::GetTickCount();
  while (!frame.IsWindowVisible() && ::GetTickCount() - start < 5000) {
    pump();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  frame.MoveWindow(RECT{0, 0, 1260, 500});
  CPlainHost host;
  host.Create(nullptr, RECT{0, 512, 1260, 1012}, L"Plain controls");
  host.ShowWindow(SW_SHOWNOACTIVATE);
  pump();

  const std::vector<HWND> trees = windows_of_class(frame, L"ZEL-TreeViewEx");
  const std::vector<HWND> lists = windows_of_class(frame, L"zel::editablelistview");
  if (!frame.server() || trees.size() != 1 || lists.size() != 2) {
    std::fprintf(stderr, "the frame is not connected or lacks its views (%zu trees, %zu lists)\n", trees.size(),
                 lists.size());
    return 1;
  }
  const HWND tree = trees[0];
  const HWND plain_tree =
      plain_like(tree, frame, host, WC_TREEVIEWW, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS);
  const HWND plain_lists[2] = {plain_like(lists[0], frame, host, WC_LISTVIEWW, LVS_REPORT),
                               plain_like(lists[1], frame, host, WC_LISTVIEWW, LVS_REPORT)};
  time_window(::GetParent(tree), false);
  for (HWND list : lists) time_window(list, true);

  // Both states once, to reach the steady state and read what the views show.
  orvo::bench::tree_texts tree_texts[2];
  orvo::bench::table list_texts[2][2];
  const std::size_t errors_before = errors_logged(frame);
  for (int s = 0; s < 2; ++s) {
    frame.OnChange(states[s].get());
    pump();
    tree_texts[s] = orvo::bench::read_tree(tree);
    for (int l = 0; l < 2; ++l) list_texts[s][l] = orvo::bench::read_table(lists[l]);
  }
  const orvo::bench::tree_texts& shown = tree_texts[1];
  const bool all_amplifiers = shown.selected == 1 && shown.items[1].text == L"All Amplifiers";
  if (shown.items.size() != 146 || !all_amplifiers ||
      list_texts[1][0].rows.size() + list_texts[1][1].rows.size() != 144 || errors_logged(frame) != errors_before) {
    std::fprintf(stderr, "the frame shows %zu tree items (All Amplifiers %s), %zu + %zu rows, %zu errors logged\n",
                 shown.items.size(), all_amplifiers ? "selected" : "not selected", list_texts[1][0].rows.size(),
                 list_texts[1][1].rows.size(), errors_logged(frame) - errors_before);
    return 1;
  }

  std::vector<double> event, views, refill, redraw, rest, plain, plain_tree_fill, plain_lists_fill, frame_paint,
      views_paint, plain_paint;
  int changes = 0;
  for (int round = 0; round < rounds; ++round) {
    const int s = round % 2;
    pump();
    refill_ms = redraw_ms = 0;
    selection_changes = 0;
    event.push_back(time_ms([&] { frame.OnChange(states[s].get()); }));
    refill.push_back(refill_ms);
    redraw.push_back(redraw_ms);
    views.push_back(refill_ms + redraw_ms);
    rest.push_back(event.back() - views.back());
    changes += selection_changes;
    plain_tree_fill.push_back(time_ms([&] { orvo::bench::fill_plain_tree(plain_tree, tree_texts[s]); }));
    plain_lists_fill.push_back(time_ms([&] {
      orvo::bench::fill_plain(plain_lists[0], list_texts[s][0]);
      orvo::bench::fill_plain(plain_lists[1], list_texts[s][1]);
    }));
    plain.push_back(plain_tree_fill.back() + plain_lists_fill.back());
    frame_paint.push_back(time_ms([&] { orvo::bench::paint(frame); }));
    views_paint.push_back(time_ms([&] {
      orvo::bench::paint(tree);
      orvo::bench::paint(lists[0]);
      orvo::bench::paint(lists[1]);
    }));
    plain_paint.push_back(time_ms([&] { orvo::bench::paint(host); }));
  }
  const bool failed = errors_logged(frame) != errors_before;

  const double event_ms = median(event), plain_ms = median(plain);
  std::printf(
      "OnChange, 16 amplifiers x 8 channels, All Amplifiers selected (medians of %d):\n"
      "  handled in %.2f ms = %.2f of a 16 ms frame (target <= 1)\n"
      "  the same texts into a plain tree and two plain lists %.2f ms, ratio %.2f (target <= 2)\n"
      "  split: the views %.2f ms (refill on %.1f selection changes per event %.2f ms, drawing switched back on "
      "%.2f ms), the tree's rebuild and the rest %.2f ms; plain: lists %.2f ms, tree %.2f ms\n"
      "  one paint: the frame %.2f ms, its tree and lists %.2f ms, the plain controls %.2f ms (ratio %.2f)\n",
      rounds, event_ms, event_ms / frame_ms, plain_ms, event_ms / plain_ms, median(views),
      static_cast<double>(changes) / rounds, median(refill), median(redraw), median(rest), median(plain_lists_fill),
      median(plain_tree_fill), median(frame_paint), median(views_paint), median(plain_paint),
      median(views_paint) / median(plain_paint));
  if (failed) std::fprintf(stderr, "the frame logged an error while measured\n");

  stop_timing_windows();
  host.DestroyWindow();
  frame.DestroyWindow();
  pump();
  while (_Module.GetLockCount() > 0) _Module.Unlock();
  return failed ? 1 : 0;
}

}  // namespace

int main() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, 0x6FF};
  InitCommonControlsEx(&controls);
  _Module.Init(nullptr, GetModuleHandleW(nullptr));
  WTL::CMessageLoop loop;
  _Module.AddMessageLoop(&loop);
  const std::wstring capabilities = windows_path(ORVO_CAPABILITIES);
  const std::wstring stand_in = windows_path(STAND_IN_INPROC);
  int status = 2;
  if (!register_library(capabilities) || !register_library(windows_path(ORVO_IMPL)) || !register_library(stand_in)) {
    std::fprintf(stderr, "the libraries could not be registered\n");
  } else {
    orvo::registry::key::create(HKEY_LOCAL_MACHINE, L"Software\\Quarnell Limited\\Orvo")
        .write_string(L"Provider", capabilities);
    try {
      status = run();
    } catch (const comet::com_error& e) {
      std::fprintf(stderr, "failed: 0x%08lX\n", static_cast<unsigned long>(e.hr()));
      status = 1;
    }
    register_library(stand_in, true);
  }
  _Module.RemoveMessageLoop();
  _Module.Term();
  CoUninitialize();
  return status;
}
