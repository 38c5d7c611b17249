// Window tests wait for what the system delivers, never for a time alone.
#pragma once

#include <windows.h>

namespace orvo::testing {

// Dispatches messages until `done` holds; false when the system delivers
// nothing more for two seconds and it still does not. The queue is drained
// before each wait and the wait counts input already seen (a GetQueueStatus
// in `done` marks queued input as old, which a plain wait would ignore).
template <class Pred>
bool PumpUntil(Pred done) {
  for (int idle = 0; idle < 40 && !done(); ++idle) {
    MSG msg;
    bool any = false;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
      any = true;
    }
    if (any) {
      idle = -1;
      continue;
    }
    ::MsgWaitForMultipleObjectsEx(0, nullptr, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  return done();
}

}  // namespace orvo::testing
