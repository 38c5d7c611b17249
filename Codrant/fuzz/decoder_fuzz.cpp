// Feeds arbitrary byte streams, in arbitrary chunks, to the line decoder and
// compares what it delivers with the reference decoder. Every packet found
// is also encoded again and must decode to itself.
//
// Input: one mode byte, two bytes of grow percent, two of initial size, four
// of chunking seed, then the stream. Mode bit 0 makes allocations fail now
// and then: the decoder may then lose packets, but everything it delivers
// must still be a packet of the stream, in order. Mode bit 3 makes every
// delivery decode bytes that hold no frame start on the same decoder, bit 4
// reset it: neither may change what comes out.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/decoder.h"
#include "core/encoder.h"
#include "reference_decoder.h"

namespace {

std::uint32_t g_state = 1;
bool g_failing = false;

std::uint32_t next_random() {
  // xorshift32: chunk sizes and allocation failures, fixed by the input.
  g_state ^= g_state << 13;
  g_state ^= g_state >> 17;
  g_state ^= g_state << 5;
  return g_state;
}

bool allocation_allowed() { return !g_failing || next_random() % 8 != 0; }

const codrant::allocator sometimes_failing{
    [](std::size_t n) { return allocation_allowed() ? std::malloc(n) : nullptr; },
    [](void* p, std::size_t n) { return allocation_allowed() ? std::realloc(p, n) : nullptr; },
    [](void* p) { std::free(p); },
};

[[noreturn]] void fail() { std::abort(); }

void check_reencodes(const reference::bytes& packet) {
  codrant::encoder e;
  if (!e.add(packet.data(), packet.size()) || !e.end()) fail();
  const codrant::packet& frame = e.buffer();
  if (frame.length() != codrant::frame_size(packet.size())) fail();
  for (std::uint32_t i = 1; i + 1 < frame.length(); ++i)
    if (frame.data()[i] > codrant::pair_limit) fail();
  const auto back = reference::packets_in(frame.data(), frame.length());
  if (back.size() != 1 || back[0] != packet) fail();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 9) return 0;
  const std::uint8_t mode = data[0];
  const auto percent = static_cast<std::int16_t>(data[1] | data[2] << 8);
  const std::int32_t initial = 1001 + (data[3] | data[4] << 8) % 3000;
  g_state = (data[5] | data[6] << 8 | data[7] << 16 | static_cast<std::uint32_t>(data[8]) << 24) | 1;
  g_failing = (mode & 1) != 0;
  const std::uint8_t* stream = data + 9;
  const std::size_t length = size - 9;

  std::vector<reference::bytes> got;
  {
    codrant::decoder d(sometimes_failing);
    if (mode & 2) d.buffer().set_grow_percent(percent);
    if (mode & 4) d.buffer().set_initial_size(initial);
    static const std::uint8_t no_frame_start[] = {0x00, 0x07, 0xFF, 0x90, 0x05};
    auto ignore = [](const std::uint8_t*, std::uint32_t) { fail(); };
    auto collect = [&](const std::uint8_t* p, std::uint32_t n) {
      got.emplace_back(p, p + n);
      if (mode & 8) d.decode(no_frame_start, sizeof no_frame_start, ignore);
      if (mode & 16) d.reset();
      if (got.back() != reference::bytes(p, p + n)) fail();
    };
    for (std::size_t at = 0; at <= length;) {
      // Chunks of 0 to 63 bytes; an empty chunk sometimes as a null pointer.
      const std::size_t n = std::min<std::size_t>(next_random() % 64, length - at);
      const bool ok = d.decode(n == 0 && (next_random() & 1) ? nullptr : stream + at, n, collect);
      if (!ok && !g_failing) fail();
      if (!ok && d.in_frame()) fail();
      if (d.buffer().held() && d.buffer().capacity() > d.buffer().peak_size()) fail();
      at += n;
      if (at == length) break;
    }
  }
  g_failing = false;

  const auto expected = reference::packets_in(stream, length);
  if (mode & 1) {
    // What came out is a subsequence of what the stream holds.
    std::size_t k = 0;
    for (const auto& p : got) {
      while (k < expected.size() && expected[k] != p) ++k;
      if (k == expected.size()) fail();
      ++k;
    }
  } else if (got != expected) {
    fail();
  }
  for (const auto& p : expected) check_reencodes(p);
  return 0;
}
