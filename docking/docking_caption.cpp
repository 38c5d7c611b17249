#include "docking_caption.h"

#include <string>

#include "core/caption.h"
#include "docking_settings.h"
#include "win/gdi.h"
#include "win_rect.h"

namespace dockwins {

namespace {
HBRUSH SysBrush(int index) { return ::GetSysColorBrush(index); }

void PaintButton(HDC dc, const RECT& rect, int state, bool active) {
  ::FillRect(dc, &rect, SysBrush(active ? COLOR_ACTIVECAPTION : COLOR_BTNFACE));
  const bool pressed = state == 2;
  const COLORREF glyph = ::GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_BTNTEXT);
  const int small_caption = DockingSettings::Global().metrics.iSmCaptionHeight;
  if (CloseButtonDrawsCross(small_caption)) {
    WTL::CPen pen(::CreatePen(PS_SOLID, 1, glyph));
    WTL::CSelectObject keep(dc, pen);
    for (const Line& line : CaptionCloseCross(ToRect(rect), pressed)) {
      ::MoveToEx(dc, line.from.x, line.from.y, nullptr);
      ::LineTo(dc, line.to.x, line.to.y);
    }
  } else {
    // The glyph's size in tenths of a point, made a character height in
    // logical units at the DC's resolution.
    const int height = CloseGlyphHeight(rect.right - rect.left, ::GetDeviceCaps(dc, LOGPIXELSY));
    POINT size[2] = {{0, 0}, {0, height}};
    ::DPtoLP(dc, size, 2);
    WTL::CFont font(
        ::CreateFontW(-(size[1].y - size[0].y), 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, L"Marlett"));
    WTL::CSelectObject keep(dc, font);
    RECT r = rect;
    if (pressed) ::OffsetRect(&r, 1, 1);
    ::SetTextColor(dc, glyph);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, L"r", 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}
}  // namespace

void CVC7LikeExCaption::CCloseButton::CalcRect(const RECT& caption, bool horizontal) {
  rect = ToRECT(CaptionCloseButton(ToRect(caption), horizontal));
}

void CVC7LikeExCaption::CCloseButton::Paint(HDC dc, int state, bool active) { PaintButton(dc, rect, state, active); }

void CVC7LikeExCaption::UpdateMetrics() {
  thickness = CaptionThickness(DockingSettings::Global().metrics.iSmCaptionHeight);
}

void CVC7LikeExCaption::CalcRect(const RECT& window, bool with_caption) {
  if (!with_caption) {
    rect = {};
    close.rect = {};
    return;
  }
  rect = ToRECT(CaptionBand(ToRect(window), horizontal, thickness));
  close.CalcRect(rect, horizontal);
}

LRESULT CVC7LikeExCaption::HitTest(POINT pt) const {
  if (!::PtInRect(&rect, pt)) return HTNOWHERE;
  return ::PtInRect(&close.rect, pt) ? HTCLOSE : HTCAPTION;
}

bool CVC7LikeExCaption::IsActive(HWND box) {
  HWND focus = ::GetFocus();
  return focus && (focus == box || ::IsChild(box, focus));
}

void CVC7LikeExCaption::Draw(HWND box, HDC dc) const {
  if (::IsRectEmpty(&rect)) return;
  const bool active = IsActive(box);
  RECT band = rect;
  ::FillRect(dc, &band, SysBrush(COLOR_BTNFACE));
  if (active) {
    RECT inner = band;
    if (horizontal)
      ::InflateRect(&inner, 0, -2);
    else
      ::InflateRect(&inner, -2, 0);
    ::FillRect(dc, &inner, SysBrush(COLOR_ACTIVECAPTION));
  } else {
    RECT edge = band;
    if (horizontal)
      ::InflateRect(&edge, -1, 0);
    else
      ::InflateRect(&edge, 0, -1);
    ::DrawEdge(dc, &edge, BDR_RAISEDINNER | BDR_SUNKENOUTER, BF_FLAT | BF_TOP | BF_BOTTOM);
    ::DrawEdge(dc, &edge, BDR_RAISEDINNER | BDR_SUNKENOUTER, BF_FLAT | BF_LEFT | BF_RIGHT);
  }
  const int length = ::GetWindowTextLengthW(box);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  ::GetWindowTextW(box, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  const RECT area = ToRECT(CaptionTextRect(ToRect(rect), ToRect(close.rect), horizontal));
  if (!text.empty() && !::IsRectEmpty(&area)) {
    const DockingSettings& settings = DockingSettings::Global();
    WTL::CSelectObject font(dc, horizontal ? settings.caption_font : settings.caption_font_vertical);
    ::SetTextColor(dc, ::GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_BTNTEXT));
    ::SetBkMode(dc, TRANSPARENT);
    DockingSettings::DrawEllipsisText(dc, text.c_str(), length, area, horizontal);
  }
  PaintButton(dc, close.rect, 0, active);
}

bool CVC7LikeExCaption::TrackClose(HWND box) {
  const bool active = IsActive(box);
  auto paint = [&](int state) {
    WTL::CWindowDC dc(box);
    if (dc) PaintButton(dc, close.rect, state, active);
  };
  auto over = [&](LPARAM client) {
    POINT pt{static_cast<short>(LOWORD(client)), static_cast<short>(HIWORD(client))};
    ::ClientToScreen(box, &pt);
    RECT window;
    ::GetWindowRect(box, &window);
    pt.x -= window.left;
    pt.y -= window.top;
    return ::PtInRect(&close.rect, pt) != FALSE;
  };
  bool inside = true;
  bool released_over = false;
  paint(2);
  ::SetCapture(box);
  MSG msg;
  while (::GetCapture() == box) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // A quit ends the tracking and stays for the loop that runs the program.
      if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_MOUSEMOVE) {
      const bool now = over(msg.lParam);
      if (now != inside) paint(now ? 2 : 0);
      inside = now;
    } else if (msg.message == WM_LBUTTONUP) {
      released_over = over(msg.lParam);
      break;
    } else if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_SYSKEYDOWN) {
      break;
    } else {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  if (::GetCapture() == box) ::ReleaseCapture();
  paint(0);
  return released_over;
}

}  // namespace dockwins
