// The client's command-line switches, read from whole command lines as the
// system hands them to the program.
#include "core/command_line.h"

#include <gtest/gtest.h>

using Orvo::parse_command_line;
using Orvo::program_path_end;

namespace {

const char16_t program[] = u"\"C:\\Program Files\\Orvo\\Orvo Client.exe\"";

Orvo::command_line_switches after_program(const std::u16string& arguments) {
  return parse_command_line(program + (u" " + arguments));
}

TEST(CommandLineSwitches, NoArgumentsKeepEveryDefault) {
  const auto plain = parse_command_line(program);
  EXPECT_TRUE(plain.show_splash);
  EXPECT_FALSE(plain.allow_second_instance);
  EXPECT_FALSE(plain.repair_installation);
  EXPECT_FALSE(plain.skip_data_files);
}

TEST(CommandLineSwitches, SplashIsSwitchedOffBySInEitherCaseAndByAWordBeginningWithIt) {
  for (const char16_t* argument : {u"/s", u"-S", u"/splashoff", u"-Silent"}) {
    SCOPED_TRACE(std::u16string(argument).size());
    EXPECT_FALSE(after_program(argument).show_splash);
  }
}

TEST(CommandLineSwitches, EachOtherLetterSetsItsOwnFlagOnly) {
  const auto m = after_program(u"-m");
  EXPECT_TRUE(m.allow_second_instance);
  EXPECT_FALSE(m.repair_installation || m.skip_data_files || !m.show_splash);
  const auto i = after_program(u"/I");
  EXPECT_TRUE(i.repair_installation);
  EXPECT_FALSE(i.allow_second_instance || i.skip_data_files || !i.show_splash);
  const auto b = after_program(u"-b");
  EXPECT_TRUE(b.skip_data_files);
  EXPECT_FALSE(b.allow_second_instance || b.repair_installation || !b.show_splash);
}

TEST(CommandLineSwitches, UnknownLettersAndTextWithoutDashOrSlashChangeNothing) {
  for (const char16_t* arguments : {u"-x", u"smib", u"-", u"/ b", u"-1 -? /"}) {
    const auto read = after_program(arguments);
    EXPECT_TRUE(read.show_splash);
    EXPECT_FALSE(read.allow_second_instance || read.repair_installation || read.skip_data_files);
  }
}

TEST(CommandLineSwitches, SeveralSwitchesCombineAndJoinedOnesCountEach) {
  const auto all = after_program(u"-s /M -i /B");
  EXPECT_FALSE(all.show_splash);
  EXPECT_TRUE(all.allow_second_instance && all.repair_installation && all.skip_data_files);
  // The second dash of "--b" introduces its own switch.
  EXPECT_TRUE(after_program(u"--b").skip_data_files);
  EXPECT_TRUE(after_program(u"-m/i").repair_installation);
}

TEST(CommandLineSwitches, ADashOrSlashInsideALaterArgumentIsASwitch) {
  EXPECT_TRUE(after_program(u"a\\x-b.txt").skip_data_files);
  EXPECT_TRUE(after_program(u"\"D:\\data/Mine\\p.xml\"").allow_second_instance);
}

TEST(CommandLineSwitches, TheProgramPathIsNeverReadForSwitches) {
  const auto quoted = parse_command_line(u"\"C:\\x-b\\Orvo Client.exe\"");
  EXPECT_FALSE(quoted.skip_data_files);
  const auto bare = parse_command_line(u"C:\\x-b\\y/s\\client.exe");
  EXPECT_FALSE(bare.skip_data_files);
  EXPECT_TRUE(bare.show_splash);
  const auto with_argument = parse_command_line(u"\"C:\\x-b\\Orvo Client.exe\" a\\x-b.txt");
  EXPECT_TRUE(with_argument.skip_data_files);
}

TEST(ProgramPath, QuotedPathEndsAfterItsClosingQuote) {
  EXPECT_EQ(program_path_end(u"\"C:\\a b\\c.exe\" -m"), 14u);
  EXPECT_EQ(program_path_end(u"\"C:\\a b\\c.exe\""), 14u);
  // A path whose closing quote is missing takes the whole line.
  EXPECT_EQ(program_path_end(u"\"C:\\a -b"), 8u);
  // Text glued to the closing quote already belongs to the arguments.
  EXPECT_TRUE(parse_command_line(u"\"C:\\a\"-m").allow_second_instance);
}

TEST(ProgramPath, BarePathEndsAtTheFirstBlankOrTab) {
  EXPECT_EQ(program_path_end(u"C:\\c.exe -m"), 8u);
  EXPECT_EQ(program_path_end(u"C:\\c.exe\t-m"), 8u);
  EXPECT_EQ(program_path_end(u"C:\\c.exe"), 8u);
  EXPECT_EQ(program_path_end(u""), 0u);
  // A line that begins with a blank has an empty path.
  EXPECT_EQ(program_path_end(u" -m"), 0u);
  EXPECT_TRUE(parse_command_line(u" -m").allow_second_instance);
}

}  // namespace
