// Dragging with the mouse: the tracking loop every drag of the docking
// framework runs (IDDTracker), and the trackers that move a splitter bar
// of a package, either at every step (full) or as an outline applied on
// release (ghost).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace dockwins {

// One drag: the loop calls these as the mouse and keyboard go.
class IDDTracker {
 public:
  virtual ~IDDTracker() = default;
  virtual void OnBegin() {}
  virtual void OnEnd(bool /*canceled*/) {}
  virtual void OnMouseMove(int /*x*/, int /*y*/) {}
  virtual void OnCancel(int /*x*/, int /*y*/) {}
  // A drop without the mouse; the loop never calls it.
  virtual void OnDrop(int /*x*/, int /*y*/) {}
  virtual void OnRightDrop(int /*x*/, int /*y*/) {}
  virtual void OnLeftDrop(int /*x*/, int /*y*/) {}
  // true: the tracker took the message, the loop does nothing else with it.
  virtual bool OnMessage(MSG& /*msg*/) { return false; }
};

// Captures the mouse for `owner` and runs the drag until a button is
// released (true) or Escape, a button press or a system key cancels it
// (false). Coordinates are the owner's client coordinates.
bool TrackDragAndDrop(IDDTracker& tracker, HWND owner);

// What a splitter drag moves: the bar of one entry of a package.
struct SplitterTarget {
  HWND owner = nullptr;     // the window whose client area holds the package
  bool horizontal = false;  // the package's axis is x
  std::function<std::int32_t(std::size_t entry, std::int32_t pos)> move;  // moves the bar, returns where it went
  std::function<std::vector<std::int32_t>()> positions;
  std::function<void(const std::vector<std::int32_t>&)> set_positions;
  std::function<void()> arrange;                // moves the windows to the package's spans
  std::pair<std::int32_t, std::int32_t> range;  // where the bar may go
  std::int32_t pos = 0;                         // where it is
  std::size_t entry = 0;
  RECT bounds{};  // the package's rectangle in the owner's client area
};

class CSplitterMoveTrackerBase : public IDDTracker {
 public:
  // `grab`: where the drag began along the axis.
  CSplitterMoveTrackerBase(const SplitterTarget& target, std::int32_t grab)
      : m_target(target), m_offset(grab - target.pos) {}

 protected:
  // The bar's position for a pointer position, kept in the range.
  std::int32_t PositionAt(int x, int y) const;

  const SplitterTarget& m_target;
  std::int32_t m_offset;
};

// Moves the bar and the entries at every step.
class CSplitterMoveTrackerFull : public CSplitterMoveTrackerBase {
 public:
  using CSplitterMoveTrackerBase::CSplitterMoveTrackerBase;
  void OnBegin() override { m_start = m_target.positions(); }
  void OnMouseMove(int x, int y) override { MoveTo(PositionAt(x, y)); }
  void OnLeftDrop(int x, int y) override { MoveTo(PositionAt(x, y)); }
  void OnRightDrop(int x, int y) override { MoveTo(PositionAt(x, y)); }
  void OnCancel(int, int) override;

 private:
  void MoveTo(std::int32_t pos);
  std::vector<std::int32_t> m_start;
};

// Shows the bar as an inverted checker outline on the screen and moves
// the entries only on release.
class CSplitterMoveTrackerGhost : public CSplitterMoveTrackerBase {
 public:
  CSplitterMoveTrackerGhost(const SplitterTarget& target, std::int32_t grab);
  ~CSplitterMoveTrackerGhost() override;
  void OnBegin() override { Draw(m_target.pos); }
  void OnEnd(bool) override { Erase(); }
  void OnMouseMove(int x, int y) override;
  void OnLeftDrop(int x, int y) override { Apply(x, y); }
  void OnRightDrop(int x, int y) override { Apply(x, y); }
  void OnCancel(int, int) override { Erase(); }

 private:
  void Apply(int x, int y);
  void Draw(std::int32_t pos);
  void Erase();
  HBRUSH m_brush;
  bool m_drawn = false;
  std::int32_t m_drawn_pos = 0;
};

// Runs a splitter drag that began at `grab` along the axis: ghost or full.
// True when it completed.
bool TrackSplitter(const SplitterTarget& target, std::int32_t grab, bool ghost);

}  // namespace dockwins
