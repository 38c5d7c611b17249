// codrant::packet: the growable byte buffer inside the encoder and the
// decoder of the serial line's framing.
//
// It keeps the settings a client can change (grow percent, initial size)
// and the figures it can read (peak size, capacity). Memory comes from an
// allocator given at construction, so that tests can make any allocation
// fail and the out-of-memory paths stay exercised.
#pragma once

#include <cstddef>
#include <cstdint>

namespace codrant {

// Where a packet's memory comes from. The three functions behave like
// std::malloc, std::realloc and std::free.
struct allocator {
  void* (*allocate)(std::size_t size);
  void* (*reallocate)(void* block, std::size_t size);
  void (*release)(void* block);
};

// std::malloc, std::realloc and std::free.
const allocator& heap_allocator() noexcept;

class packet {
 public:
  static constexpr std::int16_t default_grow_percent = 50;
  static constexpr std::int32_t default_initial_size = 1024;
  // Initial sizes up to this one are refused.
  static constexpr std::int32_t refused_initial_size = 1000;
  // Every growth adds at least this many bytes.
  static constexpr std::uint32_t minimum_growth = 100;
  // Capacities are handed out as signed 32-bit counts: never larger.
  static constexpr std::uint32_t maximum_capacity = 0x7FFFFFFF;

  explicit packet(const allocator& memory = heap_allocator()) noexcept : m_memory(memory) {}
  ~packet() { free_buffer(); }
  packet(const packet&) = delete;
  packet& operator=(const packet&) = delete;

  std::int16_t grow_percent() const noexcept { return m_grow_percent; }
  // Refuses 0 (returns false and keeps the setting).
  bool set_grow_percent(std::int16_t percent) noexcept;
  std::int32_t initial_size() const noexcept { return m_initial_size; }
  // Refuses sizes up to refused_initial_size; an accepted size applies from
  // the next reset.
  bool set_initial_size(std::int32_t size) noexcept;
  std::uint32_t peak_size() const noexcept { return m_peak_size; }
  std::uint32_t capacity() const noexcept { return m_capacity; }
  std::uint32_t length() const noexcept { return m_length; }
  bool held() const noexcept { return m_capacity != 0; }
  const std::uint8_t* data() const noexcept { return m_data; }
  std::uint8_t* data() noexcept { return m_data; }

  // Length 0. A buffer of the initial size is kept; any other is freed and
  // one of the initial size allocated. False when that allocation failed
  // (then no buffer is held).
  bool reset() noexcept;
  // The capacity one growth gives: capacity + max(capacity / 100 * grow
  // percent, 100), integer division first.
  static std::uint64_t grown_capacity(std::uint32_t capacity, std::int16_t grow_percent) noexcept;
  // Reallocates to grown_capacity(), keeping the contents. On failure (or a
  // capacity beyond maximum_capacity) the buffer is freed, capacity and
  // length become 0, and the result is false.
  bool grow() noexcept;
  // Grows until `count` more bytes fit.
  bool reserve(std::uint32_t count) noexcept;

  // Appends without checking: the caller has made room.
  void push(std::uint8_t byte) noexcept { m_data[m_length++] = byte; }
  // Makes `count` bytes past the end part of the contents (the caller has
  // written them) and returns where they start.
  std::uint8_t* extend(std::uint32_t count) noexcept {
    std::uint8_t* at = m_data + m_length;
    m_length += count;
    return at;
  }

  // Hands the buffer over: the caller frees it with the allocator's
  // release. The packet then holds no buffer.
  std::uint8_t* release() noexcept;

  // The buffer and its contents lent out for a while: the packet holds no
  // buffer until take_back(), so nothing done to it meanwhile can touch the
  // lent bytes.
  struct loan {
    std::uint8_t* data;
    std::uint32_t capacity;
    std::uint32_t length;
  };
  loan lend() noexcept;
  // Ends a loan. A packet that still holds no buffer takes the block back
  // empty and resets (false when that reset failed); one that has got a
  // buffer meanwhile keeps it, and the lent block is freed.
  bool take_back(const loan& lent) noexcept;

  const allocator& memory() const noexcept { return m_memory; }

 private:
  void free_buffer() noexcept;
  // Moves the contents into a buffer of `wanted` bytes; on failure (or
  // beyond maximum_capacity) frees the buffer and returns false.
  bool reallocate(std::uint64_t wanted) noexcept;
  void raise_peak() noexcept {
    if (m_capacity > m_peak_size) m_peak_size = m_capacity;
  }

  const allocator& m_memory;
  std::int16_t m_grow_percent = default_grow_percent;
  std::int32_t m_initial_size = default_initial_size;
  std::uint32_t m_peak_size = 0;
  std::uint32_t m_capacity = 0;
  std::uint32_t m_length = 0;
  std::uint8_t* m_data = nullptr;
};

}  // namespace codrant
