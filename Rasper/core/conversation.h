// The rules of a port's addressed conversations, without the COM objects
// that take part in them.
//
// A port has at most one current conversation. The line server opens one
// for a client's request (an id of its own, a 7-bit counter stepped by 61)
// or for a device's packet at a registered address (the device's id). Every
// packet read from the line is judged against the current conversation;
// the caller carries out the verdict with the clients and the writer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rasper {

// Why a conversation ended, as ICommClient::OnConversationTerminated hears it.
enum class end_reason : std::int32_t { completed = 0, timed_out = 1, interrupted = 2, invalid_packet = 3 };

// Addresses of devices on a line: 0 to 253. The line server answers
// inside a conversation with address 255.
constexpr unsigned device_address_count = 254;
constexpr std::uint8_t answer_address = 255;
constexpr std::uint8_t no_id = 255;

// Whether a packet of n bytes is whole. With a CRC generator its c bytes of
// CRC must check and the header must be there; without one a packet counts
// from 4 bytes.
bool packet_valid(std::size_t n, bool has_crc, std::size_t c, bool crc_ok) noexcept;

enum class verdict {
  invalid,      // not valid: a current conversation ends with reason 3
  completed,    // the device's empty reply to the current id: reason 0
  answer,       // payload for the current client: answer it
  drop,         // nothing to do
  interrupt,    // end the current conversation with reason 2 (cancel the writer),
                // then judge the packet again with no conversation current
  interrupted,  // the second packet of another id: end with reason 2
  device,       // no conversation current: a device at packet[1] opens one
};

class conversation {
 public:
  bool current() const noexcept { return m_current; }
  std::uint8_t id() const noexcept { return m_id; }

  // A client's request opens a conversation under the next id of the port
  // (61, 122, 55, ... for a new port).
  std::uint8_t begin_request() noexcept;
  // A device's packet opens a conversation under the device's id.
  void begin_device(std::uint8_t id) noexcept;
  // The current conversation is over (whatever the reason).
  void end() noexcept;

  // Judges a packet of n bytes (c of them CRC) read from the line.
  verdict judge(bool valid, const std::uint8_t* packet, std::size_t n, std::size_t c) noexcept;

 private:
  bool m_current = false;
  std::uint8_t m_id = no_id;
  std::uint8_t m_counter = 0;
  unsigned m_dropped = 0;
};

}  // namespace rasper
