#include "core/amplifier_memory_collection.h"

#include <algorithm>
#include <string>

#include "core/byte_stream.h"
#include "core/errors.h"
#include "core/little_endian.h"

namespace orvo::impl {
namespace {
void WriteOrThrow(TByteSink& sink, const std::uint8_t* data, std::size_t count) {
  if (!sink.Write(data, count)) throw EStreamError("The stream refused the amplifier records.");
}
}  // namespace

TAmplifierMemory& TAmplifierMemoryCollection::Item(std::size_t index) {
  if (index >= m_items.size())
    throw ERangeError("Amplifier index " + std::to_string(index) + " is outside the collection of " +
                      std::to_string(m_items.size()));
  return *m_items[index];
}

const TAmplifierMemory& TAmplifierMemoryCollection::Item(std::size_t index) const {
  return const_cast<TAmplifierMemoryCollection*>(this)->Item(index);
}

int TAmplifierMemoryCollection::IndexOfKey(std::uint8_t key) const noexcept {
  for (std::size_t i = 0; i < m_items.size(); ++i)
    if (m_items[i]->Key() == key) return static_cast<int>(i);
  return -1;
}

TAmplifierMemory& TAmplifierMemoryCollection::Add(std::uint8_t key, std::uint32_t amplifier_id, const TMemory& source) {
  auto amplifier = std::make_unique<TAmplifierMemory>(key, amplifier_id);
  amplifier->CopyFrom(source);
  m_items.push_back(std::move(amplifier));
  return *m_items.back();
}

void TAmplifierMemoryCollection::AssignFrom(const TAmplifierMemoryCollection& other) {
  if (m_items.empty() || other.m_items.empty()) return;
  m_global_deblock = other.m_global_deblock;
  const std::size_t n = std::min(m_items.size(), other.m_items.size());
  for (std::size_t i = 0; i < n; ++i) {
    const TAmplifierMemory& source = *other.m_items[i];
    const int target = IndexOfKey(source.Key());
    if (target >= 0) m_items[static_cast<std::size_t>(target)]->CopyFrom(source);
  }
}

std::size_t TAmplifierMemoryCollection::SaveToStream(TByteSink* sink) const {
  if (sink) {
    std::uint8_t record[TAmplifierMemory::RecordSize];
    for (const auto& amplifier : m_items) {
      amplifier->StoreRecord(record);
      WriteOrThrow(*sink, record, sizeof record);
    }
  }
  return TAmplifierMemory::RecordSize * m_items.size();
}

std::size_t TAmplifierMemoryCollection::LoadFromStream(TByteSource& source, std::size_t count) {
  Clear();
  std::uint8_t record[TAmplifierMemory::RecordSize];
  while (m_items.size() < count && source.Read(record, sizeof record) == sizeof record)
    m_items.push_back(std::make_unique<TAmplifierMemory>(TAmplifierMemory::FromRecord(record)));
  return m_items.size();
}

void WriteMarshalStream(const TAmplifierMemoryCollection& collection, TByteSink& sink) {
  std::uint8_t head[MarshalHeadSize];
  StoreI32(head, static_cast<std::int32_t>(collection.Count()));
  StoreI32(head + 4, collection.GlobalDeblock());
  std::copy(collection.TestBox().begin(), collection.TestBox().end(), head + 8);
  WriteOrThrow(sink, head, sizeof head);
  collection.SaveToStream(&sink);
}

bool ReadMarshalStream(TByteSource& source, TAmplifierMemoryCollection& collection) {
  std::uint8_t head[MarshalHeadSize];
  if (source.Read(head, sizeof head) != sizeof head) return false;
  const std::int32_t count = LoadI32(head);
  if (count < 0) return false;
  TAmplifierMemoryCollection loaded;
  if (loaded.LoadFromStream(source, static_cast<std::size_t>(count)) != static_cast<std::size_t>(count)) return false;
  loaded.SetGlobalDeblock(LoadI32(head + 4));
  std::copy(head + 8, head + MarshalHeadSize, loaded.TestBox().begin());
  collection = std::move(loaded);
  return true;
}

}  // namespace orvo::impl
