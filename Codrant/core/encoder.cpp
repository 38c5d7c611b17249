#include "Codrant/core/encoder.h"

#include <algorithm>
#include <cstring>

#include "Codrant/core/framing.h"

namespace codrant {

bool encoder::begin() noexcept {
  if (!m_buffer.reset()) return false;
  m_buffer.push(frame_start);
  return true;
}

bool encoder::add(const std::uint8_t* data, std::size_t count) noexcept {
  if (!m_buffer.held() && !begin()) return false;
  if (!data) return true;
  while (count > 0) {
    // Whole pairs that fit; the buffer grows only when not even one does.
    std::size_t fit = (m_buffer.capacity() - m_buffer.length()) / 2;
    if (fit == 0) {
      if (!m_buffer.grow()) return false;
      continue;
    }
    fit = std::min(fit, count);
    write_pairs(data, fit, m_buffer.extend(static_cast<std::uint32_t>(2 * fit)));
    data += fit;
    count -= fit;
  }
  return true;
}

bool encoder::end() noexcept {
  if (!m_buffer.held() && !begin()) return false;
  if (m_buffer.length() >= m_buffer.capacity() && !m_buffer.grow()) return false;
  m_buffer.push(frame_end);
  return true;
}

void frame::take(packet& from) noexcept {
  clear();
  m_size = from.length();
  m_release = from.memory().release;
  m_data = from.release();
}

std::uint32_t frame::read(std::uint32_t& position, std::uint8_t* out, std::uint32_t count) const noexcept {
  const std::uint32_t n = std::min(count, m_size - std::min(position, m_size));
  if (n) std::memcpy(out, m_data + position, n);
  position += n;
  return n;
}

std::uint32_t frame::skip(std::uint32_t& position, std::uint32_t count) const noexcept {
  const std::uint32_t n = std::min(count, m_size - std::min(position, m_size));
  position += n;
  return n;
}

void frame::clear() noexcept {
  if (m_data) m_release(m_data);
  m_data = nullptr;
  m_size = 0;
}

}  // namespace codrant
