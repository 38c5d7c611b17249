// The message loop, the module, hooks and timers under wine64.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "win/hook.h"
#include "win/loop.h"
#include "win/module.h"

using testing::ElementsAre;

namespace {

void post(UINT msg, WPARAM w = 0) { ::PostThreadMessageW(::GetCurrentThreadId(), msg, w, 0); }

// A filter or idle handler that runs a function.
struct filter : WTL::CMessageFilter {
  std::function<BOOL(MSG*)> body;
  BOOL PreTranslateMessage(MSG* msg) override { return body(msg); }
};
struct idle : WTL::CIdleHandler {
  std::function<void()> body;
  BOOL OnIdle() override {
    body();
    return FALSE;
  }
};

TEST(MessageLoop, FiltersAndIdleHandlersMayRemoveThemselvesDuringTheirOwnCall) {
  WTL::CMessageLoop loop;
  std::vector<std::string> calls;
  filter once, watcher;
  idle idle_once;
  once.body = [&](MSG* msg) {
    calls.push_back("once " + std::to_string(msg->message - WM_APP));
    loop.RemoveMessageFilter(&once);
    return FALSE;
  };
  watcher.body = [&](MSG* msg) {
    if (msg->message == WM_APP + 1) ::PostQuitMessage(3);
    return FALSE;
  };
  idle_once.body = [&] {
    calls.push_back("idle");
    loop.RemoveIdleHandler(&idle_once);
    post(WM_APP + 1);
  };
  loop.AddMessageFilter(&watcher);
  loop.AddMessageFilter(&once);
  loop.AddIdleHandler(&idle_once);
  post(WM_APP);
  EXPECT_EQ(loop.Run(), 3);
  EXPECT_THAT(calls, ElementsAre("once 0", "idle"));
}

TEST(MessageLoop, AFilterThatTakesAMessageKeepsItFromEarlierFiltersAndFromDispatch) {
  WTL::CMessageLoop loop;
  std::vector<std::string> calls;
  filter first, last;
  first.body = [&](MSG* msg) {
    calls.push_back("first " + std::to_string(msg->message - WM_APP));
    if (msg->message == WM_APP + 1) ::PostQuitMessage(0);
    return FALSE;
  };
  last.body = [&](MSG* msg) {
    calls.push_back("last " + std::to_string(msg->message - WM_APP));
    return msg->message == WM_APP;
  };
  loop.AddMessageFilter(&first);
  loop.AddMessageFilter(&last);
  EXPECT_FALSE(loop.AddMessageFilter(&last));  // once only
  post(WM_APP);
  post(WM_APP + 1);
  loop.Run();
  EXPECT_THAT(calls, ElementsAre("last 0", "last 1", "first 1"));
}

TEST(MessageLoop, NestedModalRunsEndInOrder) {
  WTL::CMessageLoop loop;
  WTL::modal_run outer, inner;
  std::vector<std::string> calls;
  filter driver;
  driver.body = [&](MSG* msg) {
    switch (msg->message) {
      case WM_APP:  // inside the outer run: start the inner one
        post(WM_APP + 1);
        calls.push_back("inner returned " + std::to_string(loop.RunModal(inner)));
        return TRUE;
      case WM_APP + 1:  // the outer run is asked to end first...
        outer.end(1);
        post(WM_APP + 2);
        return TRUE;
      case WM_APP + 2:  // ...but only returns after the inner one
        calls.push_back("ending inner");
        inner.end(2);
        return TRUE;
      default:
        return FALSE;
    }
  };
  loop.AddMessageFilter(&driver);
  post(WM_APP);
  calls.push_back("outer returned " + std::to_string(loop.RunModal(outer)));
  EXPECT_THAT(calls, ElementsAre("ending inner", "inner returned 2", "outer returned 1"));
}

TEST(MessageLoop, AQuitInsideANestedRunEndsItAndTheOuterLoop) {
  WTL::CMessageLoop loop;
  WTL::modal_run nested;
  int nested_result = -1;
  filter driver;
  driver.body = [&](MSG* msg) {
    if (msg->message != WM_APP) return FALSE;
    ::PostQuitMessage(9);
    nested_result = loop.RunModal(nested);
    return TRUE;
  };
  loop.AddMessageFilter(&driver);
  post(WM_APP);
  EXPECT_EQ(loop.Run(), 9);
  EXPECT_EQ(nested_result, 9);
}

TEST(Module, EachThreadFindsItsOwnMessageLoop) {
  WTL::CAppModule module;
  ASSERT_EQ(module.Init(nullptr, ::GetModuleHandleW(nullptr)), S_OK);
  WTL::CMessageLoop loop;
  EXPECT_TRUE(module.AddMessageLoop(&loop));
  EXPECT_FALSE(module.AddMessageLoop(&loop));
  EXPECT_EQ(module.GetMessageLoop(), &loop);
  WTL::CMessageLoop* seen_elsewhere = &loop;
  std::thread([&] { seen_elsewhere = module.GetMessageLoop(); }).join();
  EXPECT_EQ(seen_elsewhere, nullptr);
  EXPECT_TRUE(module.RemoveMessageLoop());
  EXPECT_EQ(module.GetMessageLoop(), nullptr);
  module.Term();
}

TEST(Module, TheShutdownMonitorEndsTheMainLoopOnceTheLastLockHasGoneForTheTimeOut) {
  WTL::CServerAppModule module;
  ASSERT_EQ(module.Init(nullptr, ::GetModuleHandleW(nullptr)), S_OK);
  module.m_dwTimeOut = 50;
  ASSERT_TRUE(module.StartMonitor());
  module.Lock();
  module.Lock();
  module.Unlock();
  EXPECT_FALSE(module.m_bActivity);  // one lock is still held
  module.Unlock();
  EXPECT_TRUE(module.m_bActivity);
  const DWORD start = ::GetTickCount();
  WTL::CMessageLoop loop;
  EXPECT_EQ(loop.Run(), 0);  // WM_QUIT from the monitor
  EXPECT_GE(::GetTickCount() - start, 40u);
  module.Term();
}

TEST(Module, SettingsChangesReachTheListedWindows) {
  WTL::CAppModule module;
  ASSERT_EQ(module.Init(nullptr, ::GetModuleHandleW(nullptr)), S_OK);
  HWND listener = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  int heard = 0;
  WTL::thread_hook hook;
  hook.install(WH_CALLWNDPROC, [&](int, WPARAM, LPARAM lParam, LRESULT&) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call->hwnd == listener && call->message == WM_SYSCOLORCHANGE) ++heard;
    return false;
  });
  ASSERT_TRUE(module.AddSettingChangeNotify(listener));
  ::SendMessageW(::FindWindowW(L"Orvo.SettingChangeNotify", nullptr), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(heard, 1);
  module.RemoveSettingChangeNotify(listener);
  ::SendMessageW(::FindWindowW(L"Orvo.SettingChangeNotify", nullptr), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(heard, 1);
  module.Term();
  EXPECT_EQ(::FindWindowW(L"Orvo.SettingChangeNotify", nullptr), nullptr);
  ::DestroyWindow(listener);
}

TEST(Hooks, HooksOfOneKindAreCalledNewestFirstAndMayRemoveThemselves) {
  std::vector<std::string> calls;
  WTL::thread_hook older, newer;
  ASSERT_TRUE(older.install(WH_GETMESSAGE, [&](int, WPARAM, LPARAM lParam, LRESULT&) {
    if (reinterpret_cast<const MSG*>(lParam)->message == WM_APP) calls.push_back("older");
    return false;
  }));
  ASSERT_TRUE(newer.install(WH_GETMESSAGE, [&](int, WPARAM, LPARAM lParam, LRESULT&) {
    if (reinterpret_cast<const MSG*>(lParam)->message != WM_APP) return false;
    calls.push_back("newer");
    newer.remove();
    return false;
  }));
  EXPECT_FALSE(newer.install(WH_GETMESSAGE, [](int, WPARAM, LPARAM, LRESULT&) { return false; }));
  MSG msg;
  post(WM_APP);
  ::GetMessageW(&msg, nullptr, 0, 0);
  post(WM_APP);
  ::GetMessageW(&msg, nullptr, 0, 0);
  EXPECT_THAT(calls, ElementsAre("newer", "older", "older"));
  EXPECT_FALSE(newer.installed());
}

TEST(Timers, AWindowlessTimerTicksInTheLoopUntilItStopsItself) {
  WTL::windowless_timer timer;
  int ticks = 0;
  ASSERT_TRUE(timer.start(10, [&] {
    if (++ticks == 3) {
      timer.stop();
      ::PostQuitMessage(0);
    }
  }));
  WTL::CMessageLoop().Run();
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(timer.running());
}

}  // namespace
