// The docking settings and the focus handler under wine64: the registered
// message, the drag mode following the system, the caption fonts, the cut
// caption text, and the focus kept per docked pane.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "docking_frame_fixture.h"

namespace dockwins::testing {
namespace {

using namespace dock_flags;

TEST(DockingSettingsOfTheProcess, MessageIsRegisteredUnderTheProcessId) {
  const std::wstring name = L"DockingBoxMessage-" + std::to_wstring(::GetCurrentProcessId());
  EXPECT_EQ(DockingSettings::Global().message, ::RegisterWindowMessageW(name.c_str()));
}

TEST(DockingSettingsOfTheProcess, CaptionFontsAreTheSmallCaptionFontUpright) {
  DockingSettings& settings = DockingSettings::Global();
  settings.Refresh();
  EXPECT_EQ(settings.metrics.cbSize, 500u);
  LOGFONTW font{}, vertical{};
  ASSERT_TRUE(::GetObjectW(settings.caption_font, sizeof font, &font));
  ASSERT_TRUE(::GetObjectW(settings.caption_font_vertical, sizeof vertical, &vertical));
  EXPECT_EQ(std::wstring(font.lfFaceName), settings.metrics.lfSmCaptionFont.lfFaceName);
  EXPECT_EQ(font.lfWeight, 400);
  EXPECT_EQ(font.lfEscapement, 0);
  EXPECT_EQ(vertical.lfWeight, 400);
  EXPECT_EQ(vertical.lfEscapement, 2700);
  EXPECT_EQ(vertical.lfOrientation, 2700);
  EXPECT_EQ(vertical.lfOutPrecision, OUT_TT_ONLY_PRECIS);
}

// Caption texts measured and drawn on a memory DC with the caption font.
class CaptionText : public ::testing::Test {
 protected:
  void SetUp() override {
    dc = ::CreateCompatibleDC(nullptr);
    old = ::SelectObject(dc, DockingSettings::Global().caption_font);
  }
  void TearDown() override {
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
  }
  int Width(const wchar_t* text) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    return size.cx;
  }
  std::wstring Fit(const wchar_t* text, int extent) {
    return DockingSettings::FitEllipsisText(dc, text, static_cast<int>(wcslen(text)), extent);
  }
  HDC dc = nullptr;
  HGDIOBJ old = nullptr;
};

TEST_F(CaptionText, IsCutWithThreeDotsWhenItDoesNotFit) {
  EXPECT_EQ(Fit(L"abcdefghij", Width(L"abcdefghij")), L"abcdefghij");
  EXPECT_EQ(Fit(L"abcdefghij", Width(L"...abc")), L"abc...");
  // Fewer than four characters fit: the first one stays.
  EXPECT_EQ(Fit(L"abcdefghij", Width(L"..")), L"a...");
}

TEST_F(CaptionText, IsDrawnAtTheLeftCentredAcross) {
  const RECT box{0, 0, Width(L"...abc"), 40};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = box.right;
  info.bmiHeader.biHeight = -box.bottom;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits[2] = {};
  HBITMAP bitmaps[2];
  for (int i = 0; i < 2; ++i) {
    bitmaps[i] = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits[i], nullptr, 0);
    ASSERT_TRUE(bitmaps[i]);
    HGDIOBJ previous = ::SelectObject(dc, bitmaps[i]);
    ::PatBlt(dc, 0, 0, box.right, box.bottom, WHITENESS);
    if (i == 0) {
      DockingSettings::DrawEllipsisText(dc, L"abcdefghij", 10, box, true);
    } else {
      TEXTMETRICW metric{};
      ::GetTextMetricsW(dc, &metric);
      ::ExtTextOutW(dc, 0, (40 - metric.tmHeight) / 2, ETO_CLIPPED, &box, L"abc...", 6, nullptr);
    }
    ::GdiFlush();
    ::SelectObject(dc, previous);
  }
  const size_t bytes = static_cast<size_t>(box.right) * 4 * 40;
  EXPECT_EQ(std::memcmp(bits[0], bits[1], bytes), 0);
  const auto* pixels = static_cast<const std::uint32_t*>(bits[0]);
  EXPECT_NE(std::count(pixels, pixels + bytes / 4, 0xFFFFFFu), static_cast<std::ptrdiff_t>(bytes / 4));
  for (HBITMAP b : bitmaps) ::DeleteObject(b);
}

// The drag mode follows the system's setting when it changes, unless the
// program fixed it; the system's setting is put back afterwards.
TEST_F(DockingFrame, DragModeFollowsTheSystemUnlessFixed) {
  BOOL original = FALSE;
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &original, 0));
  DockingSettings& settings = DockingSettings::Global();
  auto change = [&](BOOL full) {
    ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, full, nullptr, 0);
    frame.SendMessage(WM_SETTINGCHANGE, SPI_SETDRAGFULLWINDOWS, 0);
  };
  change(TRUE);
  EXPECT_EQ(settings.flags, DockingSettings::FullDrag);
  change(FALSE);
  EXPECT_EQ(settings.flags, DockingSettings::GhostDrag);
  settings.flags = DockingSettings::FixedDragMode | DockingSettings::GhostDrag;
  change(TRUE);
  EXPECT_EQ(settings.flags, DockingSettings::FixedDragMode | DockingSettings::GhostDrag);
  ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, original, nullptr, 0);
  settings.flags = 0;
  settings.Refresh();
}

// Two docked panes with an edit field each, two edit fields outside any
// pane, and a second top-level window.
class FocusHandler : public DockingFrame {
 protected:
  static void SetUpTestSuite() {
    DockingFrame::SetUpTestSuite();
    other = new CHostWindow;
    other->Create(nullptr, RECT{0, 620, 200, 700}, L"other", WS_POPUP | WS_VISIBLE);
    ::SetForegroundWindow(*host);
  }
  static void TearDownTestSuite() {
    other->DestroyWindow();
    delete other;
    DockingFrame::TearDownTestSuite();
  }
  void SetUp() override {
    DockingFrame::SetUp();
    ASSERT_TRUE(handler.InstallHook(*host));
    ASSERT_TRUE(frame.Dock(boxes[0], BeforeCentre | OwnRow, 80));
    ASSERT_TRUE(frame.Dock(boxes[1], OwnRow, 80));
    for (int i = 0; i < 2; ++i) {
      outside[i].Create(L"EDIT", *host, RECT{620, 20 + 30 * i, 740, 44 + 30 * i}, nullptr,
                        WS_CHILD | WS_VISIBLE | WS_BORDER);
      handler.RememberFocus(boxes[i], nullptr);
    }
    Settle();
  }
  void TearDown() override {
    for (WTL::CWindow& edit : outside) edit.DestroyWindow();
    DockingFrame::TearDown();
  }
  // Lets every queued caption repaint happen.
  void Settle() {
    ASSERT_TRUE(PumpUntil([&] { return handler.PendingRepaints() == 0; }));
  }
  void Click(HWND pane) {
    ::SendMessageW(pane, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host->m_hWnd),
                   MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  }

  static inline CHostWindow* other = nullptr;
  CDockingFocusHandler handler;
  WTL::CWindow outside[2];
};

TEST_F(FocusHandler, AFocusMoveOutsideThePanesRepaintsNoPane) {
  ::SetFocus(outside[0]);
  Settle();
  ::SetFocus(outside[1]);
  EXPECT_EQ(handler.PendingRepaints(), 0u);
}

TEST_F(FocusHandler, AFocusMoveBetweenPanesRemembersTheChildAndRepaintsBothFrames) {
  ::SetFocus(boxes[0].Edit());
  Settle();
  boxes[0].frame_paints = boxes[1].frame_paints = 0;
  ::SetFocus(boxes[1].Edit());
  EXPECT_EQ(handler.RememberedFocus(boxes[1]), boxes[1].Edit());
  EXPECT_EQ(handler.PendingRepaints(), 2u);
  EXPECT_TRUE(PumpUntil([&] { return boxes[0].frame_paints > 0 && boxes[1].frame_paints > 0; }));
}

TEST_F(FocusHandler, AClickOnAPaneFocusesItsRememberedChild) {
  handler.RememberFocus(boxes[1], boxes[1].Edit());
  ::SetFocus(outside[0]);
  Click(boxes[1]);
  EXPECT_EQ(::GetFocus(), boxes[1].Edit());
  // Nothing remembered: the pane itself.
  handler.RememberFocus(boxes[1], nullptr);
  ::SetFocus(outside[0]);
  Click(boxes[1]);
  EXPECT_EQ(::GetFocus(), boxes[1].m_hWnd);
  // A remembered window that is no child of the pane any more: nothing.
  handler.RememberFocus(boxes[1], outside[1]);
  ::SetFocus(outside[0]);
  Click(boxes[1]);
  EXPECT_EQ(::GetFocus(), outside[0].m_hWnd);
}

TEST_F(FocusHandler, ReactivatingTheMainWindowRestoresTheFocus) {
  ::SetFocus(boxes[1].Edit());
  ::SetActiveWindow(*other);
  ASSERT_TRUE(PumpUntil([] { return ::GetActiveWindow() == other->m_hWnd; }));
  ::SetActiveWindow(*host);
  ASSERT_TRUE(PumpUntil([] { return ::GetActiveWindow() == host->m_hWnd; }));
  EXPECT_EQ(::GetFocus(), boxes[1].Edit());
}

TEST_F(FocusHandler, RemovingTheHookForgetsItsHandle) {
  EXPECT_EQ(handler.RemoveHook(), S_OK);
  EXPECT_EQ(handler.Hook(), nullptr);
  ASSERT_TRUE(handler.InstallHook(*host));
  ASSERT_TRUE(::UnhookWindowsHookEx(handler.Hook()));
  EXPECT_EQ(handler.RemoveHook(), static_cast<HRESULT>(0x8007057C));  // an invalid hook handle
  EXPECT_EQ(handler.Hook(), nullptr);
}

}  // namespace
}  // namespace dockwins::testing
