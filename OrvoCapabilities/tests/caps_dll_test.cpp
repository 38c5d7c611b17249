// OrvoCapabilities.dll under Wine, called as OrvoImpl calls it: exports by
// name, CreateInterface, GetAmplifier and the capability interfaces. Each
// test loads the library afresh over the default descriptors and restores
// them when done.
#include <algorithm>
#include <cstring>

#include "caps_dll.h"

using namespace caps_test;

extern std::vector<std::string> g_args;

namespace {

// The decimal separator of the user locale, as the platform's VARIANT
// conversions read it.
std::wstring user_decimal() {
  wchar_t text[8] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, 8);
  return text;
}

std::vector<BYTE> bytes_of(std::initializer_list<int> list) { return std::vector<BYTE>(list.begin(), list.end()); }
std::vector<BYTE> amplifier_bytes(std::initializer_list<WORD> ids) {
  std::vector<BYTE> b;
  for (WORD id : ids) {
    b.push_back(static_cast<BYTE>(id));
    b.push_back(static_cast<BYTE>(id >> 8));
  }
  return b;
}
std::vector<BYTE> lookup_bytes(std::size_t size, BYTE count) {
  std::vector<BYTE> b(size, 0);
  b[0] = 'L';
  b[20] = count;
  if (size >= 42) b[21] = 'E', b[41] = 3;
  return b;
}

class Caps : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(dll.module(), nullptr);
    ASSERT_EQ(dll.register_server(), S_OK);
    amp = dll.amplifier(0x0000);
    ASSERT_TRUE(amp);
  }
  void TearDown() override {
    dll.unregister_server();
    dll.register_server();
  }
  template <class Getter>
  ptr<ICapabilities> channel(Getter g) {
    return channel_capability(amp, g);
  }
  template <class Getter>
  ptr<ICapabilities> amplifier(Getter g) {
    return capability(amp, g);
  }

  caps_dll dll;  // declared first: freed after every object below
  ptr<IAmplifierCapabilities> amp;
  BYTE rec[10] = {};
};

// Exports and interfaces ----------------------------------------------------

TEST_F(Caps, ExportsSitAtTheirOrdinals) {
  const char* names[] = {"DllUnregisterServer", "DllRegisterServer", "CheckAmplifierID",
                         "CreateInterface",     "DllUnregister",     "DllRegister"};
  for (int ordinal = 1; ordinal <= 6; ++ordinal) {
    FARPROC by_ordinal = GetProcAddress(dll.module(), MAKEINTRESOURCEA(ordinal));
    ASSERT_NE(by_ordinal, nullptr) << ordinal;
    EXPECT_EQ(by_ordinal, GetProcAddress(dll.module(), names[ordinal - 1])) << names[ordinal - 1];
  }
}

TEST_F(Caps, InterfaceIdsAreTheAgreedOnes) {
  auto text = [](REFIID iid) {
    wchar_t buffer[40];
    StringFromGUID2(iid, buffer, 40);
    return std::wstring(buffer);
  };
  EXPECT_EQ(text(__uuidof(ICapsProvider)), L"{3D4E3F10-FBA8-4AC2-B1E4-8C1E48708606}");
  EXPECT_EQ(text(__uuidof(ICapsEnumerator)), L"{898208CE-4F74-4B9D-9026-DCD6006C5990}");
  EXPECT_EQ(text(__uuidof(ICapabilities)), L"{313C4B91-42AB-4988-BD33-D5B4B31FC5DA}");
  EXPECT_EQ(text(__uuidof(IChannelCapabilities)), L"{1C888246-9BDF-4FE6-8EC6-1AE32753B126}");
  EXPECT_EQ(text(__uuidof(IAmplifierCapabilities)), L"{4AE1223A-0ADC-4DF6-8A0B-6278383FC9DF}");
}

TEST_F(Caps, CreateInterfaceOverwritesTheSlotAndRefusesNone) {
  ICapsProvider* slot = reinterpret_cast<ICapsProvider*>(0x1);  // not released: CreateInterface overwrites
  EXPECT_EQ(dll.create(&slot), 0);
  ASSERT_NE(slot, nullptr);
  ptr<ICapsProvider> p = ptr<ICapsProvider>::attach(slot);
  EXPECT_TRUE(p.as<ICapsProvider>());
  EXPECT_FALSE(p.as<ICapabilities>());
  EXPECT_NE(dll.create(nullptr), 0);
}

TEST_F(Caps, ProvidersShareOneCache) {
  auto a = dll.provider(), b = dll.provider();
  EXPECT_NE(a.get(), b.get());
  EXPECT_EQ(a->Load(0x2001), bool32_true);
  delete_value(L"2001");
  EXPECT_EQ(b->Load(0x2001), bool32_true);
}

// Registration of models ----------------------------------------------------

TEST_F(Caps, TheSixDefaultModelsAreRegistered) {
  for (DWORD id : {0x0000, 0x0001, 0x000A, 0x000B, 0x0014, 0x001E}) EXPECT_EQ(dll.check(id), 0) << id;
  EXPECT_EQ(dll.check(0x0002), 1);
  EXPECT_EQ(dll.amplifier(0x001E)->GetAmplifierID(), 0x001E);
}

TEST_F(Caps, OnlyTheLow16BitsOfAnAmplifierIdCount) {
  EXPECT_EQ(dll.check(0x10000), 0);
  EXPECT_EQ(dll.check(0xFFFF0014), 0);
  EXPECT_EQ(dll.check(0x10002), 1);
}

TEST_F(Caps, AModelNamingAMissingDescriptorIsNotRegistered) {
  set_binary(L"0042", amplifier_bytes({0x9000, 0x1000, 0x2009, 0x3000, 0x8000, 0xA000, 0xB000, 0xC000}));
  EXPECT_EQ(dll.check(0x0042), 1);
  ptr<IUnknown> slot;
  EXPECT_EQ(dll.provider()->GetAmplifier(0x0042, slot.put()), bool32_false);
  EXPECT_FALSE(slot);
}

TEST_F(Caps, AModelNamingADescriptorOfTheWrongTypeIsNotRegistered) {
  // The gain position names the 50 Hz notch list, which exists.
  set_binary(L"0043", amplifier_bytes({0x9000, 0x8000, 0x2000, 0x3000, 0x8000, 0xA000, 0xB000, 0xC000}));
  EXPECT_EQ(dll.check(0x0043), 1);
  EXPECT_EQ(dll.provider()->Load(0x0043), bool32_false);
}

TEST_F(Caps, GetAmplifierReleasesWhatTheSlotHeld) {
  ptr<IUnknown> held = amp.as<IUnknown>();
  IUnknown* slot = held.get();
  slot->AddRef();
  EXPECT_EQ(dll.provider()->GetAmplifier(0x0002, &slot), bool32_false);
  EXPECT_EQ(slot, nullptr);
  // Our references: `amp`, `held` and the one being counted.
  EXPECT_EQ(held->AddRef(), 3u);
  held->Release();
}

// The store -----------------------------------------------------------------

TEST_F(Caps, UnusedTypeNibblesNeverLoad) {
  set_binary(L"4000", std::vector<BYTE>(104));
  set_binary(L"F000", lookup_bytes(42, 1));
  auto p = dll.provider();
  EXPECT_EQ(p->Load(0x4000), bool32_false);
  EXPECT_EQ(p->Load(0xF000), bool32_false);
}

TEST_F(Caps, ValuesOfTheWrongSizeOrTypeAreRejected) {
  auto p = dll.provider();
  set_binary(L"8010", lookup_bytes(21, 0));
  set_binary(L"8011", lookup_bytes(42, 1));
  set_binary(L"8012", lookup_bytes(42, 2));
  set_binary(L"1010", std::vector<BYTE>(105));
  set_binary(L"1011", std::vector<BYTE>(104));
  set_dword(L"8013", 0);
  EXPECT_EQ(p->Load(0x8010), bool32_false);
  EXPECT_EQ(p->Load(0x8011), bool32_true);
  EXPECT_EQ(p->Load(0x8012), bool32_false);
  EXPECT_EQ(p->Load(0x1010), bool32_false);
  EXPECT_EQ(p->Load(0x1011), bool32_true);
  EXPECT_EQ(p->Load(0x8013), bool32_false);
  EXPECT_EQ(p->Load(0x8014), bool32_false);
}

TEST_F(Caps, ASecondModelTakesWhatItSharesFromTheCache) {
  // 0x0000 is loaded; 0x0001 differs only in its notch list.
  for (const wchar_t* name : {L"9000", L"1000", L"2000", L"2002", L"3000", L"8000", L"A000", L"B000", L"C000"})
    delete_value(name);
  EXPECT_EQ(dll.check(0x0001), 0);
  EXPECT_EQ(dll.check(0x000A), 1);  // its low-cut 0x2002 was never loaded and is gone
  // The amplifier descriptor itself is read on every build.
  delete_value(L"0001");
  EXPECT_EQ(dll.check(0x0001), 1);
}

TEST_F(Caps, LoadedAmplifiersOutliveTheDescriptorsKey) {
  dll.unreg();
  EXPECT_FALSE(key_exists(descriptors_key));
  auto gain = channel(&IChannelCapabilities::GetGain);
  gain->WriteValue(200, rec);
  EXPECT_EQ(gain->ReadValue(rec), 200);
  EXPECT_EQ(dll.check(0x0000), 1);
  EXPECT_EQ(dll.check(0x0014), 1);
  EXPECT_FALSE(dll.amplifier(0x0014));
}

TEST(CapsSetup, TheSetupKeyGivesSixInputModesAndRegistrationClearsIt) {
  create_key(setup_key);
  {
    caps_dll dll;
    ASSERT_NE(dll.module(), nullptr);
    dll.reg();
    auto p = dll.provider();
    EXPECT_EQ(p->Load(0x9005), bool32_true);  // not in the registry
    auto mode = channel_capability(dll.amplifier(0x0000), &IChannelCapabilities::GetInputMode);
    ptr<ICapsEnumerator> e;
    mode->GetEnumerator(e.put());
    EXPECT_EQ(e->GetCount(), 6);
    EXPECT_EQ(name_at(e.get(), 5), "text:Neg SFC");
    EXPECT_EQ(to_value(mode.get(), text_arg(L"pos sfc")), 70);
    EXPECT_EQ(descriptor_size(L"9000"), 21u + 6 * 21);
    EXPECT_EQ(dll.register_server(), S_OK);
    EXPECT_EQ(descriptor_size(L"9000"), 21u + 4 * 21);
    EXPECT_EQ(p->Load(0x9006), bool32_false);  // the switch is off now
  }
  delete_key_tree(setup_key);
}

// Gain, low-cut, high-cut ---------------------------------------------------

TEST_F(Caps, GainWritesStageBytesAndReadsThemBack) {
  auto gain = channel(&IChannelCapabilities::GetGain);
  EXPECT_EQ(name_of(gain.get()), "text:Gain");
  EXPECT_EQ(gain->GetRangeID(), 0x1000);
  gain->WriteValue(200, rec);
  EXPECT_EQ(std::vector<BYTE>(rec, rec + 3), bytes_of({0x01, 0x81, 0x04}));
  EXPECT_EQ(gain->ReadValue(rec), 200);
  gain->WriteValue(1234, rec);
  EXPECT_EQ(std::vector<BYTE>(rec, rec + 3), bytes_of({0x04, 0x81, 0x10}));
  EXPECT_EQ(gain->ReadValue(rec), 1200);
  BYTE before[10];
  std::memcpy(before, rec, 10);
  EXPECT_EQ(gain->NearestValue(1234), 1234);
  EXPECT_EQ(std::memcmp(before, rec, 10), 0);
  rec[0] = 0;
  EXPECT_EQ(gain->ReadValue(rec), static_cast<LONG>(0x80004005));
}

TEST_F(Caps, GainSwitchCodesCloseOneStage) {
  auto gain = channel(&IChannelCapabilities::GetGain);
  gain->WriteValue(1, rec);
  EXPECT_EQ(std::vector<BYTE>(rec, rec + 3), bytes_of({0x01, 0x81, 0x01}));
  gain->WriteValue(2, rec);
  EXPECT_EQ(std::vector<BYTE>(rec, rec + 3), bytes_of({0x01, 0x01, 0x01}));
  gain->WriteValue(7, rec);
  EXPECT_EQ(std::vector<BYTE>(rec, rec + 3), bytes_of({0x01, 0x02, 0x01}));
}

TEST_F(Caps, GainTextsAndList) {
  auto gain = channel(&IChannelCapabilities::GetGain);
  EXPECT_EQ(from_value(gain.get(), 1200), "text:1200");
  EXPECT_EQ(to_value(gain.get(), text_arg(L"1200")), 1200);
  EXPECT_EQ(to_value(gain.get(), int_arg(77)), 77);  // unchecked against the list
  EXPECT_EQ(to_value(gain.get(), text_arg(L"12.5")), 0);
  EXPECT_EQ(to_value(gain.get(), real_arg(1200.0)), 0);
  ptr<ICapsEnumerator> e;
  gain->GetEnumerator(e.put());
  EXPECT_EQ(e->GetCount(), 91);
  EXPECT_EQ(e->GetValue(0), 100);
  EXPECT_EQ(name_at(e.get(), 90), "text:3000000");
  EXPECT_EQ(e->GetValue(91), -1);
  EXPECT_EQ(name_at(e.get(), -1), "int:-1");
}

TEST_F(Caps, LowCutRegistersAndTexts) {
  auto low = channel(&IChannelCapabilities::GetLowCut);
  EXPECT_EQ(name_of(low.get()), "text:LowCut (Hz)");
  EXPECT_EQ(low->GetRangeID(), 0x2000);
  EXPECT_EQ(low->NearestValue(5600), 5000);
  rec[3] = 0xFF;
  low->WriteValue(5000, rec);
  EXPECT_EQ(rec[5], 4);
  EXPECT_EQ(rec[3], 0x87);
  low->WriteValue(5000000, rec);
  EXPECT_EQ(rec[5], 201);
  EXPECT_EQ(rec[3] & 0x78, 0x28);
  rec[3] = 0x78;
  EXPECT_EQ(low->ReadValue(rec), 0);
  EXPECT_EQ(from_value(low.get(), 5000), "text:0.05");
  EXPECT_EQ(to_value(low.get(), text_arg(L"0.05")), 5000);
  EXPECT_EQ(to_value(low.get(), real_arg(0.05)), 5000);
  ptr<ICapsEnumerator> e;
  low->GetEnumerator(e.put());
  EXPECT_EQ(e->GetCount(), 684);
  EXPECT_EQ(name_at(e.get(), 683), "text:254");
}

TEST_F(Caps, HighCutRegistersAndTexts) {
  auto high = channel(&IChannelCapabilities::GetHighCut);
  EXPECT_EQ(name_of(high.get()), "text:HighCut (Hz)");
  rec[3] = 0x82;
  high->WriteValue(20000, rec);
  EXPECT_EQ(rec[4], 4);
  EXPECT_EQ(rec[3], 0x00);
  high->WriteValue(25300000, rec);
  EXPECT_EQ(rec[4], 255);
  EXPECT_EQ(rec[3], 0x82);
  EXPECT_EQ(from_value(high.get(), 1050), "text:1.05");
  EXPECT_EQ(to_value(high.get(), text_arg(L"1.05")), 1050);
  EXPECT_EQ(to_value(high.get(), real_arg(20.0)), 20000);
  EXPECT_EQ(to_value(high.get(), text_arg(L"fast")), 0);
  ptr<ICapsEnumerator> e;
  high->GetEnumerator(e.put());
  EXPECT_EQ(e->GetCount(), 491);
}

TEST_F(Caps, EveryHighCutTextReadsBackAsItsCode) {
  for (WORD model : {0x0000, 0x0014, 0x001E}) {
    auto high = channel_capability(dll.amplifier(model), &IChannelCapabilities::GetHighCut);
    ptr<ICapsEnumerator> e;
    high->GetEnumerator(e.put());
    ASSERT_EQ(e->GetCount(), 491);
    for (LONG i = 0; i < e->GetCount(); ++i) {
      const LONG code = e->GetValue(i);
      variant text;
      high->FromValue(code, text.put());
      ASSERT_EQ(high->ToValue(text.v), code) << shown(text.v);
    }
  }
}

TEST_F(Caps, HighCutReadsOtherTextsInTheUserLocale) {
  auto high = channel(&IChannelCapabilities::GetHighCut);
  EXPECT_EQ(to_value(high.get(), text_arg((L" 2" + user_decimal() + L"5 ").c_str())), 2500);
  EXPECT_EQ(to_value(high.get(), text_arg(L"-0.25")), -250);
  EXPECT_EQ(to_value(high.get(), text_arg(L"1e1")), 10000);
}

TEST(CapsLocale, TheRunSeesTheUserLocaleItWasStartedWith) {
  const auto arg =
      std::find_if(g_args.begin(), g_args.end(), [](const std::string& a) { return a.rfind("decimal=", 0) == 0; });
  if (arg == g_args.end()) GTEST_SKIP() << "started without a user locale to check";
  const std::string expected = arg->substr(8);
  EXPECT_EQ(user_decimal(), std::wstring(expected.begin(), expected.end()));
  // The platform's conversion reads the locale's own decimal texts.
  VARIANT text = text_arg((L"1" + user_decimal() + L"5").c_str()), number;
  VariantInit(&number);
  ASSERT_EQ(VariantChangeTypeEx(&number, &text, LOCALE_USER_DEFAULT, 0, VT_R8), S_OK);
  EXPECT_EQ(V_R8(&number), 1.5);
  VariantClear(&text);
}

TEST_F(Caps, ModelsDifferInTheirFilterLists) {
  auto low = channel_capability(dll.amplifier(0x000A), &IChannelCapabilities::GetLowCut);
  ptr<ICapsEnumerator> e;
  low->GetEnumerator(e.put());
  EXPECT_EQ(e->GetCount(), 728);
  auto high = channel_capability(dll.amplifier(0x0014), &IChannelCapabilities::GetHighCut);
  EXPECT_EQ(high->GetRangeID(), 0x3001);
  EXPECT_EQ(high->NearestValue(0), 200);
}

// Lookup lists --------------------------------------------------------------

TEST_F(Caps, InputModeTextsAreTrimmedAndCaseBlind) {
  auto mode = channel(&IChannelCapabilities::GetInputMode);
  EXPECT_EQ(name_of(mode.get()), "text:Input Mode");
  EXPECT_EQ(mode->GetRangeID(), 0x9000);
  EXPECT_EQ(to_value(mode.get(), text_arg(L" pos ref ")), 35);
  EXPECT_EQ(to_value(mode.get(), text_arg(L"Pos  Ref")), -1);
  EXPECT_EQ(to_value(mode.get(), text_arg(L"Pos R\x00E9f")), -1);
  EXPECT_EQ(from_value(mode.get(), 35), "text:Pos Ref");
  EXPECT_EQ(from_value(mode.get(), 7), "int:-1");
  EXPECT_EQ(mode->NearestValue(7), 7);
  mode->WriteValue(35, rec);
  EXPECT_EQ(rec[6], 35);
  EXPECT_EQ(mode->ReadValue(rec), 35);
}

TEST_F(Caps, NotchUsesBits0And2OfByte3) {
  auto notch = channel(&IChannelCapabilities::GetNotch);
  EXPECT_EQ(name_of(notch.get()), "text:50Hz Notch");
  rec[3] = 0xFA;
  notch->WriteValue(5, rec);
  EXPECT_EQ(rec[3], 0xFF);
  notch->WriteValue(0, rec);
  EXPECT_EQ(rec[3], 0xFA);
  rec[3] = 0x01;
  EXPECT_EQ(notch->ReadValue(rec), 1);
  EXPECT_EQ(from_value(notch.get(), 1), "int:-1");
  // A code that is not a notch code (ToValue's -1) leaves the filter select
  // bits of byte 3 alone.
  rec[3] = 0x28;
  notch->WriteValue(to_value(notch.get(), text_arg(L"half")), rec);
  EXPECT_EQ(rec[3], 0x2D);
  EXPECT_EQ(name_of(channel_capability(dll.amplifier(0x0001), &IChannelCapabilities::GetNotch).get()),
            "text:60Hz Notch");
}

TEST_F(Caps, InputConnectionsDeblockTypeAndImpedanceResolutionUseTheirBytes) {
  auto connections = channel(&IChannelCapabilities::GetInputConnections);
  connections->WriteValue(to_value(connections.get(), text_arg(L"both")), rec);
  EXPECT_EQ(rec[8], 3);
  auto type = amplifier(&IAmplifierCapabilities::GetDeblockType);
  type->WriteValue(to_value(type.get(), text_arg(L"Timed")), rec);
  EXPECT_EQ(rec[7], 1);
  auto resolution = amplifier(&IAmplifierCapabilities::GetImpedanceResolution);
  EXPECT_EQ(name_of(resolution.get()), "text:Impedance Resolution");
  resolution->WriteValue(to_value(resolution.get(), text_arg(L"1600")), rec);
  EXPECT_EQ(rec[4], 8);
  EXPECT_EQ(resolution->ReadValue(rec), 8);
  EXPECT_EQ(type->ReadValue(rec), 1);
}

TEST_F(Caps, BuiltInListsEncodeNothing) {
  struct expect {
    void (__stdcall IAmplifierCapabilities::*getter)(ICapabilities**);
    const char *caption, *first, *second;
  };
  for (auto e : {expect{&IAmplifierCapabilities::GetDeblockState, "text:Deblock State", "text:Reset", "text:Set"},
                 expect{&IAmplifierCapabilities::GetImpedanceState, "text:Impedance State", "text:Off", "text:On"},
                 expect{&IAmplifierCapabilities::GetHighlight, "text:Highlight", "text:Off", "text:On"}}) {
    auto c = amplifier(e.getter);
    EXPECT_EQ(name_of(c.get()), e.caption);
    std::memset(rec, 0x5A, sizeof rec);
    c->WriteValue(1, rec);
    EXPECT_EQ(std::count(rec, rec + 10, 0x5A), 10);
    EXPECT_EQ(c->ReadValue(rec), 0);
    ptr<ICapsEnumerator> en;
    c->GetEnumerator(en.put());
    ASSERT_EQ(en->GetCount(), 2);
    EXPECT_EQ(name_at(en.get(), 0), e.first);
    EXPECT_EQ(en->GetValue(0), 0);
    EXPECT_EQ(name_at(en.get(), 1), e.second);
    EXPECT_EQ(en->GetValue(1), 1);
  }
}

TEST_F(Caps, ABuiltInListOutlivesItsAmplifierObject) {
  auto state = amplifier(&IAmplifierCapabilities::GetDeblockState);
  amp.reset();
  ptr<ICapsEnumerator> e;
  state->GetEnumerator(e.put());
  EXPECT_EQ(name_at(e.get(), 1), "text:Set");
  EXPECT_EQ(from_value(state.get(), 0), "text:Reset");
}

// Ranges --------------------------------------------------------------------

TEST_F(Caps, SerialNumberIsClampedToAByte) {
  auto serial = amplifier(&IAmplifierCapabilities::GetSerialNo);
  EXPECT_EQ(name_of(serial.get()), "text:Serial No");
  EXPECT_EQ(serial->GetRangeID(), 2);
  EXPECT_EQ(to_value(serial.get(), text_arg(L"300")), 255);
  EXPECT_EQ(to_value(serial.get(), text_arg(L"abc")), 0);
  EXPECT_EQ(serial->NearestValue(-5), 0);
  EXPECT_EQ(from_value(serial.get(), 300), "int:300");
  serial->WriteValue(7, rec);
  EXPECT_EQ(rec[8], 7);
  EXPECT_EQ(serial->ReadValue(rec), 7);
}

TEST_F(Caps, ThresholdsKeepHalfTheValue) {
  auto lower = amplifier(&IAmplifierCapabilities::GetLowerThreshold);
  auto upper = amplifier(&IAmplifierCapabilities::GetUpperThreshold);
  EXPECT_EQ(name_of(lower.get()), "text:Lower Threshold");
  EXPECT_EQ(name_of(upper.get()), "text:Upper Threshold");
  lower->WriteValue(1001, rec);
  EXPECT_EQ(rec[0] | rec[1] << 8, 500);
  EXPECT_EQ(lower->ReadValue(rec), 1000);
  upper->WriteValue(20000, rec);
  EXPECT_EQ(rec[2] | rec[3] << 8, 10000);
  EXPECT_EQ(upper->ReadValue(rec), 20000);
  EXPECT_EQ(to_value(upper.get(), real_arg(1e9)), 65535);
}

TEST_F(Caps, DeblockDurationAndGroup) {
  auto duration = amplifier(&IAmplifierCapabilities::GetDeblockDuration);
  EXPECT_EQ(name_of(duration.get()), "text:Deblock Duration (ms)");
  EXPECT_EQ(to_value(duration.get(), int_arg(40000)), 32767);
  EXPECT_EQ(to_value(duration.get(), text_arg((L"2" + user_decimal() + L"5").c_str())), 2);
  EXPECT_EQ(to_value(duration.get(), real_arg(3.5)), 4);
  EXPECT_EQ(to_value(duration.get(), real_arg(-3)), 0);
  // Beyond 32 bits the value does not convert at all.
  EXPECT_EQ(to_value(duration.get(), text_arg(L"3000000000")), 0);
  duration->WriteValue(1000, rec);
  EXPECT_EQ(rec[5] | rec[6] << 8, 1000);
  EXPECT_EQ(duration->ReadValue(rec), 1000);
  auto group = channel(&IChannelCapabilities::GetGroup);
  EXPECT_EQ(name_of(group.get()), "text:Group");
  EXPECT_EQ(group->GetRangeID(), 17);
  group->WriteValue(3, rec);
  EXPECT_EQ(rec[7], 3);
  EXPECT_EQ(group->ReadValue(rec), 3);
  EXPECT_EQ(to_value(group.get(), text_arg(L"256")), 255);
}

// Identity ------------------------------------------------------------------

TEST_F(Caps, OneChannelObjectServesEveryChannel) {
  ptr<IChannelCapabilities> c0, c7;
  amp->GetChannel(0, c0.put());
  amp->GetChannel(7, c7.put());
  ASSERT_TRUE(c0);
  EXPECT_EQ(c0.get(), c7.get());
  ptr<ICapabilities> g1, g2;
  c0->GetGain(g1.put());
  c7->GetGain(g2.put());
  EXPECT_EQ(g1.get(), g2.get());
  EXPECT_EQ(amplifier(&IAmplifierCapabilities::GetSerialNo).get(),
            amplifier(&IAmplifierCapabilities::GetSerialNo).get());
}

TEST_F(Caps, EnumeratorsAreKeptByListsAndFreshForRanges) {
  auto gain = channel(&IChannelCapabilities::GetGain);
  ptr<ICapsEnumerator> a, b;
  gain->GetEnumerator(a.put());
  gain->GetEnumerator(b.put());
  EXPECT_EQ(a.get(), b.get());
  auto group = channel(&IChannelCapabilities::GetGroup);
  group->GetEnumerator(a.put());
  group->GetEnumerator(b.put());
  ASSERT_TRUE(a && b);
  EXPECT_NE(a.get(), b.get());
  EXPECT_EQ(a->GetCount(), 0);
  EXPECT_EQ(a->GetValue(0), -1);
  EXPECT_EQ(name_at(a.get(), 0), "text:");
}

TEST_F(Caps, AResultSlotIsClearedBeforeItIsFilled) {
  auto gain = channel(&IChannelCapabilities::GetGain);
  variant slot;
  V_VT(slot.put()) = VT_BSTR;
  V_BSTR(&slot.v) = SysAllocString(L"held by the caller");
  gain->FromValue(200, &slot.v);  // the old text is freed, not leaked or kept
  EXPECT_EQ(shown(slot.v), "text:200");
  gain->GetName(nullptr);  // a missing slot is ignored
  gain->WriteValue(200, nullptr);
  EXPECT_EQ(gain->ReadValue(nullptr), 0);
}

}  // namespace
