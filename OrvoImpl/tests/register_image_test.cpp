// Facts about register images, amplifier records and the marshal stream.
#include <gtest/gtest.h>

#include <numeric>

#include "core/byte_stream.h"
#include "core/errors.h"
#include "test_images.h"

namespace orvo::impl {
namespace {
using testing::ImageBytes;
using testing::PatternCollection;
using testing::PatternImage;

// A sink that refuses every write.
class RefusingSink : public TByteSink {
 public:
  bool Write(const void*, std::size_t) override { return false; }
};

// 87-byte records with the given keys, ID low bytes 0x40 + key, status
// bytes (1, 0, 1) and images PatternImage(key).
std::vector<std::uint8_t> Records(const std::vector<std::uint8_t>& keys) {
  std::vector<std::uint8_t> bytes;
  for (const std::uint8_t key : keys) {
    bytes.insert(bytes.end(), {key, static_cast<std::uint8_t>(0x40 + key), 1, 0, 1});
    const auto image = ImageBytes(PatternImage(key));
    bytes.insert(bytes.end(), image.begin(), image.end());
  }
  return bytes;
}

TAmplifierMemoryCollection Loaded(const std::vector<std::uint8_t>& bytes) {
  TAmplifierMemoryCollection collection;
  TBufferSource source(bytes);
  collection.LoadFromStream(source);
  return collection;
}

TEST(RegisterImage, IsZeroWhenMadeAndReadsBackWhatWasWrittenAtOffsetsModulo256) {
  TMemory memory;
  EXPECT_EQ(ImageBytes(memory), std::vector<std::uint8_t>(82, 0));
  const std::uint8_t record[10] = {0x20, 0x03, 0x40, 0x06, 2, 0xE8, 0x03, 1, 42, 0};
  memory.Write(72, record, sizeof record);
  std::uint8_t back[10] = {};
  memory.Read(72, back, sizeof back);
  EXPECT_TRUE(std::equal(record, record + 10, back));
  EXPECT_EQ(memory.Data()[80], 42);
  EXPECT_EQ(memory.Data()[71], 0);
  memory.Write(static_cast<std::uint8_t>(256 + 30), record, static_cast<std::uint8_t>(256 + 2));
  EXPECT_EQ(memory.Data()[30], 0x20);
  EXPECT_EQ(memory.Data()[32], 0);
}

TEST(RegisterImage, ASpanReachingPastTheImageIsRefusedAndChangesNothing) {
  TMemory memory = PatternImage(3);
  const auto before = ImageBytes(memory);
  const std::uint8_t bytes[10] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_THROW(memory.Write(73, bytes, 10), ERangeError);
  EXPECT_THROW(memory.Write(200, bytes, 1), ERangeError);
  EXPECT_EQ(ImageBytes(memory), before);
  std::uint8_t out[10] = {};
  EXPECT_THROW(memory.Read(81, out, 2), ERangeError);
  EXPECT_NO_THROW(memory.Read(72, out, 10));
  EXPECT_NO_THROW(memory.Write(81, bytes, 1));
}

TEST(RegisterImage, CopyTakesAllBytesAndResetKeepsTheImage) {
  TMemory source = PatternImage(5);
  TMemory target = PatternImage(9);
  target.CopyFrom(source);
  EXPECT_EQ(ImageBytes(target), ImageBytes(source));
  target.CopyFrom(target);
  EXPECT_EQ(ImageBytes(target), ImageBytes(source));
  target.Reset();
  EXPECT_EQ(target.ResetMark(), -1);
  EXPECT_EQ(ImageBytes(target), ImageBytes(source));
}

TEST(RegisterImage, NotchNormalisationMakesBitTwoFollowBitZeroInEveryChannel) {
  const std::pair<std::uint8_t, std::uint8_t> cases[] = {{0x04, 0x00}, {0x01, 0x05}, {0x05, 0x05}, {0x00, 0x00},
                                                         {0xFE, 0xFA}, {0xFB, 0xFF}, {0x03, 0x07}, {0x7C, 0x78}};
  for (const auto& [in, out] : cases) {
    TMemory memory;
    for (std::size_t c = 0; c < 8; ++c) memory.Data()[9 * c + 3] = in;
    memory.Data()[4] = 0x04;  // byte 4 of channel 0 is not a flags byte
    memory.NormaliseNotch();
    for (std::size_t c = 0; c < 8; ++c) EXPECT_EQ(memory.Data()[9 * c + 3], out) << "channel " << c << " from " << +in;
    EXPECT_EQ(memory.Data()[4], 0x04);
  }
}

TEST(AmplifierMemory, HandsItsImageToASinkAndReportsARefusal) {
  TAmplifierMemory amplifier(1, 2);
  amplifier.CopyFrom(PatternImage(4));
  TBufferSink sink;
  EXPECT_TRUE(amplifier.SaveImage(sink));
  EXPECT_EQ(sink.Bytes(), ImageBytes(PatternImage(4)));
  RefusingSink refusing;
  EXPECT_FALSE(amplifier.SaveImage(refusing));
}

TEST(AmplifierCollection, AddCopiesTheSourceImageWithStatusZero) {
  TAmplifierMemoryCollection collection;
  TMemory source = PatternImage(1);
  auto& amplifier = collection.Add(4, 0x12345, source);
  source.Data()[0] ^= 0xFF;  // the collection holds its own copy
  EXPECT_EQ(ImageBytes(amplifier), ImageBytes(PatternImage(1)));
  EXPECT_EQ(amplifier.Key(), 4);
  EXPECT_EQ(amplifier.AmplifierID(), 0x12345u);
  EXPECT_EQ(amplifier.DeblockState() | amplifier.ImpedanceState() | amplifier.Highlight(), 0);
  EXPECT_THROW(collection.Item(1), ERangeError);
}

TEST(AmplifierCollection, IndexOfKeyGivesTheFirstMatchOrMinusOne) {
  const auto collection = Loaded(Records({3, 7}));
  EXPECT_EQ(collection.IndexOfKey(7), 1);
  EXPECT_EQ(collection.IndexOfKey(3), 0);
  EXPECT_EQ(collection.IndexOfKey(5), -1);
  EXPECT_EQ(Loaded(Records({9, 2, 9})).IndexOfKey(9), 0);
}

TEST(AmplifierCollection, AssignFromWithAllKeysFFCopiesEveryImageIntoTheFirstAmplifier) {
  auto mine = Loaded(Records({0xFF, 0xFF, 0xFF}));
  auto other = Loaded(Records({0xFF, 0xFF, 0xFF}));
  for (std::size_t i = 0; i < 3; ++i) other.Item(i).CopyFrom(PatternImage(static_cast<std::uint8_t>(100 + i)));
  other.SetGlobalDeblock(1);
  other.TestBox()[0] = 1;
  mine.Item(1).CopyFrom(PatternImage(50));
  mine.Item(2).CopyFrom(PatternImage(51));
  mine.AssignFrom(other);
  EXPECT_EQ(ImageBytes(mine.Item(0)), ImageBytes(PatternImage(102)));
  EXPECT_EQ(ImageBytes(mine.Item(1)), ImageBytes(PatternImage(50)));
  EXPECT_EQ(ImageBytes(mine.Item(2)), ImageBytes(PatternImage(51)));
  EXPECT_EQ(mine.GlobalDeblock(), 1);
  EXPECT_EQ(mine.TestBox()[0], 0);
}

TEST(AmplifierCollection, AssignFromMatchesByKeyAndKeepsStatusBytes) {
  auto mine = Loaded(Records({1, 2, 3}));
  TAmplifierMemoryCollection other;
  other.Add(3, 0, PatternImage(200));
  other.Add(8, 0, PatternImage(201));  // no amplifier with key 8 here
  other.Add(1, 0, PatternImage(202));
  mine.AssignFrom(other);
  EXPECT_EQ(ImageBytes(mine.Item(2)), ImageBytes(PatternImage(200)));
  EXPECT_EQ(ImageBytes(mine.Item(0)), ImageBytes(PatternImage(202)));
  EXPECT_EQ(ImageBytes(mine.Item(1)), ImageBytes(PatternImage(2)));
  EXPECT_EQ(mine.Item(2).DeblockState(), 1);

  // Only the first min(count, other count) amplifiers of the other are
  // used: keys 3 and 8 match nothing in {1, 2}, key 1 is third.
  auto two = Loaded(Records({1, 2}));
  two.AssignFrom(other);
  EXPECT_EQ(ImageBytes(two.Item(0)), ImageBytes(PatternImage(1)));
}

TEST(AmplifierCollection, AssignFromAnEmptyCollectionOrIntoOneChangesNothing) {
  auto mine = Loaded(Records({1}));
  TAmplifierMemoryCollection empty;
  empty.SetGlobalDeblock(1);
  mine.AssignFrom(empty);
  EXPECT_EQ(mine.GlobalDeblock(), 0);
  auto other = Loaded(Records({1}));
  other.SetGlobalDeblock(1);
  empty.AssignFrom(other);
  EXPECT_EQ(empty.Count(), 0u);
  EXPECT_EQ(empty.GlobalDeblock(), 1);
}

TEST(AmplifierStream, RecordsCarryKeyIDLowByteStatusAndImage) {
  TAmplifierMemoryCollection collection;
  auto& amplifier = collection.Add(0x21, 0xABCD, PatternImage(6));
  amplifier.SetDeblockState(1);
  amplifier.SetHighlight(1);
  TBufferSink sink;
  EXPECT_EQ(collection.SaveToStream(&sink), 87u);
  const auto& bytes = sink.Bytes();
  ASSERT_EQ(bytes.size(), 87u);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 5),
            (std::vector<std::uint8_t>{0x21, 0xCD, 1, 0, 1}));
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 5, bytes.end()), ImageBytes(PatternImage(6)));

  const auto back = Loaded(bytes);
  ASSERT_EQ(back.Count(), 1u);
  EXPECT_EQ(back.Item(0).AmplifierID(), 0xCDu);  // only the low byte travels
  EXPECT_EQ(back.Item(0).Key(), 0x21);
  EXPECT_EQ(back.Item(0).DeblockState(), 1);
  EXPECT_EQ(back.Item(0).Highlight(), 1);
}

TEST(AmplifierStream, SaveMeasuresWithoutASinkAndWritesNothingWhenEmpty) {
  const auto three = PatternCollection(3);
  EXPECT_EQ(three.SaveToStream(nullptr), 261u);
  TBufferSink sink;
  EXPECT_EQ(TAmplifierMemoryCollection().SaveToStream(&sink), 0u);
  EXPECT_TRUE(sink.Bytes().empty());
  RefusingSink refusing;
  EXPECT_THROW(three.SaveToStream(&refusing), EStreamError);
}

TEST(AmplifierStream, LoadingStopsAtAShortRecordOrTheCountAndReplacesTheItems) {
  auto bytes = Records({1, 2, 3});
  bytes.resize(87 * 2 + 43);  // 2.5 records
  TAmplifierMemoryCollection collection = Loaded(Records({9, 9, 9, 9}));
  TBufferSource source(bytes);
  EXPECT_EQ(collection.LoadFromStream(source), 2u);
  ASSERT_EQ(collection.Count(), 2u);
  EXPECT_EQ(collection.Item(1).Key(), 2);

  const auto full = Records({1, 2, 3});
  TBufferSource limited(full);
  EXPECT_EQ(collection.LoadFromStream(limited, 1), 1u);
  EXPECT_EQ(limited.Position(), 87u);
  TBufferSource nothing(full);
  EXPECT_EQ(collection.LoadFromStream(nothing, 0), 0u);
  EXPECT_EQ(collection.Count(), 0u);
}

TEST(MarshalStream, HeadHoldsCountFlagAndTestBoxThenTheRecords) {
  auto collection = PatternCollection(2);
  collection.SetGlobalDeblock(-2);
  TBufferSink sink;
  WriteMarshalStream(collection, sink);
  const auto& bytes = sink.Bytes();
  ASSERT_EQ(bytes.size(), MarshalSize(2));
  EXPECT_EQ(bytes.size(), 189u);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 15),
            (std::vector<std::uint8_t>{2, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0x04, 0x02, 0x08, 0x05, 0x10, 0x80}));
  TBufferSink records;
  collection.SaveToStream(&records);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 15, bytes.end()), records.Bytes());

  TAmplifierMemoryCollection back;
  TBufferSource source(bytes);
  ASSERT_TRUE(ReadMarshalStream(source, back));
  EXPECT_EQ(back.GlobalDeblock(), -2);
  EXPECT_EQ(back.TestBox(), collection.TestBox());
  ASSERT_EQ(back.Count(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(ImageBytes(back.Item(i)), ImageBytes(collection.Item(i)));
    EXPECT_EQ(back.Item(i).Key(), collection.Item(i).Key());
    EXPECT_EQ(back.Item(i).ImpedanceState(), collection.Item(i).ImpedanceState());
  }
}

TEST(MarshalStream, ADamagedStreamLeavesTheCollectionAsItWas) {
  TBufferSink sink;
  WriteMarshalStream(PatternCollection(2), sink);
  const auto good = sink.Bytes();

  std::vector<std::uint8_t> truncated(good.begin(), good.end() - 1);
  auto negative = good;
  negative[3] = 0x80;
  auto too_many = good;
  too_many[0] = 3;
  std::vector<std::uint8_t> short_head(good.begin(), good.begin() + 14);

  for (const auto* bytes : {&truncated, &negative, &too_many, &short_head}) {
    auto collection = PatternCollection(1);
    TBufferSource source(*bytes);
    EXPECT_FALSE(ReadMarshalStream(source, collection));
    ASSERT_EQ(collection.Count(), 1u);
    EXPECT_EQ(ImageBytes(collection.Item(0)), ImageBytes(PatternImage(0)));
    EXPECT_EQ(collection.TestBox()[1], 0x04);
  }
}

}  // namespace
}  // namespace orvo::impl
