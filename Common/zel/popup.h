// Placing popup menus on screen.
#pragma once

namespace zel {

// The x coordinate at which to open a popup menu meant for screen point
// (x, y): x itself when the point lies on a monitor; else x clamped into
// the work area of the nearest monitor (x again when there is none). The
// caller keeps its own y.
int clamp_to_monitor_x(int x, int y) noexcept;

}  // namespace zel
