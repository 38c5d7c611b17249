// The splash window and the About box over the real web browser control.
// No page renders on these machines, so the pages never call back: there
// is no splash and no About box, and the program goes on.
#include <gtest/gtest.h>

#include "about_dialog.h"
#include "com/module.h"
#include "orvo_module.h"
#include "splash_win.h"
#include "win/ax_host.h"

namespace {

TEST(BrowserControl, WithoutRenderingThereIsNoSplashAndNoAboutBoxAndTheOwnerStaysUsable) {
  WTL::CMessageLoop loop;
  _Module.AddMessageLoop(&loop);
  HWND owner = ::CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
  CSplashWin::create(owner, {});
  MSG msg;
  for (int i = 0; i < 50; ++i) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::Sleep(10);
  }
  HWND splash = ::FindWindowW(L"Orvo.SplashWindow", nullptr);
  EXPECT_TRUE(!splash || !::IsWindowVisible(splash));
  show_about_box(owner);  // returns: no page will ever close it otherwise
  EXPECT_EQ(::FindWindowW(L"Orvo.AboutBox", nullptr), nullptr);
  EXPECT_TRUE(::IsWindowEnabled(owner));
  if (splash) ::DestroyWindow(splash);
  ::DestroyWindow(owner);
  _Module.RemoveMessageLoop();
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  _Module.Init(nullptr, ::GetModuleHandleW(nullptr));
  const int result = RUN_ALL_TESTS();
  _Module.Term();
  ::CoUninitialize();
  return result;
}
