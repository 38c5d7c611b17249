// Arbitrary bytes into LoadFromStream and the marshal stream reader. What
// loads must save back to the bytes it came from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "require.h"
#include "core/amplifier_memory_collection.h"
#include "core/byte_stream.h"

using namespace orvo::impl;

using orvo::impl::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Records: the first byte limits the count, the rest is the stream.
  if (size > 0) {
    TAmplifierMemoryCollection collection;
    TBufferSource source(data + 1, size - 1);
    const std::size_t limit = data[0] == 0xFF ? static_cast<std::size_t>(-1) : data[0];
    const std::size_t loaded = collection.LoadFromStream(source, limit);
    Require(loaded == collection.Count() && loaded <= limit && loaded == std::min(limit, (size - 1) / 87));
    TBufferSink sink;
    Require(collection.SaveToStream(&sink) == 87 * loaded);
    Require(sink.Bytes().size() == 87 * loaded &&
            (loaded == 0 || std::memcmp(sink.Bytes().data(), data + 1, sink.Bytes().size()) == 0));
  }

  // The marshal stream: the whole input.
  TAmplifierMemoryCollection marshalled;
  marshalled.Add(1, 2, TMemory());
  TBufferSource source(data, size);
  if (ReadMarshalStream(source, marshalled)) {
    Require(source.Position() == MarshalSize(marshalled.Count()));
    TBufferSink sink;
    WriteMarshalStream(marshalled, sink);
    Require(sink.Bytes().size() == source.Position() && std::memcmp(sink.Bytes().data(), data, source.Position()) == 0);
  } else {
    Require(marshalled.Count() == 1 && marshalled.Item(0).Key() == 1);
  }
  return 0;
}
