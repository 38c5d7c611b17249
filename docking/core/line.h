// Lines the docking drawing code passes on to the window system, and the
// toolkit's points, rectangles, colours and MulDiv that the docking core
// computes with.
#pragma once

#include "zel/core/colour.h"
#include "zel/core/geometry.h"
#include "zel/core/mul_div.h"

namespace dockwins {

// A line from one point to another.
struct Line {
  zel::point from;
  zel::point to;
  friend bool operator==(const Line& a, const Line& b) { return a.from == b.from && a.to == b.to; }
};

}  // namespace dockwins
