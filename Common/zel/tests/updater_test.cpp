// The updater's command lines.
#include <gtest/gtest.h>

#include "core/updater.h"

namespace {

TEST(UpdaterCommandLine, StartsWithTheProgramNameAndOneSpace) {
  EXPECT_EQ(zel::updater_command_line(L"/silent"), L"updater.exe /silent");
  EXPECT_EQ(zel::updater_command_line(L"/checknow"), L"updater.exe /checknow");
}

TEST(UpdaterCommandLine, ConfigureNamesTheWindowInUnsignedDecimalWithNothingAfter) {
  EXPECT_EQ(zel::configure_arguments(0x1A2B4u), L"/configure 107188");
  EXPECT_EQ(zel::configure_arguments(0xFFFFFFFFu), L"/configure 4294967295");
}

}  // namespace
