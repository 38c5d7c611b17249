// Facts about the command bar's look: its colours, the measures and places
// of menu items and button images, the texts it splits, the open edge of a
// top-level button, the disabled-image mask and the chevron's list.
#include <gtest/gtest.h>

#include <vector>

#include "core/command_bar.h"

namespace {
using namespace zel::command_bar;
using zel::colour;
using zel::rect;

TEST(CommandBarColours, BlendTruncatesTowardZero) {
  EXPECT_EQ(zel::blend(colour{255, 0, 9}, colour{0, 255, 9}, 3), (colour{248, 7, 9}));
}

const system_colours classic{{255, 255, 255}, {0, 0, 0},     {212, 208, 200},
                             {128, 128, 128}, {0, 102, 204}, {10, 36, 106}};

TEST(CommandBarColours, AboveEightBitsPerPixelTheColoursAreBlended) {
  const bar_colours c = compute_colours(classic, 16, 1);
  EXPECT_EQ(c.menu_background, (colour{248, 248, 248}));
  EXPECT_EQ(c.image_margin, (colour{220, 217, 211}));
  EXPECT_EQ(c.selection_border, (colour{128, 128, 128}));
  EXPECT_EQ(c.selection_background, (colour{153, 193, 234}));
  EXPECT_EQ(c.checked_background, (colour{244, 244, 244}));
  EXPECT_EQ(compute_colours(classic, 8, 2).menu_background, c.menu_background) << "bits per pixel times planes";
}

TEST(CommandBarColours, AtEightBitsPerPixelOrLessTheSystemColoursArePlain) {
  const bar_colours c = compute_colours(classic, 8, 1);
  EXPECT_EQ(c.menu_background, classic.window);
  EXPECT_EQ(c.image_margin, classic.button_face);
  EXPECT_EQ(c.selection_border, classic.highlight);
  EXPECT_EQ(c.selection_background, classic.window);
  EXPECT_EQ(c.checked_background, classic.highlight);
}

TEST(CommandBarMenuItems, AnItemIsAsWideAsItsTextAndTwoButtonsAndAsHighAsButtonOrFont) {
  EXPECT_EQ(measure_item(false, 73, {22, 22}, 13, -11), (zel::size{118, 24}));
  EXPECT_EQ(measure_item(false, 73, {22, 22}, 13, -16), (zel::size{118, 26}));
  EXPECT_EQ(measure_item(true, 73, {22, 22}, 13, -16), (zel::size{0, 5}));
}

TEST(CommandBarMenuItems, ImageSquareGradientColumnTextAndSeparatorPlaces) {
  const item_places p = place_item({0, 10, 118, 35}, {22, 22});
  EXPECT_EQ(p.image_square, (rect{0, 11, 22, 33}));
  EXPECT_EQ(p.image_column, (rect{0, 10, 23, 35}));
  EXPECT_EQ(p.background, (rect{23, 10, 118, 35}));
  EXPECT_EQ(p.text, (rect{29, 10, 96, 35}));
  EXPECT_EQ(p.separator_from, (zel::point{33, 22}));
  EXPECT_EQ(p.separator_to, (zel::point{118, 22}));
  EXPECT_EQ(button_image_origin({10, 2, 32, 24}, {22, 22}, {16, 15}), (zel::point{13, 6})) << "one pixel low";
}

TEST(CommandBarTexts, ShortcutsFollowTheFirstTabAndTipsTheLineBreak) {
  EXPECT_EQ(split_item_text(L"Copy\tCtrl+C").text, L"Copy");
  EXPECT_EQ(split_item_text(L"Copy\tCtrl+C").shortcut, L"Ctrl+C");
  EXPECT_EQ(split_item_text(L"a\tb\tc").shortcut, L"b\tc");
  EXPECT_TRUE(split_item_text(L"&Paste").shortcut.empty());
  EXPECT_EQ(split_prompt(L"Status\nTip").status, L"Status");
  EXPECT_EQ(split_prompt(L"Status\nTip").tip, L"Tip");
  EXPECT_EQ(split_prompt(L"Tip").status, L"Tip");
  EXPECT_EQ(split_prompt(L"Tip").tip, L"Tip");
}

TEST(CommandBarButtons, AnOpenButtonLeavesTheSideTouchingItsPopupOpen) {
  const rect button{40, 0, 80, 20};
  EXPECT_EQ(open_button_sides(button, rect{40, 20, 200, 300}), side_left | side_top | side_right);
  EXPECT_EQ(open_button_sides(button, rect{40, -300, 200, 0}), side_left | side_right | side_bottom);
  EXPECT_EQ(open_button_sides(button, rect{40, 21, 200, 300}), all_sides);
  EXPECT_EQ(open_button_sides(button, std::nullopt), all_sides);
}

TEST(CommandBarImages, PixelsOfGreyHalfAndLighterAreTheDisabledMasksBackground) {
  EXPECT_TRUE(is_mask_background(colour::from_value(0x808080)));
  EXPECT_TRUE(is_mask_background(colour::from_value(0xC0C0C0)));
  EXPECT_FALSE(is_mask_background(colour::from_value(0x7F7F7F)));
  EXPECT_FALSE(is_mask_background(colour::from_value(0x0000FF)));  // red
  EXPECT_FALSE(is_mask_background(colour::from_value(0x00FFFF)));  // yellow
  EXPECT_EQ(colour::from_value(0x030201), (colour{1, 2, 3}));
  EXPECT_EQ((colour{1, 2, 3}).value(), 0x030201u);
}

TEST(CommandBarChevron, TheChevronListsTheButtonsNotWhollyShownWithSeparatorsBetweenThem) {
  // Buttons 20 wide, separators 6; one button hidden by its state.
  std::vector<band_button> buttons;
  for (int width : {20, 20, 20, -6, 20, -6, -6, 0, 20, -6}) {
    const int left = buttons.empty() ? 0 : buttons.back().bounds.right;
    buttons.push_back({{left, 0, left + (width < 0 ? -width : width), 22}, width == 0, width < 0});
  }
  EXPECT_EQ(chevron_buttons(buttons, 70), (std::vector<int>{4, 6, 8}));
  EXPECT_EQ(chevron_buttons(buttons, 50), (std::vector<int>{2, 3, 4, 6, 8}));
  EXPECT_TRUE(chevron_buttons(buttons, 500).empty());
}

TEST(CommandBarChevron, AnEntryIsNamedByItsTextElseItsTipAndOpensUnderTheChevronElseTheBandsEnd) {
  EXPECT_EQ(chevron_label(L"Open", L"Open a file"), L"Open");
  EXPECT_EQ(chevron_label(L"", L"Open a file"), L"Open a file");
  EXPECT_EQ(chevron_anchor({300, 2, 313, 24}, {0, 0, 320, 26}), (rect{300, 2, 313, 24}));
  EXPECT_EQ(chevron_anchor({}, {0, 0, 320, 26}), (rect{320, 0, 320, 26}));
}

}  // namespace
