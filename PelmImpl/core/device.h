// The addresses, requests and retry rules of the Pelm devices on a line.
//
// The device object is the port's client at address 16: devices send it
// their packets there. A search for devices talks to address 170, resets
// and master exchanges to address 204.
#pragma once

#include <cstdint>

namespace pelm {

constexpr std::uint8_t device_object_address = 16;
constexpr std::uint8_t find_address = 170;
constexpr std::uint8_t master_address = 204;

// The port's conversation time-out while devices are searched for.
constexpr std::int32_t find_timeout_ms = 4000;
// The rate the device object sets on its port unless the stored one says
// otherwise.
constexpr std::uint32_t default_baud_rate = 115200;

// One-byte requests and replies.
constexpr std::uint8_t find_request = 0x00;
constexpr std::uint8_t reset_request = 0x03;
// The device object's reply to a packet without a slave address, and to
// one no slave answered.
constexpr std::uint8_t reply_no_slave_address = 0x98;
constexpr std::uint8_t reply_no_slave_answer = 0x85;

// Why a conversation ended, as the line server reports it.
constexpr std::int32_t reason_interrupted = 2;
constexpr std::int32_t reason_invalid_packet = 3;

// The retries of a search. Interruptions are retried up to 101 times; after
// those, and for invalid packets from the start, up to 6 more retries
// follow. A device that always interrupts is asked 108 times, one that
// always sends invalid packets 7 times.
class find_retries {
 public:
  // Whether a conversation that ended for `reason` is to be asked again;
  // counts the retry when it is.
  bool again(std::int32_t reason) noexcept {
    if (reason == reason_interrupted && m_interrupted < 101) {
      ++m_interrupted;
      return true;
    }
    if ((reason == reason_interrupted || reason == reason_invalid_packet) && m_further < 6) {
      ++m_further;
      return true;
    }
    return false;
  }

 private:
  int m_interrupted = 0;
  int m_further = 0;
};

// The retries of a reset: an interrupted or invalid conversation is asked
// again 21 times at most (22 requests in all).
class reset_retries {
 public:
  bool again(std::int32_t reason) noexcept {
    if ((reason == reason_interrupted || reason == reason_invalid_packet) && m_count <= 20) {
      ++m_count;
      return true;
    }
    return false;
  }

 private:
  int m_count = 0;
};

}  // namespace pelm
