// The event log window under wine64: what the window adds to the log's
// rules (listing, columns, display texts, highlighting, the context menu,
// the empty view, the clipboard copy and its failures).
//
//   client_log_window_test.exe [gtest flags]
// The test starts itself again with --hold-clipboard EVENT to play another
// process that holds the clipboard open.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "client_pixels.h"
#include "log_window.h"
#include "orvo_module.h"
#include "ui_seams.h"
#include "win_test_support.h"

using orvo::testing::pump_messages;
using testing::ElementsAre;

namespace {

Orvo::log_time at(int h, int m, int s) {
  Orvo::log_time t;
  t.year = 2026;
  t.month = 12;
  t.day = 9;
  t.hour = static_cast<std::uint16_t>(h);
  t.minute = static_cast<std::uint16_t>(m);
  t.second = static_cast<std::uint16_t>(s);
  return t;
}

Orvo::log_clock clock_of(std::deque<Orvo::log_time> times) {
  return [times]() mutable {
    Orvo::log_time t = times.front();
    if (times.size() > 1) times.pop_front();
    return t;
  };
}

// A log window in a plain parent, shown.
class LogWindow : public testing::Test {
 protected:
  explicit LogWindow(Orvo::log_clock clock = CLogWindow::local_clock()) : window(std::move(clock)) {}
  ~LogWindow() override {
    if (window.IsWindow()) window.DestroyWindow();
    Orvo::set_clipboard_hook(nullptr);
    Orvo::set_message_box_hook(nullptr);
  }
  void open() {
    ::ShowWindow(parent, SW_SHOWNORMAL);
    ASSERT_TRUE(window.Create(parent));
    window.SetWindowPos(nullptr, 0, 0, 600, 300, SWP_NOZORDER);
    pump_messages();
  }
  HWND list() const { return ::GetDlgItem(window, IDC_LOG_LIST); }
  int item_count() const { return static_cast<int>(::SendMessageW(list(), LVM_GETITEMCOUNT, 0, 0)); }
  std::wstring item_text(int item, int column) const {
    wchar_t text[512] = {};
    LVITEMW it{};
    it.iSubItem = column;
    it.pszText = text;
    it.cchTextMax = 512;
    ::SendMessageW(list(), LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
    return text;
  }
  LPARAM item_data(int item) const {
    LVITEMW it{};
    it.mask = LVIF_PARAM;
    it.iItem = item;
    ::SendMessageW(list(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
    return it.lParam;
  }
  void command(int id) {
    window.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
  }
  void choose_level(int id) {
    ::CheckRadioButton(window, IDC_LOG_LEVEL1, IDC_LOG_LEVEL4, id);
    command(id);
  }
  LRESULT notify(NMHDR& header) {
    header.hwndFrom = list();
    header.idFrom = IDC_LOG_LIST;
    window.SendMessage(WM_NOTIFY, IDC_LOG_LIST, reinterpret_cast<LPARAM>(&header));
    return window.GetWindowLongPtr(DWLP_MSGRESULT);
  }
  // The clipboard's Unicode text, NUL included, as far as its memory goes.
  static std::wstring clipboard_text() {
    std::wstring text;
    if (!::OpenClipboard(nullptr)) return L"<clipboard not opened>";
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
      const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data));
      const size_t n = ::GlobalSize(data) / sizeof(wchar_t);
      size_t end = 0;
      while (end < n && chars[end]) ++end;
      text.assign(chars, end < n ? end + 1 : n);
      ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
  }
  std::vector<int> error_codes() const {
    std::vector<int> codes;
    for (const auto& r : window.log().records()) {
      if (r.level == Orvo::level_error) codes.push_back(r.code);
    }
    return codes;
  }

  orvo::testing::scratch_window parent;
  CLogWindow window;
};

// The five records of the copy cases.
class LogWindowCopy : public LogWindow {
 protected:
  LogWindowCopy()
      : LogWindow(clock_of({at(9, 5, 6), at(9, 5, 7), at(9, 5, 8), at(9, 5, 9), at(23, 59, 59), at(0, 0, 0)})) {
    open();
    ::CheckDlgButton(window, IDC_LOG_EVENT_LOGGING, BST_CHECKED);
    Orvo::set_message_box_hook([](const MSGBOXPARAMSW&) { return IDNO; });
    command(IDC_LOG_EVENT_LOGGING);  // logs "Event logging enabled" at 09:05:06
    command(IDC_LOG_CLEAR);
    window.add(L"OnChange", 0, S_OK);
    window.add(L"Connected", 1, S_OK);
    window.add(L"Partial\napplication", 2, 1);
    window.add(L"Failed\r\nretry", 3, E_FAIL);
    window.add(L"odd", 7, 0x102);
  }
  const std::wstring errors_and_above =
      L"23:59:59, Failed retry, Error, 0x80004005\r\n00:00:00, odd, Unknown, 0x000102\r\n";
};

}  // namespace

TEST_F(LogWindow, ListsWhatWasLoggedBeforeItExistedWithLevel2CheckedAndTheFlagsShown) {
  window.add(L"Orvo Client program started", 1, S_OK);
  open();
  ASSERT_EQ(item_count(), 1);
  EXPECT_EQ(item_text(0, 2), L"Orvo Client program started");
  EXPECT_EQ(item_text(0, 1), L"0");
  EXPECT_EQ(item_text(0, 3), L"00000000");
  EXPECT_EQ(::IsDlgButtonChecked(window, IDC_LOG_LEVEL2), BST_CHECKED);
  EXPECT_EQ(::IsDlgButtonChecked(window, IDC_LOG_LEVEL1), BST_UNCHECKED);
  EXPECT_EQ(::IsDlgButtonChecked(window, IDC_LOG_HIGHLIGHTING), BST_CHECKED);
  EXPECT_EQ(::IsDlgButtonChecked(window, IDC_LOG_AUTO_SCROLL), BST_CHECKED);
  EXPECT_EQ(::IsDlgButtonChecked(window, IDC_LOG_EVENT_LOGGING), BST_UNCHECKED);
}

TEST_F(LogWindow, ColumnsInOrderWithWidthsFromTheirSamplesAndTheMessageTakingTheRest) {
  open();
  std::vector<std::wstring> headers;
  std::vector<int> widths;
  for (int i = 0; i < 4; ++i) {
    wchar_t text[64] = {};
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = text;
    c.cchTextMax = 64;
    ::SendMessageW(list(), LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
    headers.push_back(text);
    widths.push_back(c.cx);
  }
  EXPECT_THAT(headers, ElementsAre(L"Time", L"Index", L"Message", L"Status Code"));
  auto width = [&](const wchar_t* s) {
    return static_cast<int>(::SendMessageW(list(), LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(s)));
  };
  EXPECT_EQ(widths[0], std::max(width(L"Time"), width(CLogWindow::time_text(at(12, 34, 56)).c_str())) + 32);
  EXPECT_EQ(widths[1], std::max(width(L"Index"), width(L"888888")) + 16);
  EXPECT_EQ(widths[3], std::max(width(L"Status Code"), width(L"0x80004005")) + 16);
  RECT client{};
  ::GetClientRect(list(), &client);
  pump_messages();
  EXPECT_EQ(::SendMessageW(list(), LVM_GETCOLUMNWIDTH, 2, 0), client.right - widths[0] - widths[1] - widths[3]);
}

TEST_F(LogWindow, Level3ListsOnlyWarningsAndErrors) {
  open();
  ::CheckDlgButton(window, IDC_LOG_EVENT_LOGGING, BST_CHECKED);
  command(IDC_LOG_EVENT_LOGGING);
  window.add(L"OnChange", 0, S_OK);
  window.add(L"partial", 2, 1);
  window.add(L"failed", 3, E_FAIL);
  choose_level(IDC_LOG_LEVEL3);
  ASSERT_EQ(item_count(), 2);
  EXPECT_EQ(item_data(0), 2);
  EXPECT_EQ(item_data(1), 3);
  EXPECT_EQ(item_text(1, 2), L"failed");
}

TEST_F(LogWindow, DisplayTextsAreCutToTheBufferAndEmptyForUnknownRecords) {
  window.add(L"Connected", 1, S_OK);
  open();
  wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
  NMLVDISPINFOW info{};
  info.hdr.code = LVN_GETDISPINFOW;
  info.item.mask = LVIF_TEXT;
  info.item.iSubItem = 2;
  info.item.pszText = buffer;
  info.item.cchTextMax = 4;
  notify(info.hdr);
  EXPECT_EQ(std::wstring(buffer), L"Con");
  info.item.lParam = 1000000;
  notify(info.hdr);
  EXPECT_EQ(std::wstring(buffer), L"");
}

TEST_F(LogWindow, HighlightingColoursItemsByLevelExceptSelectedOrUnknownOnes) {
  window.add(L"partial", 2, 1);
  window.add(L"odd", 7, 0);
  open();
  NMLVCUSTOMDRAW draw{};
  draw.nmcd.hdr.code = static_cast<UINT>(NM_CUSTOMDRAW);
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  EXPECT_EQ(notify(draw.nmcd.hdr), CDRF_NOTIFYITEMDRAW);
  auto item = [&](LPARAM record, UINT state) {
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.lItemlParam = record;
    draw.nmcd.uItemState = state;
    draw.clrTextBk = 0x123456;
    return notify(draw.nmcd.hdr);
  };
  EXPECT_EQ(item(0, 0), CDRF_NEWFONT);
  EXPECT_EQ(draw.clrTextBk, 0xB0E6FFu);
  EXPECT_EQ(item(0, CDIS_SELECTED | CDIS_FOCUS), CDRF_NEWFONT);
  EXPECT_EQ(item(0, CDIS_SELECTED), CDRF_DODEFAULT);
  EXPECT_EQ(draw.clrTextBk, 0x123456u);
  EXPECT_EQ(item(1, 0), CDRF_DODEFAULT);
  EXPECT_EQ(draw.clrTextBk, 0x123456u);
  ::CheckDlgButton(window, IDC_LOG_HIGHLIGHTING, BST_UNCHECKED);
  command(IDC_LOG_HIGHLIGHTING);
  EXPECT_EQ(item(0, 0), CDRF_DODEFAULT);
  EXPECT_EQ(draw.clrTextBk, 0x123456u);
}

namespace {
// What the open context menu offered; the menu is closed at once.
struct opened_menu {
  std::vector<UINT> ids;
  std::vector<bool> enabled;
};
opened_menu g_menu;
HHOOK g_hook = nullptr;
LRESULT CALLBACK read_menu(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && msg->message == WM_ENTERIDLE && msg->wParam == MSGF_MENU && g_menu.ids.empty()) {
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(reinterpret_cast<HWND>(msg->lParam), MN_GETHMENU, 0, 0));
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
      const UINT id = ::GetMenuItemID(menu, i);
      g_menu.ids.push_back(id);
      g_menu.enabled.push_back(!(::GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)));
    }
    ::EndMenu();
  }
  return ::CallNextHookEx(g_hook, code, wParam, lParam);
}
opened_menu context_menu_by_keyboard(HWND window) {
  g_menu = {};
  g_hook = ::SetWindowsHookExW(WH_CALLWNDPROC, read_menu, nullptr, ::GetCurrentThreadId());
  ::SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(-1, -1));
  ::UnhookWindowsHookEx(g_hook);
  return g_menu;
}
}  // namespace

TEST_F(LogWindow, ContextMenuOffersClearAndCopyExactlyWhileRecordsExist) {
  open();
  opened_menu menu = context_menu_by_keyboard(window);
  EXPECT_THAT(menu.ids, ElementsAre(IDC_LOG_CLEAR, IDC_LOG_COPY));
  EXPECT_THAT(menu.enabled, ElementsAre(false, false));
  window.add(L"Connected", 1, S_OK);
  menu = context_menu_by_keyboard(window);
  EXPECT_THAT(menu.enabled, ElementsAre(true, true));
  command(IDC_LOG_CLEAR);
  menu = context_menu_by_keyboard(window);
  EXPECT_THAT(menu.enabled, ElementsAre(false, false));
}

TEST_F(LogWindow, AnEmptyListPaintsTheEmptyViewText) {
  open();
  auto printed = [&](HDC dc) { ::SendMessageW(list(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT); };
  const auto empty_text =
      pixels(list(), [&](HDC dc) { zel::detail::draw_no_items(list(), dc, zel::detail::no_items_area(list())); });
  const auto empty_list = pixels(list(), printed);
  EXPECT_EQ(empty_list, empty_text);
  const COLORREF window_colour = ::GetSysColor(COLOR_WINDOW);
  EXPECT_GT(std::count_if(empty_list.begin(), empty_list.end(),
                          [&](COLORREF c) { return c != window_colour && c != RGB(255, 0, 255); }),
            50);  // the text itself
  window.add(L"x", 1, S_OK);
  EXPECT_NE(pixels(list(), printed), empty_text);
}

TEST_F(LogWindow, ErasingEventsAsksThroughTheMessageBoxAndRefillsTheList) {
  open();
  std::vector<std::wstring> asked;
  Orvo::set_message_box_hook([&](const MSGBOXPARAMSW& p) {
    asked.push_back(std::wstring(p.lpszCaption) + L"|" + p.lpszText);
    EXPECT_EQ(p.dwStyle, static_cast<DWORD>(MB_YESNO | MB_USERICON));
    return IDYES;
  });
  choose_level(IDC_LOG_LEVEL1);
  ::CheckDlgButton(window, IDC_LOG_EVENT_LOGGING, BST_CHECKED);
  command(IDC_LOG_EVENT_LOGGING);
  window.add(L"OnChange", 0, S_OK);
  window.add(L"OnChange", 0, S_OK);
  ::CheckDlgButton(window, IDC_LOG_EVENT_LOGGING, BST_UNCHECKED);
  command(IDC_LOG_EVENT_LOGGING);
  EXPECT_THAT(asked, ElementsAre(L"Erase Events|There are currently 2 records of type 'Event' logged.\nDo you wish "
                                 L"to delete them permenantly?"));
  ASSERT_EQ(item_count(), 3);
  EXPECT_EQ(item_text(1, 2), L"2 records of type 'Event' deleted");
  EXPECT_EQ(item_data(2), 2);
}

TEST_F(LogWindowCopy, ErrorsAndAboveReachTheClipboardAsUnicodeText) {
  choose_level(IDC_LOG_LEVEL4);
  command(IDC_LOG_COPY);
  EXPECT_EQ(clipboard_text(), errors_and_above + L'\0');
}

TEST_F(LogWindowCopy, InformationAndAboveStartWithConnectedAndPartialApplication) {
  choose_level(IDC_LOG_LEVEL2);
  command(IDC_LOG_COPY);
  EXPECT_EQ(clipboard_text(),
            L"09:05:08, Connected, Information, 00000000\r\n"
            L"09:05:09, Partial application, Warning, 0x000001\r\n" +
                errors_and_above + L'\0');
}

TEST_F(LogWindowCopy, AClipboardHeldByAnotherProcessLogsOneErrorAndTheNextCopyWorks) {
  choose_level(IDC_LOG_LEVEL4);
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  HANDLE held = ::CreateEventW(nullptr, TRUE, FALSE, L"orvo_log_test_clipboard_held");
  HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, L"orvo_log_test_clipboard_release");
  std::wstring line = L"\"" + std::wstring(self) + L"\" --hold-clipboard";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(::CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ASSERT_EQ(::WaitForSingleObject(held, 10000), WAIT_OBJECT_0);
  command(IDC_LOG_COPY);
  ::SetEvent(release);
  ::WaitForSingleObject(pi.hProcess, 10000);
  EXPECT_THAT(error_codes(), ElementsAre(static_cast<int>(E_FAIL), static_cast<int>(0x80070005)));
  command(IDC_LOG_COPY);
  EXPECT_EQ(error_codes().size(), 2u);
  EXPECT_EQ(clipboard_text().substr(0, errors_and_above.size()), errors_and_above);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  ::CloseHandle(held);
  ::CloseHandle(release);
}

TEST_F(LogWindowCopy, AFailingClipboardStepIsLoggedAndTheMemoryFreedExactlyWhenNotTaken) {
  const Orvo::clipboard_step steps[] = {Orvo::clipboard_step::open, Orvo::clipboard_step::empty,
                                        Orvo::clipboard_step::set, Orvo::clipboard_step::close};
  for (Orvo::clipboard_step failing : steps) {
    HGLOBAL memory = nullptr;
    Orvo::set_clipboard_hook([&](Orvo::clipboard_step step, HGLOBAL m) -> DWORD {
      memory = m;
      return step == failing ? ERROR_NOT_ENOUGH_MEMORY : 0;
    });
    const size_t errors = error_codes().size();
    command(IDC_LOG_COPY);
    Orvo::set_clipboard_hook(nullptr);
    const bool taken = failing == Orvo::clipboard_step::close;
    if (taken) ::CloseClipboard();  // the failed close left it open
    ASSERT_EQ(error_codes().size(), errors + 1) << static_cast<int>(failing);
    EXPECT_EQ(error_codes().back(), static_cast<int>(HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY)));
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(::GlobalSize(memory) != 0, taken) << static_cast<int>(failing);
  }
}

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--hold-clipboard") {
    HANDLE held = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"orvo_log_test_clipboard_held");
    HANDLE release = ::OpenEventW(SYNCHRONIZE, FALSE, L"orvo_log_test_clipboard_release");
    if (!held || !release || !::OpenClipboard(nullptr)) return 3;
    ::SetEvent(held);
    ::WaitForSingleObject(release, 10000);
    ::CloseClipboard();
    return 0;
  }
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&classes);
  _Module.Init(nullptr, ::GetModuleHandleW(nullptr));
  WTL::CMessageLoop loop;
  _Module.AddMessageLoop(&loop);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  _Module.RemoveMessageLoop();
  _Module.Term();
  return result;
}
