#include "core/settings.h"

#include <cmath>

namespace orvo::caps {
namespace {
// Channel byte 3 bits that belong to the notch.
constexpr std::uint8_t notch_bits = 0x05;

std::string upper(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::uint16_t u16_at(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
void put_u16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

// Amplifier record bytes.
constexpr std::size_t amp_lower_threshold = 0, amp_upper_threshold = 2, amp_impedance_resolution = 4,
                      amp_deblock_duration = 5, amp_deblock_type = 7, amp_serial_no = 8;
}  // namespace

std::string normalise_name(std::string_view text) {
  std::size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return upper(text.substr(first, last - first));
}

setting::setting(const TRangeRecord& record, std::string caption, coder how, std::size_t byte,
                 std::shared_ptr<const TRangeRecord> keep)
    : m_record(&record), m_keep(std::move(keep)), m_caption(std::move(caption)), m_coder(how), m_byte(byte) {}

std::int32_t setting::encode(std::int32_t code, std::uint8_t* record, bool write) const {
  const auto& r = *m_record;
  switch (m_coder) {
    case coder::none:
      return code;
    case coder::gain:
      return encode_gain(r.gain, code, record);
    case coder::low_cut:
      return encode_low_cut(r.low_cut, r.values, code, record, write);
    case coder::high_cut:
      return encode_high_cut(r.high_cut, r.values, code, record, write);
    case coder::notch:
      // Only the notch bits change: the other bits of byte 3 select filter
      // sub-ranges.
      if (write)
        record[byte_flags] = static_cast<std::uint8_t>((record[byte_flags] & ~notch_bits) |
                                                       (static_cast<std::uint8_t>(code) & notch_bits));
      return code;
    case coder::channel_byte:
    case coder::amplifier_byte:
      if (write) record[m_byte] = static_cast<std::uint8_t>(code);
      return code;
  }
  return code;
}

std::int32_t setting::nearest(std::int32_t code) const {
  std::uint8_t scratch[amplifier_record_size] = {};
  return encode(code, scratch, false);
}

void setting::write(std::int32_t code, std::uint8_t* record) const {
  if (record) encode(code, record, true);
}

std::int32_t setting::read(const std::uint8_t* record) const {
  if (!record) return 0;
  const auto& r = *m_record;
  switch (m_coder) {
    case coder::none:
      return 0;
    case coder::gain:
      return decode_gain(r.gain, record);
    case coder::low_cut:
      return decode_low_cut(r.low_cut, record);
    case coder::high_cut:
      return decode_high_cut(r.high_cut, record);
    case coder::notch:
      return record[byte_flags] & notch_bits;
    case coder::channel_byte:
    case coder::amplifier_byte:
      return record[m_byte];
  }
  return 0;
}

std::string setting::format(std::int32_t code) const {
  switch (m_record->type()) {
    case type_low_cut:
      return format_low_cut(code);
    case type_high_cut:
      return format_high_cut(code);
    default:
      return std::to_string(code);
  }
}

std::optional<std::string> setting::text_of(std::int32_t code) const {
  if (generated()) return format(code);
  for (const auto& e : m_record->list.entries)
    if (e.code == code) return e.name;
  return std::nullopt;
}

std::int32_t setting::lookup(std::string_view text) const {
  const std::string wanted = normalise_name(text);
  for (const auto& e : m_record->list.entries)
    if (upper(e.name) == wanted) return e.code;
  return -1;
}

std::int32_t setting::value_at(std::int32_t index) const {
  if (index < 0 || index >= count()) return -1;
  const auto i = static_cast<std::size_t>(index);
  return generated() ? m_record->values[i] : m_record->list.entries[i].code;
}

std::optional<std::string> setting::name_at(std::int32_t index) const {
  if (index < 0 || index >= count()) return std::nullopt;
  const auto i = static_cast<std::size_t>(index);
  return generated() ? format(m_record->values[i]) : m_record->list.entries[i].name;
}

setting make_channel_setting(const amplifier_records& model, channel_setting which) {
  auto rec = [&](amplifier_slot slot) -> const TRangeRecord& { return *model.records[slot]; };
  switch (which) {
    case channel_setting::input_mode:
      return setting(rec(slot_input_mode), rec(slot_input_mode).list.name, coder::channel_byte, byte_input_mode);
    case channel_setting::gain:
      return setting(rec(slot_gain), "Gain", coder::gain);
    case channel_setting::low_cut:
      return setting(rec(slot_low_cut), "LowCut (Hz)", coder::low_cut);
    case channel_setting::high_cut:
      return setting(rec(slot_high_cut), "HighCut (Hz)", coder::high_cut);
    case channel_setting::notch:
      return setting(rec(slot_notch), rec(slot_notch).list.name, coder::notch);
    case channel_setting::input_connections:
      break;
  }
  const auto& connections = rec(slot_input_connections);
  return setting(connections, connections.list.name, coder::channel_byte, byte_input_connections);
}

setting make_amplifier_setting(const amplifier_records& model, amplifier_setting which,
                               std::shared_ptr<const TRangeRecord> built_in) {
  switch (which) {
    case amplifier_setting::deblock_type: {
      const auto& r = *model.records[slot_deblock_type];
      return setting(r, r.list.name, coder::amplifier_byte, amp_deblock_type);
    }
    case amplifier_setting::impedance_resolution: {
      const auto& r = *model.records[slot_impedance_resolution];
      return setting(r, r.list.name, coder::amplifier_byte, amp_impedance_resolution);
    }
    default: {
      const TRangeRecord& r = *built_in;
      return setting(r, r.list.name, coder::none, 0, std::move(built_in));
    }
  }
}

range_setting range_setting::of(range_kind kind) {
  switch (kind) {
    case range_kind::channel_group:
      return {kind, "Group", 0, 255, 17};
    case range_kind::deblock_duration:
      return {kind, "Deblock Duration (ms)", 0, 32767, 2};
    case range_kind::lower_threshold:
      return {kind, "Lower Threshold", 0, 65535, 2};
    case range_kind::upper_threshold:
      return {kind, "Upper Threshold", 0, 65535, 2};
    case range_kind::serial_no:
      break;
  }
  return {range_kind::serial_no, "Serial No", 0, 255, 2};
}

std::int32_t range_setting::clamp(std::int32_t code) const noexcept {
  return code < min ? min : code > max ? max : code;
}

void range_setting::write(std::int32_t code, std::uint8_t* record) const noexcept {
  if (!record) return;
  const auto v = static_cast<std::uint32_t>(code);
  switch (kind) {
    case range_kind::channel_group:
      record[byte_group] = static_cast<std::uint8_t>(v);
      break;
    case range_kind::deblock_duration:
      put_u16(record + amp_deblock_duration, v & 0xFFFFu);
      break;
    case range_kind::lower_threshold:
      put_u16(record + amp_lower_threshold, (v & 0xFFFFu) >> 1);
      break;
    case range_kind::upper_threshold:
      put_u16(record + amp_upper_threshold, (v & 0xFFFFu) >> 1);
      break;
    case range_kind::serial_no:
      record[amp_serial_no] = static_cast<std::uint8_t>(v);
      break;
  }
}

std::int32_t range_setting::read(const std::uint8_t* record) const noexcept {
  if (!record) return 0;
  switch (kind) {
    case range_kind::channel_group:
      return record[byte_group];
    case range_kind::deblock_duration:
      return u16_at(record + amp_deblock_duration);
    case range_kind::lower_threshold:
      return u16_at(record + amp_lower_threshold) * 2;
    case range_kind::upper_threshold:
      return u16_at(record + amp_upper_threshold) * 2;
    case range_kind::serial_no:
      return record[amp_serial_no];
  }
  return 0;
}

}  // namespace orvo::caps
