// The event log's rules, natively; run again under a comma-decimal locale,
// since counts, indexes and codes become text.
#include <gtest/gtest.h>

#include <clocale>
#include <deque>
#include <locale>

#include "core/event_log.h"

using namespace Orvo;

namespace {

log_time at(int h, int m, int s) {
  log_time t;
  t.year = 2026;
  t.month = 12;
  t.day = 9;
  t.hour = static_cast<std::uint16_t>(h);
  t.minute = static_cast<std::uint16_t>(m);
  t.second = static_cast<std::uint16_t>(s);
  return t;
}

std::u16string hh_mm_ss(const log_time& t) {
  auto two = [](int v) {
    return std::u16string{static_cast<char16_t>(u'0' + v / 10), static_cast<char16_t>(u'0' + v % 10)};
  };
  return two(t.hour) + u":" + two(t.minute) + u":" + two(t.second);
}

// A clock that hands out the given times in turn (then the last again).
struct scripted_clock {
  std::deque<log_time> times;
  log_time operator()() {
    log_time t = times.front();
    if (times.size() > 1) times.pop_front();
    return t;
  }
};

std::vector<std::u16string> texts(const event_log& log) {
  std::vector<std::u16string> out;
  for (const log_record& r : log.records()) out.push_back(r.text);
  return out;
}

event_log with_events(int events, bool& asked) {
  event_log log(scripted_clock{{at(8, 0, 0)}});
  log.m_event_logging = true;
  log.add(u"first", level_information, 0);
  for (int i = 0; i < events; ++i) log.add(u"OnChange", level_event, 0);
  log.add(u"last", level_warning, 0);
  asked = false;
  return log;
}

}  // namespace

TEST(EventLogTexts, LevelNamesAndUnknownLevels) {
  EXPECT_EQ(type_name(0), u"Event");
  EXPECT_EQ(type_name(1), u"Information");
  EXPECT_EQ(type_name(2), u"Warning");
  EXPECT_EQ(type_name(3), u"Error");
  EXPECT_EQ(type_name(7), u"Unknown");
  EXPECT_EQ(type_name(-1), u"Unknown");
}

TEST(EventLogTexts, CodesAsTheCRuntimeWritesThem) {
  EXPECT_EQ(code_text(0), u"00000000");
  EXPECT_EQ(code_text(1), u"0x000001");
  EXPECT_EQ(code_text(0x102), u"0x000102");
  EXPECT_EQ(code_text(0x1234567), u"0x1234567");
  EXPECT_EQ(code_text(static_cast<std::int32_t>(0x80004005)), u"0x80004005");
  EXPECT_EQ(code_text(static_cast<std::int32_t>(0x8007000E)), u"0x8007000e");
}

TEST(EventLogTexts, FilterLevelFromTheRadioButtons) {
  EXPECT_EQ(filter_level_of(true, true, true, true), 0);
  EXPECT_EQ(filter_level_of(false, true, true, false), 1);
  EXPECT_EQ(filter_level_of(false, false, true, true), 2);
  EXPECT_EQ(filter_level_of(false, false, false, true), 3);
  EXPECT_EQ(filter_level_of(false, false, false, false), 0);
}

TEST(EventLogAdd, LineBreaksBecomeOneBlankEach) {
  event_log log(scripted_clock{{at(9, 0, 0)}});
  log.add(u"x\n\r\ny", level_information, 0);
  EXPECT_EQ(log.records().at(0).text, u"x  y");
}

TEST(EventLogAdd, RecordsCarryTheClocksTimeLevelAndCode) {
  event_log log(scripted_clock{{at(9, 5, 7), at(9, 5, 8)}});
  EXPECT_EQ(log.add(u"a", level_warning, 5), 0u);
  EXPECT_EQ(log.add(u"b", 9, -1), 1u);
  EXPECT_EQ(hh_mm_ss(log.records()[0].time), u"09:05:07");
  EXPECT_EQ(hh_mm_ss(log.records()[1].time), u"09:05:08");
  EXPECT_EQ(log.records()[1].level, 9);
  EXPECT_EQ(log.records()[1].code, -1);
}

TEST(EventLogAdd, EventsAreKeptAndCountedOnlyWhileEventLoggingIsOn) {
  event_log log(scripted_clock{{at(9, 0, 0)}});
  std::vector<std::size_t> shown;
  log.m_on_added = [&](std::size_t i) { shown.push_back(i); };
  EXPECT_FALSE(log.add(u"OnChange", level_event, 0));
  EXPECT_TRUE(log.records().empty());
  EXPECT_EQ(log.m_event_count, 0);
  log.m_event_logging = true;
  EXPECT_EQ(log.add(u"OnChange", level_event, 0), 0u);
  EXPECT_EQ(log.m_event_count, 1);
  EXPECT_EQ(shown, std::vector<std::size_t>{0});
}

TEST(EventLogAdd, AttentionIsAskedOnceUntilServed) {
  event_log log(scripted_clock{{at(9, 0, 0)}});
  log.add(u"partial", level_warning, 1);
  EXPECT_FALSE(log.m_attention);
  log.add(u"failed", level_error, -1);
  EXPECT_TRUE(log.m_attention);
  log.add(u"failed again", level_error, -1);
  EXPECT_TRUE(log.m_attention);
  log.m_attention = false;  // served by the frame
  log.add(u"warning", level_warning, 0);
  EXPECT_FALSE(log.m_attention);
  log.add(u"failed a third time", level_error, -1);
  EXPECT_TRUE(log.m_attention);
}

TEST(EventLogAdd, AttentionFollowsItsLevel) {
  event_log log(scripted_clock{{at(9, 0, 0)}});
  log.m_attention_level = 2;
  log.add(u"partial", level_warning, 1);
  EXPECT_TRUE(log.m_attention);
}

TEST(EventLogErase, ClearRemovesEveryRecordAndTheEventCount) {
  bool asked;
  event_log log = with_events(2, asked);
  log.clear();
  EXPECT_TRUE(log.records().empty());
  EXPECT_EQ(log.m_event_count, 0);
}

TEST(EventLogErase, SwitchingOffAndAnsweringYesErasesTheEventsInOrder) {
  bool asked;
  event_log log = with_events(3, asked);
  int erasures = 0;
  log.m_on_erased = [&] { ++erasures; };
  log.set_event_logging(false, [&](std::int32_t count) {
    EXPECT_EQ(count, 3);
    return asked = true;
  });
  EXPECT_TRUE(asked);
  EXPECT_EQ(erasures, 1);
  EXPECT_EQ(texts(log), (std::vector<std::u16string>{u"first", u"last", u"3 records of type 'Event' deleted",
                                                     u"Event logging disabled"}));
  EXPECT_EQ(log.records()[2].level, level_information);
  EXPECT_EQ(log.records()[3].level, level_information);
  EXPECT_EQ(log.records()[3].code, 0);
  EXPECT_EQ(log.m_event_count, 0);
  EXPECT_FALSE(log.m_event_logging);
}

TEST(EventLogErase, AnsweringNoKeepsTheEventsCounted) {
  bool asked;
  event_log log = with_events(3, asked);
  log.set_event_logging(false, [&](std::int32_t) {
    asked = true;
    return false;
  });
  EXPECT_TRUE(asked);
  EXPECT_EQ(log.records().size(), 6u);
  EXPECT_EQ(log.records().back().text, u"Event logging disabled");
  EXPECT_EQ(log.m_event_count, 3);
}

TEST(EventLogErase, NoQuestionWithoutEventsOrWhenSwitchedOn) {
  bool asked;
  event_log log = with_events(0, asked);
  auto ask = [&](std::int32_t) { return asked = true; };
  log.set_event_logging(false, ask);
  log.set_event_logging(true, ask);
  EXPECT_FALSE(asked);
  EXPECT_TRUE(log.m_event_logging);
  EXPECT_EQ(log.records().back().text, u"Event logging enabled");
  EXPECT_EQ(log.records().back().level, level_information);
}

class EventLogView : public ::testing::Test {
 protected:
  EventLogView() : log(scripted_clock{{at(9, 5, 7), at(9, 5, 8), at(9, 5, 9), at(23, 59, 59), at(0, 0, 0)}}) {
    log.m_event_logging = true;
    log.add(u"OnChange", level_event, 0);
    log.add(u"Connected", level_information, 0);
    log.add(u"Partial\napplication", level_warning, 1);
    log.add(u"Failed\r\nretry", level_error, static_cast<std::int32_t>(0x80004005));
    log.add(u"odd", 7, 0x102);
  }
  event_log log;
};

TEST_F(EventLogView, CopyOfErrorsAndAbove) {
  log.m_filter_level = filter_level_of(false, false, false, true);
  EXPECT_EQ(
      log.copy_text(hh_mm_ss),
      std::u16string(u"23:59:59, Failed retry, Error, 0x80004005\r\n00:00:00, odd, Unknown, 0x000102\r\n") + u'\0');
}

TEST_F(EventLogView, CopyOfInformationAndAbove) {
  log.m_filter_level = filter_level_of(false, true, false, false);
  const std::u16string text = log.copy_text(hh_mm_ss);
  const std::u16string head =
      u"09:05:08, Connected, Information, 00000000\r\n09:05:09, Partial application, Warning, 0x000001\r\n";
  EXPECT_EQ(text, head + u"23:59:59, Failed retry, Error, 0x80004005\r\n00:00:00, odd, Unknown, 0x000102\r\n" + u'\0');
}

TEST_F(EventLogView, StatusLinesCountShownAndHiddenRecords) {
  log.m_filter_level = 2;
  EXPECT_EQ(log.status_line_1(), u"Messages available: 5.");
  EXPECT_EQ(log.status_line_2(), u"Messages hidden by filter settings: 2.");
  log.m_filter_level = 0;
  EXPECT_EQ(log.status_line_2(), u"All messages are displayed.");
  log.clear();
  EXPECT_EQ(log.status_line_1(), u"No messages are available.");
  EXPECT_EQ(log.status_line_2(), u"");
  EXPECT_EQ(log.copy_text(hh_mm_ss), std::u16string(1, u'\0'));
}

TEST_F(EventLogView, ColumnTextsOfARecord) {
  EXPECT_EQ(log.column_text(3, 0, hh_mm_ss), u"23:59:59");
  EXPECT_EQ(log.column_text(3, 1, hh_mm_ss), u"3");
  EXPECT_EQ(log.column_text(3, 2, hh_mm_ss), u"Failed retry");
  EXPECT_EQ(log.column_text(3, 3, hh_mm_ss), u"0x80004005");
}

int main(int argc, char** argv) {
  // The environment's locale, so that a comma-decimal run means something.
  std::setlocale(LC_ALL, "");
  std::locale::global(std::locale(""));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
