// The tab strip on a screen of 256 colours (run on an 8-bit display): the
// plain window brush and the plain grey text colour instead of the mixed
// colours, which such a screen would dither.
#include <gtest/gtest.h>

#include "dot_net_tab_ctrl.h"
#include "tab_recorder.h"

namespace {
using namespace dockwins;

TEST(TabStripOnAPaletteScreen, UsesTheWindowBrushAndThePlainGreyText) {
  {
    WTL::CClientDC screen(nullptr);
    ASSERT_LE(screen.GetDeviceCaps(BITSPIXEL) * screen.GetDeviceCaps(PLANES), 8) << "run on an 8-bit display";
  }
  orvo::testing::tab_recorder parent;
  ASSERT_TRUE(parent.Create(nullptr, RECT{0, 0, 200, 40}, L"tabs", WS_POPUP));
  CDotNetTabCtrl<CTabViewTabItem> strip;
  ASSERT_TRUE(strip.Create(parent, RECT{0, 0, 200, 24}, nullptr, WS_CHILD | WS_VISIBLE));
  auto* item = new CTabViewTabItem;
  item->SetText(L"Overview");
  strip.InsertItem(-1, item);
  strip.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(WTL::CClientDC(strip).m_hDC), PRF_CLIENT);
  EXPECT_EQ(parent.last_draw.hBrushBackground, ::GetSysColorBrush(COLOR_WINDOW));
  EXPECT_EQ(parent.last_draw.clrTextInactive, ::GetSysColor(COLOR_GRAYTEXT));
  parent.DestroyWindow();
}

}  // namespace
