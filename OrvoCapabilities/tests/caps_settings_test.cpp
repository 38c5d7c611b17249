// The settings of an amplifier model: captions, lookup conversions, byte
// encoders of lookup and range settings, and enumeration.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "OrvoCapabilities/core/settings.h"
#include "memory_source.h"

using namespace orvo::caps;

namespace {

class Settings : public ::testing::Test {
 protected:
  test_support::memory_source source = test_support::default_source();
  TCapsRegistry registry{source, false};
  TRangeCache cache;
  amplifier_records model = *load_amplifier(cache, registry, 0x0000);
  std::uint8_t rec[10] = {};

  setting channel(channel_setting which) { return make_channel_setting(model, which); }
};

TEST_F(Settings, CaptionsAndRangeIds) {
  EXPECT_EQ(channel(channel_setting::gain).caption(), "Gain");
  EXPECT_EQ(channel(channel_setting::low_cut).caption(), "LowCut (Hz)");
  EXPECT_EQ(channel(channel_setting::high_cut).caption(), "HighCut (Hz)");
  EXPECT_EQ(channel(channel_setting::input_mode).caption(), "Input Mode");
  EXPECT_EQ(channel(channel_setting::notch).caption(), "50Hz Notch");
  EXPECT_EQ(channel(channel_setting::input_connections).range_id(), 0xA000);
  EXPECT_EQ(make_amplifier_setting(model, amplifier_setting::impedance_resolution).caption(), "Impedance Resolution");
  EXPECT_EQ(make_amplifier_setting(model, amplifier_setting::deblock_type).range_id(), 0xB000);
}

TEST_F(Settings, LookupTextIsTrimmedAndCaseBlindButBlanksInsideCount) {
  const auto mode = channel(channel_setting::input_mode);
  EXPECT_EQ(mode.lookup(" pos ref "), 35);
  EXPECT_EQ(mode.lookup("\tNEG REF\r\n"), 50);
  EXPECT_EQ(mode.lookup("Pos  Ref"), -1);
  EXPECT_EQ(mode.lookup(""), -1);
  EXPECT_EQ(mode.text_of(35), "Pos Ref");
  EXPECT_FALSE(mode.text_of(7));
}

TEST_F(Settings, TheFirstOfTwoEqualNamesOrCodesWins) {
  TLookupDescriptor twice{"Twice", {{"Same", 1}, {"same", 2}, {"Other", 1}}};
  registry.WriteNotch(0x007, twice);
  ASSERT_TRUE(cache.Load(0x8007, registry));
  setting s(*cache.Find(0x8007), "Twice", coder::notch);
  EXPECT_EQ(s.lookup("SAME"), 1);
  EXPECT_EQ(s.text_of(1), "Same");
}

TEST_F(Settings, LookupByteEncodersWriteTheirOwnByteOnly) {
  channel(channel_setting::input_mode).write(35, rec);
  channel(channel_setting::input_connections).write(3, rec);
  EXPECT_EQ(rec[6], 35);
  EXPECT_EQ(rec[8], 3);
  EXPECT_EQ(channel(channel_setting::input_mode).read(rec), 35);
  EXPECT_EQ(channel(channel_setting::input_connections).read(rec), 3);
  make_amplifier_setting(model, amplifier_setting::deblock_type).write(1, rec);
  make_amplifier_setting(model, amplifier_setting::impedance_resolution).write(8, rec);
  EXPECT_EQ(rec[7], 1);
  EXPECT_EQ(rec[4], 8);
  // Codes that are not listed pass unchanged through NearestValue.
  EXPECT_EQ(channel(channel_setting::input_mode).nearest(77), 77);
  const std::uint8_t expect[10] = {0, 0, 0, 0, 8, 0, 35, 1, 3, 0};
  EXPECT_EQ(std::memcmp(rec, expect, sizeof rec), 0);
}

TEST_F(Settings, NotchTouchesOnlyBits0And2OfByte3) {
  const auto notch = channel(channel_setting::notch);
  rec[3] = 0xFA;
  notch.write(5, rec);
  EXPECT_EQ(rec[3], 0xFF);
  notch.write(0, rec);
  EXPECT_EQ(rec[3], 0xFA);
  rec[3] = 0x01;
  EXPECT_EQ(notch.read(rec), 1);
  EXPECT_FALSE(notch.text_of(1));
  // A code that is not a notch code (ToValue's -1) leaves the filter select
  // bits alone.
  rec[3] = 0x28;
  notch.write(-1, rec);
  EXPECT_EQ(rec[3], 0x2D);
}

TEST_F(Settings, GainNearestValueIsTheCodeAndTouchesNoCallerRecord) {
  const auto gain = channel(channel_setting::gain);
  EXPECT_EQ(gain.nearest(1234), 1234);
  EXPECT_EQ(std::count(std::begin(rec), std::end(rec), 0), 10);
  gain.write(200, rec);
  EXPECT_EQ(gain.read(rec), 200);
  EXPECT_EQ(gain.text_of(1200), "1200");
}

TEST_F(Settings, FilterNearestValueIsAListedValue) {
  EXPECT_EQ(channel(channel_setting::low_cut).nearest(5600), 5000);
  EXPECT_EQ(channel(channel_setting::high_cut).nearest(20400), 20000);
  EXPECT_EQ(channel(channel_setting::low_cut).text_of(5000), "0.05");
  EXPECT_EQ(channel(channel_setting::high_cut).text_of(1050), "1.05");
}

TEST_F(Settings, EnumeratorsListCodesAndTextsAndRefuseOtherIndexes) {
  const auto low = channel(channel_setting::low_cut);
  EXPECT_EQ(low.count(), 684);
  EXPECT_EQ(low.value_at(0), 5000);
  EXPECT_EQ(low.name_at(0), "0.05");
  EXPECT_EQ(low.value_at(683), 25400000);
  EXPECT_EQ(low.name_at(683), "254");
  EXPECT_EQ(low.value_at(684), -1);
  EXPECT_EQ(low.value_at(-1), -1);
  EXPECT_FALSE(low.name_at(684));
  const auto mode = channel(channel_setting::input_mode);
  EXPECT_EQ(mode.count(), 4);
  EXPECT_EQ(mode.value_at(0), 68);
  EXPECT_EQ(mode.name_at(3), "Neg Ref");
  EXPECT_FALSE(mode.name_at(4));
}

TEST_F(Settings, BuiltInListsEncodeNothing) {
  auto state =
      make_amplifier_setting(model, amplifier_setting::deblock_state, built_in_record(defaults::deblock_state()));
  std::fill(std::begin(rec), std::end(rec), 0x5A);
  state.write(1, rec);
  EXPECT_EQ(std::count(std::begin(rec), std::end(rec), 0x5A), 10);
  EXPECT_EQ(state.read(rec), 0);
  EXPECT_EQ(state.caption(), "Deblock State");
  EXPECT_EQ(state.range_id(), 0);
  ASSERT_EQ(state.count(), 2);
  EXPECT_EQ(state.name_at(0), "Reset");
  EXPECT_EQ(state.value_at(1), 1);
  EXPECT_EQ(state.name_at(1), "Set");
  EXPECT_EQ(state.lookup("set"), 1);
}

TEST_F(Settings, ABuiltInRecordLivesAsLongAsASettingUsesIt) {
  setting kept = [&] {
    return make_amplifier_setting(model, amplifier_setting::highlight, built_in_record(defaults::highlight()));
  }();
  EXPECT_EQ(kept.caption(), "Highlight");
  EXPECT_EQ(kept.name_at(1), "On");
}

TEST(RangeSettings, SerialNumberClampsAndUsesByte8) {
  const auto s = range_setting::of(range_kind::serial_no);
  EXPECT_STREQ(s.caption, "Serial No");
  EXPECT_EQ(s.range_code, 2);
  EXPECT_EQ(s.from_number(300), 255);
  EXPECT_EQ(s.clamp(-5), 0);
  std::uint8_t rec[10] = {};
  s.write(0x1FE, rec);
  EXPECT_EQ(rec[8], 0xFE);
  EXPECT_EQ(s.read(rec), 0xFE);
}

TEST(RangeSettings, ThresholdsStoreHalfTheValue) {
  const auto lower = range_setting::of(range_kind::lower_threshold);
  const auto upper = range_setting::of(range_kind::upper_threshold);
  std::uint8_t rec[10] = {};
  lower.write(1001, rec);
  EXPECT_EQ(rec[0] | rec[1] << 8, 500);
  EXPECT_EQ(lower.read(rec), 1000);
  upper.write(65535, rec);
  EXPECT_EQ(rec[2], 0xFF);
  EXPECT_EQ(rec[3], 0x7F);
  EXPECT_EQ(upper.read(rec), 65534);
  EXPECT_EQ(lower.read(rec), 1000);
  EXPECT_EQ(upper.from_number(1e10), 65535);
}

TEST(RangeSettings, DeblockDurationAndGroup) {
  const auto duration = range_setting::of(range_kind::deblock_duration);
  EXPECT_EQ(duration.from_number(40000), 32767);
  EXPECT_EQ(duration.from_number(-3), 0);
  EXPECT_EQ(duration.from_number(2.5), 2);
  std::uint8_t rec[10] = {};
  duration.write(1000, rec);
  EXPECT_EQ(rec[5], 0xE8);
  EXPECT_EQ(rec[6], 0x03);
  EXPECT_EQ(duration.read(rec), 1000);
  const auto group = range_setting::of(range_kind::channel_group);
  EXPECT_STREQ(group.caption, "Group");
  EXPECT_EQ(group.range_code, 17);
  group.write(3, rec);
  EXPECT_EQ(rec[7], 3);
  EXPECT_EQ(group.read(rec), 3);
}

}  // namespace
