// The command bar on a screen of 256 colours (run on an 8-bit display):
// plain system colours instead of blended ones, which such a screen would
// dither.
#include <gtest/gtest.h>

#include "test_frame.h"

namespace {

TEST(CommandBarOnAPaletteScreen, UsesThePlainSystemColours) {
  {
    HDC screen = ::GetDC(nullptr);
    const int depth = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
    ::ReleaseDC(nullptr, screen);
    ASSERT_LE(depth, 8) << "run on an 8-bit display";
  }
  test_frame frame;
  frame.open();
  const zel::CCommandBarXPCtrl& bar = frame.m_bar;
  EXPECT_EQ(bar.m_clrMenuBackground, ::GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(bar.m_clrImageMargin, ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(bar.m_clrSelectionBorder, ::GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(bar.m_clrSelectionBackground, ::GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(bar.m_clrCheckedBackground, ::GetSysColor(COLOR_HIGHLIGHT));
}

}  // namespace
