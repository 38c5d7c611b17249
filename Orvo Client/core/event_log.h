// The event log's records and rules, without windows: what is kept, what is
// dropped, what asks for attention, what the filter shows, and the texts of
// the status lines and of a copy. The log window shows what this holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Orvo {

// A local time in the field order and widths of the system's time record.
struct log_time {
  std::uint16_t year = 0, month = 0, day_of_week = 0, day = 0;
  std::uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// One logged message.
struct log_record {
  std::u16string text;  // line breaks already replaced by blanks
  log_time time;
  std::int32_t level = 0;  // 0 Event, 1 Information, 2 Warning, 3 Error, other: Unknown
  std::int32_t code = 0;   // status code (an HRESULT; 0 when none)
};

enum : std::int32_t { level_event = 0, level_information = 1, level_warning = 2, level_error = 3 };

// "Event", "Information", "Warning", "Error", else "Unknown".
std::u16string_view type_name(std::int32_t level) noexcept;
// The code as the C runtime's "%#08x" writes it: "00000000" for 0, else
// "0x" and lower-case digits, zero-padded to eight characters in all.
std::u16string code_text(std::int32_t code);
// A number in plain decimal digits, whatever the locale.
std::u16string decimal_text(long long value);
// The filter level of the four radio buttons "Level 1" to "Level 4": the
// first checked of the first three gives 0, 1 or 2; else "Level 4" 3; none 0.
std::int32_t filter_level_of(bool level1, bool level2, bool level3, bool level4) noexcept;
// The text with every "\r\n" and then every remaining "\n" made one blank.
std::u16string one_line(std::u16string_view text);
// Copies `text` into a buffer of `capacity` characters, cut to leave room
// for the NUL that ends it; returns the characters copied (without NUL).
std::size_t copy_cut(char16_t* buffer, std::size_t capacity, std::u16string_view text) noexcept;

using log_clock = std::function<log_time()>;
using time_formatter = std::function<std::u16string(const log_time&)>;

// The four texts of the status lines (from the string table in the window).
struct status_texts {
  std::u16string available = u"Messages available: ";
  std::u16string hidden = u"Messages hidden by filter settings: ";
  std::u16string all_shown = u"All messages are displayed.";
  std::u16string none = u"No messages are available.";
};

class event_log {
 public:
  explicit event_log(log_clock clock);

  std::int32_t m_filter_level = 1;  // lowest level shown and copied
  bool m_auto_scroll = true;
  bool m_highlighting = true;
  bool m_event_logging = false;  // level-0 records are kept only while on
  std::int32_t m_event_count = 0;
  std::int32_t m_attention_level = 3;
  bool m_attention = false;  // asked for and not yet served

  // Told of each record appended (its index) and of every erasure.
  std::function<void(std::size_t index)> m_on_added;
  std::function<void()> m_on_erased;

  // Appends a record stamped by the clock; none (nullopt) for a level-0
  // message while event logging is off.
  std::optional<std::size_t> add(std::u16string_view text, std::int32_t level, std::int32_t code);
  // Removes every record.
  void clear();
  // Removes the level-0 records, keeping the others in order; returns how many.
  std::size_t erase_events();
  // The Event Logging switch. Switched off with Event records held,
  // `confirm_erase` (given their count) decides whether they go; then the
  // switch itself is logged.
  void set_event_logging(bool on, const std::function<bool(std::int32_t count)>& confirm_erase);

  const std::vector<log_record>& records() const noexcept { return m_records; }
  // The record of an index, null outside the records.
  const log_record* record(std::size_t index) const noexcept;
  bool shown(const log_record& r) const noexcept { return r.level >= m_filter_level; }
  std::size_t shown_count() const noexcept;

  // The list's text of a record's column: time, index, message, code;
  // empty for an index outside the records or an unknown column.
  std::u16string column_text(std::size_t index, int column, const time_formatter& time_text) const;
  // "Messages available: N." or "No messages are available.".
  std::u16string status_line_1(const status_texts& texts = {}) const;
  // Empty without records, "All messages are displayed." when every record
  // is shown, else "Messages hidden by filter settings: N.".
  std::u16string status_line_2(const status_texts& texts = {}) const;
  // The shown records, one line each (time, text, level name, code, joined
  // by ", ", ended by "\r\n"), then a NUL character.
  std::u16string copy_text(const time_formatter& time_text) const;

 private:
  log_clock m_clock;
  std::vector<log_record> m_records;
};

}  // namespace Orvo
