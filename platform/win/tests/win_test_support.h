// What the window-layer tests share: a hidden parent window, pumping the
// queue, and the exception log of the run.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace orvo::testing {

// Dispatches every message waiting in this thread's queue.
void pump_messages();

// Collects what the layer's catch-all logs while it lives.
class exception_log {
 public:
  exception_log();
  ~exception_log();
  const std::vector<std::string>& entries() const;
};

// A plain top-level window of a system class, destroyed with the object.
class scratch_window {
 public:
  scratch_window();
  ~scratch_window();
  operator HWND() const noexcept { return m_hWnd; }

 private:
  HWND m_hWnd;
};

}  // namespace orvo::testing
