// The process-wide module of a UI program.
//
//   WTL::CAppModule _Module;                 // one global instance
//   _Module.Init(nullptr, hInstance);
//   WTL::CMessageLoop loop;
//   _Module.AddMessageLoop(&loop);
//   ... loop.Run() ...
//   _Module.RemoveMessageLoop();
//   _Module.Term();
//
// CAppModule keeps the main thread, the instance (resources and window
// classes), the message loop of each UI thread, the lock count and the
// windows that hear settings changes. CServerAppModule adds the shutdown
// monitor of a program that also serves COM objects: a thread that ends
// the main thread's loop once the lock count has stayed at zero for the
// time-out, and the class objects it has registered.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <map>
#include <mutex>
#include <vector>

namespace WTL {

class CMessageLoop;

class CAppModule {
 public:
  DWORD m_dwMainThreadID = 0;

  CAppModule() = default;
  CAppModule(const CAppModule&) = delete;
  CAppModule& operator=(const CAppModule&) = delete;
  virtual ~CAppModule() = default;

  // objectMap and libid are kept for the server's class objects and its
  // type library; a UI program passes null. E_OUTOFMEMORY when the loop
  // map cannot be made.
  HRESULT Init(const void* objectMap, HINSTANCE instance, const GUID* libid = nullptr) noexcept;
  // Destroys the settings-change windows, frees the loop map.
  virtual void Term() noexcept;

  HINSTANCE GetModuleInstance() const noexcept { return m_instance; }
  HINSTANCE GetResourceInstance() const noexcept { return m_instance; }

  // One loop per thread; the map is guarded, loops are added and removed
  // by their own threads.
  BOOL AddMessageLoop(CMessageLoop* loop) noexcept;
  BOOL RemoveMessageLoop() noexcept;
  CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const noexcept;

  // Windows that receive WM_SETTINGCHANGE and WM_SYSCOLORCHANGE as sent to
  // top-level windows (child windows do not get them from the system).
  BOOL AddSettingChangeNotify(HWND hWnd) noexcept;
  BOOL RemoveSettingChangeNotify(HWND hWnd) noexcept;

  virtual LONG Lock() noexcept { return ++m_lockCount; }
  virtual LONG Unlock() noexcept { return --m_lockCount; }
  LONG GetLockCount() const noexcept { return m_lockCount; }

 protected:
  std::atomic<LONG> m_lockCount{0};

 private:
  static LRESULT CALLBACK settings_proc(HWND, UINT, WPARAM, LPARAM);

  HINSTANCE m_instance = nullptr;
  mutable std::mutex m_guard;
  std::map<DWORD, CMessageLoop*>* m_loops = nullptr;
  HWND m_settingsWindow = nullptr;
  std::vector<HWND> m_settingsListeners;
};

class CServerAppModule : public CAppModule {
 public:
  HANDLE m_hEventShutdown = nullptr;
  DWORD m_dwTimeOut = 5000;  // ms the lock count must stay at zero
  DWORD m_dwPause = 1000;    // ms the program sleeps after its loop ended
  std::atomic<bool> m_bActivity{false};

  ~CServerAppModule() override;

  // Starts the shutdown monitor; false when its event or thread cannot be made.
  bool StartMonitor() noexcept;
  // The monitor's thread body (see the class comment).
  void MonitorShutdown() noexcept;

  LONG Unlock() noexcept override;

  // Registers a class object and keeps it for RevokeClassObjects.
  HRESULT RegisterClassObject(REFCLSID clsid, IUnknown* factory, DWORD context, DWORD flags) noexcept;
  void RevokeClassObjects() noexcept;

  // Stops the monitor (without ending the loop), closes the shutdown event,
  // revokes the class objects.
  void Term() noexcept override;

 private:
  static DWORD WINAPI monitor_thread(LPVOID self);
  HANDLE m_monitor = nullptr;
  std::atomic<bool> m_stopMonitor{false};
  std::vector<DWORD> m_classObjects;
};

}  // namespace WTL
