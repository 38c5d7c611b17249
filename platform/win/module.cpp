#include "module.h"

#include <algorithm>
#include <new>

#include "window_traits.h"

namespace WTL {

HRESULT CAppModule::Init(const void*, HINSTANCE instance, const GUID*) noexcept {
  m_instance = instance;
  set_resource_instance(instance);
  m_dwMainThreadID = ::GetCurrentThreadId();
  std::lock_guard<std::mutex> hold(m_guard);
  if (!m_loops) m_loops = new (std::nothrow) std::map<DWORD, CMessageLoop*>;
  return m_loops ? S_OK : E_OUTOFMEMORY;
}

void CAppModule::Term() noexcept {
  if (m_settingsWindow) ::DestroyWindow(m_settingsWindow);
  m_settingsWindow = nullptr;
  m_settingsListeners.clear();
  std::lock_guard<std::mutex> hold(m_guard);
  delete m_loops;
  m_loops = nullptr;
}

BOOL CAppModule::AddMessageLoop(CMessageLoop* loop) noexcept {
  std::lock_guard<std::mutex> hold(m_guard);
  if (!m_loops || !loop) return FALSE;
  try {
    return m_loops->emplace(::GetCurrentThreadId(), loop).second;
  } catch (...) {
    return FALSE;
  }
}

BOOL CAppModule::RemoveMessageLoop() noexcept {
  std::lock_guard<std::mutex> hold(m_guard);
  return m_loops && m_loops->erase(::GetCurrentThreadId()) ? TRUE : FALSE;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) const noexcept {
  std::lock_guard<std::mutex> hold(m_guard);
  if (!m_loops) return nullptr;
  auto found = m_loops->find(threadId);
  return found == m_loops->end() ? nullptr : found->second;
}

LRESULT CALLBACK CAppModule::settings_proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_SETTINGCHANGE || uMsg == WM_SYSCOLORCHANGE) {
    auto* self = reinterpret_cast<CAppModule*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self) {
      const std::vector<HWND> listeners = self->m_settingsListeners;
      for (HWND listener : listeners) ::SendMessageW(listener, uMsg, wParam, lParam);
    }
    return 0;
  }
  return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

BOOL CAppModule::AddSettingChangeNotify(HWND hWnd) noexcept {
  if (!::IsWindow(hWnd)) return FALSE;
  if (!m_settingsWindow) {
    static const wchar_t name[] = L"Orvo.SettingChangeNotify";
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = settings_proc;
    wc.hInstance = resource_instance();
    wc.lpszClassName = name;
    ::RegisterClassExW(&wc);  // fails harmlessly when registered already
    // A hidden top-level window: the system sends settings changes only to those.
    m_settingsWindow =
        ::CreateWindowExW(0, name, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, resource_instance(), nullptr);
    if (!m_settingsWindow) return FALSE;
    ::SetWindowLongPtrW(m_settingsWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  try {
    if (std::find(m_settingsListeners.begin(), m_settingsListeners.end(), hWnd) == m_settingsListeners.end()) {
      m_settingsListeners.push_back(hWnd);
    }
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

BOOL CAppModule::RemoveSettingChangeNotify(HWND hWnd) noexcept {
  auto found = std::find(m_settingsListeners.begin(), m_settingsListeners.end(), hWnd);
  if (found == m_settingsListeners.end()) return FALSE;
  m_settingsListeners.erase(found);
  return TRUE;
}

CServerAppModule::~CServerAppModule() { CServerAppModule::Term(); }

LONG CServerAppModule::Unlock() noexcept {
  const LONG count = --m_lockCount;
  if (count == 0) {
    m_bActivity = true;
    if (m_hEventShutdown) ::SetEvent(m_hEventShutdown);
  }
  return count;
}

DWORD WINAPI CServerAppModule::monitor_thread(LPVOID self) {
  static_cast<CServerAppModule*>(self)->MonitorShutdown();
  return 0;
}

bool CServerAppModule::StartMonitor() noexcept {
  if (m_monitor) return true;
  if (!m_hEventShutdown) m_hEventShutdown = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!m_hEventShutdown) return false;
  m_stopMonitor = false;
  m_monitor = ::CreateThread(nullptr, 0, &monitor_thread, this, 0, nullptr);
  return m_monitor != nullptr;
}

void CServerAppModule::MonitorShutdown() noexcept {
  for (;;) {
    ::WaitForSingleObject(m_hEventShutdown, INFINITE);
    if (m_stopMonitor) return;
    DWORD wait;
    do {
      m_bActivity = false;
      wait = ::WaitForSingleObject(m_hEventShutdown, m_dwTimeOut);
      if (m_stopMonitor) return;
    } while (wait == WAIT_OBJECT_0);
    if (!m_bActivity && m_lockCount == 0) {
      ::CoSuspendClassObjects();
      if (!m_bActivity && m_lockCount == 0) break;
    }
  }
  ::PostThreadMessageW(m_dwMainThreadID, WM_QUIT, 0, 0);
}

HRESULT CServerAppModule::RegisterClassObject(REFCLSID clsid, IUnknown* factory, DWORD context, DWORD flags) noexcept {
  DWORD cookie = 0;
  HRESULT hr = ::CoRegisterClassObject(clsid, factory, context, flags, &cookie);
  if (FAILED(hr)) return hr;
  try {
    m_classObjects.push_back(cookie);
  } catch (...) {
    ::CoRevokeClassObject(cookie);
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

void CServerAppModule::RevokeClassObjects() noexcept {
  for (DWORD cookie : m_classObjects) ::CoRevokeClassObject(cookie);
  m_classObjects.clear();
}

void CServerAppModule::Term() noexcept {
  if (m_monitor) {
    m_stopMonitor = true;
    ::SetEvent(m_hEventShutdown);
    ::WaitForSingleObject(m_monitor, INFINITE);
    ::CloseHandle(m_monitor);
    m_monitor = nullptr;
  }
  if (m_hEventShutdown) ::CloseHandle(m_hEventShutdown);
  m_hEventShutdown = nullptr;
  RevokeClassObjects();
  CAppModule::Term();
}

}  // namespace WTL
