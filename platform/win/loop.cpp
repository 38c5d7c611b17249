#include "loop.h"

#include "binding.h"

namespace WTL {

void modal_run::end(int result) noexcept {
  m_ended = true;
  m_result = result;
  // Wakes a run that waits in GetMessage.
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

int CMessageLoop::Run() { return pump(nullptr); }

int CMessageLoop::RunModal(modal_run& run) { return pump(&run); }

int CMessageLoop::pump(modal_run* run) {
  bool idle = true;
  int idleCount = 0;
  MSG msg{};
  for (;;) {
    while (idle && !(run && run->ended()) && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = false;
    }
    if (run && run->ended()) return run->result();
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) continue;
    if (!got) {
      const int code = static_cast<int>(msg.wParam);
      if (run) ::PostQuitMessage(code);
      return code;
    }
    if (!PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (IsIdleMessage(&msg)) {
      idle = true;
      idleCount = 0;
    }
  }
}

BOOL CMessageLoop::PreTranslateMessage(MSG* pMsg) {
  return m_filters.any_last_first([pMsg](CMessageFilter* filter) {
    try {
      return filter->PreTranslateMessage(pMsg) != FALSE;
    } catch (...) {
      detail::log_current_exception("message filter");
      return false;
    }
  });
}

BOOL CMessageLoop::OnIdle(int) {
  m_idle.each([](CIdleHandler* handler) {
    try {
      handler->OnIdle();
    } catch (...) {
      detail::log_current_exception("idle handler");
    }
  });
  return FALSE;
}

// Mouse moves, paints, the caret's blink timer and the loop's own wake-up
// come too often to rerun the idle handlers after each.
BOOL CMessageLoop::IsIdleMessage(const MSG* pMsg) noexcept {
  switch (pMsg->message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case 0x0118:  // the caret's blink timer
    case WM_NULL:
      return FALSE;
    default:
      return TRUE;
  }
}

}  // namespace WTL
