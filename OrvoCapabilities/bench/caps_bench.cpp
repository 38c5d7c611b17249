// How much the descriptor cache saves: building an amplifier model on a cold
// cache (descriptors read and value lists generated) against a warm one
// (only the amplifier descriptor read), and the cost of a gain encode (the
// stage search) against a one-byte lookup encode. Prints ratios measured
// side by side in one run.
#include <chrono>
#include <cstdio>

#include "core/settings.h"
#include "tests/memory_source.h"

using namespace orvo::caps;
using clock_type = std::chrono::steady_clock;

namespace {
volatile std::int32_t sink;

template <class F>
double seconds_per(int rounds, F&& f) {
  const auto start = clock_type::now();
  for (int i = 0; i < rounds; ++i) f(i);
  return std::chrono::duration<double>(clock_type::now() - start).count() / rounds;
}
}  // namespace

int main() {
  auto source = test_support::default_source();
  TCapsRegistry registry(source, false);

  const double cold = seconds_per(200, [&](int) {
    TRangeCache cache;
    sink = load_amplifier(cache, registry, 0x0000).has_value();
  });
  TRangeCache warm_cache;
  load_amplifier(warm_cache, registry, 0x0000);
  const double warm = seconds_per(20000, [&](int) { sink = load_amplifier(warm_cache, registry, 0x0000).has_value(); });

  const auto model = *load_amplifier(warm_cache, registry, 0x0000);
  const setting gain = make_channel_setting(model, channel_setting::gain);
  const setting mode = make_channel_setting(model, channel_setting::input_mode);
  std::uint8_t record[10] = {};
  const double gain_write = seconds_per(20000, [&](int i) { gain.write(100 + i * 150, record); });
  const double mode_write = seconds_per(2000000, [&](int i) { mode.write(i & 0x7F, record); });
  sink = record[0];

  std::printf("model build, cold cache: %.2f us\n", cold * 1e6);
  std::printf("model build, warm cache: %.2f us\n", warm * 1e6);
  std::printf("cold / warm ratio: %.1f\n", cold / warm);
  std::printf("gain encode: %.3f us, lookup encode: %.4f us, ratio %.0f\n", gain_write * 1e6, mode_write * 1e6,
              gain_write / mode_write);
  return 0;
}
