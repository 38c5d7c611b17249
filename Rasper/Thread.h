// ZEL::TThread and its companions: the thread, event and wait-list types
// the port engine runs on.
//
// A TThread starts a thread (4096-byte stack) that marks itself running,
// calls OnStart (the port engine's threads enter the multithreaded
// apartment there) and, when that succeeds, sets the started event, runs
// Run, calls OnEnd and marks itself ended. Stop sets the stop flag (and, in
// a TTerminatableThread, the stop event) and waits for the thread without
// limit.
#pragma once

#include <objbase.h>
#include <windows.h>

#include <atomic>
#include <vector>

namespace ZEL {

// A handle closed when the object dies.
class TWaitableObject {
 public:
  TWaitableObject() noexcept = default;
  explicit TWaitableObject(HANDLE handle) noexcept : m_handle(handle) {}
  ~TWaitableObject() {
    if (m_handle) CloseHandle(m_handle);
  }
  TWaitableObject(const TWaitableObject&) = delete;
  TWaitableObject& operator=(const TWaitableObject&) = delete;
  HANDLE Handle() const noexcept { return m_handle; }

 protected:
  HANDLE m_handle = nullptr;
};

// An event (CreateEventA), manual or automatic reset.
class TEventSemaphore : public TWaitableObject {
 public:
  explicit TEventSemaphore(bool manual_reset, bool signalled = false) noexcept
      : TWaitableObject(CreateEventA(nullptr, manual_reset, signalled, nullptr)) {}
  void Set() noexcept { SetEvent(m_handle); }
  void Reset() noexcept { ResetEvent(m_handle); }
  bool IsSet() const noexcept { return WaitForSingleObject(m_handle, 0) == WAIT_OBJECT_0; }
};

// Waits for any one of a list of handles (not alertable).
class TWaitList {
 public:
  static constexpr DWORD Failed = 0xFFFFFFFF;
  static constexpr DWORD TimedOut = 0xFFFFFFFE;
  void Add(HANDLE handle);
  void Clear() noexcept { m_handles.clear(); }
  // The index of the signalled (or abandoned) handle, TimedOut or Failed.
  DWORD Wait(DWORD milliseconds) const noexcept;

 private:
  std::vector<HANDLE> m_handles;
};

class TThread {
 public:
  enum class State { NotStarted, Running, Ended, FailedToStart };

  TThread() noexcept = default;
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts the thread; false when it could not be created.
  bool Start() noexcept;
  // Waits up to `milliseconds` for the thread to have started.
  bool WaitStarted(DWORD milliseconds) const noexcept;
  virtual void Stop() noexcept;
  bool Started() const noexcept { return m_handle != nullptr; }
  State GetState() const noexcept { return m_state; }
  DWORD ExitCode() const noexcept { return m_exit_code; }

 protected:
  bool StopRequested() const noexcept { return m_stop; }
  virtual bool OnStart() noexcept { return true; }
  virtual void OnEnd() noexcept {}
  virtual DWORD Run() noexcept = 0;

 private:
  static DWORD WINAPI Routine(void* self) noexcept;

  HANDLE m_handle = nullptr;
  std::atomic<State> m_state{State::NotStarted};
  std::atomic<bool> m_stop{false};
  TEventSemaphore m_started{true};
  DWORD m_exit_code = 0;
};

// A thread with an event that Stop sets, for its body to wait on.
class TTerminatableThread : public TThread {
 public:
  void Stop() noexcept override {
    m_stop_event.Set();
    TThread::Stop();
  }
  HANDLE StopEvent() const noexcept { return m_stop_event.Handle(); }

 private:
  TEventSemaphore m_stop_event{true};
};

// A thread that lives in the multithreaded apartment.
class TComThread : public TTerminatableThread {
 protected:
  bool OnStart() noexcept override { return SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)); }
  void OnEnd() noexcept override { CoUninitialize(); }
};

}  // namespace ZEL
