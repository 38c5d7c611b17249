// The portable MulDiv rounds exactly as the system's: compared over a grid
// of products and divisors with both signs, exact halves, a zero divisor and
// results beyond 32 bits. -2^31 stays out of the grid: Wine's MulDiv
// negates it in 32 bits (-12 * 0x7FFFFFFF / -2^31 gives -11 there), where
// the portable one computes the exact quotient (12).
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "core/mul_div.h"

namespace {

TEST(MulDiv, EqualsTheSystemsOnAGridWithNegativesAndHalves) {
  std::vector<int> factors;
  for (int v = -12; v <= 12; ++v) factors.push_back(v);
  for (int v : {99, 100, 101, 333, 9999, 10000, 10001, 65535, 0x7FFF, 0x10000, 0x7FFFFFFF, -0x7FFFFFFF})
    factors.push_back(v);
  std::vector<int> divisors;
  for (int v = -8; v <= 8; ++v) divisors.push_back(v);
  for (int v : {10000, -10000, 333, 0x10000, 0x7FFFFFFF, -0x7FFFFFFF}) divisors.push_back(v);

  int compared = 0;
  for (int a : factors)
    for (int b : factors)
      for (int c : divisors) {
        ASSERT_EQ(zel::mul_div(a, b, c), ::MulDiv(a, b, c)) << a << " * " << b << " / " << c;
        ++compared;
      }
  EXPECT_GT(compared, 30000);
}

}  // namespace
