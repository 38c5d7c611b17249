#include "core/fresh_amplifier.h"

#include "core/amplifier_memory_collection.h"
#include "core/settings.h"
#include "core/state_string.h"
#include "tests/memory_source.h"

namespace stand_in {
namespace {
using namespace orvo::caps;

void write_first(const setting& s, std::uint8_t* record) { s.write(s.nearest(s.value_at(0)), record); }
}  // namespace

orvo::impl::TMemory fresh_image(const amplifier_records& model) {
  using orvo::impl::TMemory;
  TMemory image;
  std::uint8_t* bytes = image.Data();
  for (std::size_t channel = 0; channel < TMemory::ChannelCount; ++channel) {
    std::uint8_t* record = bytes + channel * TMemory::ChannelRecordSize;
    for (const auto which : {channel_setting::input_mode, channel_setting::gain, channel_setting::low_cut,
                             channel_setting::high_cut, channel_setting::notch, channel_setting::input_connections})
      write_first(make_channel_setting(model, which), record);
  }
  std::uint8_t* amplifier = bytes + TMemory::AmplifierRecordOffset;
  for (const auto which : {amplifier_setting::deblock_type, amplifier_setting::impedance_resolution})
    write_first(make_amplifier_setting(model, which), amplifier);
  return image;
}

std::string fresh_state_string() {
  // The default descriptors, held in memory.
  test_support::memory_source source = test_support::default_source();
  TCapsRegistry registry(source, false);
  TRangeCache cache;
  // The defaults always describe model 0.
  const auto model = load_amplifier(cache, registry, 0);
  orvo::impl::TAmplifierMemoryCollection images;
  images.Add(0, 0, fresh_image(*model));
  return orvo::impl::WriteStateString(images);
}

}  // namespace stand_in
