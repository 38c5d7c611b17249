// Facts about the state string: its checksum register, its Base64, the
// version 3 writer, the readers of versions 0 to 3 and the comparison.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/base64.h"
#include "core/crc_generator32.h"
#include "core/state_string.h"
#include "test_images.h"

namespace orvo::impl {
namespace {
using testing::ImageBytes;
using testing::PatternCollection;
using testing::PatternImage;
using Bytes = std::vector<std::uint8_t>;

const std::string Prefix = "CBkqO0xdbn8DAAAAf25dTDsqGQhjhU+y";

bool Decodes(std::string_view text, Bytes& out) { return Base64Decode(text, out); }

std::string Encode(const Bytes& blob) { return Base64Encode(blob.data(), blob.size()); }

// A blob as an older writer or a crafted source would make it: an optional
// header naming version, the test-box record when version is 3, the given
// record bytes, and the blob checksum.
Bytes CraftedBlob(bool header, std::int32_t version, const Bytes& records, const TestBoxRec& test_box = {}) {
  Bytes blob;
  if (header) {
    blob = {0x08, 0x19, 0x2A, 0x3B, 0x4C, 0x5D, 0x6E, 0x7F, 0, 0, 0, 0, 0x7F, 0x6E, 0x5D, 0x4C, 0x3B, 0x2A, 0x19, 0x08};
    for (int i = 0; i < 4; ++i) blob[8 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(version) >> (8 * i));
    blob.resize(24);
    TCRCGenerator32::Store(blob.data(), 20);
    if (version == 3) blob.insert(blob.end(), test_box.begin(), test_box.end());
  }
  blob.insert(blob.end(), records.begin(), records.end());
  blob.resize(blob.size() + 4);
  TCRCGenerator32::Store(blob.data(), blob.size() - 4);
  return blob;
}

// An old-style record (82-byte image and one unused byte) or a new one
// (image and three status bytes).
Bytes Record(const TMemory& image, const Bytes& tail) {
  Bytes record = ImageBytes(image);
  record.insert(record.end(), tail.begin(), tail.end());
  return record;
}

TStateContent Read(const std::string& text) {
  TStateContent content;
  EXPECT_TRUE(ReadStateString(std::string_view(text), content)) << text;
  return content;
}

bool IsValid(const std::string& text) {
  TStateContent content;
  return ReadStateString(std::string_view(text), content);
}

int Compare(const std::string& a, const std::string& b) {
  return CompareStateStrings(std::string_view(a), std::string_view(b));
}

TEST(StateChecksum, AbcGivesC5E21D5AAndChecksBackToAllOnes) {
  const std::uint8_t abc[] = {'a', 'b', 'c', 0xFF, 0xFF, 0xFF, 0xFF};
  TCRCGenerator32 generator;
  EXPECT_EQ(generator.Value(), 0x0FFFFFFFu);
  generator.Add(abc, sizeof abc);
  EXPECT_EQ(generator.Value(), 0xC5E21D5Au);

  std::uint8_t stored[7] = {'a', 'b', 'c'};
  TCRCGenerator32::Store(stored, 3);
  EXPECT_EQ(Bytes(stored + 3, stored + 7), (Bytes{0xC5, 0xE2, 0x1D, 0x5A}));
  TCRCGenerator32 check;
  check.Add(stored, 7);
  EXPECT_EQ(check.Value(), 0xFFFFFFFFu);
  EXPECT_TRUE(TCRCGenerator32::Holds(stored, 3));
}

TEST(StateChecksum, AnySingleFlippedBitBreaksAStoredChecksum) {
  Bytes data = ImageBytes(PatternImage(7));
  data.resize(data.size() + 4);
  TCRCGenerator32::Store(data.data(), data.size() - 4);
  ASSERT_TRUE(TCRCGenerator32::Holds(data.data(), data.size() - 4));
  for (std::size_t i = 0; i < data.size(); ++i)
    for (int bit = 0; bit < 8; ++bit) {
      Bytes damaged = data;
      damaged[i] ^= static_cast<std::uint8_t>(1u << bit);
      EXPECT_FALSE(TCRCGenerator32::Holds(damaged.data(), damaged.size() - 4)) << i << ":" << bit;
    }
}

TEST(StateBase64, EncodesAndDecodesTheStandardVectors) {
  const std::pair<std::string, std::string> vectors[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"},
                                                         {"\xFB\xEF\xFF", "++//"}};
  for (const auto& [plain, text] : vectors) {
    const Bytes bytes(plain.begin(), plain.end());
    EXPECT_EQ(Encode(bytes), text);
    Bytes back;
    EXPECT_TRUE(Decodes(text, back)) << text;
    EXPECT_EQ(back, bytes) << text;
  }
}

TEST(StateBase64, RefusesBadLengthsForeignCharactersAndMisplacedPadding) {
  for (const char* text : {"Zg=", "Zm9vY", "Zm9v Zg==", "Zm-v", "Zm_v", "Zm9\x80", "Z===", "====", "Zg=A", "=m9v",
                           "Zm9vYg==Zm9v", "Zm=v"}) {
    Bytes out = {1, 2, 3};
    EXPECT_FALSE(Decodes(text, out)) << text;
    EXPECT_TRUE(out.empty()) << text;
  }
}

TEST(StateBase64, IgnoresTheBitsOfTheLastCharacterBeyondTheData) {
  Bytes a, b, c, d;
  ASSERT_TRUE(Decodes("Zg==", a));
  ASSERT_TRUE(Decodes("Zv==", b));
  ASSERT_TRUE(Decodes("Zm8=", c));
  ASSERT_TRUE(Decodes("Zm/=", d));
  EXPECT_EQ(a, b);
  EXPECT_EQ(c, d);
}

TEST(StateBase64, ReadsWideTextsAndRefusesCharactersBeyondLatinOne) {
  Bytes narrow, wide, utf16;
  ASSERT_TRUE(Decodes("Zm9vYmE=", narrow));
  ASSERT_TRUE(Base64Decode(std::wstring_view(L"Zm9vYmE="), wide));
  ASSERT_TRUE(Base64Decode(std::u16string_view(u"Zm9vYmE="), utf16));
  EXPECT_EQ(wide, narrow);
  EXPECT_EQ(utf16, narrow);
  // U+015A and U+0141 end in the byte of an alphabet letter.
  EXPECT_FALSE(Base64Decode(std::u16string_view(u"Zm9\u015AYmE="), utf16));
  EXPECT_FALSE(Base64Decode(std::wstring_view(L"\u0141m9vYmE="), wide));

  const std::string text = WriteStateString(PatternCollection(2));
  const std::wstring wide_text(text.begin(), text.end());
  const std::u16string utf16_text(text.begin(), text.end());
  EXPECT_EQ(CompareStateStrings(std::wstring_view(wide_text), std::wstring_view(wide_text)), 0);
  EXPECT_EQ(CompareStateStrings(std::u16string_view(utf16_text), std::u16string_view(u"Zm9v")), -1);
}

TEST(StateWriter, EveryStringStartsWithTheSameHeader) {
  for (std::size_t count : {0u, 1u, 5u}) EXPECT_EQ(WriteStateString(PatternCollection(count)).substr(0, 32), Prefix);
  const Bytes blob = WriteStateBlob(PatternCollection(1));
  EXPECT_EQ(Bytes(blob.begin(), blob.begin() + 24),
            (Bytes{0x08, 0x19, 0x2A, 0x3B, 0x4C, 0x5D, 0x6E, 0x7F, 0x03, 0x00, 0x00, 0x00,
                   0x7F, 0x6E, 0x5D, 0x4C, 0x3B, 0x2A, 0x19, 0x08, 0x63, 0x85, 0x4F, 0xB2}));
}

TEST(StateWriter, SizesFollowTheAmplifierCount) {
  EXPECT_EQ(WriteStateBlob(PatternCollection(0)).size(), 35u);
  EXPECT_EQ(WriteStateBlob(PatternCollection(1)).size(), 120u);
  const std::string one = WriteStateString(PatternCollection(1));
  EXPECT_EQ(one.size(), 160u);
  EXPECT_EQ(one.find('='), std::string::npos);
  EXPECT_EQ(WriteStateBlob(PatternCollection(2)).size(), 205u);
  const std::string two = WriteStateString(PatternCollection(2));
  EXPECT_EQ(two.size(), 276u);
  EXPECT_EQ(two.substr(274), "==");
  EXPECT_NE(two[273], '=');
}

TEST(StateReader, ReadsBackWhatWasWrittenWithKeysFFAndIDsByPosition) {
  auto collection = PatternCollection(3);
  collection.SetGlobalDeblock(1);
  const TStateContent content = Read(WriteStateString(collection));
  EXPECT_EQ(content.Version, 3);
  EXPECT_EQ(content.Amplifiers.TestBox(), collection.TestBox());
  EXPECT_EQ(content.Amplifiers.GlobalDeblock(), 0);
  ASSERT_EQ(content.Amplifiers.Count(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const auto& a = content.Amplifiers.Item(i);
    const auto& b = collection.Item(i);
    EXPECT_EQ(ImageBytes(a), ImageBytes(b));
    EXPECT_EQ(a.Key(), 0xFF);
    EXPECT_EQ(a.AmplifierID(), i);
    EXPECT_EQ(a.DeblockState(), b.DeblockState());
    EXPECT_EQ(a.ImpedanceState(), b.ImpedanceState());
    EXPECT_EQ(a.Highlight(), b.Highlight());
  }
}

TEST(StateReader, NotchBitsComeBackNormalised) {
  TAmplifierMemoryCollection collection;
  TMemory image;
  image.Data()[3] = 0x04;
  image.Data()[9 + 3] = 0x01;
  image.Data()[18 + 3] = 0xF9;
  collection.Add(0, 0, image);
  const TStateContent content = Read(WriteStateString(collection));
  ASSERT_EQ(content.Amplifiers.Count(), 1u);
  EXPECT_EQ(content.Amplifiers.Item(0).Data()[3], 0x00);
  EXPECT_EQ(content.Amplifiers.Item(0).Data()[9 + 3], 0x05);
  EXPECT_EQ(content.Amplifiers.Item(0).Data()[18 + 3], 0xFD);
  EXPECT_EQ(collection.Item(0).Data()[3], 0x04);  // the writer normalises a copy
}

TEST(StateReader, ADamagedHeaderChecksumReadsAsVersionZeroWithHalvedThresholds) {
  Bytes blob = WriteStateBlob(PatternCollection(2));
  blob[21] ^= 0x10;
  TCRCGenerator32::Store(blob.data(), blob.size() - 4);
  TStateContent content;
  ASSERT_TRUE(ReadStateString(std::string_view(Encode(blob)), content));
  EXPECT_EQ(content.Version, 0);
  EXPECT_EQ(content.Amplifiers.TestBox(), TestBoxRec{});
  ASSERT_EQ(content.Amplifiers.Count(), (205u - 4) / 83);  // 83-byte records from offset 0
  for (std::size_t i = 0; i < content.Amplifiers.Count(); ++i) {
    TMemory expected;
    std::memcpy(expected.Data(), blob.data() + 83 * i, 82);
    for (std::size_t field : {72u, 74u}) {
      const unsigned value = (expected.Data()[field] | expected.Data()[field + 1] << 8) >> 1;
      expected.Data()[field] = static_cast<std::uint8_t>(value);
      expected.Data()[field + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    expected.NormaliseNotch();
    const auto& amplifier = content.Amplifiers.Item(i);
    EXPECT_EQ(ImageBytes(amplifier), ImageBytes(expected)) << i;
    EXPECT_EQ(amplifier.DeblockState() | amplifier.ImpedanceState() | amplifier.Highlight(), 0);
  }
}

TEST(StateReader, VersionZeroHalvesBothThresholdsAndVersionOneKeepsThem) {
  TMemory image = PatternImage(3);
  image.Data()[72] = 0x21;  // lower threshold 0x0321
  image.Data()[73] = 0x03;
  image.Data()[74] = 0x01;  // upper threshold 0x8001
  image.Data()[75] = 0x80;
  const Bytes old_records = [&] {
    Bytes r = Record(image, {0xEE});
    const Bytes second = Record(PatternImage(4), {0xDD});
    r.insert(r.end(), second.begin(), second.end());
    return r;
  }();
  for (const bool header : {false, true}) {
    TStateContent v0;
    ASSERT_TRUE(ReadStateString(std::string_view(Encode(CraftedBlob(header, 0, old_records))), v0));
    ASSERT_EQ(v0.Amplifiers.Count(), 2u);
    EXPECT_EQ(v0.Amplifiers.Item(0).Data()[72], 0x90);
    EXPECT_EQ(v0.Amplifiers.Item(0).Data()[73], 0x01);
    EXPECT_EQ(v0.Amplifiers.Item(0).Data()[74], 0x00);
    EXPECT_EQ(v0.Amplifiers.Item(0).Data()[75], 0x40);
    EXPECT_EQ(v0.Amplifiers.Item(1).Data()[0], PatternImage(4).Data()[0]);
  }
  TStateContent v1;  // version 1 images already hold them halved
  ASSERT_TRUE(ReadStateString(std::string_view(Encode(CraftedBlob(true, 1, old_records))), v1));
  ASSERT_EQ(v1.Amplifiers.Count(), 2u);
  EXPECT_EQ(ImageBytes(v1.Amplifiers.Item(0)), ImageBytes(image));
}

TEST(StateReader, ShortAndStrangeBlobsFollowTheSizeAndVersionRules) {
  TStateContent content;
  auto read_blob = [&](const Bytes& blob) { return ReadStateString(std::string_view(Encode(blob)), content); };

  const Bytes seven(23, 0x5A);
  EXPECT_FALSE(read_blob(CraftedBlob(false, 0, seven)));  // 27 bytes, checksum holds
  EXPECT_TRUE(read_blob(CraftedBlob(false, 0, Bytes(24, 0x5A))));
  EXPECT_EQ(content.Version, 0);
  EXPECT_EQ(content.Amplifiers.Count(), 0u);

  EXPECT_FALSE(read_blob(CraftedBlob(true, 4, Record(PatternImage(1), {0, 0, 0}))));
  EXPECT_FALSE(read_blob(CraftedBlob(true, -1, Record(PatternImage(1), {0, 0, 0}))));
  EXPECT_TRUE(read_blob(CraftedBlob(true, 2, {})));
  EXPECT_EQ(content.Amplifiers.Count(), 0u);

  // Version 3 needs its test-box record before the checksum: 35 bytes.
  Bytes v3 = CraftedBlob(true, 3, {}, {1, 2, 3, 4, 5, 6, 7});
  ASSERT_EQ(v3.size(), 35u);
  EXPECT_TRUE(read_blob(v3));
  EXPECT_EQ(content.Amplifiers.TestBox(), (TestBoxRec{1, 2, 3, 4, 5, 6, 7}));
  Bytes cut(v3.begin(), v3.begin() + 30);
  cut.resize(34);
  TCRCGenerator32::Store(cut.data(), 30);
  EXPECT_FALSE(read_blob(cut));

  // Only whole records before the checksum are read.
  Bytes partial = Record(PatternImage(1), {0, 0, 0});
  partial.insert(partial.end(), 84, 0x33);
  EXPECT_TRUE(read_blob(CraftedBlob(true, 3, partial)));
  EXPECT_EQ(content.Amplifiers.Count(), 1u);
  // Behind a 24-byte header too: one record and one byte short of a second,
  // which a count taken from the blob start would read into the checksum.
  for (const std::int32_t version : {0, 1, 2}) {
    const std::size_t record_size = version >= 2 ? 85 : 83;
    Bytes one = Record(PatternImage(1), Bytes(record_size - 82, 0));
    one.insert(one.end(), record_size - 1, 0x33);
    EXPECT_TRUE(read_blob(CraftedBlob(true, version, one))) << version;
    EXPECT_EQ(content.Version, version);
    EXPECT_EQ(content.Amplifiers.Count(), 1u) << version;
  }
}

TEST(StateReader, AnInvalidStringLeavesNoAmplifiers) {
  TStateContent content;
  ASSERT_TRUE(ReadStateString(std::string_view(WriteStateString(PatternCollection(2))), content));
  Bytes blob = WriteStateBlob(PatternCollection(2));
  blob[100] ^= 1;
  EXPECT_FALSE(ReadStateString(std::string_view(Encode(blob)), content));
  EXPECT_EQ(content.Amplifiers.Count(), 0u);
  EXPECT_FALSE(ReadStateString(std::string_view("not a state string"), content));
  EXPECT_FALSE(ReadStateString(std::string_view(""), content));
}

TEST(StateReader, ChangingAnyCharacterOfAStringMakesItInvalid) {
  const std::string text = WriteStateString(PatternCollection(1));
  ASSERT_EQ(text.size(), 160u);
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::string damaged = text;
    damaged[i] = text[i] == 'A' ? 'B' : 'A';
    EXPECT_FALSE(IsValid(damaged)) << "position " << i;
  }
}

TEST(StateComparison, TheSerialNumberIsSetAsideAndEveryOtherByteCounts) {
  const auto base = PatternCollection(2);
  const std::string text = WriteStateString(base);
  EXPECT_EQ(Compare(text, text), 0);

  auto serial = PatternCollection(2);
  serial.Item(1).Data()[80] ^= 0x5A;
  EXPECT_EQ(Compare(text, WriteStateString(serial)), 0);

  for (std::size_t byte = 0; byte < 82; ++byte) {
    if (byte == 80 || byte % 9 == 3) continue;  // serial number; notch bytes are tested below
    auto other = PatternCollection(2);
    other.Item(0).Data()[byte] ^= 0x40;
    EXPECT_EQ(Compare(text, WriteStateString(other)), 1) << "byte " << byte;
  }
  auto notch = PatternCollection(2);
  notch.Item(1).Data()[3] ^= 0x01;
  EXPECT_EQ(Compare(text, WriteStateString(notch)), 1);
  auto notch_shadow = PatternCollection(2);
  notch_shadow.Item(1).Data()[3] ^= 0x04;  // bit 2 alone is normalised away
  EXPECT_EQ(Compare(text, WriteStateString(notch_shadow)), 0);

  auto status = PatternCollection(2);
  status.Item(1).SetHighlight(0);
  EXPECT_EQ(Compare(text, WriteStateString(status)), 1);
  auto test_box = PatternCollection(2);
  test_box.TestBox()[6] = 0;
  EXPECT_EQ(Compare(text, WriteStateString(test_box)), 1);
}

TEST(StateComparison, CountsThatDifferOrAreZeroAreDifferentAndInvalidIsMinusOne) {
  const std::string empty = WriteStateString(PatternCollection(0));
  EXPECT_EQ(Compare(empty, empty), 1);
  EXPECT_EQ(Compare(WriteStateString(PatternCollection(1)), WriteStateString(PatternCollection(2))), 1);
  EXPECT_EQ(Compare(WriteStateString(PatternCollection(1)), "Zm9v"), -1);
  EXPECT_EQ(Compare("not base64!", WriteStateString(PatternCollection(1))), -1);
}

TEST(StateComparison, PairsCompareAtTheLowerVersion) {
  const TMemory image = PatternImage(2);
  const std::string v3 = Encode(CraftedBlob(true, 3, Record(image, {1, 1, 1}), {1, 1, 1, 1, 1, 1, 1}));
  const std::string v3_other_box = Encode(CraftedBlob(true, 3, Record(image, {1, 1, 1}), {0, 0, 0, 0, 0, 0, 0}));
  const std::string v2 = Encode(CraftedBlob(true, 2, Record(image, {1, 1, 1})));
  const std::string v2_other_status = Encode(CraftedBlob(true, 2, Record(image, {0, 1, 1})));
  const std::string v1 = Encode(CraftedBlob(true, 1, Record(image, {0x99})));

  EXPECT_EQ(Compare(v3, v3_other_box), 1);
  EXPECT_EQ(Compare(v3, v2), 0);  // test-box records only count at version 3
  EXPECT_EQ(Compare(v3_other_box, v2), 0);
  EXPECT_EQ(Compare(v2, v2_other_status), 1);
  EXPECT_EQ(Compare(v1, v2_other_status), 0);  // status bytes only count from version 2
  EXPECT_EQ(Compare(v2_other_status, v1), 0);
}

}  // namespace
}  // namespace orvo::impl
