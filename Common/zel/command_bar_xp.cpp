#include "command_bar_xp.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

namespace zel {

namespace {
rect to_rect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT to_RECT(const rect& r) { return {r.left, r.top, r.right, r.bottom}; }
colour sys(int index) { return colour::from_value(::GetSysColor(index)); }

// Paints `brush` where the monochrome `mask` (selected in maskDC) is black.
void paint_mask(HDC dc, HDC maskDC, int x, int y, int cx, int cy, HBRUSH brush) {
  const COLORREF text = ::SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF back = ::SetBkColor(dc, RGB(255, 255, 255));
  HGDIOBJ old = ::SelectObject(dc, brush);
  ::BitBlt(dc, x, y, cx, cy, maskDC, 0, 0, 0x00B8074A);  // PSDPxax: brush where the source is black
  ::SelectObject(dc, old);
  ::SetTextColor(dc, text);
  ::SetBkColor(dc, back);
}

void frame_rect(HDC dc, const RECT& r, COLORREF border, COLORREF fill) {
  HPEN pen = ::CreatePen(PS_SOLID, 1, border);
  HBRUSH brush = ::CreateSolidBrush(fill);
  HGDIOBJ oldPen = ::SelectObject(dc, pen);
  HGDIOBJ oldBrush = ::SelectObject(dc, brush);
  ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
  ::SelectObject(dc, oldPen);
  ::SelectObject(dc, oldBrush);
  ::DeleteObject(pen);
  ::DeleteObject(brush);
}

void fill(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH brush = ::CreateSolidBrush(c);
  ::FillRect(dc, &r, brush);
  ::DeleteObject(brush);
}

void draw_shadowed(HDC dc, HIMAGELIST list, int image, int x, int y) {
  ::ImageList_DrawEx(list, image, dc, x + 1, y + 1, 0, 0, CLR_NONE, RGB(0, 0, 0), ILD_BLEND50 | ILD_TRANSPARENT);
  ::ImageList_Draw(list, image, dc, x, y, ILD_TRANSPARENT);
}

// A monochrome copy of a drawing: `paint` draws on white into a colour
// bitmap; pixels of 0x808080 and lighter become white, the rest black.
template <class Paint>
HBITMAP monochrome_mask(int cx, int cy, Paint paint) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HBITMAP colourBits = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(dc, colourBits);
  RECT all{0, 0, cx, cy};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  paint(dc);
  ::GdiFlush();
  const int stride = ((cx + 15) / 16) * 2;
  std::string mono(static_cast<size_t>(stride * cy), '\0');
  const auto* pixels = static_cast<const DWORD*>(bits);
  for (int y = 0; y < cy; ++y) {
    for (int x = 0; x < cx; ++x) {
      const DWORD p = pixels[y * cx + x];  // 0x00RRGGBB in a 32-bit DIB
      const colour c{static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                     static_cast<std::uint8_t>(p)};
      if (command_bar::is_mask_background(c))
        mono[static_cast<size_t>(y * stride + x / 8)] |= static_cast<char>(0x80 >> (x % 8));
    }
  }
  ::SelectObject(dc, old);
  ::DeleteObject(colourBits);
  ::DeleteDC(dc);
  return ::CreateBitmap(cx, cy, 1, 1, mono.data());
}

void paint_embossed(HDC dc, HBITMAP mask, int x, int y, int cx, int cy, bool emboss, int colourIndex) {
  HDC maskDC = ::CreateCompatibleDC(dc);
  HGDIOBJ old = ::SelectObject(maskDC, mask);
  if (emboss) paint_mask(dc, maskDC, x + 1, y + 1, cx, cy, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  paint_mask(dc, maskDC, x, y, cx, cy, ::GetSysColorBrush(colourIndex));
  ::SelectObject(maskDC, old);
  ::DeleteDC(maskDC);
}
}  // namespace

command_bar_look::~command_bar_look() {
  if (m_hBmpCheck) ::DeleteObject(m_hBmpCheck);
  if (m_hBmpUncheck) ::DeleteObject(m_hBmpUncheck);
}

void command_bar_look::compute_colours() {
  HDC screen = ::GetDC(nullptr);
  const int bits = ::GetDeviceCaps(screen, BITSPIXEL);
  const int planes = ::GetDeviceCaps(screen, PLANES);
  ::ReleaseDC(nullptr, screen);
  const command_bar::bar_colours c =
      command_bar::compute_colours({sys(COLOR_WINDOW), sys(COLOR_WINDOWTEXT), sys(COLOR_BTNFACE), sys(COLOR_BTNSHADOW),
                                    sys(COLOR_HOTLIGHT), sys(COLOR_HIGHLIGHT)},
                                   bits, planes);
  m_clrMenuBackground = c.menu_background.value();
  m_clrImageMargin = c.image_margin.value();
  m_clrSelectionBorder = c.selection_border.value();
  m_clrSelectionBackground = c.selection_background.value();
  m_clrCheckedBackground = c.checked_background.value();
  m_clrWindowFrame = ::GetSysColor(COLOR_WINDOWFRAME);
  m_clrGrayText = ::GetSysColor(COLOR_GRAYTEXT);
  m_clrWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
  m_clrMenuText = ::GetSysColor(COLOR_MENUTEXT);
  m_clrButtonText = ::GetSysColor(COLOR_BTNTEXT);
  m_clrHotMenuText = ::GetSysColor(COLOR_MENUTEXT);
}

void command_bar_look::remove_gripper(HWND bar) {
  HWND rebar = ::GetParent(bar);
  wchar_t name[32] = L"";
  if (!rebar || !::GetClassNameW(rebar, name, 32) || ::lstrcmpiW(name, REBARCLASSNAMEW) != 0) return;
  const int count = static_cast<int>(::SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD;
    ::SendMessageW(rebar, RB_GETBANDINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&band));
    if (band.hwndChild == bar) band.fStyle |= RBBS_NOGRIPPER;
    ::SendMessageW(rebar, RB_SETBANDINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&band));
  }
}

UINT command_bar_look::button_text_format(bool hasImage) const noexcept {
  return DT_SINGLELINE | DT_VCENTER | (hasImage ? 0 : DT_CENTER) | (m_bShowKeyboardCues ? 0 : DT_HIDEPREFIX);
}

bool command_bar_look::set_cues(bool on) noexcept {
  if (m_bShowKeyboardCues == on) return false;
  m_bShowKeyboardCues = on;
  return true;
}

void command_bar_look::draw_disabled_image(HDC dc, HIMAGELIST list, int image, int x, int y, HBRUSH background) {
  int cx = 0, cy = 0;
  if (!::ImageList_GetIconSize(list, &cx, &cy) || image < 0 || image >= ::ImageList_GetImageCount(list)) return;
  if (background) {
    RECT square{x, y, x + cx, y + cy};
    ::FillRect(dc, &square, background);
  }
  HBITMAP mask = monochrome_mask(cx, cy, [&](HDC into) { ::ImageList_Draw(list, image, into, 0, 0, ILD_TRANSPARENT); });
  paint_embossed(dc, mask, x, y, cx, cy, true, COLOR_BTNSHADOW);
  ::DeleteObject(mask);
}

LRESULT command_bar_look::custom_draw(WTL::CCommandBarCtrlBase& bar, NMTBCUSTOMDRAW& draw) const {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  HWND toolbar = draw.nmcd.hdr.hwndFrom;
  wchar_t text[100 + 1] = L"";
  TBBUTTONINFOW info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_IMAGE | TBIF_TEXT | TBIF_STATE | TBIF_STYLE;
  info.pszText = text;
  info.cchText = 100;
  ::SendMessageW(toolbar, TB_GETBUTTONINFOW, draw.nmcd.dwItemSpec, reinterpret_cast<LPARAM>(&info));
  text[100] = L'\0';
  const bool selected = draw.nmcd.uItemState & CDIS_SELECTED;
  const bool hot = draw.nmcd.uItemState & CDIS_HOT;
  const bool pressed = info.fsState & TBSTATE_PRESSED;
  const bool checked = info.fsState & TBSTATE_CHECKED;
  const bool disabled = !(info.fsState & TBSTATE_ENABLED);
  HDC dc = draw.nmcd.hdc;
  RECT r = draw.nmcd.rc;
  if ((info.fsStyle & BTNS_DROPDOWN) && selected) {
    fill(dc, r, m_clrImageMargin);
    RECT screen = r;
    ::MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    std::optional<rect> popup;
    RECT popupRect;
    if (toolbar == bar.m_hWnd && bar.GetPopupWindow() && ::GetWindowRect(bar.GetPopupWindow(), &popupRect)) {
      popup = to_rect(popupRect);
    }
    ::DrawEdge(dc, &r, EDGE_RAISED, BF_FLAT | BF_MONO | command_bar::open_button_sides(to_rect(screen), popup));
  } else if (selected || hot || pressed || checked) {
    frame_rect(dc, r, m_clrSelectionBorder,
               checked && !selected && !hot && !pressed ? m_clrCheckedBackground : m_clrSelectionBackground);
  }
  const bool hasImage = info.iImage >= 0;
  if (hasImage) {
    auto list = reinterpret_cast<HIMAGELIST>(::SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
    auto disabledList = reinterpret_cast<HIMAGELIST>(::SendMessageW(toolbar, TB_GETDISABLEDIMAGELIST, 0, 0));
    auto hotList = reinterpret_cast<HIMAGELIST>(::SendMessageW(toolbar, TB_GETHOTIMAGELIST, 0, 0));
    const LRESULT buttonSize = ::SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0);
    int cx = 0, cy = 0;
    if (list) ::ImageList_GetIconSize(list, &cx, &cy);
    const point at = command_bar::button_image_origin(to_rect(r), {LOWORD(buttonSize), HIWORD(buttonSize)}, {cx, cy});
    if (disabled) {
      if (disabledList) {
        ::ImageList_Draw(disabledList, info.iImage, dc, at.x, at.y, ILD_TRANSPARENT);
      } else if (list) {
        draw_disabled_image(dc, list, info.iImage, at.x, at.y);
      }
    } else if (HIMAGELIST shown = hot && hotList ? hotList : list) {
      if (hot && !selected) {
        draw_shadowed(dc, shown, info.iImage, at.x, at.y);
      } else {
        ::ImageList_Draw(shown, info.iImage, dc, at.x, at.y, ILD_TRANSPARENT);
      }
    }
    r.left += LOWORD(buttonSize) - 1;
  }
  const bool inactive = toolbar == bar.m_hWnd && !bar.m_bParentActive;
  ::SetTextColor(dc, disabled || inactive ? m_clrGrayText : hot ? m_clrHotMenuText : m_clrButtonText);
  ::SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = bar.m_hFont ? ::SelectObject(dc, bar.m_hFont) : nullptr;
  ::DrawTextW(dc, text, -1, &r, button_text_format(hasImage));
  if (oldFont) ::SelectObject(dc, oldFont);
  return CDRF_SKIPDEFAULT;
}

void command_bar_look::measure_item(const WTL::CCommandBarCtrlBase& bar, const WTL::command_bar_item& item,
                                    MEASUREITEMSTRUCT& measure) const {
  LOGFONTW font{};
  if (bar.m_hFont) ::GetObjectW(bar.m_hFont, sizeof font, &font);
  RECT r{};
  if (!(item.type & MFT_SEPARATOR)) {
    LOGFONTW used = font;
    if (item.state & MFS_DEFAULT) used.lfWeight += 200;
    HFONT measured = ::CreateFontIndirectW(&used);
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, measured);
    ::DrawTextW(dc, item.text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    ::DeleteObject(measured);
  }
  const size s = command_bar::measure_item((item.type & MFT_SEPARATOR) != 0, r.right - r.left,
                                           {bar.m_szButton.cx, bar.m_szButton.cy}, ::GetSystemMetrics(SM_CXMENUCHECK),
                                           font.lfHeight);
  measure.itemWidth = static_cast<UINT>(std::max(0, s.cx));
  measure.itemHeight = static_cast<UINT>(s.cy);
}

void command_bar_look::draw_item(const WTL::CCommandBarCtrlBase& bar, const WTL::command_bar_item& item,
                                 const DRAWITEMSTRUCT& draw) const {
  HDC dc = draw.hDC;
  const int saved = ::SaveDC(dc);
  const bool disabled = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  const bool selected = (draw.itemState & ODS_SELECTED) && draw.itemID != 0xFFFF;
  const bool checked = (draw.itemState & ODS_CHECKED) != 0;
  const command_bar::item_places places =
      command_bar::place_item(to_rect(draw.rcItem), {bar.m_szButton.cx, bar.m_szButton.cy});
  if (!selected || disabled) {
    const RECT column = to_RECT(places.image_column);
    TRIVERTEX vertices[2] = {{column.left, column.top, static_cast<COLOR16>(GetRValue(m_clrMenuBackground) << 8),
                              static_cast<COLOR16>(GetGValue(m_clrMenuBackground) << 8),
                              static_cast<COLOR16>(GetBValue(m_clrMenuBackground) << 8), 0},
                             {column.right, column.bottom, static_cast<COLOR16>(GetRValue(m_clrSelectionBorder) << 8),
                              static_cast<COLOR16>(GetGValue(m_clrSelectionBorder) << 8),
                              static_cast<COLOR16>(GetBValue(m_clrSelectionBorder) << 8), 0}};
    GRADIENT_RECT gradient{0, 1};
    ::GdiGradientFill(dc, vertices, 2, &gradient, 1, GRADIENT_FILL_RECT_H);
    fill(dc, to_RECT(places.background), m_clrMenuBackground);
  } else {
    frame_rect(dc, draw.rcItem, m_clrSelectionBorder, m_clrSelectionBackground);
  }
  if (item.type & MFT_SEPARATOR) {
    HPEN pen = ::CreatePen(PS_SOLID, 1, m_clrSelectionBorder);
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, places.separator_from.x, places.separator_from.y, nullptr);
    ::LineTo(dc, places.separator_to.x, places.separator_to.y);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
    ::RestoreDC(dc, saved);
    return;
  }
  const RECT square = to_RECT(places.image_square);
  HIMAGELIST list = bar.m_hImageList;
  if (item.image >= 0 && list && item.image < ::ImageList_GetImageCount(list)) {
    if (checked) frame_rect(dc, square, m_clrSelectionBorder, m_clrCheckedBackground);
    const rect at = command_bar::centred(places.image_square, {bar.m_szBitmap.cx, bar.m_szBitmap.cy});
    if (!disabled && selected) {
      draw_shadowed(dc, list, item.image, at.left, at.top);
    } else if (!disabled) {
      ::ImageList_Draw(list, item.image, dc, at.left, at.top, ILD_TRANSPARENT);
    } else if (m_hImageListDisabled) {
      ::ImageList_Draw(m_hImageListDisabled, item.image, dc, at.left + 1, at.top + 1, ILD_TRANSPARENT);
    } else {
      draw_disabled_image(dc, list, item.image, at.left, at.top);
    }
  } else if (checked || item.unchecked || m_hBmpUncheck) {
    draw_check_mark(bar, item, dc, square, !disabled, selected, checked);
  }
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, disabled ? m_clrGrayText : selected ? m_clrMenuText : m_clrWindowText);
  LOGFONTW font{};
  if (bar.m_hFont) ::GetObjectW(bar.m_hFont, sizeof font, &font);
  if (item.state & MFS_DEFAULT) font.lfWeight += 200;
  HFONT drawn = ::CreateFontIndirectW(&font);
  ::SelectObject(dc, drawn);
  const command_bar::item_text parts = command_bar::split_item_text(item.text);
  RECT text = to_RECT(places.text);
  const UINT format = DT_SINGLELINE | DT_VCENTER | (m_bShowKeyboardCues ? 0 : DT_HIDEPREFIX);
  ::DrawTextW(dc, parts.text.data(), static_cast<int>(parts.text.size()), &text, format | DT_LEFT);
  if (!parts.shortcut.empty()) {
    ::DrawTextW(dc, parts.shortcut.data(), static_cast<int>(parts.shortcut.size()), &text, format | DT_RIGHT);
  }
  ::RestoreDC(dc, saved);
  ::DeleteObject(drawn);
}

void command_bar_look::draw_check_mark(const WTL::CCommandBarCtrlBase& bar, const WTL::command_bar_item& item, HDC dc,
                                       const RECT& square, bool enabled, bool selected, bool checked) const {
  HBITMAP own = checked ? item.checked : item.unchecked;
  HBITMAP bitmap = own ? own : checked ? m_hBmpCheck : m_hBmpUncheck;
  if (!bitmap && !checked) return;
  SIZE box{::GetSystemMetrics(SM_CXMENUCHECK), ::GetSystemMetrics(SM_CYMENUCHECK)};
  if (own) {
    BITMAP info{};
    ::GetObjectW(own, sizeof info, &info);
    box = {info.bmWidth, info.bmHeight};
  }
  const RECT r = to_RECT(command_bar::centred(to_rect(square), {box.cx, box.cy}));
  if (enabled) {
    if (selected) {
      ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_MENU));
    } else {
      static const WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
      HBITMAP halftone = ::CreateBitmap(8, 8, 1, 1, pattern);
      HBRUSH brush = ::CreatePatternBrush(halftone);
      const COLORREF text = ::SetTextColor(dc, ::GetSysColor(COLOR_BTNFACE));
      const COLORREF back = ::SetBkColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
      ::FillRect(dc, &r, brush);
      ::SetTextColor(dc, text);
      ::SetBkColor(dc, back);
      ::DeleteObject(brush);
      ::DeleteObject(halftone);
    }
  }
  const int cx = r.right - r.left, cy = r.bottom - r.top;
  if (bitmap) {  // drawn transparently with the bar's mask colour
    HDC source = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(source, bitmap);
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof info, &info);
    ::GdiTransparentBlt(dc, r.left, r.top, cx, cy, source, 0, 0, info.bmWidth, info.bmHeight, bar.m_clrMask);
    ::SelectObject(source, old);
    ::DeleteDC(source);
    return;
  }
  const UINT mark = (item.type & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK;
  HBITMAP mask = monochrome_mask(cx, cy, [&](HDC into) {
    RECT all{0, 0, cx, cy};
    ::DrawFrameControl(into, &all, DFC_MENU, mark);
  });
  paint_embossed(dc, mask, r.left, r.top, cx, cy, !enabled, enabled ? COLOR_MENUTEXT : COLOR_BTNSHADOW);
  ::DeleteObject(mask);
}

}  // namespace zel
