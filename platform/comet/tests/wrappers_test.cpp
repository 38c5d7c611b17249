// The COM-client wrappers under wine64: strings, VARIANTs, SAFEARRAYs,
// interface pointers and checked calls, bad input included.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "comet/ptr.h"
#include "comet/safearray.h"
#include "comet/variant.h"
#include "testing/failing_callee.h"

namespace {

// The HRESULT of the comet::com_error that f raises; S_OK when it raises none.
template <class F>
HRESULT raised(F f) {
  try {
    f();
  } catch (const comet::com_error& e) {
    return e.hr();
  }
  return S_OK;
}

TEST(Bstr, ANullStringIsEmpty) {
  const comet::bstr_t null;
  EXPECT_TRUE(null.is_null());
  EXPECT_EQ(null.length(), 0u);
  EXPECT_STREQ(null.c_str(), L"");
  EXPECT_EQ(null, comet::bstr_t(L""));
  EXPECT_TRUE(comet::bstr_t(static_cast<const wchar_t*>(nullptr)).is_null());
  EXPECT_TRUE(comet::bstr_t(null).is_null());
  EXPECT_EQ(null.w_str(), L"");
}

TEST(Bstr, KeepsEmbeddedZerosAndHandsOutSlots) {
  const comet::bstr_t text(L"a\0b", 3);
  EXPECT_EQ(text.length(), 3u);
  EXPECT_NE(text, comet::bstr_t(L"a"));
  comet::bstr_t out(L"old");
  *out.out() = ::SysAllocString(L"new");
  EXPECT_EQ(out.w_str(), L"new");
  BSTR raw = out.detach();
  EXPECT_TRUE(out.is_null());
  EXPECT_EQ(comet::bstr_t::attach(raw).w_str(), L"new");
}

TEST(Bstr, OrdersAsVarBstrCmpWithTheNullStringFirst) {
  std::map<comet::bstr_t, int> keys;
  keys[L"beta"] = 2;
  keys[L""] = 1;
  keys[comet::bstr_t()] = 0;
  keys[L"Alpha"] = 3;
  std::wstring order;
  for (const auto& [key, value] : keys) order += key.is_null() ? L"(null)," : key.w_str() + L",";
  EXPECT_EQ(order, L"(null),,Alpha,beta,");
  EXPECT_FALSE(comet::bstr_t() < comet::bstr_t());
}

TEST(Variant, ConvertsOnRequestAndRaisesWhatDoesNotConvert) {
  EXPECT_EQ(comet::variant_t(42L).as<short>(), 42);
  EXPECT_EQ(comet::variant_t(L"17").as<long>(), 17);
  EXPECT_EQ(comet::variant_t(3L).as<comet::bstr_t>().w_str(), L"3");
  EXPECT_TRUE(comet::variant_t(true).as<bool>());
  EXPECT_EQ(raised([] { comet::variant_t(L"not a number").as<long>(); }), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(raised([] { comet::variant_t(70000L).as<short>(); }), DISP_E_OVERFLOW);
}

// Also run under LC_ALL=de_DE.UTF-8 with ORVO_EXPECT_DECIMAL=",".
TEST(Variant, NumbersAndTextConvertInTheThreadsLocale) {
  wchar_t separator[8] = {};
  ASSERT_GT(::GetLocaleInfoW(::GetThreadLocale(), LOCALE_SDECIMAL, separator, 8), 0);
  if (const char* expected = std::getenv("ORVO_EXPECT_DECIMAL")) {
    ASSERT_EQ(std::wstring(separator), std::wstring(expected, expected + std::strlen(expected)));
  }
  const std::wstring two_and_a_half = std::wstring(L"2") + separator + L"5";
  EXPECT_EQ(comet::variant_t(2.5).as<comet::bstr_t>().w_str(), two_and_a_half);
  EXPECT_EQ(comet::variant_t(two_and_a_half.c_str()).as<double>(), 2.5);
}

TEST(Variant, CopiesOwnTheirValues) {
  comet::variant_t a(L"shared?");
  comet::variant_t b = a;
  *a.out() = comet::variant_t(1L).detach();
  EXPECT_EQ(b.as<comet::bstr_t>().w_str(), L"shared?");
  EXPECT_EQ(a.type(), VT_I4);
}

TEST(SafeArray, ElementsOutsideTheBoundsRaiseBadIndex) {
  comet::safearray_t<VARIANT> values(3, 1);
  EXPECT_EQ(values.lower_bound(), 1);
  EXPECT_EQ(values.upper_bound(), 3);
  values.set(2, comet::variant_t(L"two"));
  EXPECT_EQ(values.at(2).as<comet::bstr_t>().w_str(), L"two");
  EXPECT_EQ(values.at(1).type(), VT_EMPTY);
  EXPECT_EQ(raised([&] { values.at(0); }), DISP_E_BADINDEX);
  EXPECT_EQ(raised([&] { values.at(4); }), DISP_E_BADINDEX);
  comet::safearray_t<long> empty;
  EXPECT_EQ(empty.size(), 0u);
  EXPECT_EQ(raised([&] { empty.at(0); }), DISP_E_BADINDEX);
}

TEST(SafeArray, ACopyOfAnotherElementTypeIsRefused) {
  comet::safearray_t<BSTR> texts(1);
  texts.set(0, comet::bstr_t(L"x"));
  EXPECT_EQ(comet::safearray_t<BSTR>::copy_of(texts.get()).at(0).w_str(), L"x");
  EXPECT_EQ(raised([&] { comet::safearray_t<long>::copy_of(texts.get()); }), E_INVALIDARG);
}

TEST(Pointers, ANullPointerOrARefusedInterfaceRaises) {
  comet::com_ptr<IPersist> none;
  EXPECT_EQ(raised([&] { comet::checked(none); }), E_POINTER);
  EXPECT_EQ(raised([&] { comet::query<IStream>(none); }), E_POINTER);
  auto callee = orvo::testing::make_failing_callee<true>(L"x");
  EXPECT_TRUE(comet::query<ISupportErrorInfo>(callee));
  EXPECT_EQ(raised([&] { comet::query<IStream>(callee); }), E_NOINTERFACE);
}

TEST(CheckedCalls, ACalleeThatVouchesForItsErrorInformationGivesItsDescription) {
  auto callee = orvo::testing::make_failing_callee<true>(L"Invalid property value");
  CLSID unused;
  try {
    comet::check(callee->GetClassID(&unused), callee.get());
    FAIL() << "no exception";
  } catch (const comet::com_error& e) {
    EXPECT_EQ(e.hr(), E_INVALIDARG);
    EXPECT_NE(e.error_info(), nullptr);
    EXPECT_EQ(e.description(), L"Invalid property value");
    EXPECT_STREQ(e.what(), "Invalid property value");
    EXPECT_EQ(e.source().w_str(), L"Orvo.Test");
  }
}

TEST(CheckedCalls, ACalleeThatAnswersSFalseGivesTheHresultAlone) {
  auto callee = orvo::testing::make_failing_callee<false>(L"Invalid property value");
  CLSID unused;
  try {
    comet::check(callee->GetClassID(&unused), callee.get());
    FAIL() << "no exception";
  } catch (const comet::com_error& e) {
    EXPECT_EQ(e.hr(), E_INVALIDARG);
    EXPECT_EQ(e.error_info(), nullptr);
    EXPECT_EQ(e.description(), comet::system_message(E_INVALIDARG));
    EXPECT_FALSE(e.description().empty());
  }
  EXPECT_EQ(comet::check(S_FALSE, callee.get()), S_FALSE);
}

}  // namespace
