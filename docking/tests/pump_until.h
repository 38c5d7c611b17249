// Window tests wait for what the system delivers, never for a time alone.
#pragma once

#include <windows.h>

namespace orvo::testing {

// Dispatches messages until `done` holds; false when the system delivers
// nothing more for two seconds and it still does not.
template <class Pred>
bool PumpUntil(Pred done) {
  for (int idle = 0; idle < 40 && !done(); ++idle) {
    MSG msg;
    if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT) == WAIT_TIMEOUT) continue;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
      idle = 0;
    }
  }
  return done();
}

}  // namespace orvo::testing
