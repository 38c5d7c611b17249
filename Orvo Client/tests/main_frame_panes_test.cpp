// The main frame's window tree with the stand-in server in process: the
// docked protocol manager, the tabbed area and the containers, the layout
// a session restores and the frame records, and the pane commands.
#include <windows.h>
#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "comet/bstr.h"
#include "core/dock_request.h"
#include "data_files.h"
#include "main_frame_stand_in_test.h"
#include "main_frame_test_support.h"
#include "orvo_module.h"
#include "test_states.h"
#include "ui_seams.h"

using namespace frame_testing;
using testing::ElementsAre;

namespace {

std::wstring class_of(HWND window) {
  wchar_t name[64] = L"";
  ::GetClassNameW(window, name, 64);
  return name;
}

std::wstring text_of(HWND window) {
  wchar_t text[256] = L"";
  ::GetWindowTextW(window, text, 256);
  return text;
}

RECT window_rect(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return r;
}

Orvo::docking_position_words stored(const dockwins::tagDFDOCKPOSEX& position) {
  const dockwins::DockPositionBytes bytes = dockwins::WriteDockPosition(position);
  Orvo::docking_position_words words;
  for (std::size_t i = 0; i < bytes.size(); ++i) words.words[i / 4] |= std::uint32_t{bytes[i]} << (8 * (i % 4));
  return words;
}

// A session as it comes from the settings file, with the window's placement.
Orvo::session_data loaded_session(std::uint32_t length, std::uint32_t show, RECT normal) {
  Orvo::session_data session;
  session.m_loaded = true;
  session.m_mainframe_pos.length = length;
  session.m_mainframe_pos.show_command = show;
  session.m_mainframe_pos.left = normal.left;
  session.m_mainframe_pos.top = normal.top;
  session.m_mainframe_pos.right = normal.right;
  session.m_mainframe_pos.bottom = normal.bottom;
  session.m_wndSplitHorPos = 300;
  session.m_wndSplitPos = 200;
  session.m_protocol_manager_splitter_pos = 100;
  dockwins::tagDFDOCKPOSEX pane{};
  pane.docked = 1;
  pane.visible = 1;
  pane.request.flags = dockwins::dock_flags::Inner | dockwins::dock_flags::OwnRow;
  pane.request.position_ratio = 1.0f;
  pane.request.row_extent = 150;
  pane.request.box_extent = 100;
  pane.window_rect = {100, 100, 300, 400};
  session.m_protocol_window_pos = stored(pane);
  return session;
}

// The menu window open on this thread: its position and menu, then closed.
struct open_menu {
  RECT rect{};
  HMENU menu = nullptr;
};
open_menu g_menu;

void CALLBACK close_menu(HWND, UINT, UINT_PTR id, DWORD) {
  HWND window = ::FindWindowW(L"#32768", nullptr);
  if (!window || !::IsWindowVisible(window)) return;
  ::GetWindowRect(window, &g_menu.rect);
  g_menu.menu = reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0));
  ::KillTimer(nullptr, id);
  ::EndMenu();
}

std::vector<UINT> g_commands;

// An empty folder of its own under the temporary folder.
std::wstring empty_folder() {
  static int count = 0;
  wchar_t temp[MAX_PATH] = L"";
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring path =
      temp + (L"orvo_panes_" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(++count));
  ::CreateDirectoryW(path.c_str(), nullptr);
  return path;
}

LRESULT CALLBACK record_commands(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_COMMAND) g_commands.push_back(LOWORD(wParam));
  return ::DefSubclassProc(window, message, wParam, lParam);
}

class MainFramePanes : public stand_in_frame_test<> {
 protected:
  void SetUp() override {
    stand_in_frame_test::SetUp();
    const comet::bstr_t text(state_string_of(2));
    ASSERT_EQ(control->put_State(text.in()), S_OK);
  }
  void TearDown() override {
    stand_in_frame_test::TearDown();
    _Module.m_skip_data_files = false;
  }
  // A frame made with the frame's own views, shown and through an idle turn.
  void start(std::function<void(CMainFrame&)> load = {}) {
    f = std::make_unique<frame_fixture>(nullptr, false);
    if (load) frame().m_load_data = std::move(load);
    f->create();
    ASSERT_TRUE(pump_until([&] { return frame().IsWindowVisible() && frame().held_state(); }));
    frame().OnIdle();
  }
  // The built-in session, as a user without files gets it.
  void start_built_in() {
    start([this](CMainFrame& frame) {
      CDataFiles files(frame.m_session, frame.m_libraries, frame, ::GetModuleHandleW(nullptr), folder + L"\\user",
                       folder + L"\\common");
      files.LoadSessionData();
    });
  }
  void start_with(const Orvo::session_data& session) {
    start([session](CMainFrame& frame) { frame.m_session = session; });
  }
  CMainFrame& frame() { return f->frame; }
  CFrameViews& views() { return frame().own_views(); }
  void command(UINT id, HWND sender = nullptr) {
    frame().SendMessage(WM_COMMAND, id, reinterpret_cast<LPARAM>(sender));
  }
  int client_width() {
    RECT r{};
    frame().GetClientRect(&r);
    return r.right;
  }
  // The window of the cycle holding the focus.
  HWND focused_pane() {
    const HWND focus = ::GetFocus();
    CImpedanceView* impedance = views().impedance();
    for (HWND pane : {impedance ? impedance->m_hWnd : nullptr, views().tree().m_hWnd, views().primary().m_hWnd,
                      views().secondary().m_hWnd, frame().protocol_window().tree(), frame().protocol_window().details(),
                      frame().log_window().m_hWnd})
      if (pane && (pane == focus || ::IsChild(pane, focus))) return pane;
    return focus;
  }
  // The object ID of the state's first amplifier, from the system tree.
  long first_amplifier() {
    HWND tree = views().tree();
    std::vector<HTREEITEM> items{TreeView_GetRoot(tree)};
    while (!items.empty()) {
      HTREEITEM item = items.back();
      items.pop_back();
      if (!item) continue;
      const long id = views().tree().item_id(item);
      comet::com_ptr<IIdentifier> object;
      try {
        object = frame().GetObjectByID(id);
      } catch (...) {
      }
      comet::com_ptr<IAmplifier> amplifier;
      if (object && SUCCEEDED(object->QueryInterface(IID_IAmplifier, amplifier.put_void()))) return id;
      items.push_back(TreeView_GetNextSibling(tree, item));
      items.push_back(TreeView_GetChild(tree, item));
    }
    return -1;
  }

  const std::wstring folder = empty_folder();
};

}  // namespace

TEST_F(MainFramePanes, TheWindowTreeHoldsItsPanesInOrderWithTheirClassesParentsAndTitles) {
  start();
  dockwins::CRq4TabWindowHolder& pane = frame().protocol_pane();
  EXPECT_EQ(class_of(pane), L"zel::docking_window_holder");
  EXPECT_EQ(text_of(pane), L"Protocol Manager");
  EXPECT_TRUE(pane.GetExStyle() & WS_EX_TOOLWINDOW);
  EXPECT_EQ(::GetParent(frame().protocol_window()), pane.m_hWnd);
  EXPECT_EQ(::GetParent(::GetParent(pane)), frame().m_hWnd) << "docked in a column of the frame";

  dockwins::CTabbedChildWindow<>& tabs = views().tabs();
  EXPECT_EQ(frame().m_hWndClient, tabs.m_hWnd);
  EXPECT_EQ(class_of(tabs), L"TabbedChildWindow");
  EXPECT_TRUE(tabs.GetExStyle() & WS_EX_CLIENTEDGE);
  ASSERT_EQ(tabs.GetTabCtrl().GetItemCount(), 2);
  EXPECT_EQ(tabs.GetTabCtrl().GetItem(0)->GetText(), L"&Orvo System");
  EXPECT_EQ(tabs.GetTabCtrl().GetItem(0)->GetTabView(), views().overview_splitter().m_hWnd);
  EXPECT_EQ(tabs.GetTabCtrl().GetItem(1)->GetText(), L"&Event Log");
  EXPECT_EQ(tabs.GetTabCtrl().GetItem(1)->GetTabView(), frame().log_window().m_hWnd);
  EXPECT_EQ(::GetParent(frame().log_window()), tabs.m_hWnd);

  WTL::CDynSplitterWindow& overview = views().overview_splitter();
  WTL::CDynSplitterWindow& detail = views().detail_splitter();
  EXPECT_EQ(::GetParent(overview), tabs.m_hWnd);
  EXPECT_TRUE(overview.GetExStyle() & WS_EX_STATICEDGE);
  EXPECT_TRUE(overview.vertical());
  EXPECT_FALSE(detail.vertical());
  EXPECT_EQ(overview.GetSplitterPane(0), views().overview_pane().m_hWnd);
  EXPECT_EQ(overview.GetSplitterPane(1), detail.m_hWnd);
  EXPECT_EQ(detail.GetSplitterPane(0), views().primary_pane().m_hWnd);
  EXPECT_EQ(detail.GetSplitterPane(1), views().secondary_pane().m_hWnd);

  struct container {
    CZELPaneContainer& pane;
    HWND parent, client;
    const wchar_t* title;
    bool close;
  };
  for (const container& c :
       {container{views().primary_pane(), detail, views().primary(), L"Primary View - ", false},
        container{views().secondary_pane(), detail, views().secondary(), L"Secondary View - ", true},
        container{views().overview_pane(), overview, views().tree(), L"Orvo System Overview", true}}) {
    EXPECT_EQ(class_of(c.pane), L"CZELPaneContainer");
    EXPECT_EQ(::GetParent(c.pane), c.parent) << c.title;
    EXPECT_EQ(::GetParent(c.client), c.pane.m_hWnd) << c.title;
    EXPECT_EQ(text_of(c.pane).rfind(c.title, 0), 0u) << text_of(c.pane);
    EXPECT_EQ(c.pane.close_button() != nullptr, c.close) << c.title;
  }

  // A selection names its object in both titles, cut at 80 characters.
  const long amplifier = first_amplifier();
  ASSERT_NE(amplifier, -1);
  views().tree().select_by_id(amplifier);
  EXPECT_EQ(text_of(views().primary_pane()).rfind(L"Primary View - Amplifier", 0), 0u)
      << text_of(views().primary_pane());
  frame().OnEndLabelEdit(amplifier, std::wstring(100, L'x').c_str());
  frame().OnTreeSelection(amplifier);
  EXPECT_EQ(text_of(views().secondary_pane()), L"Secondary View - " + std::wstring(80 - 17, L'x'));

  // The impedance container, without close button, in the secondary's place.
  ASSERT_EQ(control->FireImpedance(amplifier, VARIANT{}), S_OK);
  ASSERT_NE(views().impedance_pane(), nullptr);
  EXPECT_EQ(detail.GetSplitterPane(1), views().impedance_pane()->m_hWnd);
  EXPECT_EQ(text_of(*views().impedance_pane()), L"Impedance View - " + std::wstring(80 - 17, L'x'));
  EXPECT_EQ(views().impedance_pane()->close_button(), nullptr);
  ASSERT_EQ(control->FireImpedanceEnd(), S_OK);
  EXPECT_EQ(views().impedance_pane(), nullptr);
  EXPECT_EQ(detail.GetSplitterPane(1), views().secondary_pane().m_hWnd);

  // The docking focus hook lives as long as the window.
  dockwins::CDockingFocusHandler* focus = dockwins::CDockingFocusHandler::Instance();
  ASSERT_NE(focus, nullptr);
  EXPECT_NE(focus->Hook(), nullptr);
  frame().DestroyWindow();
  EXPECT_EQ(focus->Hook(), nullptr);
}

TEST_F(MainFramePanes, CloseButtonsHideTheOverviewAndTheSecondaryViewAndMoveTheFocusOn) {
  start();
  ::SetFocus(views().tree());
  ::SendMessageW(views().overview_pane().close_button(), BM_CLICK, 0, 0);
  EXPECT_FALSE(views().overview_visible());
  EXPECT_FALSE(frame().m_session.m_show_overview);
  EXPECT_EQ(focused_pane(), views().primary().m_hWnd);

  ::SetFocus(views().secondary());
  ::SendMessageW(views().secondary_pane().close_button(), BM_CLICK, 0, 0);
  EXPECT_FALSE(views().secondary_visible());
  EXPECT_FALSE(frame().m_session.m_show_detailview);
  EXPECT_NE(focused_pane(), views().secondary().m_hWnd);

  command(ID_VIEW_OVERVIEW);
  command(ID_VIEW_SECONDARY);
  EXPECT_TRUE(views().overview_visible());
  EXPECT_TRUE(views().secondary_visible());
}

TEST_F(MainFramePanes, TheBuiltInSessionPlacesTheWindowTheSplittersAndTheDockedManager) {
  start_built_in();
  ASSERT_TRUE(frame().m_session.m_loaded);
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ASSERT_TRUE(::GetWindowPlacement(frame(), &placement));
  const RECT& normal = placement.rcNormalPosition;
  EXPECT_THAT((std::vector<LONG>{normal.left, normal.top, normal.right, normal.bottom}), ElementsAre(22, 29, 982, 751));
  EXPECT_EQ(views().detail_splitter().GetSplitterPos(), 458);
  EXPECT_EQ(views().overview_splitter().GetSplitterPos(), 199);
  EXPECT_EQ(frame().protocol_window().splitter_position(), 114);
  dockwins::CRq4TabWindowHolder& pane = frame().protocol_pane();
  EXPECT_TRUE(pane.IsDocked());
  EXPECT_TRUE(pane.IsWindowVisible());
  const RECT r = window_rect(pane);
  EXPECT_EQ(r.right - r.left, 238);
  RECT client{};
  frame().GetClientRect(&client);
  ::MapWindowPoints(frame(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  EXPECT_EQ(r.right, client.right) << "docked at the right edge";
}

TEST_F(MainFramePanes, WithoutDataFilesTheManagerDocksRightAndTheSplittersTakeTheDefaultLayout) {
  _Module.m_skip_data_files = true;
  start();
  dockwins::CRq4TabWindowHolder& pane = frame().protocol_pane();
  EXPECT_TRUE(pane.IsDocked());
  EXPECT_TRUE(frame().protocol_pane_visible());
  RECT client{};
  frame().GetClientRect(&client);
  RECT r = window_rect(pane);
  ::MapWindowPoints(nullptr, frame(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.right, client.right);
  EXPECT_GT(r.left, client.right / 2);
  EXPECT_EQ(views().overview_splitter().GetSplitterPos(), client.right / 4);
  EXPECT_EQ(views().detail_splitter().GetSplitterPos(), client.bottom / 3 * 2);
}

TEST_F(MainFramePanes, PlacementsTheFrameCannotTakeShowItNormallyOnScreen) {
  const std::pair<const char*, Orvo::session_data> cases[] = {
      {"length 40", loaded_session(40, SW_SHOWNORMAL, {50, 50, 700, 600})},
      {"off screen", loaded_session(44, SW_SHOWNORMAL, {-9000, -9000, -8000, -8000})},
      {"minimised", loaded_session(44, SW_SHOWMINIMIZED, {50, 50, 700, 600})},
  };
  for (const auto& [name, session] : cases) {
    start_with(session);
    EXPECT_FALSE(frame().IsIconic()) << name;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ::GetWindowPlacement(frame(), &placement);
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWNORMAL)) << name;
    EXPECT_NE(::MonitorFromWindow(frame(), MONITOR_DEFAULTTONULL), nullptr) << name;
    f.reset();
  }
}

TEST_F(MainFramePanes, StoredSplittersOutsideTheirWindowsEndInsideAndAFloatingPaneOffScreenDocks) {
  Orvo::session_data session = loaded_session(44, SW_SHOWNORMAL, {20, 20, 820, 620});
  session.m_wndSplitHorPos = 5000;
  session.m_wndSplitPos = -20;
  dockwins::tagDFDOCKPOSEX pane{};
  pane.visible = 1;
  pane.request.flags = dockwins::dock_flags::Float;
  pane.request.SetFloatingRect({-7000, -7000, -6800, -6700});
  pane.window_rect = {-7000, -7000, -6800, -6700};
  session.m_protocol_window_pos = stored(pane);
  start_with(session);

  RECT area{};
  views().detail_splitter().GetClientRect(&area);
  EXPECT_GT(views().detail_splitter().GetSplitterPos(), 0);
  EXPECT_LT(views().detail_splitter().GetSplitterPos(), area.bottom);
  EXPECT_EQ(views().overview_splitter().GetSplitterPos(), 0);
  EXPECT_TRUE(frame().protocol_pane().IsDocked());
  EXPECT_TRUE(frame().protocol_pane_visible());
  f.reset();

  // Hidden there, it stays hidden and shows docked.
  pane.visible = 0;
  session.m_protocol_window_pos = stored(pane);
  start_with(session);
  EXPECT_FALSE(frame().protocol_pane_visible());
  command(ID_VIEW_PROTOCOL_MANAGER);
  EXPECT_TRUE(frame().protocol_pane().IsDocked());
  EXPECT_TRUE(frame().protocol_pane_visible());
}

TEST_F(MainFramePanes, TheRecordedLayoutIsWhatTheNextStartApplies) {
  constexpr int docked = 0, floats = 1, hidden = 2;
  for (const int pane_state : {docked, floats, hidden}) {
    const bool floating = pane_state == floats;
    start_built_in();
    ::SetWindowPos(frame(), nullptr, 40, 30, 900, 700, SWP_NOZORDER);
    if (floating) {
      dockwins::tagDFDOCKPOSEX position{};
      position.visible = 1;
      position.window_rect = {300, 200, 560, 600};
      frame().protocol_pane().SetDockingPosition(position);
    }
    views().overview_splitter().SetSplitterPos(250);
    views().detail_splitter().SetSplitterPos(300);
    frame().protocol_window().set_splitter_position(90);
    const RECT pane = window_rect(frame().protocol_pane());
    if (pane_state == hidden) command(ID_VIEW_PROTOCOL_MANAGER);
    frame().record_layout();
    const Orvo::session_data first = frame().m_session;
    f.reset();

    start_with(first);
    frame().record_layout();
    const Orvo::session_data& second = frame().m_session;
    EXPECT_EQ(second.m_mainframe_pos, first.m_mainframe_pos) << pane_state;
    EXPECT_EQ(second.m_wndSplitPos, first.m_wndSplitPos) << pane_state;
    EXPECT_EQ(second.m_wndSplitHorPos, first.m_wndSplitHorPos) << pane_state;
    EXPECT_EQ(second.m_protocol_manager_splitter_pos, first.m_protocol_manager_splitter_pos) << pane_state;
    if (pane_state != hidden) {
      EXPECT_EQ(first.m_wndSplitPos, 250);
      EXPECT_EQ(first.m_protocol_manager_splitter_pos, 90);
    }
    if (pane_state == hidden) {
      EXPECT_FALSE(frame().protocol_pane_visible());
      command(ID_VIEW_PROTOCOL_MANAGER);  // shown where it was docked
    }
    EXPECT_TRUE(frame().protocol_pane_visible()) << pane_state;
    EXPECT_EQ(frame().protocol_pane().IsDocked(), !floating) << pane_state;
    const RECT again = window_rect(frame().protocol_pane());
    EXPECT_THAT((std::vector<LONG>{again.left, again.top, again.right, again.bottom}),
                ElementsAre(pane.left, pane.top, pane.right, pane.bottom))
        << pane_state;
    f.reset();
  }
}

TEST_F(MainFramePanes, AnErrorShowsTheEventLogTabAtTheNextIdleTurnAndAWarningNothing) {
  std::vector<UINT> beeps;
  Orvo::set_beep_hook([&](UINT type) { beeps.push_back(type); });
  start();
  ASSERT_EQ(views().active_tab(), 0);
  BSTR text = SysAllocString(L"Amplifier 2 overheated");
  ASSERT_EQ(control->FireError(5, text), S_OK);
  SysFreeString(text);
  EXPECT_EQ(views().active_tab(), 0);
  frame().OnIdle();
  EXPECT_EQ(views().active_tab(), 1);
  EXPECT_TRUE(frame().log_window().IsWindowVisible());
  EXPECT_EQ(beeps.size(), 1u);
  EXPECT_FALSE(frame().UIIsEnabled(ID_VIEW_OVERVIEW)) << "the system tab's commands, in the same turn";

  command(ID_SYSTEM_TAB);
  frame().Log(L"The update to the Orvo system was only partially applied", log_warning, 1);
  frame().OnIdle();
  EXPECT_EQ(views().active_tab(), 0);
  EXPECT_EQ(beeps.size(), 1u);
  Orvo::set_beep_hook({});
}

TEST_F(MainFramePanes, TheFrameGivesItsFocusToTheImpedanceViewThePrimaryViewOrTheEventLog) {
  start();
  ::SetFocus(frame());
  EXPECT_EQ(focused_pane(), views().primary().m_hWnd);
  ASSERT_EQ(control->FireImpedance(first_amplifier(), VARIANT{}), S_OK);
  ::SetFocus(frame());
  EXPECT_EQ(focused_pane(), views().impedance()->m_hWnd);
  ASSERT_EQ(control->FireImpedanceEnd(), S_OK);
  command(ID_EVENT_LOG_TAB);
  ::SetFocus(frame());
  EXPECT_EQ(focused_pane(), frame().log_window().m_hWnd);
}

TEST_F(MainFramePanes, NextAndPreviousPaneCycleThroughTheShownPanesAndTheManagersTwo) {
  start();
  const HWND tree = views().tree(), primary = views().primary(), secondary = views().secondary();
  const HWND manager_tree = frame().protocol_window().tree(), details = frame().protocol_window().details();
  ::SetFocus(tree);
  std::vector<HWND> forward;
  for (int i = 0; i < 6; ++i) {
    command(ID_NEXT_PANE);
    forward.push_back(focused_pane());
  }
  EXPECT_THAT(forward, ElementsAre(primary, secondary, manager_tree, details, tree, primary));
  std::vector<HWND> backward;
  for (int i = 0; i < 5; ++i) {
    command(ID_PREV_PANE);
    backward.push_back(focused_pane());
  }
  EXPECT_THAT(backward, ElementsAre(tree, details, manager_tree, secondary, primary));

  // Ctrl+Tab through the frame's filter; a hidden pane is skipped.
  command(ID_VIEW_SECONDARY);
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_TRUE(frame().PreTranslateMessage(&tab));
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  EXPECT_EQ(focused_pane(), manager_tree);

  // The impedance view joins the cycle first; the event log moves nowhere.
  ASSERT_EQ(control->FireImpedance(first_amplifier(), VARIANT{}), S_OK);
  ::SetFocus(details);
  command(ID_NEXT_PANE);
  EXPECT_EQ(focused_pane(), views().impedance()->m_hWnd);
  command(ID_EVENT_LOG_TAB);
  ::SetFocus(frame().log_window());
  command(ID_NEXT_PANE);
  EXPECT_EQ(views().active_tab(), 1);
  EXPECT_EQ(focused_pane(), frame().log_window().m_hWnd);
}

TEST_F(MainFramePanes, TheContextMenuIsTheViewMenuAtTheClickOrAtTheSystemTabsCentre) {
  start();
  RECT area = window_rect(views().overview_splitter());
  const POINT click{area.left + 30, area.top + 40};
  for (const bool keyboard : {false, true}) {
    g_menu = {};
    ::SetTimer(nullptr, 0, 50, close_menu);
    frame().SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(frame().m_hWnd),
                        keyboard ? static_cast<LPARAM>(-1) : MAKELPARAM(click.x, click.y));
    ASSERT_NE(g_menu.menu, nullptr) << keyboard;
    EXPECT_EQ(::GetMenuItemID(g_menu.menu, 0), static_cast<UINT>(ID_VIEW_IMPEDANCE));
    const POINT at = keyboard ? POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2} : click;
    EXPECT_EQ(g_menu.rect.left, at.x) << keyboard;
    EXPECT_EQ(g_menu.rect.top, at.y) << keyboard;
  }
}

TEST_F(MainFramePanes, ProtocolManagerHidesAVisiblePaneAndShowsItWhereItWasDockedOrFloating) {
  start();
  dockwins::CRq4TabWindowHolder& pane = frame().protocol_pane();
  ASSERT_TRUE(pane.IsDocked());
  const RECT docked = window_rect(pane);
  command(ID_VIEW_PROTOCOL_MANAGER);
  EXPECT_FALSE(frame().protocol_pane_visible());
  frame().OnIdle();
  HMENU view = ::GetSubMenu(frame().m_hMenu, 2);
  frame().SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 2);
  EXPECT_FALSE(::GetMenuState(view, ID_VIEW_PROTOCOL_MANAGER, MF_BYCOMMAND) & MF_CHECKED);
  command(ID_VIEW_PROTOCOL_MANAGER);
  EXPECT_TRUE(pane.IsDocked());
  EXPECT_TRUE(frame().protocol_pane_visible());
  EXPECT_EQ(window_rect(pane).right, docked.right);
  frame().OnIdle();
  frame().SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 2);
  EXPECT_TRUE(::GetMenuState(view, ID_VIEW_PROTOCOL_MANAGER, MF_BYCOMMAND) & MF_CHECKED);

  dockwins::tagDFDOCKPOSEX floating{};
  floating.visible = 1;
  floating.window_rect = {320, 240, 560, 600};
  pane.SetDockingPosition(floating);
  command(ID_VIEW_PROTOCOL_MANAGER);
  EXPECT_FALSE(pane.IsWindowVisible());
  command(ID_VIEW_PROTOCOL_MANAGER);
  EXPECT_FALSE(pane.IsDocked());
  EXPECT_TRUE(pane.IsWindowVisible());
  EXPECT_EQ(window_rect(pane).left, 320);
}

TEST_F(MainFramePanes, TheManagersOpenAndPreviewReachTheFrameDockedAndFloating) {
  start();
  frame().m_libraries.m_user[u"Q"] = Orvo::protocol{};
  frame().protocol_window().refresh();
  frame().protocol_window().select(true, L"Q");
  // The frame's own handlers open and preview: their questions answered No.
  const Orvo::message_box_hook previous = Orvo::set_message_box_hook([](const MSGBOXPARAMSW&) { return IDNO; });
  ASSERT_TRUE(::SetWindowSubclass(frame(), record_commands, 1, 0));
  g_commands.clear();
  frame().protocol_window().SendMessage(WM_COMMAND, ID_PROTOCOL_OPEN);
  dockwins::tagDFDOCKPOSEX floating{};
  floating.visible = 1;
  floating.window_rect = {320, 240, 560, 600};
  frame().protocol_pane().SetDockingPosition(floating);
  ASSERT_FALSE(frame().protocol_pane().IsDocked());
  frame().protocol_window().SendMessage(WM_COMMAND, ID_PROTOCOL_PREVIEW);
  ::RemoveWindowSubclass(frame(), record_commands, 1);
  Orvo::set_message_box_hook(previous);
  EXPECT_THAT(g_commands, ElementsAre(ID_PROTOCOL_OPEN, ID_PROTOCOL_PREVIEW));
}

TEST_F(MainFramePanes, TheManagersKeysComeLastInTheFramesFilter) {
  start();
  frame().m_libraries.m_user[u"Q"] = Orvo::protocol{};
  frame().protocol_window().refresh();
  frame().protocol_window().select(true, L"Q");
  const HWND tree = frame().protocol_window().tree();
  ::SetFocus(tree);
  MSG rename{tree, WM_KEYDOWN, VK_F2, 0, 0, {}};
  EXPECT_TRUE(frame().PreTranslateMessage(&rename));
  EXPECT_TRUE(frame().protocol_window().label_editing());
  TreeView_EndEditLabelNow(tree, TRUE);
}
