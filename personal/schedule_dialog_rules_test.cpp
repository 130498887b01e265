#include "personal/schedule_dialog_rules.h"

#include <gtest/gtest.h>

#include "base/messages.h"

namespace kv {
namespace {

TEST(SchedDialogTimes, EndAndAlarmFollowTheStart) {
  SchedTimes t = SchedNewItemTimes(std::nullopt, 6, 5);
  EXPECT_EQ(t.start, 360);
  EXPECT_EQ(t.end, 420);
  EXPECT_EQ(t.alarm, 355);
  t = SchedNewItemTimes(23 * 60 + 30, 6, 5);
  EXPECT_EQ(t.end, 30);  // wraps to the next day's early minutes

  t = SchedNewItemTimes(600, 6, 15);
  SchedSwitchAlarm(t, true);
  EXPECT_EQ(t.alarm, 585);
  SchedSetAlarmTime(t, 540);
  EXPECT_EQ(t.lead, 60);
  SchedMoveStart(t, 23 * 60);
  EXPECT_EQ(t.end, 23 * 60 + 60 - 1440);  // the duration kept modulo 1440
  EXPECT_EQ(t.alarm, 22 * 60);
  SchedMoveStart(t, 30);
  EXPECT_EQ(t.end, 90);
  EXPECT_EQ(t.alarm, -30);  // on the day before
}

TEST(SchedDialogValidation, ChecksRunInOrderWithMessageAndFocus) {
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  const SchedDialogInput good{.start = 540, .end = 600, .alarm = 530, .alarmOn = true, .date = DateStamp{2025, 3, 14},
                              .until = DateStamp{2025, 6, 1}, .count = 10, .title = "Walk"};
  struct Case {
    const char* name;
    void (*change)(SchedDialogInput&);
    const char* message;
    SchedField focus;
    SchedTab tab;
  } cases[] = {
      {"start", [](SchedDialogInput& in) { in.start.reset(); in.title.clear(); },
       "Bad value entered at cursor position, please correct.", SchedField::Start, SchedTab::Event},
      {"end", [](SchedDialogInput& in) { in.end = 1440; }, "Bad value entered at cursor position, please correct.",
       SchedField::End, SchedTab::Event},
      {"alarm", [](SchedDialogInput& in) { in.alarm.reset(); }, "Bad value entered at cursor position, please correct.",
       SchedField::AlarmTime, SchedTab::Alarm},
      {"date", [](SchedDialogInput& in) { in.date = DateStamp{2025, 2, 29}; },
       "Bad value entered at cursor position, please correct.", SchedField::Date, SchedTab::Event},
      {"until", [](SchedDialogInput& in) { in.recurKind = 2; in.until.reset(); },
       "Bad value entered at cursor position, please correct.", SchedField::Until, SchedTab::Event},
      {"late alarm", [](SchedDialogInput& in) { in.alarm = 545; in.title.clear(); },
       "Alarm cannot be later than start time!", SchedField::AlarmTime, SchedTab::Alarm},
      {"N", [](SchedDialogInput& in) { in.recurKind = 3; in.count = 121; }, "Value for 'N' must be between 1 and 120.",
       SchedField::Count, SchedTab::Event},
      {"N zero", [](SchedDialogInput& in) { in.recurKind = 13; in.count = 0; },
       "Value for 'N' must be between 1 and 120.", SchedField::Count, SchedTab::Event},
      {"title", [](SchedDialogInput& in) { in.title.clear(); }, "The entry requires a title/description.",
       SchedField::Title, SchedTab::Event},
  };
  for (const Case& c : cases) {
    messages.Clear();
    SchedDialogInput in = good;
    c.change(in);
    SchedValidation v = SchedValidate(in);
    EXPECT_FALSE(v.ok) << c.name;
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{c.message}) << c.name;
    EXPECT_EQ(v.focus, c.focus) << c.name;
    EXPECT_EQ(v.tab, c.tab) << c.name;
  }
  // An end at or before the start means the next day, and then the alarm is not compared.
  messages.Clear();
  SchedDialogInput in = good;
  in.end = 540;
  in.alarm = 545;
  SchedValidation v = SchedValidate(in);
  EXPECT_TRUE(v.ok);
  EXPECT_EQ(v.end, 1980);
  in.recurKind = 2;  // a weekly series needs no N
  in.count.reset();
  EXPECT_TRUE(SchedValidate(in).ok);
  EXPECT_TRUE(messages.Texts().empty());
}

TEST(SchedSettingsPage, HoursOnBothClocksAndTheAlarmRange) {
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  SchedSettingsInput h12{.clock24 = false, .initialHour = 8, .startHour = 12, .endHour = 9, .defaultAlarm = -5};
  SchedSettingsResult r = SchedCheckSettings(h12);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.initialHour, 8);
  EXPECT_EQ(r.startHour, 0);
  EXPECT_EQ(r.endHour, 21);
  EXPECT_EQ(r.alarmLead, 5);
  h12.initialPm = true;
  h12.endHour = 12;
  r = SchedCheckSettings(h12);
  EXPECT_EQ(r.initialHour, 20);
  EXPECT_EQ(r.endHour, 12);
  h12.initialHour = 12;
  EXPECT_EQ(SchedCheckSettings(h12).initialHour, 12);  // 12 PM is noon

  struct Case {
    bool clock24;
    int initial, start, end, alarm;
    SchedSettingsField focus;
    const char* message;
  } cases[] = {
      {true, 24, 6, 21, -5, SchedSettingsField::InitialHour, "Bad or missing time entry."},
      {false, 0, 6, 9, -5, SchedSettingsField::InitialHour, "Bad or missing time entry."},
      {false, 8, 13, 9, -5, SchedSettingsField::StartHour, "Bad or missing time entry."},
      {true, 8, 6, -1, -5, SchedSettingsField::EndHour, "Bad or missing time entry."},
      {true, 8, 6, 21, -241, SchedSettingsField::DefaultAlarm, "Reminder alarm range is 0 to -240 minutes."},
      {true, 8, 6, 21, 5, SchedSettingsField::DefaultAlarm, "Reminder alarm range is 0 to -240 minutes."},
  };
  for (const Case& c : cases) {
    messages.Clear();
    SchedSettingsResult res = SchedCheckSettings(
        {.clock24 = c.clock24, .initialHour = c.initial, .startHour = c.start, .endHour = c.end, .defaultAlarm = c.alarm});
    EXPECT_FALSE(res.ok);
    EXPECT_EQ(res.focus, c.focus);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{c.message});
  }
}

}  // namespace
}  // namespace kv
