#include "box_drag.h"

#include <algorithm>

#include "core/caption.h"
#include "docking_frame.h"
#include "docking_settings.h"
#include "splitter_tracker.h"
#include "win/gdi.h"

namespace dockwins {

bool SendDockingRequest(HWND target, DockRequest& request, bool registered) {
  const UINT message = registered ? DockingSettings::Global().message : DockingRequestMessage;
  if (!target || !message) return false;
  return ::SendMessageW(target, message, 0, reinterpret_cast<LPARAM>(&request)) != 0;
}

bool IsDockingBox(HWND window) {
  if (!::IsWindow(window)) return false;
  DockRequest query{};
  query.code = dock_code::IsDockingBox;
  return SendDockingRequest(window, query, true);
}

RECT FrameLimitedRect(HWND frame, HWND box, const RECT& window) {
  DockRequest request{};
  request.window = HandleValue(box);
  request.code = dock_code::AdjustDragRect;
  request.SetDragRect(ToRect(window));
  return SendDockingRequest(frame, request) ? ToRECT(request.DragRect()) : window;
}

namespace {

// Edge width of the ghost outline.
constexpr int OutlineEdge = 3;

class CBoxDragTracker : public IDDTracker {
 public:
  CBoxDragTracker(HWND box, HWND frame, const RECT& window, SIZE floating, POINT start)
      : m_box(box),
        m_frame(frame),
        m_floating(floating),
        m_start(start),
        m_last(start),
        m_brush(WTL::create_halftone_brush()) {
    // The grab point keeps its relative place in the floating outline.
    const zel::rect outline = DragOutline(ToRect(window), {start.x, start.y}, {floating.cx, floating.cy});
    m_grab = {start.x - outline.left, start.y - outline.top};
  }
  ~CBoxDragTracker() override {
    Erase();
    if (m_brush) ::DeleteObject(m_brush);
  }

  void OnBegin() override { Follow(m_start); }
  void OnEnd(bool) override { Erase(); }
  void OnMouseMove(int x, int y) override { Follow(Screen(x, y)); }
  void OnLeftDrop(int x, int y) override { Drop(Screen(x, y)); }
  void OnRightDrop(int x, int y) override { Drop(Screen(x, y)); }
  void OnCancel(int, int) override { Erase(); }
  bool OnMessage(MSG& msg) override {
    // Ctrl pressed or released finds the target again where the pointer is.
    if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_CONTROL) {
      m_ctrl = msg.message == WM_KEYDOWN;
      Follow(m_last);
      return true;
    }
    // A mouse message carries the key state of its own moment.
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP)
      m_ctrl = (msg.wParam & MK_CONTROL) != 0 || (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    return false;
  }

  BoxDragResult result;

 private:
  POINT Screen(int x, int y) const {
    POINT pt{x, y};
    ::ClientToScreen(m_box, &pt);
    return pt;
  }

  void Drop(POINT pt) {
    Find(pt);
    Erase();
    result.completed = true;
    result.moved = pt.x != m_start.x || pt.y != m_start.y;
  }

  void Follow(POINT pt) {
    Find(pt);
    if (m_drawn && ::EqualRect(&m_drawn_rect, &result.outline)) return;
    Erase();
    Draw(result.outline);
  }

  // The target under the pointer and the outline it offers.
  void Find(POINT pt) {
    m_last = pt;
    const RECT floating = FrameLimitedRect(
        m_frame, m_box,
        RECT{pt.x - m_grab.x, pt.y - m_grab.y, pt.x - m_grab.x + m_floating.cx, pt.y - m_grab.y + m_floating.cy});
    const bool ctrl = m_ctrl;
    // The request carries the pointer as its first corner: the place a
    // target tests is the one under the pointer.
    auto request = [&] {
      DockRequest r{};
      r.window = HandleValue(m_box);
      r.code = dock_code::DropTest;
      r.SetDragRect({pt.x, pt.y, pt.x + (floating.right - floating.left), pt.y + (floating.bottom - floating.top)});
      return r;
    };
    result.taken = false;
    if (!ctrl) {
      for (HWND w = ::WindowFromPoint(pt); w && w != m_box && w != ::GetDesktopWindow();
           w = ::GetAncestor(w, GA_PARENT)) {
        if (!IsDockingBox(w)) continue;
        DockRequest r = request();
        if (SendDockingRequest(w, r, true)) {
          result.taken = true;
          result.request = r;
        }
        break;
      }
      if (!result.taken) {
        DockRequest r = request();
        if (SendDockingRequest(m_frame, r)) {
          result.taken = true;
          result.request = r;
        }
      }
    }
    if (result.taken) {
      result.outline = ToRECT(result.request.DragRect());
    } else {
      result.request = request();
      result.request.host = 0;
      result.outline = floating;
    }
  }

  void Draw(const RECT& r) {
    HWND desktop = ::GetDesktopWindow();
    WTL::CWindowDC dc(desktop);
    if (dc && m_brush) {
      WTL::CSelectObject brush(dc, m_brush);
      const int w = r.right - r.left, h = r.bottom - r.top;
      const int e = std::min(OutlineEdge, std::min(w, h) / 2);
      ::PatBlt(dc, r.left, r.top, w, e, PATINVERT);
      ::PatBlt(dc, r.left, r.bottom - e, w, e, PATINVERT);
      ::PatBlt(dc, r.left, r.top + e, e, h - 2 * e, PATINVERT);
      ::PatBlt(dc, r.right - e, r.top + e, e, h - 2 * e, PATINVERT);
    }
    m_drawn = true;
    m_drawn_rect = r;
  }
  void Erase() {
    if (!m_drawn) return;
    Draw(m_drawn_rect);  // the same inversion again takes the outline away
    m_drawn = false;
  }

  HWND m_box;
  HWND m_frame;
  POINT m_grab{};  // the pointer's offset in the floating outline
  SIZE m_floating;
  POINT m_start;
  POINT m_last;
  HBRUSH m_brush;
  bool m_drawn = false;
  bool m_ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;  // Ctrl held
  RECT m_drawn_rect{};
};

}  // namespace

BoxDragResult TrackBoxDrag(HWND box, HWND frame, const RECT& window, SIZE floating, POINT start) {
  CBoxDragTracker tracker(box, frame, window, floating, start);
  TrackDragAndDrop(tracker, box);
  return tracker.result;
}

}  // namespace dockwins
