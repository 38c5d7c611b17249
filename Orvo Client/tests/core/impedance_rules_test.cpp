// The impedance view's rules: readings, value texts, thresholds, the
// layout of the sixteen buttons, colours, the level bar and a button's
// parts, and the tips.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/impedance_rules.h"

namespace {

using namespace Orvo::impedance;

electrode_face face_with(int reading, long lower, long upper, bool error = false) {
  electrode_face f;
  f.off = false;
  f.reading = reading;
  f.lower = lower;
  f.upper = upper;
  f.error = error;
  return f;
}

TEST(ImpedanceReadings, OffAndErrorBytesHaveTheirOwnMeaning) {
  electrode_face f;
  EXPECT_EQ(f, (electrode_face{33, 66, 100, 99, false, false, true, false, 1})) << "a new button";
  EXPECT_TRUE(f.take_reading(0xFF));
  EXPECT_TRUE(f.off && !f.error && f.reading == 0);
  EXPECT_TRUE(f.take_reading(0xFE));
  EXPECT_TRUE(!f.off && f.error && f.reading == 254);
  EXPECT_TRUE(f.take_reading(12));
  EXPECT_TRUE(!f.off && !f.error && f.reading == 12);
  EXPECT_FALSE(f.take_reading(12)) << "the same reading again changes nothing";
}

TEST(ImpedanceReadings, AtMostOneReadingPerButtonAndAlwaysInPairs) {
  EXPECT_EQ(readings_to_take(20), 16u);
  EXPECT_EQ(readings_to_take(2), 2u);
  EXPECT_FALSE(readings_to_take(0));
  EXPECT_FALSE(readings_to_take(3));
}

TEST(ImpedanceValueText, ResistanceNotation) {
  EXPECT_EQ(value_text(47 * 100), L"4K7");
  EXPECT_EQ(value_text(47 * 1), L"47R");
  EXPECT_EQ(value_text(5000), L"5K");
  EXPECT_EQ(value_text(999), L"999R");
  EXPECT_EQ(value_text(1099), L"1K");
  EXPECT_EQ(value_text(253 * 1600), L"404K8");
  electrode_face f = face_with(47, 0, 0);
  f.resolution = 100;
  EXPECT_EQ(shown_value(f), 4700);
}

TEST(ImpedanceThresholds, DividedByTheResolutionWhichIsNeverZero) {
  const thresholds t = scaled_thresholds(20, 41, 0);
  EXPECT_EQ(t.lower, 20);
  EXPECT_EQ(t.upper, 41);
  EXPECT_EQ(t.resolution, 1);
  EXPECT_EQ(scaled_thresholds(1000, 1999, 200).upper, 9);
}

// Dialog 201's first button in pixels of a typical font, and its client size.
const design d{600, 400, 50, 170, 12, 14};

TEST(ImpedanceLayout, PositiveOverNegativeInEightColumns) {
  const auto places = layout(d, d.width, d.height);
  ASSERT_TRUE(places);
  EXPECT_EQ((*places)[0], (rect{12, 14, 62, 184}));
  EXPECT_EQ((*places)[1], (rect{12, 198, 62, 368}));
  EXPECT_EQ((*places)[15], (rect{7 * 62 + 12, 198, 7 * 62 + 62, 368}));
  EXPECT_EQ(layout(d, 300, 200), places) << "smaller than the design keeps the design sizes";
  EXPECT_FALSE(layout(design{}, 800, 600)) << "nothing before the design size is known";
}

TEST(ImpedanceLayout, GrowsByRealRatiosTruncatedAfterMultiplying) {
  auto places = layout(d, 2 * d.width, d.height);
  ASSERT_TRUE(places);
  EXPECT_EQ((*places)[15], (rect{7 * 124 + 24, 198, 7 * 124 + 124, 368})) << "heights kept";
  places = layout(d, 900, 500);  // 1.5 x 1.25
  ASSERT_TRUE(places);
  EXPECT_EQ((*places)[1], (rect{18, 17 + 212 + 17, 18 + 75, 17 + 212 + 17 + 212}));
}

TEST(ImpedanceColours, StateColour) {
  EXPECT_EQ(state_colour(false, true, false), 0x0000FFu);
  EXPECT_EQ(state_colour(false, false, false), 0xFF0000u);
  EXPECT_EQ(state_colour(true, false, false), 0x00FF00u);
  EXPECT_EQ(state_colour(true, true, true), 0x808080u);
  EXPECT_EQ(state_colour(false, false, true), 0x808080u);
  EXPECT_EQ(value_colour(true), 0x808080u);
  EXPECT_EQ(value_colour(false), 0u);
}

TEST(ImpedanceColours, ZonesAndBands) {
  EXPECT_EQ(zone_colours(false), (std::array<colour, 3>{0x00FF00, 0x00FFFF, 0x0000FF}));
  EXPECT_EQ(zone_colours(true), (std::array<colour, 3>{0x0000FF, 0x0000FF, 0x0000FF}));
  EXPECT_EQ(band_colour(0x00FF00, 0x00FFFF, 8), 0x00FF7Fu);
  EXPECT_EQ(band_colour(0x00FFFF, 0x0000FF, 15), 0x0010FFu);  // 255 - 255 x 15 / 16 = 16
  EXPECT_EQ(band_colour(0x102030, 0x403020, 3), 0x19232Du);
}

TEST(ImpedanceBar, HeightsAreLimitedSortedAndTruncated) {
  bar_heights h = heights_of(face_with(50, 70, 40), 90);
  EXPECT_TRUE(h.lower == 36 && h.upper == 63 && h.reading == 45);
  h = heights_of(face_with(254, 150, 33), 90);
  EXPECT_TRUE(h.lower == 29 && h.upper == 90 && h.reading == 90);
}

TEST(ImpedanceBar, SpansRiseFromTheBottomUpToTheReading) {
  const rect fill{10, 20, 20, 120};
  const auto spans = bar_spans(face_with(99, 33, 66), fill);
  ASSERT_FALSE(spans.empty());
  EXPECT_EQ(spans.front().fill, green);
  EXPECT_EQ(spans.front().area.bottom, 120);
  EXPECT_EQ(spans.back().fill, red);
  EXPECT_EQ(spans.back().area.top, 21);  // 99 of 100 rows
  for (std::size_t i = 1; i < spans.size(); ++i) {
    EXPECT_EQ(spans[i].area.bottom, spans[i - 1].area.top) << i;
    EXPECT_NE(spans[i].fill, spans[i - 1].fill) << i;
  }
  // Two gradients of 16 bands between the three zones.
  EXPECT_EQ(spans.size(), 1u + 15u + 1u + 15u + 1u);
  EXPECT_TRUE(std::any_of(spans.begin(), spans.end(), [](const span& s) { return s.fill == yellow; }));
}

TEST(ImpedanceBar, AnErrorPaintsTheWholeBarRed) {
  const auto spans = bar_spans(face_with(254, 33, 66, true), rect{0, 0, 8, 50});
  ASSERT_EQ(spans.size(), 1u);
  EXPECT_EQ(spans[0].fill, red);
  EXPECT_EQ(spans[0].area, (rect{0, 0, 8, 50}));
}

TEST(ImpedanceBar, NothingWhileOffOrOnAnEmptyBar) {
  electrode_face off;
  off.take_reading(0xFF);
  EXPECT_TRUE(bar_spans(off, rect{0, 0, 8, 50}).empty());
  EXPECT_TRUE(bar_spans(face_with(50, 33, 66), rect{0, 0, 8, 0}).empty());
}

TEST(ImpedanceGeometry, PartsOfAButton) {
  const button_geometry g = geometry_of(56, 170, 13);
  EXPECT_EQ(g.frame, (rect{1, 1, 55, 169}));
  EXPECT_EQ(g.corner, 13);
  EXPECT_EQ(g.lamp_area, (rect{7, 125, 49, 163}));  // the bottom 38 pixels, 6 in
  EXPECT_EQ(g.lamp, (rect{15, 131, 41, 157}));
  EXPECT_EQ(g.name_line, (rect{7, 112, 49, 125}));
  EXPECT_EQ(g.bar_fill, (rect{22, 10, 34, 94}));
  EXPECT_EQ(threshold_mark(g, 0), (rect{17, 92, 39, 95}));
  const button_geometry tiny = geometry_of(4, 4, 13);
  for (const rect& r : {tiny.frame, tiny.lamp, tiny.text_area, tiny.bar_fill}) {
    EXPECT_TRUE(r.width() >= 0 && r.height() >= 0) << "nothing inside out";
  }
}

const tip_texts texts{L"\r\nImpedance = ", L"\r\nLower Threshold = ", L"\r\nUpper Threshold = ",
                      L"\r\nIn Error - too much noise or electrode impedance too high to calculate.",
                      L"\r\nElectrode is turned off."};

TEST(ImpedanceTips, InUseOffAndError) {
  electrode_face f = face_with(47, 10, 25);
  f.resolution = 200;
  f.in_use = true;
  EXPECT_EQ(tip_text(L"Ch1 P", f, texts), L"Ch1 P\r\nImpedance = 9K4\r\nLower Threshold = 2K\r\nUpper Threshold = 5K");
  f.take_reading(0xFF);
  EXPECT_EQ(tip_text(L"Ch1 P", f, texts),
            L"Ch1 P\r\nElectrode is turned off.\r\nLower Threshold = 2K\r\nUpper Threshold = 5K");
  f.take_reading(0xFE);
  EXPECT_EQ(tip_text(L"Ch2 N", f, texts),
            L"Ch2 N\r\nIn Error - too much noise or electrode impedance too high to calculate."
            L"\r\nLower Threshold = 2K\r\nUpper Threshold = 5K");
}

}  // namespace
