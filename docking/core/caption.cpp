#include "core/caption.h"

#include <algorithm>
#include <cmath>

namespace dockwins {

zel::rect CaptionBand(const zel::rect& window, bool horizontal, std::int32_t thickness) {
  zel::rect band = window;
  if (horizontal)
    band.bottom = band.top + thickness;
  else
    band.right = band.left + thickness;
  return band;
}

zel::rect CaptionCloseButton(const zel::rect& caption, bool horizontal) {
  zel::rect r = caption;
  if (horizontal) {
    r.top += 2;
    r.bottom -= 2;
  } else {
    r.left += 2;
    r.right -= 2;
  }
  r = {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
  if (horizontal)
    r.left = r.right - r.height();
  else
    r.bottom = r.top + r.width();
  return r;
}

zel::rect CaptionTextRect(const zel::rect& caption, const zel::rect& close, bool horizontal) {
  if (horizontal) return {caption.left + 5, caption.top, close.left - 2, caption.bottom};
  return {caption.left, close.bottom + 2, caption.right, caption.bottom - 3};
}

std::array<Line, 2> CaptionCloseCross(const zel::rect& button, bool pressed) {
  const std::int32_t p = pressed ? 1 : 0;
  const zel::rect& b = button;
  return {{{{b.left + 2 + p, b.top + 3 + p}, {b.right - 3 + p, b.bottom - 2 + p}},
           {{b.left + 2 + p, b.bottom - 3 + p}, {b.right - 3 + p, b.top + 2 + p}}}};
}

std::int32_t CloseGlyphHeight(std::int32_t button_width, std::int32_t pixels_per_inch) {
  return zel::mul_div(pixels_per_inch, 7 * button_width, 720);
}

zel::rect DragOutline(const zel::rect& window, zel::point cursor, zel::size floating) {
  auto lead = [](std::int32_t c, std::int32_t edge, std::int32_t extent, std::int32_t size) {
    if (extent == 0) return c;
    return c - static_cast<std::int32_t>(std::trunc(double(c - edge) / extent * size));
  };
  const std::int32_t left = lead(cursor.x, window.left, window.width(), floating.cx);
  const std::int32_t top = lead(cursor.y, window.top, window.height(), floating.cy);
  return {left, top, left + floating.cx, top + floating.cy};
}

std::int32_t FlyingTabStripHeight(bool has_font, std::int32_t ascent) {
  if (!has_font) return 24;
  const double height = std::trunc(24 + (ascent / 11.0 * 24 - 24) * 0.5);
  return static_cast<std::int32_t>(static_cast<std::int64_t>(height) & 0xFF);
}

TabBoxPlaces PlaceTabBoxStrip(const zel::rect& client, std::uint32_t strip_style, std::int32_t thickness) {
  TabBoxPlaces places{client, client};
  const bool far_edge = (strip_style & 0x02) != 0;
  if (strip_style & 0x80) {
    const std::int32_t edge =
        far_edge ? std::max(client.left, client.right - thickness) : std::min(client.right, client.left + thickness);
    (far_edge ? places.strip.left : places.strip.right) = edge;
    (far_edge ? places.view.right : places.view.left) = edge;
  } else {
    const std::int32_t edge =
        far_edge ? std::max(client.top, client.bottom - thickness) : std::min(client.bottom, client.top + thickness);
    (far_edge ? places.strip.top : places.strip.bottom) = edge;
    (far_edge ? places.view.bottom : places.view.top) = edge;
  }
  return places;
}

std::int32_t TabReorderRule::Step(std::int32_t dragged, std::int32_t under, std::int32_t pointer) {
  std::int32_t target = -1;
  if (under >= 0 && under != dragged) {
    const bool toward = under != last_swapped_ ||
                        (std::int64_t{pointer} - last_pointer_) * (std::int64_t{last_swapped_} - dragged) >= 1;
    if (toward) target = under;
  }
  last_pointer_ = pointer;
  return target;
}

}  // namespace dockwins
