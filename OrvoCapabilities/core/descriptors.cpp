#include "core/descriptors.h"

#include <algorithm>
#include <cstring>

namespace orvo::caps {
namespace {

// Little-endian field access over a byte vector.
class reader {
 public:
  explicit reader(const bytes& b) : m_b(b) {}
  std::uint8_t u8() { return m_b[m_at++]; }
  std::uint16_t u16() {
    std::uint16_t v = static_cast<std::uint16_t>(m_b[m_at] | (m_b[m_at + 1] << 8));
    m_at += 2;
    return v;
  }
  std::uint32_t u32() {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | m_b[m_at + static_cast<std::size_t>(i)];
    m_at += 4;
    return v;
  }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  float f32() {
    std::uint32_t bits = u32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }
  std::string name() {
    const char* p = reinterpret_cast<const char*>(m_b.data() + m_at);
    std::size_t n = 0;
    while (n < name_field && p[n] != 0) ++n;
    m_at += name_field;
    return std::string(p, n);
  }

 private:
  const bytes& m_b;
  std::size_t m_at = 0;
};

class writer {
 public:
  void u8(std::uint8_t v) { m_b.push_back(v); }
  void u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v));
    u8(static_cast<std::uint8_t>(v >> 8));
  }
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) u8(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void f32(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    u32(bits);
  }
  void name(const std::string& s) {
    for (std::size_t i = 0; i < name_field; ++i) u8(i < s.size() ? static_cast<std::uint8_t>(s[i]) : 0);
  }
  bytes take() { return std::move(m_b); }

 private:
  bytes m_b;
};

TFilterSubRange read_range(reader& r) {
  TFilterSubRange s;
  s.coefficient = r.f32();
  s.mask = r.u8();
  s.start = r.i32();
  s.step = r.i32();
  return s;
}

void write_range(writer& w, const TFilterSubRange& s) {
  w.f32(s.coefficient);
  w.u8(s.mask);
  w.i32(s.start);
  w.i32(s.step);
}

template <class Array>
void read_floats(reader& r, Array& a) {
  for (auto& f : a) f = r.f32();
}
template <class Array>
void write_floats(writer& w, const Array& a) {
  for (float f : a) w.f32(f);
}

TLookupDescriptor list(const char* name, std::initializer_list<TLookupEntry> entries) {
  return TLookupDescriptor{name, TLookupEntryArray(entries)};
}

TLowCutDescriptor low_cut_of(std::array<TFilterSubRange, 3> ranges, std::int32_t divisor) {
  TLowCutDescriptor d;
  d.ranges = ranges;
  d.divisor = divisor;
  return d;
}

}  // namespace

std::string value_name(std::uint16_t id) {
  static const char hex[] = "0123456789ABCDEF";
  std::string s(4, '0');
  for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(3 - i)] = hex[(id >> (4 * i)) & 15];
  return s;
}

std::optional<TAmplifierDescriptor> parse_amplifier(const bytes& b) {
  if (b.size() != TAmplifierDescriptor::size) return std::nullopt;
  reader r(b);
  TAmplifierDescriptor d;
  for (auto& id : d.ids) id = r.u16();
  return d;
}

std::optional<TGainDescriptor> parse_gain(const bytes& b) {
  if (b.size() != TGainDescriptor::size) return std::nullopt;
  reader r(b);
  TGainDescriptor d;
  read_floats(r, d.A);
  read_floats(r, d.B);
  read_floats(r, d.C);
  read_floats(r, d.D);
  d.scale = r.i32();
  return d;
}

std::optional<TLowCutDescriptor> parse_low_cut(const bytes& b) {
  if (b.size() != TLowCutDescriptor::size) return std::nullopt;
  reader r(b);
  TLowCutDescriptor d;
  for (auto& s : d.ranges) s = read_range(r);
  d.divisor = r.i32();
  return d;
}

std::optional<THighCutDescriptor> parse_high_cut(const bytes& b) {
  if (b.size() != THighCutDescriptor::size) return std::nullopt;
  reader r(b);
  THighCutDescriptor d;
  for (auto& s : d.ranges) s = read_range(r);
  return d;
}

std::optional<TLookupDescriptor> parse_lookup(const bytes& b) {
  if (b.size() < TLookupDescriptor::head_size + TLookupEntry::size) return std::nullopt;
  const std::size_t count = b[name_field];
  if (b.size() != TLookupDescriptor::head_size + TLookupEntry::size * count) return std::nullopt;
  reader r(b);
  TLookupDescriptor d;
  d.name = r.name();
  r.u8();
  d.entries.resize(count);
  for (auto& e : d.entries) {
    e.name = r.name();
    e.code = r.u8();
  }
  return d;
}

bytes serialise(const TAmplifierDescriptor& d) {
  writer w;
  for (auto id : d.ids) w.u16(id);
  return w.take();
}

bytes serialise(const TGainDescriptor& d) {
  writer w;
  write_floats(w, d.A);
  write_floats(w, d.B);
  write_floats(w, d.C);
  write_floats(w, d.D);
  w.i32(d.scale);
  return w.take();
}

bytes serialise(const TLowCutDescriptor& d) {
  writer w;
  for (const auto& s : d.ranges) write_range(w, s);
  w.i32(d.divisor);
  return w.take();
}

bytes serialise(const THighCutDescriptor& d) {
  writer w;
  for (const auto& s : d.ranges) write_range(w, s);
  return w.take();
}

bytes serialise(const TLookupDescriptor& d) {
  const std::size_t count = std::min<std::size_t>(d.entries.size(), 255);
  writer w;
  w.name(d.name);
  w.u8(static_cast<std::uint8_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    w.name(d.entries[i].name);
    w.u8(d.entries[i].code);
  }
  return w.take();
}

namespace defaults {

TGainDescriptor gain() {
  TGainDescriptor d;
  d.A = {1.0f, 1.5f, 2.0f, 3.0f, 6.0f, 10.0f, 15.0f, 20.0f};
  d.B = {1.0f, 2.5f, 5.0f, 10.0f, 20.0f, 25.0f, 33.3333321f};
  d.C = {1.0f, 1.5f, 2.0f, 3.0f, 6.0f, 10.0f, 20.0f, 30.0f};
  d.D = {1.0f, 0.5f};
  d.scale = 200;
  return d;
}

TLowCutDescriptor low_cut(int variant) {
  if (variant == 2)
    return low_cut_of({TFilterSubRange{3.12116003f, 0x00, 500, 125}, TFilterSubRange{0.0781296492f, 0x28, 20000, 5000},
                       TFilterSubRange{0.00780503312f, 0x50, 200000, 50000}},
                      1);
  return low_cut_of(
      {TFilterSubRange{0.312869608f, 0x00, 5000, 1250}, TFilterSubRange{0.0157260001f, 0x28, 100000, 25000},
       TFilterSubRange{0.00392562803f, 0x50, 400000, 100000}},
      variant == 1 ? 10 : 1);
}

THighCutDescriptor high_cut(int variant) {
  THighCutDescriptor d;
  switch (variant) {
    case 1:
      d.ranges = {TFilterSubRange{0.0778720006f, 0x00, 4000, 1000}, TFilterSubRange{0.00393433822f, 0x82, 200, 50}};
      break;
    case 2:
      d.ranges = {TFilterSubRange{0.00778720016f, 0x00, 40000, 10000},
                  TFilterSubRange{0.000393433846f, 0x82, 2000, 500}};
      break;
    default:
      d.ranges = {TFilterSubRange{0.000778720016f, 0x00, 400000, 100000},
                  TFilterSubRange{0.0000393433838f, 0x82, 20000, 5000}};
  }
  return d;
}

TLookupDescriptor input_mode(bool setup) {
  auto d = list("Input Mode", {{"Off", 68}, {"On", 34}, {"Pos Ref", 35}, {"Neg Ref", 50}});
  if (setup) {
    d.entries.push_back({"Pos SFC", 70});
    d.entries.push_back({"Neg SFC", 100});
  }
  return d;
}

TLookupDescriptor notch(int hz) { return list(hz == 60 ? "60Hz Notch" : "50Hz Notch", {{"Out", 0}, {"In", 5}}); }
TLookupDescriptor input_connections() {
  return list("Input Connections", {{"None", 0}, {"Pos", 1}, {"Neg", 2}, {"Both", 3}});
}
TLookupDescriptor deblock_type() { return list("Deblock Type", {{"Manual", 0}, {"Timed", 1}}); }
TLookupDescriptor impedance_resolution() {
  return list("Impedance Resolution", {{"200", 1}, {"400", 2}, {"800", 4}, {"1600", 8}});
}

std::vector<std::pair<std::uint16_t, TAmplifierDescriptor>> amplifiers() {
  // Input mode, gain, low-cut, high-cut, notch, connections, deblock type,
  // impedance resolution.
  auto model = [](std::uint16_t low_cut, std::uint16_t high_cut, std::uint16_t notch) {
    return TAmplifierDescriptor{{0x9000, 0x1000, low_cut, high_cut, notch, 0xA000, 0xB000, 0xC000}};
  };
  return {{0x0000, model(0x2000, 0x3000, 0x8000)}, {0x0001, model(0x2000, 0x3000, 0x8001)},
          {0x000A, model(0x2002, 0x3000, 0x8000)}, {0x000B, model(0x2002, 0x3000, 0x8001)},
          {0x0014, model(0x2000, 0x3001, 0x8000)}, {0x001E, model(0x2000, 0x3002, 0x8000)}};
}

TLookupDescriptor deblock_state() { return list("Deblock State", {{"Reset", 0}, {"Set", 1}}); }
TLookupDescriptor impedance_state() { return list("Impedance State", {{"Off", 0}, {"On", 1}}); }
TLookupDescriptor highlight() { return list("Highlight", {{"Off", 0}, {"On", 1}}); }

}  // namespace defaults
}  // namespace orvo::caps
