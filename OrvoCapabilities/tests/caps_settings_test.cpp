// Setting rules the tests through the DLL do not reach: ties between list
// entries, enumeration bounds and the rounding of range values.
#include <gtest/gtest.h>

#include "core/settings.h"
#include "memory_source.h"

using namespace orvo::caps;

namespace {

class Settings : public ::testing::Test {
 protected:
  test_support::memory_source source = test_support::default_source();
  TCapsRegistry registry{source, false};
  TRangeCache cache;
  amplifier_records model = *load_amplifier(cache, registry, 0x0000);
};

TEST_F(Settings, TheFirstOfTwoEqualNamesOrCodesWins) {
  registry.WriteNotch(0x007, TLookupDescriptor{"Twice", {{"Same", 1}, {"same", 2}, {"Other", 1}}});
  ASSERT_TRUE(cache.Load(0x8007, registry));
  setting s(*cache.Find(0x8007), "Twice", coder::notch);
  EXPECT_EQ(s.lookup("SAME"), 1);
  EXPECT_EQ(s.text_of(1), "Same");
  EXPECT_EQ(normalise_name("\t pos ref\r\n"), "POS REF");
}

TEST_F(Settings, EnumeratorsRefuseIndexesOutsideTheList) {
  const auto low = make_channel_setting(model, channel_setting::low_cut);
  EXPECT_EQ(low.value_at(683), 25400000);
  EXPECT_EQ(low.value_at(684), -1);
  EXPECT_EQ(low.value_at(-1), -1);
  EXPECT_FALSE(low.name_at(684));
  const auto mode = make_channel_setting(model, channel_setting::input_mode);
  EXPECT_EQ(mode.name_at(3), "Neg Ref");
  EXPECT_FALSE(mode.name_at(4));
  EXPECT_FALSE(mode.name_at(std::numeric_limits<std::int32_t>::min()));
}

TEST(RangeSettings, CodesClampToTheRange) {
  const auto duration = range_setting::of(range_kind::deblock_duration);
  EXPECT_EQ(duration.clamp(-3), 0);
  EXPECT_EQ(duration.clamp(40000), 32767);
  EXPECT_EQ(duration.clamp(1000), 1000);
  // The odd maximum threshold is stored halved and reads back one less.
  const auto upper = range_setting::of(range_kind::upper_threshold);
  std::uint8_t rec[10] = {};
  upper.write(65535, rec);
  EXPECT_EQ(upper.read(rec), 65534);
}

}  // namespace
