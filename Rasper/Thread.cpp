#include "Thread.h"

#include <objbase.h>

namespace ZEL {

void TWaitList::Add(HANDLE handle) {
  // Grows in steps of eight handles.
  if (m_handles.size() == m_handles.capacity()) m_handles.reserve(m_handles.size() + 8);
  m_handles.push_back(handle);
}

DWORD TWaitList::Wait(DWORD milliseconds) const noexcept {
  const DWORD n = static_cast<DWORD>(m_handles.size());
  const DWORD r = WaitForMultipleObjectsEx(n, m_handles.data(), FALSE, milliseconds, FALSE);
  if (r == WAIT_TIMEOUT) return TimedOut;
  if (r < WAIT_OBJECT_0 + n) return r - WAIT_OBJECT_0;
  if (r >= WAIT_ABANDONED_0 && r < WAIT_ABANDONED_0 + n) return r - WAIT_ABANDONED_0;
  return Failed;
}

TThread::~TThread() {
  if (m_handle) CloseHandle(m_handle);
}

bool TThread::Start() noexcept {
  if (m_handle) return true;
  m_stop = false;
  m_handle = CreateThread(nullptr, 4096, &Routine, this, 0, nullptr);
  if (!m_handle) m_state = State::FailedToStart;
  return m_handle != nullptr;
}

bool TThread::WaitStarted(DWORD milliseconds) const noexcept {
  HANDLE handles[2] = {m_started.Handle(), m_handle};
  // A thread that ends before it has started never will.
  return m_handle && WaitForMultipleObjects(2, handles, FALSE, milliseconds) == WAIT_OBJECT_0;
}

void TThread::Stop() noexcept {
  m_stop = true;
  if (m_handle) WaitForSingleObject(m_handle, INFINITE);
}

DWORD WINAPI TThread::Routine(void* p) noexcept {
  auto* self = static_cast<TThread*>(p);
  self->m_state = State::Running;
  if (!self->OnStart()) {
    self->m_state = State::FailedToStart;
    return self->m_exit_code = 1;
  }
  self->m_started.Set();
  self->m_exit_code = self->Run();
  self->OnEnd();
  self->m_state = State::Ended;
  return self->m_exit_code;
}

}  // namespace ZEL
