#include "core/event_log.h"

#include <algorithm>
#include <utility>

namespace Orvo {

std::u16string_view type_name(std::int32_t level) noexcept {
  switch (level) {
    case level_event:
      return u"Event";
    case level_information:
      return u"Information";
    case level_warning:
      return u"Warning";
    case level_error:
      return u"Error";
    default:
      return u"Unknown";
  }
}

std::u16string code_text(std::int32_t code) {
  const auto value = static_cast<std::uint32_t>(code);
  if (value == 0) return u"00000000";
  std::u16string digits;
  for (std::uint32_t v = value; v; v >>= 4) digits.insert(digits.begin(), u"0123456789abcdef"[v & 0xF]);
  if (digits.size() < 6) digits.insert(0, 6 - digits.size(), u'0');
  return u"0x" + digits;
}

std::u16string decimal_text(long long value) {
  const bool negative = value < 0;
  unsigned long long v =
      negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
    v /= 10;
  } while (v);
  if (negative) digits.insert(digits.begin(), u'-');
  return digits;
}

std::int32_t filter_level_of(bool level1, bool level2, bool level3, bool level4) noexcept {
  if (level1) return 0;
  if (level2) return 1;
  if (level3) return 2;
  return level4 ? 3 : 0;
}

namespace {
std::u16string replace_all(std::u16string text, std::u16string_view what) {
  for (size_t at = text.find(what); at != std::u16string::npos; at = text.find(what, at + 1)) {
    text.replace(at, what.size(), u" ");
  }
  return text;
}
}  // namespace

std::u16string one_line(std::u16string_view text) {
  return replace_all(replace_all(std::u16string(text), u"\r\n"), u"\n");
}

std::size_t copy_cut(char16_t* buffer, std::size_t capacity, std::u16string_view text) noexcept {
  if (!buffer || capacity == 0) return 0;
  const std::size_t n = std::min(capacity - 1, text.size());
  std::copy_n(text.data(), n, buffer);
  buffer[n] = u'\0';
  return n;
}

event_log::event_log(log_clock clock) : m_clock(std::move(clock)) {}

std::optional<std::size_t> event_log::add(std::u16string_view text, std::int32_t level, std::int32_t code) {
  if (level == level_event && !m_event_logging) return std::nullopt;
  m_records.push_back(log_record{one_line(text), m_clock ? m_clock() : log_time{}, level, code});
  const std::size_t index = m_records.size() - 1;
  if (!m_attention && level >= m_attention_level) m_attention = true;
  if (m_on_added) m_on_added(index);
  if (level == level_event) ++m_event_count;
  return index;
}

void event_log::clear() {
  m_records.clear();
  m_event_count = 0;
}

std::size_t event_log::erase_events() {
  const auto kept =
      std::remove_if(m_records.begin(), m_records.end(), [](const log_record& r) { return r.level == level_event; });
  const auto erased = static_cast<std::size_t>(m_records.end() - kept);
  m_records.erase(kept, m_records.end());
  m_event_count = 0;
  if (m_on_erased) m_on_erased();
  return erased;
}

void event_log::set_event_logging(bool on, const std::function<bool(std::int32_t count)>& confirm_erase) {
  m_event_logging = on;
  if (!on && m_event_count != 0 && confirm_erase && confirm_erase(m_event_count)) {
    const std::int32_t former = m_event_count;
    erase_events();
    add(decimal_text(former) + u" records of type 'Event' deleted", level_information, 0);
  }
  add(on ? u"Event logging enabled" : u"Event logging disabled", level_information, 0);
}

const log_record* event_log::record(std::size_t index) const noexcept {
  return index < m_records.size() ? &m_records[index] : nullptr;
}

std::size_t event_log::shown_count() const noexcept {
  return static_cast<std::size_t>(
      std::count_if(m_records.begin(), m_records.end(), [this](const log_record& r) { return shown(r); }));
}

std::u16string event_log::column_text(std::size_t index, int column, const time_formatter& time_text) const {
  const log_record* r = record(index);
  if (!r) return {};
  switch (column) {
    case 0:
      return time_text ? time_text(r->time) : std::u16string();
    case 1:
      return decimal_text(static_cast<long long>(index));
    case 2:
      return r->text;
    case 3:
      return code_text(r->code);
    default:
      return {};
  }
}

std::u16string event_log::status_line_1(const status_texts& texts) const {
  if (m_records.empty()) return texts.none;
  return texts.available + decimal_text(static_cast<long long>(m_records.size())) + u".";
}

std::u16string event_log::status_line_2(const status_texts& texts) const {
  if (m_records.empty()) return {};
  const std::size_t hidden = m_records.size() - shown_count();
  if (hidden == 0) return texts.all_shown;
  return texts.hidden + decimal_text(static_cast<long long>(hidden)) + u".";
}

std::u16string event_log::copy_text(const time_formatter& time_text) const {
  std::u16string out;
  for (const log_record& r : m_records) {
    if (!shown(r)) continue;
    out += time_text ? time_text(r.time) : std::u16string();
    out += u", ";
    out += r.text;
    out += u", ";
    out += type_name(r.level);
    out += u", ";
    out += code_text(r.code);
    out += u"\r\n";
  }
  out += u'\0';
  return out;
}

}  // namespace Orvo
