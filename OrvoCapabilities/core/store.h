// The descriptor store: readers and writers of the binary descriptors over a
// descriptor source (the registry in the library, memory in tests), and the
// process-wide cache of loaded descriptors with their value lists.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/descriptors.h"
#include "core/encoding.h"

namespace orvo::caps {

// Where descriptor bytes live. read() gives the bytes of a binary value and
// nothing for a value that is missing or of another type.
class descriptor_source {
 public:
  virtual ~descriptor_source() = default;
  virtual std::optional<bytes> read(std::uint16_t id) = 0;
  virtual void write(std::uint16_t id, const bytes& value) = 0;
  // Removes every descriptor.
  virtual void remove_all() = 0;
};

// Typed access to the descriptors of a source. Writers form the ID from an
// index and the type nibble (the amplifier writer takes the whole ID);
// readers OR their own nibble into the ID and succeed only for a value of
// exactly the record's size. While the setup switch is on, ReadInputMode
// reads nothing and gives the built-in six-entry list.
class TCapsRegistry {
 public:
  TCapsRegistry(descriptor_source& source, bool setup) noexcept : m_source(source), m_setup(setup) {}

  void WriteAmplifier(std::uint16_t id, const TAmplifierDescriptor& d);
  void WriteGain(std::uint16_t index, const TGainDescriptor& d);
  void WriteLowCut(std::uint16_t index, const TLowCutDescriptor& d);
  void WriteHighCut(std::uint16_t index, const THighCutDescriptor& d);
  void WriteNotch(std::uint16_t index, const TLookupDescriptor& d);
  void WriteInputMode(std::uint16_t index, const TLookupDescriptor& d);
  void WriteInputConnections(std::uint16_t index, const TLookupDescriptor& d);
  void WriteDeblockType(std::uint16_t index, const TLookupDescriptor& d);
  void WriteImpedanceResolution(std::uint16_t index, const TLookupDescriptor& d);

  bool ReadAmplifier(std::uint16_t id, TAmplifierDescriptor& out);
  bool ReadGain(std::uint16_t id, TGainDescriptor& out);
  bool ReadLowCut(std::uint16_t id, TLowCutDescriptor& out);
  bool ReadHighCut(std::uint16_t id, THighCutDescriptor& out);
  bool ReadNotch(std::uint16_t id, TLookupDescriptor& out);
  bool ReadInputMode(std::uint16_t id, TLookupDescriptor& out);
  bool ReadInputConnections(std::uint16_t id, TLookupDescriptor& out);
  bool ReadDeblockType(std::uint16_t id, TLookupDescriptor& out);
  bool ReadImpedanceResolution(std::uint16_t id, TLookupDescriptor& out);
  // The lookup reader of a lookup type nibble.
  bool ReadLookup(std::uint16_t id, TLookupDescriptor& out);

  void DeleteDescriptors();

 private:
  bool read_list(unsigned type, std::uint16_t id, TLookupDescriptor& out);
  void write_list(unsigned type, std::uint16_t index, const TLookupDescriptor& d);

  descriptor_source& m_source;
  bool m_setup;
};

// Writes the default descriptor set and the six default amplifier
// descriptors; the input-mode list has six entries when setup is on.
void write_defaults(TCapsRegistry& registry, bool setup);

// One loaded descriptor: gain, low-cut and high-cut keep their descriptor
// and generated value list, lookup lists their name and entries.
struct TRangeRecord {
  std::uint16_t id = 0;
  TGainDescriptor gain;
  TLowCutDescriptor low_cut;
  THighCutDescriptor high_cut;
  value_list values;
  TLookupDescriptor list;

  unsigned type() const noexcept { return type_of(id); }
  bool generated() const noexcept { return type() >= type_gain && type() <= type_high_cut; }
  std::int32_t count() const noexcept {
    return static_cast<std::int32_t>(generated() ? values.size() : list.entries.size());
  }
};

// A record over a list that is built in rather than stored (ID 0).
std::shared_ptr<const TRangeRecord> built_in_record(TLookupDescriptor list);

// Loaded descriptors in load order. Records are never removed or moved, so
// their addresses stay valid for the life of the cache; amplifier
// descriptors are read again on every load and never kept.
class TRangeCache {
 public:
  int IndexOf(std::uint16_t id) const noexcept;
  // Loads a descriptor, or for an amplifier ID the amplifier descriptor and
  // its eight descriptors (each of the type its position names), stopping at
  // the first failure.
  bool Load(std::uint16_t id, TCapsRegistry& registry);
  // As Load for an amplifier ID, also giving the descriptor read.
  bool LoadAmplifier(std::uint16_t id, TCapsRegistry& registry, TAmplifierDescriptor& out);
  const TRangeRecord* Find(std::uint16_t id) const noexcept;
  std::size_t size() const noexcept { return m_records.size(); }

 private:
  bool load_descriptor(std::uint16_t id, TCapsRegistry& registry);

  std::vector<std::unique_ptr<TRangeRecord>> m_records;
};

// The eight cached records an amplifier descriptor names, in slot order.
struct amplifier_records {
  std::uint16_t id = 0;
  std::array<const TRangeRecord*, slot_count> records{};
};
// Loads an amplifier model into the cache; nullopt when the amplifier
// descriptor is missing or any of its descriptors fails to load.
std::optional<amplifier_records> load_amplifier(TRangeCache& cache, TCapsRegistry& registry, std::uint16_t id);

}  // namespace orvo::caps
