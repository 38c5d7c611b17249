// Value lists, gain stage search, filter registers and value texts.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/encoding.h"

using namespace orvo::caps;

namespace {

struct channel {
  std::uint8_t b[channel_record_size] = {};
};

bool ascending_unique(const value_list& v) {
  return std::adjacent_find(v.begin(), v.end(), std::greater_equal<>()) == v.end();
}

TEST(ValueLists, DefaultGainListHas91AscendingCodesFrom100To3000000) {
  const auto list = gain_list(defaults::gain());
  ASSERT_EQ(list.size(), 91u);
  EXPECT_EQ(list.front(), 100);
  EXPECT_EQ(list.back(), 3000000);
  EXPECT_TRUE(ascending_unique(list));
  // 562.5 rounds to the even neighbour.
  EXPECT_TRUE(std::binary_search(list.begin(), list.end(), 562));
  EXPECT_FALSE(std::binary_search(list.begin(), list.end(), 563));
}

TEST(ValueLists, GainListAppliesBothAdmissionRules) {
  // With B = 33.33 no A below 13.3 passes A/B >= 0.4, so gain 1 x 33.33 x 200
  // (6667) is not listed although the search could reach it.
  const auto list = gain_list(defaults::gain());
  EXPECT_FALSE(std::binary_search(list.begin(), list.end(), 6667));
  // 3A/(2BC) < 0.04: A=1, B=25 ... never listed; A=20,B=25,C=30,D=1 -> 3000000 passes.
  EXPECT_TRUE(std::binary_search(list.begin(), list.end(), 3000000));
}

TEST(ValueLists, DefaultLowCutListsMatchTheirDescriptors) {
  struct expect {
    int variant;
    std::size_t count;
    std::int32_t first, last;
  };
  for (auto e : {expect{0, 684, 5000, 25400000}, expect{1, 684, 500, 2540000}, expect{2, 728, 500, 12700000}}) {
    auto list = low_cut_list(defaults::low_cut(e.variant));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->size(), e.count) << e.variant;
    EXPECT_EQ(list->front(), e.first) << e.variant;
    EXPECT_EQ(list->back(), e.last) << e.variant;
    EXPECT_TRUE(ascending_unique(*list));
  }
}

TEST(ValueLists, DefaultHighCutListsHave491Codes) {
  struct expect {
    int variant;
    std::int32_t first, last;
  };
  for (auto e : {expect{0, 20000, 25300000}, expect{1, 200, 253000}, expect{2, 2000, 2530000}}) {
    auto list = high_cut_list(defaults::high_cut(e.variant));
    EXPECT_EQ(list.size(), 491u) << e.variant;
    EXPECT_EQ(list.front(), e.first) << e.variant;
    EXPECT_EQ(list.back(), e.last) << e.variant;
  }
}

TEST(ValueLists, ALowCutDivisorOfZeroGivesNoList) {
  auto d = defaults::low_cut(0);
  d.divisor = 0;
  EXPECT_FALSE(low_cut_list(d));
}

TEST(ValueLists, ValuesBeyondThe32BitRangeAreLeftOut) {
  THighCutDescriptor d;
  d.ranges[0] = {1.0f, 0, 2147000000, 1000000};
  d.ranges[1] = {1.0f, 0, 0, 1};
  auto list = high_cut_list(d);
  EXPECT_TRUE(std::binary_search(list.begin(), list.end(), 2147000000));
  EXPECT_TRUE(ascending_unique(list));
  EXPECT_EQ(list.size(), 250u + 1u);  // 0..249 and the one in-range value of sub-range 0
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(round_even(562.5), 562);
  EXPECT_EQ(round_even(563.5), 564);
  EXPECT_EQ(round_even(-2.5), -2);
  EXPECT_EQ(round_even(2.4999), 2);
  EXPECT_FALSE(round_even(2147483648.0));
  EXPECT_FALSE(round_even(std::numeric_limits<double>::quiet_NaN()));
}

TEST(NearestListed, ExactMatchElseFirstOfEqualDistances) {
  const value_list list = {10, 20, 30};
  EXPECT_EQ(nearest_listed(list, 20), 20);
  EXPECT_EQ(nearest_listed(list, 15), 10);
  EXPECT_EQ(nearest_listed(list, 16), 20);
  EXPECT_EQ(nearest_listed(list, -1000), 10);
  EXPECT_EQ(nearest_listed(list, std::numeric_limits<std::int32_t>::max()), 30);
  EXPECT_EQ(nearest_listed({}, 77), 77);
}

class GainEncoding : public ::testing::Test {
 protected:
  TGainDescriptor d = defaults::gain();
  channel c;
  void expect_bytes(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
    EXPECT_EQ(c.b[0], b0);
    EXPECT_EQ(c.b[1], b1);
    EXPECT_EQ(c.b[2], b2);
  }
};

TEST_F(GainEncoding, Gain200TakesTheLastExactCombinationAndReadsBack) {
  EXPECT_EQ(encode_gain(d, 200, c.b), 200);
  expect_bytes(0x01, 0x81, 0x04);  // A = 2, B = 1, C = 1, D = 0.5
  EXPECT_EQ(decode_gain(d, c.b), 200);
}

TEST_F(GainEncoding, AGainNotListedGetsTheNearestCombination) {
  EXPECT_EQ(encode_gain(d, 1234, c.b), 1234);
  expect_bytes(0x04, 0x81, 0x10);
  EXPECT_EQ(decode_gain(d, c.b), 1200);
}

TEST_F(GainEncoding, EveryListedGainReadsBackAsItself) {
  for (std::int32_t g : gain_list(d)) {
    encode_gain(d, g, c.b);
    ASSERT_EQ(decode_gain(d, c.b), g);
  }
}

TEST_F(GainEncoding, SwitchCodesCloseOneStage) {
  // Each switch code with the stage it closes; every other stage stays at 0.
  struct switch_code {
    std::int32_t code;
    char stage;
    int index;
  };
  const switch_code table[] = {{1, 'D', 1},  {3, 'A', 1},  {4, 'C', 1},  {5, 'C', 2},  {6, 'A', 2},  {7, 'B', 1},
                               {8, 'A', 3},  {9, 'C', 3},  {10, 'B', 2}, {11, 'A', 4}, {12, 'C', 4}, {13, 'A', 5},
                               {14, 'C', 5}, {15, 'B', 3}, {16, 'A', 6}, {17, 'A', 7}, {18, 'B', 4}, {19, 'C', 6},
                               {20, 'B', 5}, {21, 'C', 7}, {22, 'B', 6}};
  for (const auto& t : table) {
    SCOPED_TRACE(t.code);
    const auto bit = [&](char stage) { return static_cast<std::uint8_t>(t.stage == stage ? 1u << t.index : 1u); };
    encode_gain(d, t.code, c.b);
    expect_bytes(bit('C'), static_cast<std::uint8_t>(t.stage == 'D' ? 0x81 : bit('B')), bit('A'));
  }
  encode_gain(d, 7, c.b);
  expect_bytes(0x01, 0x02, 0x01);
  encode_gain(d, 1, c.b);
  expect_bytes(0x01, 0x81, 0x01);
  encode_gain(d, 2, c.b);
  expect_bytes(0x01, 0x01, 0x01);
  for (std::int32_t code : {0, -5, 23, 99}) {
    encode_gain(d, code, c.b);
    expect_bytes(0x01, 0x01, 0x01);
  }
}

TEST_F(GainEncoding, EachSwitchCodeNamesADistinctStage) {
  // Codes 1 and 3 to 22 close 21 different single switches.
  std::vector<gain_stages> seen;
  for (std::int32_t code = 1; code <= 22; ++code) {
    if (code == 2) continue;
    const auto s = gain_switch(code);
    EXPECT_EQ((s.a != 0) + (s.b != 0) + (s.c != 0) + (s.d != 0), 1) << code;
    EXPECT_TRUE(std::find(seen.begin(), seen.end(), s) == seen.end()) << code;
    seen.push_back(s);
  }
}

TEST_F(GainEncoding, BytesWithoutExactlyOneBitDecodeAsEFail) {
  c.b[0] = 0x00, c.b[1] = 0x01, c.b[2] = 0x01;
  EXPECT_EQ(decode_gain(d, c.b), gain_decode_failure);
  EXPECT_LT(decode_gain(d, c.b), 0);
  c.b[0] = 0x01, c.b[1] = 0x81 | 0x02, c.b[2] = 0x01;  // two B bits
  EXPECT_EQ(decode_gain(d, c.b), gain_decode_failure);
  c.b[1] = 0x80;  // D bit only, no B stage
  EXPECT_EQ(decode_gain(d, c.b), gain_decode_failure);
  c.b[1] = 0x01, c.b[2] = 0x03;
  EXPECT_EQ(decode_gain(d, c.b), gain_decode_failure);
}

TEST_F(GainEncoding, SearchSkipsCombinationsBelowTheARatio) {
  // 6667 is exactly A = 1, B = 33.33, C = 1, D = 1, whose A/B is 0.03: the
  // search must settle for an allowed combination.
  const auto s = gain_search(d, 6667);
  EXPECT_GE(static_cast<double>(d.A[static_cast<std::size_t>(s.a)]) / d.B[static_cast<std::size_t>(s.b)], 0.4);
  EXPECT_NE(gain_of(d, s), 6667);
}

TEST_F(GainEncoding, SearchReachesGainsOnlyTheListRejects) {
  // 4000000 is made only by combinations with
  // 3A/(2BC) below 0.04: not listed, yet written exactly.
  const auto list = gain_list(d);
  EXPECT_FALSE(std::binary_search(list.begin(), list.end(), 4000000));
  encode_gain(d, 4000000, c.b);
  EXPECT_EQ(decode_gain(d, c.b), 4000000);
}

class LowCut : public ::testing::Test {
 protected:
  TLowCutDescriptor d = defaults::low_cut(0);
  value_list list = *low_cut_list(d);
  channel c;
};

TEST_F(LowCut, NearestValueIsTheClosestListedCode) {
  EXPECT_EQ(encode_low_cut(d, list, 5600, c.b, false), 5000);  // 600 against 650
  EXPECT_EQ(c.b[byte_low_cut], 0);
  EXPECT_EQ(c.b[byte_flags], 0);
}

TEST_F(LowCut, AFrequencyThatFitsSubRange0ClearsTheSelectBits) {
  c.b[byte_flags] = 0xFF;
  c.b[byte_low_cut] = 0x99;
  EXPECT_EQ(encode_low_cut(d, list, 5000, c.b, true), 5000);
  EXPECT_EQ(c.b[byte_low_cut], 4);
  EXPECT_EQ(c.b[byte_flags], 0x87);         // bits 3 to 6 cleared, others kept
  EXPECT_EQ(decode_low_cut(d, c.b), 4994);  // the register's resolution: 4 / 256 / 0.3129 Hz
}

TEST_F(LowCut, FiftyHertzUsesSubRange1) {
  encode_low_cut(d, list, 5000000, c.b, true);
  EXPECT_EQ(c.b[byte_low_cut], 201);
  EXPECT_EQ(c.b[byte_flags], 0x28);
  EXPECT_EQ(decode_low_cut(d, c.b), 4992727);
}

TEST_F(LowCut, AFrequencyTooHighForEverySubRangeLeavesTheRegister) {
  c.b[byte_flags] = 0x78 | 0x01;
  c.b[byte_low_cut] = 0x42;
  encode_low_cut(d, list, 2000000000, c.b, true);
  EXPECT_EQ(c.b[byte_low_cut], 0x42);
  EXPECT_EQ(c.b[byte_flags], 0x01);
}

TEST_F(LowCut, ANegativeCodeSelectsNoSubRange) {
  c.b[byte_low_cut] = 0x42;
  encode_low_cut(d, list, -100000, c.b, true);
  EXPECT_EQ(c.b[byte_low_cut], 0x42);
  EXPECT_EQ(c.b[byte_flags], 0);
}

TEST_F(LowCut, BothSelectMasksTogetherDecodeAsZero) {
  c.b[byte_flags] = 0x28 | 0x50;
  c.b[byte_low_cut] = 100;
  EXPECT_EQ(decode_low_cut(d, c.b), 0);
}

TEST_F(LowCut, EveryListedCodeRoundTripsWithinOneRegisterStep) {
  for (std::int32_t v : list) {
    channel w;
    encode_low_cut(d, list, v, w.b, true);
    const std::int32_t back = decode_low_cut(d, w.b);
    // One register step is 1/256/coefficient Hz in the chosen sub-range.
    int s = w.b[byte_flags] == 0 ? 0 : w.b[byte_flags] == 0x28 ? 1 : 2;
    const double step = 100000.0 / 256.0 / d.ranges[static_cast<std::size_t>(s)].coefficient;
    ASSERT_LE(std::abs(back - v), step / 2 + 1) << v;
  }
}

class HighCut : public ::testing::Test {
 protected:
  THighCutDescriptor d = defaults::high_cut(0);
  value_list list = high_cut_list(d);
  channel c;
};

TEST_F(HighCut, TwentyHertzFitsSubRange0) {
  c.b[byte_flags] = 0x82 | 0x05;
  EXPECT_EQ(encode_high_cut(d, list, 20000, c.b, true), 20000);
  EXPECT_EQ(c.b[byte_high_cut], 4);
  EXPECT_EQ(c.b[byte_flags], 0x05);
}

TEST_F(HighCut, TheHighestCodeUsesSubRange1) {
  encode_high_cut(d, list, 25300000, c.b, true);
  EXPECT_EQ(c.b[byte_high_cut], 255);
  EXPECT_EQ(c.b[byte_flags], 0x82);
  EXPECT_EQ(decode_high_cut(d, c.b), 25317948);
}

TEST_F(HighCut, TheRegisterIsComputedFromTheNearestListedValue) {
  channel exact;
  encode_high_cut(d, list, 20000, exact.b, true);
  EXPECT_EQ(encode_high_cut(d, list, 20400, c.b, true), 20000);
  EXPECT_EQ(c.b[byte_high_cut], exact.b[byte_high_cut]);
}

TEST_F(HighCut, SelectBitsMatchingNeitherMaskDecodeAsZero) {
  c.b[byte_flags] = 0x02;  // half of mask 0x82
  c.b[byte_high_cut] = 100;
  EXPECT_EQ(decode_high_cut(d, c.b), 0);
}

TEST(ValueTexts, LowCutTextsUseFiveDecimalsWithoutTrailingZeros) {
  EXPECT_EQ(format_low_cut(5000), "0.05");
  EXPECT_EQ(format_low_cut(6250), "0.0625");
  EXPECT_EQ(format_low_cut(100000), "1");
  EXPECT_EQ(format_low_cut(123456), "1.23456");
  EXPECT_EQ(format_low_cut(100001), "1.00001");
  EXPECT_EQ(format_low_cut(0), "0");
  EXPECT_EQ(format_low_cut(-5000), "0");  // a negative remainder shows the integer part only
}

TEST(ValueTexts, LowCutParserReadsIntegerAndFiveDecimals) {
  EXPECT_EQ(low_cut_from_text("0.05"), 5000);
  EXPECT_EQ(low_cut_from_text("2"), 200000);
  EXPECT_EQ(low_cut_from_text("1.234567"), 123456);
  EXPECT_EQ(low_cut_from_text(".5"), 50000);
  EXPECT_EQ(low_cut_from_text("abc"), 0);
  EXPECT_EQ(low_cut_from_text("3.x"), 300000);
  EXPECT_EQ(low_cut_from_text("99999999"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(low_cut_from_text("-99999999"), std::numeric_limits<std::int32_t>::min());
}

TEST(ValueTexts, LowCutTextsRoundTripOverTheDefaultLists) {
  for (int variant = 0; variant < 3; ++variant) {
    const auto list = low_cut_list(defaults::low_cut(variant));
    for (std::int32_t v : *list) ASSERT_EQ(low_cut_from_text(format_low_cut(v)), v);
  }
}

TEST(ValueTexts, HighCutTextsUseThreeDecimalsWithoutTrailingZeros) {
  EXPECT_EQ(format_high_cut(20000), "20");
  EXPECT_EQ(format_high_cut(1050), "1.05");
  EXPECT_EQ(format_high_cut(250), "0.25");
  EXPECT_EQ(format_high_cut(1001), "1.001");
  EXPECT_EQ(high_cut_from_number(1.05), 1050);
  EXPECT_EQ(high_cut_from_number(0.0005), 0);  // half to even
  EXPECT_EQ(high_cut_from_number(0.0015), 2);
  EXPECT_EQ(high_cut_from_number(1e12), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(high_cut_from_number(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(ValueTexts, PlainDecimalsAreReadWithAPointOnly) {
  EXPECT_EQ(plain_decimal("1.05"), 1.05);
  EXPECT_EQ(plain_decimal(" -2.5\t"), -2.5);
  EXPECT_EQ(plain_decimal("+.25"), 0.25);
  EXPECT_EQ(plain_decimal("20."), 20.0);
  EXPECT_EQ(plain_decimal("0.1000000000000000000001"), 0.1);
  EXPECT_EQ(plain_decimal("1000000000000000000000000"), 1e24);
  for (const char* other : {"1,05", "1e3", "1.0.5", "1 000", ".", "-", "", "0x10"})
    EXPECT_EQ(plain_decimal(other), std::nullopt) << other;
}

TEST(ValueTexts, HighCutTextsRoundTripOverTheDefaultLists) {
  for (int variant = 0; variant < 3; ++variant)
    for (std::int32_t v : high_cut_list(defaults::high_cut(variant)))
      ASSERT_EQ(high_cut_from_number(*plain_decimal(format_high_cut(v))), v);
}

TEST(ValueTexts, DecimalParserAcceptsOnlyWhole32BitIntegers) {
  EXPECT_EQ(parse_decimal("1200"), 1200);
  EXPECT_EQ(parse_decimal("  -7"), -7);
  EXPECT_EQ(parse_decimal("+7"), 7);
  EXPECT_EQ(parse_decimal("-2147483648"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(parse_decimal("2147483648"), 0);
  EXPECT_EQ(parse_decimal("12a"), 0);
  EXPECT_EQ(parse_decimal("1.5"), 0);
  EXPECT_EQ(parse_decimal(""), 0);
  EXPECT_EQ(parse_decimal("-"), 0);
}

}  // namespace
