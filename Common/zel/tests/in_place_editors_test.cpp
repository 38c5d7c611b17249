// The in-place cell editors on a report list view under wine64: how they
// open, how each way of ending reaches the list's parent, and that they go
// away by themselves.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "win/gdi.h"
#include "zel/in_place_editors.h"

namespace {

constexpr int list_id = 0x51;
constexpr int edit_id = 0xEDEF;
constexpr int combo_id = 0xEDED;

int g_deleted = 0;

struct counted_edit : zel::CInPlaceEdit {
  using CInPlaceEdit::CInPlaceEdit;
  ~counted_edit() override { ++g_deleted; }
};
struct counted_list : zel::in_place_list {
  using in_place_list::in_place_list;
  ~counted_list() override { ++g_deleted; }
};

// One LVN_ENDLABELEDITW as the list's parent got it.
struct end_of_edit {
  HWND from;
  UINT_PTR id;
  UINT mask;
  int item;
  int subitem;
  std::optional<std::wstring> text;
};

// The list view, reflecting its children's notifications back to them as
// the detail views' list does.
class CReflectingList : public WTL::CWindowImpl<CReflectingList> {
 public:
  BEGIN_MSG_MAP(CReflectingList)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
};

// A top-level window with a report list of two rows and two columns, and a
// button to move the focus to.
class CListHost : public WTL::CWindowImpl<CListHost, WTL::CWindow, WTL::CFrameWinTraits> {
 public:
  BEGIN_MSG_MAP(CListHost)
  NOTIFY_CODE_HANDLER(LVN_ENDLABELEDITW, OnEndEdit)
  END_MSG_MAP()

  CListHost() {
    Create(nullptr, RECT{20, 20, 420, 260}, L"List");
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
  }
  ~CListHost() override {
    if (m_hWnd) DestroyWindow();
  }

  // A new list and button for the next test.
  void reset() {
    if (::IsWindow(m_list)) ::DestroyWindow(m_list);
    if (::IsWindow(m_button)) ::DestroyWindow(m_button);
    m_ends.clear();
    m_destroy_list_on_end = false;
    m_list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300, 200, m_hWnd,
                               reinterpret_cast<HMENU>(list_id), nullptr, nullptr);
    m_reflector.SubclassWindow(m_list);
    m_button = ::CreateWindowExW(0, L"BUTTON", L"Other", WS_CHILD | WS_VISIBLE, 310, 10, 80, 24, m_hWnd, nullptr,
                                 nullptr, nullptr);
    m_font = ::CreateFontW(-17, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    ::SendMessageW(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.m_handle), TRUE);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 120;
    column.pszText = const_cast<wchar_t*>(L"Gain");
    ::SendMessageW(m_list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    column.pszText = const_cast<wchar_t*>(L"High-cut");
    ::SendMessageW(m_list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    ::SetFocus(m_list);
  }

  LRESULT OnEndEdit(int, LPNMHDR header, BOOL&) {
    const auto* info = reinterpret_cast<const NMLVDISPINFOW*>(header);
    m_ends.push_back({header->hwndFrom, header->idFrom, info->item.mask, info->item.iItem, info->item.iSubItem,
                      info->item.pszText ? std::optional<std::wstring>(info->item.pszText) : std::nullopt});
    if (m_destroy_list_on_end) ::DestroyWindow(m_list);
    return 0;
  }

  // Runs the queue through the loop's filters, as the program's loop does.
  void pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!m_loop.PreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
    }
  }
  void press(HWND target, WPARAM key) {
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    pump();
  }
  // Whether any filter of the loop takes Enter.
  bool filtered() {
    MSG msg{m_list, WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
    return m_loop.PreTranslateMessage(&msg) != FALSE;
  }
  RECT cell(int item, int subitem) {
    RECT r{LVIR_BOUNDS, subitem, 0, 0};
    ::SendMessageW(m_list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
    return r;
  }

  WTL::CMessageLoop m_loop;
  CReflectingList m_reflector;
  HWND m_list = nullptr;
  HWND m_button = nullptr;
  WTL::CFont m_font;
  std::vector<end_of_edit> m_ends;
  bool m_destroy_list_on_end = false;
};

LRESULT CALLBACK refuse_creation(int code, WPARAM w, LPARAM l) {
  return code == HCBT_CREATEWND ? 1 : ::CallNextHookEx(nullptr, code, w, l);
}

// One host for every test: Wine takes a while to let a shown top-level
// window go when no window manager answers.
class InPlaceEdit : public testing::Test {
 protected:
  static void SetUpTestSuite() { s_host = new CListHost; }
  static void TearDownTestSuite() {
    delete s_host;
    s_host = nullptr;
  }
  void SetUp() override {
    BYTE keys[256] = {};
    ::SetKeyboardState(keys);
    m_host.reset();
    m_host.pump();
    g_deleted = 0;
  }
  HWND open(int item, int subitem, const wchar_t* text, RECT at) {
    m_edit = new counted_edit(item, subitem, text, &m_host.m_loop);
    return m_edit->Create(m_host.m_list, at, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0, edit_id);
  }
  void expect_gone(HWND editor) {
    m_host.pump();
    EXPECT_FALSE(::IsWindow(editor));
    EXPECT_EQ(g_deleted, 1);
    EXPECT_FALSE(m_host.filtered()) << "the filter left the loop";
  }

  static CListHost* s_host;
  CListHost& m_host = *s_host;
  counted_edit* m_edit = nullptr;
};

CListHost* InPlaceEdit::s_host = nullptr;

TEST_F(InPlaceEdit, OpensFocusedWithItsTextSelectedInTheListsFont) {
  HWND edit = open(1, 1, L"1000", m_host.cell(0, 1));
  ASSERT_TRUE(edit);
  EXPECT_EQ(::GetFocus(), edit);
  DWORD start = 9, end = 9;
  ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 4u);
  EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0)), m_host.m_font.m_handle);
  EXPECT_TRUE(m_host.filtered()) << "Enter goes to the editor";
}

TEST_F(InPlaceEdit, EscapeEndsTheEditWithoutATextThenTheEditorGoes) {
  HWND edit = open(1, 1, L"1000", m_host.cell(1, 1));
  m_host.press(edit, VK_ESCAPE);
  ASSERT_EQ(m_host.m_ends.size(), 1u);
  const end_of_edit& e = m_host.m_ends[0];
  EXPECT_EQ(e.from, m_host.m_list);
  EXPECT_EQ(e.id, static_cast<UINT_PTR>(list_id));
  EXPECT_EQ(e.mask, static_cast<UINT>(LVIF_TEXT));
  EXPECT_EQ(e.item, 1);
  EXPECT_EQ(e.subitem, 1);
  EXPECT_FALSE(e.text.has_value());
  expect_gone(edit);
}

TEST_F(InPlaceEdit, EnterEndsTheEditWithTheText) {
  HWND edit = open(0, 1, L"1000", m_host.cell(0, 1));
  ::SetWindowTextW(edit, L"250");
  m_host.press(edit, VK_RETURN);
  ASSERT_EQ(m_host.m_ends.size(), 1u);
  EXPECT_EQ(m_host.m_ends[0].text, L"250");
  EXPECT_EQ(m_host.m_ends[0].item, 0);
  expect_gone(edit);
}

TEST_F(InPlaceEdit, MovingTheFocusElsewhereEndsTheEditWithTheText) {
  HWND edit = open(0, 0, L"1000", m_host.cell(0, 0));
  ::SetFocus(m_host.m_button);
  ASSERT_EQ(m_host.m_ends.size(), 1u);
  EXPECT_EQ(m_host.m_ends[0].text, L"1000");
  expect_gone(edit);
}

TEST_F(InPlaceEdit, TypingWidensTheBoxUpToTheListsClientEdgeAndNeverNarrowsIt) {
  RECT cell = m_host.cell(0, 0);
  cell.right = cell.left + 20;
  HWND edit = open(0, 0, L"", cell);
  ::PostMessageW(edit, WM_CHAR, L'W', 1);
  ::PostMessageW(edit, WM_CHAR, L'W', 1);
  m_host.pump();
  int expected;
  {
    WTL::CClientDC dc(edit);
    WTL::CSelectObject font(dc, m_host.m_font);
    expected = WTL::CDCHandle(dc).GetTextExtent(L"WW", 2).cx + WTL::CDCHandle(dc).GetTextExtent(L"X", 1).cx;
  }
  RECT box;
  ::GetWindowRect(edit, &box);
  EXPECT_EQ(box.right - box.left, expected);

  for (int i = 0; i < 60; ++i) ::PostMessageW(edit, WM_CHAR, L'W', 1);
  m_host.pump();
  RECT client;
  ::GetClientRect(m_host.m_list, &client);
  ::GetWindowRect(edit, &box);
  ::MapWindowPoints(nullptr, m_host.m_list, reinterpret_cast<POINT*>(&box), 2);
  EXPECT_EQ(box.right, client.right);
  ::SetFocus(m_host.m_list);
  m_host.pump();

  // A box that already reaches past the edge keeps its width.
  HWND wide = open(0, 1, L"", RECT{client.right - 50, 0, client.right + 30, 20});
  ::PostMessageW(wide, WM_CHAR, L'W', 1);
  ::PostMessageW(wide, WM_CHAR, L'W', 1);
  ::PostMessageW(wide, WM_CHAR, L'W', 1);
  ::PostMessageW(wide, WM_CHAR, L'W', 1);
  m_host.pump();
  ::GetWindowRect(wide, &box);
  EXPECT_EQ(box.right - box.left, 80);
}

TEST_F(InPlaceEdit, TakesAnyKeyOnlyWhileCtrlIsDown) {
  HWND edit = open(0, 0, L"1000", m_host.cell(0, 0));
  MSG key{edit, WM_KEYDOWN, 'A', 1, 0, {0, 0}};
  MSG del{edit, WM_KEYDOWN, VK_DELETE, 1, 0, {0, 0}};
  EXPECT_TRUE(m_edit->PreTranslateMessage(&del));
  EXPECT_FALSE(m_edit->PreTranslateMessage(&key));

  INPUT ctrl{};
  ctrl.type = INPUT_KEYBOARD;
  ctrl.ki.wVk = VK_CONTROL;
  ASSERT_EQ(::SendInput(1, &ctrl, sizeof ctrl), 1u);
  m_host.pump();
  ASSERT_TRUE(::GetKeyState(VK_CONTROL) & 0x8000);
  EXPECT_TRUE(m_edit->PreTranslateMessage(&key));

  ctrl.ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(::SendInput(1, &ctrl, sizeof ctrl), 1u);
  m_host.pump();
  ASSERT_FALSE(::GetKeyState(VK_CONTROL) & 0x8000);
  EXPECT_FALSE(m_edit->PreTranslateMessage(&key)) << "a released Ctrl, whatever its toggle bit";
}

TEST_F(InPlaceEdit, AnEditorThatCannotBeCreatedIsDeletedOnce) {
  HWND gone = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ::DestroyWindow(gone);
  EXPECT_EQ((new counted_edit(0, 0, L"x", &m_host.m_loop))->Create(gone, RECT{0, 0, 50, 20}), nullptr);
  EXPECT_EQ(g_deleted, 1);

  // Refused by a hook after the window got its first messages.
  HHOOK hook = ::SetWindowsHookExW(WH_CBT, refuse_creation, nullptr, ::GetCurrentThreadId());
  EXPECT_EQ((new counted_edit(0, 0, L"x", &m_host.m_loop))->Create(m_host.m_list, RECT{0, 0, 50, 20}), nullptr);
  ::UnhookWindowsHookEx(hook);
  EXPECT_EQ(g_deleted, 2);
  EXPECT_FALSE(m_host.filtered());
}

TEST_F(InPlaceEdit, AParentThatDestroysTheListWhenTheEditEndsLeavesNoEditorBehind) {
  m_host.m_destroy_list_on_end = true;
  HWND edit = open(0, 0, L"1000", m_host.cell(0, 0));
  m_host.press(edit, VK_RETURN);
  EXPECT_FALSE(::IsWindow(m_host.m_list));
  EXPECT_EQ(m_host.m_ends.size(), 1u);
  expect_gone(edit);
}

class InPlaceList : public InPlaceEdit {
 protected:
  HWND open_list(int selected) {
    RECT at = m_host.cell(1, 0);
    at.bottom += 120;
    auto* list = new counted_list(1, 0, m_choices, selected, &m_host.m_loop);
    return list->Create(m_host.m_list, at, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 0, combo_id);
  }
  std::vector<std::wstring> m_choices{L"0.3 Hz", L"1 Hz, the widest choice of them all by far", L"10 Hz"};
};

TEST_F(InPlaceList, OpensFocusedOnTheInitialChoiceWithADropDownAsWideAsTheWidestChoicePlusAnX) {
  HWND combo = open_list(2);
  ASSERT_TRUE(combo);
  EXPECT_EQ(::GetFocus(), combo);
  EXPECT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
  int expected;
  {
    WTL::CClientDC dc(combo);
    WTL::CSelectObject font(dc, m_host.m_font);
    const std::wstring& widest = m_choices[1];
    expected = WTL::CDCHandle(dc).GetTextExtent(widest.c_str(), static_cast<int>(widest.size())).cx +
               WTL::CDCHandle(dc).GetTextExtent(L"X", 1).cx;
  }
  RECT box;
  ::GetWindowRect(combo, &box);
  ASSERT_GT(expected, box.right - box.left) << "the choices are wider than the box";
  EXPECT_EQ(::SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0), expected);
}

TEST_F(InPlaceList, DroppingTheListEndsNothingEnterEndsItWithTheChoice) {
  HWND combo = open_list(0);
  ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  m_host.pump();
  EXPECT_TRUE(m_host.m_ends.empty());
  ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  ::SendMessageW(combo, CB_SETCURSEL, 2, 0);
  m_host.press(combo, VK_RETURN);
  ASSERT_EQ(m_host.m_ends.size(), 1u);
  EXPECT_EQ(m_host.m_ends[0].text, L"10 Hz");
  EXPECT_EQ(m_host.m_ends[0].item, 1);
  EXPECT_EQ(m_host.m_ends[0].subitem, 0);
  expect_gone(combo);
}

TEST_F(InPlaceList, AReflectedKillFocusEndsItWithTheComboText) {
  HWND combo = open_list(0);
  ::SendMessageW(combo, OCM_COMMAND, MAKEWPARAM(combo_id, CBN_KILLFOCUS), reinterpret_cast<LPARAM>(combo));
  ASSERT_EQ(m_host.m_ends.size(), 1u);
  EXPECT_EQ(m_host.m_ends[0].text, L"0.3 Hz");
  expect_gone(combo);
}

TEST_F(InPlaceList, AReflectedEndOfEditEndsItWithTheComboText) {
  HWND combo = open_list(2);
  NMHDR header{combo, static_cast<UINT_PTR>(combo_id), static_cast<UINT>(CBEN_ENDEDITW)};
  ::SendMessageW(combo, OCM_NOTIFY, combo_id, reinterpret_cast<LPARAM>(&header));
  ASSERT_EQ(m_host.m_ends.size(), 1u);
  EXPECT_EQ(m_host.m_ends[0].text, L"10 Hz");
  expect_gone(combo);
}

}  // namespace
