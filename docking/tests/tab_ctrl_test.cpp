// The tab strip window under wine64: what it tells its parent, how it
// answers the mouse and keys, its tooltips and how it paints. The layout
// arithmetic itself is tested in the core's tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dot_net_tab_ctrl.h"
#include "tab_recorder.h"

using orvo::testing::nm_click;
using orvo::testing::nm_customdraw;
using orvo::testing::nm_rclick;
using testing::ElementsAre;

namespace {
using namespace dockwins;
using Strip = CDotNetTabCtrl<CTabViewTabItem>;

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
POINT Centre(const zel::rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class TabStrip : public testing::Test {
 protected:
  void Create(DWORD styles, int width = 300, int height = 24) {
    ASSERT_TRUE(parent.Create(nullptr, RECT{0, 0, width + 40, height + 40}, L"tabs", WS_POPUP));
    ASSERT_TRUE(strip.Create(parent, RECT{0, 0, width, height}, nullptr, WS_CHILD | WS_VISIBLE | styles, 0, 7));
  }
  void TearDown() override {
    if (parent.IsWindow()) parent.DestroyWindow();
  }
  int Add(const wchar_t* text, const wchar_t* tip = L"") {
    auto* item = new CTabViewTabItem;
    item->SetText(text);
    item->SetToolTip(tip);
    return strip.InsertItem(-1, item);
  }
  void AddMany(int count) {
    for (int i = 0; i < count; ++i) Add((L"Channel " + std::to_wstring(i)).c_str());
  }
  std::wstring ToolText(UINT_PTR id) {
    wchar_t text[80] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = strip;
    tool.uId = id;
    tool.lpszText = text;
    ::SendMessageW(strip.GetTooltips(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    return text;
  }
  int ToolCount() { return static_cast<int>(::SendMessageW(strip.GetTooltips(), TTM_GETTOOLCOUNT, 0, 0)); }
  void Click(UINT down, POINT p) { strip.SendMessage(down, 0, At(p.x, p.y)); }

  orvo::testing::tab_recorder parent;
  Strip strip;
};

// The tab widths the core computes from the strip's own font and metrics.
std::vector<zel::rect> CoreLayout(Strip& strip, DWORD style) {
  LOGFONTW lf{};
  ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0);
  const TabMetrics metrics = TabMetrics::ForFontHeight(lf.lfHeight);
  WTL::CClientDC dc(strip);
  WTL::CSelectObject font(dc, strip.GetFont());
  std::vector<std::int32_t> natural;
  for (int i = 0; i < strip.GetItemCount(); ++i) {
    RECT r{};
    dc.DrawText(strip.GetItem(i)->GetText().c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    natural.push_back(NaturalTabWidth(metrics, 0, r.right - r.left));
  }
  RECT client;
  strip.GetClientRect(&client);
  TabStripLayout layout;
  layout.UpdateLayout(ToRect(client), style, false, strip.GetCurSel(), natural, metrics);
  std::vector<zel::rect> rects;
  for (int i = 0; i < layout.TabCount(); ++i) {
    zel::rect r;
    layout.GetItemRect(i, r);
    rects.push_back(r);
  }
  return rects;
}

std::vector<zel::rect> StripRects(Strip& strip) {
  std::vector<zel::rect> rects;
  for (int i = 0; i < strip.GetItemCount(); ++i) {
    RECT r;
    strip.GetItemRect(i, &r);
    rects.push_back(ToRect(r));
  }
  return rects;
}

TEST_F(TabStrip, ItemRectanglesAreThoseOfTheCoreLayoutInBothModes) {
  for (DWORD style : {DWORD{tab_style::Bottom}, DWORD{tab_style::ScrollButtons}}) {
    Create(style, 200);
    AddMany(6);
    EXPECT_EQ(StripRects(strip), CoreLayout(strip, style)) << style;
    RECT outside;
    EXPECT_FALSE(strip.GetItemRect(6, &outside));
    parent.DestroyWindow();
  }
}

TEST_F(TabStrip, TheFirstTabIsAnnouncedThenSelected) {
  Create(0);
  EXPECT_EQ(Add(L"Overview"), 0);
  EXPECT_THAT(parent.codes(), ElementsAre(CTCN_INSERTITEM, CTCN_SELCHANGING, CTCN_SELCHANGE));
  EXPECT_EQ(parent.notices[1].first, -1);
  EXPECT_EQ(parent.notices[1].second, 0);
  EXPECT_EQ(strip.GetCurSel(), 0);
  EXPECT_EQ(strip.InsertItem(0, nullptr), -1);
}

TEST_F(TabStrip, TheParentDecidesOnSelectionChangesAndDeletions) {
  Create(0);
  AddMany(3);
  parent.notices.clear();
  parent.answers[CTCN_SELCHANGING] = 1;
  EXPECT_EQ(strip.SetCurSel(2), -1);
  EXPECT_EQ(strip.GetCurSel(), 0);
  EXPECT_THAT(parent.codes(), ElementsAre(CTCN_SELCHANGING));

  parent.answers[CTCN_DELETEITEM] = 1;
  EXPECT_FALSE(strip.DeleteItem(1));
  EXPECT_EQ(strip.GetItemCount(), 3);
  // Destruction deletes every tab even so.
  strip.DestroyWindow();
  EXPECT_EQ(strip.GetItemCount(), 0);
}

TEST_F(TabStrip, DeletingATabMovesTheSelectionToAValidTab) {
  Create(0);
  struct Case {
    int selected, deleted;
    bool update;
    int after;
  } cases[] = {
      {2, 0, true, 1},    // before the selection: it moves down with its tab
      {1, 1, true, 1},    // the selected one: the next tab takes its place
      {3, 3, true, 2},    // the selected last one: the one before it
      {1, 3, true, 1},    // after the selection: nothing changes
      {3, 3, false, -1},  // the selected last one, selection not updated
  };
  for (const Case& c : cases) {
    AddMany(4);
    strip.SetCurSel(c.selected);
    EXPECT_TRUE(strip.DeleteItem(c.deleted, c.update));
    EXPECT_EQ(strip.GetCurSel(), c.after) << c.selected << " " << c.deleted;
    while (strip.GetItemCount()) strip.DeleteItem(0);
    EXPECT_EQ(strip.GetCurSel(), -1);
  }
  // A parent that refuses the move off the last tab leaves no selection.
  AddMany(2);
  strip.SetCurSel(1);
  parent.answers[CTCN_SELCHANGING] = 1;
  EXPECT_TRUE(strip.DeleteItem(1));
  EXPECT_EQ(strip.GetCurSel(), -1);
  EXPECT_FALSE(strip.DeleteItem(5));
}

TEST_F(TabStrip, MovingATabKeepsTheSameTabSelectedWithoutNotifications) {
  Create(0);
  AddMany(4);
  strip.SetCurSel(1);
  parent.notices.clear();
  EXPECT_TRUE(strip.MoveItem(0, 2));  // crosses the selected tab
  EXPECT_EQ(strip.GetCurSel(), 0);
  EXPECT_EQ(strip.GetItem(2)->GetText(), L"Channel 0");
  EXPECT_TRUE(strip.MoveItem(0, 3));
  EXPECT_EQ(strip.GetCurSel(), 3);
  EXPECT_FALSE(strip.MoveItem(0, 4));
  EXPECT_TRUE(parent.codes().empty());
}

TEST_F(TabStrip, ClicksSelectTabsUnlessTheParentTakesThem) {
  Create(0);
  AddMany(3);
  RECT second;
  strip.GetItemRect(1, &second);
  parent.answers[nm_click] = 1;
  Click(WM_LBUTTONDOWN, {second.left + 5, 10});
  EXPECT_EQ(strip.GetCurSel(), 0);
  EXPECT_NE(::GetCapture(), strip.m_hWnd);

  parent.answers[nm_rclick] = 1;
  Click(WM_RBUTTONDOWN, {second.left + 5, 10});
  EXPECT_EQ(strip.GetCurSel(), 0);
  parent.answers[nm_rclick] = 0;
  Click(WM_RBUTTONDOWN, {second.left + 5, 10});
  EXPECT_EQ(strip.GetCurSel(), 1);
  EXPECT_EQ(parent.notices.back().code, CTCN_SELCHANGE);

  parent.answers[nm_click] = 0;
  Click(WM_LBUTTONDOWN, {2, 10});  // before the first tab
  EXPECT_EQ(parent.notices.back().code, nm_click);
  EXPECT_EQ(parent.notices.back().first, -1);
  RECT first;
  strip.GetItemRect(0, &first);
  Click(WM_LBUTTONDOWN, {first.left + 5, 10});
  EXPECT_EQ(strip.GetCurSel(), 0);
  EXPECT_EQ(::GetCapture(), strip.m_hWnd);
  Click(WM_LBUTTONUP, {first.left + 5, 10});
  EXPECT_NE(::GetCapture(), strip.m_hWnd);
}

TEST_F(TabStrip, ArrowKeysStepThroughTheTabsWithinBounds) {
  Create(0);
  AddMany(3);
  strip.SendMessage(WM_KEYDOWN, VK_LEFT);
  EXPECT_EQ(strip.GetCurSel(), 0);
  strip.SendMessage(WM_KEYDOWN, VK_RIGHT);
  strip.SendMessage(WM_KEYDOWN, VK_RIGHT);
  strip.SendMessage(WM_KEYDOWN, VK_RIGHT);
  EXPECT_EQ(strip.GetCurSel(), 2);
  strip.SendMessage(WM_KEYDOWN, VK_LEFT);
  EXPECT_EQ(strip.GetCurSel(), 1);
  EXPECT_EQ(strip.SendMessage(WM_GETDLGCODE) & DLGC_WANTARROWS, DLGC_WANTARROWS);
}

TEST_F(TabStrip, TheCloseButtonReportsAReleaseInsideItOnly) {
  Create(tab_style::CloseButton);
  AddMany(2);
  strip.SetCurSel(1);
  const POINT close = Centre(strip.GetLayout().CloseButton());
  Click(WM_LBUTTONDOWN, close);
  Click(WM_LBUTTONUP, close);
  ASSERT_EQ(parent.notices.back().code, CTCN_CLOSE);
  EXPECT_EQ(parent.notices.back().first, 1);
  EXPECT_EQ(parent.notices.back().pt.x, close.x);
  parent.notices.clear();
  Click(WM_LBUTTONDOWN, close);
  Click(WM_LBUTTONUP, {5, 5});
  EXPECT_TRUE(parent.codes().empty());
}

TEST_F(TabStrip, HoldingAScrollButtonScrollsStepByStepUntilTheEnd) {
  Create(tab_style::ScrollButtons, 200);
  AddMany(10);
  strip.SetCurSel(0);
  const int step = ScrollStep(strip.GetState());
  Click(WM_LBUTTONDOWN, Centre(strip.GetLayout().ScrollRightButton()));
  EXPECT_EQ(strip.GetScrollOffset(), -step);
  int ticks = 0;
  while ((strip.GetState() & tab_state::CanScrollRight) && ticks < 100) {
    const int before = strip.GetScrollOffset();
    strip.SendMessage(WM_TIMER, ectcTimer_ScrollRight);
    const int moved = before - strip.GetScrollOffset();
    EXPECT_TRUE(moved == step || !(strip.GetState() & tab_state::CanScrollRight)) << moved;
    ++ticks;
  }
  EXPECT_GT(ticks, 1);
  strip.SendMessage(WM_TIMER, ectcTimer_ScrollRight);  // nothing left to scroll: the timer goes
  EXPECT_FALSE(strip.KillTimer(ectcTimer_ScrollRight));
  Click(WM_LBUTTONUP, {5, 5});
  EXPECT_TRUE(strip.GetState() & tab_state::CanScrollLeft);

  // Turning the scroll buttons off puts the tabs back and removes their tools.
  const int tools = ToolCount();
  strip.ModifyStyle(tab_style::ScrollButtons, 0);
  EXPECT_EQ(strip.GetScrollOffset(), 0);
  EXPECT_EQ(ToolCount(), tools - 2);
  strip.ModifyStyle(0, tab_style::CloseButton);
  EXPECT_EQ(ToolCount(), tools - 1);
}

TEST_F(TabStrip, TooltipsNameTheTabsAndTheButtons) {
  Create(tab_style::Tooltips | tab_style::CloseButton | tab_style::ScrollButtons);
  Add(L"Overview", L"The amplifiers and their channels");
  Add(L"Event Log");
  EXPECT_EQ(ToolCount(), 5);
  EXPECT_EQ(ToolText(1), L"The amplifiers and their channels");
  EXPECT_EQ(ToolText(2), L"Event Log");
  EXPECT_EQ(ToolText(ectcToolTip_Close), L"Close");
  EXPECT_EQ(ToolText(ectcToolTip_ScrollRight), L"Scroll Right");
  EXPECT_EQ(ToolText(ectcToolTip_ScrollLeft), L"Scroll Left");
  EXPECT_TRUE(::GetWindowLongPtrW(strip.GetTooltips(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  strip.DeleteItem(0);
  EXPECT_EQ(ToolCount(), 4);
}

// Paints the strip into a bitmap of the screen's format.
class painted {
 public:
  painted(Strip& strip) {
    strip.GetClientRect(&rect);
    WTL::CClientDC screen(strip);
    dc = ::CreateCompatibleDC(screen);
    bitmap = ::CreateCompatibleBitmap(screen, rect.right, rect.bottom);
    old = ::SelectObject(dc, bitmap);
    strip.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  }
  ~painted() {
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
  }
  COLORREF at(POINT p) const { return ::GetPixel(dc, p.x, p.y); }

  RECT rect;
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

TEST_F(TabStrip, CustomDrawStagesFollowTheParentsAnswers) {
  Create(0);
  AddMany(3);
  strip.SetCurSel(1);
  strip.GetItem(2)->SetHighlighted(true);
  parent.notices.clear();
  parent.answers[nm_customdraw] = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
  parent.item_draw_answer = CDRF_NOTIFYPOSTPAINT;
  { painted picture(strip); }
  std::vector<std::string> stages;
  for (const auto& n : parent.notices)
    stages.push_back(std::to_string(n.stage) +
                     (n.stage & CDDS_ITEM ? ":" + std::to_string(n.first) + "/" + std::to_string(n.state) : ""));
  EXPECT_THAT(stages,
              ElementsAre("1", "65537:0/0", "65538:0/0", "65537:2/128", "65538:2/128", "65537:1/1", "65538:1/1", "2"));

  parent.notices.clear();
  parent.answers[nm_customdraw] = CDRF_SKIPDEFAULT;
  { painted picture(strip); }
  ASSERT_EQ(parent.notices.size(), 1u);
  EXPECT_EQ(parent.notices[0].stage, DWORD{CDDS_PREPAINT});
}

TEST_F(TabStrip, TheDrawingRecordCarriesTheStripsColours) {
  Create(0);
  Add(L"Overview");
  { painted picture(strip); }
  LOGBRUSH brush{};
  ASSERT_TRUE(::GetObjectW(parent.last_draw.hBrushBackground, sizeof(brush), &brush));
  EXPECT_EQ(brush.lbColor, ToCOLORREF(LightenColour(ToColour(::GetSysColor(COLOR_BTNFACE)))));
  EXPECT_EQ(parent.last_draw.clrTextInactive, ToCOLORREF(DarkenColour(ToColour(::GetSysColor(COLOR_GRAYTEXT)))));
  EXPECT_EQ(parent.last_draw.hFontInactive, strip.GetFont());
}

TEST_F(TabStrip, AScrollTriangleIsFilledOnlyWhereTheStripCanScroll) {
  Create(tab_style::ScrollButtons, 200);
  AddMany(10);
  strip.SetCurSel(0);
  ASSERT_EQ(strip.GetScrollOffset(), 0);
  painted picture(strip);
  const COLORREF ink = parent.last_draw.clrTextInactive;
  // The middle of each triangle: inked when filled, background when outlined.
  const auto inside = [](const zel::rect& b, bool right) {
    const auto t = ScrollTriangle(b, right, false);
    return POINT{(t[0].x + t[1].x + t[2].x) / 3, (t[0].y + t[1].y + t[2].y) / 3};
  };
  EXPECT_EQ(picture.at(inside(strip.GetLayout().ScrollRightButton(), true)), ink);
  EXPECT_NE(picture.at(inside(strip.GetLayout().ScrollLeftButton(), false)), ink);
}

}  // namespace
