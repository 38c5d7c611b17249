// Writing plus reading a 16-amplifier state string against reference work
// on the same blob in the same run: Base64 encode and decode with Boost's
// base64 iterators and Boost.CRC's table-driven CRC-32 over the blob.
// Prints ours / reference (below 1 is faster than the reference).
#include <boost/archive/iterators/base64_from_binary.hpp>
#include <boost/archive/iterators/binary_from_base64.hpp>
#include <boost/archive/iterators/transform_width.hpp>
#include <boost/crc.hpp>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/state_string.h"

namespace {
using namespace orvo::impl;
using clock_type = std::chrono::steady_clock;
namespace it = boost::archive::iterators;

// The best time of rounds runs of repeat calls of f, in seconds per call.
template <class F>
double best_seconds(F&& f, int rounds, int repeat) {
  double best = 1e30;
  for (int i = 0; i < rounds; ++i) {
    const auto t0 = clock_type::now();
    for (int r = 0; r < repeat; ++r) f();
    const double s = std::chrono::duration<double>(clock_type::now() - t0).count() / repeat;
    if (s < best) best = s;
  }
  return best;
}

volatile std::size_t sink;

std::size_t ours(const TAmplifierMemoryCollection& state) {
  const std::string text = WriteStateString(state);
  TStateContent content;
  if (!ReadStateString(std::string_view(text), content)) std::abort();
  return text.size() + content.Amplifiers.Count();
}

std::size_t reference(const std::vector<std::uint8_t>& blob) {
  using encoder = it::base64_from_binary<it::transform_width<const std::uint8_t*, 6, 8>>;
  std::string text(encoder(blob.data()), encoder(blob.data() + blob.size()));
  text.append((3 - blob.size() % 3) % 3, '=');

  using decoder = it::transform_width<it::binary_from_base64<const char*>, 8, 6>;
  const std::size_t padding = std::count(text.end() - 2, text.end(), '=');
  std::vector<std::uint8_t> back(decoder(text.data()), decoder(text.data() + text.size() - padding));

  boost::crc_optimal<32, 0x04C11DB7, 0x0FFFFFFF, 0, false, false> crc;
  crc.process_bytes(back.data(), back.size());
  return back.size() + crc.checksum();
}
}  // namespace

int main() {
  TAmplifierMemoryCollection state;
  std::mt19937 rng(16);
  for (std::uint8_t i = 0; i < 16; ++i) {
    TMemory image;
    for (std::size_t b = 0; b < TMemory::Size; ++b) image.Data()[b] = static_cast<std::uint8_t>(rng());
    state.Add(i, i, image).SetHighlight(1);
  }
  const std::vector<std::uint8_t> blob = WriteStateBlob(state);
  if (reference(blob) == 0) return 1;

  const int rounds = 30, repeat = 2000;
  const double ours_s = best_seconds([&] { sink = ours(state); }, rounds, repeat);
  const double reference_s = best_seconds([&] { sink = reference(blob); }, rounds, repeat);
  std::printf(
      "16 amplifiers, %zu-byte blob: write+read %.2f us, Boost base64 + CRC %.2f us, ratio %.2f (target <= 1.0)\n",
      blob.size(), ours_s * 1e6, reference_s * 1e6, ours_s / reference_s);
  return 0;
}
