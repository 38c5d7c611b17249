#include "record_archive.h"

#include <boost/archive/xml_iarchive.hpp>
#include <boost/archive/xml_oarchive.hpp>
#include <boost/date_time/gregorian/gregorian.hpp>
#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/serialization/collection_size_type.hpp>
#include <boost/serialization/item_version_type.hpp>
#include <boost/serialization/nvp.hpp>
#include <boost/serialization/tracking.hpp>
#include <boost/serialization/version.hpp>

#include <cstring>
#include <deque>
#include <iterator>
#include <mutex>
#include <string_view>
#include <sstream>
#include <string>

using boost::archive::xml_iarchive;
using boost::archive::xml_oarchive;

namespace Orvo {
namespace stored {

// Element wrappers with the layout of Boost's own collection, pair and string
// serialization. Wide texts take the narrow-string path as UTF-8 so that the
// archive never converts them through the C library's multibyte functions.

// One string with class information: `size` (UTF-16 units), then the
// little-endian UTF-16 bytes as binary content.
struct bstr {
  wide_string* text;
};

// A time stamp: `ptime_date`, then for a non-special stamp the time of day.
struct stamp_value {
  time_stamp* time;
};
struct date_value {
  boost::gregorian::date* date;
};
struct time_of_day {
  boost::posix_time::time_duration* duration;
};

struct protocol_map {
  std::map<wide_string, protocol>* map;
};
struct protocol_item {
  wide_string name;
  protocol loaded;
  protocol* value = &loaded;  // the saved protocol, or the one being read
};

struct value_map {
  property_map::map_type* map;
};
struct value_list {
  std::vector<wide_string>* list;
};
struct value_item {
  wide_string first;
  std::vector<wide_string> second;
};

struct column_map {
  std::map<wide_string, column_attribute>* map;
};
struct column_item {
  wide_string first;
  column_attribute second;
};

struct rename_map {
  std::map<std::int32_t, wide_string>* map;
};
struct rename_item {
  std::int32_t first = 0;
  wide_string second;
};

}  // namespace stored
}  // namespace Orvo

// Records are never saved through pointers: no tracking, so wrappers built on
// the stack may share addresses.
#define ORVO_STORED_CLASS(T, V) \
  BOOST_CLASS_VERSION(T, V)     \
  BOOST_CLASS_TRACKING(T, boost::serialization::track_never)

ORVO_STORED_CLASS(Orvo::stored::bstr, 0)
ORVO_STORED_CLASS(Orvo::stored::stamp_value, 0)
ORVO_STORED_CLASS(Orvo::stored::date_value, 0)
ORVO_STORED_CLASS(Orvo::stored::time_of_day, 0)
ORVO_STORED_CLASS(Orvo::stored::protocol_map, 0)
ORVO_STORED_CLASS(Orvo::stored::protocol_item, 0)
ORVO_STORED_CLASS(Orvo::stored::value_map, 0)
ORVO_STORED_CLASS(Orvo::stored::value_list, 0)
ORVO_STORED_CLASS(Orvo::stored::value_item, 0)
ORVO_STORED_CLASS(Orvo::stored::column_map, 0)
ORVO_STORED_CLASS(Orvo::stored::column_item, 0)
ORVO_STORED_CLASS(Orvo::stored::rename_map, 0)
ORVO_STORED_CLASS(Orvo::stored::rename_item, 0)
ORVO_STORED_CLASS(Orvo::protocol, 1)
ORVO_STORED_CLASS(Orvo::protocols, 0)
ORVO_STORED_CLASS(Orvo::property_map, 0)
ORVO_STORED_CLASS(Orvo::session_data, 0)
ORVO_STORED_CLASS(Orvo::docking_position_words, 0)
ORVO_STORED_CLASS(Orvo::window_placement_record, 0)
ORVO_STORED_CLASS(column_attributes_map, 0)
ORVO_STORED_CLASS(column_attribute, 0)

namespace Orvo {
namespace {

// Element names as the archive sees them. Boost's end-tag check reads the
// expected name at the index of the end tag's length, so every name lives in
// a slot of tag_limit bytes, and the reader refuses a document with a longer
// tag name: the check then never reads outside the slot.
constexpr std::size_t tag_limit = 64;

const char* tag(const char* name) {
  static std::mutex lock;
  static std::deque<std::array<char, tag_limit>> slots;
  static std::map<std::string, const char*, std::less<>> by_name;
  const std::lock_guard<std::mutex> hold(lock);
  const auto found = by_name.find(std::string_view(name));
  if (found != by_name.end()) return found->second;
  const std::size_t length = std::strlen(name);
  if (length >= tag_limit) throw std::logic_error("element name too long");
  std::array<char, tag_limit>& slot = slots.emplace_back();
  std::memcpy(slot.data(), name, length);
  return by_name.emplace(name, slot.data()).first->second;
}

template <class T>
const boost::serialization::nvp<T> nvp(const char* name, T& value) {
  return boost::serialization::make_nvp(tag(name), value);
}

// True when every tag name of the document is shorter than tag_limit.
bool tag_names_fit(const std::string& text) {
  for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
    std::size_t begin = at + 1;
    if (begin < text.size() && (text[begin] == '/' || text[begin] == '?' || text[begin] == '!')) ++begin;
    const std::size_t end = text.find_first_of(" \t\r\n/>", begin);
    if ((end == std::string::npos ? text.size() : end) - begin >= tag_limit) return false;
  }
  return true;
}

// True when the root's end tag follows at (after white space). Boost reads
// it in the archive's destructor, where a failure would end the program, so
// the reader checks it while the archive is still alive.
bool root_end_follows(const std::string& text, std::streamoff at) {
  if (at < 0) return false;
  const std::string end_tag = "</boost_serialization";
  std::size_t i = text.find_first_not_of(" \t\r\n", static_cast<std::size_t>(at));
  if (i == std::string::npos || text.compare(i, end_tag.size(), end_tag) != 0) return false;
  i = text.find_first_not_of(" \t\r\n", i + end_tag.size());
  return i != std::string::npos && text[i] == '>';
}

// What the reader in progress needs besides the archive: the input left
// (counts and sizes are checked against it before anything is allocated)
// and the decoder of non-UTF-8 texts.
struct read_context {
  std::istream* in = nullptr;
  std::streamoff size = 0;
  ansi_decoder decode = nullptr;
};
thread_local const read_context* t_reading = nullptr;

std::uint64_t input_left() {
  const std::streamoff at = t_reading->in->tellg();
  if (at < 0 || at > t_reading->size) throw archive_error("archive stream failed");
  return static_cast<std::uint64_t>(t_reading->size - at);
}

// A count of elements, each of which takes at least one byte of input.
std::uint64_t load_count(xml_iarchive& ar) {
  boost::serialization::collection_size_type count(0);
  ar >> nvp("count", count);
  const std::uint64_t n = count;
  if (n > input_left()) throw archive_error("element count exceeds the archive");
  if (boost::archive::library_version_type(3) < ar.get_library_version()) {
    boost::serialization::item_version_type item_version(0);
    ar >> nvp("item_version", item_version);
  }
  return n;
}

void save_count(xml_oarchive& ar, std::size_t n) {
  const boost::serialization::collection_size_type count(n);
  const boost::serialization::item_version_type item_version(0);
  ar << nvp("count", count);
  ar << nvp("item_version", item_version);
}

void save_text(xml_oarchive& ar, const char* name, const wide_string& text) {
  const std::string narrow = to_archive_text(text);
  ar << nvp(name, narrow);
}

void load_text(xml_iarchive& ar, const char* name, wide_string& text) {
  std::string narrow;
  ar >> nvp(name, narrow);
  text = from_archive_text(narrow, t_reading->decode);
}

template <class Wrapper, class Value>
void save_wrapped(xml_oarchive& ar, const char* name, const Value& value) {
  const Wrapper w{const_cast<Value*>(&value)};
  ar << nvp(name, w);
}

template <class Wrapper, class Value>
void load_wrapped(xml_iarchive& ar, const char* name, Value& value) {
  Wrapper w{&value};
  ar >> nvp(name, w);
}

// One call for both directions, so that a record's layout is written once.
void text(xml_oarchive& ar, const char* name, wide_string& value) { save_text(ar, name, value); }
void text(xml_iarchive& ar, const char* name, wide_string& value) { load_text(ar, name, value); }

template <class Wrapper, class Value>
void wrapped(xml_oarchive& ar, const char* name, Value& value) {
  save_wrapped<Wrapper>(ar, name, value);
}
template <class Wrapper, class Value>
void wrapped(xml_iarchive& ar, const char* name, Value& value) {
  load_wrapped<Wrapper>(ar, name, value);
}

void put_le32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
std::uint32_t get_le32(const unsigned char* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// A fixed record of 32-bit words as the element's binary content.
template <std::size_t N>
void save_words(xml_oarchive& ar, const std::array<std::uint32_t, N>& words) {
  unsigned char bytes[N * 4];
  for (std::size_t i = 0; i < N; ++i) put_le32(bytes + 4 * i, words[i]);
  ar.save_binary(bytes, sizeof bytes);
}

template <std::size_t N>
void load_words(xml_iarchive& ar, std::array<std::uint32_t, N>& words) {
  unsigned char bytes[N * 4];
  ar.load_binary(bytes, sizeof bytes);
  for (std::size_t i = 0; i < N; ++i) words[i] = get_le32(bytes + 4 * i);
}

std::array<std::uint32_t, 11> placement_words(const window_placement_record& p) {
  auto u = [](std::int32_t v) { return static_cast<std::uint32_t>(v); };
  return {p.length,   p.flags,   p.show_command, u(p.min_x), u(p.min_y), u(p.max_x),
          u(p.max_y), u(p.left), u(p.top),       u(p.right), u(p.bottom)};
}

}  // namespace

namespace stored {

void serialize(xml_oarchive& ar, bstr& s, unsigned) {
  const std::uint32_t size = static_cast<std::uint32_t>(s.text->size());
  ar << nvp("size", size);
  if (size == 0) return;
  std::string bytes;
  bytes.reserve(std::size_t(size) * 2);
  for (char16_t c : *s.text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  ar.save_binary(bytes.data(), bytes.size());
}

void serialize(xml_iarchive& ar, bstr& s, unsigned) {
  std::uint32_t size = 0;
  ar >> nvp("size", size);
  // Base64 takes four characters for three bytes: at least as much input
  // as the string has bytes.
  if (std::uint64_t(size) * 2 > input_left()) throw archive_error("string size exceeds the archive");
  std::string bytes(std::size_t(size) * 2, '\0');
  if (size != 0) ar.load_binary(&bytes[0], bytes.size());
  wide_string text(size, u'\0');
  for (std::size_t i = 0; i < size; ++i)
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  for (char16_t c : text) {
    if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
      throw archive_error("stored string holds a control character");
  }
  *s.text = std::move(text);
}

void serialize(xml_oarchive& ar, time_of_day& t, unsigned) {
  const bool is_special = false;
  const auto h = static_cast<std::int32_t>(t.duration->hours());
  const auto m = static_cast<std::int32_t>(t.duration->minutes());
  const auto s = static_cast<std::int32_t>(t.duration->seconds());
  const std::int64_t fs = t.duration->fractional_seconds();
  ar << nvp("is_special", is_special);
  ar << nvp("time_duration_hours", h);
  ar << nvp("time_duration_minutes", m);
  ar << nvp("time_duration_seconds", s);
  ar << nvp("time_duration_fractional_seconds", fs);
}

template <class Int>
void load_time_fields(xml_iarchive& ar, std::int64_t& h, std::int64_t& m, std::int64_t& s) {
  Int v = 0;
  ar >> nvp("time_duration_hours", v);
  h = v;
  ar >> nvp("time_duration_minutes", v);
  m = v;
  ar >> nvp("time_duration_seconds", v);
  s = v;
}

void serialize(xml_iarchive& ar, time_of_day& t, unsigned version) {
  bool is_special = false;
  ar >> nvp("is_special", is_special);
  // A stamp's time of day lies within its day; anything else (a special
  // duration included) is not a stored time stamp.
  if (is_special) throw archive_error("time of day is a special value");
  std::int64_t h = 0, m = 0, s = 0, fs = 0;
  if (version == 0)
    load_time_fields<std::int32_t>(ar, h, m, s);
  else
    load_time_fields<std::int64_t>(ar, h, m, s);
  ar >> nvp("time_duration_fractional_seconds", fs);
  const std::int64_t ticks_per_second = boost::posix_time::time_duration::ticks_per_second();
  if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59 || fs < 0 || fs >= ticks_per_second)
    throw archive_error("time of day out of range");
  *t.duration = boost::posix_time::time_duration(h, m, s, fs);
}

void serialize(xml_oarchive& ar, date_value& d, unsigned) {
  const std::string text = boost::gregorian::to_iso_string(*d.date);
  ar << nvp("date", text);
}

void serialize(xml_iarchive& ar, date_value& d, unsigned) {
  std::string text;
  ar >> nvp("date", text);
  try {
    *d.date = boost::gregorian::from_undelimited_string(text);
  } catch (const boost::bad_lexical_cast&) {
    // Not digits: one of the special values' names ("not-a-date-time").
    const boost::gregorian::special_values special = boost::gregorian::special_value_from_string(text);
    if (special == boost::gregorian::not_special) throw archive_error("date is neither a date nor special");
    *d.date = boost::gregorian::date(special);
  }
}

void serialize(xml_oarchive& ar, stamp_value& v, unsigned) {
  save_wrapped<date_value>(ar, "ptime_date", v.time->date());
  if (!v.time->is_special()) save_wrapped<time_of_day>(ar, "ptime_time_duration", v.time->time_of_day());
}

void serialize(xml_iarchive& ar, stamp_value& v, unsigned) {
  boost::gregorian::date d(boost::gregorian::not_a_date_time);
  load_wrapped<date_value>(ar, "ptime_date", d);
  if (d.is_special()) {
    *v.time = time_stamp(d.as_special());
    return;
  }
  boost::posix_time::time_duration td;
  load_wrapped<time_of_day>(ar, "ptime_time_duration", td);
  *v.time = time_stamp(d, td);
}

// Maps: count, item_version, then each entry as an item wrapper built from
// the entry's key and value; a read item goes into the map once complete.
template <class Item, class Map>
void map_items(xml_oarchive& ar, Map& map) {
  save_count(ar, map.size());
  for (const auto& entry : map) {
    const Item item{entry.first, entry.second};
    ar << nvp("item", item);
  }
}

template <class Item, class Map>
void map_items(xml_iarchive& ar, Map& map) {
  const std::uint64_t n = load_count(ar);
  for (std::uint64_t i = 0; i < n; ++i) {
    Item item{};
    ar >> nvp("item", item);
    map[std::move(item.first)] = std::move(item.second);
  }
}

void serialize(xml_oarchive& ar, protocol_map& m, unsigned) {
  save_count(ar, m.map->size());
  for (auto& entry : *m.map) {
    protocol_item item;
    item.name = entry.first;
    item.value = &entry.second;
    ar << nvp("item", item);
  }
}
void serialize(xml_iarchive& ar, protocol_map& m, unsigned) {
  const std::uint64_t n = load_count(ar);
  for (std::uint64_t i = 0; i < n; ++i) {
    protocol_item item;
    ar >> nvp("item", item);
    (*m.map)[item.name].swap(item.loaded);
  }
}
template <class Archive>
void serialize(Archive& ar, protocol_item& item, unsigned) {
  text(ar, "first", item.name);
  ar& nvp("second", *item.value);
}

template <class Archive>
void serialize(Archive& ar, value_map& m, unsigned) {
  map_items<value_item>(ar, *m.map);
}
template <class Archive>
void serialize(Archive& ar, value_item& item, unsigned) {
  wrapped<bstr>(ar, "first", item.first);
  wrapped<value_list>(ar, "second", item.second);
}
void serialize(xml_oarchive& ar, value_list& l, unsigned) {
  save_count(ar, l.list->size());
  for (const auto& text : *l.list) save_wrapped<bstr>(ar, "item", text);
}
void serialize(xml_iarchive& ar, value_list& l, unsigned) {
  const std::uint64_t n = load_count(ar);
  l.list->clear();
  for (std::uint64_t i = 0; i < n; ++i) {
    wide_string text;
    load_wrapped<bstr>(ar, "item", text);
    l.list->push_back(std::move(text));
  }
}

template <class Archive>
void serialize(Archive& ar, column_map& m, unsigned) {
  map_items<column_item>(ar, *m.map);
}
template <class Archive>
void serialize(Archive& ar, column_item& item, unsigned) {
  text(ar, "first", item.first);
  ar& nvp("second", item.second);
}

template <class Archive>
void serialize(Archive& ar, rename_map& m, unsigned) {
  map_items<rename_item>(ar, *m.map);
}
template <class Archive>
void serialize(Archive& ar, rename_item& item, unsigned) {
  ar& nvp("first", item.first);
  wrapped<bstr>(ar, "second", item.second);
}

}  // namespace stored

// The records themselves.

template <class Archive>
void serialize(Archive& ar, protocols& library, unsigned) {
  if (Archive::is_loading::value) library.m_protocols.clear();
  wrapped<stored::protocol_map>(ar, "m_protocols", library.m_protocols);
}

template <class Archive>
void serialize(Archive& ar, property_map& map, unsigned) {
  wrapped<stored::value_map>(ar, "m_map", map.m_map);
}

template <class Archive>
void serialize(Archive& ar, protocol& p, unsigned version) {
  ar& nvp("m_exclusion_set", p.m_exclusion_set);
  wrapped<stored::bstr>(ar, "m_state_string", p.m_state_string);
  text(ar, "m_comment", p.m_comment);
  wrapped<stored::stamp_value>(ar, "m_created_time", p.m_created_time);
  text(ar, "m_created_by", p.m_created_by);
  wrapped<stored::stamp_value>(ar, "m_modified_time", p.m_modified_time);
  text(ar, "m_modified_by", p.m_modified_by);
  ar& nvp("m_amp_columns", p.m_amp_columns);
  ar& nvp("m_channel_columns", p.m_channel_columns);
  // Records of class version 0 end before the rename map.
  if (Archive::is_loading::value) p.m_rename_map.clear();
  if (Archive::is_saving::value || version >= 1) wrapped<stored::rename_map>(ar, "m_rename_map", p.m_rename_map);
}

void serialize(xml_oarchive& ar, docking_position_words& d, unsigned) { save_words(ar, d.words); }
void serialize(xml_iarchive& ar, docking_position_words& d, unsigned) { load_words(ar, d.words); }

void serialize(xml_oarchive& ar, window_placement_record& p, unsigned) { save_words(ar, placement_words(p)); }
void serialize(xml_iarchive& ar, window_placement_record& p, unsigned) {
  std::array<std::uint32_t, 11> w{};
  load_words(ar, w);
  auto s = [](std::uint32_t v) { return static_cast<std::int32_t>(v); };
  p = {w[0], w[1], w[2], s(w[3]), s(w[4]), s(w[5]), s(w[6]), s(w[7]), s(w[8]), s(w[9]), s(w[10])};
}

template <class Archive>
void serialize(Archive& ar, session_data& s, unsigned) {
  text(ar, "m_last_protocol_name", s.m_last_protocol_name);
  ar& nvp("m_last_protocol_local", s.m_last_protocol_local);
  ar& nvp("m_loaded", s.m_loaded);
  ar& nvp("m_protocol_window_pos", s.m_protocol_window_pos);
  ar& nvp("m_protocol_manager_splitter_pos", s.m_protocol_manager_splitter_pos);
  ar& nvp("m_mainframe_pos", s.m_mainframe_pos);
  ar& nvp("m_wndSplitHorPos", s.m_wndSplitHorPos);
  ar& nvp("m_wndSplitPos", s.m_wndSplitPos);
  ar& nvp("m_show_shutdown_msg", s.m_show_shutdown_msg);
  ar& nvp("m_show_toolbar", s.m_show_toolbar);
  ar& nvp("m_show_statusbar", s.m_show_statusbar);
  ar& nvp("m_show_overview", s.m_show_overview);
  ar& nvp("m_show_detailview", s.m_show_detailview);
  ar& nvp("m_show_spashscreen", s.m_show_spashscreen);
  ar& nvp("m_open_last_profile", s.m_open_last_profile);
}

}  // namespace Orvo

template <class Archive>
void serialize(Archive& ar, column_attributes_map& m, unsigned) {
  Orvo::wrapped<Orvo::stored::column_map>(ar, "m_column_atributes", m.m_column_atributes);
}

template <class Archive>
void serialize(Archive& ar, column_attribute& c, unsigned) {
  ar& Orvo::nvp("m_width", c.m_width);
  ar& Orvo::nvp("m_order", c.m_order);
}

namespace Orvo {

namespace {

template <class Record>
void write_archive(std::ostream& out, const char* top, const Record& record) {
  try {
    {
      xml_oarchive ar(out);
      ar << nvp(top, record);
    }  // the archive's closing tag is written here
  } catch (const std::exception& e) {
    throw archive_error(e.what());
  }
  out.flush();
  if (!out) throw archive_error("archive stream failed");
}

template <class Record>
void read_archive(std::istream& in, const char* top, Record& record, ansi_decoder decode) {
  // Read whole, so that the input left is known for every count and size.
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw archive_error("archive stream failed");
  if (!tag_names_fit(text)) throw archive_error("element name too long");
  std::istringstream source(text);
  const read_context context{&source, static_cast<std::streamoff>(text.size()), decode};
  const read_context* const outer = t_reading;
  t_reading = &context;
  try {
    xml_iarchive ar(source);
    if (ar.get_library_version() > boost::archive::library_version_type(archive_version))
      throw archive_error("archive written by a newer version");
    ar >> nvp(top, record);
    if (!root_end_follows(text, source.tellg())) throw archive_error("archive does not end after its record");
    t_reading = outer;
  } catch (const archive_error&) {
    t_reading = outer;
    throw;
  } catch (const std::exception& e) {
    t_reading = outer;
    throw archive_error(e.what());
  }
}

}  // namespace

void write_session(std::ostream& out, const session_data& session) { write_archive(out, "m_session_data", session); }

void write_library(std::ostream& out, const protocols& library) { write_archive(out, "protocol", library); }

void read_session(std::istream& in, session_data& session, ansi_decoder decode) {
  session_data copy(session);
  read_archive(in, "m_session_data", copy, decode);
  copy.m_loaded = true;
  session = copy;
}

void read_library(std::istream& in, protocols& library, ansi_decoder decode) {
  library.m_protocols.clear();
  read_archive(in, "protocol", library, decode);
}

}  // namespace Orvo
