// The packet encoder and decoder as a client sees them: created by ProgID
// after regsvr32, from the multithreaded apartment (direct calls) and from a
// single-threaded apartment (every call, the decoder's callback included,
// through the proxies Codrant.dll registers).
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

#include "CRCGenerator_h.h"
#include "PacketCodec_h.h"
#include "com/object.h"
#include "com/ptr.h"
#include "testing/com_test.h"

using orvo::com::ptr;

namespace {
using bytes = std::vector<BYTE>;
using packets = std::vector<bytes>;

template <class I>
ptr<I> create(const wchar_t* progid) {
  ptr<I> object;
  EXPECT_EQ(orvo::com::create_instance(progid, object, CLSCTX_INPROC_SERVER), S_OK);
  return object;
}
ptr<IPacketEncoder> encoder() { return create<IPacketEncoder>(L"Quarnell.StdEncoder"); }
ptr<IPacketDecoder> decoder() { return create<IPacketDecoder>(L"Quarnell.StdDecoder"); }

bool is_proxy(IUnknown* object) {
  ptr<IClientSecurity> security;
  return SUCCEEDED(object->QueryInterface(IID_IClientSecurity, security.put_void()));
}

// Keeps every packet it is given, from any thread; `gone` is set when the
// last reference goes.
class collector : public orvo::com::object<collector, IPacketDecoderCallback> {
 public:
  explicit collector(std::shared_ptr<bool> gone = nullptr) : m_gone(std::move(gone)) {}
  ~collector() override {
    if (m_gone) *m_gone = true;
  }
  STDMETHODIMP OnPacket(BYTE* data, LONG count) override {
    // Refused here too: what reaches the collector through a proxy is
    // checked by the proxy.
    if (count < 0) return E_FAIL;
    {
      std::lock_guard<std::mutex> hold(m_mutex);
      received.emplace_back(data, data + count);
    }
    if (m_on_packet) m_on_packet();
    return S_OK;
  }
  packets received;
  std::function<void()> m_on_packet;

 private:
  std::mutex m_mutex;
  std::shared_ptr<bool> m_gone;
};

ptr<IPacketDecoderCallback> make_collector(std::shared_ptr<bool> gone = nullptr) {
  ptr<IPacketDecoderCallback> c;
  EXPECT_EQ(collector::make(c, std::move(gone)), S_OK);
  return c;
}
collector* as_collector(const ptr<IPacketDecoderCallback>& c) { return static_cast<collector*>(c.get()); }

// Every byte an enumerator yields, read in pieces of `piece`.
bytes drain(IEnumBYTE* e, ULONG piece = 3) {
  bytes out;
  std::vector<BYTE> buffer(piece);
  for (;;) {
    ULONG fetched = 0;
    const HRESULT hr = e->Next(piece, buffer.data(), &fetched);
    EXPECT_TRUE(hr == S_OK || hr == S_FALSE) << std::hex << hr;
    out.insert(out.end(), buffer.begin(), buffer.begin() + fetched);
    if (hr != S_OK) return out;
  }
}

bytes end_packet(IPacketEncoder* enc, ULONG piece = 3) {
  ptr<IEnumBYTE> e;
  EXPECT_EQ(enc->EndPacket(e.put()), S_OK);
  return e ? drain(e.get(), piece) : bytes{};
}

bytes encode(IPacketEncoder* enc, bytes payload) {
  EXPECT_EQ(enc->AddData(payload.data(), static_cast<LONG>(payload.size())), S_OK);
  return end_packet(enc);
}

packets decode(IPacketDecoder* dec, bytes stream) {
  auto sink = make_collector();
  EXPECT_EQ(dec->SetCallback(sink.get()), S_OK);
  EXPECT_EQ(dec->Decode(stream.data(), static_cast<LONG>(stream.size())), S_OK);
  EXPECT_EQ(dec->SetCallback(nullptr), S_OK);
  return as_collector(sink)->received;
}

LONG buffer_size(IPacketEncoder* enc) {
  LONG n = -1;
  EXPECT_EQ(enc->get_BufferSize(&n), S_OK);
  return n;
}

// How the encoder behaves, however it is reached.
void check_encoder() {
  auto enc = encoder();
  ASSERT_TRUE(enc);
  EXPECT_EQ(encode(enc.get(), {0x00, 0x80, 0x81, 0xFF}),
            (bytes{0x81, 0x00, 0x00, 0x00, 0x80, 0x01, 0x80, 0x7F, 0x80, 0xFF}));

  // After EndPacket no buffer is held; AddData begins the next frame itself.
  EXPECT_EQ(buffer_size(enc.get()), 0);
  EXPECT_EQ(encode(enc.get(), {0x05}), (bytes{0x81, 0x00, 0x05, 0xFF}));
  // BeginPacket drops what was added.
  BYTE junk[] = {1, 2, 3};
  enc->AddData(junk, 3);
  EXPECT_EQ(enc->BeginPacket(), S_OK);
  EXPECT_EQ(end_packet(enc.get()), (bytes{0x81, 0xFF}));

  // Growth: 0x81 and 511 pairs fill 1023 bytes; one more pair grows 1024 to 1524.
  EXPECT_EQ(enc->BeginPacket(), S_OK);
  bytes half(511, 0x33);
  enc->AddData(half.data(), 511);
  EXPECT_EQ(buffer_size(enc.get()), 1024);
  enc->AddData(half.data(), 1);
  EXPECT_EQ(buffer_size(enc.get()), 1524);
  LONG peak = 0;
  EXPECT_EQ(enc->get_PeakSize(&peak), S_OK);
  EXPECT_EQ(peak, 1524);
  EXPECT_EQ(end_packet(enc.get(), 4096).size(), 2u * 512 + 2);

  // Settings: 1000 and 0 are refused; 1001 applies from the next packet.
  LONG initial = 0;
  SHORT percent = 0;
  EXPECT_EQ(enc->put_InitialSize(1000), S_FALSE);
  EXPECT_EQ(enc->get_InitialSize(&initial), S_OK);
  EXPECT_EQ(initial, 1024);
  EXPECT_EQ(enc->put_InitialSize(1001), S_OK);
  EXPECT_EQ(enc->get_InitialSize(&initial), S_OK);
  EXPECT_EQ(initial, 1001);
  EXPECT_EQ(buffer_size(enc.get()), 0);
  EXPECT_EQ(enc->BeginPacket(), S_OK);
  EXPECT_EQ(buffer_size(enc.get()), 1001);
  EXPECT_EQ(enc->put_GrowPercent(0), S_FALSE);
  EXPECT_EQ(enc->get_GrowPercent(&percent), S_OK);
  EXPECT_EQ(percent, 50);
  EXPECT_EQ(enc->put_GrowPercent(10), S_OK);
  EXPECT_EQ(enc->get_GrowPercent(&percent), S_OK);
  EXPECT_EQ(percent, 10);

  // A clone has default settings and a packet begun, whatever this one holds.
  ptr<IPacketEncoder> copy;
  ASSERT_EQ(enc->Clone(copy.put()), S_OK);
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->get_InitialSize(&initial), S_OK);
  EXPECT_EQ(initial, 1024);
  EXPECT_EQ(copy->get_GrowPercent(&percent), S_OK);
  EXPECT_EQ(percent, 50);
  EXPECT_EQ(buffer_size(copy.get()), 1024);
  EXPECT_EQ(encode(copy.get(), {}), (bytes{0x81, 0xFF}));
}

void check_enumerator() {
  auto enc = encoder();
  ASSERT_TRUE(enc);
  BYTE payload[] = {1, 2, 0x99};
  enc->AddData(payload, 3);
  ptr<IEnumBYTE> e;
  ASSERT_EQ(enc->EndPacket(e.put()), S_OK);
  BYTE got[16] = {};
  ULONG fetched = 99;
  EXPECT_EQ(e->Next(2, got, &fetched), S_OK);
  EXPECT_EQ(fetched, 2u);
  // One byte may be asked for without a count, through a proxy too; more
  // may not.
  EXPECT_EQ(e->Next(2, got, nullptr), E_POINTER);
  EXPECT_EQ(e->Next(1, got, nullptr), S_OK);
  EXPECT_EQ(got[0], 0x01);
  EXPECT_EQ(e->Skip(2), S_OK);
  ptr<IEnumBYTE> copy;
  ASSERT_EQ(e->Clone(copy.put()), S_OK);
  // Three bytes are left: asking for ten gives three and S_FALSE.
  EXPECT_EQ(e->Next(10, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 3u);
  EXPECT_EQ(bytes(got, got + 3), (bytes{0x19, 0x80, 0xFF}));
  EXPECT_EQ(e->Next(1, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(e->Skip(1), S_FALSE);
  // The clone kept its own position, and outlives nothing it needs.
  e = nullptr;
  enc = nullptr;
  EXPECT_EQ(drain(copy.get()), (bytes{0x19, 0x80, 0xFF}));
  EXPECT_EQ(copy->Reset(), S_OK);
  EXPECT_EQ(drain(copy.get(), 100), (bytes{0x81, 0x00, 0x01, 0x00, 0x02, 0x19, 0x80, 0xFF}));
}

void check_decoder() {
  auto dec = decoder();
  ASSERT_TRUE(dec);
  // No callback: S_FALSE and null.
  ptr<IPacketDecoderCallback> callback = make_collector();
  EXPECT_EQ(dec->GetCallback(callback.put()), S_FALSE);
  EXPECT_FALSE(callback);

  EXPECT_EQ(decode(dec.get(), {0x81, 0x00, 0x05, 0xFF}), packets{{0x05}});
  EXPECT_TRUE(decode(dec.get(), {0x81, 0x00, 0xFF}).empty());
  EXPECT_EQ(decode(dec.get(), {0x81, 0xFF}), packets{bytes{}});
  EXPECT_TRUE(decode(dec.get(), {0x81, 0x00, 0x05, 0x90, 0x00, 0x06, 0xFF}).empty());
  EXPECT_EQ(decode(dec.get(), {0x81, 0x00, 0x01, 0x81, 0x00, 0x02, 0xFF}), packets{{0x02}});
  EXPECT_EQ(decode(dec.get(), {0x81, 0x01, 0x01, 0xFF}), packets{{0x02}});

  // A frame split over calls; Reset drops a partial one.
  auto sink = make_collector();
  ASSERT_EQ(dec->SetCallback(sink.get()), S_OK);
  ptr<IPacketDecoderCallback> held;
  EXPECT_EQ(dec->GetCallback(held.put()), S_OK);
  EXPECT_EQ(static_cast<IUnknown*>(held.get()), static_cast<IUnknown*>(sink.get()));
  BYTE part1[] = {0x81, 0x00}, part2[] = {0x07, 0xFF}, part3[] = {0x81, 0x00, 0x08};
  EXPECT_EQ(dec->Decode(part1, 2), S_OK);
  EXPECT_EQ(dec->Decode(nullptr, 0), S_OK);
  EXPECT_EQ(dec->Decode(part2, 2), S_OK);
  EXPECT_EQ(dec->Decode(part3, 3), S_OK);
  EXPECT_EQ(dec->Reset(), S_OK);
  EXPECT_EQ(dec->Decode(part2 + 1, 1), S_OK);
  EXPECT_EQ(as_collector(sink)->received, packets{{0x07}});

  // A clone has default settings and no callback.
  EXPECT_EQ(dec->put_InitialSize(5000), S_OK);
  EXPECT_EQ(dec->put_GrowPercent(7), S_OK);
  ptr<IPacketDecoder> copy;
  ASSERT_EQ(dec->Clone(copy.put()), S_OK);
  LONG initial = 0;
  SHORT percent = 0;
  EXPECT_EQ(copy->get_InitialSize(&initial), S_OK);
  EXPECT_EQ(initial, 1024);
  EXPECT_EQ(copy->get_GrowPercent(&percent), S_OK);
  EXPECT_EQ(percent, 50);
  EXPECT_EQ(copy->GetCallback(held.put()), S_FALSE);
  EXPECT_FALSE(held);
  EXPECT_EQ(dec->SetCallback(nullptr), S_OK);
}

// A null out pointer: the object answers E_POINTER; a proxy refuses the call
// itself (an [out] pointer may not be null on the wire).
void check_null_out_pointers() {
  auto enc = encoder();
  auto dec = decoder();
  ASSERT_TRUE(enc && dec);
  const HRESULT null_out = is_proxy(enc.get()) ? HRESULT_FROM_WIN32(RPC_X_NULL_REF_POINTER) : E_POINTER;
  EXPECT_EQ(enc->get_GrowPercent(nullptr), null_out);
  EXPECT_EQ(enc->get_PeakSize(nullptr), null_out);
  EXPECT_EQ(enc->get_BufferSize(nullptr), null_out);
  EXPECT_EQ(enc->get_InitialSize(nullptr), null_out);
  EXPECT_EQ(enc->EndPacket(nullptr), null_out);
  EXPECT_EQ(enc->Clone(nullptr), null_out);
  EXPECT_EQ(dec->GetCallback(nullptr), null_out);
  EXPECT_EQ(dec->get_InitialSize(nullptr), null_out);
  EXPECT_EQ(dec->get_GrowPercent(nullptr), null_out);
  EXPECT_EQ(dec->get_PeakSize(nullptr), null_out);
  EXPECT_EQ(dec->get_BufferSize(nullptr), null_out);
  EXPECT_EQ(dec->Clone(nullptr), null_out);
  // Null data is no error anywhere.
  EXPECT_EQ(enc->AddData(nullptr, 5), S_OK);
  EXPECT_EQ(dec->Decode(nullptr, 5), S_OK);
}

// Random packets of 0 to 4 KiB with a CRC-16 from CRC.dll, through an
// encoder and a decoder in random pieces; every packet arrives whole and
// checks valid.
packets round_trip(unsigned seed) {
  auto enc = encoder();
  auto dec = decoder();
  auto crc = create<ICRCGenerator>(L"Quarnell.CRCGenerator16");
  if (!enc || !dec || !crc) return {};
  std::mt19937 rng(seed);
  packets sent;
  bytes stream;
  for (int i = 0; i < 40; ++i) {
    bytes p(rng() % 4097);
    for (auto& b : p) b = static_cast<BYTE>(rng());
    // The first packet holds every byte value, the second none.
    if (i == 0)
      for (int v = 0; v < 256; ++v) p.push_back(static_cast<BYTE>(v));
    if (i == 1) p.clear();
    crc->Reset();
    crc->AddData(p.data(), static_cast<LONG>(p.size()));
    crc->EndGenerate();
    BYTE high = 0, low = 0;
    EXPECT_EQ(crc->GetByte(0, &high), S_OK);
    EXPECT_EQ(crc->GetByte(1, &low), S_OK);
    p.push_back(high);
    p.push_back(low);
    for (std::size_t at = 0; at < p.size();) {
      const std::size_t n = std::min<std::size_t>(rng() % 1500, p.size() - at);
      EXPECT_EQ(enc->AddData(p.data() + at, static_cast<LONG>(n)), S_OK);
      at += n;
    }
    const bytes frame = end_packet(enc.get(), 1 + rng() % 3000);
    stream.insert(stream.end(), frame.begin(), frame.end());
    sent.push_back(p);
  }
  auto sink = make_collector();
  dec->SetCallback(sink.get());
  for (std::size_t at = 0; at < stream.size();) {
    const std::size_t n = std::min<std::size_t>(rng() % 6000, stream.size() - at);
    EXPECT_EQ(dec->Decode(stream.data() + at, static_cast<LONG>(n)), S_OK);
    at += n;
  }
  dec->SetCallback(nullptr);
  const packets received = as_collector(sink)->received;
  EXPECT_EQ(received, sent);
  for (const bytes& p : received) {
    LONG valid = FALSE;
    crc->Reset();
    crc->AddData(const_cast<BYTE*>(p.data()), static_cast<LONG>(p.size()));
    crc->EndCheck();
    EXPECT_EQ(crc->get_Valid(&valid), S_OK);
    EXPECT_EQ(valid, TRUE);
  }
  return received;
}

TEST(PacketCodecCom, EncoderInTheMultithreadedApartment) {
  auto enc = encoder();
  ASSERT_TRUE(enc);
  EXPECT_FALSE(is_proxy(enc.get()));
  check_encoder();
  check_enumerator();
}

TEST(PacketCodecCom, DecoderInTheMultithreadedApartment) {
  auto dec = decoder();
  ASSERT_TRUE(dec);
  EXPECT_FALSE(is_proxy(dec.get()));
  check_decoder();
  check_null_out_pointers();
}

TEST(PacketCodecCom, RandomPacketsWithACrc16RoundTrip) { round_trip(1); }

TEST(PacketCodecCom, FromASingleThreadedApartmentEveryCallGoesThroughTheProxies) {
  const packets direct = round_trip(2);
  ASSERT_EQ(direct.size(), 40u);
  orvo::testing::in_sta([&] {
    auto enc = encoder();
    auto dec = decoder();
    ASSERT_TRUE(enc && dec);
    EXPECT_TRUE(is_proxy(enc.get()));
    EXPECT_TRUE(is_proxy(dec.get()));
    check_encoder();
    check_enumerator();
    check_decoder();
    check_null_out_pointers();
    EXPECT_EQ(round_trip(2), direct);
  });
}

TEST(PacketCodecCom, VersionedProgIdsCreateTheSameClasses) {
  auto enc = create<IPacketEncoder>(L"Quarnell.StdEncoder.1");
  auto dec = create<IPacketDecoder>(L"Quarnell.StdDecoder.1");
  ASSERT_TRUE(enc && dec);
  EXPECT_EQ(encode(enc.get(), {0x7E}), (bytes{0x81, 0x00, 0x7E, 0xFF}));
}

TEST(PacketCodecCom, TheDecoderHoldsItsCallbackUntilReplaced) {
  auto dec = decoder();
  auto gone = std::make_shared<bool>(false);
  auto sink = make_collector(gone);
  ASSERT_EQ(dec->SetCallback(sink.get()), S_OK);
  collector* raw = as_collector(sink);
  sink = nullptr;
  EXPECT_FALSE(*gone);
  BYTE frame[] = {0x81, 0x00, 0x42, 0xFF};
  EXPECT_EQ(dec->Decode(frame, 4), S_OK);
  EXPECT_EQ(raw->received, packets{{0x42}});
  EXPECT_EQ(dec->SetCallback(nullptr), S_OK);
  EXPECT_TRUE(*gone);
}

TEST(PacketCodecCom, ACallbackMayClearItselfWhileItRuns) {
  auto dec = decoder();
  auto gone = std::make_shared<bool>(false);
  auto sink = make_collector(gone);
  collector* raw = as_collector(sink);
  packets seen;
  raw->m_on_packet = [&] {
    seen = raw->received;
    dec->SetCallback(nullptr);
  };
  ASSERT_EQ(dec->SetCallback(sink.get()), S_OK);
  sink = nullptr;
  BYTE two[] = {0x81, 0x00, 0x01, 0xFF, 0x81, 0x00, 0x02, 0xFF};
  EXPECT_EQ(dec->Decode(two, 8), S_OK);
  EXPECT_TRUE(*gone);
  EXPECT_EQ(seen, packets{{0x01}});
}

TEST(PacketCodecCom, ACallbackMayDropItsDecoderAndMakeANewOneWhileItRuns) {
  auto dec = decoder();
  auto gone = std::make_shared<bool>(false);
  auto sink = make_collector(gone);
  collector* raw = as_collector(sink);
  auto fresh = make_collector();
  ptr<IPacketDecoder> replacement;
  packets seen;
  raw->m_on_packet = [&] {
    seen = raw->received;
    if (!dec) return;
    // The last reference to the decoder that is running, as a closing port
    // drops its decoder.
    dec = nullptr;
    replacement = decoder();
    replacement->SetCallback(fresh.get());
  };
  ASSERT_EQ(dec->SetCallback(sink.get()), S_OK);
  sink = nullptr;
  IPacketDecoder* running = dec.get();
  BYTE two[] = {0x81, 0x00, 0x01, 0xFF, 0x81, 0x00, 0x02, 0xFF};
  EXPECT_EQ(running->Decode(two, 8), S_OK);
  // The dropped decoder took every byte it was given, then went.
  EXPECT_EQ(seen, (packets{{0x01}, {0x02}}));
  EXPECT_TRUE(*gone);
  ASSERT_TRUE(replacement);
  BYTE one[] = {0x81, 0x00, 0x09, 0xFF};
  EXPECT_EQ(replacement->Decode(one, 4), S_OK);
  EXPECT_EQ(as_collector(fresh)->received, packets{{0x09}});
}

TEST(PacketCodecCom, ACallbackInASingleThreadedApartmentMayCallItsDecoderWhileItRuns) {
  orvo::testing::in_sta([] {
    auto dec = decoder();
    ASSERT_TRUE(dec);
    ASSERT_TRUE(is_proxy(dec.get()));
    auto sink = make_collector();
    collector* raw = as_collector(sink);
    std::vector<HRESULT> nested;
    raw->m_on_packet = [&] {
      BYTE no_frame[] = {0x00, 0x07, 0xFF};
      nested.push_back(dec->Decode(no_frame, 3));
      nested.push_back(dec->Reset());
      nested.push_back(dec->SetCallback(sink.get()));
    };
    ASSERT_EQ(dec->SetCallback(sink.get()), S_OK);
    BYTE two[] = {0x81, 0x00, 0x01, 0xFF, 0x81, 0x00, 0x02, 0xFF};
    EXPECT_EQ(dec->Decode(two, 8), S_OK);
    EXPECT_EQ(raw->received, (packets{{0x01}, {0x02}}));
    EXPECT_EQ(nested, std::vector<HRESULT>(6, S_OK));
    EXPECT_EQ(dec->SetCallback(nullptr), S_OK);
  });
}

TEST(PacketCodecCom, ThreadsFeedingWholeFramesToOneDecoderLoseNoPacketWhileCallbacksResetIt) {
  auto dec = decoder();
  auto sink = make_collector();
  collector* raw = as_collector(sink);
  // Every thread's Decode is outside any frame while its callback runs, so
  // a reset from there drops nothing of another thread's frames.
  raw->m_on_packet = [&] { EXPECT_EQ(dec->Reset(), S_OK); };
  ASSERT_EQ(dec->SetCallback(sink.get()), S_OK);
  constexpr int thread_count = 4, packet_count = 300;
  std::vector<std::thread> threads;
  for (int t = 0; t < thread_count; ++t) {
    threads.emplace_back([&dec, t] {
      CoInitializeEx(nullptr, COINIT_MULTITHREADED);
      bytes chunk;
      for (int i = 0; i < packet_count; ++i) {
        // Three frames a call.
        const bytes frame = {0x81, 0x00, static_cast<BYTE>(t), 0x00, static_cast<BYTE>(i % 128), 0xFF};
        chunk.insert(chunk.end(), frame.begin(), frame.end());
        if (i % 3 == 2 || i + 1 == packet_count) {
          EXPECT_EQ(dec->Decode(chunk.data(), static_cast<LONG>(chunk.size())), S_OK);
          chunk.clear();
        }
      }
      CoUninitialize();
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(dec->SetCallback(nullptr), S_OK);
  std::vector<int> per_thread(thread_count);
  for (const bytes& p : raw->received) {
    ASSERT_EQ(p.size(), 2u);
    ASSERT_LT(p[0], thread_count);
    ++per_thread[p[0]];
  }
  EXPECT_EQ(per_thread, std::vector<int>(thread_count, packet_count));
}

TEST(PacketCodecCom, AnExceptionOutOfTheCallbackEndsDecodeWithAnError) {
  auto dec = decoder();
  auto sink = make_collector();
  collector* raw = as_collector(sink);
  raw->m_on_packet = [&] {
    if (raw->received.size() == 1) throw std::runtime_error("refused");
  };
  ASSERT_EQ(dec->SetCallback(sink.get()), S_OK);
  BYTE two[] = {0x81, 0x00, 0x01, 0xFF, 0x81, 0x00, 0x02, 0xFF};
  ASSERT_EQ(dec->Decode(two, 8), E_UNEXPECTED);
  orvo::testing::expect_error_info(dec.get(), IID_IPacketDecoder, L"Quarnell.StdDecoder");
  // The rest of that chunk is lost; the decoder is free and outside any frame.
  BYTE rest[] = {0x00, 0x05, 0xFF, 0x81, 0x00, 0x06, 0xFF};
  EXPECT_EQ(dec->Decode(rest, 7), S_OK);
  EXPECT_EQ(raw->received, (packets{{0x01}, {0x06}}));
  EXPECT_EQ(dec->SetCallback(nullptr), S_OK);
}

TEST(PacketCodecCom, ANegativeCountFromASingleThreadedApartmentIsRefusedBeforeItIsSent) {
  orvo::testing::in_sta([] {
    auto enc = encoder();
    auto dec = decoder();
    ASSERT_TRUE(enc && dec);
    ASSERT_TRUE(is_proxy(enc.get()) && is_proxy(dec.get()));
    BYTE b = 0x42;
    for (const LONG count : {LONG{-1}, LONG{INT_MIN}}) {
      EXPECT_EQ(enc->AddData(&b, count), E_INVALIDARG);
      EXPECT_EQ(dec->Decode(&b, count), E_INVALIDARG);
    }
    // Null data is no error whatever the count, as in process.
    EXPECT_EQ(enc->AddData(nullptr, -1), S_OK);
    EXPECT_EQ(dec->Decode(nullptr, INT_MIN), S_OK);
    EXPECT_EQ(encode(enc.get(), {0x05}), (bytes{0x81, 0x00, 0x05, 0xFF}));
  });
}

TEST(PacketCodecCom, ANegativeCountToACallbackInAnotherApartmentIsRefusedBeforeItIsSent) {
  auto sink = make_collector();
  IStream* stream = nullptr;
  ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(IID_IPacketDecoderCallback, sink.get(), &stream), S_OK);
  orvo::testing::in_sta([&] {
    ptr<IPacketDecoderCallback> callback;
    ASSERT_EQ(CoGetInterfaceAndReleaseStream(stream, IID_IPacketDecoderCallback, callback.put_void()), S_OK);
    ASSERT_TRUE(is_proxy(callback.get()));
    BYTE b[] = {0x42, 0x43};
    EXPECT_EQ(callback->OnPacket(b, -1), E_INVALIDARG);
    EXPECT_EQ(callback->OnPacket(b, 2), S_OK);
  });
  EXPECT_EQ(as_collector(sink)->received, (packets{{0x42, 0x43}}));
}

TEST(PacketCodecCom, ANegativeCountIsRefusedWithErrorInfo) {
  auto enc = encoder();
  auto dec = decoder();
  BYTE b = 0;
  EXPECT_EQ(enc->AddData(&b, -1), E_INVALIDARG);
  EXPECT_EQ(buffer_size(enc.get()), 1024);
  ASSERT_EQ(dec->Decode(&b, -1), E_INVALIDARG);
  orvo::testing::expect_error_info(dec.get(), IID_IPacketDecoder, L"Quarnell.StdDecoder");
}

TEST(PacketCodecCom, BothClassesCanBeAggregated) {
  for (const wchar_t* progid : {L"Quarnell.StdEncoder", L"Quarnell.StdDecoder"}) {
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(progid, &clsid), S_OK);
    ptr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.put_void()), S_OK);
    // An outer object that is only an identity.
    auto outer = make_collector();
    ptr<IUnknown> inner;
    EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IPacketEncoder, inner.put_void()), CLASS_E_NOAGGREGATION);
    ASSERT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, inner.put_void()), S_OK);
    ptr<IUnknown> codec_interface;
    const IID& iid = clsid == CLSID_StdEncoder ? IID_IPacketEncoder : IID_IPacketDecoder;
    ASSERT_EQ(inner->QueryInterface(iid, codec_interface.put_void()), S_OK);
    // Its IUnknown methods answer for the outer object.
    ptr<IPacketDecoderCallback> via_outer;
    EXPECT_EQ(codec_interface->QueryInterface(IID_IPacketDecoderCallback, via_outer.put_void()), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(via_outer.get()), static_cast<IUnknown*>(outer.get()));
  }
}

}  // namespace
