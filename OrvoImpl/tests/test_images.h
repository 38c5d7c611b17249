// Images and collections the OrvoImpl core tests build their cases from.
#pragma once

#include <cstdint>
#include <vector>

#include "core/amplifier_memory_collection.h"
#include "core/memory.h"

namespace orvo::impl::testing {

// An image whose every byte differs from its neighbours and depends on
// seed; channel byte 3 is left with bit 0 and bit 2 in agreement so the
// notch normalisation does not change it.
inline TMemory PatternImage(std::uint8_t seed) {
  TMemory memory;
  for (std::size_t i = 0; i < TMemory::Size; ++i) memory.Data()[i] = static_cast<std::uint8_t>(seed * 31 + i * 7 + 1);
  for (std::size_t c = 0; c < TMemory::ChannelCount; ++c) {
    std::uint8_t& flags = memory.Data()[c * TMemory::ChannelRecordSize + TMemory::ChannelFlagsByte];
    flags = (flags & 1) ? flags | 5 : flags & 0xFA;
  }
  return memory;
}

// A collection of count amplifiers with pattern images, keys 10 + i, IDs
// 0x100 + i and status bytes (i & 1, (i >> 1) & 1, 1).
inline TAmplifierMemoryCollection PatternCollection(std::size_t count) {
  TAmplifierMemoryCollection collection;
  for (std::size_t i = 0; i < count; ++i) {
    auto& amplifier = collection.Add(static_cast<std::uint8_t>(10 + i), static_cast<std::uint32_t>(0x100 + i),
                                     PatternImage(static_cast<std::uint8_t>(i)));
    amplifier.SetDeblockState(i & 1);
    amplifier.SetImpedanceState((i >> 1) & 1);
    amplifier.SetHighlight(1);
  }
  collection.TestBox() = {1, 0x04, 0x02, 0x08, 0x05, 0x10, 0x80};
  return collection;
}

inline std::vector<std::uint8_t> ImageBytes(const TMemory& memory) {
  return {memory.Data(), memory.Data() + TMemory::Size};
}

}  // namespace orvo::impl::testing
