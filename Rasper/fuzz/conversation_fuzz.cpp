// libFuzzer target: packets read from the line, judged one after another
// against the port's conversation, with requests and ends in between as the
// input's control bytes say. The rules must never read outside a packet and
// must keep their own promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/conversation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  rasper::conversation c;
  std::size_t i = 0;
  while (i + 2 <= size) {
    const std::uint8_t control = data[i];
    const std::size_t n = data[i + 1] % 16;
    i += 2;
    if (control & 1) {
      if (c.begin_request() >= 128) std::abort();
    }
    if (control & 2) c.end();
    if (i + n > size) break;
    // A copy of exactly n bytes, so that a read beyond it is caught.
    auto* packet = static_cast<std::uint8_t*>(std::malloc(n ? n : 1));
    for (std::size_t k = 0; k < n; ++k) packet[k] = data[i + k];
    i += n;
    const std::size_t crc = (control & 4) ? 2 : 0;
    const bool valid = rasper::packet_valid(n, crc != 0, crc, (control & 8) != 0);
    const bool was_current = c.current();
    const rasper::verdict v = c.judge(valid, packet, n, crc);
    if (!valid && v != rasper::verdict::invalid) std::abort();
    if (v == rasper::verdict::device && (was_current || n < 5 || packet[1] > 253)) std::abort();
    if ((v == rasper::verdict::answer || v == rasper::verdict::completed) && (!was_current || packet[0] != c.id()))
      std::abort();
    std::free(packet);
  }
  return 0;
}
