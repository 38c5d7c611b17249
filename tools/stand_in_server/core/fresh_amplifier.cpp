#include "core/fresh_amplifier.h"

#include <map>

#include "core/amplifier_memory_collection.h"
#include "core/settings.h"
#include "core/state_string.h"

namespace stand_in {
namespace {
using namespace orvo::caps;

// The default descriptors, held in memory.
class default_descriptors final : public descriptor_source {
 public:
  default_descriptors() {
    TCapsRegistry registry(*this, false);
    write_defaults(registry, false);
  }
  std::optional<bytes> read(std::uint16_t id) override {
    const auto found = m_values.find(id);
    if (found == m_values.end()) return std::nullopt;
    return found->second;
  }
  void write(std::uint16_t id, const bytes& value) override { m_values[id] = value; }
  void remove_all() override { m_values.clear(); }

 private:
  std::map<std::uint16_t, bytes> m_values;
};

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
  default_descriptors source;
  TCapsRegistry registry(source, false);
  TRangeCache cache;
  // The defaults always describe model 0.
  const auto model = load_amplifier(cache, registry, 0);
  orvo::impl::TAmplifierMemoryCollection images;
  images.Add(0, 0, fresh_image(*model));
  return orvo::impl::WriteStateString(images);
}

}  // namespace stand_in
