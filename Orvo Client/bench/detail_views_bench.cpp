// Benchmark under wine64 with a display (a program, not a test): refilling
// the two detail views with the held state of 16 amplifiers (128 channel
// rows, 16 amplifier rows) as the frame does after every change, against
// the same texts written into two plain list views; then one paint of
// each. Printed in milliseconds, the refill also as a fraction of a 16 ms
// frame (target <= 1) and as a ratio to the plain lists (target <= 2).
//
//   build/x86_64/wine-run build/x86_64/OrvoClient/bench/client_detail_views_bench.exe
//       build/x86_64/OrvoCapabilities/OrvoCapabilities.dll build/x86_64/OrvoImpl/OrvoImpl.dll
//
// It registers both libraries in the prefix itself.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_client_state.h"
#include "bench/plain_controls.h"
#include "detail_views.h"
#include "orvo_module.h"
#include "registry/registry_key.h"
#include "testing/wine_bench.h"

using orvo::bench::fill_plain;
using orvo::bench::paint;
using orvo::bench::read_table;
using orvo::bench::table;
using orvo::testing::keep_best;
using orvo::testing::register_library;
using orvo::testing::windows_path;

namespace {

class state_owner : public view_owner {
 public:
  explicit state_owner(comet::com_ptr<IAmplifierState> state) : m_state(std::move(state)) {}
  comet::com_ptr<IIdentifier> GetObjectByID(long id) override {
    return comet::query<IIdentifier>(get_object_by_id(m_state.get(), id));
  }
  bool SendSerialNumber(const VARIANT&, const VARIANT&) override { return false; }
  void Log(const wchar_t*, int, HRESULT) override {}
  IAmplifierState* held_state() const noexcept override { return m_state.get(); }
  bool ApplyState(const BSTR) override { return false; }
  std::vector<Orvo::wide_string> excluded_texts(const Orvo::wide_string&) const override { return {}; }

 private:
  comet::com_ptr<IAmplifierState> m_state;
};

class CHost : public WTL::CWindowImpl<CHost, WTL::CWindow, WTL::CFrameWinTraits> {
 public:
  BEGIN_MSG_MAP(CHost)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: client_detail_views_bench OrvoCapabilities.dll OrvoImpl.dll\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  _Module.Init(nullptr, GetModuleHandleW(nullptr));
  const std::wstring capabilities = windows_path(argv[1]);
  if (!register_library(capabilities) || !register_library(windows_path(argv[2]))) {
    std::fprintf(stderr, "the libraries could not be registered\n");
    return 2;
  }
  orvo::registry::key::create(HKEY_LOCAL_MACHINE, L"Software\\Quarnell Limited\\Orvo")
      .write_string(L"Provider", capabilities);

  int status = 0;
  try {
    comet::com_ptr<IAmplifierState> state = built_state(orvo::impl::SixteenAmplifierImages());
    if (!state) {
      std::fprintf(stderr, "the state could not be built\n");
      return 1;
    }
    state_owner owner(state);
    CHost host;
    host.Create(nullptr, RECT{0, 0, 1200, 700}, L"Detail views");
    host.ShowWindow(SW_SHOW);
    CChannelView channels(owner);
    CAmplifierView amplifiers(owner);
    channels.Create(host, RECT{0, 0, 1180, 420}, nullptr, 0, 0, 1);
    amplifiers.Create(host, RECT{0, 420, 1180, 640}, nullptr, 0, 0, 2);
    // The plain lists lie over the views, each pair shown only while painted.
    const HWND plain_channels = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 1180,
                                                420, host, nullptr, nullptr, nullptr);
    const HWND plain_amplifiers = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 420,
                                                  1180, 220, host, nullptr, nullptr, nullptr);
    auto show = [&](bool views) {
      channels.ShowWindow(views ? SW_SHOW : SW_HIDE);
      amplifiers.ShowWindow(views ? SW_SHOW : SW_HIDE);
      ShowWindow(plain_channels, views ? SW_HIDE : SW_SHOW);
      ShowWindow(plain_amplifiers, views ? SW_HIDE : SW_SHOW);
    };
    auto refill_views = [&] {
      channels.clear();
      channels.show_all_channels(state.get());
      amplifiers.clear();
      amplifiers.show_amplifiers(state.get());
    };
    refill_views();
    const table channel_texts = read_table(channels), amplifier_texts = read_table(amplifiers);
    if (channel_texts.rows.size() != 128 || amplifier_texts.rows.size() != 16) {
      std::fprintf(stderr, "the views show %zu and %zu rows\n", channel_texts.rows.size(), amplifier_texts.rows.size());
      return 1;
    }
    auto fill_plains = [&] {
      fill_plain(plain_channels, channel_texts);
      fill_plain(plain_amplifiers, amplifier_texts);
    };

    double views_ms = 1e300, plain_ms = 1e300, views_paint_ms = 1e300, plain_paint_ms = 1e300;
    // Each list is filled and painted while shown, as the frame's views are.
    for (int round = 0; round < 10; ++round) {
      show(true);
      keep_best(views_ms, refill_views, 5);
      keep_best(
          views_paint_ms,
          [&] {
            paint(channels);
            paint(amplifiers);
          },
          5);
      show(false);
      keep_best(plain_ms, fill_plains, 5);
      keep_best(
          plain_paint_ms,
          [&] {
            paint(plain_channels);
            paint(plain_amplifiers);
          },
          5);
    }
    std::printf(
        "128 channel rows + 16 amplifier rows: views refilled from the state %.2f ms (%.2f of a 16 ms frame, target "
        "<= 1), the same texts into plain lists %.2f ms, ratio %.2f (target <= 2); one paint of both views %.2f ms, "
        "of both plain lists %.2f ms, ratio %.2f\n",
        views_ms, views_ms / 16.0, plain_ms, views_ms / plain_ms, views_paint_ms, plain_paint_ms,
        views_paint_ms / plain_paint_ms);
    channels.DestroyWindow();
    amplifiers.DestroyWindow();
    host.DestroyWindow();
  } catch (const comet::com_error& e) {
    std::fprintf(stderr, "failed: 0x%08lX\n", static_cast<unsigned long>(e.hr()));
    status = 1;
  }
  _Module.Term();
  CoUninitialize();
  return status;
}
