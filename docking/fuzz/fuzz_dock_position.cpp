// Reads stored docking positions (the settings file's 60-byte records) and
// docks by them as the pane does: the record must read back to the same
// bytes, and whatever its ratio and extents, docking by it must keep every
// package in order and within 32-bit arithmetic.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/dock_request.h"
#include "core/frames_package.h"

namespace {
using namespace dockwins;

struct Entry {
  std::int32_t min;
  std::int32_t MinExtent() const { return min; }
};

void CheckOrdered(const FramesPackage<Entry>& package) {
  const auto positions = package.Positions();
  if (!positions.empty() && positions.front() != package.Start()) std::abort();
  for (std::size_t i = 1; i < positions.size(); ++i)
    if (positions[i] < positions[i - 1]) std::abort();
}

void DockByRecord(const tagDFDOCKPOSEX& record) {
  const DockRequest& r = record.request;
  // The frame's inner package: a left column, the centre, a right column.
  FramesPackage<Entry> frame(true);
  frame.UpdateLayout({0, 0, 800, 600});
  frame.Insert(0, Entry{50}, 0, 0, true);
  frame.Insert(0, Entry{25}, -5, 105);
  frame.Insert(2, Entry{25}, 715, 85);
  const std::int32_t row_extent = std::max(r.row_extent, 25);
  const DockPlan plan =
      frame.PlanDockWindow(r.flags & dock_flags::BeforeCentre, r.flags & dock_flags::OwnRow, r.row_index, row_extent);
  if (plan.new_row) frame.Insert(plan.where, Entry{25}, plan.pos, plan.size);
  CheckOrdered(frame);

  // A column holding two boxes takes the pane at its ratio and extent.
  FramesPackage<Entry> row(false);
  row.UpdateLayout({0, 0, 200, 600});
  row.Insert(0, Entry{20}, 0, 300);
  row.Insert(1, Entry{20}, 300, 300);
  const DockPlan box = row.PlanRowDock(r.position_ratio, r.box_extent);
  if (box.pos < row.Start() || box.pos > row.End()) std::abort();
  row.Insert(box.where, Entry{20}, box.pos, box.size);
  CheckOrdered(row);
  row.UpdateLayout({0, 0, 200, 300});
  CheckOrdered(row);

  // A floating pane's rectangle limited as a drag outline.
  AdjustDragRect(r.FloatingRect(), {800, 600}, {116, 27});
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tagDFDOCKPOSEX record;
  if (!ReadDockPosition(data, size, record)) return 0;
  const DockPositionBytes again = WriteDockPosition(record);
  if (std::memcmp(again.data(), data, DockPositionSize) != 0) std::abort();
  DockByRecord(record);
  return 0;
}
