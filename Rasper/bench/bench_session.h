// The line benchmark's and the soak program's session: Rasper started by
// COM with its port on the simulated device, the test class inside
// Rasper's process, and Rasper's own figures.
#pragma once

#include <windows.h>

#include "../tests/line_session.h"

class bench_session {
 public:
  bench_session();
  ~bench_session();
  bool ready() const noexcept { return m_helper != nullptr; }
  line_device& device() { return *g_device; }

  // Milliseconds for n conversations run by the client inside Rasper
  // (negative when one did not complete).
  double helper_conversations(int n);
  // Milliseconds from the first to the last of n device packets sent back
  // to back and answered inside Rasper (negative when some were missed).
  double helper_device_exchanges(int n);
  // Milliseconds for n conversations run by a client in this process.
  double own_conversations(int n);

  // Rasper's open handles and private bytes.
  bool rasper_figures(DWORD& handles, SIZE_T& private_bytes);

 private:
  double invoke(DISPID id, VARIANT* args, UINT count);
  IDispatch* m_helper = nullptr;
};
