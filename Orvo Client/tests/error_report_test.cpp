// What reaches the event log when a handler fails: one record per escaped
// exception, in the words of its kind, and the status text.
#include <objbase.h>
#include <oleauto.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "comet/error.h"
#include "error_report.h"
#include "recording_sink.h"
#include "testing/failing_callee.h"
#include "zel/errors.h"

namespace {

template <class Throw>
CRecordingSink Report(Throw&& thrower) {
  CRecordingSink sink;
  guarded(sink, thrower);
  EXPECT_EQ(sink.records.size(), 1u);
  if (sink.records.empty()) sink.records.push_back({L"<none>", -1, 0});
  return sink;
}

// The system's text, as FormatMessageW gives it (line break included).
std::wstring SystemText(HRESULT hr) {
  wchar_t buffer[512];
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                 static_cast<DWORD>(hr), 0, buffer, 512, nullptr);
  return std::wstring(buffer, n);
}

std::wstring Trimmed(std::wstring text) {
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
  return text;
}

orvo::com::ptr<IErrorInfo> ErrorObject(const wchar_t* description, const wchar_t* source, const wchar_t* help_file,
                                       DWORD context) {
  orvo::com::ptr<ICreateErrorInfo> create;
  EXPECT_EQ(CreateErrorInfo(create.put()), S_OK);
  create->SetDescription(const_cast<LPOLESTR>(description));
  create->SetSource(const_cast<LPOLESTR>(source));
  if (help_file) create->SetHelpFile(const_cast<LPOLESTR>(help_file));
  create->SetHelpContext(context);
  return create.as<IErrorInfo>();
}

const std::wstring failed = L"An error occurred communicating with the Orvo System";
const HRESULT no_system_text = static_cast<HRESULT>(0xA00F1234);

TEST(ErrorReport, AServerFailureLogsItsDescriptionOrTheSystemText) {
  // A failed SetState whose server left a description.
  auto info = ErrorObject(L"The amplifier is busy", L"Orvo.Server", nullptr, 0);
  auto sink = Report([&] { throw comet::com_error(E_FAIL, info.get()); });
  EXPECT_EQ(sink.records[0].text, L"The amplifier is busy");
  EXPECT_EQ(sink.records[0].level, 3);
  EXPECT_EQ(sink.records[0].code, static_cast<HRESULT>(0x80004005));
  EXPECT_EQ(sink.status, failed);
  // Raised by the checked call of a callee that vouches for its information.
  auto callee = orvo::testing::make_failing_callee<true>(L"bad argument here");
  CLSID ignored;
  const HRESULT hr = callee->GetClassID(&ignored);
  sink = Report([&] { comet::raise(hr, callee.get(), IID_IPersist); });
  EXPECT_EQ(sink.records[0].text, L"bad argument here");
  EXPECT_EQ(sink.records[0].code, E_INVALIDARG);
  // Without a description: the system's text, else the fixed text.
  sink = Report([] { throw comet::com_error(E_OUTOFMEMORY); });
  EXPECT_EQ(sink.records[0].text, Trimmed(SystemText(E_OUTOFMEMORY)));
  sink = Report([] { throw comet::com_error(no_system_text); });
  EXPECT_EQ(sink.records[0].text, L"No detailed error message available");
  EXPECT_EQ(sink.records[0].code, no_system_text);
}

TEST(ErrorReport, AClientComErrorLogsMessageSourceAndHelp) {
  auto info = ErrorObject(L"No such page", L"Orvo.View", L"orvo.chm", 4711);
  auto sink = Report([&] { throw zel::com_error(E_INVALIDARG, info.get()); });
  EXPECT_EQ(sink.records[0].text, L"No such page - Orvo.View - See help file: orvo.chm - Help context: 4711");
  EXPECT_EQ(sink.records[0].level, 3);
  EXPECT_EQ(sink.records[0].code, E_INVALIDARG);
  EXPECT_EQ(sink.status, failed);

  info = ErrorObject(L"No such page", L"Orvo.View", nullptr, 0);
  sink = Report([&] { throw zel::com_error(E_INVALIDARG, info.get()); });
  EXPECT_EQ(sink.records[0].text, L"No such page - Orvo.View");

  const zel::com_error bare(E_ACCESSDENIED, nullptr);
  const std::string message = bare.what();
  sink = Report([&] { throw bare; });
  EXPECT_EQ(sink.records[0].text, std::wstring(message.begin(), message.end()) + L" - ");
}

TEST(ErrorReport, OtherExceptionsLogTheirMessages) {
  const zel::basic_com_error basic(E_ACCESSDENIED);
  const std::string message = basic.what();
  auto sink = Report([&] { throw basic; });
  EXPECT_EQ(sink.records[0].text, std::wstring(message.begin(), message.end()));
  EXPECT_EQ(sink.records[0].level, 3);
  EXPECT_EQ(sink.records[0].code, E_ACCESSDENIED);
  EXPECT_EQ(sink.status, failed);

  sink = Report([] { throw std::runtime_error("disk full"); });
  EXPECT_EQ(sink.records[0].text, L"disk full");
  EXPECT_EQ(sink.records[0].level, 3);
  EXPECT_EQ(sink.records[0].code, E_FAIL);
  EXPECT_EQ(sink.status, failed);

  sink = Report([] { throw 42; });
  EXPECT_EQ(sink.records[0].text, L"No detailed error message available");
  EXPECT_EQ(sink.records[0].level, 3);
  EXPECT_EQ(sink.records[0].code, E_FAIL);
  EXPECT_EQ(sink.status, failed);
}

TEST(ErrorReport, AThrownHresultLogsTheSystemTextAtItsLevel) {
  auto sink = Report([] { throw static_cast<HRESULT>(E_ACCESSDENIED); });
  EXPECT_EQ(sink.records[0].text, SystemText(E_ACCESSDENIED));
  EXPECT_EQ(sink.records[0].level, 3);
  EXPECT_EQ(sink.records[0].code, E_ACCESSDENIED);
  EXPECT_EQ(sink.status, failed);

  sink = Report([] { throw static_cast<HRESULT>(ERROR_FILE_NOT_FOUND); });
  EXPECT_EQ(sink.records[0].text, SystemText(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(sink.records[0].level, 1);
  EXPECT_EQ(sink.records[0].code, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(sink.status, L"Not connected");

  sink = Report([] { throw no_system_text; });
  EXPECT_EQ(sink.records[0].text, L"<unknown> ");
  EXPECT_EQ(sink.records[0].level, 3);
}

TEST(ErrorReport, LogTakesANullTextAsEmptyAndSetsTheStatusOnlyForFailures) {
  CRecordingSink sink;
  Log(sink, nullptr, 1, S_OK);
  EXPECT_EQ(sink.records.at(0).text, L"");
  EXPECT_EQ(sink.status, L"Not connected");
  Log(sink, L"lost", 2, E_FAIL);
  EXPECT_EQ(sink.records.at(1).text, L"lost");
  EXPECT_EQ(sink.records.at(1).level, 2);
  EXPECT_EQ(sink.status, failed);
}

TEST(ErrorReport, AFailingSinkDoesNotStopTheReporter) {
  struct CBrokenSink : CLogSink {
    void add_record(const std::wstring&, int, HRESULT) override { throw std::runtime_error("log full"); }
    void set_status_text(const std::wstring&) override { throw std::runtime_error("no status bar"); }
  } sink;
  EXPECT_NO_THROW(guarded(sink, [] { throw std::runtime_error("first"); }));
  EXPECT_NO_THROW(Log(sink, L"text", 3, E_FAIL));
}

}  // namespace
