#include "core/mul_div.h"

#include <cstdint>

namespace zel {

int mul_div(int a, int b, int c) noexcept {
  if (c == 0) return -1;
  std::int64_t product = static_cast<std::int64_t>(a) * b;
  std::int64_t divisor = c;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  // Half the divisor pushed away from zero, then division toward zero:
  // nearest, halves away from zero.
  const std::int64_t half = divisor / 2;
  const std::int64_t q = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  if (q > 2147483647 || q < -2147483647) return -1;
  return static_cast<int>(q);
}

}  // namespace zel
