#include "core/encoding.h"

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <limits>

namespace orvo::caps {
namespace {

constexpr double i32_min = std::numeric_limits<std::int32_t>::min();
constexpr double i32_max = std::numeric_limits<std::int32_t>::max();

std::int32_t saturate(std::int64_t v) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Position of the single set bit of b, or -1 when b has not exactly one.
int one_hot(unsigned b) {
  if (b == 0 || (b & (b - 1)) != 0) return -1;
  int n = 0;
  while (!(b & 1u)) {
    b >>= 1;
    ++n;
  }
  return n;
}

// A filter register for a frequency x in the sub-range's units:
// round(x * 256 * coefficient) when it fits in the register byte.
std::optional<std::uint8_t> filter_register(float x, const TFilterSubRange& s) {
  auto r = round_even(static_cast<double>(x) * 256.0 * static_cast<double>(s.coefficient));
  if (!r || *r < 0 || *r > 255) return std::nullopt;
  return static_cast<std::uint8_t>(*r);
}

// round(register / 256 / coefficient * unit), 0 when not a number in range.
std::int32_t filter_value(std::uint8_t reg, const TFilterSubRange& s, double unit) {
  auto v = round_even(static_cast<double>(reg) / 256.0 / static_cast<double>(s.coefficient) * unit);
  return v ? *v : 0;
}

// Integer part, then "." and the remainder with `digits` digits when the
// remainder is positive, trailing zeros removed.
std::string format_fixed(std::int32_t code, std::int32_t unit, int digits) {
  std::string text = std::to_string(code / unit);
  const std::int32_t rest = code % unit;
  if (rest > 0) {
    std::string frac = std::to_string(rest);
    frac.insert(0, static_cast<std::size_t>(digits) - frac.size(), '0');
    while (frac.back() == '0') frac.pop_back();
    text += '.';
    text += frac;
  }
  return text;
}

}  // namespace

std::optional<std::int32_t> round_even(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  // The default rounding mode rounds halves to even.
  const double r = std::nearbyint(v);
  if (r < i32_min || r > i32_max) return std::nullopt;
  return static_cast<std::int32_t>(r);
}

void insert_unique(value_list& list, std::int32_t code) {
  auto at = std::lower_bound(list.begin(), list.end(), code);
  if (at == list.end() || *at != code) list.insert(at, code);
}

std::int32_t nearest_listed(const value_list& list, std::int32_t code) {
  std::int32_t best = code;
  std::int64_t best_distance = std::numeric_limits<std::int64_t>::max();
  for (std::int32_t v : list) {
    if (v == code) return v;
    const std::int64_t distance = std::llabs(static_cast<std::int64_t>(v) - code);
    if (distance < best_distance) {
      best_distance = distance;
      best = v;
    }
  }
  return best;
}

std::optional<std::int32_t> gain_of(const TGainDescriptor& d, const gain_stages& s) {
  return round_even(static_cast<double>(d.A[static_cast<std::size_t>(s.a)]) * d.B[static_cast<std::size_t>(s.b)] *
                    d.C[static_cast<std::size_t>(s.c)] * d.D[static_cast<std::size_t>(s.d)] * d.scale);
}

value_list gain_list(const TGainDescriptor& d) {
  value_list list;
  list.reserve(20);
  for (int dd = 0; dd < 2; ++dd)
    for (int b = 0; b < 7; ++b)
      for (int a = 0; a < 8; ++a)
        for (int c = 0; c < 8; ++c) {
          const double A = d.A[static_cast<std::size_t>(a)], B = d.B[static_cast<std::size_t>(b)],
                       C = d.C[static_cast<std::size_t>(c)];
          if (3.0 * A / (2.0 * B * C) < 0.04 || A / B < 0.4) continue;
          if (auto g = gain_of(d, {a, b, c, dd})) insert_unique(list, *g);
        }
  return list;
}

std::optional<value_list> low_cut_list(const TLowCutDescriptor& d) {
  if (d.divisor == 0) return std::nullopt;
  value_list list;
  list.reserve(20);
  for (std::int64_t k = 0; k <= 250; ++k)
    for (const auto& s : d.ranges) {
      const std::int64_t v = (s.start + k * s.step) / d.divisor;
      if (v >= i32_min && v <= i32_max) insert_unique(list, static_cast<std::int32_t>(v));
    }
  return list;
}

value_list high_cut_list(const THighCutDescriptor& d) {
  value_list list;
  list.reserve(20);
  for (std::int64_t k = 0; k <= 249; ++k)
    for (const auto& s : d.ranges) {
      const std::int64_t v = s.start + k * s.step;
      if (v >= i32_min && v <= i32_max) insert_unique(list, static_cast<std::int32_t>(v));
    }
  return list;
}

gain_stages gain_switch(std::int32_t code) {
  gain_stages s;
  switch (code) {
    case 1:
      s.d = 1;
      break;
    case 3:
      s.a = 1;
      break;
    case 4:
      s.c = 1;
      break;
    case 5:
      s.c = 2;
      break;
    case 6:
      s.a = 2;
      break;
    case 7:
      s.b = 1;
      break;
    case 8:
      s.a = 3;
      break;
    case 9:
      s.c = 3;
      break;
    case 10:
      s.b = 2;
      break;
    case 11:
      s.a = 4;
      break;
    case 12:
      s.c = 4;
      break;
    case 13:
      s.a = 5;
      break;
    case 14:
      s.c = 5;
      break;
    case 15:
      s.b = 3;
      break;
    case 16:
      s.a = 6;
      break;
    case 17:
      s.a = 7;
      break;
    case 18:
      s.b = 4;
      break;
    case 19:
      s.c = 6;
      break;
    case 20:
      s.b = 5;
      break;
    case 21:
      s.c = 7;
      break;
    case 22:
      s.b = 6;
      break;
    default:
      break;  // 0, 2, negative, 23 to 99: every stage at index 0
  }
  return s;
}

gain_stages gain_search(const TGainDescriptor& d, std::int32_t code) {
  gain_stages best;
  double best_distance = std::numeric_limits<double>::infinity();
  for (int a = 0; a < 8; ++a)
    for (int b = 0; b < 7; ++b) {
      if (static_cast<double>(d.A[static_cast<std::size_t>(a)]) / d.B[static_cast<std::size_t>(b)] < 0.4) continue;
      for (int dd = 0; dd < 2; ++dd)
        for (int c = 0; c < 8; ++c) {
          const gain_stages s{a, b, c, dd};
          auto g = gain_of(d, s);
          if (!g) continue;
          const double distance = std::fabs(static_cast<double>(code) - *g);
          if (distance <= best_distance) {
            best_distance = distance;
            best = s;
          }
        }
    }
  return best;
}

std::int32_t encode_gain(const TGainDescriptor& d, std::int32_t code, std::uint8_t* channel) {
  const gain_stages s = code < first_gain ? gain_switch(code) : gain_search(d, code);
  channel[byte_gain_a] = static_cast<std::uint8_t>(1u << s.a);
  channel[byte_gain_b] = static_cast<std::uint8_t>((1u << s.b) | (static_cast<unsigned>(s.d) << 7));
  channel[byte_gain_c] = static_cast<std::uint8_t>(1u << s.c);
  return code;
}

std::int32_t decode_gain(const TGainDescriptor& d, const std::uint8_t* channel) {
  gain_stages s;
  s.d = channel[byte_gain_b] >> 7;
  s.a = one_hot(channel[byte_gain_a]);
  s.b = one_hot(channel[byte_gain_b] & 0x7Fu);
  s.c = one_hot(channel[byte_gain_c]);
  if (s.a < 0 || s.b < 0 || s.c < 0) return gain_decode_failure;
  auto g = gain_of(d, s);
  return g ? *g : gain_decode_failure;
}

std::int32_t encode_low_cut(const TLowCutDescriptor& d, const value_list& list, std::int32_t code,
                            std::uint8_t* channel, bool write) {
  if (write) {
    const float x = static_cast<float>(code / 100000.0);
    channel[byte_flags] &= static_cast<std::uint8_t>(~(d.ranges[0].mask | d.ranges[1].mask | d.ranges[2].mask));
    for (const auto& s : d.ranges)
      if (auto r = filter_register(x, s)) {
        channel[byte_low_cut] = *r;
        channel[byte_flags] |= s.mask;
        break;
      }
  }
  return nearest_listed(list, code);
}

std::int32_t decode_low_cut(const TLowCutDescriptor& d, const std::uint8_t* channel) {
  const std::uint8_t m = channel[byte_flags] & (d.ranges[0].mask | d.ranges[1].mask | d.ranges[2].mask);
  for (const auto& s : d.ranges)
    if (s.mask == m) return filter_value(channel[byte_low_cut], s, 100000.0);
  return 0;
}

std::int32_t encode_high_cut(const THighCutDescriptor& d, const value_list& list, std::int32_t code,
                             std::uint8_t* channel, bool write) {
  const std::int32_t n = nearest_listed(list, code);
  if (write) {
    const float x = static_cast<float>(n / 1000.0);
    channel[byte_flags] &= static_cast<std::uint8_t>(~(d.ranges[0].mask | d.ranges[1].mask));
    if (auto r0 = filter_register(x, d.ranges[0])) {
      channel[byte_high_cut] = *r0;
      channel[byte_flags] |= d.ranges[0].mask;
    } else {
      // Sub-range 1 takes every frequency sub-range 0 cannot hold.
      if (auto r1 = round_even(static_cast<double>(x) * 256.0 * static_cast<double>(d.ranges[1].coefficient)))
        channel[byte_high_cut] = static_cast<std::uint8_t>(*r1);
      channel[byte_flags] |= d.ranges[1].mask;
    }
  }
  return n;
}

std::int32_t decode_high_cut(const THighCutDescriptor& d, const std::uint8_t* channel) {
  const std::uint8_t m = channel[byte_flags] & (d.ranges[0].mask | d.ranges[1].mask);
  for (const auto& s : d.ranges)
    if (s.mask == m) return filter_value(channel[byte_high_cut], s, 1000.0);
  return 0;
}

std::string format_low_cut(std::int32_t code) { return format_fixed(code, 100000, 5); }
std::string format_high_cut(std::int32_t code) { return format_fixed(code, 1000, 3); }

std::int32_t parse_decimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return 0;
  std::int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    v = v * 10 + (text[i] - '0');
    if (v > std::int64_t{1} << 31) return 0;
  }
  if (negative) v = -v;
  return v < i32_min || v > i32_max ? 0 : static_cast<std::int32_t>(v);
}

std::int32_t low_cut_from_text(std::string_view text) {
  const std::size_t point = text.find('.');
  std::int64_t code = std::int64_t{parse_decimal(text.substr(0, point))} * 100000;
  if (point != std::string_view::npos) {
    std::string frac(text.substr(point + 1, 5));
    frac.resize(5, '0');
    code += parse_decimal(frac);
  }
  return saturate(code);
}

std::int32_t high_cut_from_number(double hz) {
  const double v = hz * 1000.0;
  if (std::isnan(v)) return 0;
  if (v <= i32_min) return std::numeric_limits<std::int32_t>::min();
  if (v >= i32_max) return std::numeric_limits<std::int32_t>::max();
  return *round_even(v);
}

std::optional<double> plain_decimal(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Up to 18 significant digits are kept exactly; later ones only move the
  // decimal exponent (before the point) or are dropped (after it).
  std::uint64_t digits = 0;
  int kept = 0, exponent = 0, seen = 0;
  bool point = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    ++seen;
    if (kept < 18) {
      digits = digits * 10 + static_cast<unsigned>(c - '0');
      if (digits != 0) ++kept;
      if (point) --exponent;
    } else if (!point) {
      ++exponent;
    }
  }
  if (seen == 0) return std::nullopt;
  // With up to 15 significant digits and 22 decimals both operands are
  // exact, so the one division gives the nearest double to the text.
  double power = 1;
  for (int i = 0; i < std::abs(exponent); ++i) power *= 10;
  const double value = exponent < 0 ? static_cast<double>(digits) / power : static_cast<double>(digits) * power;
  return negative ? -value : value;
}

}  // namespace orvo::caps
