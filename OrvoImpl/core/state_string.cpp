#include "core/state_string.h"

#include <algorithm>
#include <cstring>

#include "core/base64.h"
#include "core/crc_generator32.h"
#include "core/little_endian.h"

namespace orvo::impl {
namespace {
constexpr std::uint8_t Signature[8] = {0x08, 0x19, 0x2A, 0x3B, 0x4C, 0x5D, 0x6E, 0x7F};
constexpr std::size_t ChecksumSize = TCRCGenerator32::ChecksumSize;
constexpr std::size_t HeaderSpan = StateHeaderSize - ChecksumSize;  // bytes the header checksum covers
constexpr std::size_t TestBoxSize = std::tuple_size_v<TestBoxRec>;
// The shortest blob read at all, and the shortest version 3 blob.
constexpr std::size_t MinimumBlobSize = 28;
constexpr std::size_t MinimumVersion3BlobSize = StateBlobSize(0);

// Version 0 images hold both impedance thresholds at full value.
void HalveThreshold(std::uint8_t* field) noexcept {
  const unsigned value = (unsigned{field[0]} | unsigned{field[1]} << 8) >> 1;
  field[0] = static_cast<std::uint8_t>(value);
  field[1] = static_cast<std::uint8_t>(value >> 8);
}
}  // namespace

std::vector<std::uint8_t> WriteStateBlob(const TAmplifierMemoryCollection& collection) {
  const std::size_t count = collection.Count();
  std::vector<std::uint8_t> blob(StateBlobSize(count), 0);
  std::uint8_t* p = blob.data();
  std::copy(std::begin(Signature), std::end(Signature), p);
  StoreI32(p + 8, StateStringVersion);
  std::reverse_copy(std::begin(Signature), std::end(Signature), p + 12);
  TCRCGenerator32::Store(p, HeaderSpan);
  p += StateHeaderSize;
  p = std::copy(collection.TestBox().begin(), collection.TestBox().end(), p);
  for (std::size_t i = 0; i < count; ++i, p += StateRecordSize) {
    const TAmplifierMemory& amplifier = collection.Item(i);
    std::memcpy(p, amplifier.Data(), TMemory::Size);
    TMemory::NormaliseNotch(p);
    amplifier.StoreStatus(p + TMemory::Size);
  }
  TCRCGenerator32::Store(blob.data(), blob.size() - ChecksumSize);
  return blob;
}

std::string WriteStateString(const TAmplifierMemoryCollection& collection) {
  const std::vector<std::uint8_t> blob = WriteStateBlob(collection);
  return Base64Encode(blob.data(), blob.size());
}

bool ReadStateBlob(const std::uint8_t* blob, std::size_t size, TStateContent& content) {
  content = TStateContent{};
  if (!blob || size < MinimumBlobSize || !TCRCGenerator32::Holds(blob, size - ChecksumSize)) return false;

  int version = 0;
  std::size_t offset = 0;
  if (TCRCGenerator32::Holds(blob, HeaderSpan)) {
    version = LoadI32(blob + 8);
    offset = StateHeaderSize;
  }
  if (version < 0 || version > StateStringVersion) return false;

  TStateContent read;
  read.Version = version;
  if (version == 3) {
    if (size < MinimumVersion3BlobSize) return false;
    std::copy(blob + offset, blob + offset + TestBoxSize, read.Amplifiers.TestBox().begin());
    offset += TestBoxSize;
  }

  // Only whole records before the blob checksum are read.
  const std::size_t record_size = version >= 2 ? StateRecordSize : StateOldRecordSize;
  const TMemory blank;
  for (std::size_t remaining = size - ChecksumSize - offset; remaining >= record_size;
       remaining -= record_size, offset += record_size) {
    const std::uint8_t* record = blob + offset;
    const auto position = static_cast<std::uint32_t>(read.Amplifiers.Count());
    TAmplifierMemory& amplifier = read.Amplifiers.Add(0xFF, position, blank);
    std::uint8_t* image = amplifier.Data();
    std::memcpy(image, record, TMemory::Size);
    if (version == 0) {
      HalveThreshold(image + TMemory::LowerThresholdOffset);
      HalveThreshold(image + TMemory::UpperThresholdOffset);
    }
    if (version >= 2) amplifier.SetStatus(record + TMemory::Size);
    amplifier.NormaliseNotch();
  }
  content = std::move(read);
  return true;
}

template <class Char>
bool ReadStateString(std::basic_string_view<Char> text, TStateContent& content) {
  std::vector<std::uint8_t> blob;
  if (!Base64Decode(text, blob)) {
    content = TStateContent{};
    return false;
  }
  return ReadStateBlob(blob.data(), blob.size(), content);
}

namespace {
bool SameAmplifier(const TAmplifierMemory& a, const TAmplifierMemory& b, int version) {
  const std::uint8_t* x = a.Data();
  const std::uint8_t* y = b.Data();
  const std::size_t serial = TMemory::SerialNumberOffset;
  if (std::memcmp(x, y, serial) != 0 || std::memcmp(x + serial + 1, y + serial + 1, TMemory::Size - serial - 1) != 0)
    return false;
  if (version >= 2 && (a.DeblockState() != b.DeblockState() || a.ImpedanceState() != b.ImpedanceState() ||
                       a.Highlight() != b.Highlight()))
    return false;
  return true;
}
}  // namespace

template <class Char>
int CompareStateStrings(std::basic_string_view<Char> first, std::basic_string_view<Char> second) {
  TStateContent a, b;
  if (!ReadStateString(first, a) || !ReadStateString(second, b)) return -1;
  const std::size_t count = a.Amplifiers.Count();
  if (count == 0 || count != b.Amplifiers.Count()) return 1;
  const int version = std::min(a.Version, b.Version);
  if (version == 3 && a.Amplifiers.TestBox() != b.Amplifiers.TestBox()) return 1;
  for (std::size_t i = 0; i < count; ++i)
    if (!SameAmplifier(a.Amplifiers.Item(i), b.Amplifiers.Item(i), version)) return 1;
  return 0;
}

template bool ReadStateString<char>(std::basic_string_view<char>, TStateContent&);
template bool ReadStateString<char16_t>(std::basic_string_view<char16_t>, TStateContent&);
template bool ReadStateString<wchar_t>(std::basic_string_view<wchar_t>, TStateContent&);
template int CompareStateStrings<char>(std::basic_string_view<char>, std::basic_string_view<char>);
template int CompareStateStrings<char16_t>(std::basic_string_view<char16_t>, std::basic_string_view<char16_t>);
template int CompareStateStrings<wchar_t>(std::basic_string_view<wchar_t>, std::basic_string_view<wchar_t>);

}  // namespace orvo::impl
