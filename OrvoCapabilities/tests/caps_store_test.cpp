// Descriptor layouts, the readers' size checks, the cache and the setup
// switch, over descriptors held in memory.
#include <gtest/gtest.h>

#include "core/store.h"
#include "memory_source.h"

using namespace orvo::caps;
using orvo::caps::test_support::default_source;
using orvo::caps::test_support::memory_source;

namespace {

bytes lookup_bytes(std::size_t size, std::uint8_t count) {
  bytes b(size, 0);
  b[0] = 'L';
  if (size > name_field) b[name_field] = count;
  if (size > 2 * name_field) {
    b[21] = 'X';
    b[41] = 9;
  }
  return b;
}

TEST(ValueNames, AreFourUpperCaseHexDigits) {
  EXPECT_EQ(value_name(0x9000), "9000");
  EXPECT_EQ(value_name(0xA00B), "A00B");
  EXPECT_EQ(value_name(0x0001), "0001");
  EXPECT_EQ(value_name(0xFFFF), "FFFF");
}

TEST(Layouts, LookupListsNeedAnEntryAndAMatchingCount) {
  EXPECT_FALSE(parse_lookup(lookup_bytes(21, 0)));
  auto one = parse_lookup(lookup_bytes(42, 1));
  ASSERT_TRUE(one);
  EXPECT_EQ(one->name, "L");
  ASSERT_EQ(one->entries.size(), 1u);
  EXPECT_EQ(one->entries[0].name, "X");
  EXPECT_EQ(one->entries[0].code, 9);
  EXPECT_FALSE(parse_lookup(lookup_bytes(42, 2)));
  EXPECT_FALSE(parse_lookup(lookup_bytes(43, 1)));
  EXPECT_FALSE(parse_lookup(lookup_bytes(20, 0)));
}

TEST(Layouts, FixedRecordsNeedTheirExactSize) {
  for (std::size_t n : {103, 105}) EXPECT_FALSE(parse_gain(bytes(n))) << n;
  EXPECT_TRUE(parse_gain(bytes(104)));
  EXPECT_FALSE(parse_low_cut(bytes(42)));
  EXPECT_TRUE(parse_low_cut(bytes(43)));
  EXPECT_FALSE(parse_high_cut(bytes(27)));
  EXPECT_TRUE(parse_high_cut(bytes(26)));
  EXPECT_FALSE(parse_amplifier(bytes(15)));
  EXPECT_TRUE(parse_amplifier(bytes(16)));
}

TEST(Layouts, ATwentyCharacterNameFillsTheFieldWithoutTerminator) {
  TLookupDescriptor d{"Impedance Resolution", {{"12345678901234567890", 7}}};
  const bytes b = serialise(d);
  ASSERT_EQ(b.size(), 42u);
  EXPECT_EQ(b[19], 'n');
  EXPECT_EQ(b[20], 1);
  EXPECT_EQ(b[40], '0');
  EXPECT_EQ(b[41], 7);
  auto back = parse_lookup(b);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->name, "Impedance Resolution");
  EXPECT_EQ(back->entries[0].name, "12345678901234567890");
}

TEST(Layouts, FilterFieldsAreLittleEndianAndPacked) {
  THighCutDescriptor d;
  d.ranges[1] = {1.0f, 0x82, 0x01020304, -2};
  const bytes b = serialise(d);
  ASSERT_EQ(b.size(), 26u);
  const bytes tail(b.begin() + 13, b.end());
  EXPECT_EQ(tail, (bytes{0x00, 0x00, 0x80, 0x3F, 0x82, 0x04, 0x03, 0x02, 0x01, 0xFE, 0xFF, 0xFF, 0xFF}));
}

class Store : public ::testing::Test {
 protected:
  memory_source source = default_source();
  TCapsRegistry registry{source, false};
  TRangeCache cache;
};

TEST_F(Store, ReadersRejectValuesOfTheWrongSize) {
  source.values[0x9000] = lookup_bytes(21, 0);
  TLookupDescriptor list;
  EXPECT_FALSE(registry.ReadInputMode(0x9000, list));
  source.values[0x9000] = lookup_bytes(42, 1);
  EXPECT_TRUE(registry.ReadInputMode(0x9000, list));
  source.values[0x9000] = lookup_bytes(42, 2);
  EXPECT_FALSE(registry.ReadInputMode(0x9000, list));
  source.values[0x1000].push_back(0);
  TGainDescriptor gain;
  EXPECT_FALSE(registry.ReadGain(0x1000, gain));
  EXPECT_FALSE(cache.Load(0x1000, registry));
  EXPECT_EQ(cache.IndexOf(0x1000), -1);
}

TEST_F(Store, ReadersAddTheirOwnTypeNibble) {
  TGainDescriptor gain;
  EXPECT_TRUE(registry.ReadGain(0x0000, gain));
  EXPECT_EQ(source.reads[0x1000], 1);
  TLookupDescriptor list;
  EXPECT_TRUE(registry.ReadNotch(0x0001, list));
  EXPECT_EQ(list.name, "60Hz Notch");
}

TEST_F(Store, UnusedTypeNibblesNeverLoad) {
  source.values[0x4000] = serialise(defaults::gain());
  source.values[0xF000] = serialise(defaults::notch(50));
  EXPECT_FALSE(cache.Load(0x4000, registry));
  EXPECT_FALSE(cache.Load(0xF000, registry));
  EXPECT_FALSE(cache.Load(0x7123, registry));
  EXPECT_EQ(cache.size(), 0u);
}

TEST_F(Store, ADescriptorIsReadOnceAndThenServedFromTheCache) {
  ASSERT_TRUE(cache.Load(0x2000, registry));
  ASSERT_TRUE(cache.Load(0x2000, registry));
  EXPECT_EQ(source.reads[0x2000], 1);
  const TRangeRecord* r = cache.Find(0x2000);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->values.size(), 684u);
  // Changes in the store after loading are not seen.
  source.values.erase(0x2000);
  EXPECT_TRUE(cache.Load(0x2000, registry));
  EXPECT_EQ(cache.Find(0x2000), r);
}

TEST_F(Store, AnAmplifierLoadsItsEightDescriptorsInOrder) {
  ASSERT_TRUE(cache.Load(0x0000, registry));
  EXPECT_EQ(cache.size(), 8u);
  const std::uint16_t order[] = {0x9000, 0x1000, 0x2000, 0x3000, 0x8000, 0xA000, 0xB000, 0xC000};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(cache.IndexOf(order[i]), i);
  EXPECT_EQ(cache.IndexOf(0x0000), -1);  // amplifier descriptors are not cached
}

TEST_F(Store, ASecondModelReadsOnlyItsAmplifierDescriptorAndWhatItAdds) {
  ASSERT_TRUE(cache.Load(0x0000, registry));
  source.reads.clear();
  ASSERT_TRUE(cache.Load(0x0001, registry));
  EXPECT_EQ(source.reads, (std::map<std::uint16_t, int>{{0x0001, 1}, {0x8001, 1}}));
  // Loading the same model again re-reads its amplifier descriptor only.
  source.reads.clear();
  ASSERT_TRUE(cache.Load(0x0001, registry));
  EXPECT_EQ(source.reads, (std::map<std::uint16_t, int>{{0x0001, 1}}));
}

TEST_F(Store, LoadedModelsSurviveTheStoreBeingDeletedButNewOnesFail) {
  ASSERT_TRUE(load_amplifier(cache, registry, 0x0000));
  registry.DeleteDescriptors();
  EXPECT_TRUE(source.values.empty());
  // The amplifier descriptor itself is read on every load, so a model
  // needs its descriptor; the cached records keep working for objects
  // already built.
  EXPECT_FALSE(load_amplifier(cache, registry, 0x0000));
  EXPECT_NE(cache.Find(0x1000), nullptr);
  EXPECT_FALSE(load_amplifier(cache, registry, 0x000A));
}

TEST_F(Store, AModelNamingAMissingDescriptorFailsAndKeepsWhatLoadedBeforeIt) {
  source.values.erase(0x3000);
  EXPECT_FALSE(load_amplifier(cache, registry, 0x0000));
  // Stops at the first failure: high-cut is the fourth position.
  EXPECT_EQ(cache.size(), 3u);
  EXPECT_EQ(source.reads.count(0x8000), 0u);
}

TEST_F(Store, AModelNamingADescriptorOfTheWrongTypeIsNotRegistered) {
  // Gain position naming the low-cut list, which exists and loads.
  TAmplifierDescriptor bad = defaults::amplifiers()[0].second;
  bad.ids[slot_gain] = 0x2000;
  registry.WriteAmplifier(0x0042, bad);
  EXPECT_FALSE(load_amplifier(cache, registry, 0x0042));
  bad = defaults::amplifiers()[0].second;
  bad.ids[slot_notch] = 0x9000;  // two lookup lists of different kinds
  registry.WriteAmplifier(0x0043, bad);
  EXPECT_FALSE(cache.Load(0x0043, registry));
}

TEST_F(Store, TheModelRecordsAreTheCachedOnesInSlotOrder) {
  auto model = load_amplifier(cache, registry, 0x0014);
  ASSERT_TRUE(model);
  EXPECT_EQ(model->id, 0x0014);
  EXPECT_EQ(model->records[slot_high_cut]->id, 0x3001);
  EXPECT_EQ(model->records[slot_high_cut], cache.Find(0x3001));
  EXPECT_EQ(model->records[slot_impedance_resolution]->list.entries.size(), 4u);
}

TEST_F(Store, ALowCutDescriptorWithDivisorZeroDoesNotLoad) {
  auto d = defaults::low_cut(0);
  d.divisor = 0;
  registry.WriteLowCut(0x005, d);
  EXPECT_FALSE(cache.Load(0x2005, registry));
  EXPECT_EQ(cache.IndexOf(0x2005), -1);
}

TEST(SetupSwitch, GivesEveryInputModeIdTheSixEntryListWithoutReading) {
  memory_source source = default_source();
  TCapsRegistry registry(source, true);
  TRangeCache cache;
  ASSERT_TRUE(cache.Load(0x9005, registry));  // not in the store
  EXPECT_EQ(source.reads.count(0x9005), 0u);
  const auto& entries = cache.Find(0x9005)->list.entries;
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[4].name, "Pos SFC");
  EXPECT_EQ(entries[4].code, 70);
  EXPECT_EQ(entries[5].name, "Neg SFC");
  EXPECT_EQ(entries[5].code, 100);
}

TEST(SetupSwitch, DecidesWhichInputModeListTheDefaultsStore) {
  EXPECT_EQ(parse_lookup(default_source(false).values.at(0x9000))->entries.size(), 4u);
  EXPECT_EQ(parse_lookup(default_source(true).values.at(0x9000))->entries.size(), 6u);
}

TEST(Defaults, EverySixModelsLoadFromTheDefaultSet) {
  memory_source source = default_source();
  TCapsRegistry registry(source, false);
  TRangeCache cache;
  for (std::uint16_t id : {0x0000, 0x0001, 0x000A, 0x000B, 0x0014, 0x001E})
    EXPECT_TRUE(load_amplifier(cache, registry, id)) << id;
  EXPECT_FALSE(load_amplifier(cache, registry, 0x0002));
  EXPECT_EQ(source.values.size(), 19u);  // 13 descriptors and 6 models
}

}  // namespace
