// The titled pane holder: its window, title, close button, client and the
// messages it passes up to its parent.
#include "pane_container.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win_test_support.h"

namespace {

struct seen_message {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  UINT notify_code;  // WM_NOTIFY: the header's code
};

std::vector<seen_message> g_seen;

LRESULT CALLBACK recording_procedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_COMMAND || uMsg == WM_NOTIFY || uMsg == WM_DRAWITEM) {
    const UINT code = uMsg == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam)->code : 0;
    g_seen.push_back({uMsg, wParam, lParam, code});
    return uMsg == WM_DRAWITEM ? TRUE : 0;
  }
  return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

// A top-level window that records what its children send it.
class recording_parent {
 public:
  recording_parent() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = recording_procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PaneContainerTestParent";
    ::RegisterClassW(&wc);
    m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"parent", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 300,
                               nullptr, nullptr, wc.hInstance, nullptr);
    ::ShowWindow(m_hWnd, SW_SHOWNA);  // buttons are clicked as a user clicks them
    g_seen.clear();
  }
  ~recording_parent() { ::DestroyWindow(m_hWnd); }
  operator HWND() const noexcept { return m_hWnd; }

 private:
  HWND m_hWnd;
};

std::wstring text_of(HWND window) {
  wchar_t text[256] = L"";
  const int n = ::GetWindowTextW(window, text, 256);
  return std::wstring(text, static_cast<std::size_t>(n));
}

TEST(PaneContainer, IsAVisibleClippingChildOfItsOwnClassWithAnEmptyTitle) {
  recording_parent parent;
  CZELPaneContainer pane;
  ASSERT_TRUE(pane.Create(parent, RECT{0, 0, 200, 100}));
  wchar_t name[64] = L"";
  ::GetClassNameW(pane.m_hWnd, name, 64);
  EXPECT_STREQ(name, L"CZELPaneContainer");
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(pane.m_hWnd, GWL_STYLE));
  const DWORD wanted = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_EQ(::GetParent(pane.m_hWnd), static_cast<HWND>(parent));
  EXPECT_EQ(text_of(pane.m_hWnd), L"");
}

TEST(PaneContainer, TheTitleKeepsAtMostEightyCharacters) {
  recording_parent parent;
  CZELPaneContainer pane;
  ASSERT_TRUE(pane.Create(parent));
  const std::wstring eighty(80, L'e');
  ::SetWindowTextW(pane.m_hWnd, eighty.c_str());
  EXPECT_EQ(text_of(pane.m_hWnd), eighty);
  const std::wstring long_title = L"Secondary View - " + std::wstring(90, L'x');
  ::SetWindowTextW(pane.m_hWnd, long_title.c_str());
  EXPECT_EQ(text_of(pane.m_hWnd), long_title.substr(0, 80));
}

TEST(PaneContainer, ACloseClickSendsTheCloseCommandWithTheContainerToTheParent) {
  recording_parent parent;
  CZELPaneContainer pane(true);
  ASSERT_TRUE(pane.Create(parent, RECT{0, 0, 200, 100}));
  ASSERT_NE(pane.close_button(), nullptr);
  ::SendMessageW(pane.close_button(), BM_CLICK, 0, 0);
  orvo::testing::pump_messages();
  ASSERT_EQ(g_seen.size(), 1u);
  EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(g_seen[0].wParam, static_cast<WPARAM>(0xE152));
  EXPECT_EQ(reinterpret_cast<HWND>(g_seen[0].lParam), pane.m_hWnd);

  CZELPaneContainer plain(false);
  ASSERT_TRUE(plain.Create(parent));
  EXPECT_EQ(plain.close_button(), nullptr);
}

TEST(PaneContainer, TheClientFillsAllBelowTheTitleBar) {
  recording_parent parent;
  CZELPaneContainer pane;
  ASSERT_TRUE(pane.Create(parent, RECT{0, 0, 200, 100}));
  HWND client = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  pane.SetClient(client);
  EXPECT_EQ(::GetParent(client), pane.m_hWnd);
  ::MoveWindow(pane.m_hWnd, 0, 0, 300, 240, TRUE);
  RECT inside{}, placed{};
  ::GetClientRect(pane.m_hWnd, &inside);
  ::GetWindowRect(client, &placed);
  ::MapWindowPoints(nullptr, pane.m_hWnd, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_GT(pane.title_height(), 0);
  EXPECT_EQ(placed.left, 0);
  EXPECT_EQ(placed.top, pane.title_height());
  EXPECT_EQ(placed.right, inside.right);
  EXPECT_EQ(placed.bottom, inside.bottom);
}

TEST(PaneContainer, TheChildrensCommandsNotificationsAndDrawingReachTheParent) {
  recording_parent parent;
  CZELPaneContainer pane(false);
  ASSERT_TRUE(pane.Create(parent, RECT{0, 0, 200, 100}));
  HWND client = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, pane.m_hWnd,
                                  reinterpret_cast<HMENU>(7), ::GetModuleHandleW(nullptr), nullptr);
  pane.SetClient(client);
  g_seen.clear();
  ::SendMessageW(pane.m_hWnd, WM_COMMAND, MAKEWPARAM(7, EN_CHANGE), reinterpret_cast<LPARAM>(client));
  NMHDR header{client, 7, NM_DBLCLK};
  ::SendMessageW(pane.m_hWnd, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header));
  DRAWITEMSTRUCT item{};
  item.CtlID = 7;
  item.hwndItem = client;
  const LRESULT drawn = ::SendMessageW(pane.m_hWnd, WM_DRAWITEM, 7, reinterpret_cast<LPARAM>(&item));
  ASSERT_EQ(g_seen.size(), 3u);
  EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(g_seen[0].wParam, MAKEWPARAM(7, EN_CHANGE));
  EXPECT_EQ(reinterpret_cast<HWND>(g_seen[0].lParam), client);
  EXPECT_EQ(g_seen[1].message, static_cast<UINT>(WM_NOTIFY));
  EXPECT_EQ(g_seen[1].notify_code, static_cast<UINT>(NM_DBLCLK));
  EXPECT_EQ(g_seen[2].message, static_cast<UINT>(WM_DRAWITEM));
  EXPECT_EQ(drawn, TRUE);  // the parent's answer comes back
}

}  // namespace
