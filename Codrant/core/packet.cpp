#include "core/packet.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace codrant {

const allocator& heap_allocator() noexcept {
  static const allocator heap{&std::malloc, &std::realloc, &std::free};
  return heap;
}

bool packet::set_grow_percent(std::int16_t percent) noexcept {
  if (percent == 0) return false;
  m_grow_percent = percent;
  return true;
}

bool packet::set_initial_size(std::int32_t size) noexcept {
  if (size <= refused_initial_size) return false;
  m_initial_size = size;
  return true;
}

bool packet::reset() noexcept {
  m_length = 0;
  const auto wanted = static_cast<std::uint32_t>(m_initial_size);
  if (m_data && m_capacity == wanted) return true;
  free_buffer();
  m_data = static_cast<std::uint8_t*>(m_memory.allocate(wanted));
  if (!m_data) return false;
  m_capacity = wanted;
  raise_peak();
  return true;
}

std::uint64_t packet::grown_capacity(std::uint32_t capacity, std::int16_t grow_percent) noexcept {
  // A negative grow percent makes the step negative: the minimum applies.
  const std::int64_t step = static_cast<std::int64_t>(capacity / 100) * grow_percent;
  return capacity + static_cast<std::uint64_t>(std::max<std::int64_t>(step, minimum_growth));
}

bool packet::grow() noexcept { return reallocate(grown_capacity(m_capacity, m_grow_percent)); }

bool packet::reserve(std::uint32_t count) noexcept {
  // The capacity step-by-step growth would reach, taken in one
  // reallocation: the same capacities and peak, without copying the
  // contents once per step.
  const std::uint64_t needed = static_cast<std::uint64_t>(m_length) + count;
  if (needed <= m_capacity) return true;
  std::uint64_t wanted = m_capacity;
  while (wanted < needed && wanted <= maximum_capacity)
    wanted = grown_capacity(static_cast<std::uint32_t>(wanted), m_grow_percent);
  return reallocate(wanted);
}

bool packet::reallocate(std::uint64_t wanted) noexcept {
  void* grown = nullptr;
  if (wanted <= maximum_capacity) {
    const auto size = static_cast<std::size_t>(wanted);
    if (m_length <= m_capacity / 8) {
      // Few bytes in use: a fresh block and a copy of those bytes only, not
      // of the whole old block as a reallocation may make.
      grown = m_memory.allocate(size);
      if (grown && m_data) {
        if (m_length) std::memcpy(grown, m_data, m_length);
        m_memory.release(m_data);
        m_data = nullptr;
      }
    } else {
      grown = m_memory.reallocate(m_data, size);
    }
  }
  if (!grown) {
    free_buffer();
    return false;
  }
  m_data = static_cast<std::uint8_t*>(grown);
  m_capacity = static_cast<std::uint32_t>(wanted);
  raise_peak();
  return true;
}

std::uint8_t* packet::release() noexcept {
  std::uint8_t* out = m_data;
  m_data = nullptr;
  m_capacity = 0;
  m_length = 0;
  return out;
}

packet::loan packet::lend() noexcept {
  const loan lent{m_data, m_capacity, m_length};
  m_data = nullptr;
  m_capacity = 0;
  m_length = 0;
  return lent;
}

bool packet::take_back(const loan& lent) noexcept {
  if (m_data) {
    if (lent.data) m_memory.release(lent.data);
    return true;
  }
  m_data = lent.data;
  m_capacity = lent.data ? lent.capacity : 0;
  m_length = 0;
  return reset();
}

void packet::free_buffer() noexcept {
  if (m_data) m_memory.release(m_data);
  m_data = nullptr;
  m_capacity = 0;
  m_length = 0;
}

}  // namespace codrant
