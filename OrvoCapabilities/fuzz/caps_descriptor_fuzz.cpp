// Descriptor bytes of every type, and the text parsers, against the store,
// the cache, the value lists and every setting's encoder and decoder.
//
// Input: byte 0 picks the descriptor type, byte 1 the setup switch, the rest
// is the value stored as descriptor 0x?0FF; the settings of the default
// model 0x0000 with that descriptor in its position are exercised (for the
// amplifier type, the value is an amplifier descriptor over the defaults).
#include <cstring>

#include "core/settings.h"
#include "tests/memory_source.h"

using namespace orvo::caps;

namespace {

const unsigned types[] = {type_amplifier,         type_gain,         type_low_cut,
                          type_high_cut,          type_notch,        type_input_mode,
                          type_input_connections, type_deblock_type, type_impedance_resolution};

std::int32_t code_at(const bytes& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | (at + i < b.size() ? b[at + i] : 0);
  return static_cast<std::int32_t>(v);
}

void exercise(const setting& s, const bytes& b, const std::string& text) {
  std::uint8_t record[amplifier_record_size] = {};
  if (!b.empty()) std::memcpy(record, b.data(), std::min(b.size(), sizeof record));
  for (std::size_t at = 0; at < 16; at += 4) {
    const std::int32_t code = code_at(b, at);
    s.nearest(code);
    s.write(code, record);
    s.read(record);
    s.text_of(code);
  }
  s.lookup(text);
  const std::int32_t n = s.count();
  for (std::int32_t i : {-1, 0, n / 2, n - 1, n}) {
    s.value_at(i);
    s.name_at(i);
  }
}

}  // namespace

// The default descriptors, loaded once: every run reuses their records and
// loads only the descriptor it is given.
struct defaults_loaded {
  test_support::memory_source source = test_support::default_source();
  TRangeCache cache;
  amplifier_records model;
  defaults_loaded() {
    TCapsRegistry registry(source, false);
    model = *load_amplifier(cache, registry, 0x0000);
  }
};

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static defaults_loaded base;
  if (size < 2) return 0;
  const unsigned type = types[data[0] % 9];
  const bool setup = data[1] & 1;
  const bytes value(data + 2, data + size);
  const std::string text(value.begin(), value.end());

  std::optional<amplifier_records> model;
  TRangeCache cache;
  if (type == type_amplifier) {
    // An amplifier descriptor over the defaults; it names only IDs that are
    // cached already or not stored, so the shared cache does not grow.
    base.source.values[0x00FF] = value;
    TCapsRegistry registry(base.source, false);
    model = load_amplifier(base.cache, registry, 0x00FF);
    base.source.values.erase(0x00FF);
  } else {
    test_support::memory_source source;
    const std::uint16_t id = make_id(type, 0x0FF);
    source.values[id] = value;
    TCapsRegistry registry(source, setup);
    if (cache.Load(id, registry)) {
      model = base.model;
      for (std::size_t slot = 0; slot < slot_count; ++slot)
        if (slot_types[slot] == type) model->records[slot] = cache.Find(id);
    }
  }
  if (model) {
    for (auto which : {channel_setting::input_mode, channel_setting::gain, channel_setting::low_cut,
                       channel_setting::high_cut, channel_setting::notch, channel_setting::input_connections})
      exercise(make_channel_setting(*model, which), value, text);
    for (auto which : {amplifier_setting::deblock_type, amplifier_setting::impedance_resolution})
      exercise(make_amplifier_setting(*model, which), value, text);
  }
  // A serialised record parses back to the same bytes.
  if (type == type_gain) {
    if (auto d = parse_gain(value)) {
      if (serialise(*d) != value) __builtin_trap();
    }
  } else if (is_lookup_type(type)) {
    if (auto d = parse_lookup(value)) {
      if (serialise(*d).size() != value.size()) __builtin_trap();
    }
  }

  // The text parsers and formatters.
  parse_decimal(text);
  const std::int32_t low = low_cut_from_text(text);
  // Every non-negative code has a text that reads back as the code.
  if (low >= 0 && low_cut_from_text(format_low_cut(low)) != low) __builtin_trap();
  // Every non-negative high-cut code has a text that reads back as the code.
  const std::int32_t high = code_at(value, 0);
  if (high >= 0 && high_cut_from_number(plain_decimal(format_high_cut(high)).value_or(-1)) != high) __builtin_trap();
  plain_decimal(text);
  double number;
  std::memcpy(&number, value.size() >= 8 ? value.data() : reinterpret_cast<const std::uint8_t*>("\0\0\0\0\0\0\0\0"),
              sizeof number);
  high_cut_from_number(number);
  normalise_name(text);
  return 0;
}
