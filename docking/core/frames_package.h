// The arithmetic of a frame package: entries laid out one after the other
// along one axis, each behind a 5-pixel splitter bar. The frame's two
// packages and every row or column of docked boxes are such packages; the
// window classes hold one, feed it their entries' minimum extents through
// the entry type and move the windows to the spans it computes.
//
// An entry type provides `std::int32_t MinExtent() const`: the entry's
// minimum size along the package's axis.
//
// Layout steps that scale positions do so in 32-bit float operations,
// each multiplication and division rounded to float, so that the 32-bit
// and 64-bit builds place every entry on the same pixel.
#pragma once

#include <algorithm>
#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "core/line.h"

static_assert(FLT_EVAL_METHOD == 0, "float steps must be evaluated in float, not in wider registers");

namespace dockwins {

// Width of the splitter bar in front of every entry.
constexpr std::int32_t SplitterWidth = 5;
// Depth of the band at an entry's edges where a drop opens a new row.
constexpr std::int32_t DropBand = 20;
// Extents that come from stored records are kept within this many pixels,
// so that sums of positions and extents stay in 32 bits.
constexpr std::int32_t MaxExtent = 1 << 24;

// A splitter bar: horizontal bars lie between entries stacked vertically.
struct SplitterBar {
  zel::rect rect;
  bool horizontal = false;
};

// Where a drop lands in a package.
struct DropPlace {
  enum Kind { None, Inside, Before } kind = None;
  // Inside: the entry that holds the point. Before: the place a new entry
  // would take (the entry count for after the last).
  std::size_t index = 0;
};

// Where a dock request (by side, row index and extent) puts a box.
struct DockPlan {
  bool new_row = false;  // a new entry (a row, or a box in a row) goes in at `where`; else row `where` takes the box
  std::size_t where = 0;
  std::int32_t pos = 0;  // new row: its position (leading bar) and size with the bar
  std::int32_t size = 0;
};

// A row's place in the frame, as a stored docking position records it.
struct RowPosition {
  bool before_centre = false;
  std::int32_t row_index = 0;
  std::int32_t row_extent = 0;
};

// A box's place in its row.
struct BoxPosition {
  float position_ratio = 0.0f;
  std::int32_t box_extent = 0;
  bool alone = false;
};

// The position ratio of a box in a row: (pos - start) / (end - start) in
// float; 0 for a row of no extent.
float RatioOfPosition(std::int32_t pos, std::int32_t start, std::int32_t end);
// The position a ratio stands for: start + round(ratio * (end - start)),
// the product a float rounded to the nearest integer, so that every
// position survives the trip through its ratio (truncating would lose a
// pixel in some 4 % of positions). A ratio that is not a number, or outside 0
// to 1 (a damaged record), is taken as the nearest of 0 and 1.
std::int32_t PositionFromRatio(float ratio, std::int32_t start, std::int32_t end);
// An extent from a stored record, kept within 0 and MaxExtent.
std::int32_t ClampExtent(std::int32_t extent);

// The smallest size of a package that holds entries of the given minimum
// sizes: along the axis the sum of the entries and the bars between them,
// across it the largest entry. Without entries `minimum` is left alone.
void PackageMinimum(bool horizontal, const std::vector<zel::size>& entries, zel::size& minimum);

// Drag rectangle limit of request code 7: a rectangle wider than a third
// of the frame's client width gets that width, but no less than the
// system's minimum window width; the same for the height. Left and top stay.
zel::rect AdjustDragRect(const zel::rect& rect, zel::size client, zel::size system_minimum);

template <class Frame>
class FramesPackage {
 public:
  struct Entry {
    std::int32_t pos = 0;  // where the entry's leading bar begins
    Frame frame;
    bool central = false;  // takes up the slack when the package is resized
  };
  using Entries = std::deque<Entry>;

  explicit FramesPackage(bool horizontal) : horizontal_(horizontal) {}

  bool Horizontal() const { return horizontal_; }
  const zel::rect& Bounds() const { return bounds_; }
  std::int32_t Start() const { return start_; }
  std::int32_t End() const { return end_; }
  Entries& Frames() { return frames_; }
  const Entries& Frames() const { return frames_; }
  std::size_t Count() const { return frames_.size(); }

  // The room entries [first, last) need with their bars.
  std::int32_t GetMinFrameDist(std::size_t first, std::size_t last) const {
    std::int32_t dist = 0;
    for (std::size_t i = first; i < last && i < frames_.size(); ++i)
      dist += frames_[i].frame.MinExtent() + SplitterWidth;
    return dist;
  }
  std::int32_t GetMinFrameDist() const { return GetMinFrameDist(0, frames_.size()); }

  // Where the span of entry i ends: the next entry's bar or the package end.
  std::int32_t SpanEnd(std::size_t i) const { return i + 1 < frames_.size() ? frames_[i + 1].pos : end_; }

  // Fits the entries into a new rectangle. The window class then moves the
  // windows to Arrange()'s spans. False when the rectangle is the old one.
  bool UpdateLayout(const zel::rect& rc);

  // Each entry's rectangle: along the axis from behind its bar to the next
  // bar (the last to the package end), across the axis the bounds.
  std::vector<zel::rect> Arrange() const;
  // The visible bars: every entry but the first has one.
  std::vector<SplitterBar> Bars() const;
  // The entry whose bar holds a coordinate along the axis; the first entry
  // has no bar. Count() when there is none.
  std::size_t BarAt(std::int32_t along) const;

  // Inserts an entry at `where` (an index up to Count()), its bar at `pos`,
  // taking `size` pixels with its bar; the entries around it give way down
  // to their minimum. Returns the entry's index.
  std::size_t Insert(std::size_t where, Frame frame, std::int32_t pos, std::int32_t size, bool central = false);
  // The place for an entry at `pos` in a row: before the first entry whose
  // bar is at pos or later.
  std::size_t PlaceFor(std::int32_t pos) const;
  // Removes entry i: in a package with a central entry the central entry
  // takes the freed space, else the entry before it does.
  void Remove(std::size_t i);

  // The range a splitter bar may move within: every entry keeps its minimum.
  std::pair<std::int32_t, std::int32_t> SplitterRange(std::size_t i) const {
    return {start_ + GetMinFrameDist(0, i), end_ - GetMinFrameDist(i, frames_.size())};
  }
  // Moves the bar of entry i to `pos` (kept in its range), pushing the
  // entries after it and squeezing those before it down to their minimum.
  // Returns the position the bar took. A drag that shows every step puts
  // back the positions it began with (Positions) before each move, so that
  // entries pushed aside come back when the bar returns.
  std::int32_t MoveBar(std::size_t i, std::int32_t pos);

  // Drop test: where a point (in the owner's client coordinates) lands.
  DropPlace LocateDrop(zel::point p) const;
  // Whether a new entry of the given minimum still fits beside all others.
  bool CanOpenRow(std::int32_t min_extent) const {
    return std::int64_t{GetMinFrameDist()} + min_extent + SplitterWidth <= std::int64_t{end_} - start_;
  }
  // Whether a row takes a box dragged over it: the point lies in the row's
  // client area, the box's minimum size fits in that area, and the row's
  // minima with the box's are below the row's extent.
  bool RowTakesDrop(zel::point p, const zel::rect& client, zel::size box_minimum) const {
    const std::int32_t along = horizontal_ ? box_minimum.cx : box_minimum.cy;
    return client.contains(p) && box_minimum.cx <= client.width() && box_minimum.cy <= client.height() &&
           std::int64_t{GetMinFrameDist()} + along < std::int64_t{end_} - start_;
  }
  // The span along the axis that a new row of `extent` dropped before
  // entry k shows: before the centre it starts behind that entry's bar,
  // after the centre it ends at the next bar or the package end.
  std::pair<std::int32_t, std::int32_t> DropSpan(std::size_t k, std::int32_t extent) const;

  // Where a dock by side and row index puts a box (request code 5 at the
  // frame); row_extent is already at least the box's minimum.
  DockPlan PlanDockWindow(bool before_centre, bool own_row, std::int32_t row_index, std::int32_t row_extent) const;
  // Where a box docked by its stored ratio and extent goes in a row
  // (request code 5 at a row): at the rounded position of its ratio, with
  // its extent and the bar in front of it, before the first entry at that
  // position or later. Rounding and the bar let a box come back exactly
  // where its position was taken.
  DockPlan PlanRowDock(float ratio, std::int32_t box_extent) const {
    DockPlan plan;
    plan.new_row = true;
    plan.pos = PositionFromRatio(ratio, start_, end_);
    plan.where = PlaceFor(plan.pos);
    plan.size = ClampExtent(box_extent) + SplitterWidth;
    return plan;
  }
  // The stored position of row entry i (request code 4 at the frame).
  RowPosition RowDockPosition(std::size_t i) const;
  // The stored position of box entry i in a row (request code 4 at a row).
  BoxPosition BoxDockPosition(std::size_t i) const {
    return {RatioOfPosition(frames_[i].pos, start_, end_), SpanEnd(i) - frames_[i].pos - SplitterWidth,
            frames_.size() == 1};
  }
  std::vector<std::int32_t> Positions() const {
    std::vector<std::int32_t> out;
    for (const Entry& e : frames_) out.push_back(e.pos);
    return out;
  }
  void SetPositions(const std::vector<std::int32_t>& positions) {
    for (std::size_t i = 0; i < frames_.size() && i < positions.size(); ++i) frames_[i].pos = positions[i];
  }
  // The index of the central entry, Count() when there is none.
  std::size_t Central() const {
    for (std::size_t i = 0; i < frames_.size(); ++i)
      if (frames_[i].central) return i;
    return frames_.size();
  }

 private:
  void PushFrom(std::size_t first, std::int32_t limit);
  void SqueezeBefore(std::size_t last, std::int32_t limit);
  void Rescale(std::int32_t old_start, float ratio);

  zel::rect bounds_;
  bool horizontal_;
  Entries frames_;
  std::int32_t start_ = 0;
  std::int32_t end_ = 0;
};

template <class Frame>
bool FramesPackage<Frame>::UpdateLayout(const zel::rect& rc) {
  if (rc == bounds_) return false;
  const std::int32_t old_start = start_;
  const std::int32_t old_extent = end_ - start_;
  bounds_ = rc;
  start_ = (horizontal_ ? rc.left : rc.top) - SplitterWidth;
  end_ = horizontal_ ? rc.right : rc.bottom;
  end_ = std::max(end_, start_ + GetMinFrameDist());
  if (frames_.empty()) return true;
  const std::int32_t new_extent = end_ - start_;
  if (old_extent <= 0) {
    frames_.front().pos = start_;
    return true;
  }
  const std::size_t central = Central();
  if (central < frames_.size()) {
    std::int32_t growth = new_extent - old_extent;
    const std::int32_t slack =
        SpanEnd(central) - frames_[central].pos - SplitterWidth - frames_[central].frame.MinExtent();
    growth = std::max(growth, -std::max(slack, 0));
    for (std::size_t i = central + 1; i < frames_.size(); ++i) frames_[i].pos += growth;
    Rescale(old_start, static_cast<float>(new_extent) / static_cast<float>(old_extent + growth));
  } else {
    Rescale(old_start, static_cast<float>(new_extent) / static_cast<float>(old_extent));
  }
  return true;
}

template <class Frame>
void FramesPackage<Frame>::Rescale(std::int32_t old_start, float ratio) {
  frames_.front().pos = start_;
  for (std::size_t i = 1; i < frames_.size(); ++i) {
    const float scaled = static_cast<float>(frames_[i].pos - old_start) * ratio;
    const std::int32_t pos = start_ + static_cast<std::int32_t>(scaled);
    const std::int32_t low = frames_[i - 1].pos + frames_[i - 1].frame.MinExtent() + SplitterWidth;
    const std::int32_t high = end_ - GetMinFrameDist(i, frames_.size());
    frames_[i].pos = std::min(std::max(pos, low), high);
  }
}

template <class Frame>
std::vector<zel::rect> FramesPackage<Frame>::Arrange() const {
  std::vector<zel::rect> spans;
  for (std::size_t i = 0; i < frames_.size(); ++i) {
    const std::int32_t from = frames_[i].pos + SplitterWidth, to = SpanEnd(i);
    spans.push_back(horizontal_ ? zel::rect{from, bounds_.top, to, bounds_.bottom}
                                : zel::rect{bounds_.left, from, bounds_.right, to});
  }
  return spans;
}

template <class Frame>
std::vector<SplitterBar> FramesPackage<Frame>::Bars() const {
  std::vector<SplitterBar> bars;
  for (std::size_t i = 1; i < frames_.size(); ++i) {
    const std::int32_t p = frames_[i].pos;
    if (horizontal_)
      bars.push_back({{p, bounds_.top, p + SplitterWidth, bounds_.bottom}, false});
    else
      bars.push_back({{bounds_.left, p, bounds_.right, p + SplitterWidth}, true});
  }
  return bars;
}

template <class Frame>
std::size_t FramesPackage<Frame>::BarAt(std::int32_t along) const {
  for (std::size_t i = 1; i < frames_.size(); ++i)
    if (along >= frames_[i].pos && along < frames_[i].pos + SplitterWidth) return i;
  return frames_.size();
}

template <class Frame>
void FramesPackage<Frame>::PushFrom(std::size_t first, std::int32_t limit) {
  // limit: where the last entry's span must end at the latest; walking back,
  // each entry's bar goes no earlier than its minimum before the one after.
  for (std::size_t i = frames_.size(); i-- > first;) {
    limit -= frames_[i].frame.MinExtent() + SplitterWidth;
    frames_[i].pos = std::max(frames_[i].pos, limit);
  }
}

template <class Frame>
void FramesPackage<Frame>::SqueezeBefore(std::size_t last, std::int32_t limit) {
  for (std::size_t i = 0; i < last; ++i) {
    frames_[i].pos = std::min(frames_[i].pos, limit);
    limit += frames_[i].frame.MinExtent() + SplitterWidth;
  }
}

template <class Frame>
std::size_t FramesPackage<Frame>::Insert(std::size_t where, Frame frame, std::int32_t pos, std::int32_t size,
                                         bool central) {
  where = std::min(where, frames_.size());
  const std::int32_t min_before = GetMinFrameDist(0, where);
  const std::int32_t min_after = GetMinFrameDist(where, frames_.size());
  const std::int32_t lo = start_ + min_before, hi = end_ - min_after;
  size = std::min(size, hi - lo);
  std::int32_t p = std::max(pos, lo);
  if (p + size > hi) p = hi - size;
  PushFrom(where, p + size + min_after);
  SqueezeBefore(where, p - min_before);
  frames_.insert(frames_.begin() + static_cast<std::ptrdiff_t>(where),
                 Entry{where == 0 ? start_ : p, std::move(frame), central});
  return where;
}

template <class Frame>
std::size_t FramesPackage<Frame>::PlaceFor(std::int32_t pos) const {
  std::size_t i = 0;
  while (i < frames_.size() && frames_[i].pos < pos) ++i;
  return i;
}

template <class Frame>
void FramesPackage<Frame>::Remove(std::size_t i) {
  if (i >= frames_.size()) return;
  const std::size_t central = Central();
  const std::int32_t extent = SpanEnd(i) - frames_[i].pos;
  if (central < frames_.size() && i != central) {
    // The entries between the removed one and the centre close the gap.
    if (i < central)
      for (std::size_t j = i + 1; j <= central; ++j) frames_[j].pos -= extent;
    else
      for (std::size_t j = central + 1; j < i; ++j) frames_[j].pos += extent;
  }
  frames_.erase(frames_.begin() + static_cast<std::ptrdiff_t>(i));
  if (!frames_.empty()) frames_.front().pos = start_;
}

template <class Frame>
std::int32_t FramesPackage<Frame>::MoveBar(std::size_t i, std::int32_t pos) {
  if (i == 0 || i >= frames_.size()) return i < frames_.size() ? frames_[i].pos : 0;
  const auto range = SplitterRange(i);
  pos = std::min(std::max(pos, range.first), range.second);
  frames_[i].pos = pos;
  PushFrom(i + 1, pos + GetMinFrameDist(i, frames_.size()));
  SqueezeBefore(i, pos - GetMinFrameDist(0, i));
  return pos;
}

template <class Frame>
DropPlace FramesPackage<Frame>::LocateDrop(zel::point p) const {
  const std::int32_t along = horizontal_ ? p.x : p.y;
  if (frames_.empty()) return {};
  if (bounds_.contains(p)) {
    std::size_t i = 0;
    while (i + 1 < frames_.size() && along >= frames_[i + 1].pos) ++i;
    if (along < frames_[i].pos + DropBand) return {DropPlace::Before, i};
    if (along > SpanEnd(i) - DropBand) return {DropPlace::Before, i + 1};
    return {DropPlace::Inside, i};
  }
  zel::rect band = bounds_;
  if (horizontal_) {
    band.left -= DropBand;
    band.right += DropBand;
  } else {
    band.top -= DropBand;
    band.bottom += DropBand;
  }
  if (!band.contains(p)) return {};
  return {DropPlace::Before, along < end_ ? 0 : frames_.size()};
}

template <class Frame>
std::pair<std::int32_t, std::int32_t> FramesPackage<Frame>::DropSpan(std::size_t k, std::int32_t extent) const {
  if (k < frames_.size() && k <= Central()) {
    const std::int32_t from = frames_[k].pos + SplitterWidth;
    return {from, from + extent};
  }
  const std::int32_t to = k < frames_.size() ? frames_[k].pos : end_;
  return {to - extent, to};
}

template <class Frame>
DockPlan FramesPackage<Frame>::PlanDockWindow(bool before_centre, bool own_row, std::int32_t row_index,
                                              std::int32_t row_extent) const {
  DockPlan plan;
  if (frames_.empty()) return plan;
  row_extent = ClampExtent(row_extent);
  const std::size_t last = frames_.size() - 1;
  std::size_t i = before_centre ? 0 : last;
  for (std::int32_t k = 0; k < row_index && !frames_[i].central; ++k) {
    if (before_centre ? i == last : i == 0) break;
    i = before_centre ? i + 1 : i - 1;
  }
  plan.where = i;
  if (!frames_[i].central && !own_row) return plan;
  plan.new_row = true;
  plan.size = row_extent + SplitterWidth;
  if (before_centre) {
    plan.pos = frames_[i].pos;
  } else {
    plan.where = i + 1;
    plan.pos = std::max(start_, SpanEnd(i) - row_extent - SplitterWidth);
  }
  return plan;
}

template <class Frame>
RowPosition FramesPackage<Frame>::RowDockPosition(std::size_t i) const {
  RowPosition row;
  row.row_extent = SpanEnd(i) - frames_[i].pos - SplitterWidth;
  row.before_centre = i < Central();
  row.row_index = static_cast<std::int32_t>(row.before_centre ? i : frames_.size() - i - 1);
  return row;
}

}  // namespace dockwins
