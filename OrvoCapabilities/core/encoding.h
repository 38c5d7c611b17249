// Gain and filter encoding: the legal value lists generated from the gain,
// low-cut and high-cut descriptors, the encoders that turn a value code into
// switch and register bytes of a channel record and the decoders that read
// it back, and the texts of low-cut and high-cut values.
//
// Factors are f32 as stored; products and quotients are formed in double and
// rounded to the nearest integer with halves to even. A product that is not
// a finite number within the 32-bit range (only a damaged descriptor gives
// one) never enters a list, never wins a search and decodes as a failure.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/descriptors.h"

namespace orvo::caps {

// Ascending value codes without duplicates.
using value_list = std::vector<std::int32_t>;

// Bytes of the 9-byte channel record.
enum channel_byte : std::size_t {
  byte_gain_c = 0,
  byte_gain_b = 1,  // stage B one-hot in bits 0-6, stage D index in bit 7
  byte_gain_a = 2,
  byte_flags = 3,  // notch and filter sub-range select bits
  byte_high_cut = 4,
  byte_low_cut = 5,
  byte_input_mode = 6,
  byte_group = 7,
  byte_input_connections = 8,
  channel_record_size = 9
};
constexpr std::size_t amplifier_record_size = 10;

// The gain decoder's answer for bytes that do not select one stage each:
// E_FAIL's value as a signed 32-bit number.
constexpr std::int32_t gain_decode_failure = static_cast<std::int32_t>(0x80004005u);
// Codes below this are gain switch codes, not gains.
constexpr std::int32_t first_gain = 100;

// Nearest integer, halves to even; nullopt for NaN, infinities and values
// outside the 32-bit range.
std::optional<std::int32_t> round_even(double v);
// Inserts a code into an ascending list unless it is there.
void insert_unique(value_list& list, std::int32_t code);
// The listed value nearest to code: an exact match, else the smallest
// distance, the first entry on equal distances; code itself for an empty list.
std::int32_t nearest_listed(const value_list& list, std::int32_t code);

value_list gain_list(const TGainDescriptor& d);
// nullopt when the divisor is zero.
std::optional<value_list> low_cut_list(const TLowCutDescriptor& d);
value_list high_cut_list(const THighCutDescriptor& d);

// Stage indexes: A 0-7, B 0-6, C 0-7, D 0-1.
struct gain_stages {
  int a = 0, b = 0, c = 0, d = 0;
  bool operator==(const gain_stages& o) const { return a == o.a && b == o.b && c == o.c && d == o.d; }
};
std::optional<std::int32_t> gain_of(const TGainDescriptor& d, const gain_stages& s);
// The stage set of a switch code (code below 100): one stage closed, every
// other stage at index 0.
gain_stages gain_switch(std::int32_t code);
// The stage set nearest to a gain (code 100 or more) in search order, the
// last one searched winning among equal distances.
gain_stages gain_search(const TGainDescriptor& d, std::int32_t code);

// Always writes bytes 0 to 2 and returns code.
std::int32_t encode_gain(const TGainDescriptor& d, std::int32_t code, std::uint8_t* channel);
std::int32_t decode_gain(const TGainDescriptor& d, const std::uint8_t* channel);

// Return the nearest listed value; write the register bytes only when asked.
// The low-cut register is computed from the code given, the high-cut
// register from the nearest listed value.
std::int32_t encode_low_cut(const TLowCutDescriptor& d, const value_list& list, std::int32_t code,
                            std::uint8_t* channel, bool write);
std::int32_t decode_low_cut(const TLowCutDescriptor& d, const std::uint8_t* channel);
std::int32_t encode_high_cut(const THighCutDescriptor& d, const value_list& list, std::int32_t code,
                             std::uint8_t* channel, bool write);
std::int32_t decode_high_cut(const THighCutDescriptor& d, const std::uint8_t* channel);

// Texts. Low-cut codes are in 0.00001 Hz, high-cut codes in 0.001 Hz; the
// decimal point is always ".".
std::string format_low_cut(std::int32_t code);
std::string format_high_cut(std::int32_t code);
// A decimal integer with optional leading blanks and sign, nothing after;
// 0 for any other text and for numbers outside the 32-bit range.
std::int32_t parse_decimal(std::string_view text);
// Integer part times 100000 plus the first five decimals; saturates at the
// 32-bit limits.
std::int32_t low_cut_from_text(std::string_view text);
// A number of Hz times 1000, rounded halves to even, saturating; NaN gives 0.
std::int32_t high_cut_from_number(double hz);
// A plain decimal number with "." as its point, whatever the locale:
// optional blanks, an optional sign, digits with at most one point among
// them, optional blanks. Nothing for any other text (exponents, thousands
// separators, a comma as point).
std::optional<double> plain_decimal(std::string_view text);

}  // namespace orvo::caps
