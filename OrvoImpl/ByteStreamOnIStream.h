// The core's byte sink and source over a COM stream, for the marshalled
// state.
#pragma once

#include <objidl.h>

#include "core/byte_stream.h"

namespace orvo::impl {

class TStreamSink : public TByteSink {
 public:
  explicit TStreamSink(IStream* stream) noexcept : m_stream(stream) {}
  bool Write(const void* data, std::size_t count) override;

 private:
  IStream* m_stream;
};

class TStreamSource : public TByteSource {
 public:
  explicit TStreamSource(IStream* stream) noexcept : m_stream(stream) {}
  std::size_t Read(void* data, std::size_t count) override;

 private:
  IStream* m_stream;
};

}  // namespace orvo::impl
