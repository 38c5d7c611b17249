// Facts about OrvoImpl.dll as a client sees it: the class created through
// its registration, the tree's names and IDs, property values as text,
// the group link, electrodes, the test box, errors with their sources,
// persistence in streams and the state travelling by value into another
// apartment and another process. The rules below the shell (state string,
// records, texts) are tested in the core's own tests.
#include <objbase.h>
#include <oleauto.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "ECOMException.h"
#include "TICollection.h"
#include "TIProperty_SimpleString.h"
#include "com/error.h"
#include "core/object_id.h"
#include "registry/registry_key.h"
#include "state_fixture.h"
#include "testing/com_test.h"

namespace orvo::impl::testing {
namespace {

using com::ptr;

// The user locale's decimal separator the run was started for (empty: any).
std::wstring g_decimal;

// This program, run again as the second process.
std::wstring Self() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// Amplifier 1 (index 1) carries serial number 7.
TAmplifierMemoryCollection TwoAmplifiers() {
  auto images = ZeroImages(2);
  images.Item(1).Data()[TMemory::SerialNumberOffset] = 7;
  return images;
}

std::uint8_t& ChannelByte(TAmplifierMemoryCollection& images, std::size_t amplifier, std::size_t channel,
                          std::size_t byte) {
  return images.Item(amplifier).Data()[channel * TMemory::ChannelRecordSize + byte];
}

ptr<IProperty> PropertyNamed(IDispatch* collection, const wchar_t* name) {
  ptr<ICollection> items = ptr<IDispatch>(collection).as<ICollection>();
  VARIANT key;
  V_VT(&key) = VT_BSTR;
  V_BSTR(&key) = SysAllocString(name);
  ptr<IDispatch> item;
  if (items) items->get_Item(key, item.put());
  VariantClear(&key);
  return item.as<IProperty>();
}

ptr<IProperty> ChannelProperty(IAmplifierState* state, int amplifier, int channel, const wchar_t* name) {
  ptr<IDispatch> node;
  state->getObjectByID(PackObjectID(KindChannel, 0, amplifier, channel), node.put());
  return PropertyNamed(node.get(), name);
}

class AmplifierStateTest : public ::testing::Test {
 protected:
  ptr<IAmplifierState2> state = MakeState(TwoAmplifiers());
};

// --- the class and its registration -----------------------------------

TEST(AmplifierStateClass, IsRegisteredForBothThreadingModelsWithItsTypeLibraryAndNoProgId) {
  const std::wstring clsid = L"CLSID\\{402CE9D8-B7A6-4B58-9F71-568E38F9EE4C}";
  const auto server = registry::key::open(HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32");
  ASSERT_TRUE(server);
  EXPECT_EQ(server.read_string(L"ThreadingModel").value_or(L""), L"Both");
  EXPECT_FALSE(registry::key::exists(HKEY_CLASSES_ROOT, clsid + L"\\ProgID"));
  ptr<ITypeLib> library;
  ASSERT_EQ(LoadRegTypeLib(LIBID_OrvoImpl, 1, 0, 0, library.put()), S_OK);
  BSTR help = nullptr;
  library->GetDocumentation(-1, nullptr, &help, nullptr, nullptr);
  EXPECT_STREQ(help, L"Orvo Implementation");
  SysFreeString(help);
}

TEST(AmplifierStateClass, ScriptsReachEveryInterfaceByNameAndNodesAnswerTheirBases) {
  ptr<IAmplifierState2> state = MakeState(TwoAmplifiers());
  ptr<IDispatch> dispatch = state.as<IDispatch>();
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"CreateFromString"), const_cast<LPOLESTR>(L"StateString")};
  DISPID ids[2] = {};
  ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 2, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 8);

  ptr<IChannel> channel = Node<IChannel>(state.get(), PackObjectID(KindChannel, 0, 0, 0));
  ASSERT_TRUE(channel);
  EXPECT_TRUE(channel.as<ICollection>());
  EXPECT_TRUE(channel.as<IIdentifier>());
  ptr<ISupportErrorInfo> support = channel.as<ISupportErrorInfo>();
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ICollection), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IChannel), S_OK);
}

// --- the tree -------------------------------------------------------------

TEST_F(AmplifierStateTest, ObjectsAreFoundByTheirIds) {
  ptr<IDispatch> itself;
  ASSERT_EQ(state->getObjectByID(0, itself.put()), S_OK);
  EXPECT_EQ(itself.as<IUnknown>().get(), state.as<IUnknown>().get());

  ptr<IIdentifier> channel = Node<IIdentifier>(state.get(), 0x03010002);
  EXPECT_EQ(NameOf(channel.get()), L"Channel 4");
  ptr<IIdentifier> electrode = Node<IIdentifier>(state.get(), PackObjectID(KindElectrode, 1, 1, 5));
  EXPECT_EQ(NameOf(electrode.get()), L"Ch14 P");
  ptr<IDispatch> parent;
  ASSERT_EQ(electrode->get_Parent(parent.put()), S_OK);
  EXPECT_EQ(NameOf(parent.as<IIdentifier>().get()), L"Channel 6");

  ptr<IDispatch> none;
  EXPECT_EQ(state->getObjectByID(0x7F7F7F7F, none.put()), E_FAIL);
  EXPECT_FALSE(none);
  EXPECT_EQ(ErrorInfo(), L"Orvo Amplifier object does not exist.|OrvoImpl [getObjectByID]");
}

TEST_F(AmplifierStateTest, NodesAreNamedByPositionAndSerialNumber) {
  EXPECT_EQ(NameOf(state.get()), L"All Amplifiers");
  EXPECT_EQ(NameOf(Node<IIdentifier>(state.get(), PackObjectID(KindAmplifier, 0, 1, 0)).get()),
            L"Amplifier 2 ( SN: 7 )");
  ptr<IChannel> channel = Node<IChannel>(state.get(), PackObjectID(KindChannel, 0, 1, 5));
  EXPECT_EQ(NameOf(channel.get()), L"Channel 6");
  EXPECT_EQ(ValueOf(PropertyNamed(channel.get(), L"Channel Name").get()), L"Channel 14");
  ptr<IElectrode> positive, negative;
  channel->get_PositiveElectrode(positive.put());
  channel->get_NegativeElectrode(negative.put());
  EXPECT_EQ(NameOf(positive.get()), L"Ch14 P");
  EXPECT_EQ(NameOf(negative.get()), L"Ch14 N");
}

TEST_F(AmplifierStateTest, ItemFindsNamesTrimmedAndCaseBlindAndAMissGivesSFalseWithoutObject) {
  ptr<IDispatch> channel = Node<IDispatch>(state.get(), PackObjectID(KindChannel, 0, 0, 0));
  EXPECT_EQ(NameOf(PropertyNamed(channel.get(), L" gain ").get()), L"Gain");

  ptr<ICollection> items = channel.as<ICollection>();
  LONG count = 0;
  items->get_Count(&count);
  EXPECT_EQ(count, 8);
  VARIANT index;
  V_VT(&index) = VT_I4;
  V_I4(&index) = 8;
  ptr<IDispatch> none;
  EXPECT_EQ(items->get_Item(index, none.put()), S_FALSE);
  EXPECT_FALSE(none);
  EXPECT_EQ(ErrorInfo(), L"Can not get object -> index not correct|OrvoImpl [Get_Item]");
  EXPECT_EQ(items->get_Item(index, nullptr), E_POINTER);
}

TEST_F(AmplifierStateTest, ElectrodesAreChildrenOfTheirChannelButNotItems) {
  ptr<IDispatch> channel = Node<IDispatch>(state.get(), PackObjectID(KindChannel, 0, 0, 0));
  EXPECT_FALSE(PropertyNamed(channel.get(), L"Ch1 P"));
  ptr<IUnknown> enumerator;
  ASSERT_EQ(channel.as<ICollection>()->get__NewEnum(enumerator.put()), S_OK);
  VARIANT items[10];
  ULONG fetched = 0;
  EXPECT_EQ(enumerator.as<IEnumVARIANT>()->Next(10, items, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 8u);
  for (ULONG i = 0; i < fetched; ++i) VariantClear(&items[i]);
}

// A collection whose items change after enumerators were taken.
class TChangingCollection : public TICollection<TChangingCollection, com::dispatch<ICollection, IIdentifier>> {
 public:
  TChangingCollection() : TICollection(nullptr, 0, L"Changing") {}
  void Add(const wchar_t* name) {
    AddChild<TIProperty_SimpleString>(true, static_cast<ObjectID>(ItemCount() + 1), name, L"");
  }
  void Clear() { ReleaseChildren(); }
};

// The names an enumerator yields from where it stands.
std::wstring NamesLeft(IEnumVARIANT* items) {
  std::wstring names;
  VARIANT item;
  ULONG fetched = 0;
  while (items->Next(1, &item, &fetched) == S_OK) {
    BSTR name = nullptr;
    ptr<IDispatch>(V_DISPATCH(&item)).as<IIdentifier>()->get_Name(&name);
    names += std::wstring(name) + L";";
    SysFreeString(name);
    VariantClear(&item);
  }
  return names;
}

ptr<IEnumVARIANT> NewEnum(ICollection* collection) {
  ptr<IUnknown> unknown;
  EXPECT_EQ(collection->get__NewEnum(unknown.put()), S_OK);
  return unknown.as<IEnumVARIANT>();
}

TEST(CollectionEnumerators, SeeTheItemsOfWhenTheyWereTakenAndANewOneSeesTheChangedItems) {
  ptr<ICollection> collection;
  ASSERT_EQ(TChangingCollection::create(nullptr, IID_ICollection, collection.put_void()), S_OK);
  auto* changing = static_cast<TChangingCollection*>(collection.get());
  changing->Add(L"A");
  ptr<IEnumVARIANT> first = NewEnum(collection.get());
  EXPECT_EQ(NamesLeft(NewEnum(collection.get()).get()), L"A;");
  changing->Add(L"B");
  EXPECT_EQ(NamesLeft(NewEnum(collection.get()).get()), L"A;B;");
  changing->Clear();
  EXPECT_EQ(NamesLeft(NewEnum(collection.get()).get()), L"");
  // The first enumerator still holds the item that was let go.
  EXPECT_EQ(NamesLeft(first.get()), L"A;");
}

TEST(CollectionEnumerators, OneStillHeldWalksOnItsOwnAndOneTakenAfterAllWereLetGoStartsAtTheFirstItem) {
  ptr<ICollection> collection;
  ASSERT_EQ(TChangingCollection::create(nullptr, IID_ICollection, collection.put_void()), S_OK);
  auto* changing = static_cast<TChangingCollection*>(collection.get());
  changing->Add(L"A");
  changing->Add(L"B");
  {
    ptr<IEnumVARIANT> first = NewEnum(collection.get());
    VARIANT item;
    ASSERT_EQ(first->Next(1, &item, nullptr), S_OK);
    VariantClear(&item);
    ptr<IEnumVARIANT> second = NewEnum(collection.get());
    EXPECT_EQ(NamesLeft(second.get()), L"A;B;");
    EXPECT_EQ(NamesLeft(first.get()), L"B;");
  }
  EXPECT_EQ(NamesLeft(NewEnum(collection.get()).get()), L"A;B;");
  EXPECT_EQ(NamesLeft(NewEnum(collection.get()).get()), L"A;B;");
}

TEST_F(AmplifierStateTest, AModelTheProviderDoesNotKnowHasNoChannelsButKeepsItsImage) {
  auto images = ZeroImages(3);  // the third amplifier's ID, 2, is not registered
  images.Item(2).Data()[5] = 0x5A;
  images.Item(2).SetHighlight(1);
  ptr<IAmplifierState2> three = MakeState(images);
  ptr<IAmplifier> unknown = Node<IAmplifier>(three.get(), PackObjectID(KindAmplifier, 0, 2, 0));
  ASSERT_TRUE(unknown);
  ptr<ICollection> none;
  EXPECT_EQ(unknown->get_Channels(none.put()), E_FAIL);
  EXPECT_EQ(ErrorInfo(), L"Amplifier not registered|OrvoImpl [Channels]");
  EXPECT_EQ(unknown->get_Functions(none.put()), E_FAIL);
  const auto written = ImagesOf(AsString(three.get()));
  EXPECT_EQ(written.Item(2).Data()[5], 0x5A);
  EXPECT_EQ(written.Item(2).Highlight(), 1);
}

// --- properties -------------------------------------------------------------

TEST_F(AmplifierStateTest, ANotchTakesInAndRefusesATextItDoesNotList) {
  ptr<IProperty> notch = ChannelProperty(state.get(), 0, 0, L"50Hz Notch");
  ASSERT_EQ(PutValue(notch.get(), L"In"), S_OK);
  auto written = ImagesOf(AsString(state.get()));
  EXPECT_EQ(ChannelByte(written, 0, 0, 3) & 5, 5);
  EXPECT_EQ(PutValue(notch.get(), L"Maybe"), E_FAIL);
  EXPECT_EQ(ErrorInfo(), L"Invalid property value|OrvoImpl [Set_Value]");
  EXPECT_EQ(ValueOf(notch.get()), L"In");
}

TEST_F(AmplifierStateTest, ReadOnlyPropertiesRefuseEveryValueWithTheirOwnText) {
  ptr<IProperty> deblock = ChannelProperty(state.get(), 0, 0, L"Deblock State");
  VARIANT empty;
  VariantInit(&empty);
  EXPECT_EQ(deblock->put_Value(empty), E_FAIL);
  EXPECT_EQ(ErrorInfo(), L"Property readonly|OrvoImpl [Set_Value]");

  ptr<IProperty> name = ChannelProperty(state.get(), 0, 0, L"Channel Name");
  EXPECT_EQ(PutValue(name.get(), L"Mine"), E_FAIL);
  EXPECT_EQ(ErrorInfo(), L"Property is read only|OrvoImpl [Set_Value]");
  VARIANT item;
  EXPECT_EQ(name->get_Item(0, &item), E_FAIL);
  EXPECT_EQ(ErrorInfo(), L"Index out of bounds|OrvoImpl [Get_Item]");
}

TEST_F(AmplifierStateTest, AnEmptyValueChangesNothingAndAValueThatIsNoTextFails) {
  ptr<IProperty> gain = ChannelProperty(state.get(), 0, 0, L"Gain");
  ASSERT_EQ(PutValue(gain.get(), L"1200"), S_OK);
  VARIANT value;
  VariantInit(&value);
  EXPECT_EQ(gain->put_Value(value), S_OK);
  EXPECT_EQ(ValueOf(gain.get()), L"1200");
  V_VT(&value) = VT_UNKNOWN;
  V_UNKNOWN(&value) = state.get();
  EXPECT_EQ(gain->put_Value(value), E_FAIL);
  EXPECT_EQ(ErrorInfo(), L"Invalid property value|OrvoImpl [Set_Value]");
  EXPECT_EQ(ValueOf(gain.get()), L"1200");
}

TEST_F(AmplifierStateTest, ANumberGivenAsValueIsReadWithThePointWhateverTheLocale) {
  wchar_t decimal[8] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
  if (!g_decimal.empty()) {
    EXPECT_EQ(decimal, g_decimal);
  }
  ptr<IProperty> low_cut = ChannelProperty(state.get(), 0, 0, L"LowCut (Hz)");
  VARIANT value;
  V_VT(&value) = VT_R8;
  V_R8(&value) = 0.1;
  ASSERT_EQ(low_cut->put_Value(value), S_OK);
  EXPECT_EQ(ValueOf(low_cut.get()), L"0.1");
}

TEST_F(AmplifierStateTest, AGainThatIsNoIntegerStoresZero) {
  ptr<IProperty> gain = ChannelProperty(state.get(), 0, 0, L"Gain");
  ASSERT_EQ(PutValue(gain.get(), L"1.5"), S_OK);
  EXPECT_EQ(ValueOf(gain.get()), L"0");
}

TEST_F(AmplifierStateTest, ALegalValueIndexOutsideTheListFails) {
  ptr<IProperty> gain = ChannelProperty(state.get(), 0, 0, L"Gain");
  LONG count = 0;
  gain->get_Count(&count);
  VARIANT text;
  EXPECT_EQ(gain->get_Item(count, &text), E_FAIL);
  EXPECT_EQ(ErrorInfo(), L"Property Capabilitiy index out of bounds|OrvoImpl [Get_Item]");
  EXPECT_EQ(gain->get_Item(-1, &text), E_FAIL);
  EXPECT_EQ(gain->get_Value(nullptr), E_POINTER);
}

TEST_F(AmplifierStateTest, AGainsValuesAreWalkedInBatchesOf32) {
  ptr<IProperty> gain = ChannelProperty(state.get(), 0, 0, L"Gain");
  LONG count = 0;
  gain->get_Count(&count);
  ASSERT_GT(count, 64);
  ptr<IUnknown> unknown;
  ASSERT_EQ(gain->get__NewEnum(unknown.put()), S_OK);
  ptr<IEnumVARIANT> values = unknown.as<IEnumVARIANT>();
  LONG seen = 0;
  for (;;) {
    VARIANT batch[32];
    ULONG fetched = 0;
    const HRESULT hr = values->Next(32, batch, &fetched);
    for (ULONG i = 0; i < fetched; ++i, ++seen) {
      VARIANT expected;
      gain->get_Item(seen, &expected);
      EXPECT_EQ(VarCmp(&batch[i], &expected, LOCALE_INVARIANT, 0), static_cast<HRESULT>(VARCMP_EQ)) << seen;
      VariantClear(&expected);
      VariantClear(&batch[i]);
    }
    if (hr == S_FALSE) break;
    ASSERT_EQ(hr, S_OK);
  }
  EXPECT_EQ(seen, count);
}

TEST_F(AmplifierStateTest, ChannelsOfOneGroupFollowEachOtherAcrossAmplifiers) {
  auto images = TwoAmplifiers();
  ChannelByte(images, 0, 1, 7) = 4;
  ChannelByte(images, 0, 3, 7) = 4;
  ChannelByte(images, 1, 2, 7) = 4;
  ptr<IAmplifierState2> linked = MakeState(images);
  ASSERT_EQ(PutValue(ChannelProperty(linked.get(), 0, 1, L"Gain").get(), L"1200"), S_OK);
  EXPECT_EQ(ValueOf(ChannelProperty(linked.get(), 0, 3, L"Gain").get()), L"1200");
  EXPECT_EQ(ValueOf(ChannelProperty(linked.get(), 1, 2, L"Gain").get()), L"1200");
  EXPECT_NE(ValueOf(ChannelProperty(linked.get(), 0, 2, L"Gain").get()), L"1200");

  ASSERT_EQ(PutValue(ChannelProperty(linked.get(), 0, 1, L"Group").get(), L"9"), S_OK);
  EXPECT_EQ(ValueOf(ChannelProperty(linked.get(), 0, 3, L"Group").get()), L"4");
  EXPECT_EQ(ValueOf(ChannelProperty(linked.get(), 1, 2, L"Group").get()), L"4");
}

TEST_F(AmplifierStateTest, GlobalDeblockSetsEveryAmplifiersDeblockState) {
  ASSERT_EQ(state->put_GlobalDeblock(VARIANT_TRUE), S_OK);
  VARIANT_BOOL on = VARIANT_FALSE;
  state->get_GlobalDeblock(&on);
  EXPECT_EQ(on, VARIANT_TRUE);
  for (int amplifier = 0; amplifier < 2; ++amplifier) {
    ptr<IDispatch> functions = Node<IDispatch>(state.get(), PackObjectID(KindFunctions, 0, amplifier, 0));
    EXPECT_EQ(ValueOf(PropertyNamed(functions.get(), L"Deblock State").get()), L"Set");
  }
  EXPECT_EQ(ImagesOf(AsString(state.get())).Item(1).DeblockState(), 1);
}

// --- electrodes ---------------------------------------------------------------

TEST_F(AmplifierStateTest, OnePositiveReferenceElectrodePerModeOnAnAmplifier) {
  auto images = TwoAmplifiers();
  for (int channel : {0, 1, 2}) {
    ChannelByte(images, 0, channel, 6) = 0x23;  // "Pos Ref"
    ChannelByte(images, 0, channel, 8) = 3;     // both electrodes in use
  }
  ChannelByte(images, 0, 3, 8) = 1;
  ptr<IAmplifierState2> reference = MakeState(images);
  const auto electrode = [&](int channel, bool positive) {
    return Node<IElectrode>(reference.get(), PackObjectID(KindElectrode, positive, 0, channel));
  };
  ASSERT_EQ(electrode(0, true)->put_InUse(VARIANT_TRUE), S_OK);
  VARIANT_BOOL in_use = VARIANT_FALSE;
  for (int channel : {1, 2}) {
    electrode(channel, true)->get_InUse(&in_use);
    EXPECT_EQ(in_use, VARIANT_FALSE) << channel;
  }
  electrode(0, false)->get_InUse(&in_use);
  EXPECT_EQ(in_use, VARIANT_TRUE);
  electrode(3, true)->get_InUse(&in_use);
  EXPECT_EQ(in_use, VARIANT_TRUE);
  ASSERT_EQ(electrode(0, true)->put_InUse(VARIANT_FALSE), S_OK);
  electrode(0, true)->get_InUse(&in_use);
  EXPECT_EQ(in_use, VARIANT_TRUE);
  auto written = ImagesOf(AsString(reference.get()));
  EXPECT_EQ(ChannelByte(written, 0, 1, 8), 2);
}

TEST_F(AmplifierStateTest, AnElectrodeShowsTheAmplifiersThresholdsAndResolution) {
  auto images = TwoAmplifiers();
  images.Item(0).Data()[72] = 0xF4;  // 500: half the lower threshold
  images.Item(0).Data()[73] = 0x01;
  images.Item(0).Data()[76] = 4;
  ptr<IElectrode> electrode = Node<IElectrode>(MakeState(images).get(), PackObjectID(KindElectrode, 0, 0, 2));
  LONG value = 0;
  electrode->get_LowerThreshold(&value);
  EXPECT_EQ(value, 1000);
  electrode->get_Resolution(&value);
  EXPECT_EQ(value, 800);
}

// --- the test box -----------------------------------------------------------

TEST_F(AmplifierStateTest, TheTestBoxIsANinthChannelOfFixedListsAndChannelSets) {
  auto images = TwoAmplifiers();
  images.TestBox() = {1, 0x0C, 0x04, 0x08, 0x05, 0x33, 0x00};
  ptr<IAmplifierState2> boxed = MakeState(images);
  ptr<IDispatch> box = Node<IDispatch>(boxed.get(), PackObjectID(KindAmplifierProperty, 8, 0, 8));
  ASSERT_TRUE(box);
  EXPECT_EQ(NameOf(box.as<IIdentifier>().get()), L"TestBox");
  EXPECT_EQ(ValueOf(PropertyNamed(box.get(), L"Channel Name").get()), L"TestBox");
  EXPECT_EQ(ValueOf(PropertyNamed(box.get(), L"Output Channel").get()), L"CH 3");
  EXPECT_EQ(ValueOf(PropertyNamed(box.get(), L"Attenuator").get()), L"X0.01");
  EXPECT_EQ(ValueOf(PropertyNamed(box.get(), L"Pos IP Sel").get()), L"1,3");
  EXPECT_EQ(ValueOf(PropertyNamed(box.get(), L"Neg Sig Sel").get()), L"Sig");  // 0x33 is no code
  EXPECT_EQ(ValueOf(PropertyNamed(box.get(), L"Group").get()), L"0");

  EXPECT_EQ(PutValue(PropertyNamed(box.get(), L"Attenuator").get(), L"X2"), E_FAIL);
  EXPECT_EQ(ErrorInfo(), L"Value passed is not from the allowed properties.|OrvoImpl [Set_Value]");
  EXPECT_EQ(PutValue(PropertyNamed(box.get(), L"Group").get(), L"3"), S_OK);
  ASSERT_EQ(PutValue(PropertyNamed(box.get(), L"Neg IP Sel").get(), L" 2, 8 ,x,9,"), S_OK);
  ASSERT_EQ(PutValue(PropertyNamed(box.get(), L" pos sig sel").get(), L"gnd"), S_OK);
  // The second amplifier's test box, unchanged, does not undo the change.
  const TestBoxRec written = ImagesOf(AsString(boxed.get())).TestBox();
  EXPECT_EQ(written[6], 0x82);
  EXPECT_EQ(written[3], 0x80);
  EXPECT_EQ(written[1], 0x0C);
}

// --- errors at the boundary ---------------------------------------------------

TEST(AmplifierStateErrors, AFailureOfTheModelCarriesItsPlaceAndAnyOtherIsUnexpectedWithoutSource) {
  const ECOMException failure(L"Invalid state string.", L"Equal", E_FAIL);
  EXPECT_STREQ(failure.what(), "Invalid state string. OrvoImpl [Equal] 0x80004005");
  try {
    throw com::error(E_FAIL, L"CapsProvidier library not initialized");
  } catch (...) {
    EXPECT_EQ(ReportException(IID_ICollection), E_UNEXPECTED);
  }
  ptr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
  GUID iid{};
  info->GetGUID(&iid);
  EXPECT_EQ(iid, IID_ICollection);
  SetErrorInfo(0, info.get());
  EXPECT_EQ(ErrorInfo(), L"CapsProvidier library not initialized|");
}

TEST_F(AmplifierStateTest, TheUnimplementedComElectrodeFailsAndTheStateHasNoParent) {
  ptr<IAmplifier> amplifier = Node<IAmplifier>(state.get(), PackObjectID(KindAmplifier, 0, 0, 0));
  ptr<IDispatch> none;
  EXPECT_EQ(amplifier->get_ComElectrode(none.put()), E_FAIL);
  EXPECT_EQ(ErrorInfo(), L"Property not implemented|OrvoImpl [ComElectrode]");
  EXPECT_EQ(state->get_Parent(none.put()), S_OK);
  EXPECT_FALSE(none);
}

TEST_F(AmplifierStateTest, ANodeHeldAfterItsStateLetTheTreeGoHasNoHolder) {
  ptr<IIdentifier> channel = Node<IIdentifier>(state.get(), PackObjectID(KindChannel, 0, 0, 0));
  ptr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
  EXPECT_EQ(state.as<IPersistStreamInit>()->Load(stream.get()), E_FAIL);  // no text; the tree is gone
  ptr<IDispatch> parent;
  EXPECT_EQ(channel->get_Parent(parent.put()), E_FAIL);
  EXPECT_EQ(ErrorInfo(), L"Internal object not assiged.|OrvoImpl [Get_Parent]");
  EXPECT_EQ(NameOf(channel.get()), L"Channel 1");
}

// --- comparing, cloning, creating ---------------------------------------------

TEST_F(AmplifierStateTest, CloneAndEqualCompareStatesWithoutTheSerialNumber) {
  ptr<IAmplifierState2> copy;
  ASSERT_EQ(state->Clone(copy.put()), S_OK);
  EXPECT_EQ(AsString(copy.get()), AsString(state.get()));

  auto images = ImagesOf(AsString(state.get()));
  images.Item(1).Data()[TMemory::SerialNumberOffset] = 99;
  VARIANT other;
  V_VT(&other) = VT_BSTR;
  V_BSTR(&other) = SysAllocString(StateString(images).c_str());
  LONG result = -5;
  EXPECT_EQ(state->Equal(other, &result), S_OK);
  EXPECT_EQ(result, 0);
  VariantClear(&other);

  V_VT(&other) = VT_DISPATCH;
  V_DISPATCH(&other) = MakeState(ZeroImages(1)).detach();
  EXPECT_EQ(state->Equal(other, &result), S_OK);
  EXPECT_EQ(result, 1);
  VariantClear(&other);
}

TEST_F(AmplifierStateTest, EqualRefusesWhatIsNoStateWithItsOwnTexts) {
  LONG result = 0;
  VARIANT source;
  V_VT(&source) = VT_BSTR;
  V_BSTR(&source) = SysAllocString(L"not a state");
  EXPECT_EQ(state->Equal(source, &result), E_FAIL);
  EXPECT_EQ(ErrorInfo(), L"Invalid state string.|OrvoImpl [Equal]");
  VariantClear(&source);
  V_VT(&source) = VT_I4;
  V_I4(&source) = 3;
  EXPECT_EQ(state->Equal(source, &result), E_FAIL);
  EXPECT_EQ(ErrorInfo(), L"Source not an IAmplifierState object or StateString.|OrvoImpl [Equal]");
  V_VT(&source) = VT_DISPATCH;
  V_DISPATCH(&source) = Node<IDispatch>(state.get(), PackObjectID(KindChannel, 0, 0, 0)).detach();
  EXPECT_EQ(state->Equal(source, &result), E_FAIL);
  EXPECT_EQ(ErrorInfo(), L"Source not an IAmplifierState object.|OrvoImpl [Equal]");
  VariantClear(&source);
}

TEST(AmplifierStateCreation, ATextThatIsNoStateGivesAnEmptyStateThatDiffersFromEveryOther) {
  ptr<IAmplifierState2> empty = MakeState(L"");
  ASSERT_TRUE(empty);
  ptr<ICollection> amplifiers;
  empty->get_Amplifiers(amplifiers.put());
  LONG count = -1;
  amplifiers->get_Count(&count);
  EXPECT_EQ(count, 0);
  VARIANT other;
  V_VT(&other) = VT_BSTR;
  V_BSTR(&other) = SysAllocString(AsString(empty.get()).c_str());
  LONG result = -5;
  EXPECT_EQ(empty->Equal(other, &result), S_OK);
  EXPECT_EQ(result, 1);
  VariantClear(&other);
}

// --- persistence -----------------------------------------------------------

ptr<IPersistStreamInit> NewPersist() {
  ptr<IPersistStreamInit> persist;
  EXPECT_EQ(com::create_instance(CLSID_AmplifierState, persist, CLSCTX_INPROC_SERVER), S_OK);
  return persist;
}

ptr<IStream> StreamOf(const std::wstring& text, bool terminated) {
  ptr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
  stream->Write(text.c_str(), static_cast<ULONG>((text.size() + terminated) * sizeof(wchar_t)), nullptr);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

ULONGLONG PositionOf(IStream* stream) {
  LARGE_INTEGER zero{};
  ULARGE_INTEGER at{};
  stream->Seek(zero, STREAM_SEEK_CUR, &at);
  return at.QuadPart;
}

TEST(AmplifierStatePersistence, LoadAndInitNewExcludeEachOther) {
  ptr<IPersistStreamInit> loaded = NewPersist();
  EXPECT_EQ(loaded->Load(StreamOf(StateString(ZeroImages(1)), true).get()), S_OK);
  EXPECT_EQ(loaded->InitNew(), E_UNEXPECTED);
  ptr<IPersistStreamInit> fresh = NewPersist();
  EXPECT_EQ(fresh->InitNew(), S_OK);
  EXPECT_EQ(fresh->Load(StreamOf(StateString(ZeroImages(1)), true).get()), E_UNEXPECTED);
  CLSID clsid{};
  fresh->GetClassID(&clsid);
  EXPECT_EQ(clsid, CLSID_AmplifierState);
}

TEST(AmplifierStatePersistence, ATextWithoutTerminatorFailsAndLeavesTheStreamWhereItWas) {
  ptr<IPersistStreamInit> persist = NewPersist();
  const std::wstring text = StateString(ZeroImages(3));  // longer than one 200-byte step
  ptr<IStream> stream = StreamOf(text, false);
  EXPECT_EQ(persist->Load(stream.get()), E_FAIL);
  EXPECT_EQ(PositionOf(stream.get()), 0u);
}

TEST(AmplifierStatePersistence, StatesSavedOneAfterAnotherLoadBackInOrder) {
  ptr<IAmplifierState2> first = MakeState(TwoAmplifiers());
  ptr<IAmplifierState2> second = MakeState(ZeroImages(1));
  ptr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
  ULARGE_INTEGER size{};
  first.as<IPersistStreamInit>()->GetSizeMax(&size);
  ASSERT_EQ(first.as<IPersistStreamInit>()->Save(stream.get(), TRUE), S_OK);
  EXPECT_EQ(PositionOf(stream.get()), size.QuadPart);
  ASSERT_EQ(second.as<IPersistStreamInit>()->Save(stream.get(), TRUE), S_OK);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ptr<IPersistStreamInit> a = NewPersist(), b = NewPersist();
  ASSERT_EQ(a->Load(stream.get()), S_OK);
  ASSERT_EQ(b->Load(stream.get()), S_OK);
  EXPECT_EQ(AsString(a.as<IAmplifierState>().get()), AsString(first.get()));
  EXPECT_EQ(AsString(b.as<IAmplifierState>().get()), AsString(second.get()));
  EXPECT_EQ(a->IsDirty(), S_FALSE);
}

// --- by value into another apartment and another process ----------------------

TEST_F(AmplifierStateTest, AStateCrossesIntoAnotherApartmentAsACopy) {
  ASSERT_EQ(PutValue(ChannelProperty(state.get(), 0, 0, L"Gain").get(), L"1200"), S_OK);
  const std::wstring expected = AsString(state.get());
  ptr<IStream> stream;
  ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(IID_IAmplifierState2, state.get(), stream.put()), S_OK);
  IStream* raw = stream.detach();
  orvo::testing::in_sta([&] {
    ptr<IAmplifierState2> copy;
    ASSERT_EQ(CoGetInterfaceAndReleaseStream(raw, IID_IAmplifierState2, copy.put_void()), S_OK);
    EXPECT_EQ(AsString(copy.get()), expected);
  });
}

TEST_F(AmplifierStateTest, AStateCrossesIntoAnotherProcessAsACopy) {
  ptr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
  ASSERT_EQ(
      CoMarshalInterface(stream.get(), IID_IAmplifierState2, state.get(), MSHCTX_LOCAL, nullptr, MSHLFLAGS_NORMAL),
      S_OK);
  HGLOBAL memory = nullptr;
  GetHGlobalFromStream(stream.get(), &memory);
  const std::string data(static_cast<const char*>(GlobalLock(memory)),
                         static_cast<std::size_t>(PositionOf(stream.get())));
  GlobalUnlock(memory);
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string in = std::string(folder) + "orvoimpl_marshalled.bin",
                    out = std::string(folder) + "orvoimpl_unmarshalled.txt";
  std::ofstream(in, std::ios::binary) << data;
  std::remove(out.c_str());
  const std::wstring line = L"\"" + Self() + L"\" --unmarshal \"" + std::wstring(in.begin(), in.end()) + L"\" \"" +
                            std::wstring(out.begin(), out.end()) + L"\"";
  ASSERT_EQ(orvo::testing::run_program(line), 0);
  std::wifstream result(out);
  std::wstring text;
  std::getline(result, text);
  EXPECT_EQ(text, AsString(state.get()));
}

TEST_F(AmplifierStateTest, AShortMarshalStreamLoadsNothing) {
  ptr<IMarshal> marshal = state.as<IMarshal>();
  ptr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
  ASSERT_EQ(marshal->MarshalInterface(stream.get(), IID_IAmplifierState2, state.get(), MSHCTX_INPROC, nullptr, 0),
            S_OK);
  ULARGE_INTEGER size{};
  size.QuadPart = PositionOf(stream.get()) - 1;
  stream->SetSize(size);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ptr<IAmplifierState2> other = MakeState(ZeroImages(1));
  const std::wstring before = AsString(other.get());
  ptr<IUnknown> none;
  EXPECT_EQ(other.as<IMarshal>()->UnmarshalInterface(stream.get(), IID_IUnknown, none.put_void()), E_FAIL);
  EXPECT_FALSE(none);
  EXPECT_EQ(AsString(other.get()), before);
}

// The second process: unmarshals the state from a file and writes its text.
int Unmarshal(const char* in, const char* out) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  std::ifstream file(in, std::ios::binary);
  const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  int code = 3;
  {
    ptr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    stream->Write(data.data(), static_cast<ULONG>(data.size()), nullptr);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ptr<IAmplifierState> state;
    if (SUCCEEDED(CoUnmarshalInterface(stream.get(), IID_IAmplifierState, state.put_void()))) {
      BSTR text = nullptr;
      if (SUCCEEDED(state->get_AsString(&text))) {
        std::wofstream(out) << text << L"\n";
        code = 0;
      }
      SysFreeString(text);
    }
  }
  CoUninitialize();
  return code;
}

}  // namespace
}  // namespace orvo::impl::testing

int main(int argc, char** argv) {
  using namespace orvo::impl::testing;
  if (argc == 4 && std::string(argv[1]) == "--unmarshal") return Unmarshal(argv[2], argv[3]);
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  if (argc > 2 && std::string(argv[2]).rfind("decimal=", 0) == 0)
    for (const char* c = argv[2] + 8; *c; ++c) g_decimal += static_cast<wchar_t>(*c);
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 2;
  UseCapabilitiesLibrary(argv[1]);
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
