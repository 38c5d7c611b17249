#include "core/encoder.h"

#include <algorithm>
#include <cstring>

#include "core/framing.h"

namespace codrant {

bool encoder::begin() noexcept {
  if (!m_buffer.reset()) return false;
  m_buffer.push(frame_start);
  return true;
}

bool encoder::add(const std::uint8_t* data, std::size_t count) noexcept {
  if (!m_buffer.held() && !begin()) return false;
  if (!data) return true;
  // Never more at once than a buffer can hold.
  constexpr std::size_t slice = std::size_t{1} << 29;
  while (count > 0) {
    // The buffer takes the capacity growth would give once every pair is
    // in, in one step.
    const std::size_t n = std::min(count, slice);
    if (!m_buffer.reserve(static_cast<std::uint32_t>(2 * n))) return false;
    write_pairs(data, n, m_buffer.extend(static_cast<std::uint32_t>(2 * n)));
    data += n;
    count -= n;
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
