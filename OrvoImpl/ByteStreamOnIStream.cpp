#include "ByteStreamOnIStream.h"

#include <algorithm>
#include <limits>

namespace orvo::impl {

bool TStreamSink::Write(const void* data, std::size_t count) {
  if (count > std::numeric_limits<ULONG>::max()) return false;
  ULONG written = 0;
  return SUCCEEDED(m_stream->Write(data, static_cast<ULONG>(count), &written)) && written == count;
}

std::size_t TStreamSource::Read(void* data, std::size_t count) {
  auto* bytes = static_cast<BYTE*>(data);
  std::size_t total = 0;
  while (total < count) {
    ULONG read = 0;
    const ULONG want = static_cast<ULONG>(std::min<std::size_t>(count - total, std::numeric_limits<ULONG>::max()));
    if (FAILED(m_stream->Read(bytes + total, want, &read)) || read == 0) break;
    total += read;
  }
  return total;
}

}  // namespace orvo::impl
