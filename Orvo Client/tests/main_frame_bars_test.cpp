// The main frame's toolbar, the toggles of its bars, and the Help menu's
// documents, support mail and web page (through the shell's seam, and once
// with the real shell).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "comet/error.h"
#include "core/frame_rules.h"
#include "help_commands.h"
#include "main_frame_test_support.h"
#include "registry/registry_key.h"
#include "system_info.h"
#include "ui_seams.h"

namespace {

// Separators read back as 0.
const std::vector<int> toolbar_order = {
    0x8065, 0, 0x8046, 0x8047, 0,      0x8033, 0x8034, 0,      0x8026, 0x8024, 0x8027, 0, 0x8004, 0x8005,
    0x8043, 0, 0x800D, 0,      0x8013, 0x8012, 0,      0x801E, 0x8038, 0,      0x801D, 0, 0xE140,
};

std::vector<int> toolbar_commands(HWND toolbar) {
  std::vector<int> ids;
  const auto count = static_cast<int>(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button{};
    ::SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    ids.push_back((button.fsStyle & BTNS_SEP) ? 0 : button.idCommand);
  }
  return ids;
}

REBARBANDINFOW toolbar_band(const CMainFrame& frame) {
  REBARBANDINFOW band{};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_STYLE | RBBIM_CHILD;
  const LRESULT index = ::SendMessageW(frame.m_hWndToolBar, RB_IDTOINDEX, 0xEB01, 0);
  if (index >= 0) ::SendMessageW(frame.m_hWndToolBar, RB_GETBANDINFOW, index, reinterpret_cast<LPARAM>(&band));
  return band;
}

bool shown(HWND window) { return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

TEST(FrameToolbar, HoldsTheButtonsInTheirGroupsInBandEB01BesideTheCommandBar) {
  frame_testing::frame_fixture fixture;
  CMainFrame& frame = fixture.frame;
  ASSERT_NE(frame.toolbar(), nullptr);
  EXPECT_EQ(toolbar_commands(frame.toolbar()), toolbar_order);
  EXPECT_EQ(toolbar_band(frame).hwndChild, frame.toolbar());
  const auto images = reinterpret_cast<HIMAGELIST>(::SendMessageW(frame.toolbar(), TB_GETIMAGELIST, 0, 0));
  const auto hot = reinterpret_cast<HIMAGELIST>(::SendMessageW(frame.toolbar(), TB_GETHOTIMAGELIST, 0, 0));
  EXPECT_EQ(::ImageList_GetImageCount(images), 18);
  EXPECT_EQ(::ImageList_GetImageCount(hot), 18);
  // The command bar draws an image beside every toolbar command and the
  // commands that have their own icon.
  for (int id : toolbar_order) {
    if (id) {
      EXPECT_GE(frame.m_CmdBar.GetImageIndex(id), 0) << std::hex << id;
    }
  }
  for (int id : {0x802D, 0xE141, 0x802C, 0x803B, 0x8067})
    EXPECT_GE(frame.m_CmdBar.GetImageIndex(id), 0) << std::hex << id;
}

TEST(FrameToolbar, ButtonStatesFollowTheIdleRules) {
  frame_testing::frame_fixture fixture;
  CMainFrame& frame = fixture.frame;
  frame.m_undo.push_back(comet::bstr_t(std::wstring(L"earlier")));
  frame_testing::pump_until([] { return false; }, 300);
  // The failed connection's error showed the event log; back to the system tab.
  frame.SendMessage(WM_COMMAND, ID_SYSTEM_TAB);
  frame.OnIdle();
  int compared = 0;
  for (const Orvo::command_state& rule : Orvo::command_states(frame.facts())) {
    const auto at = std::find(toolbar_order.begin(), toolbar_order.end(), static_cast<int>(rule.id));
    if (at == toolbar_order.end()) continue;
    ++compared;
    EXPECT_EQ(::SendMessageW(frame.toolbar(), TB_ISBUTTONENABLED, rule.id, 0) != 0, rule.enabled)
        << std::hex << rule.id;
    EXPECT_EQ(::SendMessageW(frame.toolbar(), TB_ISBUTTONCHECKED, rule.id, 0) != 0, rule.checked)
        << std::hex << rule.id;
  }
  EXPECT_GE(compared, 10);
  // Without a server: Undo is enabled by its history, Paste and Global Deblock are not.
  EXPECT_NE(::SendMessageW(frame.toolbar(), TB_ISBUTTONENABLED, 0x8033, 0), 0);
  EXPECT_EQ(::SendMessageW(frame.toolbar(), TB_ISBUTTONENABLED, 0x8027, 0), 0);
  EXPECT_EQ(::SendMessageW(frame.toolbar(), TB_ISBUTTONENABLED, 0x8013, 0), 0);
  EXPECT_NE(::SendMessageW(frame.toolbar(), TB_ISBUTTONCHECKED, 0x8004, 0), 0);
}

TEST(FrameBars, ASessionWithHiddenBarsStartsWithThemHiddenAndTheTogglesShowThem) {
  frame_testing::frame_fixture fixture(nullptr, false);
  CMainFrame& frame = fixture.frame;
  frame.m_session.m_show_toolbar = false;
  frame.m_session.m_show_statusbar = false;
  fixture.create();
  EXPECT_TRUE(toolbar_band(frame).fStyle & RBBS_HIDDEN);
  EXPECT_FALSE(shown(frame.m_hWndStatusBar));
  frame.SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
  EXPECT_TRUE(frame.m_session.m_show_toolbar);
  EXPECT_FALSE(toolbar_band(frame).fStyle & RBBS_HIDDEN);
  frame.SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
  EXPECT_TRUE(frame.m_session.m_show_statusbar);
  EXPECT_TRUE(shown(frame.m_hWndStatusBar));
  frame.SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
  frame.SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
  EXPECT_FALSE(frame.m_session.m_show_toolbar);
  EXPECT_TRUE(toolbar_band(frame).fStyle & RBBS_HIDDEN);
  EXPECT_FALSE(frame.m_session.m_show_statusbar);
  EXPECT_FALSE(shown(frame.m_hWndStatusBar));
}

// The shell's calls and the boxes shown while it lives; the shell answers
// `result` with `error`.
class help_seams {
 public:
  explicit help_seams(BOOL result = TRUE, DWORD error = 0) : m_result(result), m_error(error) {
    Orvo::set_shell_execute_call([this](SHELLEXECUTEINFOW* info) {
      calls.push_back({info->fMask, info->hwnd, info->lpVerb ? info->lpVerb : L"<null>",
                       info->lpFile ? info->lpFile : L"", info->nShow});
      ::SetLastError(m_error);
      return m_result;
    });
    Orvo::set_message_box_hook([this](const MSGBOXPARAMSW& box) {
      boxes.push_back({box.lpszText, box.lpszCaption, box.dwStyle});
      return IDOK;
    });
  }
  ~help_seams() {
    Orvo::set_shell_execute_call({});
    Orvo::set_message_box_hook({});
  }
  struct call {
    ULONG mask;
    HWND owner;
    std::wstring verb, file;
    int show;
  };
  struct box {
    std::wstring text, caption;
    DWORD style;
  };
  std::vector<call> calls;
  std::vector<box> boxes;

 private:
  BOOL m_result;
  DWORD m_error;
};

// The documents key as a test sets it, removed afterwards.
class documents {
 public:
  documents() { orvo::registry::key::delete_tree(HKEY_LOCAL_MACHINE, Orvo::documents_key); }
  ~documents() { orvo::registry::key::delete_tree(HKEY_LOCAL_MACHINE, Orvo::documents_key); }
  void set(const wchar_t* name, const std::wstring& path) {
    auto key = orvo::registry::key::create(HKEY_LOCAL_MACHINE, Orvo::documents_key);
    ASSERT_TRUE(key);
    ASSERT_EQ(key.write_string(name, path), ERROR_SUCCESS);
  }
};

TEST(FrameHelp, AMissingOrEmptyDocumentShowsTheFailureBoxWithoutCallingTheShell) {
  frame_testing::frame_fixture fixture;
  documents registry;
  help_seams seams;
  fixture.frame.SendMessage(WM_COMMAND, ID_HELP_TOPICS);  // no key at all
  registry.set(L"Manual", L"");
  fixture.frame.SendMessage(WM_COMMAND, ID_HELP_TOPICS);
  fixture.frame.SendMessage(WM_COMMAND, ID_HELP_PROGREF);  // no value
  EXPECT_TRUE(seams.calls.empty());
  ASSERT_EQ(seams.boxes.size(), 3u);
  for (const auto& box : seams.boxes) {
    EXPECT_EQ(box.text, L"Unable to execute command\r\n");
    EXPECT_EQ(box.caption, L"Orvo");
    EXPECT_TRUE(box.style & MB_USERICON);
  }
}

TEST(FrameHelp, ANamedDocumentIsOpenedWithTheOpenVerb) {
  frame_testing::frame_fixture fixture;
  documents registry;
  registry.set(L"ProgRef", L"C:\\docs\\reference.chm");
  help_seams seams;
  fixture.frame.SendMessage(WM_COMMAND, ID_HELP_PROGREF);
  ASSERT_EQ(seams.calls.size(), 1u);
  EXPECT_EQ(seams.calls[0].verb, L"open");
  EXPECT_EQ(seams.calls[0].file, L"C:\\docs\\reference.chm");
  EXPECT_EQ(seams.calls[0].show, SW_SHOWDEFAULT);
  EXPECT_TRUE(seams.boxes.empty());
}

TEST(FrameHelp, AManualTheRealShellCannotOpenShowsTheBoxWithItsPath) {
  frame_testing::frame_fixture fixture;
  documents registry;
  const std::wstring path = L"C:\\no such folder\\Orvo User Guide.pdf";
  registry.set(L"Manual", path);
  std::vector<std::wstring> texts, captions;
  Orvo::set_message_box_hook([&](const MSGBOXPARAMSW& box) {
    texts.push_back(box.lpszText);
    captions.push_back(box.lpszCaption);
    return IDOK;
  });
  fixture.frame.SendMessage(WM_COMMAND, ID_HELP_TOPICS);
  Orvo::set_message_box_hook({});
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], L"Unable to execute command\r\n" + path);
  EXPECT_EQ(captions[0], L"Orvo");
}

TEST(FrameHelp, TheSupportMailLinkIsOpenedAndLoggedWithItsLength) {
  frame_testing::frame_fixture fixture;
  CMainFrame& frame = fixture.frame;
  help_seams seams;
  frame.SendMessage(WM_COMMAND, ID_HELP_MAIL);
  ASSERT_EQ(seams.calls.size(), 1u);
  const std::wstring link = seams.calls[0].file;
  const std::wstring prefix =
      L"mailto:support@quarnell.example?subject=Orvo&body=Insert%20message%20here...%0D%0A%0D%0AOS%20";
  EXPECT_EQ(link.substr(0, prefix.size()), prefix);
  EXPECT_NE(link.find(L"%0D%0AOrvoClient%201.0.0%0D%0A"), std::wstring::npos) << link;
  EXPECT_EQ(seams.calls[0].owner, frame.m_hWnd);
  const frame_log_record last = frame.log_records().back();
  EXPECT_EQ(last, (frame_log_record{link, 1, static_cast<HRESULT>(link.size())}));
}

TEST(FrameHelp, ASupportMailTheShellRefusesIsLoggedAsAnErrorWithTheSystemText) {
  frame_testing::frame_fixture fixture;
  CMainFrame& frame = fixture.frame;
  help_seams seams(FALSE, ERROR_NO_ASSOCIATION);
  const std::size_t before = frame.log_records().size();
  frame.SendMessage(WM_COMMAND, ID_HELP_MAIL);
  ASSERT_EQ(frame.log_records().size(), before + 1);
  const HRESULT hr = HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION);
  EXPECT_EQ(frame.log_records().back(), (frame_log_record{comet::system_message(hr), 3, hr}));
}

TEST(FrameHelp, TheWebItemOpensTheHomePageWithTheDefaultVerb) {
  frame_testing::frame_fixture fixture;
  help_seams seams;
  fixture.frame.SendMessage(WM_COMMAND, ID_HELP_WEB);
  ASSERT_EQ(seams.calls.size(), 1u);
  EXPECT_EQ(seams.calls[0].file, L"https://www.quarnell.example/");
  EXPECT_EQ(seams.calls[0].verb, L"<null>");
  EXPECT_EQ(seams.calls[0].show, SW_SHOWNORMAL);
  EXPECT_EQ(seams.calls[0].owner, fixture.frame.m_hWnd);
  EXPECT_TRUE(seams.calls[0].mask & SEE_MASK_FLAG_NO_UI);
}

}  // namespace
