// The binary descriptors of the capabilities store: their IDs, value names,
// byte layouts and the default set written at registration.
//
// A descriptor ID is 16 bits: the top four bits are the type nibble, the low
// twelve an index within the type. Every multi-byte field is little-endian
// and records are packed; the parse functions check the exact size and the
// serialise functions give the stored bytes, so these are the only code
// that knows the layouts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvo::caps {

using bytes = std::vector<std::uint8_t>;

// Type nibbles (ID >> 12).
enum descriptor_type : std::uint16_t {
  type_amplifier = 0x0,
  type_gain = 0x1,
  type_low_cut = 0x2,
  type_high_cut = 0x3,
  type_notch = 0x8,
  type_input_mode = 0x9,
  type_input_connections = 0xA,
  type_deblock_type = 0xB,
  type_impedance_resolution = 0xC,
};

constexpr unsigned type_of(std::uint16_t id) noexcept { return id >> 12; }
constexpr std::uint16_t make_id(unsigned type, std::uint16_t index) noexcept {
  return static_cast<std::uint16_t>(index | (type << 12));
}
constexpr bool is_lookup_type(unsigned type) noexcept {
  return type >= type_notch && type <= type_impedance_resolution;
}

// The registry value name of a descriptor: four upper-case hex digits.
std::string value_name(std::uint16_t id);

// Eight descriptor IDs, in the order an amplifier descriptor stores them.
enum amplifier_slot : int {
  slot_input_mode,
  slot_gain,
  slot_low_cut,
  slot_high_cut,
  slot_notch,
  slot_input_connections,
  slot_deblock_type,
  slot_impedance_resolution,
  slot_count
};
// The type each position must name.
constexpr std::array<unsigned, slot_count> slot_types = {type_input_mode,   type_gain,
                                                         type_low_cut,      type_high_cut,
                                                         type_notch,        type_input_connections,
                                                         type_deblock_type, type_impedance_resolution};

struct TAmplifierDescriptor {
  std::array<std::uint16_t, slot_count> ids{};
  static constexpr std::size_t size = 16;
};

struct TGainDescriptor {
  std::array<float, 8> A{};
  std::array<float, 7> B{};
  std::array<float, 8> C{};
  std::array<float, 2> D{};
  std::int32_t scale = 0;
  static constexpr std::size_t size = 104;
};

struct TFilterSubRange {
  float coefficient = 0;
  std::uint8_t mask = 0;
  std::int32_t start = 0;
  std::int32_t step = 0;
  static constexpr std::size_t size = 13;
};

// Values in units of 0.00001 Hz.
struct TLowCutDescriptor {
  std::array<TFilterSubRange, 3> ranges{};
  std::int32_t divisor = 1;
  static constexpr std::size_t size = 43;
};

// Values in units of 0.001 Hz.
struct THighCutDescriptor {
  std::array<TFilterSubRange, 2> ranges{};
  static constexpr std::size_t size = 26;
};

// A name of at most 20 single-byte characters (stored zero-padded, with no
// terminator when it fills the field) and a code.
struct TLookupEntry {
  std::string name;
  std::uint8_t code = 0;
  static constexpr std::size_t size = 21;
};
using TLookupEntryArray = std::vector<TLookupEntry>;

struct TLookupDescriptor {
  std::string name;
  TLookupEntryArray entries;
  static constexpr std::size_t head_size = 21;
};

constexpr std::size_t name_field = 20;

// Parsers: nullopt unless the bytes have exactly the record's size (for a
// lookup list: at least one entry and 21 + 21 x count bytes, count being
// byte 20).
std::optional<TAmplifierDescriptor> parse_amplifier(const bytes& b);
std::optional<TGainDescriptor> parse_gain(const bytes& b);
std::optional<TLowCutDescriptor> parse_low_cut(const bytes& b);
std::optional<THighCutDescriptor> parse_high_cut(const bytes& b);
std::optional<TLookupDescriptor> parse_lookup(const bytes& b);

bytes serialise(const TAmplifierDescriptor& d);
bytes serialise(const TGainDescriptor& d);
bytes serialise(const TLowCutDescriptor& d);
bytes serialise(const THighCutDescriptor& d);
// Names longer than 20 characters are cut; more than 255 entries are cut
// to 255 so that the stored count matches the stored entries.
bytes serialise(const TLookupDescriptor& d);

// The default descriptors written at registration.
namespace defaults {
TGainDescriptor gain();                    // 0x1000
TLowCutDescriptor low_cut(int variant);    // 0 -> 0x2000, 1 -> 0x2001, 2 -> 0x2002
THighCutDescriptor high_cut(int variant);  // 0 -> 0x3000, 1 -> 0x3001, 2 -> 0x3002
// "Input Mode": four entries, or six with the setup switch.
TLookupDescriptor input_mode(bool setup);
TLookupDescriptor notch(int hz);  // 50 -> 0x8000, 60 -> 0x8001
TLookupDescriptor input_connections();
TLookupDescriptor deblock_type();
TLookupDescriptor impedance_resolution();
// The six default amplifier models, as (amplifier ID, descriptor).
std::vector<std::pair<std::uint16_t, TAmplifierDescriptor>> amplifiers();

// Lists built into every amplifier object, never stored.
TLookupDescriptor deblock_state();
TLookupDescriptor impedance_state();
TLookupDescriptor highlight();
}  // namespace defaults

}  // namespace orvo::caps
