// The client's exceptions under wine64. Expected system texts come from
// FormatMessage at run time: Wine's differ from Windows'.
#include <gtest/gtest.h>

#include <string>

#include "testing/failing_callee.h"
#include "zel/errors.h"
#include "zel_test_support.h"

namespace {

std::string system_text(DWORD code) {
  char* buffer = nullptr;
  ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                   code, 0x400, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = buffer ? buffer : "";
  ::LocalFree(buffer);
  return text;
}

TEST(Win32Error, GivesTheSystemMessageOfItsCode) {
  const zel::win32_error error(ERROR_FILE_NOT_FOUND);
  ASSERT_FALSE(system_text(ERROR_FILE_NOT_FOUND).empty());
  EXPECT_EQ(error.what(), system_text(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(error.code(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_NE(std::wstring(error.wwhat()), L"win32_error");
}

TEST(Win32Error, ACodeWithoutAMessageGivesItsFixedTextOnEveryCall) {
  const zel::win32_error error(0xFFFFFFFF);
  ASSERT_TRUE(system_text(0xFFFFFFFF).empty());
  EXPECT_STREQ(error.what(), "win32_error");
  EXPECT_STREQ(error.what(), "win32_error");
  EXPECT_STREQ(error.wwhat(), L"win32_error");
}

TEST(Win32Error, ACopyKeepsTheCodeAndMakesItsOwnText) {
  const zel::win32_error original(ERROR_ACCESS_DENIED);
  const char* text = original.what();
  const zel::win32_error copy(original);
  EXPECT_EQ(copy.code(), original.code());
  EXPECT_NE(copy.what(), text);
  EXPECT_STREQ(copy.what(), text);
}

TEST(BasicComError, NeverCarriesSuccess) {
  EXPECT_EQ(zel::basic_com_error(S_OK).hr(), E_FAIL);
  EXPECT_EQ(zel::basic_com_error(1).hr(), E_FAIL);
  EXPECT_EQ(zel::basic_com_error(E_OUTOFMEMORY).hr(), E_OUTOFMEMORY);
  EXPECT_EQ(zel::basic_com_error(E_OUTOFMEMORY).what(), system_text(static_cast<DWORD>(E_OUTOFMEMORY)));
}

TEST(BasicComError, ACodeWithoutAMessageNamesTheErrorClass) {
  ASSERT_TRUE(system_text(0x80041234).empty());
  EXPECT_STREQ(zel::basic_com_error(static_cast<HRESULT>(0x80041234)).what(),
               "zel::basic_com_error - No message for this error code is available");
  EXPECT_STREQ(zel::com_error(static_cast<HRESULT>(0x80041234), nullptr).what(),
               "zel::com_error - No message for this error code is available");
}

TEST(ComError, TheCalleesDescriptionIsTheTextAndACopyKeepsTheInformationAlive) {
  auto callee = orvo::testing::make_failing_callee<true>(L"Invalid property value");
  CLSID unused;
  ASSERT_EQ(callee->GetClassID(&unused), E_INVALIDARG);
  IErrorInfo* info = nullptr;
  ASSERT_EQ(::GetErrorInfo(0, &info), S_OK);
  auto* first = new zel::com_error(E_INVALIDARG, info);
  zel::com_error copy(*first);
  delete first;
  EXPECT_EQ(info->Release(), 1u);  // only the copy holds it now
  EXPECT_STREQ(copy.what(), "Invalid property value");
  EXPECT_EQ(copy.source().w_str(), L"Orvo.Test");
  EXPECT_TRUE(copy.help_file().is_null());
}

TEST(ComError, AnEmptyDescriptionFallsBackToTheSystemMessage) {
  auto callee = orvo::testing::make_failing_callee<true>(L"");
  CLSID unused;
  callee->GetClassID(&unused);
  IErrorInfo* info = nullptr;
  ::GetErrorInfo(0, &info);
  const zel::com_error error(E_INVALIDARG, info);
  if (info) info->Release();
  EXPECT_EQ(error.what(), system_text(static_cast<DWORD>(E_INVALIDARG)));
  EXPECT_TRUE(zel::com_error(E_INVALIDARG, nullptr).source().is_null());
}

TEST(ThrowComError, ACalleeThatVouchesForItsInformationGivesAComError) {
  auto callee = orvo::testing::make_failing_callee<true>(L"Property readonly");
  CLSID unused;
  try {
    zel::check_com_result(callee->GetClassID(&unused), callee.get());
    FAIL() << "no exception";
  } catch (const zel::com_error& e) {
    EXPECT_EQ(e.hr(), E_INVALIDARG);
    EXPECT_STREQ(e.what(), "Property readonly");
  }
}

TEST(ThrowComError, ACalleeThatDoesNotVouchGivesAPlainBasicComError) {
  auto callee = orvo::testing::make_failing_callee<false>(L"Property readonly");
  CLSID unused;
  bool plain = false;
  try {
    try {
      zel::throw_com_error(callee->GetClassID(&unused), callee.get(), IID_IPersist);
    } catch (const zel::com_error&) {
      FAIL() << "caught as com_error";
    }
  } catch (const zel::basic_com_error& e) {
    plain = true;
    EXPECT_EQ(e.hr(), E_INVALIDARG);
    EXPECT_EQ(e.what(), system_text(static_cast<DWORD>(E_INVALIDARG)));
  }
  EXPECT_TRUE(plain);
  EXPECT_THROW(zel::throw_com_error(E_INVALIDARG, nullptr, IID_IPersist), zel::basic_com_error);
  EXPECT_EQ(zel::check_com_result(S_FALSE, nullptr, IID_IPersist), S_FALSE);
}

TEST(DebugBreak, WithoutADebuggerWritesItsLineAndGivesFalse) {
  orvo::testing::debugger_output output;
  EXPECT_FALSE(zel::debug_break());
  EXPECT_EQ(output.text(), "Failed to break into debugger.\n");
}

}  // namespace
