// Facts about the texts of the state tree: names, the name match of
// collections and lists, the test box's lists and channel sets, and object
// IDs.
#include <gtest/gtest.h>

#include "core/object_id.h"
#include "core/test_box.h"
#include "core/tree_text.h"

namespace orvo::impl {
namespace {

TEST(TreeNames, CarryPositionsCountedFromOneAndTheSerialNumber) {
  EXPECT_EQ(AmplifierName(1, 7), L"Amplifier 2 ( SN: 7 )");
  EXPECT_EQ(ChannelName(5), L"Channel 6");
  EXPECT_EQ(ChannelNameValue(1, 5), L"Channel 14");
  EXPECT_EQ(ElectrodeName(1, 5, true), L"Ch14 P");
  EXPECT_EQ(ElectrodeName(0, 0, false), L"Ch1 N");
}

TEST(TreeNames, MatchTrimmedAndWithoutRegardToCase) {
  EXPECT_TRUE(SameName(L"Gain", L" gain\t"));
  EXPECT_TRUE(SameName(L"Pos IP Sel", L"POS ip sel"));
  EXPECT_FALSE(SameName(L"Pos IP Sel", L"Pos  IP Sel"));
  EXPECT_FALSE(SameName(L"Gain", L"Gains"));
  EXPECT_TRUE(SameName(L"", L"   "));
}

TEST(InputSelect, ShowsTheSetChannelsAscendingJoinedByCommas) {
  EXPECT_EQ(FormatInputSelect(0x05), L"1,3");
  EXPECT_EQ(FormatInputSelect(0x00), L"");
  EXPECT_EQ(FormatInputSelect(0xFF), L"1,2,3,4,5,6,7,8");
}

TEST(InputSelect, TakesTheItemsThatAreChannelNumbersAndIgnoresTheRest) {
  EXPECT_EQ(ParseInputSelect(L" 2, 8 ,x,9,"), 0x82);
  EXPECT_EQ(ParseInputSelect(L"3,1"), 0x05);
  EXPECT_EQ(ParseInputSelect(L"08,0,-1,1.0,+2"), 0x80);
  EXPECT_EQ(ParseInputSelect(L"000000000000000000004"), 0x08);
  EXPECT_EQ(ParseInputSelect(L"99999999999999999999999,5"), 0x10);
  EXPECT_EQ(ParseInputSelect(L""), 0);
  EXPECT_EQ(ParseInputSelect(L",,,"), 0);
}

TEST(TestBoxLists, StartAtTheirBytesCodeOrTheFirstEntry) {
  EXPECT_EQ(AttenuatorList().IndexOfCode(0x04), 3u);
  EXPECT_STREQ(AttenuatorList().Names[3], L"X0.01");
  EXPECT_EQ(AttenuatorList().IndexOfCode(0x03), 0u);
  EXPECT_EQ(SignalSelectList().IndexOfCode(0x80), 7u);
  EXPECT_EQ(OutputChannelIndex(0x0C), 2u);
  EXPECT_EQ(OutputChannelIndex(0x00), 0u);
}

TEST(TestBoxLists, FindTextsTrimmedAndWithoutRegardToCase) {
  EXPECT_EQ(SignalSelectList().Find(L" gnd "), 7);
  EXPECT_EQ(SignalSelectList().Find(L"high z"), 1);
  EXPECT_EQ(AttenuatorList().Find(L"X2"), -1);
  EXPECT_EQ(OutputChannelList().Find(L"CH 9"), -1);
}

TEST(ObjectIds, PackKindElementAmplifierAndChannelFromTheLowByteUp) {
  constexpr ObjectID id = PackObjectID(KindChannel, 0, 1, 3);
  EXPECT_EQ(id, 0x03010002);
  EXPECT_EQ(KindOf(id), KindChannel);
  EXPECT_EQ(AmplifierOf(id), 1);
  EXPECT_EQ(ChannelOf(id), 3);
  EXPECT_EQ(ElementOf(PackObjectID(KindAmplifierProperty, 16 + 7, 0, 7)), 23);
}

}  // namespace
}  // namespace orvo::impl
