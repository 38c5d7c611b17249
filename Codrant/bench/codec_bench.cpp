// Throughput of the framing codec: a 64 KiB stream of 1 KiB packets is
// encoded (each frame copied out, as the encoder's enumerator hands it over)
// and the frames decoded again in 4 KiB reads, as a port's reader delivers
// them. Printed as a ratio to memcpy of the same 64 KiB in the same run, and
// as a multiple of the 115200-baud line (11,520 bytes a second).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "core/decoder.h"
#include "core/encoder.h"

namespace {
using clock_type = std::chrono::steady_clock;

constexpr std::size_t packet_size = 1024;
constexpr std::size_t packet_count = 64;
constexpr std::size_t stream_size = packet_size * packet_count;
constexpr std::size_t read_size = 4096;
constexpr double line_bytes_per_second = 11520.0;

// The best of `rounds` timings of f, in seconds.
template <class F>
double best_of(int rounds, F&& f) {
  double best = 1e9;
  for (int r = 0; r < rounds; ++r) {
    const auto start = clock_type::now();
    f();
    best = std::min(best, std::chrono::duration<double>(clock_type::now() - start).count());
  }
  return best;
}
}  // namespace

int main() {
  std::mt19937 rng(42);
  std::vector<std::uint8_t> payload(stream_size);
  for (auto& b : payload) b = static_cast<std::uint8_t>(rng());
  std::vector<std::uint8_t> wire(codrant::frame_size(packet_size) * packet_count);
  std::vector<std::uint8_t> copy(stream_size);

  codrant::encoder enc;
  codrant::decoder dec;
  std::size_t received_bytes = 0;
  std::uint32_t received_sum = 0;
  bool failed = false;
  auto codec_round = [&] {
    std::size_t at = 0;
    for (std::size_t p = 0; p < packet_count; ++p) {
      failed |= !enc.add(payload.data() + p * packet_size, packet_size) || !enc.end();
      codrant::frame frame;
      frame.take(enc.buffer());
      std::memcpy(wire.data() + at, frame.data(), frame.size());
      at += frame.size();
    }
    received_bytes = 0;
    received_sum = 0;
    for (std::size_t r = 0; r < at; r += read_size) {
      failed |= !dec.decode(wire.data() + r, std::min(read_size, at - r), [&](const std::uint8_t* p, std::uint32_t n) {
        // A receiver's cheapest look at the packet: its size and last byte.
        received_bytes += n;
        received_sum += p[n - 1];
      });
    }
  };
  auto memcpy_round = [&] {
    std::memcpy(copy.data(), payload.data(), stream_size);
    // Keeps the copy from being optimised away.
    asm volatile("" : : "r"(copy.data()) : "memory");
  };

  std::uint32_t expected_sum = 0;
  for (std::size_t p = 1; p <= packet_count; ++p) expected_sum += payload[p * packet_size - 1];
  codec_round();
  if (failed || received_bytes != stream_size || received_sum != expected_sum) {
    std::fprintf(stderr, "codec round trip failed\n");
    return 1;
  }
  const int rounds = 2000;
  const double t_memcpy = best_of(rounds, memcpy_round);
  const double t_codec = best_of(rounds, codec_round);
  const double codec_rate = stream_size / t_codec;
  std::printf("stream: %zu packets of %zu bytes (%zu bytes)\n", packet_count, packet_size, stream_size);
  std::printf("memcpy:          %10.1f MB/s\n", stream_size / t_memcpy / 1e6);
  std::printf("encode + decode: %10.1f MB/s\n", codec_rate / 1e6);
  std::printf("ratio codec/memcpy: %.3f (target >= 0.1)\n", t_memcpy / t_codec);
  std::printf("multiple of the 115200-baud line (11520 bytes/s): %.0f\n", codec_rate / line_bytes_per_second);
  return 0;
}
