// The drag of a docking box by its caption: a ghost outline follows the
// pointer, at the place a docking target offers or floating; Ctrl held
// keeps the box floating.
#pragma once

#include <windows.h>

#include "core/dock_request.h"

namespace dockwins {

// Sends a docking request by WM_USER + 1 (`registered` false) or by the
// process's registered docking message; the target's answer.
bool SendDockingRequest(HWND target, DockRequest& request, bool registered = false);
// Whether a window answers the registered docking message as a docking box.
bool IsDockingBox(HWND window);

struct BoxDragResult {
  bool completed = false;  // released, not canceled
  bool moved = false;      // released elsewhere than where it began
  bool taken = false;      // a target offered a place: `request` holds it (code 1 answered)
  DockRequest request{};
  RECT outline{};  // screen: the place offered, or the floating outline
};

// Runs the drag of `box`, whose window rectangle is `window` (screen), from
// the screen point `start`, for the docking frame `frame`. `floating` is the
// size the box floats at.
BoxDragResult TrackBoxDrag(HWND box, HWND frame, const RECT& window, SIZE floating, POINT start);

// The floating rectangle of a box that has none yet: its window rectangle
// as the frame limits a dragged box (a third of the frame at most).
RECT FrameLimitedRect(HWND frame, HWND box, const RECT& window);

}  // namespace dockwins
