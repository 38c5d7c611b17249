// Orvo Client.exe: the program's entry runs the client's start and end
// around its main frame.
#include <windows.h>

#include <memory>

#include "client_start.h"
#include "main_frame.h"
#include "splash_win.h"

namespace {

// The main frame as the start-up creates it: hidden, with the title, menu
// and accelerators of resource 128; it shows itself once created.
class frame_window final : public Orvo::main_window {
 public:
  HWND create() override { return m_frame.CreateEx(); }
  bool session_shows_splash() const override { return m_frame.m_session.m_show_spashscreen; }
  // The splash closes itself; when its window cannot be made there is none.
  void open_splash() override { CSplashWin::create(m_frame.m_hWnd, {&m_frame, m_frame.m_hWndClient}); }

 private:
  CMainFrame m_frame;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  return Orvo::run_client(::GetCommandLineW(), instance, [] { return std::make_unique<frame_window>(); });
}
