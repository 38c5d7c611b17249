#include "records.h"

#include <boost/date_time/posix_time/posix_time_types.hpp>

#include <tuple>

namespace Orvo {

namespace {

stamp clock_stamp() { return {boost::posix_time::second_clock::local_time(), {}}; }

stamp_source g_stamp_source = clock_stamp;

}  // namespace

stamp current_stamp() { return g_stamp_source(); }

void set_stamp_source(stamp_source source) { g_stamp_source = source ? source : clock_stamp; }

protocol::protocol() {
  stamp now = current_stamp();
  m_created_time = m_modified_time = now.time;
  m_created_by = m_modified_by = now.user;
}

void protocol::swap(protocol& other) noexcept {
  using std::swap;
  swap(m_exclusion_set, other.m_exclusion_set);
  swap(m_state_string, other.m_state_string);
  swap(m_comment, other.m_comment);
  swap(m_created_time, other.m_created_time);
  swap(m_created_by, other.m_created_by);
  swap(m_modified_time, other.m_modified_time);
  swap(m_modified_by, other.m_modified_by);
  swap(m_amp_columns, other.m_amp_columns);
  swap(m_channel_columns, other.m_channel_columns);
  swap(m_rename_map, other.m_rename_map);
}

void protocol::touch() {
  stamp now = current_stamp();
  m_modified_time = now.time;
  m_modified_by = std::move(now.user);
}

void protocol::set_state_string(const wide_string& state) {
  m_state_string = state;
  touch();
}

void protocol::set_exclusion_set(const property_map& exclusions) {
  protocol copy(*this);
  copy.m_exclusion_set = exclusions;
  copy.touch();
  swap(copy);
}

void protocol::set_comment(const wide_string& comment) {
  m_comment = comment;
  touch();
}

void protocol::replace_keeping_comment(const protocol& other) {
  protocol copy(other);
  copy.m_comment = m_comment;
  copy.touch();
  swap(copy);
}

bool protocol::operator==(const protocol& o) const {
  return std::tie(m_exclusion_set, m_state_string, m_comment, m_created_time, m_created_by, m_modified_time,
                  m_modified_by, m_amp_columns, m_channel_columns, m_rename_map) ==
         std::tie(o.m_exclusion_set, o.m_state_string, o.m_comment, o.m_created_time, o.m_created_by, o.m_modified_time,
                  o.m_modified_by, o.m_amp_columns, o.m_channel_columns, o.m_rename_map);
}

bool window_placement_record::operator==(const window_placement_record& o) const {
  return std::tie(length, flags, show_command, min_x, min_y, max_x, max_y, left, top, right, bottom) ==
         std::tie(o.length, o.flags, o.show_command, o.min_x, o.min_y, o.max_x, o.max_y, o.left, o.top, o.right,
                  o.bottom);
}

bool session_data::operator==(const session_data& o) const {
  return std::tie(m_last_protocol_name, m_last_protocol_local, m_show_shutdown_msg, m_show_toolbar, m_show_statusbar,
                  m_show_overview, m_show_detailview, m_protocol_window_pos, m_mainframe_pos, m_wndSplitHorPos,
                  m_wndSplitPos, m_protocol_manager_splitter_pos, m_show_spashscreen, m_open_last_profile, m_loaded) ==
         std::tie(o.m_last_protocol_name, o.m_last_protocol_local, o.m_show_shutdown_msg, o.m_show_toolbar,
                  o.m_show_statusbar, o.m_show_overview, o.m_show_detailview, o.m_protocol_window_pos,
                  o.m_mainframe_pos, o.m_wndSplitHorPos, o.m_wndSplitPos, o.m_protocol_manager_splitter_pos,
                  o.m_show_spashscreen, o.m_open_last_profile, o.m_loaded);
}

}  // namespace Orvo
