// The command bar's colour maths and geometry: the colours of its flat
// look, the measures and places of owner-drawn menu items and of toolbar
// buttons, the texts it splits, the rule that turns an image into the mask
// of its embossed disabled form, and the buttons a band's chevron lists.
//
// The bar's window classes call these with what they read from the system
// (colours, metrics, text extents) and draw at the places given back.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/colour.h"
#include "core/geometry.h"

namespace zel::command_bar {

// The system colours the bar's own colours come from.
struct system_colours {
  colour window;         // COLOR_WINDOW
  colour window_text;    // COLOR_WINDOWTEXT
  colour button_face;    // COLOR_BTNFACE
  colour button_shadow;  // COLOR_BTNSHADOW
  colour hot_light;      // COLOR_HOTLIGHT
  colour highlight;      // COLOR_HIGHLIGHT
};

struct bar_colours {
  colour menu_background;       // popup menu item background
  colour image_margin;          // behind an open top-level button
  colour selection_border;      // border of hot or checked items, separators
  colour selection_background;  // hot or pressed items
  colour checked_background;    // checked items that are not hot
};

// The bar's colours for a screen of bits_per_pixel x planes bits: blended
// above 8 bits, plain system colours at 8 bits or less.
bar_colours compute_colours(const system_colours& system, int bits_per_pixel, int planes);

// The size of a popup menu item: a separator is 0 x 5; an item with text
// `text_width` wide (measured in the menu font) is
// text + 2 x button width - menu check width + 14 wide and the larger of
// button height + 2 and |font height| + 10 high.
size measure_item(bool separator, int text_width, size button, int menu_check_width, int font_height);

// Where the parts of a popup menu item go.
struct item_places {
  rect image_square;                   // the button size at the item's left, centred vertically
  rect image_column;                   // item's left to one pixel right of the square: the gradient
  rect background;                     // the rest of the item
  rect text;                           // the text area: 6 pixels into it, the button width off its right
  point separator_from, separator_to;  // the separator's line, its end exclusive
};
item_places place_item(const rect& item, size button);

// `inner` centred in `outer` (top-left rounded toward the top-left).
rect centred(const rect& outer, size inner);

// The image of a toolbar button: centred in the button size, one pixel
// below the middle.
point button_image_origin(const rect& button, size button_size, size image);

// A menu item's text and its shortcut: the parts before and after the first
// tab ("Copy\tCtrl+C": "Copy" left-aligned, "Ctrl+C" right-aligned).
struct item_text {
  std::wstring_view text;
  std::wstring_view shortcut;
};
item_text split_item_text(std::wstring_view whole);

// A command's prompt "Status\nTip": the status-bar text before the line
// break, the tooltip after it; without a break both are the whole text.
struct prompt_text {
  std::wstring_view status;
  std::wstring_view tip;
};
prompt_text split_prompt(std::wstring_view whole);

// Sides of a rectangle's frame, valued as the window system's border flags.
enum : unsigned { side_left = 0x1, side_top = 0x2, side_right = 0x4, side_bottom = 0x8, all_sides = 0xF };

// The sides framed around an open top-level button: the side touching its
// popup (screen coordinates) stays open, so button and popup share an edge.
unsigned open_button_sides(const rect& button, const std::optional<rect>& popup);

// In the mask of a generated disabled image, the pixels of 0x808080 and
// lighter (red, green and blue each at least 0x80) are background; the rest
// is the embossed shape.
bool is_mask_background(const colour& pixel);

// A button of a toolbar in a band, as the chevron reads it.
struct band_button {
  rect bounds;          // in the toolbar's client coordinates
  bool hidden = false;  // hidden by its state: never listed
  bool separator = false;
};

// The buttons (indexes) a chevron lists: those not wholly inside the first
// `visible_width` pixels of the toolbar, with separators only between
// listed buttons.
std::vector<int> chevron_buttons(const std::vector<band_button>& buttons, int visible_width);

// A chevron menu entry's text: the button's text, else its tip.
std::wstring_view chevron_label(std::wstring_view text, std::wstring_view tip);

// Where the chevron menu opens: under the chevron, or under the band's end
// when the chevron's rectangle is empty.
rect chevron_anchor(const rect& chevron, const rect& band);

}  // namespace zel::command_bar
