// The state the wine benchmarks measure: 16 amplifiers of the six default
// models in turn, with random images (the same every run).
#pragma once

#include <cstdint>
#include <random>

#include "core/amplifier_memory_collection.h"

namespace orvo::impl {

inline TAmplifierMemoryCollection SixteenAmplifierImages() {
  const std::uint8_t models[] = {0, 1, 10, 11, 20, 30};
  TAmplifierMemoryCollection images;
  std::mt19937 rng(16);
  for (std::uint8_t i = 0; i < 16; ++i) {
    TMemory image;
    for (std::size_t b = 0; b < TMemory::Size; ++b) image.Data()[b] = static_cast<std::uint8_t>(rng());
    images.Add(i, models[i % 6], image);
  }
  return images;
}

}  // namespace orvo::impl
