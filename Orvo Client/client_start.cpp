#include "client_start.h"

#include <commctrl.h>
#include <objbase.h>

#include <vector>

#include "orvo_module.h"
#include "res/resource.h"
#include "ui_seams.h"
#include "win/loop.h"
#include "zel/errors.h"
#include "zel/frame_window.h"

namespace Orvo {
namespace {

constexpr wchar_t fatal_error_caption[] = L"Orvo Client Error";
constexpr DWORD common_control_classes = ICC_WIN95_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES;

// The UI thread's single-threaded apartment, from the first start-up step
// to the last shut-down step.
class com_apartment {
 public:
  com_apartment() {
    const HRESULT hr = ::CoInitialize(nullptr);
    if (FAILED(hr)) zel::throw_com_error(hr);
  }
  ~com_apartment() { ::CoUninitialize(); }
  com_apartment(const com_apartment&) = delete;
  com_apartment& operator=(const com_apartment&) = delete;
};

void initialize_security() {
  const HRESULT hr = ::CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_NONE,
                                            RPC_C_IMP_LEVEL_IDENTIFY, nullptr, EOAC_NONE, nullptr);
  if (FAILED(hr)) zel::throw_com_error(hr);
}

// The module from its initialisation to its termination, which stops the
// shutdown monitor before its event is closed. A start that ends early
// closes the instance mutex here.
class module_lifetime {
 public:
  explicit module_lifetime(HINSTANCE instance) {
    const HRESULT hr = _Module.Init(nullptr, instance);
    if (FAILED(hr)) zel::throw_com_error(hr);
  }
  ~module_lifetime() {
    _Module.CloseInstanceMutex();
    _Module.Term();
  }
  module_lifetime(const module_lifetime&) = delete;
  module_lifetime& operator=(const module_lifetime&) = delete;
};

// The thread's loop, registered with the module until the loop has ended.
class loop_registration {
 public:
  explicit loop_registration(WTL::CMessageLoop& loop) {
    if (!_Module.AddMessageLoop(&loop)) zel::throw_com_error(E_OUTOFMEMORY);
  }
  ~loop_registration() { _Module.RemoveMessageLoop(); }
  loop_registration(const loop_registration&) = delete;
  loop_registration& operator=(const loop_registration&) = delete;
};

void trim_working_set() noexcept {
  ::SetProcessWorkingSetSize(::GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

// A running client that answered: to the front, and out of the tray or
// the task bar when it is minimised.
void bring_to_front(HWND running) noexcept {
  ::SetForegroundWindow(running);
  if (::IsIconic(running)) ::ShowWindow(running, SW_RESTORE);
}

// The loop's part of the start: from the common controls to the end of the
// loop, then the shut-down steps up to the pause.
int run_loop(const main_window_factory& make_main_window) {
  INITCOMMONCONTROLSEX classes{sizeof classes, common_control_classes};
  if (!::InitCommonControlsEx(&classes)) return -1;
  if (!_Module.StartMonitor()) zel::throw_win32_error(::GetLastError());

  WTL::CMessageLoop loop;
  std::unique_ptr<main_window> frame;
  int result = -1;
  {
    loop_registration registered(loop);
    frame = make_main_window();
    if (const HWND main = frame ? frame->create() : nullptr) {
      _Module.Lock();  // released by the main window when it is destroyed
      if (_Module.m_show_splash && frame->session_shows_splash()) frame->open_splash();
      trim_working_set();
      result = loop.Run();
    }
    _Module.CloseInstanceMutex();
  }
  trim_working_set();
  ::Sleep(_Module.m_dwPause);
  return result;  // the main window object, then the loop, go here
}

int start(const wchar_t* command_line, HINSTANCE instance, const main_window_factory& make_main_window) {
  com_apartment apartment;
  initialize_security();
  module_lifetime module(instance);
  _Module.CreateInstanceMutex();
  _Module.ParseCommandLine(command_line);
  if (_Module.m_repair_installation) {
    try {
      _Module.RepairInstallation(INSTALLUILEVEL_BASIC, nullptr);
    } catch (const zel::basic_com_error& error) {
      show_fatal_error(error, zel::frame::load_string(IDS_INSTALL_ERROR_CAPTION).c_str());
      return -1;
    }
  }
  if (!_Module.m_allow_second_instance && _Module.InstanceMayBeRunning()) {
    if (const HWND running = _Module.FindRunningInstance()) {
      bring_to_front(running);
      return -1;
    }
  }
  return run_loop(make_main_window);
}

BOOL CALLBACK first_name(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) noexcept {
  auto* found = reinterpret_cast<std::optional<resource_name>*>(param);
  try {
    if (IS_INTRESOURCE(name)) {
      found->emplace(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    } else {
      found->emplace(std::wstring(name));
    }
  } catch (...) {
    // Without memory for the name the box goes without the icon.
  }
  return FALSE;
}

std::wstring thread_ansi_to_wide(const char* text) {
  if (!text || !*text) return std::wstring();
  const int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::vector<wchar_t> wide(static_cast<size_t>(length));
  ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, wide.data(), length);
  return std::wstring(wide.data());
}

}  // namespace

int run_client(const wchar_t* command_line, HINSTANCE instance, const main_window_factory& make_main_window) {
  try {
    return start(command_line, instance, make_main_window);
  } catch (const std::exception& error) {
    show_fatal_error(error);
    return -1;
  }
}

std::optional<resource_name> find_first_icon_group(HINSTANCE module) {
  std::optional<resource_name> found;
  ::EnumResourceNamesW(module, RT_GROUP_ICON, &first_name, reinterpret_cast<LONG_PTR>(&found));
  return found;
}

void show_fatal_error(const std::exception& error, const wchar_t* caption) {
  const std::wstring text = thread_ansi_to_wide(error.what());
  const HINSTANCE resources = _Module.GetResourceInstance();
  const std::optional<resource_name> icon = find_first_icon_group(resources);
  MSGBOXPARAMSW params{};
  params.cbSize = sizeof params;
  params.hwndOwner = ::GetActiveWindow();
  params.hInstance = resources;
  params.lpszText = text.c_str();
  params.lpszCaption = caption ? caption : fatal_error_caption;
  // The program's own icon; the system's error icon when the module has none.
  params.dwStyle = icon ? MB_USERICON : MB_ICONERROR;
  params.lpszIcon = icon ? icon->get() : nullptr;
  Orvo::message_box(params);
}

}  // namespace Orvo
