// The Pelm devices' rules: the search answer, the retries of a search and
// of a reset, and the master controller's requests, answers and replies.
#include <gtest/gtest.h>

#include <vector>

#include "core/device.h"
#include "core/find_answer.h"
#include "core/master_exchange.h"

using bytes = std::vector<std::uint8_t>;

namespace {

// ------------------------------------------------------------ search answer

std::optional<pelm::device_record> parse(const bytes& b) { return pelm::parse_find_answer(b.data(), b.size()); }

TEST(PelmFindAnswer, TwelveBytesGiveTheRecordWithLastNumber15) {
  const auto r = parse({'p', 'E', 'L', 'M', 0, 1, 2, 3, 4, 5, 6, 7});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->identity, "pELM");
  EXPECT_EQ((bytes{r->byte5, r->byte6, r->byte11, r->byte12}), (bytes{1, 2, 7, 15}));
  EXPECT_EQ((std::vector<int>{r->byte7, r->byte8, r->byte9, r->byte10}), (std::vector<int>{3, 4, 5, 6}));
}

TEST(PelmFindAnswer, AThirteenthByteIsTheLastNumberAndHighBytesWidenWithoutSign) {
  const auto r = parse({'P', 'e', 'l', 'm', 0, 1, 2, 0xF3, 4, 5, 6, 7, 0x21, 0x99});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->byte12, 0x21);
  EXPECT_EQ(r->byte7, 0xF3);
}

TEST(PelmFindAnswer, OtherAnswersGiveNoRecord) {
  EXPECT_FALSE(parse({'p', 'e', 'l', 'm', 0, 1, 2, 3, 4, 5, 6}));     // 11 bytes
  EXPECT_FALSE(parse({'p', 'e', 'l', 'm', 1, 1, 2, 3, 4, 5, 6, 7}));  // no zero after the name
  EXPECT_FALSE(parse({'p', 'e', 'l', 'k', 0, 1, 2, 3, 4, 5, 6, 7}));  // another name
  EXPECT_FALSE(parse({'p' ^ 0x80, 'e', 'l', 'm', 0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_FALSE(pelm::parse_find_answer(nullptr, 12));
}

// ------------------------------------------------------------ retries

int requests_until_given_up(int reason, bool reset) {
  pelm::find_retries find;
  pelm::reset_retries again;
  int requests = 1;
  while (reset ? again.again(reason) : find.again(reason)) ++requests;
  return requests;
}

TEST(PelmRetries, ASearchAsks108TimesWhenInterruptedAnd7TimesOnInvalidPackets) {
  EXPECT_EQ(requests_until_given_up(2, false), 108);
  EXPECT_EQ(requests_until_given_up(3, false), 7);
  EXPECT_EQ(requests_until_given_up(0, false), 1);
  EXPECT_EQ(requests_until_given_up(1, false), 1);
}

TEST(PelmRetries, AfterItsOwnRetriesAnInterruptionTakesTheSharedOnes) {
  pelm::find_retries find;
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(find.again(3));
  for (int i = 0; i < 101; ++i) EXPECT_TRUE(find.again(2));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(find.again(2));
  EXPECT_FALSE(find.again(2));
  EXPECT_FALSE(find.again(3));
}

TEST(PelmRetries, AResetAsks22TimesWhenInterruptedOrInvalidAndOnceOtherwise) {
  EXPECT_EQ(requests_until_given_up(2, true), 22);
  EXPECT_EQ(requests_until_given_up(3, true), 22);
  EXPECT_EQ(requests_until_given_up(1, true), 1);
}

// ------------------------------------------------------------ master requests

bytes reply_of(pelm::master_exchange& m) {
  const auto r = m.take_reply();
  EXPECT_EQ(r.kind, pelm::master_exchange::reply_kind::send);
  return bytes(r.data, r.data + r.size);
}

// Opens an exchange (the callback's first call) so that requests placed
// afterwards go out as replies.
pelm::callback_call open(pelm::master_exchange& m) {
  pelm::callback_call call;
  EXPECT_EQ(m.answer(nullptr, 0, call), pelm::master_exchange::step::call);
  return call;
}

TEST(PelmMasterRequests, StatusIdentityAndBlocksAreLaidOutAsTheDeviceReadsThem) {
  pelm::master_exchange m;
  EXPECT_EQ(open(m).method, pelm::callback_call::open);
  EXPECT_EQ(m.place_status(4), pelm::place_result::placed);
  EXPECT_EQ(reply_of(m), (bytes{0x30, 4}));
  m.place_identity();
  EXPECT_EQ(reply_of(m), (bytes{0x34}));
  const bytes data{0xAA, 0xBB};
  EXPECT_EQ(m.place_block(pelm::request_kind::block_read, 0x10, 1, 2, data.data(), 2), pelm::place_result::placed);
  EXPECT_EQ(reply_of(m), (bytes{0x40, 7, 0x10, 1, 0, 2, 0xAA, 0xBB}));
  EXPECT_EQ(m.place_block(pelm::request_kind::block_write, 252, 1, 2, nullptr, 0), pelm::place_result::placed);
  EXPECT_EQ(reply_of(m), (bytes{0x50, 5, 252, 1, 0, 2}));
  EXPECT_EQ(m.pending(), pelm::request_kind::block_write);
}

TEST(PelmMasterRequests, AddressesOutsideTheRangeOrOddBlockAddressesAreRefused) {
  pelm::master_exchange m;
  using pelm::place_result;
  EXPECT_EQ(m.place_status(3), place_result::invalid_address);
  EXPECT_EQ(m.place_status(254), place_result::invalid_address);
  EXPECT_EQ(m.place_status(253), place_result::placed);
  for (std::uint8_t address : {2, 5, 253, 254})
    EXPECT_EQ(m.place_block(pelm::request_kind::block_read, address, 0, 0, nullptr, 0), place_result::invalid_address);
  const bytes long_block(251, 1);
  EXPECT_EQ(m.place_block(pelm::request_kind::block_read, 4, 0, 0, long_block.data(), 251),
            place_result::invalid_block);
  EXPECT_EQ(m.place_block(pelm::request_kind::block_read, 4, 0, 0, nullptr, 3), place_result::invalid_block);
  EXPECT_EQ(m.place_block(pelm::request_kind::block_read, 4, 0, 0, long_block.data(), 250), place_result::placed);
}

// ------------------------------------------------------------ answers

pelm::callback_call decode(pelm::request_kind kind, const bytes& answer) {
  pelm::callback_call call;
  pelm::decode_answer(kind, answer.data(), answer.size(), call);
  return call;
}

bytes args(const pelm::callback_call& c) { return bytes(c.args, c.args + 5); }

TEST(PelmMasterAnswers, StatusAndIdentityTakeTwoBytesOneHighByteOrRead255) {
  for (auto kind : {pelm::request_kind::status, pelm::request_kind::identity}) {
    const int method = kind == pelm::request_kind::status ? 2 : 8;
    EXPECT_EQ(decode(kind, {0xA0, 0xA1, 0xA2}).method, method);
    EXPECT_EQ(args(decode(kind, {0xA0, 0xA1, 0xA2})), (bytes{0xA0, 0xA1, 0, 0, 0}));
    EXPECT_EQ(args(decode(kind, {0x80})), (bytes{0x80, 0, 0, 0, 0}));
    EXPECT_EQ(args(decode(kind, {0x7F})), (bytes{255, 0, 0, 0, 0}));
    EXPECT_EQ(args(decode(kind, {})), (bytes{255, 0, 0, 0, 0}));
  }
}

TEST(PelmMasterAnswers, ABlockWriteTakesExactlyTwoBytes) {
  EXPECT_EQ(decode(pelm::request_kind::block_write, {1, 2}).method, 10);
  EXPECT_EQ(args(decode(pelm::request_kind::block_write, {1, 2})), (bytes{1, 2, 0, 0, 0}));
  EXPECT_EQ(args(decode(pelm::request_kind::block_write, {1, 2, 3})), (bytes{255, 0, 0, 0, 0}));
  EXPECT_EQ(args(decode(pelm::request_kind::block_write, {0x81})), (bytes{0x81, 0, 0, 0, 0}));
}

TEST(PelmMasterAnswers, AWholeBlockIsReducedAndNamedThroughByte8) {
  const auto c =
      decode(pelm::request_kind::block_read, {0x00, 0x11, 0x09, 0x22, 0x07, 0x08, 0x01, 0x02, 0x33, 0x04, 0x05, 0x06});
  EXPECT_EQ(c.method, 9);
  EXPECT_EQ(args(c), (bytes{0x33, 0x11, 4, 0x22, 5}));
  ASSERT_EQ(c.length, 5u);
  EXPECT_EQ(bytes(c.data, c.data + c.length), (bytes{0x06, 0x01, 0x02, 0x33, 0x04}));
  // A non-zero first byte stays; a count below 5 reads 0.
  const auto d = decode(pelm::request_kind::block_read, {0x01, 0x11, 0x03, 0x22, 0x07, 0x08, 0, 0, 0x33, 0, 0, 0});
  EXPECT_EQ(args(d), (bytes{0x01, 0x11, 0, 0x22, 5}));
}

TEST(PelmMasterAnswers, OtherBlockAnswersGiveTheirHeadOrTheFirstByte) {
  const auto five = decode(pelm::request_kind::block_read, {1, 2, 3, 4, 5});
  EXPECT_EQ(args(five), (bytes{1, 2, 3, 4, 0}));
  EXPECT_EQ(five.data, nullptr);
  // Length byte not matching, block too short, first block byte below 6.
  EXPECT_EQ(args(decode(pelm::request_kind::block_read, {1, 2, 3, 4, 8, 8, 0, 0, 0, 0, 0, 0})), (bytes{1, 2, 3, 4, 0}));
  EXPECT_EQ(args(decode(pelm::request_kind::block_read, {1, 2, 3, 4, 5, 8, 0, 0, 0, 0})), (bytes{1, 2, 3, 4, 0}));
  EXPECT_EQ(args(decode(pelm::request_kind::block_read, {1, 2, 3, 4, 7, 5, 0, 0, 0, 0, 0, 0})), (bytes{1, 2, 3, 4, 0}));
  EXPECT_EQ(args(decode(pelm::request_kind::block_read, {0x90, 2})), (bytes{0x90, 0, 0, 0, 0}));
  EXPECT_EQ(args(decode(pelm::request_kind::block_read, {0x10, 2})), (bytes{255, 0, 0, 0, 0}));
}

TEST(PelmMasterAnswers, AnAnswerWithNoRequestPendingCallsNothing) {
  EXPECT_EQ(decode(pelm::request_kind::none, {1, 2}).method, pelm::callback_call::unexpected);
}

// ------------------------------------------------------------ exchange

TEST(PelmMasterExchange, AnAnswerIsTakenForTheRequestThatWentOutAndWithNoNewRequestTheExchangeCompletes) {
  pelm::master_exchange m;
  open(m);
  m.place_identity();
  reply_of(m);
  pelm::callback_call call;
  const bytes answer{0x12, 0x34};
  EXPECT_EQ(m.answer(answer.data(), 2, call), pelm::master_exchange::step::call);
  EXPECT_EQ(call.method, pelm::callback_call::identity);
  EXPECT_EQ(m.take_reply().kind, pelm::master_exchange::reply_kind::complete);
  EXPECT_EQ(m.end_reason(0), 0);
}

TEST(PelmMasterExchange, ABusyAnswerKeepsTheRequestAndTheEndReadsInterrupted) {
  pelm::master_exchange m;
  open(m);
  m.place_status(8);
  reply_of(m);
  pelm::callback_call call;
  const bytes busy{0x95, 1};
  EXPECT_EQ(m.answer(busy.data(), 2, call), pelm::master_exchange::step::busy);
  EXPECT_TRUE(m.busy());
  EXPECT_EQ(m.pending(), pelm::request_kind::status);
  EXPECT_EQ(m.end_reason(0), 2);
  EXPECT_EQ(m.end_reason(1), 2);
}

TEST(PelmMasterExchange, AReplyIsHandedOutOnceAndAnUnplacedOpeningIsUnexpected) {
  pelm::master_exchange m;
  EXPECT_EQ(m.take_reply().kind, pelm::master_exchange::reply_kind::unexpected);
  open(m);
  m.place_status(8);
  reply_of(m);
  EXPECT_EQ(m.take_reply().kind, pelm::master_exchange::reply_kind::unexpected);
}

}  // namespace
