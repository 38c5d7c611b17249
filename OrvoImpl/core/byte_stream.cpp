#include "core/byte_stream.h"

#include <algorithm>
#include <cstring>

namespace orvo::impl {

bool TBufferSink::Write(const void* data, std::size_t count) {
  if (count == 0) return true;
  if (!data) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  m_bytes.insert(m_bytes.end(), bytes, bytes + count);
  return true;
}

std::size_t TBufferSource::Read(void* data, std::size_t count) {
  const std::size_t n = std::min(count, m_size - m_position);
  if (n == 0 || !data) return 0;
  std::memcpy(data, m_data + m_position, n);
  m_position += n;
  return n;
}

}  // namespace orvo::impl
