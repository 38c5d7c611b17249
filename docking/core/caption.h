// Geometry of docking boxes: the caption band with its close button, the
// close button's drawn cross, the floating outline that follows the
// pointer during a box drag, the height of a tab docking box's strip and
// the rule that moves a dragged tab along its strip.
#pragma once

#include <array>
#include <cstdint>

#include "core/line.h"

namespace dockwins {

// Thickness of a docked box's caption band for the system's small-caption
// height.
inline std::int32_t CaptionThickness(std::int32_t small_caption_height) { return small_caption_height + 5; }
// The caption band: the first `thickness` pixels of the window rectangle,
// along the top when horizontal, else along the left side.
zel::rect CaptionBand(const zel::rect& window, bool horizontal, std::int32_t thickness);
// The close button: the band less 2 pixels on its two long edges, less 2
// more on every edge, made square at the trailing end.
zel::rect CaptionCloseButton(const zel::rect& caption, bool horizontal);
// Where the caption text goes: after 5 pixels up to 2 before the close
// button (horizontal), or from 2 behind the button to 3 before the end.
zel::rect CaptionTextRect(const zel::rect& caption, const zel::rect& close, bool horizontal);

// Small captions get a drawn cross; from 16 pixels on, a font glyph.
inline bool CloseButtonDrawsCross(std::int32_t small_caption_height) { return small_caption_height < 16; }
// The two one-pixel lines of the cross, one pixel lower and to the right
// while pressed.
std::array<Line, 2> CaptionCloseCross(const zel::rect& button, bool pressed);
// Character height of the close glyph's font: its size in tenths of a point
// is 7 times the button width, at the device's pixels per inch.
std::int32_t CloseGlyphHeight(std::int32_t button_width, std::int32_t pixels_per_inch);

// The floating outline at the pointer: the grab point keeps its relative
// place in the outline (floating point, truncated toward zero); its size is
// the floating rectangle's.
zel::rect DragOutline(const zel::rect& window, zel::point cursor, zel::size floating);

// Height of a tab docking box's strip for a font of the given ascent:
// trunc(24 + (ascent / 11 * 24 - 24) * 0.5) in floating point, kept to its
// low byte; 24 without a font.
std::int32_t FlyingTabStripHeight(bool has_font, std::int32_t ascent);

// Where a tab docking box puts its strip, by the strip's control style:
// bit 0x80 makes it vertical (at the right with bit 0x02, else at the
// left), otherwise it runs along the bottom (bit 0x02) or the top. The
// selected window fills the rest of the client area.
struct TabBoxPlaces {
  zel::rect strip;
  zel::rect view;
};
TabBoxPlaces PlaceTabBoxStrip(const zel::rect& client, std::uint32_t strip_style, std::int32_t thickness);

// Moves a dragged tab along a strip without letting two tabs flip back and
// forth: a tab last swapped with is swapped again only when the pointer
// moves toward it.
class TabReorderRule {
 public:
  // Starts a drag at a pointer position along the strip's axis.
  void Begin(std::int32_t pointer) {
    last_swapped_ = -1;
    last_pointer_ = pointer;
  }
  // One pointer step: `under` is the tab under the pointer (-1 for none).
  // Returns the index the dragged tab moves to, or -1 when it stays. After
  // a move the caller reports the tab then under the pointer (Moved).
  std::int32_t Step(std::int32_t dragged, std::int32_t under, std::int32_t pointer);
  void Moved(std::int32_t now_under) { last_swapped_ = now_under; }

 private:
  std::int32_t last_swapped_ = -1;
  std::int32_t last_pointer_ = 0;
};

}  // namespace dockwins
