#include "splitter_tracker.h"

#include <algorithm>

#include "win/gdi.h"
#include "win/placement.h"

namespace dockwins {

bool TrackDragAndDrop(IDDTracker& tracker, HWND owner) { return WTL::track_capture(owner, tracker); }

std::int32_t CSplitterMoveTrackerBase::PositionAt(int x, int y) const {
  const std::int32_t along = (m_target.horizontal ? x : y) - m_offset;
  return std::min(std::max(along, m_target.range.first), m_target.range.second);
}

void CSplitterMoveTrackerFull::MoveTo(std::int32_t pos) {
  // From the positions the drag began with, so that entries pushed aside
  // come back when the bar returns.
  m_target.set_positions(m_start);
  m_target.move(m_target.entry, pos);
  m_target.arrange();
  ::RedrawWindow(m_target.owner, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CSplitterMoveTrackerFull::OnCancel(int, int) {
  m_target.set_positions(m_start);
  m_target.arrange();
  ::RedrawWindow(m_target.owner, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

CSplitterMoveTrackerGhost::CSplitterMoveTrackerGhost(const SplitterTarget& target, std::int32_t grab)
    : CSplitterMoveTrackerBase(target, grab), m_brush(WTL::create_halftone_brush()) {}

CSplitterMoveTrackerGhost::~CSplitterMoveTrackerGhost() {
  Erase();
  if (m_brush) ::DeleteObject(m_brush);
}

void CSplitterMoveTrackerGhost::OnMouseMove(int x, int y) {
  const std::int32_t pos = PositionAt(x, y);
  if (m_drawn && pos == m_drawn_pos) return;
  Erase();
  Draw(pos);
}

void CSplitterMoveTrackerGhost::Apply(int x, int y) {
  Erase();
  m_target.move(m_target.entry, PositionAt(x, y));
  m_target.arrange();
}

void CSplitterMoveTrackerGhost::Draw(std::int32_t pos) {
  RECT bar = m_target.bounds;
  if (m_target.horizontal) {
    bar.left = pos;
    bar.right = pos + 5;
  } else {
    bar.top = pos;
    bar.bottom = pos + 5;
  }
  ::MapWindowPoints(m_target.owner, nullptr, reinterpret_cast<POINT*>(&bar), 2);
  HWND desktop = ::GetDesktopWindow();
  WTL::CWindowDC dc(desktop);
  if (dc && m_brush) {
    WTL::CSelectObject brush(dc, m_brush);
    ::PatBlt(dc, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, PATINVERT);
  }
  m_drawn = true;
  m_drawn_pos = pos;
}

void CSplitterMoveTrackerGhost::Erase() {
  if (!m_drawn) return;
  m_drawn = false;
  Draw(m_drawn_pos);  // the same inversion again takes the outline away
  m_drawn = false;
}

bool TrackSplitter(const SplitterTarget& target, std::int32_t grab, bool ghost) {
  if (ghost) {
    CSplitterMoveTrackerGhost tracker(target, grab);
    return TrackDragAndDrop(tracker, target.owner);
  }
  CSplitterMoveTrackerFull tracker(target, grab);
  return TrackDragAndDrop(tracker, target.owner);
}

}  // namespace dockwins
