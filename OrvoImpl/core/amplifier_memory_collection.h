// TAmplifierMemoryCollection: the register images of all amplifiers, in
// order, with the global deblock flag and the test-box record; and the two
// binary forms they travel in (87-byte amplifier records, and the marshal
// stream: a 15-byte head followed by those records).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "core/amplifier_memory.h"

namespace orvo::impl {

class TByteSink;
class TByteSource;

// The test-box record, held once per state.
using TestBoxRec = std::array<std::uint8_t, 7>;
enum TestBoxByte : std::size_t {
  TestBoxShown = 0,  // non-zero: a TestBox channel is shown
  TestBoxOutputChannel = 1,
  TestBoxAttenuator = 2,
  TestBoxPositiveSignalSelect = 3,
  TestBoxPositiveInputSelect = 4,
  TestBoxNegativeSignalSelect = 5,
  TestBoxNegativeInputSelect = 6,
};

class TAmplifierMemoryCollection {
 public:
  TAmplifierMemoryCollection() = default;
  TAmplifierMemoryCollection(TAmplifierMemoryCollection&&) noexcept = default;
  TAmplifierMemoryCollection& operator=(TAmplifierMemoryCollection&&) noexcept = default;
  TAmplifierMemoryCollection(const TAmplifierMemoryCollection&) = delete;
  TAmplifierMemoryCollection& operator=(const TAmplifierMemoryCollection&) = delete;

  std::size_t Count() const noexcept { return m_items.size(); }
  // The amplifier at index; ERangeError outside 0..Count()-1.
  TAmplifierMemory& Item(std::size_t index);
  const TAmplifierMemory& Item(std::size_t index) const;
  // The first position whose key equals key, -1 when none.
  int IndexOfKey(std::uint8_t key) const noexcept;
  void Clear() noexcept { m_items.clear(); }

  // Appends an amplifier with that key and ID, a copy of source's image and
  // status bytes 0.
  TAmplifierMemory& Add(std::uint8_t key, std::uint32_t amplifier_id, const TMemory& source);

  // When both collections hold amplifiers: takes other's global deblock
  // flag, then for each of the first min(Count, other.Count) amplifiers of
  // other copies its image into the first amplifier here with the same key
  // (status bytes and test-box record stay; amplifiers without a match are
  // skipped).
  void AssignFrom(const TAmplifierMemoryCollection& other);

  // Writes every amplifier as an 87-byte record to sink (when given and the
  // collection is not empty); gives 87 x Count either way, so a call without
  // a sink measures the size. A sink that refuses bytes raises EStreamError.
  std::size_t SaveToStream(TByteSink* sink) const;
  // Clears the collection, then reads up to count 87-byte records, each
  // record read whole becoming an amplifier; a short read ends the loading.
  // Gives the number of amplifiers loaded.
  std::size_t LoadFromStream(TByteSource& source, std::size_t count = std::numeric_limits<std::size_t>::max());

  std::int32_t GlobalDeblock() const noexcept { return m_global_deblock; }
  void SetGlobalDeblock(std::int32_t flag) noexcept { m_global_deblock = flag; }
  TestBoxRec& TestBox() noexcept { return m_test_box; }
  const TestBoxRec& TestBox() const noexcept { return m_test_box; }

 private:
  std::vector<std::unique_ptr<TAmplifierMemory>> m_items;
  std::int32_t m_global_deblock = 0;
  TestBoxRec m_test_box{};
};

// The marshal stream: i32 amplifier count, i32 global deblock flag (both
// little-endian), the test-box record, then one 87-byte record per
// amplifier.
constexpr std::size_t MarshalHeadSize = 15;
constexpr std::size_t MarshalSize(std::size_t count) noexcept {
  return TAmplifierMemory::RecordSize * count + MarshalHeadSize;
}
// Writes the whole collection; a sink that refuses bytes raises EStreamError.
void WriteMarshalStream(const TAmplifierMemoryCollection& collection, TByteSink& sink);
// Reads a marshal stream into collection. A short head, a negative count or
// fewer records than the head announces leave collection unchanged and give
// false.
bool ReadMarshalStream(TByteSource& source, TAmplifierMemoryCollection& collection);

}  // namespace orvo::impl
