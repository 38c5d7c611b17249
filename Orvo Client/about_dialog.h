// The About box: a pop-up window over the main frame that hosts the About
// page (HTML resource 312). The page reaches the window through its own
// dispatch object (Resize, DoClose, Version, Date, Time, Implemented); it
// calls Resize once it is loaded, which sizes the window to the page's
// "MainTable" and shows it. While the box is open its owner is disabled
// and a nested loop runs; closing the box enables the owner again (unless
// it was disabled before) and ends that loop.
//
//   show_about_box(main_window);   // returns when the box is closed
#pragma once

#include <windows.h>

#include <memory>

#include "com/ptr.h"
#include "external_dispatch.h"
#include "page_host.h"
#include "version_info.h"
#include "win/loop.h"
#include "win/window_impl.h"

using about_dialog_traits = WTL::CWinTraits<WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                            WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE>;

// A nested run of the thread's message loop: the filters and idle handlers
// of the main loop keep working. It ends when `end()` is called; a quit
// message ends it too and is left for the outer loop.
class local_message_loop {
 public:
  local_message_loop();
  // Runs until end() or WM_QUIT; returns the quit code or 0.
  int run();
  void end() noexcept { m_run.end(0); }

 private:
  WTL::CMessageLoop* m_loop;
  std::unique_ptr<WTL::CMessageLoop> m_own;  // when the thread has no loop of its own
  WTL::modal_run m_run;
};

class about_dialog : public WTL::CWindowImpl<about_dialog, WTL::CWindow, about_dialog_traits>,
                     public WTL::CMessageFilter {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.AboutBox", CS_HREDRAW | CS_VREDRAW, COLOR_WINDOW + 1}; }

  about_dialog();
  ~about_dialog() override;

  // The open box of this process, or null.
  static about_dialog* current() noexcept;

  // Creates the window (hidden until its page calls Resize) owned by `owner`.
  HWND create(HWND owner) noexcept;
  // Runs the nested loop until the window is gone (or the thread quits).
  void run_loop();

  // What the page calls.
  void Resize();
  void DoClose();

  BOOL PreTranslateMessage(MSG* message) override;

  BEGIN_MSG_MAP(about_dialog)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);

 private:
  void register_names();
  void release_page() noexcept;
  // Enables the owner again (unless it was disabled before) and brings it to the top; once.
  void give_owner_back() noexcept;

  std::unique_ptr<Orvo::page_host> m_host;
  orvo::com::ptr<IDispatch> m_external_object;
  Orvo::external_dispatch* m_external = nullptr;
  Orvo::version_data m_version;
  WTL::CMessageLoop* m_loop = nullptr;
  local_message_loop* m_running = nullptr;
  HWND m_owner = nullptr;
  bool m_owner_was_enabled = false;
  bool m_shown = false;
};

// Opens the About box over `owner` and returns once it is closed; when a
// box is already open it is brought to the front instead.
void show_about_box(HWND owner);
