// The conversation rules of a port: ids, validity and what a received
// packet does to the current conversation.
#include <gtest/gtest.h>

#include <vector>

#include "core/conversation.h"

using rasper::conversation;
using rasper::verdict;

namespace {
using bytes = std::vector<std::uint8_t>;
constexpr std::size_t crc = 2;

verdict judge(conversation& c, const bytes& p, std::size_t crc_bytes = crc) {
  return c.judge(true, p.data(), p.size(), crc_bytes);
}

conversation in_request() {
  conversation c;
  c.begin_request();  // id 61
  return c;
}
}  // namespace

TEST(ConversationIds, ANewPortCountsBySixtyOneModulo128) {
  conversation c;
  std::vector<int> ids;
  for (int i = 0; i < 4; ++i) {
    ids.push_back(c.begin_request());
    c.end();
  }
  EXPECT_EQ(ids, (std::vector<int>{61, 122, 55, 116}));
  EXPECT_EQ(c.id(), rasper::no_id);
}

TEST(ConversationIds, TheCounterWrapsAsAByteAndStaysBelow128) {
  conversation c;
  for (int i = 0; i < 1000; ++i) {
    EXPECT_LT(c.begin_request(), 128);
    c.end();
  }
}

TEST(PacketValidity, WithACrcTheHeaderAndTheCrcMustBeThereAndCheck) {
  EXPECT_TRUE(rasper::packet_valid(4, true, 2, true));
  EXPECT_FALSE(rasper::packet_valid(3, true, 2, true));
  EXPECT_FALSE(rasper::packet_valid(6, true, 2, false));
  EXPECT_TRUE(rasper::packet_valid(6, true, 4, true));
  EXPECT_FALSE(rasper::packet_valid(5, true, 4, true));
}

TEST(PacketValidity, WithoutACrcAPacketCountsFromFourBytes) {
  EXPECT_FALSE(rasper::packet_valid(3, false, 0, false));
  EXPECT_TRUE(rasper::packet_valid(4, false, 0, false));
}

TEST(ReceivedPacket, AnInvalidPacketIsJudgedInvalidWithOrWithoutAConversation) {
  conversation idle;
  const bytes p{61, 16, 1, 0, 0};
  EXPECT_EQ(idle.judge(false, p.data(), p.size(), crc), verdict::invalid);
  conversation busy = in_request();
  EXPECT_EQ(busy.judge(false, p.data(), p.size(), crc), verdict::invalid);
}

TEST(ReceivedPacket, TheCurrentIdWithoutPayloadCompletesAndWithPayloadIsAnswered) {
  conversation c = in_request();
  EXPECT_EQ(judge(c, {61, 16, 0xAA, 0xBB}), verdict::completed);
  EXPECT_EQ(judge(c, {61, 16, 7, 0xAA, 0xBB}), verdict::answer);
}

TEST(ReceivedPacket, AnotherIdWithoutPayloadIsDropped) {
  conversation c = in_request();
  EXPECT_EQ(judge(c, {60, 16, 0, 0}), verdict::drop);
  EXPECT_EQ(judge(c, {60, 16, 0, 0}), verdict::drop);
}

TEST(ReceivedPacket, AHigherIdWithPayloadIsDroppedOnceAndTheSecondInterrupts) {
  conversation c = in_request();
  EXPECT_EQ(judge(c, {62, 16, 1, 0, 0}), verdict::drop);
  EXPECT_EQ(judge(c, {70, 17, 1, 0, 0}), verdict::interrupted);
}

TEST(ReceivedPacket, TheDropCountStartsAgainWithEachConversation) {
  conversation c = in_request();
  EXPECT_EQ(judge(c, {62, 16, 1, 0, 0}), verdict::drop);
  c.end();
  c.begin_device(62);
  EXPECT_EQ(judge(c, {63, 16, 1, 0, 0}), verdict::drop);
}

TEST(ReceivedPacket, ALowerIdWithPayloadInterruptsAtOnce) {
  conversation c = in_request();
  EXPECT_EQ(judge(c, {60, 16, 1, 0, 0}), verdict::interrupt);
}

TEST(ReceivedPacket, TheSameSevenBitIdWithBitSevenSetInterrupts) {
  conversation c = in_request();
  EXPECT_EQ(judge(c, {61 | 0x80, 16, 1, 0, 0}), verdict::interrupt);
  // A device's own conversation (bit 7 set) is not interrupted by the
  // same id without it.
  conversation d;
  d.begin_device(61 | 0x80);
  EXPECT_EQ(judge(d, {61, 16, 1, 0, 0}), verdict::drop);
}

TEST(ReceivedPacket, WhileIdleAPacketOfFiveBytesAtADeviceAddressOpensAConversation) {
  conversation c;
  EXPECT_EQ(judge(c, {5, 16, 1, 0, 0}), verdict::device);
  EXPECT_EQ(judge(c, {5, 16, 0, 0}), verdict::drop);
  EXPECT_EQ(judge(c, {5, 254, 1, 0, 0}), verdict::drop);
  EXPECT_EQ(judge(c, {5, 253, 1, 0, 0}), verdict::device);
  // Without a CRC the same five bytes are needed.
  EXPECT_EQ(judge(c, {5, 16, 1, 2}, 0), verdict::drop);
  EXPECT_EQ(judge(c, {5, 16, 1, 2, 3}, 0), verdict::device);
}

TEST(ReceivedPacket, ADeviceConversationAnswersUnderTheDevicesId) {
  conversation c;
  c.begin_device(0x85);
  EXPECT_TRUE(c.current());
  EXPECT_EQ(c.id(), 0x85);
  EXPECT_EQ(judge(c, {0x85, 16, 0, 0}), verdict::completed);
}
