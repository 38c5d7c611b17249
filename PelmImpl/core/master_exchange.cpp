#include "core/master_exchange.h"

#include <algorithm>

namespace pelm {

namespace {
// Two-byte answers (status, identity, block write): both bytes; one byte of
// 0x80 or more alone; anything else reads as 255, 0.
void two_bytes(const std::uint8_t* a, std::size_t n, bool exact, callback_call& call) {
  if (exact ? n == 2 : n >= 2) {
    call.args[0] = a[0];
    call.args[1] = a[1];
  } else if (n == 1 && a[0] >= 0x80) {
    call.args[0] = a[0];
  } else {
    call.args[0] = 255;
  }
}

void block_read(const std::uint8_t* a, std::size_t n, callback_call& call) {
  if (n > 10 && a[4] + 5u == n && a[4] > 5 && a[5] >= 6) {
    // The block: its length byte and its first byte each count two bytes
    // more than the callback is given; a zero first byte names the device
    // through byte 8.
    const std::uint8_t length = static_cast<std::uint8_t>(a[4] - 2);
    call.args[0] = a[0] == 0 && a[8] != 0 ? a[8] : a[0];
    call.args[1] = a[1];
    call.args[2] = static_cast<std::uint8_t>(a[2] > 5 ? a[2] - 5 : 0);
    call.args[3] = a[3];
    call.args[4] = length;
    std::copy(a + 5, a + 5 + length, call.storage.begin());
    call.storage[0] = static_cast<std::uint8_t>(a[5] - 2);
    call.data = call.storage.data();
    call.length = length;
  } else if (n >= 5) {
    std::copy(a, a + 4, call.args);
  } else if (n >= 1 && a[0] >= 0x80) {
    call.args[0] = a[0];
  } else {
    call.args[0] = 255;
  }
}
}  // namespace

void decode_answer(request_kind kind, const std::uint8_t* a, std::size_t n, callback_call& call) {
  call = callback_call{};
  if (!a) n = 0;
  switch (kind) {
    case request_kind::opening:
      call.method = callback_call::open;
      break;
    case request_kind::status:
      call.method = callback_call::status;
      two_bytes(a, n, false, call);
      break;
    case request_kind::identity:
      call.method = callback_call::identity;
      two_bytes(a, n, false, call);
      break;
    case request_kind::block_read:
      call.method = callback_call::block_read;
      block_read(a, n, call);
      break;
    case request_kind::block_write:
      call.method = callback_call::block_write;
      two_bytes(a, n, true, call);
      break;
    case request_kind::none:
      break;
  }
}

place_result master_exchange::place_status(std::uint8_t address) noexcept {
  if (address < min_address || address >= max_address) return place_result::invalid_address;
  m_kind = request_kind::status;
  m_bytes[0] = 0x30;
  m_bytes[1] = address;
  m_size = 2;
  m_ready = true;
  return place_result::placed;
}

void master_exchange::place_identity() noexcept {
  m_kind = request_kind::identity;
  m_bytes[0] = 0x34;
  m_size = 1;
  m_ready = true;
}

place_result master_exchange::place_block(request_kind kind, std::uint8_t address, std::uint8_t a, std::uint8_t b,
                                          const std::uint8_t* data, std::size_t n) noexcept {
  if (address % 2 != 0 || address < min_address || address >= max_address) return place_result::invalid_address;
  if (n > max_block || (n > 0 && !data)) return place_result::invalid_block;
  m_kind = kind;
  m_bytes[0] = kind == request_kind::block_write ? 0x50 : 0x40;
  m_bytes[1] = static_cast<std::uint8_t>(n + 5);
  m_bytes[2] = address;
  m_bytes[3] = a;
  m_bytes[4] = 0x00;
  m_bytes[5] = b;
  if (n) std::copy(data, data + n, m_bytes.begin() + 6);
  m_size = 6 + n;
  m_ready = true;
  return place_result::placed;
}

master_exchange::step master_exchange::answer(const std::uint8_t* data, std::size_t n, callback_call& call) {
  if (data && n >= 1 && data[0] == busy_answer) {
    m_busy = true;
    return step::busy;
  }
  const request_kind answered = m_kind;
  m_kind = request_kind::none;
  m_ready = false;
  decode_answer(answered, data, n, call);
  return step::call;
}

master_exchange::reply master_exchange::take_reply() noexcept {
  reply r;
  if (m_kind == request_kind::none) {
    r.kind = reply_kind::complete;
  } else if (m_ready && m_kind != request_kind::opening) {
    r.kind = reply_kind::send;
    r.data = m_bytes.data();
    r.size = m_size;
    m_ready = false;
  }
  return r;
}

}  // namespace pelm
