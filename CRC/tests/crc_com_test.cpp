// The CRC generators as a client sees them: created by ProgID after
// regsvr32, from the multithreaded apartment (direct calls) and from a
// single-threaded apartment (every call through the registered proxy).
#include <gtest/gtest.h>

#include <boost/crc.hpp>

#include <climits>
#include <random>
#include <vector>

#include "CRCGenerator_h.h"
#include "com/ptr.h"
#include "testing/com_test.h"

using orvo::com::ptr;

namespace {

BYTE abc[] = {'a', 'b', 'c'};

ptr<ICRCGenerator> create(const wchar_t* progid) {
  ptr<ICRCGenerator> gen;
  HRESULT hr = orvo::com::create_instance(progid, gen, CLSCTX_INPROC_SERVER);
  EXPECT_EQ(hr, S_OK) << "creating " << static_cast<const void*>(progid);
  return gen;
}

std::vector<BYTE> crc_bytes(ICRCGenerator* gen) {
  SHORT count = 0;
  EXPECT_EQ(gen->get_ByteCount(&count), S_OK);
  std::vector<BYTE> bytes(count);
  for (SHORT i = 0; i < count; ++i) EXPECT_EQ(gen->GetByte(i, &bytes[i]), S_OK);
  return bytes;
}

LONG valid(ICRCGenerator* gen) {
  LONG v = -5;
  EXPECT_EQ(gen->get_Valid(&v), S_OK);
  return v;
}

// The generators' behaviour, checked on whichever way of reaching them a test
// hands in.
void check_crc16(ICRCGenerator* gen) {
  SHORT count = 0;
  ASSERT_EQ(gen->get_ByteCount(&count), S_OK);
  EXPECT_EQ(count, 2);

  // "abc" gives 0xBB27.
  ASSERT_EQ(gen->Reset(), S_OK);
  ASSERT_EQ(gen->AddData(abc, 3), S_OK);
  ASSERT_EQ(gen->EndGenerate(), S_OK);
  EXPECT_EQ(crc_bytes(gen), (std::vector<BYTE>{0xBB, 0x27}));

  // A packet with its two CRC bytes checks valid; every flipped bit makes it invalid.
  std::vector<BYTE> packet = {0x03, 0x10, 0x00, 0x80, 0x7F, 0xFF};
  gen->Reset();
  gen->AddData(packet.data(), static_cast<LONG>(packet.size()));
  gen->EndGenerate();
  for (BYTE b : crc_bytes(gen)) packet.push_back(b);
  gen->Reset();
  gen->AddData(packet.data(), static_cast<LONG>(packet.size()));
  EXPECT_EQ(gen->EndCheck(), S_OK);
  EXPECT_EQ(valid(gen), TRUE);
  for (std::size_t i = 0; i < packet.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      auto damaged = packet;
      damaged[i] ^= static_cast<BYTE>(1u << bit);
      gen->Reset();
      gen->AddData(damaged.data(), static_cast<LONG>(damaged.size()));
      gen->EndCheck();
      EXPECT_EQ(valid(gen), FALSE) << "byte " << i << " bit " << bit;
    }
  }

  BYTE b = 0;
  EXPECT_EQ(gen->GetByte(2, &b), E_INVALIDARG);
  EXPECT_EQ(gen->GetByte(-1, &b), E_INVALIDARG);
}

void check_crc32(ICRCGenerator* gen) {
  SHORT count = 0;
  ASSERT_EQ(gen->get_ByteCount(&count), S_OK);
  EXPECT_EQ(count, 4);

  gen->Reset();
  gen->AddData(abc, 3);
  gen->EndGenerate();
  const auto crc = crc_bytes(gen);
  EXPECT_EQ(crc, (std::vector<BYTE>{0xAD, 0x13, 0xF0, 0xCA}));

  // The block followed by its four CRC bytes leaves 0.
  std::vector<BYTE> block(abc, abc + 3);
  block.insert(block.end(), crc.begin(), crc.end());
  gen->Reset();
  gen->AddData(block.data(), static_cast<LONG>(block.size()));
  gen->EndCheck();
  EXPECT_EQ(valid(gen), TRUE);
  block[0] ^= 1;
  gen->Reset();
  gen->AddData(block.data(), static_cast<LONG>(block.size()));
  EXPECT_EQ(valid(gen), FALSE);

  BYTE b = 0;
  EXPECT_EQ(gen->GetByte(4, &b), E_INVALIDARG);
  EXPECT_EQ(gen->GetByte(-1, &b), E_INVALIDARG);
}

bool is_proxy(ICRCGenerator* gen);

// Facts common to both classes.
void check_common(ICRCGenerator* gen) {
  // A null out pointer: the object answers E_POINTER; a proxy refuses the
  // call itself (an [out] pointer may not be null on the wire).
  const HRESULT null_out = is_proxy(gen) ? HRESULT_FROM_WIN32(RPC_X_NULL_REF_POINTER) : E_POINTER;
  EXPECT_EQ(gen->get_Valid(nullptr), null_out);
  EXPECT_EQ(gen->get_ByteCount(nullptr), null_out);
  EXPECT_EQ(gen->GetByte(0, nullptr), null_out);
  EXPECT_EQ(gen->Clone(nullptr), null_out);

  // Null data: S_OK and the register unchanged.
  gen->Reset();
  gen->AddData(abc, 2);
  const auto before = crc_bytes(gen);
  EXPECT_EQ(gen->AddData(nullptr, 0), S_OK);
  EXPECT_EQ(gen->AddData(nullptr, 7), S_OK);
  EXPECT_EQ(crc_bytes(gen), before);

  // A clone continues from the same register.
  ptr<ICRCGenerator> copy;
  gen->Reset();
  gen->AddData(abc, 1);
  ASSERT_EQ(gen->Clone(copy.put()), S_OK);
  ASSERT_TRUE(copy);
  EXPECT_NE(copy.get(), gen);
  gen->AddData(abc + 1, 2);
  copy->AddData(abc + 1, 2);
  gen->EndGenerate();
  copy->EndGenerate();
  EXPECT_EQ(crc_bytes(copy.get()), crc_bytes(gen));
}

// The generator is the object itself in the MTA, a proxy in an STA.
bool is_proxy(ICRCGenerator* gen) {
  ptr<IClientSecurity> security;
  return SUCCEEDED(gen->QueryInterface(IID_IClientSecurity, security.put_void()));
}

TEST(CrcGeneratorCom, Crc16InTheMultithreadedApartment) {
  auto gen = create(L"Quarnell.CRCGenerator16");
  ASSERT_TRUE(gen);
  EXPECT_FALSE(is_proxy(gen.get()));
  check_crc16(gen.get());
  check_common(gen.get());
}

TEST(CrcGeneratorCom, Crc32InTheMultithreadedApartment) {
  auto gen = create(L"Quarnell.CRCGenerator32");
  ASSERT_TRUE(gen);
  check_crc32(gen.get());
  check_common(gen.get());
}

TEST(CrcGeneratorCom, VersionedProgIdsCreateTheSameClasses) {
  auto g16 = create(L"Quarnell.CRCGenerator16.1");
  auto g32 = create(L"Quarnell.CRCGenerator32.1");
  ASSERT_TRUE(g16 && g32);
  SHORT n16 = 0, n32 = 0;
  g16->get_ByteCount(&n16);
  g32->get_ByteCount(&n32);
  EXPECT_EQ(n16, 2);
  EXPECT_EQ(n32, 4);
}

TEST(CrcGeneratorCom, FromASingleThreadedApartmentEveryCallGoesThroughTheProxy) {
  orvo::testing::in_sta([] {
    auto g16 = create(L"Quarnell.CRCGenerator16");
    auto g32 = create(L"Quarnell.CRCGenerator32");
    ASSERT_TRUE(g16 && g32);
    EXPECT_TRUE(is_proxy(g16.get()));
    EXPECT_TRUE(is_proxy(g32.get()));
    check_crc16(g16.get());
    check_common(g16.get());
    check_crc32(g32.get());
    check_common(g32.get());
  });
}

// Random blocks through the COM objects agree with Boost.CRC.
void check_random_against_boost(ICRCGenerator* g16, ICRCGenerator* g32) {
  std::mt19937 rng(11);
  for (int round = 0; round < 40; ++round) {
    std::vector<BYTE> data(rng() % 600);
    for (auto& b : data) b = static_cast<BYTE>(rng());
    g16->Reset();
    g16->AddData(data.data(), static_cast<LONG>(data.size()));
    g16->EndGenerate();
    boost::crc_optimal<16, 0x8005, 0xFFFF, 0xFFFF, false, false> b16;
    b16.process_bytes(data.data(), data.size());
    const auto c16 = crc_bytes(g16);
    ASSERT_EQ(c16.size(), 2u);
    EXPECT_EQ(c16[0] << 8 | c16[1], b16.checksum());

    g32->Reset();
    g32->AddData(data.data(), static_cast<LONG>(data.size()));
    g32->EndGenerate();
    auto augmented = data;
    augmented.insert(augmented.end(), 4, 0);
    const auto b32 = boost::augmented_crc<32, 0x04C11DB7>(augmented.data(), augmented.size(), 0xFFFFFFFFu);
    const auto c32 = crc_bytes(g32);
    ASSERT_EQ(c32.size(), 4u);
    EXPECT_EQ(std::uint32_t{c32[0]} << 24 | std::uint32_t{c32[1]} << 16 | std::uint32_t{c32[2]} << 8 | c32[3], b32);
  }
}

TEST(CrcGeneratorCom, RandomBlocksAgreeWithBoostCrcDirectAndThroughTheProxy) {
  auto g16 = create(L"Quarnell.CRCGenerator16");
  auto g32 = create(L"Quarnell.CRCGenerator32");
  ASSERT_TRUE(g16 && g32);
  check_random_against_boost(g16.get(), g32.get());
  orvo::testing::in_sta([] {
    auto p16 = create(L"Quarnell.CRCGenerator16");
    auto p32 = create(L"Quarnell.CRCGenerator32");
    ASSERT_TRUE(p16 && p32);
    check_random_against_boost(p16.get(), p32.get());
  });
}

TEST(CrcGeneratorCom, ErrorInfoNamesTheClass) {
  auto gen = create(L"Quarnell.CRCGenerator16");
  ASSERT_TRUE(gen);
  BYTE b = 0;
  ASSERT_EQ(gen->GetByte(5, &b), E_INVALIDARG);
  orvo::testing::expect_error_info(gen.get(), IID_ICRCGenerator, L"Quarnell.CRCGenerator16");
}

TEST(CrcGeneratorCom, ANegativeCountIsRefusedWithErrorInfoAndThroughTheProxyBeforeItIsSent) {
  auto gen = create(L"Quarnell.CRCGenerator16");
  ASSERT_TRUE(gen);
  BYTE b = 0;
  ASSERT_EQ(gen->AddData(&b, -1), E_INVALIDARG);
  orvo::testing::expect_error_info(gen.get(), IID_ICRCGenerator, L"Quarnell.CRCGenerator16");
  orvo::testing::in_sta([] {
    auto proxy = create(L"Quarnell.CRCGenerator16");
    ASSERT_TRUE(proxy);
    ASSERT_TRUE(is_proxy(proxy.get()));
    BYTE byte = 0;
    for (const LONG count : {LONG{-1}, LONG{INT_MIN}}) EXPECT_EQ(proxy->AddData(&byte, count), E_INVALIDARG);
    // The register took nothing.
    EXPECT_EQ(proxy->AddData(abc, 3), S_OK);
    EXPECT_EQ(crc_bytes(proxy.get()), (std::vector<BYTE>{0xBB, 0x27}));
  });
}

TEST(CrcGeneratorCom, RefusesAggregationOnlyWhenAskedForAnInterfaceOtherThanIUnknown) {
  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(L"Quarnell.CRCGenerator16", &clsid), S_OK);
  ptr<IClassFactory> factory;
  ASSERT_EQ(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.put_void()), S_OK);
  // An outer object that is only an identity.
  ptr<ICRCGenerator> outer = create(L"Quarnell.CRCGenerator32");
  ptr<ICRCGenerator> gen;
  EXPECT_EQ(factory->CreateInstance(outer.get(), IID_ICRCGenerator, gen.put_void()), CLASS_E_NOAGGREGATION);
  ptr<IUnknown> inner;
  EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, inner.put_void()), S_OK);
  // The inner IUnknown answers for the object's own interfaces, whose
  // IUnknown methods go to the outer object.
  ptr<ICRCGenerator> inner_gen;
  ASSERT_EQ(inner->QueryInterface(IID_ICRCGenerator, inner_gen.put_void()), S_OK);
  ptr<ICRCGenerator> via_outer;
  EXPECT_EQ(inner_gen->QueryInterface(IID_ICRCGenerator, via_outer.put_void()), S_OK);
  EXPECT_EQ(via_outer.get(), outer.get());
}

}  // namespace
