// 10,000 conversations through Rasper on a line with 1% of its bytes
// corrupted and a short conversation time-out; prints how they ended and
// Rasper's open handles and private bytes after the first 1,000 and at the
// end (after a pause, so that the last engine work has settled). Not a
// test; run it as rasper_line_bench is run.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include "bench_session.h"

int main(int argc, char** argv) {
  // A shorter run may be asked for: rasper_soak.exe COUNT.
  const int total = argc > 1 ? std::atoi(argv[1]) : 10000;
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 2;
  int rc = 1;
  {
    bench_session s;
    if (s.ready()) {
      s.device().command("seed 11");
      s.device().command("corrupt 0.01");
      s.device().command("script 16 0a0b");
      g_port->put_ConversationTimeout(100);
      auto client = make_client({0x01, 0x02});
      std::map<long, int> reasons;
      auto figures = [&](const char* when) {
        DWORD handles = 0;
        SIZE_T bytes = 0;
        if (s.rasper_figures(handles, bytes))
          std::printf("%s: Rasper has %lu handles and %lu private bytes\n", when, handles,
                      static_cast<unsigned long>(bytes));
      };
      for (int i = 1; i <= total; ++i) {
        ++reasons[converse(client.get(), 16, 3000)];
        if (i == 1000) figures("after 1,000 conversations");
      }
      Sleep(500);
      figures("at the end");
      std::printf("reasons: 0: %d, 1: %d, 2: %d, 3: %d, not ended: %d\n", reasons[0], reasons[1], reasons[2],
                  reasons[3], reasons[-1]);
      g_port->put_ConversationTimeout(10000);
      rc = reasons[-1] == 0 ? 0 : 1;
    }
  }
  CoUninitialize();
  return rc;
}
