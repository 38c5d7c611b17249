// The request/answer rules of a master controller, without the COM objects
// that take part in them.
//
// An exchange is one conversation of the line server with address 204. It
// opens with an empty call; every later call carries the device's answer to
// the request that went out last. Each answer (and the opening) becomes one
// call of the client program's callback; a request the callback places
// while it is being called goes out as the reply, and when it places none
// the exchange completes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pelm {

enum class request_kind : std::uint8_t {
  opening = 0,      // the conversation is being opened
  status = 1,       // {0x30, address}
  identity = 2,     // {0x34}
  block_read = 3,   // {0x40, n + 5, address, a, 0, b, data}
  block_write = 4,  // {0x50, n + 5, address, a, 0, b, data}
  none = 5,
};

// The device is busy: the answer that only says so.
constexpr std::uint8_t busy_answer = 0x95;
// Device addresses a request may name: from 4 up to, not including, 254.
constexpr std::uint8_t min_address = 4;
constexpr std::uint8_t max_address = 254;
// The longest block a request carries: its length byte holds n + 5.
constexpr std::size_t max_block = 250;
constexpr std::size_t max_request = 6 + max_block;

enum class place_result {
  placed,
  invalid_address,  // outside 4..253, or an odd block address
  invalid_block,    // a block longer than max_block, or bytes missing
};

// The callback method an answer calls (numbered after IUnknown's three) and
// its arguments.
struct callback_call {
  enum method_number : int {
    unexpected = 0,  // no method: the call fails with E_UNEXPECTED
    open = 1,
    status = 2,
    identity = 8,
    block_read = 9,
    block_write = 10,
  } method = unexpected;
  std::uint8_t args[5] = {};
  // The block of a block read (method 9), `length` bytes; null when none.
  const std::uint8_t* data = nullptr;
  std::size_t length = 0;
  std::array<std::uint8_t, 256> storage{};
};

// The callback call for an answer of n bytes to a request of `kind`.
// (The copy it holds is its own; the answer is only read.)
void decode_answer(request_kind kind, const std::uint8_t* answer, std::size_t n, callback_call& call);

class master_exchange {
 public:
  // Places a request, dropping any earlier one.
  place_result place_status(std::uint8_t address) noexcept;
  void place_identity() noexcept;
  place_result place_block(request_kind kind, std::uint8_t address, std::uint8_t a, std::uint8_t b,
                           const std::uint8_t* data, std::size_t n) noexcept;

  enum class step { busy, call };
  // An answer (or the opening call, with no bytes). A busy answer only
  // marks the exchange busy; any other takes the kind it answers and fills
  // `call`.
  step answer(const std::uint8_t* data, std::size_t n, callback_call& call);

  // After the callback succeeded: the reply that goes out, if any.
  enum class reply_kind { send, complete, unexpected };
  struct reply {
    reply_kind kind = reply_kind::unexpected;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
  };
  // A placed request is handed out once (the bytes stay valid until the
  // next request is placed).
  reply take_reply() noexcept;

  // The end reason the callback hears: 2 when the device said it was busy.
  std::int32_t end_reason(std::int32_t reason) const noexcept { return m_busy ? 2 : reason; }
  bool busy() const noexcept { return m_busy; }
  request_kind pending() const noexcept { return m_kind; }

 private:
  request_kind m_kind = request_kind::opening;
  std::array<std::uint8_t, max_request> m_bytes{};
  std::size_t m_size = 0;
  bool m_ready = false;  // bytes placed and not yet handed out
  bool m_busy = false;
};

}  // namespace pelm
