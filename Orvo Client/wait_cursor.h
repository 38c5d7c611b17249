// wait_cursor: the wait cursor for a scope's length; the cursor shown
// before comes back when the scope ends, also by an exception.
#pragma once

#include <windows.h>

class wait_cursor {
 public:
  wait_cursor() noexcept : m_previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
  ~wait_cursor() { ::SetCursor(m_previous); }
  wait_cursor(const wait_cursor&) = delete;
  wait_cursor& operator=(const wait_cursor&) = delete;

 private:
  HCURSOR m_previous;
};
