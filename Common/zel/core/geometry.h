// Points, sizes and rectangles of the toolkit's portable code, laid out as
// the window system's own (left, top, right, bottom; right and bottom
// exclusive), so the window classes copy them field by field.
#pragma once

namespace zel {

struct point {
  int x = 0;
  int y = 0;
  friend bool operator==(const point& a, const point& b) { return a.x == b.x && a.y == b.y; }
  friend bool operator!=(const point& a, const point& b) { return !(a == b); }
};

struct size {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const size& a, const size& b) { return a.cx == b.cx && a.cy == b.cy; }
  friend bool operator!=(const size& a, const size& b) { return !(a == b); }
};

struct rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  // No area: as the window system's IsRectEmpty.
  bool empty() const { return right <= left || bottom <= top; }
  // The left and top edges belong to the rectangle, the right and bottom not.
  bool contains(point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  rect offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }

  friend bool operator==(const rect& a, const rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
  friend bool operator!=(const rect& a, const rect& b) { return !(a == b); }
};

// The common part of two rectangles; empty (all zero) when they do not meet.
inline rect intersection(const rect& a, const rect& b) {
  const rect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top, a.right < b.right ? a.right : b.right,
               a.bottom < b.bottom ? a.bottom : b.bottom};
  return r.empty() ? rect{} : r;
}

}  // namespace zel
