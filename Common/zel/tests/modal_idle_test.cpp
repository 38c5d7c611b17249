// A modal dialog on the thread's message loop under wine64: idle work goes
// on while it waits and stops when it ends.
#include <gtest/gtest.h>

#include <functional>

#include "win/dialog_template.h"
#include "win/tests/win_test_support.h"
#include "zel/modal_idle.h"

namespace {

class name_dialog : public zel::modal_idle<name_dialog> {
 public:
  BEGIN_MSG_MAP(name_dialog)
  COMMAND_RANGE_HANDLER(IDOK, IDCANCEL, OnEnd)
  END_MSG_MAP()
  LRESULT OnEnd(WORD, WORD id, HWND, BOOL&) {
    EndDialog(id);
    return 0;
  }
  BOOL OnIdle() override {
    ++m_passes;
    m_on_pass();
    return FALSE;
  }

  INT_PTR run(WTL::CMessageLoop& loop, HWND owner) {
    WTL::dialog_template t(L"Protocol name", WS_POPUP | WS_BORDER, 0, 0, 120, 60);
    t.add(L"BUTTON", L"OK", IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 60, 40, 50, 14);
    return DoModal(loop, t.get(), owner);
  }

  int m_passes = 0;
  std::function<void()> m_on_pass;
};

struct counting_idle : WTL::CIdleHandler {
  BOOL OnIdle() override {
    ++passes;
    return FALSE;
  }
  int passes = 0;
};

class ModalIdle : public testing::Test {
 protected:
  void SetUp() override { m_loop.AddIdleHandler(&m_thread_idle); }

  orvo::testing::scratch_window m_owner;
  WTL::CMessageLoop m_loop;
  counting_idle m_thread_idle;
  name_dialog m_dialog;
};

TEST_F(ModalIdle, TheDialogsHookRunsOnEachIdlePassWhileItWaitsAndNeverAfter) {
  bool waiting = true;
  m_dialog.m_on_pass = [&] {
    waiting = waiting && m_dialog.IsWindowVisible() && !::IsWindowEnabled(m_owner);
    // A message for the dialog makes another idle pass; the second pass ends it.
    m_dialog.PostMessage(m_dialog.m_passes == 1 ? WM_APP : WM_COMMAND, IDOK);
  };
  EXPECT_EQ(m_dialog.run(m_loop, m_owner), IDOK);
  EXPECT_GE(m_dialog.m_passes, 2);
  EXPECT_TRUE(waiting);
  EXPECT_EQ(m_thread_idle.passes, m_dialog.m_passes);  // the thread's own idle work went on too
  EXPECT_TRUE(::IsWindowEnabled(m_owner));
  EXPECT_EQ(m_dialog.m_hWnd, nullptr);

  const int passes = m_dialog.m_passes;
  m_loop.OnIdle(0);
  orvo::testing::pump_messages();
  EXPECT_EQ(m_dialog.m_passes, passes);
}

TEST_F(ModalIdle, TheDialogsKeysGoThroughTheDialogManager) {
  m_dialog.m_on_pass = [&] {
    if (m_dialog.m_passes == 1) ::PostMessageW(m_dialog.GetDlgItem(IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
  };
  EXPECT_EQ(m_dialog.run(m_loop, m_owner), IDCANCEL);
}

TEST_F(ModalIdle, ADialogDestroyedWithoutEndingEndsItsRunWithMinusOne) {
  m_dialog.m_on_pass = [&] { m_dialog.DestroyWindow(); };
  EXPECT_EQ(m_dialog.run(m_loop, m_owner), -1);
  EXPECT_TRUE(::IsWindowEnabled(m_owner));
}

}  // namespace
