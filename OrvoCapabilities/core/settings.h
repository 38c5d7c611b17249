// What each setting of an amplifier model does, without VARIANTs: its
// caption, its legal values, the conversion between codes and texts, and
// the bytes it reads and writes in a channel record or the amplifier record.
//
// `setting` stands on a cached record (lookup list or generated values);
// `range_setting` is a plain numeric range with fixed bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/store.h"

namespace orvo::caps {

// How a setting turns its code into record bytes.
enum class coder {
  none,            // built-in lists: nothing written, 0 read
  gain,            // channel bytes 0-2
  low_cut,         // channel bytes 3 and 5
  high_cut,        // channel bytes 3 and 4
  notch,           // channel byte 3, bits 0 and 2
  channel_byte,    // a whole channel byte
  amplifier_byte,  // a whole amplifier-record byte
};

// The settings of a channel and of the amplifier that stand on records.
enum class channel_setting { input_mode, gain, low_cut, high_cut, notch, input_connections };
enum class amplifier_setting { deblock_state, deblock_type, impedance_state, impedance_resolution, highlight };

class setting {
 public:
  // `keep` holds a record the cache does not own (the built-in lists).
  setting(const TRangeRecord& record, std::string caption, coder how, std::size_t byte = 0,
          std::shared_ptr<const TRangeRecord> keep = nullptr);

  const TRangeRecord& record() const noexcept { return *m_record; }
  std::shared_ptr<const TRangeRecord> keeper() const noexcept { return m_keep; }
  const std::string& caption() const noexcept { return m_caption; }
  std::uint16_t range_id() const noexcept { return m_record->id; }
  // Gain, low-cut and high-cut have a formatter and a parser; lookup lists
  // convert through their entries.
  bool generated() const noexcept { return m_record->generated(); }

  // The code the encoder would use, computed on a scratch record.
  std::int32_t nearest(std::int32_t code) const;
  void write(std::int32_t code, std::uint8_t* record) const;
  std::int32_t read(const std::uint8_t* record) const;

  // The formatter (generated records).
  std::string format(std::int32_t code) const;
  // FromValue: the formatted text, or the first entry name with that code;
  // nothing when no entry has it.
  std::optional<std::string> text_of(std::int32_t code) const;
  // The lookup ToValue: the text trimmed of surrounding blanks, compared
  // without regard to ASCII case with each entry name in stored order; -1
  // when none matches.
  std::int32_t lookup(std::string_view text) const;

  // The enumerator: -1 and nothing for an index outside 0..count-1.
  std::int32_t count() const noexcept { return m_record->count(); }
  std::int32_t value_at(std::int32_t index) const;
  std::optional<std::string> name_at(std::int32_t index) const;

 private:
  std::int32_t encode(std::int32_t code, std::uint8_t* record, bool write) const;

  const TRangeRecord* m_record;
  std::shared_ptr<const TRangeRecord> m_keep;
  std::string m_caption;
  coder m_coder;
  std::size_t m_byte;
};

// The settings of an amplifier model loaded by load_amplifier().
setting make_channel_setting(const amplifier_records& model, channel_setting which);
// Deblock state, impedance state and highlight stand on the given built-in
// record; the other two on the model's records.
setting make_amplifier_setting(const amplifier_records& model, amplifier_setting which,
                               std::shared_ptr<const TRangeRecord> built_in = nullptr);

// A numeric setting within [min, max] at fixed record bytes.
enum class range_kind { channel_group, deblock_duration, lower_threshold, upper_threshold, serial_no };

struct range_setting {
  range_kind kind;
  const char* caption;
  std::int32_t min;
  std::int32_t max;
  std::int32_t range_code;

  static range_setting of(range_kind kind);
  std::int32_t clamp(std::int32_t code) const noexcept;
  void write(std::int32_t code, std::uint8_t* record) const noexcept;
  std::int32_t read(const std::uint8_t* record) const noexcept;
};

// Trims characters up to blank and ASCII-upper-cases a text.
std::string normalise_name(std::string_view text);

}  // namespace orvo::caps
