#include "error_report.h"

#include <exception>

#include "comet/error.h"
#include "zel/errors.h"

const wchar_t* const error_status_text = L"An error occurred communicating with the Orvo System";

namespace {

const wchar_t* const no_detail = L"No detailed error message available";

// The standard exceptions' narrow messages, in the thread's code page.
std::wstring widen(const char* text) {
  if (!text || !*text) return std::wstring();
  const int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
  if (length <= 1) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, wide.data(), length);
  wide.resize(static_cast<std::size_t>(length) - 1);
  return wide;
}

// The system's text for a code (at most 512 characters, as the system
// gives it); "<unknown> " when it has none.
std::wstring system_text(HRESULT hr) {
  wchar_t buffer[512];
  const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(hr), 0, buffer, 512, nullptr);
  return length ? std::wstring(buffer, length) : std::wstring(L"<unknown> ");
}

// The server's description; without one the system's text for the code.
std::wstring server_text(const comet::com_error& e) {
  if (IErrorInfo* info = e.error_info()) {
    comet::bstr_t text;
    if (SUCCEEDED(info->GetDescription(text.out())) && !text.empty()) return text.w_str();
  }
  const std::wstring text = comet::system_message(e.hr());
  return text.empty() ? std::wstring(no_detail) : text;
}

std::wstring zel_text(const zel::com_error& e) {
  std::wstring text = widen(e.what()) + L" - " + e.source().w_str();
  const comet::bstr_t help_file = e.help_file();
  if (!help_file.empty())
    text += L" - See help file: " + help_file.w_str() + L" - Help context: " + std::to_wstring(e.help_context());
  return text;
}

void report(CLogSink& sink, const std::wstring& text, int level, HRESULT code, bool status) {
  sink.add_record(text, level, code);
  if (status) sink.set_status_text(error_status_text);
}

}  // namespace

void Log(CLogSink& sink, const wchar_t* text, int level, HRESULT code) noexcept {
  try {
    report(sink, text ? text : L"", level, code, code < 0);
  } catch (...) {
  }
}

void report_current_exception(CLogSink& sink) noexcept {
  try {
    try {
      throw;
    } catch (const comet::com_error& e) {
      report(sink, server_text(e), log_error, e.hr(), true);
    } catch (const zel::com_error& e) {
      report(sink, zel_text(e), log_error, e.hr(), true);
    } catch (const zel::basic_com_error& e) {
      report(sink, widen(e.what()), log_error, e.hr(), true);
    } catch (const std::exception& e) {
      report(sink, widen(e.what()), log_error, E_FAIL, true);
    } catch (HRESULT hr) {
      report(sink, system_text(hr), hr < 0 ? log_error : log_information, hr, hr < 0);
    } catch (...) {
      report(sink, no_detail, log_error, E_FAIL, true);
    }
  } catch (...) {
    // A sink that fails cannot be told about it.
  }
}
