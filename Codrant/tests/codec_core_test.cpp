// Facts about the framing core: how packets become frames, how a byte
// stream becomes packets, how the buffer grows, and what happens when
// memory runs out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>
#include <stdexcept>
#include <vector>

#include "core/crc_register.h"
#include "core/decoder.h"
#include "core/encoder.h"

namespace {
using bytes = std::vector<std::uint8_t>;
using codrant::packet;

bytes encode(const bytes& payload) {
  codrant::encoder e;
  EXPECT_TRUE(e.add(payload.data(), payload.size()));
  EXPECT_TRUE(e.end());
  const auto& b = e.buffer();
  return bytes(b.data(), b.data() + b.length());
}

// Every packet a decoder delivers for `stream` fed in chunks of `chunk`.
std::vector<bytes> decode(const bytes& stream, std::size_t chunk = 0, codrant::decoder* with = nullptr) {
  codrant::decoder own;
  codrant::decoder& d = with ? *with : own;
  std::vector<bytes> out;
  auto collect = [&](const std::uint8_t* p, std::uint32_t n) { out.emplace_back(p, p + n); };
  if (chunk == 0) chunk = stream.size() ? stream.size() : 1;
  for (std::size_t at = 0; at < stream.size(); at += chunk)
    EXPECT_TRUE(d.decode(stream.data() + at, std::min(chunk, stream.size() - at), collect));
  return out;
}

TEST(Framing, PacketBytesBecomePairsBetween81AndFF) {
  EXPECT_EQ(encode({0x00, 0x80, 0x81, 0xFF}), (bytes{0x81, 0x00, 0x00, 0x00, 0x80, 0x01, 0x80, 0x7F, 0x80, 0xFF}));
  EXPECT_EQ(encode({}), (bytes{0x81, 0xFF}));
}

TEST(Framing, EveryByteValueEncodesToPairsNoGreaterThan80AndDecodesBack) {
  bytes all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
  const bytes frame = encode(all);
  ASSERT_EQ(frame.size(), codrant::frame_size(all.size()));
  for (std::size_t i = 1; i + 1 < frame.size(); ++i) EXPECT_LE(frame[i], 0x80) << "at " << i;
  EXPECT_EQ(decode(frame), std::vector<bytes>{all});
}

TEST(Framing, AfterEndTheNextAddBeginsANewFrameByItself) {
  codrant::encoder e;
  const std::uint8_t one = 0x05, two = 0x90;
  ASSERT_TRUE(e.add(&one, 1));
  ASSERT_TRUE(e.end());
  codrant::frame first;
  first.take(e.buffer());
  EXPECT_FALSE(e.buffer().held());
  EXPECT_EQ(e.buffer().capacity(), 0u);
  ASSERT_TRUE(e.add(&two, 1));
  ASSERT_TRUE(e.end());
  EXPECT_EQ(bytes(first.data(), first.data() + first.size()), (bytes{0x81, 0x00, 0x05, 0xFF}));
  EXPECT_EQ(bytes(e.buffer().data(), e.buffer().data() + e.buffer().length()), (bytes{0x81, 0x10, 0x80, 0xFF}));
}

TEST(Framing, NullDataAddsNothing) {
  codrant::encoder e;
  ASSERT_TRUE(e.add(nullptr, 7));
  ASSERT_TRUE(e.end());
  EXPECT_EQ(e.buffer().length(), 2u);
}

TEST(Framing, AFrameReadsOutInPiecesAndSkips) {
  codrant::encoder e;
  const bytes payload = {1, 2, 0x99};
  e.add(payload.data(), payload.size());
  e.end();
  codrant::frame f;
  f.take(e.buffer());
  ASSERT_EQ(f.size(), 8u);
  std::uint32_t at = 0;
  std::uint8_t out[8] = {};
  EXPECT_EQ(f.read(at, out, 3), 3u);
  EXPECT_EQ(f.skip(at, 2), 2u);
  EXPECT_EQ(f.read(at, out + 3, 10), 3u);  // only three are left
  EXPECT_EQ(at, 8u);
  EXPECT_EQ(f.read(at, out, 1), 0u);
  EXPECT_EQ(f.skip(at, 1), 0u);
  EXPECT_EQ(bytes(out, out + 6), (bytes{0x81, 0x00, 0x01, 0x19, 0x80, 0xFF}));
}

TEST(Deframing, OneBytePacketsEmptyFramesOddPairsAndAbandonedFrames) {
  // One packet of one byte; an odd number of pair bytes gives none.
  EXPECT_EQ(decode({0x81, 0x00, 0x05, 0xFF}), std::vector<bytes>{{0x05}});
  EXPECT_TRUE(decode({0x81, 0x00, 0xFF}).empty());
  // An empty frame is an empty packet; 0xFF outside a frame does nothing.
  EXPECT_EQ(decode({0x81, 0xFF}), std::vector<bytes>{bytes{}});
  EXPECT_TRUE(decode({0xFF, 0xFF, 0x00, 0x05, 0xFF}).empty());
  // A byte above 0x80 abandons the frame; the rest waits for the next 0x81.
  EXPECT_TRUE(decode({0x81, 0x00, 0x05, 0x90, 0x00, 0x06, 0xFF}).empty());
  EXPECT_EQ(decode({0x81, 0x00, 0x05, 0x90, 0x00, 0x06, 0xFF, 0x81, 0x00, 0x07, 0xFF}), std::vector<bytes>{{0x07}});
}

TEST(Deframing, ASecondFrameStartRestartsThePacketAndEarlierBytesAreIgnored) {
  EXPECT_EQ(decode({0x00, 0x05, 0x81, 0x00, 0x01, 0x00, 0x02, 0x81, 0x00, 0x03, 0xFF}), std::vector<bytes>{{0x03}});
  // A restart between the two bytes of a pair starts clean.
  EXPECT_EQ(decode({0x81, 0x00, 0x81, 0x00, 0x09, 0xFF}), std::vector<bytes>{{0x09}});
}

TEST(Deframing, PairsAddModulo256SoPairsTheEncoderNeverWritesStillDecode) {
  EXPECT_EQ(decode({0x81, 0x01, 0x01, 0xFF}), std::vector<bytes>{{0x02}});
  EXPECT_EQ(decode({0x81, 0x80, 0x80, 0x7F, 0x7F, 0xFF}), (std::vector<bytes>{{0x00, 0xFE}}));
}

TEST(Deframing, ChunkingDoesNotChangeThePackets) {
  std::mt19937 rng(7);
  bytes stream = {0x42, 0xFF};
  std::vector<bytes> sent;
  for (int i = 0; i < 20; ++i) {
    bytes p(rng() % 300);
    for (auto& b : p) b = static_cast<std::uint8_t>(rng());
    const bytes f = encode(p);
    stream.insert(stream.end(), f.begin(), f.end());
    sent.push_back(p);
    if (i % 4 == 0) stream.insert(stream.end(), {0x81, 0x00, 0x33, 0xA0});  // an abandoned frame
  }
  for (std::size_t chunk : {1, 2, 3, 7, 64, 1000}) EXPECT_EQ(decode(stream, chunk), sent) << "chunk " << chunk;
}

TEST(Deframing, ResetLeavesTheFrame) {
  codrant::decoder d;
  auto none = [](const std::uint8_t*, std::uint32_t) { ADD_FAILURE() << "no packet expected"; };
  const bytes head = {0x81, 0x00, 0x05};
  ASSERT_TRUE(d.decode(head.data(), head.size(), none));
  EXPECT_TRUE(d.in_frame());
  ASSERT_TRUE(d.reset());
  EXPECT_FALSE(d.in_frame());
  const std::uint8_t tail = 0xFF;
  EXPECT_TRUE(d.decode(&tail, 1, none));
}

TEST(Deframing, NullOrEmptyInputStillGivesTheDecoderItsBuffer) {
  codrant::decoder d;
  EXPECT_FALSE(d.buffer().held());
  auto none = [](const std::uint8_t*, std::uint32_t) {};
  EXPECT_TRUE(d.decode(nullptr, 5, none));
  EXPECT_EQ(d.buffer().capacity(), 1024u);
}

// The function that receives a packet may use its decoder again.
using on_packet_function = std::function<void(const std::uint8_t*, std::uint32_t)>;

TEST(Delivery, BytesDecodedFromInsideTheFunctionStartOutsideAnyFrame) {
  codrant::decoder d;
  std::vector<bytes> got;
  const bytes nested = {0x00, 0x07, 0xFF};
  on_packet_function on_packet = [&](const std::uint8_t* p, std::uint32_t n) {
    got.emplace_back(p, p + n);
    EXPECT_TRUE(d.decode(nested.data(), nested.size(), on_packet));
  };
  const bytes stream = {0x81, 0x00, 0x01, 0xFF, 0x81, 0x00, 0x02, 0xFF};
  ASSERT_TRUE(d.decode(stream.data(), stream.size(), on_packet));
  EXPECT_EQ(got, (std::vector<bytes>{{0x01}, {0x02}}));
}

TEST(Delivery, ThePacketHandedOverStaysIntactWhileTheDecoderDecodesAndResets) {
  codrant::decoder d;
  std::vector<bytes> got;
  const bytes other = encode(bytes(2000, 0x44));
  on_packet_function on_packet = [&](const std::uint8_t* p, std::uint32_t n) {
    const bytes before(p, p + n);
    if (n == 3) {
      EXPECT_TRUE(d.decode(other.data(), other.size(), on_packet));
      EXPECT_TRUE(d.reset());
    }
    EXPECT_EQ(bytes(p, p + n), before);
    got.push_back(before);
  };
  bytes stream = encode({0x11, 0x22, 0x33});
  const bytes last = encode({0x55});
  stream.insert(stream.end(), last.begin(), last.end());
  ASSERT_TRUE(d.decode(stream.data(), stream.size(), on_packet));
  EXPECT_EQ(got, (std::vector<bytes>{bytes(2000, 0x44), {0x11, 0x22, 0x33}, {0x55}}));
}

TEST(Delivery, AnExceptionFromTheFunctionLeavesNoFrameOpen) {
  codrant::decoder d;
  std::vector<bytes> got;
  auto collect = [&](const std::uint8_t* p, std::uint32_t n) { got.emplace_back(p, p + n); };
  auto refuse = [](const std::uint8_t*, std::uint32_t) { throw std::runtime_error("refused"); };
  const bytes first = {0x81, 0x00, 0x01, 0xFF};
  EXPECT_THROW(d.decode(first.data(), first.size(), refuse), std::runtime_error);
  EXPECT_FALSE(d.in_frame());
  const bytes rest = {0x00, 0x05, 0xFF, 0x81, 0x00, 0x06, 0xFF};
  ASSERT_TRUE(d.decode(rest.data(), rest.size(), collect));
  EXPECT_EQ(got, std::vector<bytes>{{0x06}});
}

TEST(PacketBuffer, GrowsByPercentOfHundredsWithAMinimumOf100) {
  EXPECT_EQ(packet::grown_capacity(1024, 50), 1524u);  // 10 * 50
  EXPECT_EQ(packet::grown_capacity(100, 50), 200u);
  EXPECT_EQ(packet::grown_capacity(1000, 50), 1500u);
  EXPECT_EQ(packet::grown_capacity(1024, 5), 1124u);    // 50 is below the minimum
  EXPECT_EQ(packet::grown_capacity(5000, -20), 5100u);  // a negative step takes the minimum
  EXPECT_EQ(packet::grown_capacity(0x7FFFFFFF, 32767), 0x7FFFFFFFull + 21474836ull * 32767);
}

TEST(PacketBuffer, SettingsAreCheckedAndTheInitialSizeAppliesFromTheNextReset) {
  packet p;
  EXPECT_EQ(p.grow_percent(), 50);
  EXPECT_FALSE(p.set_grow_percent(0));
  EXPECT_EQ(p.grow_percent(), 50);
  EXPECT_TRUE(p.set_grow_percent(-3));
  EXPECT_EQ(p.grow_percent(), -3);

  EXPECT_EQ(p.capacity(), 0u);
  ASSERT_TRUE(p.reset());
  EXPECT_EQ(p.capacity(), 1024u);
  EXPECT_FALSE(p.set_initial_size(1000));
  EXPECT_FALSE(p.set_initial_size(-5));
  EXPECT_EQ(p.initial_size(), 1024);
  EXPECT_TRUE(p.set_initial_size(1001));
  EXPECT_EQ(p.capacity(), 1024u);
  ASSERT_TRUE(p.reset());
  EXPECT_EQ(p.capacity(), 1001u);
  EXPECT_EQ(p.peak_size(), 1024u);
}

TEST(PacketBuffer, GrowthKeepsTheContentsAndRaisesThePeak) {
  packet p;
  ASSERT_TRUE(p.reset());
  for (int i = 0; i < 1024; ++i) p.push(static_cast<std::uint8_t>(i));
  ASSERT_TRUE(p.grow());
  EXPECT_EQ(p.capacity(), 1524u);
  EXPECT_EQ(p.peak_size(), 1524u);
  for (int i = 0; i < 1024; ++i) ASSERT_EQ(p.data()[i], static_cast<std::uint8_t>(i));
  // A reset goes back to the initial size; the peak stays.
  ASSERT_TRUE(p.reset());
  EXPECT_EQ(p.capacity(), 1024u);
  EXPECT_EQ(p.peak_size(), 1524u);
  // A buffer with only a few bytes in use keeps them through growth too.
  for (std::uint8_t b : {0x81, 0x07, 0x42}) p.push(b);
  ASSERT_TRUE(p.reserve(4000));
  EXPECT_EQ(p.capacity(), 5024u);  // 1024, 1524, 2274, 3374, 5024: the first to hold 4003
  EXPECT_EQ(bytes(p.data(), p.data() + p.length()), (bytes{0x81, 0x07, 0x42}));
}

TEST(PacketBuffer, TheEncoderGrowsExactlyWhenAPairNoLongerFits) {
  codrant::encoder e;
  // 0x81 and 511 pairs fill 1023 of 1024 bytes; the next pair needs a growth.
  const bytes half(511, 0x11);
  ASSERT_TRUE(e.add(half.data(), half.size()));
  EXPECT_EQ(e.buffer().capacity(), 1024u);
  ASSERT_TRUE(e.add(half.data(), 1));
  EXPECT_EQ(e.buffer().capacity(), 1524u);
  // The end byte fits without growing when there is room for one byte.
  codrant::encoder f;
  const bytes most(511, 0x22);
  f.add(most.data(), most.size());
  ASSERT_TRUE(f.end());
  EXPECT_EQ(f.buffer().capacity(), 1024u);
  EXPECT_EQ(f.buffer().length(), 1024u);
}

TEST(PacketBuffer, TheDecoderGrowsForLongPackets) {
  codrant::decoder d;
  bytes payload(3000);
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<std::uint8_t>(i * 7);
  EXPECT_EQ(decode(encode(payload), 0, &d), std::vector<bytes>{payload});
  EXPECT_EQ(d.buffer().peak_size(), 3374u);  // 1024, 1524, 2274, 3374
  EXPECT_EQ(d.buffer().capacity(), 1024u);   // reset after the packet
}

// An allocator that fails from the n-th call on (counted over all three
// functions' allocating calls).
int g_calls_left = -1;
bool allowed() {
  if (g_calls_left == 0) return false;
  if (g_calls_left > 0) --g_calls_left;
  return true;
}
const codrant::allocator failing{
    [](std::size_t n) { return allowed() ? std::malloc(n) : nullptr; },
    [](void* p, std::size_t n) { return allowed() ? std::realloc(p, n) : nullptr; },
    [](void* p) { std::free(p); },
};
struct FailingMemory : ::testing::Test {
  ~FailingMemory() override { g_calls_left = -1; }
};

TEST_F(FailingMemory, AFailedResetHoldsNoBuffer) {
  packet p(failing);
  g_calls_left = 0;
  EXPECT_FALSE(p.reset());
  EXPECT_FALSE(p.held());
  EXPECT_EQ(p.peak_size(), 0u);
}

TEST_F(FailingMemory, AFailedGrowthFreesTheBuffer) {
  packet p(failing);
  ASSERT_TRUE(p.reset());
  p.push(1);
  g_calls_left = 0;
  EXPECT_FALSE(p.grow());
  EXPECT_EQ(p.capacity(), 0u);
  EXPECT_EQ(p.length(), 0u);
  EXPECT_EQ(p.peak_size(), 1024u);
}

TEST(PacketBuffer, AGrowthBeyondTheLargestCountFailsWithoutAllocating) {
  // Hands out one small block whatever the size asked; counts reallocations.
  static std::uint8_t block[16];
  static int reallocations = 0;
  const codrant::allocator pretend{[](std::size_t) -> void* { return block; },
                                   [](void*, std::size_t) -> void* { return ++reallocations, block; }, [](void*) {}};
  packet p(pretend);
  ASSERT_TRUE(p.set_initial_size(0x7FFFFF00));
  ASSERT_TRUE(p.reset());
  EXPECT_FALSE(p.grow());
  EXPECT_EQ(reallocations, 0);
  EXPECT_FALSE(p.held());
}

TEST_F(FailingMemory, TheEncoderReportsEveryFailureAndStartsCleanAfterwards) {
  g_calls_left = 0;
  codrant::encoder e(failing);
  EXPECT_FALSE(e.begin());
  const bytes big(600, 0x99);
  EXPECT_FALSE(e.add(big.data(), big.size()));
  EXPECT_FALSE(e.end());
  // The first allocation works, the growth does not: the buffer is gone.
  g_calls_left = 1;
  EXPECT_FALSE(e.add(big.data(), big.size()));
  EXPECT_FALSE(e.buffer().held());
  g_calls_left = -1;
  const std::uint8_t one = 0x05;
  ASSERT_TRUE(e.add(&one, 1));
  ASSERT_TRUE(e.end());
  EXPECT_EQ(bytes(e.buffer().data(), e.buffer().data() + e.buffer().length()), (bytes{0x81, 0x00, 0x05, 0xFF}));
}

TEST_F(FailingMemory, TheDecoderDropsTheFrameItRanOutInAndFindsTheNextOne) {
  codrant::decoder d(failing);
  std::vector<bytes> got;
  auto collect = [&](const std::uint8_t* p, std::uint32_t n) { got.emplace_back(p, p + n); };
  g_calls_left = 0;
  const bytes small = encode({0x01});
  EXPECT_FALSE(d.decode(small.data(), small.size(), collect));
  EXPECT_FALSE(d.reset());

  // 2000 packet bytes need a growth, which fails inside the frame.
  g_calls_left = 1;
  const bytes long_frame = encode(bytes(3000, 0x42));
  const std::size_t half = 4000;
  EXPECT_FALSE(d.decode(long_frame.data(), half, collect));
  EXPECT_FALSE(d.in_frame());
  g_calls_left = -1;
  // The rest of that frame must not come out as a packet.
  bytes rest(long_frame.begin() + half, long_frame.end());
  const bytes next = encode({0x07, 0x08});
  rest.insert(rest.end(), next.begin(), next.end());
  EXPECT_TRUE(d.decode(rest.data(), rest.size(), collect));
  EXPECT_EQ(got, (std::vector<bytes>{bytes{0x07, 0x08}}));
}

TEST(RoundTrip, RandomPacketsWithACrc16ArriveWholeAndCheckValid) {
  std::mt19937 rng(20261209);
  std::vector<bytes> sent;
  bytes stream;
  codrant::encoder e;
  for (int i = 0; i < 200; ++i) {
    bytes p(rng() % 4097);
    for (auto& b : p) b = static_cast<std::uint8_t>(rng());
    crc::crc16_register crc;
    crc.add(p.data(), p.size());
    p.push_back(crc.byte(0));
    p.push_back(crc.byte(1));
    // Added in random pieces.
    for (std::size_t at = 0; at < p.size();) {
      const std::size_t n = std::min<std::size_t>(rng() % 97, p.size() - at);
      ASSERT_TRUE(e.add(p.data() + at, n));
      at += n;
    }
    ASSERT_TRUE(e.end());
    codrant::frame f;
    f.take(e.buffer());
    stream.insert(stream.end(), f.data(), f.data() + f.size());
    sent.push_back(p);
  }
  codrant::decoder d;
  std::vector<bytes> got;
  for (std::size_t at = 0; at < stream.size();) {
    const std::size_t n = std::min<std::size_t>(rng() % 5000, stream.size() - at);
    ASSERT_TRUE(d.decode(stream.data() + at, n, [&](const std::uint8_t* p, std::uint32_t size) {
      crc::crc16_register check;
      check.add(p, size);
      EXPECT_TRUE(check.valid());
      got.emplace_back(p, p + size);
    }));
    at += n;
  }
  EXPECT_EQ(got, sent);
}

}  // namespace

namespace {
// However the bytes of a packet arrive, the encoder's buffer ends at the
// same capacity and peak: the one growth by steps reaches.
TEST(PacketGrowth, OneLargeAddGrowsToTheSameCapacityAsByteByByteAdds) {
  for (std::size_t size : {0u, 1u, 511u, 512u, 513u, 1500u, 5000u, 70000u}) {
    std::vector<std::uint8_t> payload(size, 0x90);
    codrant::encoder whole, single;
    ASSERT_TRUE(whole.add(payload.data(), payload.size()));
    for (std::uint8_t b : payload) ASSERT_TRUE(single.add(&b, 1));
    ASSERT_TRUE(whole.end());
    ASSERT_TRUE(single.end());
    EXPECT_EQ(whole.buffer().capacity(), single.buffer().capacity()) << size;
    EXPECT_EQ(whole.buffer().peak_size(), single.buffer().peak_size()) << size;
    EXPECT_EQ(whole.buffer().length(), 2 * size + 2) << size;
  }
}
}  // namespace
