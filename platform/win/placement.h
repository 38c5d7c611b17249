// Moving windows: several at once, and by dragging with the mouse.
//
//   {
//     WTL::deferred_positions moves(2);
//     moves.move(m_tree, tree_rect);
//     moves.move(m_list, list_rect);
//   }                                   // all windows move together here
//
//   bool done = WTL::track_capture(m_hWnd, tracker);
//
// track_capture runs the mouse-capture loop of a drag: `tracker` is any
// object with the members
//   void OnBegin(); void OnEnd(bool canceled);
//   void OnMouseMove(int x, int y); void OnCancel(int x, int y);
//   void OnLeftDrop(int x, int y); void OnRightDrop(int x, int y);
//   bool OnMessage(MSG& msg);  // true: taken, nothing else done with it
// Steps: OnBegin, capture the mouse for `owner`, then while the owner keeps
// the capture: a mouse move goes to OnMouseMove; the left or right button's
// release ends the drag (OnLeftDrop, OnRightDrop); a button press or Escape
// cancels (OnCancel); a system key cancels and is dispatched; every other
// message is dispatched; WM_QUIT cancels and is posted again. Then OnEnd;
// true when the drag was completed.
// Coordinates are those of the message (client coordinates of the owner).
#pragma once

#include <windows.h>

namespace WTL {

class deferred_positions {
 public:
  explicit deferred_positions(int count) noexcept : m_hdwp(::BeginDeferWindowPos(count)) {}
  ~deferred_positions() {
    if (m_hdwp) ::EndDeferWindowPos(m_hdwp);
  }
  deferred_positions(const deferred_positions&) = delete;
  deferred_positions& operator=(const deferred_positions&) = delete;

  // Moves and sizes `hWnd` to `rect` (parent client coordinates) at the end.
  bool move(HWND hWnd, const RECT& rect, UINT flags = SWP_NOZORDER | SWP_NOACTIVATE) noexcept {
    return position(hWnd, nullptr, rect, flags);
  }
  bool position(HWND hWnd, HWND insertAfter, const RECT& rect, UINT flags) noexcept {
    if (!m_hdwp) return false;
    // A failed step invalidates the whole set; the windows then keep their places.
    m_hdwp = ::DeferWindowPos(m_hdwp, hWnd, insertAfter, rect.left, rect.top, rect.right - rect.left,
                              rect.bottom - rect.top, flags);
    return m_hdwp != nullptr;
  }

 private:
  HDWP m_hdwp;
};

template <class Tracker>
bool track_capture(HWND owner, Tracker& tracker) {
  tracker.OnBegin();
  ::SetCapture(owner);
  bool completed = false;
  MSG msg;
  while (::GetCapture() == owner) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // A quit ends the drag and stays for the loop that runs the program.
      if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
      ::ReleaseCapture();
      break;
    }
    if (tracker.OnMessage(msg)) continue;
    const int x = static_cast<short>(LOWORD(msg.lParam));  // signed: left of or above the owner
    const int y = static_cast<short>(HIWORD(msg.lParam));
    switch (msg.message) {
      case WM_MOUSEMOVE:
        tracker.OnMouseMove(x, y);
        break;
      case WM_LBUTTONUP:
        ::ReleaseCapture();
        tracker.OnLeftDrop(x, y);
        completed = true;
        break;
      case WM_RBUTTONUP:
        ::ReleaseCapture();
        tracker.OnRightDrop(x, y);
        completed = true;
        break;
      case WM_KEYDOWN:
        if (msg.wParam != VK_ESCAPE) {
          ::DispatchMessageW(&msg);
          break;
        }
        [[fallthrough]];
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
        ::ReleaseCapture();
        tracker.OnCancel(x, y);
        completed = false;
        break;
      case WM_SYSKEYDOWN:
        ::ReleaseCapture();
        tracker.OnCancel(x, y);
        completed = false;
        ::DispatchMessageW(&msg);
        break;
      default:
        ::DispatchMessageW(&msg);
        break;
    }
  }
  tracker.OnEnd(!completed);
  return completed;
}

}  // namespace WTL
