#include "overlays/event_editor.h"

#include <gtest/gtest.h>

#include "calendar/zone_conversion.h"
#include "base/messages.h"

namespace kv {
namespace {

std::vector<std::string> Labels(const std::vector<RepeatChoice>& choices) {
  std::vector<std::string> out;
  for (const RepeatChoice& c : choices) out.push_back(c.category + c.label);
  return out;
}

TEST(EventEditor, RepeatListForADate) {
  // Tuesday 29 December 2026: the fifth Tuesday (no nth offer), in the month's last week.
  RepeatOffer overlay;
  EXPECT_EQ(Labels(Describe({2026, 12, 29}, overlay)),
            (std::vector<std::string>{"No", "Weekly: Every Tuesday", "Periodic: Every 'N...' days",
                                      "Monthly: Every 29th of month", "Monthly: Every last Tuesday of month",
                                      "Annually: Every December 29th", "Annually: Every last Tuesday of December",
                                      "Periodic: Every 'N...' months", "Periodic: Every 'N...' years",
                                      "Annually: Floating holiday/date", "Annually: Birthday", "Annually: Anniversary",
                                      "Every Day: Until End Date"}));
  // Saturday 21 March 2026, 15 days before Easter (5 April), as a schedule item with N known.
  RepeatOffer schedule;
  schedule.target = RepeatFor::Schedule;
  schedule.n = 3;
  schedule.jewishKinds = true;
  EXPECT_EQ(Labels(Describe({2026, 3, 21}, schedule)),
            (std::vector<std::string>{"No", "Weekly: Every Saturday", "Periodic: Every 3 days",
                                      "Monthly: Every 21st of month", "Monthly: Every 3rd Saturday of month",
                                      "Annually: Every March 21st", "Annually: Every 3rd Saturday of March",
                                      "Periodic: Every 3 months", "Periodic: Every 3 years", "Jewish: Annual Date",
                                      "Jewish: Annual Period", "Jewish: Annual Fast", "Jewish: Yahrzeit",
                                      "Jewish: Birthday", "Jewish: Rosh Chodesh"}));
  std::vector<RepeatChoice> easter = Describe({2026, 3, 21}, overlay);
  EXPECT_NE(std::find_if(easter.begin(), easter.end(), [](const RepeatChoice& c) {
              return c.kind == kKindEaster && c.label == "Every 15 days before Easter";
            }), easter.end());
  // The last day of February, counted as 28, in a leap year.
  std::vector<std::string> feb = Labels(Describe({2024, 2, 29}, overlay));
  EXPECT_NE(std::find(feb.begin(), feb.end(), "Monthly: Every last day of month"), feb.end());
  EXPECT_NE(std::find(feb.begin(), feb.end(), "Monthly: Every last Thursday of month"), feb.end());
  // Jewish mode offers only the Jewish kinds.
  RepeatOffer jewish;
  jewish.gregorianKinds = false;
  jewish.jewishKinds = true;
  std::vector<RepeatChoice> j = Describe({5787, 3, 25}, jewish);
  ASSERT_EQ(j.size(), 6u);
  EXPECT_EQ(ChosenRepeatLabel(j[3]), "Yahrzeit (J)");
  EXPECT_EQ(ChosenRepeatLabel(Describe({2026, 12, 29}, overlay)[1]), "Every Tuesday");
  EXPECT_EQ(FirstDayOfWeekOfMonth(17), 15);
}

TEST(EventEditor, ChecksInTheirOrder) {
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  EventEditorValues base;
  base.kind = kKindEveryNMonths;
  base.date = {2026, 1, 10};
  base.text = "Review";
  base.n = 5;
  base.rangeEnd = {2026, 12, 31};
  base.weight = 10;
  struct Case {
    const char* what;
    void (*change)(EventEditorValues&);
    EditorField field;
    const char* message;
  };
  const Case cases[] = {
      {"empty text", [](EventEditorValues& v) { v.text.clear(), v.offsetDays = -1; }, EditorField::Text,
       "The entry requires a title/description."},
      {"negative offset", [](EventEditorValues& v) { v.offsetDays = -1, v.timeText = "junk"; }, EditorField::Offset,
       "Offset value must be zero or greater."},
      {"bad time", [](EventEditorValues& v) { v.timeText = "25:99", v.n = 0; }, EditorField::Time, "Bad or missing time entry."},
      {"N", [](EventEditorValues& v) { v.n = 121; }, EditorField::N, "Value for 'N' must be between 1 and 120."},
      {"range", [](EventEditorValues& v) { v.rangeEnd = {2025, 12, 31}, v.weight = 0; }, EditorField::EndDate,
       "End date must be equal to or greater than starting date."},
      {"weight untimed", [](EventEditorValues& v) { v.weight = 1000; }, EditorField::Weight,
       "Value for priority must be between 1 and 999."},
      {"weight timed", [](EventEditorValues& v) { v.weight = 256, v.timeText = "9:00"; }, EditorField::Weight,
       "Value for priority must be between 1 and 255."},
  };
  for (const Case& c : cases) {
    EventEditorValues v = base;
    c.change(v);
    OverlayEvent e;
    e.description = "unchanged";
    messages.Clear();
    EXPECT_EQ(CheckEventEditor(v, e, true), c.field) << c.what;
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{c.message})) << c.what;
    EXPECT_EQ(e.description, "unchanged") << c.what;
  }
}

TEST(EventEditor, StoredValues) {
  SetCurrentZone(7);
  EventEditorValues v;
  v.kind = kKindEveryNMonths;
  v.date = {2026, 1, 10};
  v.text = "Review";
  v.n = 5;
  v.rangeEnd = {2026, 12, 31};
  v.weight = 3;
  v.above = true;
  v.offsetDays = 2;
  v.offsetBefore = true;
  v.weekendRule = 3;
  OverlayEvent e;
  ASSERT_EQ(CheckEventEditor(v, e, true), EditorField::None);
  EXPECT_EQ(e.param, 11);
  EXPECT_EQ(e.offset, -2);
  EXPECT_EQ(e.flags, kFlagAboveTimed | 3);
  EXPECT_EQ(e.weight, 2997);
  EXPECT_EQ(e.endYear, 2026);
  EXPECT_EQ(e.zone, 7);

  v.timeText = "2:30 PM";
  v.weight = 4;
  ASSERT_EQ(CheckEventEditor(v, e, false), EditorField::None);
  EXPECT_EQ(e.flags, kFlagTimed | 3);
  EXPECT_EQ(e.weight, 1440 - 870);
  EXPECT_EQ(e.sameTime, 4);

  EventEditorValues a;
  a.kind = kKindAnniversary;
  a.date = {2001, 6, 20};
  a.text = std::string(130, 'x');
  a.gifts = false;
  a.rangeOn = true;  // anniversaries take no range
  a.rangeEnd = {1990, 1, 1};
  ASSERT_EQ(CheckEventEditor(a, e, true), EditorField::None);
  EXPECT_EQ(e.param, 0);
  EXPECT_TRUE(e.accent.flags & kAccentNoGifts);
  EXPECT_EQ(e.description.size(), 100u);  // 119 less the 19 kept for the words added
  EXPECT_EQ(e.endDay, 0);
  EXPECT_EQ(e.weight, -2999);

  EventEditorValues nth;
  nth.kind = kKindMonthlyNthWeekday;
  nth.date = {2026, 12, 17};
  nth.weekday = 4;
  nth.text = "Club";
  ASSERT_EQ(CheckEventEditor(nth, e, true), EditorField::None);
  EXPECT_EQ(e.day, 15);  // the first day of the third week
  EXPECT_EQ(e.param, 4);

  EventEditorValues easter;
  easter.kind = kKindEaster;
  easter.date = {2026, 3, 21};
  easter.text = "Lent";
  ASSERT_EQ(CheckEventEditor(easter, e, true), EditorField::None);
  EXPECT_EQ(EasterOffset(e), -15);
  SetCurrentZone(0);

  EventEditorValues back = EditorValuesOf(e);
  EXPECT_EQ(back.kind, kKindEaster);
  EXPECT_EQ(back.text, "Lent");
  EXPECT_FALSE(back.above);
  EXPECT_EQ(back.weight, 999);
}

TEST(EventEditor, ModesRefuseTheOtherCalendarsEvents) {
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  OverlayEvent gregorian;
  gregorian.kind = kKindAnnual;
  OverlayEvent jewish;
  jewish.kind = kKindJewishFast;
  EXPECT_TRUE(CanEditInMode(gregorian, false));
  EXPECT_TRUE(CanEditInMode(jewish, true));
  EXPECT_FALSE(CanEditInMode(gregorian, true));
  EXPECT_EQ(messages.Shown().size(), 1u);
}

TEST(EventEditor, FloatingOffers) {
  // Tuesday 3 November 2026: the six days before, as days and as nth weekdays.
  FloatingForm f = MakeFloatingForm({2026, 11, 3});
  EXPECT_EQ(f.title, "Floating event falls in November");
  EXPECT_EQ(f.following, "on the Tuesday following the:");
  ASSERT_EQ(f.offers.size(), 2u);  // only the 1st and 2nd lie before it
  EXPECT_EQ(f.offers[0].dayLabel, "1st");
  EXPECT_EQ(f.offers[0].weekdayLabel, "1st Sunday");
  EXPECT_EQ(f.offers[1].weekdayLabel, "1st Monday");
  EXPECT_EQ(f.offers[1].startDay, 3);
  EXPECT_EQ(MakeFloatingForm({2026, 11, 26}).offers.size(), 6u);
}

}  // namespace
}  // namespace kv
