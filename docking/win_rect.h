// Rectangles between the window system (RECT) and the portable core
// (zel::rect): the same four fields in the same order.
#pragma once

#include <windows.h>

#include "zel/core/geometry.h"

namespace dockwins {

inline zel::rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
inline RECT ToRECT(const zel::rect& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace dockwins
