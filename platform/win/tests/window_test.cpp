// Windows of the layer under wine64: message routing, the end of a
// window's life, subclassing, superclassing and dialogs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "win/dialog.h"
#include "win/dialog_template.h"
#include "win/reflection.h"
#include "win/window_impl.h"
#include "win_test_resources.h"
#include "win_test_support.h"

using orvo::testing::exception_log;
using orvo::testing::pump_messages;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

std::vector<std::string> g_calls;

// A map chained into another as a mixin, and one chained as a member.
class counting_mixin {
 public:
  BEGIN_MSG_MAP(counting_mixin)
  MESSAGE_HANDLER(WM_APP + 3, OnMixin)
  END_MSG_MAP()
  LRESULT OnMixin(UINT, WPARAM, LPARAM, BOOL&) {
    g_calls.push_back("mixin");
    return 30;
  }
};

class member_map {
 public:
  BEGIN_MSG_MAP(member_map)
  MESSAGE_HANDLER(WM_APP + 4, OnMember)
  END_MSG_MAP()
  LRESULT OnMember(UINT, WPARAM, LPARAM, BOOL&) {
    g_calls.push_back("member");
    return 40;
  }
};

class CRoutedWindow : public WTL::CWindowImpl<CRoutedWindow, WTL::CWindow, WTL::CNullTraits>, public counting_mixin {
 public:
  WTL::CContainedWindow m_edit{this, 1};
  member_map m_member;

  BEGIN_MSG_MAP(CRoutedWindow)
  MESSAGE_HANDLER(WM_APP, OnPassOn)
  MESSAGE_HANDLER(WM_APP, OnApp)
  MESSAGE_HANDLER(WM_APP + 2, OnPassOn)
  COMMAND_ID_HANDLER(100, OnCommand)
  COMMAND_RANGE_HANDLER(200, 210, OnCommand)
  NOTIFY_HANDLER(300, NM_CLICK, OnNotify)
  CHAIN_MSG_MAP(counting_mixin)
  CHAIN_MSG_MAP_MEMBER(m_member)
  ALT_MSG_MAP(1)
  MESSAGE_HANDLER(WM_CHAR, OnEditChar)
  END_MSG_MAP()

  LRESULT OnPassOn(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    g_calls.push_back("pass on");
    bHandled = FALSE;
    return 99;
  }
  LRESULT OnApp(UINT, WPARAM, LPARAM, BOOL&) {
    g_calls.push_back("app");
    return 7;
  }
  LRESULT OnCommand(WORD code, WORD id, HWND, BOOL&) {
    g_calls.push_back("command " + std::to_string(id) + "/" + std::to_string(code));
    return 0;
  }
  LRESULT OnNotify(int id, LPNMHDR, BOOL&) {
    g_calls.push_back("notify " + std::to_string(id));
    return 1;
  }
  LRESULT OnEditChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    g_calls.push_back("edit char " + std::string(1, static_cast<char>(wParam)));
    bHandled = FALSE;  // the edit still types it
    return 0;
  }
};

class RoutingTest : public testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    ASSERT_TRUE(m_window.Create(nullptr, RECT{0, 0, 200, 100}, L"routed", WS_OVERLAPPEDWINDOW));
  }
  void TearDown() override { m_window.DestroyWindow(); }
  CRoutedWindow m_window;
};

TEST_F(RoutingTest, AHandlerThatClearsTheHandledFlagPassesTheMessageToTheNextEntry) {
  EXPECT_EQ(m_window.SendMessage(WM_APP), 7);
  EXPECT_THAT(g_calls, ElementsAre("pass on", "app"));
}

TEST_F(RoutingTest, AMessageNoEntryKeepsGetsTheDefaultProcessingAndItsAnswer) {
  EXPECT_EQ(m_window.SendMessage(WM_APP + 2), 0);  // DefWindowProc, not the 99 of the declining handler
  m_window.SetWindowText(L"new title");
  EXPECT_EQ(m_window.GetWindowText(), L"new title");
}

TEST_F(RoutingTest, CommandsAndNotificationsReachTheirHandlersByIdAndCode) {
  m_window.SendMessage(WM_COMMAND, MAKEWPARAM(100, 0));
  m_window.SendMessage(WM_COMMAND, MAKEWPARAM(205, 1));
  m_window.SendMessage(WM_COMMAND, MAKEWPARAM(211, 1));  // outside the range: nobody
  NMHDR click{nullptr, 300, static_cast<UINT>(NM_CLICK)};
  NMHDR other{nullptr, 301, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(m_window.SendMessage(WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&click)), 1);
  m_window.SendMessage(WM_NOTIFY, 301, reinterpret_cast<LPARAM>(&other));
  EXPECT_THAT(g_calls, ElementsAre("command 100/0", "command 205/1", "notify 300"));
}

TEST_F(RoutingTest, ChainedMapsOfBasesAndMembersAnswerTheirMessages) {
  EXPECT_EQ(m_window.SendMessage(WM_APP + 3), 30);
  EXPECT_EQ(m_window.SendMessage(WM_APP + 4), 40);
  EXPECT_THAT(g_calls, ElementsAre("mixin", "member"));
}

TEST_F(RoutingTest, AContainedWindowsMessagesGoToTheAlternateMapThenToItsOwnProcedure) {
  HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 100, 20, m_window, nullptr, nullptr, nullptr);
  const auto original = ::GetWindowLongPtrW(edit, GWLP_WNDPROC);
  ASSERT_TRUE(m_window.m_edit.SubclassWindow(edit));
  ::SendMessageW(edit, WM_CHAR, 'x', 0);
  EXPECT_THAT(g_calls, ElementsAre("edit char x"));
  EXPECT_EQ(WTL::CWindow(edit).GetWindowText(), L"x");
  m_window.SendMessage(WM_CHAR, 'y', 0);  // the main map has no WM_CHAR entry
  EXPECT_EQ(g_calls.size(), 1u);

  EXPECT_EQ(m_window.m_edit.UnsubclassWindow(), edit);
  EXPECT_EQ(::GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
}

// A control that answers notifications its parent reflects back to it.
class CReflectingChild : public WTL::CWindowImpl<CReflectingChild> {
 public:
  BEGIN_MSG_MAP(CReflectingChild)
  REFLECTED_COMMAND_CODE_HANDLER(EN_CHANGE, OnChanged)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()
  LRESULT OnChanged(WORD, WORD id, HWND, BOOL&) {
    g_calls.push_back("reflected change " + std::to_string(id));
    return 42;
  }
};

class CReflectingParent : public WTL::CWindowImpl<CReflectingParent, WTL::CWindow, WTL::CNullTraits> {
 public:
  BEGIN_MSG_MAP(CReflectingParent)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
};

class CConditionalParent : public WTL::CWindowImpl<CConditionalParent, WTL::CWindow, WTL::CNullTraits>,
                           public WTL::CConditionalNotificationReflection<CConditionalParent> {
 public:
  BEGIN_MSG_MAP(CConditionalParent)
  CHAIN_MSG_MAP(WTL::CConditionalNotificationReflection<CConditionalParent>)
  COMMAND_CODE_HANDLER(EN_CHANGE, OnChanged)
  END_MSG_MAP()
  LRESULT OnChanged(WORD, WORD id, HWND, BOOL&) {
    g_calls.push_back("parent change " + std::to_string(id));
    return 5;
  }
};

class CForwardingMiddle : public WTL::CWindowImpl<CForwardingMiddle> {
 public:
  BEGIN_MSG_MAP(CForwardingMiddle)
  FORWARD_NOTIFICATIONS()
  END_MSG_MAP()
};

TEST(Reflection, AParentSendsAControlsNotificationBackToItAsAnOcmCode) {
  g_calls.clear();
  CReflectingParent parent;
  CReflectingChild child;
  ASSERT_TRUE(parent.Create(nullptr, RECT{0, 0, 200, 100}, L"parent", WS_OVERLAPPEDWINDOW));
  ASSERT_TRUE(child.Create(parent, RECT{0, 0, 50, 20}, nullptr, 0, 0, 12));
  EXPECT_EQ(parent.SendMessage(WM_COMMAND, MAKEWPARAM(12, EN_CHANGE), reinterpret_cast<LPARAM>(child.m_hWnd)), 42);
  // A reflected notification the control does not handle is answered as
  // DefWindowProc answers the original message.
  NMHDR header{child, 12, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 12, reinterpret_cast<LPARAM>(&header)), 0);
  // A message that is no notification, or has no sender, is not reflected.
  EXPECT_EQ(parent.SendMessage(WM_COMMAND, MAKEWPARAM(12, EN_CHANGE), 0), 0);
  EXPECT_THAT(g_calls, ElementsAre("reflected change 12"));
  parent.DestroyWindow();
}

TEST(Reflection, ConditionalReflectionReflectsOnlyTheListedControls) {
  g_calls.clear();
  CConditionalParent parent;
  CReflectingChild listed, other;
  ASSERT_TRUE(parent.Create(nullptr, RECT{0, 0, 200, 100}, L"parent", WS_OVERLAPPEDWINDOW));
  ASSERT_TRUE(listed.Create(parent, RECT{0, 0, 50, 20}, nullptr, 0, 0, 1));
  ASSERT_TRUE(other.Create(parent, RECT{0, 30, 50, 50}, nullptr, 0, 0, 2));
  parent.AddReflectedWindow(listed);
  EXPECT_EQ(parent.SendMessage(WM_COMMAND, MAKEWPARAM(1, EN_CHANGE), reinterpret_cast<LPARAM>(listed.m_hWnd)), 42);
  EXPECT_EQ(parent.SendMessage(WM_COMMAND, MAKEWPARAM(2, EN_CHANGE), reinterpret_cast<LPARAM>(other.m_hWnd)), 5);
  EXPECT_THAT(g_calls, ElementsAre("reflected change 1", "parent change 2"));
  parent.DestroyWindow();
}

TEST(Reflection, AWindowForwardsTheNotificationsOfItsControlsToItsParent) {
  g_calls.clear();
  CConditionalParent parent;
  CForwardingMiddle middle;
  ASSERT_TRUE(parent.Create(nullptr, RECT{0, 0, 200, 100}, L"parent", WS_OVERLAPPEDWINDOW));
  ASSERT_TRUE(middle.Create(parent, RECT{0, 0, 100, 50}));
  EXPECT_EQ(middle.SendMessage(WM_COMMAND, MAKEWPARAM(9, EN_CHANGE), 0), 5);
  EXPECT_THAT(g_calls, ElementsAre("parent change 9"));
  parent.DestroyWindow();
}

// A window that destroys itself from inside its own handler and deletes
// itself in OnFinalMessage.
class CSelfClosing : public WTL::CWindowImpl<CSelfClosing, WTL::CWindow, WTL::CNullTraits> {
 public:
  BEGIN_MSG_MAP(CSelfClosing)
  MESSAGE_HANDLER(WM_APP, OnClose)
  MESSAGE_HANDLER(WM_APP + 1, OnThrow)
  END_MSG_MAP()
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    g_calls.push_back("destroying");
    DestroyWindow();
    g_calls.push_back(m_hWnd ? "still bound" : "handler returns");
    return 3;
  }
  LRESULT OnThrow(UINT, WPARAM, LPARAM, BOOL&) { throw std::runtime_error("handler failed"); }
  void OnFinalMessage(HWND) override {
    g_calls.push_back("final");
    delete this;
  }
};

TEST(WindowLife, AWindowDestroyedInItsOwnHandlerGetsItsFinalMessageAfterTheHandlerReturns) {
  g_calls.clear();
  auto* window = new CSelfClosing;
  HWND hWnd = window->Create(nullptr, RECT{0, 0, 100, 100}, L"self closing", WS_OVERLAPPEDWINDOW);
  ASSERT_TRUE(hWnd);
  EXPECT_EQ(::SendMessageW(hWnd, WM_APP, 0, 0), 3);
  EXPECT_THAT(g_calls, ElementsAre("destroying", "handler returns", "final"));
  EXPECT_FALSE(::IsWindow(hWnd));
}

TEST(WindowLife, AnExceptionFromAHandlerIsLoggedAndTheMessageGetsItsDefaultProcessing) {
  exception_log log;
  auto* window = new CSelfClosing;
  HWND hWnd = window->Create(nullptr, RECT{0, 0, 100, 100}, L"throwing", WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(::SendMessageW(hWnd, WM_APP + 1, 0, 0), 0);
  ASSERT_EQ(log.entries().size(), 1u);
  EXPECT_THAT(log.entries()[0], HasSubstr("window procedure"));
  EXPECT_THAT(log.entries()[0], HasSubstr("handler failed"));
  ::DestroyWindow(hWnd);  // the window still works, and ends its object
}

class CPlain : public WTL::CWindowImpl<CPlain, WTL::CWindow, WTL::CNullTraits> {
 public:
  BEGIN_MSG_MAP(CPlain)
  MESSAGE_HANDLER(WM_APP, OnApp)
  END_MSG_MAP()
  LRESULT OnApp(UINT, WPARAM, LPARAM, BOOL&) { return 11; }
};

TEST(WindowLife, MessagesAfterTheObjectIsGoneGetTheDefaultProcessing) {
  auto* window = new CPlain;
  HWND hWnd = window->Create(nullptr, RECT{0, 0, 100, 100}, L"orphan", WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(::SendMessageW(hWnd, WM_APP, 0, 0), 11);
  delete window;
  EXPECT_EQ(::SendMessageW(hWnd, WM_APP, 0, 0), 0);
  ::SetWindowTextW(hWnd, L"still a window");
  EXPECT_EQ(WTL::CWindow(hWnd).GetWindowText(), L"still a window");
  EXPECT_TRUE(::DestroyWindow(hWnd));
}

TEST(WindowLife, AnObjectWithAWindowCannotCreateASecondOne) {
  CPlain window;
  ASSERT_TRUE(window.Create(nullptr, RECT{0, 0, 10, 10}, nullptr, WS_OVERLAPPED));
  EXPECT_EQ(window.Create(nullptr, RECT{0, 0, 10, 10}, nullptr, WS_OVERLAPPED), nullptr);
  window.DestroyWindow();
}

// A superclass of the system's edit control.
class CUpperEdit : public WTL::CWindowImpl<CUpperEdit> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.test.upperedit", 0, 0, nullptr, L"EDIT"}; }
  BEGIN_MSG_MAP(CUpperEdit)
  MESSAGE_HANDLER(WM_CHAR, OnChar)
  END_MSG_MAP()
  LRESULT OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    return DefWindowProc(uMsg, static_cast<WPARAM>(::towupper(static_cast<wint_t>(wParam))), lParam);
  }
};

TEST(Superclass, AControlSuperclassKeepsTheSystemControlsProcedureAsItsDefault) {
  orvo::testing::scratch_window parent;
  CUpperEdit edit;
  ASSERT_TRUE(edit.Create(parent, RECT{0, 0, 100, 20}));
  wchar_t name[64];
  ::GetClassNameW(edit, name, 64);
  EXPECT_STREQ(name, L"Orvo.test.upperedit");
  WNDCLASSEXW system{};
  system.cbSize = sizeof system;
  ASSERT_TRUE(::GetClassInfoExW(nullptr, L"EDIT", &system));
  EXPECT_EQ(edit.m_pfnSuperWindowProc, system.lpfnWndProc);
  edit.SendMessage(WM_CHAR, 'a');
  edit.SendMessage(WM_CHAR, 'b');
  EXPECT_EQ(edit.GetWindowText(), L"AB");
}

// Two implementations subclassing one window, one after the other.
class CFirstSubclass : public WTL::CWindowImpl<CFirstSubclass> {
 public:
  BEGIN_MSG_MAP(CFirstSubclass)
  MESSAGE_HANDLER(WM_APP, OnApp)
  END_MSG_MAP()
  LRESULT OnApp(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  void OnFinalMessage(HWND) override { g_calls.push_back("first final"); }
};
class CSecondSubclass : public WTL::CWindowImpl<CSecondSubclass> {
 public:
  BEGIN_MSG_MAP(CSecondSubclass)
  MESSAGE_HANDLER(WM_APP + 1, OnApp)
  END_MSG_MAP()
  LRESULT OnApp(UINT, WPARAM, LPARAM, BOOL&) { return 2; }
};

TEST(Subclass, SubclassingStacksAndUnsubclassingRestoresEachPreviousProcedure) {
  orvo::testing::scratch_window window;
  const auto original = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
  CFirstSubclass first;
  CSecondSubclass second;
  ASSERT_TRUE(first.SubclassWindow(window));
  const auto afterFirst = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
  ASSERT_TRUE(second.SubclassWindow(window));
  EXPECT_EQ(::SendMessageW(window, WM_APP, 0, 0), 1);  // passed down by the second
  EXPECT_EQ(::SendMessageW(window, WM_APP + 1, 0, 0), 2);

  // The first cannot leave while the second stands in front of it.
  EXPECT_EQ(first.UnsubclassWindow(), nullptr);
  EXPECT_EQ(second.UnsubclassWindow(), window);
  EXPECT_EQ(::GetWindowLongPtrW(window, GWLP_WNDPROC), afterFirst);
  EXPECT_EQ(first.UnsubclassWindow(), window);
  EXPECT_EQ(::GetWindowLongPtrW(window, GWLP_WNDPROC), original);
  EXPECT_EQ(::SendMessageW(window, WM_APP, 0, 0), 0);
}

TEST(Subclass, ASubclassedWindowsEndRunsTheFinalMessage) {
  g_calls.clear();
  HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  CFirstSubclass first;
  ASSERT_TRUE(first.SubclassWindow(hWnd));
  ::DestroyWindow(hWnd);
  EXPECT_THAT(g_calls, ElementsAre("first final"));
  EXPECT_EQ(first.m_hWnd, nullptr);
}

// Dialogs.
class test_dialog : public WTL::CDialogImpl<test_dialog> {
 public:
  enum { IDD = IDD_TEST_DIALOG };
  LPARAM m_init = 0;
  std::wstring m_label;

  BEGIN_MSG_MAP(test_dialog)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  MESSAGE_HANDLER(WM_APP, OnApp)
  COMMAND_ID_HANDLER(IDOK, OnOk)
  END_MSG_MAP()

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&) {
    m_init = lParam;
    m_label = GetDlgItem(IDC_TEST_LABEL).GetWindowText();
    if (lParam) PostMessage(WM_COMMAND, IDOK);
    return TRUE;
  }
  LRESULT OnApp(UINT, WPARAM, LPARAM, BOOL&) { return 1234; }
  LRESULT OnOk(WORD, WORD, HWND, BOOL&) {
    EndDialog(static_cast<int>(m_init) + 1);
    return 0;
  }
  void OnFinalMessage(HWND) override { g_calls.push_back("dialog final"); }
};

TEST(Dialog, AModalDialogFromAResourceRunsUntilItsHandlerEndsIt) {
  orvo::testing::scratch_window owner;
  test_dialog dialog;
  EXPECT_EQ(dialog.DoModal(owner, 41), 42);
  EXPECT_EQ(dialog.m_init, 41);
  EXPECT_EQ(dialog.m_label, L"Label from the resource");
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialog, AModalDialogFromAnInMemoryTemplateRunsTheSameMap) {
  WTL::dialog_template memory(L"In memory", WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 0, 120, 60);
  memory.add(L"STATIC", L"Label from memory", IDC_TEST_LABEL, WS_CHILD | WS_VISIBLE, 5, 5, 100, 10);
  memory.add(L"BUTTON", L"OK", IDOK, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 60, 40, 50, 14);
  orvo::testing::scratch_window owner;
  test_dialog dialog;
  EXPECT_EQ(dialog.DoModal(memory.get(), owner, 9), 10);
  EXPECT_EQ(dialog.m_label, L"Label from memory");
}

TEST(Dialog, AModelessDialogAnswersThroughItsResultAndEndsWithItsWindow) {
  g_calls.clear();
  orvo::testing::scratch_window owner;
  test_dialog dialog;
  HWND hWnd = dialog.Create(owner);
  ASSERT_TRUE(hWnd);
  EXPECT_EQ(dialog.m_label, L"Label from the resource");
  EXPECT_EQ(::SendMessageW(hWnd, WM_APP, 0, 0), 1234);  // through DWLP_MSGRESULT
  dialog.EndDialog(0);
  EXPECT_FALSE(::IsWindow(hWnd));
  EXPECT_THAT(g_calls, ElementsAre("dialog final"));
}

}  // namespace
