#include "core/decoder.h"

#include <algorithm>

namespace codrant {

bool decoder::take_run(const std::uint8_t* data, std::size_t count) noexcept {
  // Never more at once than a buffer can hold.
  constexpr std::size_t slice = std::size_t{1} << 30;
  while (count > 0) {
    if (m_second_of_pair) {
      // The second byte of a pair: added to the byte its first one made.
      m_buffer.data()[m_buffer.length() - 1] += *data++;
      --count;
      m_second_of_pair = false;
      continue;
    }
    const std::size_t n = std::min(count, slice);
    const std::size_t pairs = n / 2;
    const bool odd = n % 2 != 0;
    const auto added = static_cast<std::uint32_t>(pairs + (odd ? 1 : 0));
    if (!m_buffer.reserve(added)) return false;
    std::uint8_t* out = m_buffer.extend(added);
    join_pairs(data, pairs, out);
    if (odd) {
      out[pairs] = data[n - 1];
      m_second_of_pair = true;
    }
    data += n;
    count -= n;
  }
  return true;
}

}  // namespace codrant
