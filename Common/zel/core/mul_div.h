// The window system's MulDiv, portable: the splitter keeps its proportional
// position with it and must round exactly as the system does.
#pragma once

namespace zel {

// a * b / c with a 64-bit product, rounded to the nearest integer, halves
// away from zero (2 * 3 / 4 = 2, -2 * 3 / 4 = -2, 1 * 1 / 2 = 1). Returns -1
// when c is 0 or the result does not fit in [-2^31 + 1, 2^31 - 1].
int mul_div(int a, int b, int c) noexcept;

}  // namespace zel
