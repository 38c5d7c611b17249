// main() of COM tests: the whole run in the multithreaded apartment.
#include <objbase.h>

#include <gtest/gtest.h>

#include "testing/crash_report.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  orvo::testing::report_crashes();
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 2;
  int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
