// The byte streams the register images travel through. The COM shell wraps
// an IStream in these; the core and its tests use the buffer versions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvo::impl {

class TByteSink {
 public:
  virtual ~TByteSink() = default;
  // Appends count bytes; false when the sink refused them.
  virtual bool Write(const void* data, std::size_t count) = 0;
};

class TByteSource {
 public:
  virtual ~TByteSource() = default;
  // Reads up to count bytes into data and gives how many were read; fewer
  // than count means the source is exhausted or failed.
  virtual std::size_t Read(void* data, std::size_t count) = 0;
};

// A sink that appends to a byte vector.
class TBufferSink : public TByteSink {
 public:
  bool Write(const void* data, std::size_t count) override;
  const std::vector<std::uint8_t>& Bytes() const noexcept { return m_bytes; }

 private:
  std::vector<std::uint8_t> m_bytes;
};

// A source over bytes the caller keeps alive.
class TBufferSource : public TByteSource {
 public:
  TBufferSource(const std::uint8_t* data, std::size_t size) noexcept : m_data(data), m_size(size) {}
  explicit TBufferSource(const std::vector<std::uint8_t>& bytes) noexcept : TBufferSource(bytes.data(), bytes.size()) {}
  std::size_t Read(void* data, std::size_t count) override;
  std::size_t Position() const noexcept { return m_position; }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_position = 0;
};

}  // namespace orvo::impl
