#include "stand_in_forms.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/com_test.h"

using namespace orvo::testing;

namespace {
const std::wstring inproc_server = windows_path(STAND_IN_INPROC);
const std::wstring local_server = windows_path(STAND_IN_LOCAL);
}  // namespace

void register_stand_in(bool local) {
  if (local) {
    ASSERT_EQ(run_program(L"\"" + local_server + L"\" /RegServer"), 0);
  } else {
    ASSERT_EQ(regsvr32(inproc_server), 0);
  }
}

void unregister_stand_in() {
  regsvr32(inproc_server, true);
  run_program(L"\"" + local_server + L"\" /UnregServer");
}
