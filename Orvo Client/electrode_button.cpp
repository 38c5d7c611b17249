#include "electrode_button.h"

#include "comet/bstr.h"
#include "comet/error.h"
#include "comet/ptr.h"
#include "impedance_view_resources.h"
#include "win/gdi.h"
#include "zel/frame_window.h"

namespace {

using namespace Orvo::impedance;

RECT to_rect(const rect& r, int dx, int dy) noexcept {
  return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// The value line: "Off", "Error" or the resistance.
std::wstring value_line_text(const electrode_face& face) {
  if (face.off) return zel::frame::load_string(IDS_ELECTRODE_OFF);
  if (face.error) return zel::frame::load_string(IDS_ELECTRODE_ERROR);
  return value_text(shown_value(face));
}

// The round lamp: filled with `fill`, outlined in the button-text colour,
// lit on its upper left and shaded on its lower right.
void draw_lamp(HDC dc, const RECT& lamp, COLORREF fill) {
  WTL::CBrush brush(::CreateSolidBrush(fill));
  WTL::CPen outline(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNTEXT)));
  {
    WTL::CSelectObject b(dc, brush), p(dc, outline);
    ::Ellipse(dc, lamp.left, lamp.top, lamp.right, lamp.bottom);
  }
  const RECT in{lamp.left + 1, lamp.top + 1, lamp.right - 1, lamp.bottom - 1};
  WTL::CPen light(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_3DHIGHLIGHT)));
  WTL::CPen shade(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_3DSHADOW)));
  {
    WTL::CSelectObject p(dc, light);
    ::Arc(dc, in.left, in.top, in.right, in.bottom, in.right, in.top, in.left, in.bottom);
  }
  WTL::CSelectObject p(dc, shade);
  ::Arc(dc, in.left, in.top, in.right, in.bottom, in.left, in.bottom, in.right, in.top);
}

}  // namespace

bool CElectrode::attach(HWND button) noexcept {
  if (!SubclassWindow(button)) return false;
  SendMessage(BM_SETSTYLE, BS_OWNERDRAW, FALSE);
  return true;
}

electrode_details CElectrode::read(IElectrode* electrode, bool positive) {
  IElectrode* e = comet::checked(electrode);
  electrode_details d;
  d.positive = positive;
  VARIANT_BOOL in_use = VARIANT_FALSE;
  comet::check(e->get_InUse(&in_use), e);
  d.in_use = in_use != VARIANT_FALSE;
  comet::bstr_t name;
  comet::check(e->get_Name(name.out()), e);
  d.name = name.w_str();
  LONG id = 0, resolution = 0, lower = 0, upper = 0;
  comet::check(e->get_ID(&id), e);
  comet::check(e->get_Resolution(&resolution), e);
  comet::check(e->get_LowerThreshold(&lower), e);
  comet::check(e->get_UpperThreshold(&upper), e);
  d.id = id;
  d.limits = scaled_thresholds(lower, upper, resolution);
  return d;
}

void CElectrode::show(const electrode_details& details) {
  electrode_face face = m_face;
  face.in_use = details.in_use;
  face.positive = details.positive;
  face.lower = details.limits.lower;
  face.upper = details.limits.upper;
  face.resolution = details.limits.resolution;
  bool changed = face != m_face;
  m_face = face;
  m_id = details.id;
  if (details.name != m_name) {
    m_name = details.name;
    if (m_hWnd) SetWindowText(m_name.c_str());
    changed = true;
  }
  if (changed) repaint();
}

void CElectrode::take_reading(std::uint8_t value) {
  if (m_face.take_reading(value)) repaint();
}

void CElectrode::repaint() noexcept {
  if (m_hWnd) Invalidate(FALSE);
}

void CElectrode::draw(const DRAWITEMSTRUCT& item) const {
  const RECT& area = item.rcItem;
  WTL::CMemoryDC dc(item.hDC, area);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(item.hwndItem), WM_GETFONT, 0, 0));
  WTL::CSelectObject font_in(dc, font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  const button_geometry g = geometry_of(area.right - area.left, area.bottom - area.top, metrics.tmHeight);
  const auto at = [&](const rect& r) { return to_rect(r, area.left, area.top); };

  dc.FillRect(at(g.background), COLOR_WINDOW);
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const COLORREF state = state_colour(pressed, m_face.positive, m_face.off);
  {
    WTL::CPen pen(::CreatePen(PS_SOLID, 1, state));
    WTL::CSelectObject p(dc, pen), b(dc, ::GetStockObject(NULL_BRUSH));
    const RECT f = at(g.frame);
    ::RoundRect(dc, f.left, f.top, f.right, f.bottom, g.corner, g.corner);
  }
  draw_lamp(dc, at(g.lamp), m_face.in_use ? state : ::GetSysColor(COLOR_WINDOW));

  for (const span& s : bar_spans(m_face, g.bar_fill)) dc.FillSolidRect(at(s.area), s.fill);
  HBRUSH black_brush = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  const RECT bar = at(g.bar);
  ::FrameRect(dc, &bar, black_brush);
  const bar_heights h = heights_of(m_face, g.bar_fill.height());
  for (int height : {h.lower, h.upper}) {
    const RECT mark = at(threshold_mark(g, height));
    ::FrameRect(dc, &mark, black_brush);
  }

  if (item.itemState & ODS_FOCUS) {
    const RECT focus = at(rect{g.frame.left + 3, g.frame.top + 3, g.frame.right - 3, g.frame.bottom - 3});
    ::DrawFocusRect(dc, &focus);
  }

  dc.SetBkMode(TRANSPARENT);
  RECT name = at(g.name_line);
  dc.SetTextColor(state);
  dc.DrawText(m_name.c_str(), static_cast<int>(m_name.size()), &name,
              DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  const std::wstring value = value_line_text(m_face);
  RECT value_line = at(g.value_line);
  dc.SetTextColor(value_colour(m_face.off));
  dc.DrawText(value.c_str(), static_cast<int>(value.size()), &value_line,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}
