// The arithmetic of the owner-drawn tab strips: the control's state word,
// tab widths and the two layouts (tabs that fit, tabs that scroll), the
// button places, hit testing, colours and the height of the tabbed area.
// The window classes keep one TabStripLayout each and draw what it says.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/line.h"

namespace dockwins {

// Control style bits (low word of the window style).
namespace tab_style {
constexpr std::uint32_t ScrollButtons = 0x0001;  // natural widths, the strip scrolls
constexpr std::uint32_t Bottom = 0x0002;         // tabs below the view
constexpr std::uint32_t CloseButton = 0x0008;    // close button for the selected tab
constexpr std::uint32_t HotTrack = 0x0040;
constexpr std::uint32_t TopRightShadow = 0x0100;  // right frame edge in the shadow colour
constexpr std::uint32_t DragToMove = 0x0400;
constexpr std::uint32_t BoldSelected = 0x2000;
constexpr std::uint32_t Tooltips = 0x4000;
}  // namespace tab_style

// The control's state word.
namespace tab_state {
constexpr std::uint32_t MouseInWindow = 0x1;
constexpr std::uint32_t CanScrollLeft = 0x2;
constexpr std::uint32_t CanScrollRight = 0x4;
constexpr std::uint32_t Redraw = 0x8;
constexpr std::uint32_t Dragging = 0x10;
// Redraw on, a scroll step of 40 pixels, normal repeat speed.
constexpr std::uint32_t Initial = 0xA808;
}  // namespace tab_state

// Parts of the strip, as the state word records them.
enum class TabPart : std::uint32_t { None = 0, Close = 1, ScrollRight = 2, ScrollLeft = 3, Item = 4 };
// Which of the three part fields of the state word.
enum class TabPartSlot : unsigned { Hot = 16, Down = 20, Over = 24 };

TabPart GetTabPart(std::uint32_t state, TabPartSlot slot);
std::uint32_t SetTabPart(std::uint32_t state, TabPartSlot slot, TabPart part);
// Pixels one scroll click moves the tabs.
std::int32_t ScrollStep(std::uint32_t state);
// Milliseconds between repeated scroll steps while a scroll button is held:
// 100, 25 or 10; 0 when no speed is set.
std::uint32_t ScrollRepeatInterval(std::uint32_t state);

// Hit flags of HitTest.
namespace tab_hit {
constexpr std::uint32_t Nowhere = 0x01;
constexpr std::uint32_t Item = 0x06;
constexpr std::uint32_t Close = 0x10;
constexpr std::uint32_t ScrollRight = 0x20;
constexpr std::uint32_t ScrollLeft = 0x40;
}  // namespace tab_hit

struct TabHit {
  std::int32_t index = -1;  // the tab hit, -1 for none
  std::uint32_t flags = tab_hit::Nowhere;
};

// Margins of the tab content, zero until the first settings pass.
struct TabMetrics {
  std::int32_t text_margin = 0;     // each side of the text
  std::int32_t item_inset = 0;      // each side of the tab content
  std::int32_t end_margin = 0;      // before the first tab and after the last
  std::int32_t text_offset = 0;     // vertical offset of the text
  std::int32_t min_text_width = 0;  // text is drawn only where this much is left

  // The metrics for an icon-title font of the given LOGFONT height
  // (negative for character heights). The text offset is
  // (-11 - height) / 2 with the division truncating toward zero.
  static TabMetrics ForFontHeight(std::int32_t lf_height);
  // Narrowest a tab may become when tabs are shrunk to fit.
  std::int32_t MinimumTabWidth() const { return min_text_width + 2 * item_inset + text_margin; }
};

// Width a tab asks for: the insets, the image when it has one, and the text
// with its margins when it has text (text_width < 0: no text).
std::int32_t NaturalTabWidth(const TabMetrics& m, std::int32_t image_width, std::int32_t text_width);

// Places of the tabs and buttons of one strip; UpdateLayout recomputes them.
class TabStripLayout {
 public:
  // client: the strip's client rectangle; close_shown: the close-button
  // style is set and the selected item can close; natural: each tab's
  // natural width in display order.
  void UpdateLayout(const zel::rect& client, std::uint32_t style, bool close_shown, std::int32_t selected,
                    const std::vector<std::int32_t>& natural, const TabMetrics& metrics);

  // Brings a tab into view while the strip can scroll, with 20 pixels to
  // spare; UpdateLayout then keeps the offset in range. False when nothing
  // changed.
  bool EnsureVisible(std::int32_t index);
  // One scroll click; UpdateLayout then keeps the offset in range.
  void ScrollLeft(std::int32_t step) { scroll_offset_ += step; }
  void ScrollRight(std::int32_t step) { scroll_offset_ -= step; }
  // Turning the scroll buttons off puts the tabs back at their start.
  void ResetScroll() { scroll_offset_ = 0; }

  TabHit HitTest(zel::point p) const;
  // A tab's rectangle moved by the scroll offset; false for an index out of
  // range (the rectangle is then empty).
  bool GetItemRect(std::int32_t index, zel::rect& out) const;
  // The tab's tooltip area: its scrolled rectangle within the item area.
  zel::rect ToolRect(std::int32_t index) const;

  const zel::rect& ItemArea() const { return item_area_; }
  const zel::rect& CloseButton() const { return close_; }
  const zel::rect& ScrollRightButton() const { return scroll_right_; }
  const zel::rect& ScrollLeftButton() const { return scroll_left_; }
  std::int32_t ScrollOffset() const { return scroll_offset_; }
  // The state word's can-scroll bits (CanScrollLeft, CanScrollRight).
  std::uint32_t ScrollFlags() const { return scroll_flags_; }
  std::int32_t TabCount() const { return static_cast<std::int32_t>(tabs_.size()); }

 private:
  void ScrollingLayout(const std::vector<std::int32_t>& natural, std::int32_t end_margin);
  void FittingLayout(const std::vector<std::int32_t>& natural, std::int32_t selected, const TabMetrics& metrics);
  void PlaceTabs(const std::vector<std::int32_t>& widths, std::int32_t end_margin);

  zel::rect item_area_;
  zel::rect close_;
  zel::rect scroll_right_;
  zel::rect scroll_left_;
  std::vector<zel::rect> tabs_;  // unscrolled
  std::int32_t scroll_offset_ = 0;
  std::uint32_t scroll_flags_ = 0;
};

// Tab drags. A dragged tab changes places with the tab it is over once the
// pointer passes that tab's middle in the direction of travel.
bool DragPassesMiddle(std::int32_t x, const zel::rect& over, std::int32_t over_index, std::int32_t dragged_index);
// A drag within 20 pixels of the item area's ends (but inside the client
// area) scrolls a scrolling strip: -1 to the left, 1 to the right, else 0.
std::int32_t DragScrollDirection(std::int32_t x, const zel::rect& item_area, const zel::rect& client);

// Where a tab is drawn within its rectangle: its top 3 pixels lower and its
// bottom 2 pixels higher.
zel::rect TabDrawRect(const zel::rect& item);
// The four lines of the close button's cross; moved one pixel right and
// down while pressed.
std::array<Line, 4> CloseCrossLines(const zel::rect& button, bool pressed);
// The triangle of a scroll button, pointing right or left; moved one pixel
// right and down while pressed (only while the strip can scroll that way).
std::array<zel::point, 3> ScrollTriangle(const zel::rect& button, bool points_right, bool moved);

// Colours of the strip. On screens of 8 bits per pixel or less the strip
// uses the window brush and the plain grey text colour; otherwise a
// lightened button face and a darkened grey.
struct TabColours {
  bool window_brush = false;  // use the system window brush, not `background`
  zel::colour background;
  zel::colour inactive_text;
};
TabColours ChooseTabColours(std::int32_t bits_per_pixel, zel::colour button_face, zel::colour gray_text);
zel::colour LightenColour(zel::colour c);
zel::colour DarkenColour(zel::colour c);

// Height of the tabbed area's strip for a font of h pixels:
// (MulDiv(24, h, 11) - 24) / 2 + 24, the division truncating toward zero.
std::int32_t TabAreaHeight(std::int32_t font_height);

}  // namespace dockwins
