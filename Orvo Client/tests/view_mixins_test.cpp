// The views' shared mixins under wine64: a dialog made into a child view,
// and nestable suspension of a window's drawing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "dialog_view.h"
#include "safe_set_redraw.h"
#include "win/dialog_template.h"
#include "win/window_impl.h"
#include "win_test_support.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class CTestView : public CDialogView<CTestView> {
 public:
  bool m_own_init_ran = false;
  DWORD m_style_seen_by_own_init = 0;

  BEGIN_MSG_MAP(CTestView)
  CHAIN_MSG_MAP(CDialogView<CTestView>)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    m_own_init_ran = true;
    m_style_seen_by_own_init = GetStyle();
    return TRUE;
  }
};

// A window that notes every WM_SETREDRAW it receives, and whether the end
// of its last suspension found it still suspended. Deferred: drawing goes
// off only on request.
template <bool Deferred>
class CRedrawCounterOf : public WTL::CWindowImpl<CRedrawCounterOf<Deferred>, WTL::CWindow, WTL::CNullTraits>,
                         public CSafeSetRedraw<CRedrawCounterOf<Deferred>, Deferred> {
 public:
  std::vector<WPARAM> m_redraws;
  std::vector<bool> m_resuming_while_suspended;

  void OnRedrawResuming() noexcept { m_resuming_while_suspended.push_back(this->IsRedrawSuspended()); }

  BEGIN_MSG_MAP(CRedrawCounterOf)
  MESSAGE_HANDLER(WM_SETREDRAW, OnSetRedraw)
  END_MSG_MAP()

  LRESULT OnSetRedraw(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    m_redraws.push_back(wParam);
    bHandled = FALSE;
    return 0;
  }
};
using CRedrawCounter = CRedrawCounterOf<false>;
using CDeferredRedrawCounter = CRedrawCounterOf<true>;

class RedrawSuspension : public testing::Test {
 protected:
  RedrawSuspension() { window.Create(parent, RECT{0, 0, 100, 100}, nullptr, WS_CHILD | WS_VISIBLE); }
  ~RedrawSuspension() override { window.DestroyWindow(); }
  orvo::testing::scratch_window parent;
  CRedrawCounter window;
};

}  // namespace

TEST(DialogView, InitialisationMakesACaptionedDialogAVisibleChildAndRunsTheViewsOwnStep) {
  orvo::testing::scratch_window parent;
  WTL::dialog_template tpl(L"Event Log", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 120, 60);
  tpl.add(L"BUTTON", L"C&lear", 1035, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 50, 14);
  CTestView view;
  ASSERT_TRUE(view.Create(tpl.get(), parent));
  const DWORD style = view.GetStyle();
  EXPECT_EQ(style & WS_CAPTION, 0u);
  EXPECT_NE(style & WS_CHILD, 0u);
  EXPECT_NE(style & WS_VISIBLE, 0u);
  EXPECT_TRUE(view.m_own_init_ran);
  EXPECT_NE(view.m_style_seen_by_own_init & WS_CHILD, 0u);
  view.DestroyWindow();
}

TEST(DialogView, FilterTakesDialogKeysOnlyForTheView) {
  orvo::testing::scratch_window parent, other;
  WTL::dialog_template tpl(L"View", WS_CHILD, 0, 0, 120, 60);
  tpl.add(L"BUTTON", L"A", 1, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 10, 50, 14);
  CTestView view;
  ASSERT_TRUE(view.Create(tpl.get(), parent));
  MSG tab{view.GetDlgItem(1), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_TRUE(view.PreTranslateMessage(&tab));
  MSG elsewhere{other, WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_FALSE(view.PreTranslateMessage(&elsewhere));
  view.DestroyWindow();
}

TEST_F(RedrawSuspension, NestedSuspensionsSendOneFalseAndTheLastReleaseOneTrue) {
  window.SuspendRedraw();
  window.SuspendRedraw();
  window.ReleaseRedraw();
  EXPECT_THAT(window.m_redraws, ElementsAre(FALSE));
  window.ReleaseRedraw();
  EXPECT_THAT(window.m_redraws, ElementsAre(FALSE, TRUE));
}

TEST_F(RedrawSuspension, AReleaseWithoutSuspensionSendsNothing) {
  window.ReleaseRedraw();
  EXPECT_THAT(window.m_redraws, IsEmpty());
  EXPECT_FALSE(window.IsRedrawSuspended());
}

TEST_F(RedrawSuspension, AThrowInsideTheScopedSuspensionTurnsDrawingBackOn) {
  try {
    CSafeSetRedraw<CRedrawCounter>::suspension frozen(window);
    throw std::runtime_error("refill failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_THAT(window.m_redraws, ElementsAre(FALSE, TRUE));
}

TEST(DeferredRedrawSuspension, DrawingGoesOffOnceOnRequestAndBackOnOnlyWhenItWentOff) {
  orvo::testing::scratch_window parent;
  CDeferredRedrawCounter window;
  window.Create(parent, RECT{0, 0, 100, 100}, nullptr, WS_CHILD | WS_VISIBLE);
  window.StopRedraw();
  window.SuspendRedraw();
  window.SuspendRedraw();
  window.ReleaseRedraw();
  window.ReleaseRedraw();
  EXPECT_THAT(window.m_redraws, IsEmpty()) << "no request inside, none outside";

  window.SuspendRedraw();
  window.SuspendRedraw();
  window.StopRedraw();
  window.StopRedraw();
  window.ReleaseRedraw();
  EXPECT_THAT(window.m_redraws, ElementsAre(FALSE));
  window.ReleaseRedraw();
  EXPECT_THAT(window.m_redraws, ElementsAre(FALSE, TRUE));
  EXPECT_FALSE(window.IsRedrawStopped());
  EXPECT_THAT(window.m_resuming_while_suspended, ElementsAre(true, true)) << "once per last release";
  window.DestroyWindow();
}
