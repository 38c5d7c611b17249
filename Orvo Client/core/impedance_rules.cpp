#include "impedance_rules.h"

#include <algorithm>

namespace Orvo::impedance {

namespace {

// A rectangle that never turns inside out: a right or bottom edge left of
// or above its opposite edge is moved onto it.
rect make_rect(int left, int top, int right, int bottom) noexcept {
  return rect{left, top, std::max(left, right), std::max(top, bottom)};
}

rect shrunk(const rect& r, int by) noexcept { return make_rect(r.left + by, r.top + by, r.right - by, r.bottom - by); }

int component(colour c, int shift) noexcept { return static_cast<int>((c >> shift) & 0xFF); }

// The lamp's largest diameter, the height left between bar and text, and
// the narrowest bar.
constexpr int lamp_area_height = 38;
constexpr int lamp_diameter = 26;
constexpr int bar_text_gap = 4;
constexpr int minimum_bar_width = 8;
constexpr int mark_reach = 4;
// The transitions between zones are a fifth of the bar high.
constexpr int transition_share = 5;
constexpr int bands = 16;

}  // namespace

thresholds scaled_thresholds(long lower, long upper, long resolution) noexcept {
  const long r = resolution == 0 ? 1 : resolution;
  return thresholds{lower / r, upper / r, r};
}

bool electrode_face::take_reading(std::uint8_t value) noexcept {
  const electrode_face before = *this;
  off = value == reading_off;
  reading = off ? 0 : value;
  error = value == reading_error;
  return before != *this;
}

bool electrode_face::operator==(const electrode_face& o) const noexcept {
  return lower == o.lower && upper == o.upper && scale_maximum == o.scale_maximum && reading == o.reading &&
         in_use == o.in_use && positive == o.positive && off == o.off && error == o.error && resolution == o.resolution;
}

std::optional<std::size_t> readings_to_take(std::size_t count) noexcept {
  const std::size_t n = std::min(count, button_count);
  if (n == 0 || n % 2 != 0) return std::nullopt;
  return n;
}

std::wstring value_text(long value) {
  if (value < 1000) return std::to_wstring(value) + L"R";
  std::wstring text = std::to_wstring(value / 1000) + L"K";
  const long hundreds = value % 1000 / 100;
  if (hundreds != 0) text += std::to_wstring(hundreds);
  return text;
}

long shown_value(const electrode_face& face) noexcept { return face.reading * face.resolution; }

std::optional<std::array<rect, button_count>> layout(const design& d, int width, int height) {
  if (d.width <= 0 || d.height <= 0) return std::nullopt;
  const double sx = width > d.width ? static_cast<double>(width) / d.width : 1.0;
  const double sy = height > d.height ? static_cast<double>(height) / d.height : 1.0;
  const int w = static_cast<int>(d.button_width * sx);
  const int gx = static_cast<int>(d.gap_x * sx);
  const int h = static_cast<int>(d.button_height * sy);
  const int gy = static_cast<int>(d.gap_y * sy);
  std::array<rect, button_count> places;
  for (std::size_t i = 0; i < button_count; ++i) {
    const int column = static_cast<int>(i / 2), row = static_cast<int>(i % 2);
    const int left = column * (gx + w) + gx, top = row * (gy + h) + gy;
    places[i] = rect{left, top, left + w, top + h};
  }
  return places;
}

colour state_colour(bool pressed, bool positive, bool off) noexcept {
  if (off) return grey;
  if (pressed) return green;
  return positive ? red : blue;
}

colour value_colour(bool off) noexcept { return off ? grey : black; }

std::array<colour, 3> zone_colours(bool error) noexcept {
  if (error) return {red, red, red};
  return {green, yellow, red};
}

colour band_colour(colour c1, colour c2, int band) noexcept {
  colour mixed = 0;
  for (int shift : {0, 8, 16}) {
    const int a = component(c1, shift), b = component(c2, shift);
    mixed |= static_cast<colour>(a + (b - a) * band / bands) << shift;
  }
  return mixed;
}

bar_heights heights_of(const electrode_face& face, int height) noexcept {
  const long top = face.scale_maximum;
  if (top <= 0 || height <= 0) return {};
  long lower = std::min(face.lower, top), upper = std::min(face.upper, top);
  if (lower > upper) std::swap(lower, upper);
  const long reading = std::min<long>(face.reading, top);
  const auto scaled = [&](long value) { return static_cast<int>(value * height / top); };
  return bar_heights{scaled(lower), scaled(upper), std::max(0, scaled(reading))};
}

button_geometry geometry_of(int width, int height, int line_height) noexcept {
  button_geometry g;
  g.background = make_rect(0, 0, width, height);
  g.frame = shrunk(g.background, 1);
  g.corner = g.frame.width() / 4;
  const rect inside = shrunk(g.frame, 6);
  g.lamp_area =
      make_rect(inside.left, std::max(inside.top, inside.bottom - lamp_area_height), inside.right, inside.bottom);
  const int d = std::min({lamp_diameter, g.lamp_area.width(), g.lamp_area.height()});
  const int lamp_left = g.lamp_area.left + (g.lamp_area.width() - d) / 2;
  const int lamp_top = g.lamp_area.top + (g.lamp_area.height() - d) / 2;
  g.lamp = make_rect(lamp_left, lamp_top, lamp_left + d, lamp_top + d);
  g.text_area =
      make_rect(inside.left, std::max(inside.top, g.lamp_area.top - 2 * line_height), inside.right, g.lamp_area.top);
  g.value_line = make_rect(g.text_area.left, g.text_area.top, g.text_area.right,
                           std::min(g.text_area.bottom, g.text_area.top + line_height));
  g.name_line = make_rect(g.text_area.left, std::max(g.text_area.top, g.text_area.bottom - line_height),
                          g.text_area.right, g.text_area.bottom);
  const int bar_width = std::min(inside.width(), std::max(minimum_bar_width, inside.width() / 3));
  const int bar_left = inside.left + (inside.width() - bar_width) / 2;
  g.bar = make_rect(bar_left, inside.top + 2, bar_left + bar_width, g.text_area.top - bar_text_gap);
  g.bar_fill = shrunk(g.bar, 1);
  g.mark_reach = mark_reach;
  return g;
}

rect threshold_mark(const button_geometry& g, int height_above_bottom) noexcept {
  const int y = g.bar_fill.bottom - 1 - height_above_bottom;
  return make_rect(g.bar.left - g.mark_reach, y - 1, g.bar.right + g.mark_reach, y + 2);
}

std::vector<span> bar_spans(const electrode_face& face, const rect& fill) {
  const int height = fill.height();
  const bar_heights h = heights_of(face, height);
  const std::array<colour, 3> zones = zone_colours(face.error);
  const int t = height / transition_share;
  // The colour crossing from `below` to `above` around `centre`.
  const auto crossing = [t](int row, colour below, colour above, int centre) {
    const int start = centre - t / 2;
    if (t <= 0) return row < centre ? below : above;
    if (row < start) return below;
    if (row >= start + t) return above;
    return band_colour(below, above, (row - start) * bands / t);
  };
  const int middle = (h.lower + h.upper) / 2;
  std::vector<span> spans;
  for (int row = 0; row < h.reading; ++row) {
    const colour c =
        row < middle ? crossing(row, zones[0], zones[1], h.lower) : crossing(row, zones[1], zones[2], h.upper);
    const int y = fill.bottom - 1 - row;
    if (!spans.empty() && spans.back().fill == c) {
      spans.back().area.top = y;
    } else {
      spans.push_back(span{rect{fill.left, y, fill.right, y + 1}, c});
    }
  }
  return spans;
}

std::wstring tip_text(const std::wstring& name, const electrode_face& face, const tip_texts& texts) {
  std::wstring text = name;
  if (face.off) {
    text += texts.off;
  } else if (face.error) {
    text += texts.error;
  } else {
    text += texts.impedance + value_text(shown_value(face));
  }
  text += texts.lower + value_text(face.lower * face.resolution);
  text += texts.upper + value_text(face.upper * face.resolution);
  return text;
}

}  // namespace Orvo::impedance
