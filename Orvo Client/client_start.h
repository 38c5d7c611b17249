// The start and the end of the client's process: the start-up steps from
// COM to the message loop, the shut-down steps after it, and the boxes
// that report a failed start.
//
//   int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
//     return Orvo::run_client(::GetCommandLineW(), instance, [] { return std::make_unique<frame_window>(); });
//   }
//
// Exit codes: the loop's result (the main frame quits with 0), or -1 when
// the start ends early: after a fatal-error box (a failed start-up step or
// an exception from the loop), after the installation error box (a failed
// repair), or silently (common controls or the main window cannot be made;
// a running client answered and was brought to the front).
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace Orvo {

// The main window as the start-up sees it. The object lives from the
// start-up step that creates it until after the loop and the pause.
class main_window {
 public:
  virtual ~main_window() = default;
  // Creates the window (hidden; it shows itself); null when it cannot be made.
  virtual HWND create() = 0;
  // Whether the session the window loaded asks for the splash screen.
  virtual bool session_shows_splash() const = 0;
  // Opens the splash window over the created window; a window that cannot
  // be made leaves the start going on without it.
  virtual void open_splash() {}
};
using main_window_factory = std::function<std::unique_ptr<main_window>()>;

// Runs the client on `command_line` (the whole line, the program's path
// first) and returns its exit code.
int run_client(const wchar_t* command_line, HINSTANCE instance, const main_window_factory& make_main_window);

// The first icon-group resource of a module in the system's enumeration
// order (named ones, then numbered ones): its number or its name.
class resource_name {
 public:
  explicit resource_name(WORD id) : m_id(id) {}
  explicit resource_name(std::wstring name) : m_name(std::move(name)) {}
  // What resource functions take: MAKEINTRESOURCE of the number, or the name.
  const wchar_t* get() const noexcept { return m_name.empty() ? MAKEINTRESOURCEW(m_id) : m_name.c_str(); }

 private:
  WORD m_id = 0;
  std::wstring m_name;
};
std::optional<resource_name> find_first_icon_group(HINSTANCE module);

// The fatal-error box: the exception's text (ANSI code page of the thread)
// under `caption`, or "Orvo Client Error" without one, with the module's
// first icon and an OK button, owned by the active window.
void show_fatal_error(const std::exception& error, const wchar_t* caption = nullptr);

}  // namespace Orvo
