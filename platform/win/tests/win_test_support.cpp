#include "win_test_support.h"

#include "win/guard.h"

namespace orvo::testing {
namespace {
std::vector<std::string> g_entries;
void collect(const char* where, const char* what) { g_entries.push_back(std::string(where) + ": " + what); }
}  // namespace

void pump_messages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

exception_log::exception_log() {
  g_entries.clear();
  WTL::set_exception_logger(collect);
}
exception_log::~exception_log() { WTL::set_exception_logger(nullptr); }
const std::vector<std::string>& exception_log::entries() const { return g_entries; }

scratch_window::scratch_window()
    : m_hWnd(::CreateWindowExW(0, L"STATIC", L"scratch", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                               nullptr)) {}
scratch_window::~scratch_window() { ::DestroyWindow(m_hWnd); }

}  // namespace orvo::testing
