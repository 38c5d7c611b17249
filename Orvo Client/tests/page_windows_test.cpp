// The splash window and the About box over a page host that shows no page:
// what they ask of the host, how the page's calls size, show and close
// them, their loops, and their window.external objects scripted in process
// by JScript as the pages script them.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <chrono>
#include <functional>
#include <regex>
#include <stdexcept>
#include <string>

#include "about_dialog.h"
#include "about_resources.h"
#include "com/module.h"
#include "core/about_rules.h"
#include "external_dispatch.h"
#include "orvo_module.h"
#include "page_host_double.h"
#include "script_runner.h"
#include "splash_win.h"
#include "wrapper_dispatch.h"
#include "zel/errors.h"

namespace {

using orvo::testing::page_host_record;
using orvo::testing::run_jscript;

class Environment : public ::testing::Environment {
 public:
  void SetUp() override {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    _Module.Init(nullptr, ::GetModuleHandleW(nullptr));
  }
  void TearDown() override {
    _Module.Term();
    ::CoUninitialize();
  }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new Environment);

// A top-level window standing for the main frame: 0xE140 opens the About
// box over it, its destruction ends the loop with 0 (as the tray's Exit does).
class test_frame {
 public:
  explicit test_frame(bool visible) {
    WNDCLASSW cls = {};
    cls.lpfnWndProc = procedure;
    cls.hInstance = ::GetModuleHandleW(nullptr);
    cls.lpszClassName = L"Orvo.Test.Frame";
    ::RegisterClassW(&cls);
    m_hWnd = ::CreateWindowExW(0, cls.lpszClassName, L"frame", WS_OVERLAPPEDWINDOW, 100, 80, 640, 560, nullptr, nullptr,
                               cls.hInstance, nullptr);
    if (visible) ::ShowWindow(m_hWnd, SW_SHOW);
  }
  ~test_frame() {
    if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  }
  operator HWND() const noexcept { return m_hWnd; }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == 0xE140) {
      show_about_box(window);
      return 0;
    }
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  HWND m_hWnd;
};

class PageWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    _Module.AddMessageLoop(&loop);
    baseline = orvo::com::module::active_count();
  }
  void TearDown() override {
    for (HWND w = find(L"Orvo.SplashWindow"); w; w = find(L"Orvo.SplashWindow")) ::DestroyWindow(w);
    pump_for(50);
    MSG quit;
    while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    _Module.RemoveMessageLoop();
  }

  static HWND find(const wchar_t* cls) { return ::FindWindowW(cls, nullptr); }

  // Pumps the thread's queue through the loop's filters until `done` or the time is up.
  bool pump_until(const std::function<bool()>& done, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        if (!loop.PreTranslateMessage(&msg)) {
          ::TranslateMessage(&msg);
          ::DispatchMessageW(&msg);
        }
      }
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
  }
  void pump_for(int ms) {
    pump_until([] { return false; }, ms);
  }

  static std::wstring js(page_host_record& page, const std::wstring& code) {
    const auto r = run_jscript(page.external.get(), code);
    EXPECT_EQ(r.parse, S_OK) << std::string(code.begin(), code.end());
    EXPECT_EQ(r.error, S_OK) << std::string(code.begin(), code.end());
    return r.value;
  }

  static RECT window_rect(HWND w) {
    RECT r = {};
    ::GetWindowRect(w, &r);
    return r;
  }
  static SIZE client_size(HWND w) {
    RECT r = {};
    ::GetClientRect(w, &r);
    return {r.right, r.bottom};
  }
  static RECT work_area() {
    RECT r = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
  }
  // Whether `w` is centred over `area` (to the pixel of integer halving).
  static void expect_centred(HWND w, const RECT& area) {
    const RECT r = window_rect(w);
    const Orvo::point p =
        Orvo::centred_in(r.right - r.left, r.bottom - r.top, area.left, area.top, area.right, area.bottom);
    EXPECT_EQ(r.left, p.x);
    EXPECT_EQ(r.top, p.y);
  }

  WTL::CMessageLoop loop;
  orvo::testing::page_host_double host;
  long baseline = 0;
};

// --- the splash window -------------------------------------------------------

TEST_F(PageWindows, TheSplashStartsHiddenWithItsStylesAndLoadsTheSplashPageWithoutContextMenu) {
  test_frame owner(false);
  CSplashWin* splash = CSplashWin::create(owner, {});
  ASSERT_NE(splash, nullptr);
  HWND w = find(L"Orvo.SplashWindow");
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(::IsWindowVisible(w));
  EXPECT_EQ(::GetWindow(w, GW_OWNER), owner);
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(w, GWL_STYLE));
  const DWORD ex = static_cast<DWORD>(::GetWindowLongPtrW(w, GWL_EXSTYLE));
  EXPECT_EQ(style & (WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION),
            DWORD(WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
  EXPECT_EQ(ex & (WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE),
            DWORD(WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE));
  ASSERT_EQ(host.hosts.size(), 1u);
  const page_host_record& page = *host.hosts[0];
  EXPECT_EQ(page.parent, w);
  wchar_t program[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, program, MAX_PATH);
  ASSERT_EQ(page.urls.size(), 1u);
  EXPECT_EQ(page.urls[0], L"res://" + std::wstring(program) + L"/SPLASH.HTML");
  EXPECT_EQ(page.flags, 0x8u);
  EXPECT_FALSE(page.context_menu);
  EXPECT_TRUE(page.external);
  ::DestroyWindow(w);
  EXPECT_TRUE(host.hosts[0]->destroyed);
  EXPECT_FALSE(loop.RemoveMessageFilter(splash));  // it took itself out
  EXPECT_EQ(orvo::com::module::active_count(), baseline);
}

TEST_F(PageWindows, DoSplashGivesTheClientTheTablesSizeCentredInTheWorkAreaTopmostAndShownOnlyOnce) {
  test_frame owner(false);
  host.on_load = [&](page_host_record& page) { js(page, L"external.DoSplash()"); };
  ASSERT_NE(CSplashWin::create(owner, {}), nullptr);
  HWND w = find(L"Orvo.SplashWindow");
  ASSERT_TRUE(pump_until([&] { return ::IsWindowVisible(w) != FALSE; }));
  const SIZE client = client_size(w);
  EXPECT_EQ(client.cx, 420);
  EXPECT_EQ(client.cy, 466);
  expect_centred(w, work_area());
  EXPECT_TRUE(::GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);

  // Once shown it keeps its size and place: a second DoSplash changes
  // nothing and the size limits are the window's own.
  ::SetWindowPos(w, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  js(*host.hosts[0], L"external.DoSplash()");
  EXPECT_EQ(window_rect(w).left, 10);
  EXPECT_EQ(window_rect(w).top, 20);
  MINMAXINFO limits = {};
  ::SendMessageW(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  const RECT r = window_rect(w);
  for (const POINT& p : {limits.ptMaxSize, limits.ptMinTrackSize, limits.ptMaxTrackSize}) {
    EXPECT_EQ(p.x, r.right - r.left);
    EXPECT_EQ(p.y, r.bottom - r.top);
  }
  EXPECT_EQ(limits.ptMaxPosition.x, 10);
  EXPECT_EQ(limits.ptMaxPosition.y, 20);

  // Any timer message closes it.
  ::SendMessageW(w, WM_TIMER, 1, 0);
  EXPECT_FALSE(::IsWindowVisible(w));
  ASSERT_TRUE(pump_until([&] { return !::IsWindow(w); }));
  EXPECT_EQ(orvo::com::module::active_count(), baseline);
}

TEST_F(PageWindows, OverAVisibleOwnerTheSplashIsCentredOnTheOwner) {
  test_frame owner(true);
  host.on_load = [&](page_host_record& page) { js(page, L"external.DoSplash()"); };
  ASSERT_NE(CSplashWin::create(owner, {}), nullptr);
  HWND w = find(L"Orvo.SplashWindow");
  ASSERT_TRUE(pump_until([&] { return ::IsWindowVisible(w) != FALSE; }));
  expect_centred(w, window_rect(owner));
}

TEST_F(PageWindows, EscapeClosesTheSplashThroughTheLoopButNotWhenItIsMeantForAnotherWindow) {
  test_frame owner(true);
  host.on_load = [&](page_host_record& page) { js(page, L"external.DoSplash()"); };
  CSplashWin* splash = CSplashWin::create(owner, {});
  HWND w = find(L"Orvo.SplashWindow");
  ASSERT_TRUE(pump_until([&] { return ::IsWindowVisible(w) != FALSE; }));
  ::PostMessageW(owner, WM_KEYDOWN, VK_ESCAPE, 0);
  pump_for(200);
  EXPECT_TRUE(::IsWindowVisible(w));
  EXPECT_EQ(host.hosts[0]->forwarded, 0);
  ::PostMessageW(w, WM_KEYDOWN, 'A', 0);  // its own other keys go to the control
  pump_for(100);
  EXPECT_GT(host.hosts[0]->forwarded, 0);
  EXPECT_TRUE(::IsWindowVisible(w));
  ::PostMessageW(w, WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(pump_until([&] { return !::IsWindow(w); }));
  EXPECT_FALSE(loop.RemoveMessageFilter(splash));
  EXPECT_EQ(orvo::com::module::active_count(), baseline);
}

TEST_F(PageWindows, ThePagesCloseLinkClosesTheSplash) {
  test_frame owner(false);
  host.on_load = [&](page_host_record& page) { js(page, L"external.DoSplash(), external.DoClose()"); };
  ASSERT_NE(CSplashWin::create(owner, {}), nullptr);
  HWND w = find(L"Orvo.SplashWindow");
  ASSERT_TRUE(pump_until([&] { return !::IsWindow(w); }));
  EXPECT_EQ(orvo::com::module::active_count(), baseline);
}

TEST_F(PageWindows, LeftAloneTheSplashClosesAfterSixSeconds) {
  test_frame owner(false);
  host.on_load = [&](page_host_record& page) { js(page, L"external.DoSplash()"); };
  ASSERT_NE(CSplashWin::create(owner, {}), nullptr);
  HWND w = find(L"Orvo.SplashWindow");
  ASSERT_TRUE(pump_until([&] { return ::IsWindowVisible(w) != FALSE; }));
  const auto shown = std::chrono::steady_clock::now();
  ASSERT_TRUE(pump_until([&] { return !::IsWindow(w); }, 20000));
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - shown).count();
  EXPECT_GE(seconds, 5.5);
  EXPECT_EQ(orvo::com::module::active_count(), baseline);
}

TEST_F(PageWindows, APageWhoseTableCannotBeMeasuredClosesTheSplashAndItsCallSucceeds) {
  test_frame owner(false);
  host.size_result = E_FAIL;
  bool visible = false;
  host.on_load = [&](page_host_record& page) {
    js(page, L"external.DoSplash()");  // no script error: S_OK
    visible = ::IsWindowVisible(page.parent) != FALSE;
  };
  ASSERT_NE(CSplashWin::create(owner, {}), nullptr);
  HWND w = find(L"Orvo.SplashWindow");
  ASSERT_TRUE(pump_until([&] { return !::IsWindow(w); }));
  EXPECT_FALSE(visible);
  EXPECT_EQ(orvo::com::module::active_count(), baseline);
}

TEST_F(PageWindows, ASplashWhosePageCannotBeLoadedIsNeverCreated) {
  test_frame owner(false);
  host.navigate_result = E_FAIL;
  EXPECT_EQ(CSplashWin::create(owner, {}), nullptr);
  EXPECT_EQ(find(L"Orvo.SplashWindow"), nullptr);
  ASSERT_EQ(host.hosts.size(), 1u);
  EXPECT_TRUE(host.hosts[0]->destroyed);
  EXPECT_EQ(orvo::com::module::active_count(), baseline);
}

// --- the splash's window.external ------------------------------------------

TEST_F(PageWindows, TheSplashPageReadsTheProgramsTextsAndResizeDoesNothing) {
  test_frame owner(false);
  std::wstring version, date, time, implemented, resized;
  host.on_load = [&](page_host_record& page) {
    version = js(page, L"external.Version");
    date = js(page, L"external.Date");
    time = js(page, L"external.Time");
    implemented = js(page, L"external.Implemented");
    resized = js(page, L"external.Resize()");
  };
  ASSERT_NE(CSplashWin::create(owner, {}), nullptr);
  HWND w = find(L"Orvo.SplashWindow");
  ASSERT_TRUE(pump_until([&] { return !resized.empty(); }));
  EXPECT_EQ(version, L"" ORVO_CLIENT_VERSION_TEXT);
  EXPECT_TRUE(
      std::regex_match(date, std::wregex(L"(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 123][0-9] [0-9]{4}")))
      << std::string(date.begin(), date.end());
  EXPECT_TRUE(std::regex_match(time, std::wregex(L"[0-2][0-9]:[0-5][0-9]:[0-5][0-9]")));
  EXPECT_EQ(implemented, Orvo::build_implemented_html(Orvo::implemented_heading::client_interface));
  EXPECT_EQ(resized, L"undefined");
  EXPECT_FALSE(::IsWindowVisible(w));
  ::DestroyWindow(w);
}

TEST(ClientInterface, GettersRefuseAMissingOutPointer) {
  orvo::com::ptr<IOrvoClientInterface> splash;
  ASSERT_EQ(CSplashWin::make(splash, Orvo::system_info_context{}), S_OK);
  EXPECT_EQ(splash->get_Version(nullptr), E_POINTER);
  EXPECT_EQ(splash->get_Implemented(nullptr), E_POINTER);
  EXPECT_EQ(splash->get_Date(nullptr), E_POINTER);
  EXPECT_EQ(splash->get_Time(nullptr), E_POINTER);
}

TEST(WrapperDispatch, WithoutTargetEveryCallIsUnexpectedAndTypeInfoIsCleared) {
  orvo::com::ptr<IDispatch> wrapper;
  ASSERT_EQ(CWrapperDispatch::make(wrapper, nullptr), S_OK);
  UINT count = 7;
  EXPECT_EQ(wrapper->GetTypeInfoCount(&count), E_UNEXPECTED);
  auto* stale = reinterpret_cast<ITypeInfo*>(0x1234);
  EXPECT_EQ(wrapper->GetTypeInfo(0, 0, &stale), E_UNEXPECTED);
  EXPECT_EQ(stale, nullptr);
  EXPECT_EQ(wrapper->GetTypeInfo(0, 0, nullptr), E_POINTER);
  LPOLESTR name = const_cast<LPOLESTR>(L"Version");
  DISPID id = 0;
  EXPECT_EQ(wrapper->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), E_UNEXPECTED);
  DISPPARAMS none = {};
  EXPECT_EQ(wrapper->Invoke(0x60020004, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr, nullptr),
            E_UNEXPECTED);
}

TEST(WrapperDispatch, WithATargetItPassesTheTargetsAnswersOn) {
  orvo::com::ptr<IOrvoClientInterface> splash;
  ASSERT_EQ(CSplashWin::make(splash, Orvo::system_info_context{}), S_OK);
  orvo::com::ptr<IDispatch> wrapper;
  ASSERT_EQ(CWrapperDispatch::make(wrapper, splash.get()), S_OK);
  UINT count = 0;
  EXPECT_EQ(wrapper->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  orvo::com::ptr<ITypeInfo> info;
  EXPECT_EQ(wrapper->GetTypeInfo(0, 0, info.put()), S_OK);
  EXPECT_TRUE(info);
  LPOLESTR name = const_cast<LPOLESTR>(L"Time");
  DISPID id = 0;
  EXPECT_EQ(wrapper->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
  EXPECT_EQ(id, 0x60020007);
}

// --- the About box ---------------------------------------------------------

TEST_F(PageWindows, TheAboutBoxDisablesItsOwnerLoadsPage312AndClosingGivesTheOwnerBack) {
  test_frame owner(true);
  HWND box = nullptr;
  bool owner_enabled_while_open = true, hidden_at_first = false, shown = false;
  SIZE client = {};
  RECT moved = {};
  std::vector<DISPID> ids;
  host.on_load = [&](page_host_record& page) {
    box = page.parent;
    owner_enabled_while_open = ::IsWindowEnabled(owner) != FALSE;
    hidden_at_first = !::IsWindowVisible(box);
    for (const wchar_t* n : {L"Resize", L"DoClose", L"Version", L"Date", L"Time", L"Implemented"}) {
      LPOLESTR name = const_cast<LPOLESTR>(n);
      DISPID id = 0;
      EXPECT_EQ(page.external->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
      ids.push_back(id);
    }
    js(page, L"external.Resize()");
    shown = ::IsWindowVisible(box) != FALSE;
    client = client_size(box);
    ::SetWindowPos(box, nullptr, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    js(page, L"external.Resize()");
    moved = window_rect(box);
    js(page, L"external.DoClose()");
  };
  show_about_box(owner);  // returns once the page has closed the box
  ASSERT_EQ(host.hosts.size(), 1u);
  const page_host_record& page = *host.hosts[0];
  wchar_t program[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, program, MAX_PATH);
  ASSERT_EQ(page.urls.size(), 1u);
  EXPECT_EQ(page.urls[0], L"res://" + std::wstring(program) + L"/312");
  EXPECT_EQ(page.flags, 0x28u);
  EXPECT_TRUE(page.context_menu);
  EXPECT_FALSE(owner_enabled_while_open);
  EXPECT_TRUE(hidden_at_first);
  EXPECT_TRUE(shown);
  EXPECT_EQ(client.cx, 420);
  EXPECT_EQ(client.cy, 466);
  EXPECT_EQ(moved.left, 5);  // the second Resize changed nothing
  EXPECT_EQ(moved.top, 6);
  EXPECT_EQ(ids, (std::vector<DISPID>{100000, 100001, 100002, 100003, 100004, 100005}));
  EXPECT_FALSE(::IsWindow(box));
  EXPECT_TRUE(::IsWindowEnabled(owner));
  EXPECT_EQ(about_dialog::current(), nullptr);
}

TEST_F(PageWindows, TheAboutPageReadsTheProgramsTexts) {
  test_frame owner(true);
  std::wstring version, date, time, implemented;
  host.on_load = [&](page_host_record& page) {
    version = js(page, L"external.Version");
    date = js(page, L"external.Date");
    time = js(page, L"external.Time");
    implemented = js(page, L"external.Implemented");
    js(page, L"external.DoClose()");
  };
  show_about_box(owner);
  EXPECT_EQ(version, L"" ORVO_CLIENT_VERSION_TEXT);
  EXPECT_EQ(date, Orvo::build_date_text());
  EXPECT_EQ(time, Orvo::build_time_text());
  EXPECT_EQ(implemented, Orvo::build_implemented_html(Orvo::implemented_heading::about_box));
}

TEST_F(PageWindows, AnOwnerDisabledBeforeTheAboutBoxStaysDisabled) {
  test_frame owner(true);
  ::EnableWindow(owner, FALSE);
  host.on_load = [&](page_host_record& page) { js(page, L"external.Resize(), external.DoClose()"); };
  show_about_box(owner);
  EXPECT_FALSE(::IsWindowEnabled(owner));
}

TEST_F(PageWindows, AnAboutBoxWhosePageCannotBeLoadedRunsNoLoopAndGivesTheOwnerBack) {
  test_frame owner(true);
  host.navigate_result = E_FAIL;
  show_about_box(owner);  // returns at once: no page will ever close it
  EXPECT_EQ(find(L"Orvo.AboutBox"), nullptr);
  EXPECT_TRUE(::IsWindowEnabled(owner));
  EXPECT_EQ(about_dialog::current(), nullptr);
}

TEST_F(PageWindows, APageThatFailsToLoadLaterClosesTheAboutBox) {
  test_frame owner(true);
  host.on_load = [&](page_host_record& page) { page.navigate_error(); };
  show_about_box(owner);  // returns: the box closed itself
  EXPECT_EQ(find(L"Orvo.AboutBox"), nullptr);
  EXPECT_TRUE(::IsWindowEnabled(owner));
}

TEST_F(PageWindows, OpeningTheAboutBoxWhileItIsOpenBringsTheSameBoxForward) {
  test_frame owner(true);
  int boxes = 0;
  host.on_load = [&](page_host_record& page) {
    js(page, L"external.Resize()");
    ::SendMessageW(owner, WM_COMMAND, 0xE140, 0);  // Ctrl+A and the tray menu send this too
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"Orvo.AboutBox", nullptr); w;
         w = ::FindWindowExW(nullptr, w, L"Orvo.AboutBox", nullptr)) {
      ++boxes;
    }
    js(page, L"external.DoClose()");
  };
  show_about_box(owner);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(host.hosts.size(), 1u);
}

TEST_F(PageWindows, AfterTheAboutBoxWasOpenedTwiceAQuitEndsTheMainLoopWithItsCode) {
  test_frame owner(true);
  int opened = 0;
  host.on_load = [&](page_host_record& page) {
    js(page, L"external.Resize(), external.DoClose()");
    if (++opened == 1) {
      ::PostMessageW(owner, WM_COMMAND, 0xE140, 0);
    } else {
      ::PostQuitMessage(3);
    }
  };
  ::PostMessageW(owner, WM_COMMAND, 0xE140, 0);
  EXPECT_EQ(loop.Run(), 3);
  EXPECT_EQ(opened, 2);
}

TEST_F(PageWindows, AQuitWhileTheAboutBoxIsOpenEndsItsLoopAndTheMainLoop) {
  test_frame owner(true);
  host.on_load = [&](page_host_record& page) {
    js(page, L"external.Resize()");
    ::PostQuitMessage(3);
  };
  ::PostMessageW(owner, WM_COMMAND, 0xE140, 0);
  EXPECT_EQ(loop.Run(), 3);
  EXPECT_EQ(find(L"Orvo.AboutBox"), nullptr);
  EXPECT_TRUE(::IsWindowEnabled(owner));
}

TEST_F(PageWindows, DestroyingTheFrameWhileTheAboutBoxIsOpenEndsTheProgramWithZero) {
  test_frame owner(true);
  host.on_load = [&](page_host_record& page) {
    js(page, L"external.Resize()");
    ::DestroyWindow(owner);  // the tray menu's Exit
  };
  ::PostMessageW(owner, WM_COMMAND, 0xE140, 0);
  EXPECT_EQ(loop.Run(), 0);
  EXPECT_EQ(find(L"Orvo.AboutBox"), nullptr);
}

// --- the About box's dispatch object --------------------------------------

class ExternalDispatch : public ::testing::Test {
 protected:
  void SetUp() override { names = Orvo::external_dispatch::make(external); }
  HRESULT invoke(DISPID id, WORD flags, DISPPARAMS params, VARIANT* result = nullptr) {
    return external->Invoke(id, IID_NULL, 0, flags, &params, result, nullptr, nullptr);
  }
  orvo::com::ptr<IDispatch> external;
  Orvo::external_dispatch* names = nullptr;
};

TEST_F(ExternalDispatch, NamesCountFromHundredThousandAndARepeatedNameKeepsItsFirstDispid) {
  EXPECT_EQ(names->add_method(L"Resize", [] {}), 100000);
  EXPECT_EQ(names->add_getter(L"Version", [] { return std::wstring(L"v"); }), 100001);
  EXPECT_EQ(names->add_method(L"Resize", [] {}), 100000);
  UINT count = 9;
  EXPECT_EQ(external->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
  LPOLESTR unknown = const_cast<LPOLESTR>(L"Unknown");
  DISPID id = 0;
  EXPECT_EQ(external->GetIDsOfNames(IID_NULL, &unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, -1);
}

TEST_F(ExternalDispatch, InvokeChoosesByDispidKindAndArgumentCount) {
  int resized = 0;
  names->add_method(L"Resize", [&] { ++resized; });
  names->add_getter(L"Version", [] { return std::wstring(L"1.2"); });
  VARIANT argument;
  ::VariantInit(&argument);
  EXPECT_EQ(invoke(99999, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(invoke(100000, DISPATCH_METHOD, {&argument, nullptr, 1, 0}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(invoke(100001, DISPATCH_METHOD, {}), DISP_E_BADPARAMCOUNT);  // a getter is no method
  DISPID named = 1;
  EXPECT_EQ(invoke(100000, DISPATCH_METHOD, {&argument, &named, 1, 1}), DISP_E_NONAMEDARGS);
  EXPECT_EQ(resized, 0);
  EXPECT_EQ(invoke(100000, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}), S_OK);
  EXPECT_EQ(resized, 1);
  VARIANT value;
  ::VariantInit(&value);
  EXPECT_EQ(invoke(100001, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &value), S_OK);
  ASSERT_EQ(V_VT(&value), VT_BSTR);
  EXPECT_STREQ(V_BSTR(&value), L"1.2");
  ::VariantClear(&value);
  EXPECT_EQ(invoke(100001, DISPATCH_PROPERTYGET, {}), S_OK);  // no result wanted
}

TEST_F(ExternalDispatch, AFailingHandlerGivesItsHresultWithErrorInformation) {
  names->add_method(L"Denied", [] { zel::throw_com_error(E_ACCESSDENIED); });
  names->add_method(L"Broken", [] { throw std::runtime_error("broken"); });
  EXPECT_EQ(invoke(100000, DISPATCH_METHOD, {}), E_ACCESSDENIED);
  IErrorInfo* info = nullptr;
  ASSERT_EQ(::GetErrorInfo(0, &info), S_OK);
  info->Release();
  EXPECT_EQ(invoke(100001, DISPATCH_METHOD, {}), E_FAIL);
  ASSERT_EQ(::GetErrorInfo(0, &info), S_OK);
  BSTR text = nullptr;
  info->GetDescription(&text);
  EXPECT_STREQ(text, L"broken");
  ::SysFreeString(text);
  info->Release();
}

}  // namespace
