// The impedance view's rules that need no window: what one electrode
// button shows (its readings, thresholds and value text), where the
// sixteen buttons go when the view is sized, the colours of a button and
// of its level bar, the places of a button's parts and the text of its tip.
//
//   Orvo::impedance::electrode_face face;          // as a new button shows it
//   face.take_reading(0xFE);                        // error
//   auto spans = Orvo::impedance::bar_spans(face, geometry_of(90, 170, 13).bar_fill);
//
// Colours are 32-bit values laid out as the system's colour references
// (0x00BBGGRR). Rectangles are in pixels of the button or the view.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Orvo::impedance {

constexpr std::size_t button_count = 16;
// Reading bytes with a meaning of their own.
constexpr std::uint8_t reading_off = 0xFF;
constexpr std::uint8_t reading_error = 0xFE;

using colour = std::uint32_t;
constexpr colour green = 0x00FF00;
constexpr colour yellow = 0x00FFFF;
constexpr colour red = 0x0000FF;
constexpr colour blue = 0xFF0000;
constexpr colour grey = 0x808080;
constexpr colour black = 0x000000;

struct rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const noexcept { return right - left; }
  int height() const noexcept { return bottom - top; }
  bool operator==(const rect& o) const noexcept {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const rect& o) const noexcept { return !(*this == o); }
};

// The thresholds of an electrode in reading units: the electrode's
// values divided by its resolution (integer division; a resolution of 0
// counts as 1).
struct thresholds {
  long lower = 0, upper = 0, resolution = 1;
};
thresholds scaled_thresholds(long lower, long upper, long resolution) noexcept;

// What one button shows, with the values of a button that has not yet
// seen an electrode or a reading.
struct electrode_face {
  long lower = 33, upper = 66, scale_maximum = 100;
  int reading = 99;
  bool in_use = false, positive = false, off = true, error = false;
  long resolution = 1;

  // Takes one reading byte: 0xFF is "off" (reading 0), 0xFE an error.
  // True when the face changed.
  bool take_reading(std::uint8_t value) noexcept;
  bool operator==(const electrode_face& o) const noexcept;
  bool operator!=(const electrode_face& o) const noexcept { return !(*this == o); }
};

// How many bytes of an impedance event the view takes: at most one per
// button; none (and nothing changes) when the count is 0 or odd.
std::optional<std::size_t> readings_to_take(std::size_t count) noexcept;

// The text of a resistance: below 1000 the number and "R"; from 1000 the
// thousands, "K" and the hundreds digit unless it is 0 (4700 "4K7").
// Plain digits whatever the locale: the notation is the amplifier's own.
std::wstring value_text(long value);
// The value a button shows: reading x resolution.
long shown_value(const electrode_face& face) noexcept;

// The view's first layout: its client size and button 8000's rectangle,
// whose left and top offsets are the gaps.
struct design {
  int width = 0, height = 0;
  int button_width = 0, button_height = 0, gap_x = 0, gap_y = 0;
};
// The sixteen button rectangles for a client area of width x height: the
// sizes and gaps grow with the area beyond the design size, never shrink.
// None before the design size is known (width 0).
std::optional<std::array<rect, button_count>> layout(const design& d, int width, int height);

// The frame, name and lamp colour: green while pressed, else red for a
// positive and blue for a negative electrode; grey whenever off.
colour state_colour(bool pressed, bool positive, bool off) noexcept;
// The value text's colour: grey when off, else black.
colour value_colour(bool off) noexcept;
// The bar's zones from the bottom: below the lower threshold, between the
// thresholds, above the upper one. On an error all red.
std::array<colour, 3> zone_colours(bool error) noexcept;
// Band k (0-15) of a gradient from c1 to c2: each component
// c1 + (c2 - c1) x k / 16, truncated.
colour band_colour(colour c1, colour c2, int band) noexcept;

// Heights on a bar of `height` pixels for the scale 0 to face.scale_maximum:
// both thresholds limited to the maximum and in ascending order; the
// reading's height at most the whole bar. Each value x height / maximum,
// truncated.
struct bar_heights {
  int lower = 0, upper = 0, reading = 0;
};
bar_heights heights_of(const electrode_face& face, int height) noexcept;

// The parts of a button of width x height whose text lines are
// `line_height` pixels high.
struct button_geometry {
  rect background;     // the whole button
  rect frame;          // the rounded frame, one pixel in
  int corner = 0;      // both corner diameters of the frame
  rect lamp_area;      // the bottom 38 pixels of the frame's inside (6 in)
  rect lamp;           // the round lamp
  rect text_area;      // value text over name, just above the lamp
  rect value_line;     // the text area's first line
  rect name_line;      // its bottom line
  rect bar;            // the level bar with its black frame
  rect bar_fill;       // inside the bar's frame
  int mark_reach = 0;  // how far a threshold mark stands out of the bar on each side
};
button_geometry geometry_of(int width, int height, int line_height) noexcept;

// A threshold mark: a small black-framed rectangle across the bar at the
// threshold's height.
rect threshold_mark(const button_geometry& g, int height_above_bottom) noexcept;

// The horizontal spans that paint the level bar of a face into `fill`,
// bottom first, from the bottom up to the reading's height. Transitions
// between zones are 16 bands wide gradients a fifth of the bar high,
// centred on the threshold.
struct span {
  rect area;
  colour fill = 0;
};
std::vector<span> bar_spans(const electrode_face& face, const rect& fill);

// The texts of a tip, from the view's string table.
struct tip_texts {
  std::wstring impedance, lower, upper, error, off;
};
// The electrode's name, then its state: turned off, in error or its
// impedance; then both thresholds x resolution in the value notation.
std::wstring tip_text(const std::wstring& name, const electrode_face& face, const tip_texts& texts);

}  // namespace Orvo::impedance
