// Throughput of the CRC registers against Boost.CRC's table-driven
// crc_optimal with the same parameters, on the same 1 MiB buffer in the
// same run. Prints one ratio per register (ours / Boost; above 1 is faster).
#include <boost/crc.hpp>

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "core/crc_register.h"

namespace {
using clock_type = std::chrono::steady_clock;

template <class F>
double best_seconds(F&& f, int rounds) {
  double best = 1e30;
  for (int i = 0; i < rounds; ++i) {
    const auto t0 = clock_type::now();
    f();
    const double s = std::chrono::duration<double>(clock_type::now() - t0).count();
    if (s < best) best = s;
  }
  return best;
}

volatile unsigned long sink;

template <class Register>
unsigned long ours(const std::vector<std::uint8_t>& buffer) {
  Register r;
  r.add(buffer.data(), buffer.size());
  r.end_generate();
  return r.value();
}

template <class BoostCrc>
unsigned long theirs(const std::vector<std::uint8_t>& buffer) {
  BoostCrc c;
  c.process_bytes(buffer.data(), buffer.size());
  return c.checksum();
}
}  // namespace

int main() {
  std::vector<std::uint8_t> buffer(1 << 20);
  std::mt19937 rng(1);
  for (auto& b : buffer) b = static_cast<std::uint8_t>(rng());
  const int rounds = 30;
  const double mib = buffer.size() / 1048576.0;

  const double ours16 = best_seconds([&] { sink = ours<crc::crc16_register>(buffer); }, rounds);
  const double boost16 = best_seconds(
      [&] { sink = theirs<boost::crc_optimal<16, 0x8005, 0xFFFF, 0xFFFF, false, false>>(buffer); }, rounds);
  const double ours32 = best_seconds([&] { sink = ours<crc::crc32_register>(buffer); }, rounds);
  const double boost32 = best_seconds(
      [&] { sink = theirs<boost::crc_optimal<32, 0x04C11DB7, 0xFFFFFFFF, 0, false, false>>(buffer); }, rounds);

  std::printf("crc16: %.0f MiB/s, Boost crc_optimal %.0f MiB/s, ratio %.2f\n", mib / ours16, mib / boost16,
              boost16 / ours16);
  std::printf("crc32: %.0f MiB/s, Boost crc_optimal %.0f MiB/s, ratio %.2f\n", mib / ours32, mib / boost32,
              boost32 / ours32);
  return 0;
}
