// The client's reading of the amplifier state: checked calls and their
// raisers, the enumerator walk, the visitors and Copy as Text, over the
// registered AmplifierState class. The first argument is the capabilities
// library; a second names a file for the Copy-as-Text reference check.
#include <objbase.h>
#include <oleauto.h>
#include <gtest/gtest.h>

#include <boost/function.hpp>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "com/enumerator.h"
#include "com/object.h"
#include "core/object_id.h"
#include "state_fixture.h"
#include "state_text_table.h"
#include "state_walk.h"
#include "testing/failing_callee.h"
#include "zel/enum_iterator.h"

namespace {

using namespace orvo::impl::testing;
using orvo::com::ptr;
using orvo::impl::KindAmplifier;
using orvo::impl::PackObjectID;

std::string g_reference_dump;
// The decimal separator the run expects of its locale (empty: any).
std::wstring g_decimal;

// A collection whose enumerator yields the given values (no objects among
// them unless given).
class CValueCollection : public orvo::com::object<CValueCollection, ICollection> {
 public:
  explicit CValueCollection(std::vector<VARIANT> values) : m_values(std::move(values)) {}
  ~CValueCollection() {
    for (auto& v : m_values) VariantClear(&v);
  }
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP get_ID(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Name(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Parent(IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP get_Count(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Item(VARIANT, IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP get__NewEnum(IUnknown** out) override {
    ptr<IEnumVARIANT> e;
    const HRESULT hr = orvo::com::enumerator<IEnumVARIANT, VARIANT, orvo::com::copy_variant>::make_from(m_values, e);
    *out = e.detach();
    return hr;
  }

 private:
  std::vector<VARIANT> m_values;
};

ptr<ICollection> Numbers(int count) {
  std::vector<VARIANT> values(count);
  for (int i = 0; i < count; ++i) {
    VariantInit(&values[i]);
    V_VT(&values[i]) = VT_I4;
    V_I4(&values[i]) = i;
  }
  ptr<ICollection> collection;
  CValueCollection::make(collection, std::move(values));
  return collection;
}

std::wstring Text(const comet::com_error& e) { return e.description(); }

// --- raisers -----------------------------------------------------------------

TEST(Raisers, TakeTheErrorObjectOnlyWhenTheCalledInterfaceVouchesForIt) {
  // The state model vouches for its interfaces: a failure brings its text.
  auto images = ZeroImages(3);
  auto three = MakeState(images);
  ASSERT_TRUE(three);
  auto unregistered = Node<IAmplifier>(three.get(), PackObjectID(KindAmplifier, 0, 2, 0));
  try {
    get_channels(unregistered.get());
    FAIL() << "no error raised";
  } catch (const comet::com_error& e) {
    EXPECT_EQ(e.hr(), E_FAIL);
    EXPECT_TRUE(e.error_info());
    EXPECT_EQ(Text(e), L"Amplifier not registered");
  }
  // Vouched for, but no error object left behind: the HRESULT alone.
  SetErrorInfo(0, nullptr);
  try {
    raise_IAmplifierState(E_ACCESSDENIED, three.get());
  } catch (const comet::com_error& e) {
    EXPECT_EQ(e.hr(), E_ACCESSDENIED);
    EXPECT_FALSE(e.error_info());
  }
  // An object that answers ISupportErrorInfo, but not S_OK for this interface.
  auto other = orvo::testing::make_failing_callee<true>(L"left behind");
  CLSID ignored;
  EXPECT_EQ(other->GetClassID(&ignored), E_INVALIDARG);
  try {
    raise_server_IAmplifier(E_INVALIDARG, other.get());
  } catch (const comet::com_error& e) {
    EXPECT_EQ(e.hr(), E_INVALIDARG);
    EXPECT_FALSE(e.error_info());
  }
  // An object without ISupportErrorInfo.
  auto plain = Numbers(0);
  EXPECT_EQ(other->GetClassID(&ignored), E_INVALIDARG);
  try {
    raise_server_IAmplifier2(E_INVALIDARG, plain.get());
  } catch (const comet::com_error& e) {
    EXPECT_FALSE(e.error_info());
  }
}

// --- wrappers ----------------------------------------------------------------

TEST(Wrappers, ReachTheTreeOfANewStateObject) {
  auto empty = create_amplifier_state();
  ASSERT_TRUE(empty);
  auto state = create_state_from_string(empty.get(), comet::bstr_t(StateString(ZeroImages(2))));
  EXPECT_EQ(get_collection_count(get_amplifiers(state.get()).get()), 2);
  EXPECT_EQ(get_state_string(state.get()).w_str(), AsString(state.get()));
  auto amplifier = get_object_by_id(state.get(), PackObjectID(KindAmplifier, 0, 1, 0)).as<IAmplifier>();
  ASSERT_TRUE(amplifier);
  auto parent = get_parent(amplifier.as<IIdentifier>().get()).as<IIdentifier>();
  EXPECT_EQ(NameOf(parent.get()), NameOf(get_amplifiers(state.get()).as<IIdentifier>().get()));
  EXPECT_GT(get_collection_count(get_channels(amplifier.get()).get()), 0);
  EXPECT_GT(get_collection_count(get_functions(amplifier.get()).get()), 0);
}

TEST(Wrappers, AStateStringWithAnUnregisteredAmplifierRaisesItsText) {
  auto empty = create_amplifier_state();
  auto three = create_state_from_string(empty.get(), comet::bstr_t(StateString(ZeroImages(3))));
  try {
    for_each_amplifier(three.get(), [](const comet::com_ptr<IAmplifier>& a) { get_functions(a.get()); });
    FAIL() << "no error raised";
  } catch (const comet::com_error& e) {
    EXPECT_EQ(Text(e), L"Amplifier not registered");
  }
}

// --- walks -------------------------------------------------------------------

TEST(EnumWalk, VisitsEveryElementAcrossBatches) {
  int count = 0;
  for_each_property(Numbers(33).get(), [&](const comet::com_ptr<IProperty>& p) {
    EXPECT_FALSE(p);
    ++count;
  });
  EXPECT_EQ(count, 33);
}

TEST(EnumWalk, AnObjectWithoutIEnumVariantIsWalkedAsEmpty) {
  auto callee = orvo::testing::make_failing_callee<false>(L"");
  EXPECT_TRUE(zel::make_enum_iterator(callee.get()) == zel::basic_enum_iterator());
  EXPECT_TRUE(zel::make_enum_iterator(nullptr) == zel::basic_enum_iterator());
}

TEST(EnumWalk, AnElementThatIsNoObjectFailsWithEPointerWhenUsed) {
  try {
    for_each_property(Numbers(1).get(), [](const comet::com_ptr<IProperty>& p) { get_property_enum(p.get()); });
    FAIL() << "no error raised";
  } catch (const comet::com_error& e) {
    EXPECT_EQ(e.hr(), E_POINTER);
  }
}

TEST(EnumWalk, AnEmptyFunctionFailsBeforeAnyElement) {
  auto state = MakeState(ZeroImages(1));
  try {
    for_each_amplifier(state.get(), amplifier_function());
    FAIL() << "no error raised";
  } catch (const boost::bad_function_call& e) {
    EXPECT_STREQ(e.what(), "call to empty boost::function");
  }
}

TEST(EnumWalk, ReachesChannelsPropertiesAndLegalValues) {
  auto state = MakeState(ZeroImages(2));
  int amplifiers = 0, channels = 0, collections = 0, values = 0;
  for_each_amplifier(state.get(), [&](const comet::com_ptr<IAmplifier>& amplifier) {
    ++amplifiers;
    for_each_channel(amplifier.get(), [&](const comet::com_ptr<IChannel>& c) { channels += c ? 1 : 0; });
    for_each_channel_collection(amplifier.get(), [&](const comet::com_ptr<ICollection>& c) {
      collections += c ? 1 : 0;
      if (collections > 1) return;
      for_each_property(c.get(), [&](const comet::com_ptr<IProperty>& p) {
        if (NameOf(p.get()) == L"Gain")
          for_each_property_value(p.get(), [&](const std::wstring& text) { values += !text.empty(); });
      });
    });
  });
  EXPECT_EQ(amplifiers, 2);
  EXPECT_GT(channels, 0);
  EXPECT_EQ(collections, channels);
  EXPECT_GT(values, 1);
}

// --- value text ----------------------------------------------------------------

TEST(ValueText, StringsAsTheyAreNullEmptyOthersConvertedOrRaised) {
  comet::bstr_t text(L" 1,5 x");
  VARIANT v;
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = text.in();
  EXPECT_EQ(value_text(v), L" 1,5 x");
  BSTR held = text.in();
  V_VT(&v) = VT_BSTR | VT_BYREF;
  V_BSTRREF(&v) = &held;
  EXPECT_EQ(value_text(v), L" 1,5 x");
  V_VT(&v) = VT_NULL;
  EXPECT_EQ(value_text(v), L"");
  V_VT(&v) = VT_I4;
  V_I4(&v) = -42;
  EXPECT_EQ(value_text(v), L"-42");
  V_VT(&v) = VT_R8;
  V_R8(&v) = 2.5;
  wchar_t separator[8] = {};
  GetLocaleInfoW(GetThreadLocale(), LOCALE_SDECIMAL, separator, 8);
  if (!g_decimal.empty()) {
    EXPECT_EQ(g_decimal, separator);
  }
  EXPECT_EQ(value_text(v), std::wstring(L"2") + separator + L"5");
  auto object = Numbers(0);
  V_VT(&v) = VT_UNKNOWN;
  V_UNKNOWN(&v) = object.get();
  try {
    value_text(v);
    FAIL() << "no error raised";
  } catch (const comet::com_error& e) {
    EXPECT_EQ(e.hr(), DISP_E_TYPEMISMATCH);
  }
}

// --- Copy as Text ----------------------------------------------------------------

TEST(CopyAsText, NoAmplifiersGiveAnEmptyText) {
  EXPECT_EQ(state_text_table(MakeState(ZeroImages(0)).get()).text(), L"");
}

TEST(CopyAsText, ColumnsAreTheUnionOfAllNamesInCodeUnitOrder) {
  auto state = MakeState(ZeroImages(2));
  const state_text_table table(state.get());
  const std::wstring text = table.text();
  // Every gain here is at most four characters, so the channel header is
  // exactly its names, each after two spaces.
  EXPECT_NE(text.find(L"\r\n  50Hz Notch  60Hz Notch  Channel Name  Deblock State  Gain  Group  HighCut (Hz)  "
                      L"Input Mode  LowCut (Hz)\r\n"),
            std::wstring::npos)
      << std::string(text.begin(), text.end());
  // An amplifier column whose longest entry is its name: two spaces, then the name.
  EXPECT_EQ(text.find(L"Amplifier 1 ( SN: 0 )\r\n\r\n  Deblock Duration (ms)  Deblock State  Deblock Type  "), 0u);
  EXPECT_NE(text.find(L"  Serial No  Upper Threshold\r\n"), std::wstring::npos);
}

// Writes the raw rows (names and value texts read straight from the tree)
// and the table's text for 0, 1 and 2 amplifiers; a script builds the
// expected tables from the rows and compares.
std::string Json(const std::wstring& text) {
  std::string out = "\"";
  char buffer[8];
  for (wchar_t c : text) {
    if (c == L'"' || c == L'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out + "\"";
}

// Item number i of a collection.
ptr<IDispatch> ItemAt(ICollection* items, LONG i) {
  VARIANT index;
  V_VT(&index) = VT_I4;
  V_I4(&index) = i;
  ptr<IDispatch> item;
  items->get_Item(index, item.put());
  return item;
}

std::string RowJson(IDispatch* row) {
  std::string out = "[";
  ptr<ICollection> items = ptr<IDispatch>(row).as<ICollection>();
  LONG count = 0;
  items->get_Count(&count);
  for (LONG i = 0; i < count; ++i) {
    auto property = ItemAt(items.get(), i).as<IProperty>();
    VARIANT value, text;
    VariantInit(&value);
    VariantInit(&text);
    property->get_Value(&value);
    if (V_VT(&value) != VT_NULL) VariantChangeTypeEx(&text, &value, GetThreadLocale(), 0, VT_BSTR);
    const std::wstring shown = V_VT(&text) == VT_BSTR ? std::wstring(V_BSTR(&text), SysStringLen(V_BSTR(&text))) : L"";
    out += (i ? "," : "") + std::string("[") + Json(NameOf(property.get())) + "," + Json(shown) + "]";
    VariantClear(&value);
    VariantClear(&text);
  }
  return out + "]";
}

TEST(CopyAsText, WritesRowsAndTextsForTheReferenceCheck) {
  if (g_reference_dump.empty()) GTEST_SKIP() << "no dump file named";
  std::ofstream out(g_reference_dump, std::ios::binary);
  out << "[";
  for (std::size_t count = 0; count <= 2; ++count) {
    auto state = MakeState(ZeroImages(count));
    out << (count ? "," : "") << "{\"amplifiers\":[";
    ptr<ICollection> amplifiers;
    state->get_Amplifiers(amplifiers.put());
    for (std::size_t a = 0; a < count; ++a) {
      auto amplifier = Node<IAmplifier>(state.get(), PackObjectID(KindAmplifier, 0, static_cast<int>(a), 0));
      ptr<ICollection> functions, channels;
      amplifier->get_Functions(functions.put());
      amplifier->get_Channels(channels.put());
      out << (a ? "," : "") << "{\"name\":" << Json(NameOf(amplifier.as<IIdentifier>().get()))
          << ",\"functions\":" << RowJson(functions.get()) << ",\"channels\":[";
      LONG n = 0;
      channels->get_Count(&n);
      for (LONG c = 0; c < n; ++c) {
        out << (c ? "," : "") << RowJson(ItemAt(channels.get(), c).get());
      }
      out << "]}";
    }
    out << "],\"text\":" << Json(state_text_table(state.get()).text()) << "}";
  }
  out << "]\n";
  EXPECT_TRUE(out.good());
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("decimal=", 0) == 0)
      g_decimal.assign(arg.begin() + 8, arg.end());
    else
      g_reference_dump = arg;
  }
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 2;
  UseCapabilitiesLibrary(argv[1]);
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
