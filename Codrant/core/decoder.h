// codrant::decoder finds whole packets in the byte stream of the serial
// line and hands each to a function.
//
//   decoder d;
//   d.decode(bytes, n, [](const std::uint8_t* packet, std::uint32_t size) { ... });
//
// Bytes may come in any chunks. 0x81 starts a frame (dropping any partial
// packet), 0xFF ends it and delivers the packet unless it ends between the
// two bytes of a pair, any other byte above 0x80 abandons the frame, and
// bytes outside a frame are ignored. Framing errors are silent.
//
// The packet is handed over after the decoder has left its frame, and its
// bytes are lent out of the decoder for the call: they stay valid and
// unchanged until the function returns, and the function may use the
// decoder again meanwhile (decode more bytes, reset it), which then starts
// outside any frame with a buffer of its own. An exception out of the
// function goes on to the caller of decode(); the rest of that chunk is not
// taken, and the decoder is left outside any frame.
//
// When memory runs out, decode() stops and returns false: the rest of that
// chunk is lost and the frame it was in is dropped, so that no packet
// missing those bytes is ever delivered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/framing.h"
#include "core/packet.h"

namespace codrant {

class decoder {
 public:
  explicit decoder(const allocator& memory = heap_allocator()) noexcept : m_buffer(memory) {}

  packet& buffer() noexcept { return m_buffer; }
  const packet& buffer() const noexcept { return m_buffer; }
  bool in_frame() const noexcept { return m_in_frame; }

  // Leaves any frame and resets the buffer; false when no buffer can be had.
  bool reset() noexcept {
    leave_frame();
    return m_buffer.reset();
  }

  // Takes `count` bytes in order; on_packet(const std::uint8_t*, std::uint32_t)
  // receives every whole packet. False when memory ran out.
  template <class OnPacket>
  bool decode(const std::uint8_t* data, std::size_t count, OnPacket&& on_packet);

 private:
  void leave_frame() noexcept {
    m_in_frame = false;
    m_second_of_pair = false;
  }
  bool fail() noexcept {
    leave_frame();
    return false;
  }
  // Joins a run of pair bytes (all no greater than 0x80) inside a frame.
  bool take_run(const std::uint8_t* data, std::size_t count) noexcept;
  // Hands the buffer's packet to on_packet, lent out for the call; false
  // when no buffer can be had afterwards.
  template <class OnPacket>
  bool deliver(OnPacket& on_packet);

  packet m_buffer;
  bool m_in_frame = false;
  bool m_second_of_pair = false;
};

template <class OnPacket>
bool decoder::decode(const std::uint8_t* data, std::size_t count, OnPacket&& on_packet) {
  if (!m_buffer.held() && !m_buffer.reset()) return fail();
  if (!data || count == 0) return true;
  const std::uint8_t* const end = data + count;
  while (data < end) {
    if (!m_in_frame) {
      // Outside a frame only a frame start counts.
      const void* start = std::memchr(data, frame_start, static_cast<std::size_t>(end - data));
      if (!start) return true;
      data = static_cast<const std::uint8_t*>(start) + 1;
      m_in_frame = true;
      m_second_of_pair = false;
      if (!m_buffer.reset()) return fail();
      continue;
    }
    const std::uint8_t byte = *data;
    if (byte <= pair_limit) {
      if (!m_second_of_pair) {
        // Whole pairs straight into the room the buffer has.
        const std::size_t joined =
            join_pair_run(data, static_cast<std::size_t>(end - data), m_buffer.capacity() - m_buffer.length(),
                          m_buffer.data() + m_buffer.length());
        if (joined) {
          m_buffer.extend(static_cast<std::uint32_t>(joined));
          data += 2 * joined;
          continue;
        }
      }
      const std::size_t run = pair_run(data, static_cast<std::size_t>(end - data));
      if (!take_run(data, run)) return fail();
      data += run;
      continue;
    }
    ++data;
    const bool whole = byte == frame_end && !m_second_of_pair;
    // A frame start restarts the packet; the frame end and any other byte
    // above 0x80 leave the frame.
    m_in_frame = byte == frame_start;
    m_second_of_pair = false;
    if (!(whole ? deliver(on_packet) : m_buffer.reset())) return fail();
  }
  return true;
}

template <class OnPacket>
bool decoder::deliver(OnPacket& on_packet) {
  const packet::loan lent = m_buffer.lend();
  try {
    on_packet(static_cast<const std::uint8_t*>(lent.data), lent.length);
  } catch (...) {
    m_buffer.take_back(lent);
    throw;
  }
  // Kept when nothing used the decoder meanwhile; freed when it has a new
  // buffer (and maybe a new frame) by now.
  return m_buffer.take_back(lent);
}

}  // namespace codrant
