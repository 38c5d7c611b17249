// main() of COM tests: the whole run in the multithreaded apartment.
#include <objbase.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "testing/crash_report.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  orvo::testing::report_crashes();
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (FAILED(hr)) {
    std::fprintf(stderr, "CoInitializeEx failed: 0x%08lx\n", static_cast<unsigned long>(hr));
    return 2;
  }
  int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
