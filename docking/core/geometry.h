// Points, rectangles and colours of the docking framework and the tab
// strips, with the window system's conventions but none of its types: a
// rectangle holds its left and top edges and excludes its right and bottom
// edges; every field is a 32-bit integer, as in the stored records.
#pragma once

#include <cstdint>

namespace dockwins {

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
};

struct Size {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  friend bool operator==(const Size& a, const Size& b) { return a.cx == b.cx && a.cy == b.cy; }
};

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  // The left and top edges belong to the rectangle, the right and bottom not.
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  Rect Offset(std::int32_t dx, std::int32_t dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  friend bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
};

// The common part of two rectangles; empty (all zero) when they do not meet.
Rect Intersection(const Rect& a, const Rect& b);

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Colour& a, const Colour& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
  }
};

// A line from one point to another, as the drawing code passes it on.
struct Line {
  Point from;
  Point to;
  friend bool operator==(const Line& a, const Line& b) { return a.from == b.from && a.to == b.to; }
};

// The window system's multiply-then-divide: a * b / c with a 64-bit
// product, rounded to nearest with halves away from zero; -1 when c is 0 or
// the result does not fit in 32 bits.
std::int32_t MulDivRounded(std::int32_t a, std::int32_t b, std::int32_t c);

}  // namespace dockwins
