// The state string: all register images, their status bytes and the
// test-box record as Base64 text of a checksummed blob.
//
// Blob written (version 3), N amplifiers, 85 x N + 35 bytes:
//   0   8   signature 08 19 2A 3B 4C 5D 6E 7F
//   8   4   version, i32 LE = 3
//   12  8   signature 7F 6E 5D 4C 3B 2A 19 08
//   20  4   header checksum over bytes 0-19 (TCRCGenerator32, big-endian)
//   24  7   TestBoxRec
//   31  85N records: 82-byte image, deblock, impedance, highlight status
//   end 4   blob checksum over every byte before it
// Versions 0 and 1 carry 83-byte records (the image and one unused byte);
// version 0 images hold the impedance thresholds at full value, later
// versions halved. A blob whose header checksum fails is read as a version 0
// blob without header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/amplifier_memory_collection.h"

namespace orvo::impl {

constexpr int StateStringVersion = 3;
constexpr std::size_t StateHeaderSize = 24;
constexpr std::size_t StateRecordSize = TMemory::Size + 3;     // versions 2 and 3
constexpr std::size_t StateOldRecordSize = TMemory::Size + 1;  // versions 0 and 1
constexpr std::size_t StateBlobSize(std::size_t amplifiers) noexcept {
  return StateHeaderSize + std::tuple_size_v<TestBoxRec> + StateRecordSize * amplifiers + 4;
}

// What a state string holds. Amplifiers read from a string have key 0xFF
// and amplifier IDs 0, 1, 2, ... by position; the global deblock flag is
// not carried and stays 0.
struct TStateContent {
  int Version = 0;
  TAmplifierMemoryCollection Amplifiers;
};

// The version 3 blob and string of the images, status bytes and test-box
// record of collection (notch bits normalised in the written copy).
std::vector<std::uint8_t> WriteStateBlob(const TAmplifierMemoryCollection& collection);
std::string WriteStateString(const TAmplifierMemoryCollection& collection);

// Read a blob or a string into content. An invalid one gives false and
// leaves content empty (version 0, no amplifiers). The string readers are
// instantiated for char, char16_t and wchar_t texts.
bool ReadStateBlob(const std::uint8_t* blob, std::size_t size, TStateContent& content);
template <class Char>
bool ReadStateString(std::basic_string_view<Char> text, TStateContent& content);

// Compares two state strings: 0 equal, 1 different, -1 when either is
// invalid. Amplifier counts that differ or are 0 give 1; pairs compare at
// the lower of the two versions: the images without the serial number
// (byte 80), from version 2 the status bytes, at version 3 the test-box
// records.
template <class Char>
int CompareStateStrings(std::basic_string_view<Char> first, std::basic_string_view<Char> second);

}  // namespace orvo::impl
