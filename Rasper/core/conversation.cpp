#include "core/conversation.h"

namespace rasper {

bool packet_valid(std::size_t n, bool has_crc, std::size_t c, bool crc_ok) noexcept {
  if (!has_crc) return n > 3;
  return crc_ok && n >= 2 + c;
}

std::uint8_t conversation::begin_request() noexcept {
  m_counter = static_cast<std::uint8_t>(m_counter + 61);
  m_current = true;
  m_id = m_counter % 128;
  return m_id;
}

void conversation::begin_device(std::uint8_t id) noexcept {
  m_current = true;
  m_id = id;
}

void conversation::end() noexcept {
  m_current = false;
  m_id = no_id;
  m_dropped = 0;
}

verdict conversation::judge(bool valid, const std::uint8_t* p, std::size_t n, std::size_t c) noexcept {
  if (!valid || n < 2 + c) return verdict::invalid;
  const bool payload = n > c + 2;
  if (m_current) {
    if (p[0] == m_id) return payload ? verdict::answer : verdict::completed;
    if (!payload) return verdict::drop;
    const unsigned theirs = p[0] & 0x7F;
    const unsigned ours = m_id & 0x7F;
    if (theirs < ours || (theirs == ours && (p[0] & 0x80))) return verdict::interrupt;
    // A packet of another conversation: tolerated once.
    return m_dropped++ ? verdict::interrupted : verdict::drop;
  }
  if (n < 5 || p[1] >= device_address_count) return verdict::drop;
  return verdict::device;
}

}  // namespace rasper
