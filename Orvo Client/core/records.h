// The client's stored records: protocols, their libraries, column layouts and
// the per-user session. Plain values without Windows types; the Windows side
// converts texts to BSTRs and fills the stamps' user name.
#pragma once

#include <boost/date_time/posix_time/ptime.hpp>
#include <boost/signals2/signal.hpp>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Stored width and display position of one detail-view column; -1 until the
// view has measured it.
class column_attribute {
 public:
  std::int32_t m_width = -1;
  std::int32_t m_order = -1;
  bool operator==(const column_attribute& o) const { return m_width == o.m_width && m_order == o.m_order; }
};

// Column layout of a detail view by column name.
class column_attributes_map {
 public:
  std::map<std::u16string, column_attribute> m_column_atributes;
  // Takes the other map's layout (a protocol opened, or saved from a view);
  // a map given itself stays as it is.
  void assign(const column_attributes_map& source) {
    if (&source != this) m_column_atributes = source.m_column_atributes;
  }
  bool operator==(const column_attributes_map& o) const { return m_column_atributes == o.m_column_atributes; }
};

namespace Orvo {

using wide_string = std::u16string;
using time_stamp = boost::posix_time::ptime;

// Order of property-map keys. Without a comparison function keys compare
// ordinally; the client installs the locale-aware comparison of BSTRs.
struct key_order {
  using compare_fn = int (*)(const wide_string&, const wide_string&);
  compare_fn compare = nullptr;
  bool operator()(const wide_string& a, const wide_string& b) const { return compare ? compare(a, b) < 0 : a < b; }
};

// Per property name, a list of value texts (hidden values of a protocol, or
// the values the current state offers).
class property_map {
 public:
  using map_type = std::map<wide_string, std::vector<wide_string>, key_order>;
  explicit property_map(key_order order = key_order()) : m_map(order) {}
  map_type m_map;
  bool operator==(const property_map& o) const { return m_map == o.m_map; }
};

// Who and when, for a protocol's created and modified stamps.
struct stamp {
  time_stamp time;
  wide_string user;
};

// The source of stamps: the local whole-second clock and the current user's
// display name. The Windows client installs its user name lookup; without
// one the user is empty.
using stamp_source = stamp (*)();
stamp current_stamp();
void set_stamp_source(stamp_source source);

// One saved set-up of the amplifier system; its name is its key in a library.
struct protocol {
  protocol();  // stamps both created and modified with current_stamp()

  property_map m_exclusion_set;
  wide_string m_state_string;  // empty until the protocol is given a state
  wide_string m_comment;
  time_stamp m_created_time;
  wide_string m_created_by;
  time_stamp m_modified_time;
  wide_string m_modified_by;
  column_attributes_map m_amp_columns;
  column_attributes_map m_channel_columns;
  std::map<std::int32_t, wide_string> m_rename_map;

  void swap(protocol& other) noexcept;
  void touch();
  void set_state_string(const wide_string& state);
  void set_exclusion_set(const property_map& exclusions);
  void set_comment(const wide_string& comment);
  // Takes every field of the other protocol but keeps this one's comment.
  void replace_keeping_comment(const protocol& other);

  bool operator==(const protocol& o) const;
  bool operator!=(const protocol& o) const { return !(*this == o); }
};

// One protocol library: protocols by exact (ordinal) name.
struct protocols {
  std::map<wide_string, protocol> m_protocols;

  bool contains(const wide_string& name) const { return m_protocols.count(name) != 0; }
  protocol& operator[](const wide_string& name) { return m_protocols[name]; }
  bool operator==(const protocols& o) const { return m_protocols == o.m_protocols; }
  bool operator!=(const protocols& o) const { return !(*this == o); }
};

// Where a protocol is kept: the user-specific (user) or the common library,
// and its name there.
struct protocol_place {
  bool user = false;
  wide_string name;
  bool operator==(const protocol_place& o) const { return user == o.user && name == o.name; }
};

// The common and the user-specific library with their one change signal,
// fired after every change to either library.
struct protocol_libraries {
  protocols m_common;
  protocols m_user;
  boost::signals2::signal<void()> m_changed;
  // After a rename, move or delete: where the protocol was, and where it is
  // now (nothing after a delete). Holders of a place follow it.
  boost::signals2::signal<void(const protocol_place& from, const std::optional<protocol_place>& to)> m_relocated;
  // Write one library to its file; true when the file then holds the
  // library. Without a writer a library has no file and counts as written.
  std::function<bool()> m_write_common;
  std::function<bool()> m_write_user;

  protocols& library(bool user) { return user ? m_user : m_common; }
  const protocols& library(bool user) const { return user ? m_user : m_common; }
};

// The docking position of the protocol manager pane, kept as the docking
// framework's 60-byte record: fifteen 32-bit words, stored unchanged.
struct docking_position_words {
  std::array<std::uint32_t, 15> words{};
  bool operator==(const docking_position_words& o) const { return words == o.words; }
};

// The main window's placement in the 44-byte layout of the Windows placement
// record: length, flags, show command, minimised and maximised positions,
// normal rectangle.
struct window_placement_record {
  std::uint32_t length = 0;
  std::uint32_t flags = 0;
  std::uint32_t show_command = 0;
  std::int32_t min_x = 0, min_y = 0;
  std::int32_t max_x = 0, max_y = 0;
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const window_placement_record& o) const;
};

// The client's per-user state across runs.
class session_data {
 public:
  wide_string m_last_protocol_name;
  bool m_last_protocol_local = true;
  bool m_show_shutdown_msg = true;
  bool m_show_toolbar = true;
  bool m_show_statusbar = true;
  bool m_show_overview = true;
  bool m_show_detailview = true;
  docking_position_words m_protocol_window_pos;
  window_placement_record m_mainframe_pos;
  std::int32_t m_wndSplitHorPos = 0;
  std::int32_t m_wndSplitPos = 0;
  std::int32_t m_protocol_manager_splitter_pos = 0;
  bool m_show_spashscreen = true;
  bool m_open_last_profile = true;
  bool m_loaded = false;  // set by every completed read or write

  bool operator==(const session_data& o) const;
};

}  // namespace Orvo
