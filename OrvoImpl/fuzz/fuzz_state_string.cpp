// Arbitrary text into the state string reader and the comparison. A text
// the reader accepts must survive a write and a second read unchanged, and
// compare equal to that rewrite unless it holds no amplifier.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "require.h"
#include "core/base64.h"
#include "core/crc_generator32.h"
#include "core/state_string.h"

using namespace orvo::impl;

using orvo::impl::fuzz::Require;

namespace {
bool SameContent(const TStateContent& a, const TStateContent& b) {
  if (a.Amplifiers.Count() != b.Amplifiers.Count() || a.Amplifiers.TestBox() != b.Amplifiers.TestBox()) return false;
  for (std::size_t i = 0; i < a.Amplifiers.Count(); ++i) {
    const auto &x = a.Amplifiers.Item(i), &y = b.Amplifiers.Item(i);
    if (std::memcmp(x.Data(), y.Data(), TMemory::Size) != 0 || x.DeblockState() != y.DeblockState() ||
        x.ImpedanceState() != y.ImpedanceState() || x.Highlight() != y.Highlight())
      return false;
  }
  return true;
}
}  // namespace

// A content the reader accepted survives a write and a second read, and
// compares equal to its rewrite unless it holds no amplifier.
void CheckRewrite(const TStateContent& content, std::string_view text) {
  Require(content.Version >= 0 && content.Version <= 3);
  const std::string rewritten = WriteStateString(content.Amplifiers);
  TStateContent again;
  Require(ReadStateString(std::string_view(rewritten), again));
  Require(again.Version == 3 && SameContent(again, content));
  Require(CompareStateStrings(text, std::string_view(rewritten)) == (content.Amplifiers.Count() == 0 ? 1 : 0));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte splits the rest into the two texts of a comparison.
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const std::size_t split = size == 0 ? 0 : std::min<std::size_t>(data[0] * 4, size - 1);
  const std::string_view first = size == 0 ? all : all.substr(1, split);
  const std::string_view second = size == 0 ? all : all.substr(1 + split);
  const int compared = CompareStateStrings(first, second);
  Require(compared >= -1 && compared <= 1);

  // The whole input as text.
  TStateContent content;
  if (ReadStateString(all, content)) {
    CheckRewrite(content, all);
    // The same text read as UTF-16 gives the same content.
    const std::u16string wide(all.begin(), all.end());
    TStateContent from_wide;
    Require(ReadStateString(std::u16string_view(wide), from_wide) && SameContent(from_wide, content));
  } else {
    Require(content.Amplifiers.Count() == 0);
  }

  // The input as a blob whose checksums are made to hold (the header's only
  // when the first byte is odd), so the record readers of every version and
  // size are reached.
  if (size == 0) return 0;
  std::vector<std::uint8_t> blob(data + 1, data + size);
  if ((data[0] & 1) && blob.size() >= 20) {
    blob.resize(std::max<std::size_t>(blob.size(), 24));
    TCRCGenerator32::Store(blob.data(), 20);
  }
  blob.resize(blob.size() + 4);
  TCRCGenerator32::Store(blob.data(), blob.size() - 4);
  if (ReadStateBlob(blob.data(), blob.size(), content)) {
    CheckRewrite(content, std::string_view(Base64Encode(blob.data(), blob.size())));
    // Whole records between the start of the records and the checksum.
    const bool header = TCRCGenerator32::Holds(blob.data(), 20);
    const std::size_t start = !header ? 0 : content.Version == 3 ? 31 : 24;
    const std::size_t record = content.Version >= 2 ? 85 : 83;
    Require(content.Amplifiers.Count() == (blob.size() - 4 - start) / record);
  } else {
    Require(content.Amplifiers.Count() == 0);
  }
  return 0;
}
