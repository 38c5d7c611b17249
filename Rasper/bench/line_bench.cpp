// Conversations per second through Rasper on the simulated line, as ratios
// to what the line allows. Not a test; run it as the tests run the line:
//   tools/line_sim/line_sim.py --prefix build/x86_64/wineprefix --port com5 --
//       build/x86_64/wine-run build/x86_64/Rasper/bench/rasper_line_bench.exe
// after the test run has registered Rasper, Codrant, CRC and the helper.
//
// 1. A client inside Rasper (the test class made with
//    CreateInProcessComponent, as a device object is) runs conversations of
//    a 1-byte request and an empty reply, the device paced at 115200 baud.
//    The bound: 21 ms before each request plus 1.04 ms and 0.87 ms of line
//    time, 22.9 ms (43.6/s).
// 2. The device sends packets back to back, each answered by a client inside
//    Rasper; the line limit for those frames is 1.91 ms (524/s).
// 3. The first figure for a client in another process (this one).
#include <windows.h>

#include <cstdio>

#include "bench_session.h"

int main() {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 2;
  int rc = 1;
  {
    bench_session s;
    if (s.ready()) {
      const int n = 200;
      s.device().command("pace 1");
      s.device().command("script 16 -");
      const double inside = s.helper_conversations(n);
      const double inside_rate = n / (inside / 1000.0);
      std::printf("client inside Rasper: %d conversations in %.0f ms, %.1f/s, ratio to 43.6/s: %.2f (target >= 0.9)\n",
                  n, inside, inside_rate, inside_rate / 43.6);

      s.device().command("pace 0");
      const double unpaced = s.helper_conversations(n);
      std::printf("(the same with the device unpaced: %.2f ms a conversation)\n", unpaced / n);
      const int m = 2000;
      const double exchanges = s.helper_device_exchanges(m);
      const double exchange_rate = (m - 1) / (exchanges / 1000.0);
      std::printf("device packets back to back: %d in %.0f ms, %.0f/s, ratio to 524/s: %.2f (target >= 3)\n", m,
                  exchanges, exchange_rate, exchange_rate / 524.0);

      s.device().command("pace 1");
      const double outside = s.own_conversations(n);
      const double outside_rate = n / (outside / 1000.0);
      std::printf("client in another process: %d conversations in %.0f ms, %.1f/s, ratio to 43.6/s: %.2f\n", n, outside,
                  outside_rate, outside_rate / 43.6);
      rc = 0;
    }
  }
  CoUninitialize();
  return rc;
}
