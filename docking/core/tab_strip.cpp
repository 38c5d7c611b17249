#include "core/tab_strip.h"

#include <algorithm>
#include <cmath>

namespace dockwins {

namespace {
constexpr std::int32_t ButtonSize = 15;
constexpr std::int32_t EnsureVisibleSpare = 20;

// The 15-pixel button band at the right end of the area, vertically centred
// once the area is trimmed as the strip's side asks. The area itself is
// left as it is: the tabs keep its full height.
zel::rect ButtonBand(zel::rect area, bool bottom_tabs, bool trim_right) {
  if (bottom_tabs) {
    area.top += 3;
    if (trim_right) area.right -= 3;
  } else {
    area.top += 1;
    area.bottom -= 2;
    if (trim_right) area.right -= 2;
  }
  const std::int32_t top = area.top + (area.height() - ButtonSize) / 2;
  return {area.right - ButtonSize, top, area.right, top + ButtonSize};
}
}  // namespace

TabPart GetTabPart(std::uint32_t state, TabPartSlot slot) {
  return static_cast<TabPart>((state >> static_cast<unsigned>(slot)) & 0xF);
}

std::uint32_t SetTabPart(std::uint32_t state, TabPartSlot slot, TabPart part) {
  const auto shift = static_cast<unsigned>(slot);
  return (state & ~(0xFu << shift)) | (static_cast<std::uint32_t>(part) << shift);
}

std::int32_t ScrollStep(std::uint32_t state) { return static_cast<std::int32_t>((state >> 8) & 0x3F); }

std::uint32_t ScrollRepeatInterval(std::uint32_t state) {
  switch (state & 0xC000) {
    case 0x4000:
      return 100;
    case 0x8000:
      return 25;
    case 0xC000:
      return 10;
    default:
      return 0;
  }
}

TabMetrics TabMetrics::ForFontHeight(std::int32_t lf_height) {
  TabMetrics m;
  m.text_margin = 4;
  m.item_inset = 3;
  m.end_margin = 5;
  // 64-bit so that no font height overflows; C++ division truncates
  // toward zero as the window system's C code does.
  m.text_offset = static_cast<std::int32_t>((-11 - std::int64_t{lf_height}) / 2);
  m.min_text_width = 12;
  return m;
}

std::int32_t NaturalTabWidth(const TabMetrics& m, std::int32_t image_width, std::int32_t text_width) {
  std::int32_t width = 2 * m.item_inset + std::max(image_width, 0);
  if (text_width >= 0) width += text_width + 2 * m.text_margin;
  return width;
}

void TabStripLayout::UpdateLayout(const zel::rect& client, std::uint32_t style, bool close_shown, std::int32_t selected,
                                  const std::vector<std::int32_t>& natural, const TabMetrics& metrics) {
  const bool bottom = (style & tab_style::Bottom) != 0;
  item_area_ = client;
  if (!bottom) {
    item_area_.left += 2;
    item_area_.right -= 2;
  }
  close_ = scroll_right_ = scroll_left_ = zel::rect{};
  if (close_shown && item_area_.width() >= ButtonSize) {
    close_ = ButtonBand(item_area_, bottom, true);
    item_area_.right = close_.left;
  }
  if (style & tab_style::ScrollButtons) {
    if (item_area_.width() >= ButtonSize) {
      scroll_right_ = ButtonBand(item_area_, bottom, (style & tab_style::CloseButton) == 0);
      scroll_left_ = scroll_right_.offset(-ButtonSize, 0);
      item_area_.right = scroll_left_.left;
    }
    ScrollingLayout(natural, metrics.end_margin);
  } else {
    FittingLayout(natural, selected, metrics);
  }
}

void TabStripLayout::PlaceTabs(const std::vector<std::int32_t>& widths, std::int32_t end_margin) {
  tabs_.clear();
  std::int32_t x = item_area_.left + end_margin;
  for (std::int32_t w : widths) {
    tabs_.push_back({x, item_area_.top, x + w, item_area_.bottom});
    x += w;
  }
}

void TabStripLayout::ScrollingLayout(const std::vector<std::int32_t>& natural, std::int32_t end_margin) {
  PlaceTabs(natural, end_margin);
  // No gap after the last tab, and never a positive offset.
  const std::int32_t last_right = tabs_.empty() ? item_area_.left : tabs_.back().right;
  scroll_offset_ = std::min(0, std::max(scroll_offset_, item_area_.right - end_margin - last_right));
  scroll_flags_ = 0;
  if (scroll_offset_ < 0) scroll_flags_ |= tab_state::CanScrollLeft;
  if (!tabs_.empty() && last_right + scroll_offset_ > item_area_.right) scroll_flags_ |= tab_state::CanScrollRight;
}

void TabStripLayout::FittingLayout(const std::vector<std::int32_t>& natural, std::int32_t selected,
                                   const TabMetrics& metrics) {
  scroll_flags_ = 0;
  std::vector<std::int32_t> widths = natural;
  const auto n = static_cast<std::int32_t>(widths.size());
  std::int64_t total = 0;
  for (std::int32_t w : widths) total += w;
  const std::int32_t room = item_area_.width() - 2 * metrics.end_margin;
  if (total > room && selected >= 0 && selected < n) {
    const std::int32_t minimum = metrics.MinimumTabWidth();
    // The selected tab keeps its natural width; the others share the rest.
    const std::int32_t space = room - widths[selected];
    const std::int64_t others = total - widths[selected];
    if (std::int64_t{n - 1} * minimum < space) {
      bool too_narrow = others <= 0;
      for (std::int32_t i = 0; i < n && !too_narrow; ++i) {
        if (i == selected) continue;
        widths[i] =
            zel::mul_div(natural[i], space, static_cast<std::int32_t>(std::min<std::int64_t>(others, 0x7FFFFFFF)));
        too_narrow = widths[i] < minimum;
      }
      if (too_narrow)
        for (std::int32_t i = 0; i < n; ++i)
          if (i != selected) widths[i] = space / (n - 1);
    } else {
      // Not even the minimum fits: every tab, the selected one too, gets an
      // equal share.
      std::fill(widths.begin(), widths.end(), room / n);
    }
  }
  PlaceTabs(widths, metrics.end_margin);
}

bool TabStripLayout::EnsureVisible(std::int32_t index) {
  if (!(scroll_flags_ & (tab_state::CanScrollLeft | tab_state::CanScrollRight))) return false;
  zel::rect tab;
  if (!GetItemRect(index, tab)) return false;
  if (tab.left < item_area_.left) {
    scroll_offset_ += item_area_.left - tab.left + EnsureVisibleSpare;
  } else if (tab.right > item_area_.right) {
    scroll_offset_ -= tab.right - item_area_.right + EnsureVisibleSpare;
  } else {
    return false;
  }
  return true;
}

TabHit TabStripLayout::HitTest(zel::point p) const {
  if (item_area_.contains(p)) {
    for (std::int32_t i = 0; i < TabCount(); ++i)
      if (tabs_[i].offset(scroll_offset_, 0).contains(p)) return {i, tab_hit::Item};
  }
  if (close_.contains(p)) return {-1, tab_hit::Close};
  if (scroll_right_.contains(p)) return {-1, tab_hit::ScrollRight};
  if (scroll_left_.contains(p)) return {-1, tab_hit::ScrollLeft};
  return {};
}

bool TabStripLayout::GetItemRect(std::int32_t index, zel::rect& out) const {
  if (index < 0 || index >= TabCount()) {
    out = zel::rect{};
    return false;
  }
  out = tabs_[index].offset(scroll_offset_, 0);
  return true;
}

zel::rect TabStripLayout::ToolRect(std::int32_t index) const {
  zel::rect tab;
  return GetItemRect(index, tab) ? zel::intersection(tab, item_area_) : zel::rect{};
}

bool DragPassesMiddle(std::int32_t x, const zel::rect& over, std::int32_t over_index, std::int32_t dragged_index) {
  const std::int32_t middle = over.left + over.width() / 2;
  return over_index > dragged_index ? x >= middle : x < middle;
}

std::int32_t DragScrollDirection(std::int32_t x, const zel::rect& item_area, const zel::rect& client) {
  if (x >= client.left && x < item_area.left + 20) return -1;
  if (x < client.right && x >= item_area.right - 20) return 1;
  return 0;
}

zel::rect TabDrawRect(const zel::rect& item) { return {item.left, item.top + 3, item.right, item.bottom - 2}; }

std::array<Line, 4> CloseCrossLines(const zel::rect& button, bool pressed) {
  const zel::rect b = pressed ? button.offset(1, 1) : button;
  const std::int32_t l = b.left, t = b.top, r = b.right, bt = b.bottom;
  return {{{{l + 3, t + 4}, {r - 5, bt - 4}},
           {{l + 4, t + 4}, {r - 4, bt - 4}},
           {{l + 3, bt - 5}, {r - 5, t + 3}},
           {{l + 4, bt - 5}, {r - 4, t + 3}}}};
}

std::array<zel::point, 3> ScrollTriangle(const zel::rect& button, bool points_right, bool moved) {
  // The middle comes from the unmoved button.
  const std::int32_t middle = button.top + (button.bottom - button.top) / 2;
  const std::int32_t d = moved ? 1 : 0;
  const std::int32_t l = button.left + d, t = button.top + d, r = button.right + d, b = button.bottom + d;
  if (points_right) return {{{l + 5, t + 3}, {l + 5, b - 4}, {r - 6, middle}}};
  return {{{r - 6, t + 3}, {r - 6, b - 4}, {l + 5, middle}}};
}

zel::colour LightenColour(zel::colour c) {
  const int m = std::max({c.red, c.green, c.blue});
  const int delta = m <= 220 ? 35 : 255 - m;
  auto grow = [&](std::uint8_t v) {
    if (m == 0) return static_cast<std::uint8_t>(v + delta);
    // Floating point, rounded to nearest (all values are positive).
    return static_cast<std::uint8_t>(std::floor(v + double(delta) * v / m + 0.5));
  };
  return {grow(c.red), grow(c.green), grow(c.blue)};
}

zel::colour DarkenColour(zel::colour c) {
  const int m = std::max({c.red, c.green, c.blue});
  if (m == 0) return c;
  auto shade = [&](std::uint8_t v) {
    if (v < 43) return static_cast<std::uint8_t>(v / 2);
    // Floating point, the conversion truncating toward zero.
    return static_cast<std::uint8_t>(static_cast<int>(v - 43.0 * v / m - 0.5));
  };
  return {shade(c.red), shade(c.green), shade(c.blue)};
}

TabColours ChooseTabColours(std::int32_t bits_per_pixel, zel::colour button_face, zel::colour gray_text) {
  TabColours colours;
  if (bits_per_pixel <= 8) {
    colours.window_brush = true;
    colours.inactive_text = gray_text;
  } else {
    colours.background = LightenColour(button_face);
    colours.inactive_text = DarkenColour(gray_text);
  }
  return colours;
}

std::int32_t TabAreaHeight(std::int32_t font_height) { return (zel::mul_div(24, font_height, 11) - 24) / 2 + 24; }

}  // namespace dockwins
