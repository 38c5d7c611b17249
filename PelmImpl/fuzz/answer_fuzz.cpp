// libFuzzer target: device answers of any length and content, read as the
// answer to a search and as the answer to each kind of master request. The
// rules must never read outside an answer and must keep their own promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/find_answer.h"
#include "core/master_exchange.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto kind = static_cast<pelm::request_kind>(data[0] % 6);
  // A copy of exactly the answer's bytes, so that a read beyond it is caught.
  const std::size_t n = size - 1;
  auto* answer = static_cast<std::uint8_t*>(std::malloc(n ? n : 1));
  if (n) std::memcpy(answer, data + 1, n);

  const auto record = pelm::parse_find_answer(answer, n);
  if (record && (n < pelm::find_answer_size || record->identity.size() != 4)) std::abort();

  pelm::master_exchange m;
  pelm::callback_call call;
  m.answer(nullptr, 0, call);
  if (kind == pelm::request_kind::status && n) m.place_status(answer[0]);
  const auto step = m.answer(answer, n, call);
  if (step == pelm::master_exchange::step::call) {
    if (call.data && (call.length > n || call.method != pelm::callback_call::block_read)) std::abort();
    volatile std::uint8_t sum = 0;
    for (std::size_t i = 0; i < call.length; ++i) sum = sum + call.data[i];
    pelm::decode_answer(kind, answer, n, call);
    if (call.data && call.length + 7 != n) std::abort();
  } else if (n == 0 || answer[0] != pelm::busy_answer) {
    std::abort();
  }
  std::free(answer);
  return 0;
}
