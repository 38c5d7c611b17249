#include "core/frames_package.h"

#include <cmath>
#include <cstdint>

namespace dockwins {

float RatioOfPosition(std::int32_t pos, std::int32_t start, std::int32_t end) {
  if (end <= start) return 0.0f;
  return static_cast<float>(pos - start) / static_cast<float>(end - start);
}

std::int32_t PositionFromRatio(float ratio, std::int32_t start, std::int32_t end) {
  if (!(ratio > 0.0f)) return start;  // also catches a ratio that is not a number
  if (ratio > 1.0f) ratio = 1.0f;
  const float extent = static_cast<float>(std::max(end - start, 0));
  return start + static_cast<std::int32_t>(std::lround(ratio * extent));
}

std::int32_t ClampExtent(std::int32_t extent) { return std::min(std::max(extent, 0), MaxExtent); }

void PackageMinimum(bool horizontal, const std::vector<zel::size>& entries, zel::size& minimum) {
  if (entries.empty()) return;
  std::int32_t along = -SplitterWidth, across = 0;
  for (const zel::size& s : entries) {
    along += (horizontal ? s.cx : s.cy) + SplitterWidth;
    across = std::max(across, horizontal ? s.cy : s.cx);
  }
  minimum = horizontal ? zel::size{along, across} : zel::size{across, along};
}

zel::rect AdjustDragRect(const zel::rect& rect, zel::size client, zel::size system_minimum) {
  // 64-bit: a rectangle from a damaged record may span more than 32 bits.
  auto limit = [](std::int32_t from, std::int32_t to, std::int32_t client_extent, std::int32_t minimum) {
    const std::int64_t third = client_extent / 3;  // truncating toward zero, as the window system's
    std::int64_t extent = std::int64_t{to} - from;
    if (extent <= third) return to;
    extent = std::max<std::int64_t>(third, minimum);
    return static_cast<std::int32_t>(std::min<std::int64_t>(from + extent, INT32_MAX));
  };
  zel::rect r = rect;
  r.right = limit(rect.left, rect.right, client.cx, system_minimum.cx);
  r.bottom = limit(rect.top, rect.bottom, client.cy, system_minimum.cy);
  return r;
}

}  // namespace dockwins
