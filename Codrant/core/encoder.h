// codrant::encoder turns packets into frames; codrant::frame owns the
// bytes of one finished frame.
//
//   encoder e;                 // begins a packet itself
//   e.add(bytes, n);           // as often as needed
//   e.end();                   // closes the frame
//   frame f(e.buffer());       // takes the bytes; the encoder holds none
//   e.add(...);                // begins the next frame by itself
//
// Every step that needs memory returns false when it cannot have it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/packet.h"

namespace codrant {

class encoder {
 public:
  explicit encoder(const allocator& memory = heap_allocator()) noexcept : m_buffer(memory) {}

  packet& buffer() noexcept { return m_buffer; }
  const packet& buffer() const noexcept { return m_buffer; }

  // Resets the buffer and writes the frame start.
  bool begin() noexcept;
  // Appends the pairs of `count` packet bytes, beginning a packet first when
  // no buffer is held. Null data adds nothing. When growing fails the
  // buffer is gone (as packet::grow says) and the result is false.
  bool add(const std::uint8_t* data, std::size_t count) noexcept;
  // Writes the frame end, beginning a packet first when no buffer is held.
  // The finished frame is the buffer's contents.
  bool end() noexcept;

 private:
  packet m_buffer;
};

// The bytes of one finished frame, taken from an encoder's buffer and freed
// with that buffer's allocator.
class frame {
 public:
  frame() noexcept = default;
  ~frame() { clear(); }
  frame(const frame&) = delete;
  frame& operator=(const frame&) = delete;

  // Takes the buffer's contents; the buffer then holds nothing.
  void take(packet& from) noexcept;
  const std::uint8_t* data() const noexcept { return m_data; }
  std::uint32_t size() const noexcept { return m_size; }

  // Copies up to `count` bytes from `position` on, advances it and returns
  // how many were copied.
  std::uint32_t read(std::uint32_t& position, std::uint8_t* out, std::uint32_t count) const noexcept;
  // Advances `position` by up to `count` bytes; returns how many.
  std::uint32_t skip(std::uint32_t& position, std::uint32_t count) const noexcept;

 private:
  void clear() noexcept;

  std::uint8_t* m_data = nullptr;
  std::uint32_t m_size = 0;
  void (*m_release)(void*) = nullptr;
};

}  // namespace codrant
