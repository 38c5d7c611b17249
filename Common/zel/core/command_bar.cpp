#include "core/command_bar.h"

#include <algorithm>
#include <cstdlib>

namespace zel::command_bar {

bar_colours compute_colours(const system_colours& system, int bits_per_pixel, int planes) {
  if (bits_per_pixel * planes > 8) {
    return {blend(system.window, system.window_text, 3), blend(system.button_face, system.window, 20),
            system.button_shadow, blend(system.hot_light, system.window, 60),
            blend(system.button_shadow, system.window, 92)};
  }
  // Few colours: no blends, which would only dither.
  return {system.window, system.button_face, system.highlight, system.window, system.highlight};
}

size measure_item(bool separator, int text_width, size button, int menu_check_width, int font_height) {
  if (separator) return {0, 5};
  return {text_width + 2 * button.cx - menu_check_width + 14, std::max(button.cy + 2, std::abs(font_height) + 10)};
}

rect centred(const rect& outer, size inner) {
  const int left = outer.left + (outer.width() - inner.cx) / 2;
  const int top = outer.top + (outer.height() - inner.cy) / 2;
  return {left, top, left + inner.cx, top + inner.cy};
}

item_places place_item(const rect& item, size button) {
  item_places p;
  p.image_square = centred({item.left, item.top, item.left + button.cx, item.bottom}, button);
  const int column_end = p.image_square.right + 1;
  p.image_column = {item.left, item.top, column_end, item.bottom};
  p.background = {column_end, item.top, item.right, item.bottom};
  p.text = {column_end + 6, item.top, item.right - button.cx, item.bottom};
  const int middle = item.top + item.height() / 2;
  p.separator_from = {column_end + 10, middle};
  p.separator_to = {item.right, middle};
  return p;
}

point button_image_origin(const rect& button, size button_size, size image) {
  return {button.left + (button_size.cx - image.cx) / 2, button.top + (button_size.cy - image.cy) / 2 + 1};
}

item_text split_item_text(std::wstring_view whole) {
  const auto tab = whole.find(L'\t');
  if (tab == std::wstring_view::npos) return {whole, {}};
  return {whole.substr(0, tab), whole.substr(tab + 1)};
}

prompt_text split_prompt(std::wstring_view whole) {
  const auto line = whole.find(L'\n');
  if (line == std::wstring_view::npos) return {whole, whole};
  return {whole.substr(0, line), whole.substr(line + 1)};
}

unsigned open_button_sides(const rect& button, const std::optional<rect>& popup) {
  if (popup && popup->top == button.bottom) return all_sides & ~side_bottom;
  if (popup && popup->bottom == button.top) return all_sides & ~side_top;
  return all_sides;
}

bool is_mask_background(const colour& pixel) { return pixel.red >= 0x80 && pixel.green >= 0x80 && pixel.blue >= 0x80; }

std::vector<int> chevron_buttons(const std::vector<band_button>& buttons, int visible_width) {
  std::vector<int> listed;
  int separator = -1;  // a separator waiting for a listed button after it
  for (int i = 0; i < static_cast<int>(buttons.size()); ++i) {
    const band_button& b = buttons[i];
    if (b.hidden || b.bounds.right <= visible_width) continue;
    if (b.separator) {
      if (!listed.empty()) separator = i;
      continue;
    }
    if (separator != -1) listed.push_back(separator);
    separator = -1;
    listed.push_back(i);
  }
  return listed;
}

std::wstring_view chevron_label(std::wstring_view text, std::wstring_view tip) { return text.empty() ? tip : text; }

rect chevron_anchor(const rect& chevron, const rect& band) {
  if (!chevron.empty()) return chevron;
  return {band.right, band.top, band.right, band.bottom};
}

}  // namespace zel::command_bar
