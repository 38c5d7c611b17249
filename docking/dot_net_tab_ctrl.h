// The flat look of the tab strip: fonts and colours from the system, the
// lighter background with its band and frame, raised selected tab,
// separators, images and texts, the close cross and the scroll triangles.
//
//   dockwins::CDotNetTabCtrl<dockwins::CTabViewTabItem> strip;
//   strip.Create(parent, rect, nullptr, WS_CHILD | WS_VISIBLE | 0x4002);
//   strip.InsertItem(-1, item);   // the strip owns the item
#pragma once

#include <windows.h>

#include <cwchar>

#include "custom_tab_ctrl.h"

namespace dockwins {

inline COLORREF ToCOLORREF(zel::colour c) { return RGB(c.red, c.green, c.blue); }
inline zel::colour ToColour(COLORREF c) {
  return {static_cast<std::uint8_t>(GetRValue(c)), static_cast<std::uint8_t>(GetGValue(c)),
          static_cast<std::uint8_t>(GetBValue(c))};
}

template <class T, class TItem = CCustomTabItem, class TBase = WTL::CWindow, class TWinTraits = CDotNetTabCtrlWinTraits>
class CDotNetTabCtrlImpl : public CCustomTabCtrl<T, TItem, TBase, TWinTraits> {
  using base = CCustomTabCtrl<T, TItem, TBase, TWinTraits>;

 public:
  BEGIN_MSG_MAP(CDotNetTabCtrlImpl)
  MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
  MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSettingChange)
  CHAIN_MSG_MAP(base)
  END_MSG_MAP()

  HBRUSH GetBackgroundBrush() const { return m_hBrushBackground; }
  COLORREF GetInactiveTextColour() const { return m_clrTextInactive; }

  // Fonts, colours and margins from the system settings.
  LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL&) {
    LOGFONTW lf{};
    ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0);
    LOGFONTW current{};
    const bool same = this->m_font && ::GetObjectW(this->m_font, sizeof(current), &current) &&
                      _wcsicmp(current.lfFaceName, lf.lfFaceName) == 0 && current.lfHeight == lf.lfHeight;
    if (!same) {
      this->m_font = CreateFontOrDefault(lf);
      if (this->GetStyle() & tab_style::BoldSelected) lf.lfWeight = FW_BOLD;
      this->m_fontSelected = CreateFontOrDefault(lf);
    }
    WTL::CClientDC screen(nullptr);
    const int bits = screen.GetDeviceCaps(BITSPIXEL) * screen.GetDeviceCaps(PLANES);
    const TabColours colours =
        ChooseTabColours(bits, ToColour(::GetSysColor(COLOR_BTNFACE)), ToColour(::GetSysColor(COLOR_GRAYTEXT)));
    if (colours.window_brush) {
      m_brushOwned = nullptr;
      m_hBrushBackground = ::GetSysColorBrush(COLOR_WINDOW);
    } else {
      m_brushOwned = ::CreateSolidBrush(ToCOLORREF(colours.background));
      m_hBrushBackground = m_brushOwned;
    }
    m_clrTextInactive = ToCOLORREF(colours.inactive_text);
    this->m_Metrics = TabMetrics::ForFontHeight(lf.lfHeight);
    this->UpdateLayout();
    this->Invalidate();
    return 0;
  }

  void InitializeDrawStruct(NMCTCCUSTOMDRAW* draw, DWORD stage, HDC dc, const RECT& rect) const {
    draw->nmcd.dwDrawStage = stage;
    draw->nmcd.hdc = dc;
    draw->nmcd.rc = rect;
    draw->hFontInactive = this->m_font;
    draw->hFontSelected = this->m_fontSelected;
    draw->hBrushBackground = m_hBrushBackground;
    draw->clrTextInactive = m_clrTextInactive;
    draw->clrTextSelected = ::GetSysColor(COLOR_BTNTEXT);
    draw->clrSelectedTab = ::GetSysColor(COLOR_BTNFACE);
    draw->clrBtnFace = ::GetSysColor(COLOR_BTNFACE);
    draw->clrBtnShadow = ::GetSysColor(COLOR_BTNSHADOW);
    draw->clrBtnHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    draw->clrBtnText = ::GetSysColor(COLOR_BTNTEXT);
    draw->clrHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
    draw->clrHighlightHot = ::GetSysColor(COLOR_HOTLIGHT);
    draw->clrHighlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
  }

  void DrawBackground(const RECT& client, const NMCTCCUSTOMDRAW* draw) {
    WTL::CDCHandle dc(draw->nmcd.hdc);
    RECT clip;
    dc.GetClipBox(&clip);
    for (const zel::rect& button :
         {this->m_Layout.CloseButton(), this->m_Layout.ScrollRightButton(), this->m_Layout.ScrollLeftButton()}) {
      if (!button.empty() && ToRect(clip) == button) {
        WTL::CSelectObject brush(dc, draw->hBrushBackground);
        ::PatBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, PATCOPY);
        return;
      }
    }
    dc.FillRect(client, draw->hBrushBackground);
    RECT band = client;
    if (this->GetStyle() & tab_style::Bottom) {
      band.bottom = band.top + 3;
      dc.FillSolidRect(band, draw->clrBtnFace);
      Line(dc, draw->clrBtnText, client.left, band.bottom, client.right, band.bottom);
      return;
    }
    band.top = band.bottom - 2;
    dc.FillSolidRect(band, draw->clrBtnFace);
    Line(dc, draw->clrBtnHighlight, client.left, band.top - 1, client.right, band.top - 1);
    const int bottom = band.top - 1;
    Line(dc, draw->clrBtnShadow, client.left, bottom, client.left, client.top);
    Line(dc, draw->clrBtnShadow, client.left, client.top, client.right - 1, client.top);
    const COLORREF right = (this->GetStyle() & tab_style::TopRightShadow) ? draw->clrBtnShadow : draw->clrBtnHighlight;
    Line(dc, right, client.right - 1, client.top, client.right - 1, bottom);
    Line(dc, draw->clrBtnFace, client.left + 1, client.top + 1, client.left + 1, client.bottom - 3);
    Line(dc, draw->clrBtnFace, client.right - 2, client.top + 1, client.right - 2, client.bottom - 3);
  }

  void DrawItem(const TItem* item, const NMCTCCUSTOMDRAW* draw) {
    WTL::CDCHandle dc(draw->nmcd.hdc);
    const bool bottom = (this->GetStyle() & tab_style::Bottom) != 0;
    const UINT state = draw->nmcd.uItemState;
    const bool selected = (state & CTCIS_SELECTED) != 0;
    const bool highlighted = (state & CTCIS_HIGHLIGHTED) != 0;
    const RECT item_rect = draw->nmcd.rc;
    RECT tab = ToRECT(TabDrawRect(ToRect(item_rect)));
    const int index = static_cast<int>(draw->nmcd.dwItemSpec);
    if (selected) {
      RECT fill = tab;
      fill.right -= 1;
      dc.FillSolidRect(fill, highlighted ? draw->clrHighlight : draw->clrSelectedTab);
      if (bottom) {
        Line(dc, draw->clrBtnText, fill.right, fill.top, fill.right, fill.bottom);
        Line(dc, draw->clrBtnText, fill.left, fill.bottom, fill.right + 1, fill.bottom);
        Line(dc, draw->clrBtnHighlight, fill.left, fill.top, fill.left, fill.bottom);
      } else {
        Line(dc, draw->clrBtnHighlight, fill.left, fill.bottom, fill.left, fill.top);
        Line(dc, draw->clrBtnHighlight, fill.left, fill.top, fill.right, fill.top);
        Line(dc, draw->clrBtnText, fill.right, fill.top, fill.right, fill.bottom);
      }
    } else {
      const int top = tab.top + (bottom ? 3 : 2);
      const int end = tab.bottom - (bottom ? 1 : 2);
      if (highlighted) {
        const RECT fill{tab.left + (index == this->m_iCurSel + 1 ? 2 : 1), top, tab.right - 2, end};
        dc.FillSolidRect(fill, draw->clrHighlight);
      }
      if (index + 1 != this->m_iCurSel) Line(dc, draw->clrBtnShadow, tab.right - 1, top, tab.right - 1, end);
    }
    DrawContent(dc, item, item_rect, tab, draw);
  }

  void DrawCloseButton(const RECT& button, const NMCTCCUSTOMDRAW* draw) {
    WTL::CDCHandle dc(draw->nmcd.hdc);
    const bool pressed = this->IsPressedOver(TabPart::Close);
    for (const auto& line : CloseCrossLines(ToRect(button), pressed))
      Line(dc, draw->clrTextInactive, line.from.x, line.from.y, line.to.x, line.to.y);
    DrawButtonEdge(dc, button, TabPart::Close);
  }

  void DrawScrollButtons(const NMCTCCUSTOMDRAW* draw) {
    WTL::CDCHandle dc(draw->nmcd.hdc);
    DrawScrollButton(dc, this->m_Layout.ScrollRightButton(), true, draw);
    DrawScrollButton(dc, this->m_Layout.ScrollLeftButton(), false, draw);
  }

 protected:
  static WTL::CFont CreateFontOrDefault(const LOGFONTW& lf) {
    HFONT font = ::CreateFontIndirectW(&lf);
    return WTL::CFont(font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
  }

  static void Line(HDC dc, COLORREF colour, int x1, int y1, int x2, int y2) {
    WTL::CPen pen(::CreatePen(PS_SOLID, 1, colour));
    WTL::CSelectObject selected(dc, pen);
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
  }

  void DrawContent(WTL::CDCHandle dc, const TItem* item, const RECT& item_rect, const RECT& tab,
                   const NMCTCCUSTOMDRAW* draw) {
    const UINT state = draw->nmcd.uItemState;
    RECT content = tab;
    content.left += this->m_Metrics.item_inset;
    content.right -= this->m_Metrics.item_inset;
    int cx = 0, cy = 0;
    if (item->GetImageIndex() >= 0 && this->m_imageList && this->m_imageList.GetIconSize(&cx, &cy) &&
        cx < content.right - content.left) {
      // Centred vertically within the tab.
      this->m_imageList.Draw(dc, item->GetImageIndex(), content.left, tab.top + (tab.bottom - tab.top - cy) / 2,
                             ILD_TRANSPARENT);
      content.left += cx;
    }
    if (item->GetText().empty() || content.right - content.left < this->m_Metrics.min_text_width) return;
    content.left += this->m_Metrics.text_margin;
    content.right -= this->m_Metrics.text_margin;
    const bool bottom = (this->GetStyle() & tab_style::Bottom) != 0;
    content.top = item_rect.top + (bottom ? 3 : 0) + this->m_Metrics.text_offset + 1;
    COLORREF colour = (state & CTCIS_SELECTED) ? draw->clrTextSelected : draw->clrTextInactive;
    if (state & CTCIS_HIGHLIGHTED)
      colour = draw->clrHighlightText;
    else if (state & CTCIS_HOT)
      colour = draw->clrHighlightHot;
    WTL::CSelectObject font(dc, (state & CTCIS_SELECTED) ? draw->hFontSelected : draw->hFontInactive);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(colour);
    dc.DrawText(item->GetText().c_str(), -1, &content, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  }

  void DrawScrollButton(WTL::CDCHandle dc, const zel::rect& button, bool right, const NMCTCCUSTOMDRAW* draw) {
    if (button.empty()) return;
    const TabPart part = right ? TabPart::ScrollRight : TabPart::ScrollLeft;
    const bool can = (this->m_dwState & (right ? tab_state::CanScrollRight : tab_state::CanScrollLeft)) != 0;
    const auto corners = ScrollTriangle(button, right, can && this->IsPressedOver(part));
    POINT points[3];
    for (int i = 0; i < 3; ++i) points[i] = {corners[static_cast<size_t>(i)].x, corners[static_cast<size_t>(i)].y};
    WTL::CPen pen(::CreatePen(PS_SOLID, 1, draw->clrTextInactive));
    WTL::CBrush fill(can ? ::CreateSolidBrush(draw->clrTextInactive) : nullptr);
    WTL::CSelectObject selected_pen(dc, pen);
    WTL::CSelectObject selected_brush(dc, can ? static_cast<HGDIOBJ>(fill) : ::GetStockObject(NULL_BRUSH));
    ::Polygon(dc, points, 3);
    if (can) DrawButtonEdge(dc, ToRECT(button), part);
  }

  // Sunken while pressed with the mouse over it, raised while hot.
  void DrawButtonEdge(WTL::CDCHandle dc, RECT button, TabPart part) {
    if (this->IsPressedOver(part))
      ::DrawEdge(dc, &button, BDR_SUNKENOUTER, BF_RECT);
    else if (GetTabPart(this->m_dwState, TabPartSlot::Hot) == part)
      ::DrawEdge(dc, &button, BDR_RAISEDINNER, BF_RECT);
  }

  WTL::CBrush m_brushOwned;
  HBRUSH m_hBrushBackground = nullptr;
  COLORREF m_clrTextInactive = ::GetSysColor(COLOR_GRAYTEXT);
};

// The strip of the tabbed view area: window class "WTL_DotNetTabCtrl".
template <class TItem = CCustomTabItem>
class CDotNetTabCtrl : public CDotNetTabCtrlImpl<CDotNetTabCtrl<TItem>, TItem> {
 public:
  static WTL::window_class class_traits() { return {L"WTL_DotNetTabCtrl", CS_DBLCLKS, COLOR_WINDOW + 1}; }
};

}  // namespace dockwins
