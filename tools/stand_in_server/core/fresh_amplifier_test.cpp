// A fresh amplifier's image holds legal values of its model that the state
// model reads and writes back unchanged.
#include <gtest/gtest.h>

#include <optional>

#include "core/fresh_amplifier.h"
#include "core/settings.h"
#include "core/state_string.h"
#include "tests/memory_source.h"

using namespace orvo::caps;
using orvo::impl::TMemory;
using stand_in::fresh_image;

namespace {

// The capabilities library's default models.
class FreshAmplifier : public ::testing::Test {
 protected:
  test_support::memory_source source = test_support::default_source();
  TCapsRegistry registry{source, false};
  TRangeCache cache;
  amplifier_records model(std::uint16_t id) { return *load_amplifier(cache, registry, id); }
};

// What the state model does with one setting of a record when it reads an
// image and writes it out again: the value shown, then the bytes written.
std::optional<std::string> shown_and_rewritten(const setting& s, std::uint8_t* record) {
  const std::int32_t code = s.nearest(s.read(record));
  s.write(s.nearest(code), record);
  if (s.generated()) {
    for (std::int32_t i = 0; i < s.count(); ++i)
      if (s.value_at(i) == code) return s.text_of(code);
    return std::nullopt;
  }
  return s.text_of(code);
}

TEST_F(FreshAmplifier, EverySettingOfEveryDefaultModelShowsAListedTextAndIsWrittenBackUnchanged) {
  for (const std::uint16_t id : {0x0000, 0x0001, 0x000A, 0x000B, 0x0014, 0x001E}) {
    SCOPED_TRACE(id);
    const auto model = load_amplifier(cache, registry, id);
    ASSERT_TRUE(model);
    const TMemory fresh = fresh_image(*model);
    TMemory again = fresh;
    for (std::size_t channel = 0; channel < TMemory::ChannelCount; ++channel) {
      std::uint8_t* record = again.Data() + channel * TMemory::ChannelRecordSize;
      for (const auto which : {channel_setting::input_mode, channel_setting::gain, channel_setting::low_cut,
                               channel_setting::high_cut, channel_setting::notch, channel_setting::input_connections})
        EXPECT_TRUE(shown_and_rewritten(make_channel_setting(*model, which), record)) << static_cast<int>(which);
    }
    std::uint8_t* amplifier = again.Data() + TMemory::AmplifierRecordOffset;
    for (const auto which : {amplifier_setting::deblock_type, amplifier_setting::impedance_resolution})
      EXPECT_TRUE(shown_and_rewritten(make_amplifier_setting(*model, which), amplifier));
    TMemory::NormaliseNotch(again.Data());
    EXPECT_EQ(again.Bytes(), fresh.Bytes());
  }
}

TEST_F(FreshAmplifier, ChannelsAreOffAtTheLowestGainAndFiltersOfModelZero) {
  const auto model = this->model(0x0000);
  const TMemory fresh = fresh_image(model);
  const std::uint8_t* channel = fresh.Data() + 7 * TMemory::ChannelRecordSize;
  auto shown = [&](channel_setting which) {
    const auto s = make_channel_setting(model, which);
    return s.text_of(s.nearest(s.read(channel))).value_or("<none>");
  };
  EXPECT_EQ(shown(channel_setting::input_mode), "Off");
  EXPECT_EQ(shown(channel_setting::gain), "100");
  EXPECT_EQ(shown(channel_setting::low_cut), "0.05");
  EXPECT_EQ(shown(channel_setting::high_cut), "20");
  EXPECT_EQ(shown(channel_setting::notch), "Out");
  EXPECT_EQ(shown(channel_setting::input_connections), "None");
}

TEST_F(FreshAmplifier, TheStateStringHoldsOneAmplifierOfModelZeroWithThatImage) {
  orvo::impl::TStateContent content;
  ASSERT_TRUE(orvo::impl::ReadStateString(std::string_view(stand_in::fresh_state_string()), content));
  ASSERT_EQ(content.Amplifiers.Count(), 1u);
  EXPECT_EQ(content.Amplifiers.Item(0).AmplifierID(), 0u);
  EXPECT_EQ(content.Amplifiers.Item(0).Bytes(), fresh_image(model(0x0000)).Bytes());
}

}  // namespace
