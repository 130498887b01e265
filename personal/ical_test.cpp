#include "personal/ical.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

#include "overlays/overlay_file.h"
#include "personal/personal_test_support.h"
#include "personal/todo.h"
#include "base/file_io.h"

namespace kv {
namespace {

std::vector<std::string> Days(const std::vector<int32_t>& days) {
  std::vector<std::string> out;
  for (int32_t d : days) {
    DateStamp s = DateOfJulianDay(d);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", s.year, s.month, s.day);
    out.push_back(buf);
  }
  return out;
}

TEST(RecurRules, ExpandAsTheStandardSays) {
  struct Case {
    const char* rule;
    DateStamp start;
    std::vector<std::string> want;
  } cases[] = {
      // Last weekday of the month.
      {"FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1;COUNT=3", {2025, 1, 31}, {"2025-01-31", "2025-02-28", "2025-03-31"}},
      {"FREQ=YEARLY;BYMONTH=11;BYDAY=4TH;COUNT=3", {2024, 11, 28}, {"2024-11-28", "2025-11-27", "2026-11-26"}},
      // Months without a 31st are passed over, not moved.
      {"FREQ=MONTHLY;BYMONTHDAY=31;COUNT=4", {2025, 1, 31}, {"2025-01-31", "2025-03-31", "2025-05-31", "2025-07-31"}},
      {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,FR;UNTIL=20250321T235959Z", {2025, 3, 3}, {"2025-03-03", "2025-03-07", "2025-03-17", "2025-03-21"}},
      {"FREQ=DAILY;UNTIL=20250103", {2025, 1, 1}, {"2025-01-01", "2025-01-02", "2025-01-03"}},
      {"FREQ=YEARLY;COUNT=3", {2024, 2, 29}, {"2024-02-29", "2028-02-29", "2032-02-29"}},
      {"FREQ=MONTHLY;BYDAY=-1SU;COUNT=2", {2025, 3, 30}, {"2025-03-30", "2025-04-27"}},
      {"FREQ=YEARLY;BYDAY=20MO;COUNT=3", {1997, 5, 19}, {"1997-05-19", "1998-05-18", "1999-05-17"}},
      // The second-last day of each month, counted from the end.
      {"FREQ=MONTHLY;BYMONTHDAY=-2;COUNT=3", {2025, 1, 30}, {"2025-01-30", "2025-02-27", "2025-03-30"}},
      // A week starting on Sunday changes which days share a week.
      {"FREQ=WEEKLY;INTERVAL=2;COUNT=4;BYDAY=TU,SU;WKST=SU", {1997, 8, 5}, {"1997-08-05", "1997-08-17", "1997-08-19", "1997-08-31"}},
      {"FREQ=WEEKLY;INTERVAL=2;COUNT=4;BYDAY=TU,SU;WKST=MO", {1997, 8, 5}, {"1997-08-05", "1997-08-10", "1997-08-19", "1997-08-24"}},
      // Never matching: only the start.
      {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30", {2025, 1, 1}, {"2025-01-01"}},
  };
  for (const Case& c : cases) {
    RecurRule rule;
    std::string why;
    ASSERT_TRUE(ParseRecurRule(c.rule, rule, why)) << c.rule << ": " << why;
    std::optional<int32_t> until;
    if (rule.until) until = JulianDayNumber(rule.until->month, rule.until->day, rule.until->year);
    int32_t first = JulianDayNumber(c.start.month, c.start.day, c.start.year);
    EXPECT_EQ(Days(ExpandRecurRule(rule, first, first + 3660, 100, until)), c.want) << c.rule;
    // Written and read again, the rule says the same.
    RecurRule again;
    ASSERT_TRUE(ParseRecurRule(FormatRecurRule(rule), again, why)) << FormatRecurRule(rule);
    EXPECT_EQ(Days(ExpandRecurRule(again, first, first + 3660, 100, until)), c.want) << FormatRecurRule(rule);
  }
}

TEST(RecurRules, RulesThisProgramCannotFollowAreRefusedWithTheReason) {
  struct Case {
    const char* rule;
    const char* why;
  } cases[] = {
      {"FREQ=HOURLY;INTERVAL=2", "repeats within a day"},
      {"FREQ=YEARLY;BYWEEKNO=20", "BYWEEKNO is not supported"},
      {"FREQ=DAILY;COUNT=2;UNTIL=20250101", "both COUNT and UNTIL"},
      {"FREQ=WEEKLY;BYDAY=1MO", "needs FREQ=MONTHLY or YEARLY"},
      {"FREQ=DAILY;INTERVAL=0", "INTERVAL=0"},
      {"INTERVAL=2", "without FREQ"},
      {"FREQ=MONTHLY;BYMONTHDAY=32", "BYMONTHDAY=32"},
      {"FREQ=DAILY;UNTIL=20250230", "UNTIL=20250230"},
      {"FREQ=MONTHLY;BYDAY=XX", "BYDAY=XX"},
  };
  for (const Case& c : cases) {
    RecurRule rule;
    std::string why;
    EXPECT_FALSE(ParseRecurRule(c.rule, rule, why)) << c.rule;
    EXPECT_NE(why.find(c.why), std::string::npos) << c.rule << " -> " << why;
  }
}

// Lines of an export without those that name the moment or the records' ids.
std::string Comparable(const std::string& text) {
  return std::regex_replace(text, std::regex("(DTSTAMP|UID):[^\r]*\r\n"), "");
}

class Ical : public test::PersonalTest {
 protected:
  std::string Export(const IcalExportOptions& options) {
    IcalExportResult r = IcalExport(options);
    EXPECT_TRUE(r.ok) << r.error;
    return r.text;
  }
  IcalImportResult Import(std::string_view text, IcalImportOptions options = {}) {
    messages.SetFallback(ScriptedMessages::Fallback::Accept);
    return IcalImport(text, options);
  }
  void FreshFolder() {
    std::string second = test::MakeTempFolder();
    others.push_back(second);
    ResetStore();
    SetDatabaseFolder(second);
    ResetSchedule();
  }
  void TearDown() override {
    for (const std::string& f : others) {
      std::error_code ignored;
      std::filesystem::remove_all(f, ignored);
    }
    test::PersonalTest::TearDown();
  }
  std::vector<std::string> others;
};

IcalExportOptions Year2025() {
  IcalExportOptions o;
  o.from = {2025, 1, 1};
  o.to = {2025, 12, 31};
  o.todo = true;
  return o;
}

TEST_F(Ical, ScheduleAndToDoSurviveExportImportExport) {
  // A weekly series with one occurrence deleted, an item with an alarm and a note, a to-do.
  SchedSaveRequest series = NewItem(2025, 3, 3, 9 * 60, 10 * 60, "Team meeting");
  series.item.record.recurKind = 2;
  series.until = {2025, 5, 5};
  messages.SetFallback(ScriptedMessages::Fallback::Accept);
  SchedSaveResult saved = SchedSave(series);
  ASSERT_TRUE(saved.ok);
  ASSERT_EQ(saved.stored, 10);
  std::optional<SchedItem> third = SchedReadItem(2025, 3, 17, SchedFindInSeries({2025, 3, 17}, saved.seriesId));
  ASSERT_TRUE(third);
  SchedSaveRequest del;
  del.item = *third;
  del.item.action = kSchedActionDelete;
  del.item.record.recurKind = 0;
  ASSERT_TRUE(SchedSave(del).ok);
  SchedSaveRequest single = NewItem(2025, 6, 1, 23 * 60, 25 * 60, "Night train; bring tickets, passport");
  single.item.record.armed = 1;
  single.item.record.alarm = 23 * 60 - 30;
  single.item.record.sound = 3;
  single.item.flag = kSchedFlagItem | kSchedFlagMonthCalendar;
  SchedSaveResult one = SchedSave(single);
  ASSERT_TRUE(one.ok);
  NoteContext note = ScheduleNoteContext(2025, 6, 1, one.ids[0], 0);
  ASSERT_TRUE(NoteSave(note, "Platform 9\r\nCoach 12"));
  ToDoForm todo = NewToDoForm({2025, 4, 1});
  todo.text = "File taxes";
  todo.activate = {2025, 3, 1};
  todo.priority = 3;
  todo.timeOfDay = 17 * 60;
  ASSERT_TRUE(ToDoSave(todo).Ok());

  std::string first = Export(Year2025());
  EXPECT_NE(first.find("RRULE:FREQ=WEEKLY;COUNT=10;BYDAY=MO\r\n"), std::string::npos) << first;
  EXPECT_NE(first.find("EXDATE:20250317T090000\r\n"), std::string::npos) << first;
  EXPECT_NE(first.find("SUMMARY:Night train\\; bring tickets\\, passport\r\n"), std::string::npos);
  EXPECT_NE(first.find("DESCRIPTION:Platform 9\\nCoach 12\r\n"), std::string::npos);
  EXPECT_NE(first.find("TRIGGER:-PT30M\r\n"), std::string::npos);
  EXPECT_NE(first.find("DTEND:20250602T010000\r\n"), std::string::npos);
  EXPECT_NE(first.find("PRIORITY:9\r\n"), std::string::npos);

  FreshFolder();
  IcalImportResult r = Import(first);
  ASSERT_TRUE(r.ok) << r.error.why;
  EXPECT_EQ(r.events, 10);
  EXPECT_EQ(r.todos, 1);
  EXPECT_TRUE(r.skipped.empty()) << r.skipped[0].line << " " << r.skipped[0].why;
  // The question comes before anything is stored, with the counts.
  bool asked = false;
  for (const std::string& t : messages.Texts())
    if (t == "Ready to import 10 events and 1 to-do items.  Proceed?") asked = true;
  EXPECT_TRUE(asked);
  EXPECT_EQ(Comparable(Export(Year2025())), Comparable(first));
}

TEST_F(Ical, AMalformedFileIsRefusedWithItsLineAndNothingIsStored) {
  std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nDTSTART:20250101T100000\r\nSUMMARY x\r\n"
                     "END:VEVENT\r\nEND:VCALENDAR\r\n";
  IcalImportResult r = Import(text);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error.line, 5);
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0],
            "This file cannot be imported (line 5: not a property line (NAME:value)).  Nothing was stored.");
  EXPECT_TRUE(ListDayOf(2025, 1, 1).empty());
  // A file of contacts is not a calendar.
  r = Import("BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\n");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error.line, 1);
}

TEST_F(Ical, CancellingStoresNothing) {
  std::string text = "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20250101T100000\nDTEND:20250101T110000\nSUMMARY:x\n"
                     "END:VEVENT\nEND:VCALENDAR\n";
  messages.Answer(MsgAnswer::Cancel);
  IcalImportResult r = IcalImport(text, {});
  EXPECT_TRUE(r.cancelled);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(ListDayOf(2025, 1, 1).empty());
}

TEST_F(Ical, ForeignShapesAreImportedOrListedWithTheirLines) {
  // Written the way widely used programs write: LF ends, folded lines, a BOM, an all-day event,
  // a rule with BYSETPOS, a changed occurrence, characters outside the single-byte set.
  std::string text =
      "\xEF\xBB\xBF"
      "BEGIN:VCALENDAR\n"                                          // 1
      "PRODID:-//Example//Planner 3.1//EN\n"                       // 2
      "VERSION:2.0\n"                                              // 3
      "BEGIN:VEVENT\n"                                             // 4
      "UID:a1\n"                                                   // 5
      "DTSTART;VALUE=DATE:20250704\n"                              // 6
      "SUMMARY:Holiday\n"                                          // 7
      "END:VEVENT\n"                                               // 8
      "BEGIN:VEVENT\n"                                             // 9
      "UID:b2\n"                                                   // 10
      "DTSTART:20250131T080000\n"                                  // 11
      "DURATION:PT30M\n"                                           // 12
      "RRULE:FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1;COUNT=3\n"  // 13
      "SUMMARY:Month-end close with Zo\xC3\xAB and \xE6\x97\xA5\xE6\x9C\xAC\n"  // 14
      "  team (finance)\n"                                         // 15
      "END:VEVENT\n"                                               // 16
      "BEGIN:VEVENT\n"                                             // 17
      "UID:c3\n"                                                   // 18
      "DTSTART:20250106T100000\n"                                  // 19
      "DTEND:20250106T103000\n"                                    // 20
      "RRULE:FREQ=WEEKLY;UNTIL=20250127T100000\n"                  // 21
      "SUMMARY:Stand-up\n"                                         // 22
      "X-UNKNOWN-PROPERTY;X-PARAM=1:ignored\n"                     // 23
      "END:VEVENT\n"                                               // 24
      "BEGIN:VEVENT\n"                                             // 25
      "UID:c3\n"                                                   // 26
      "RECURRENCE-ID:20250113T100000\n"                            // 27
      "DTSTART:20250113T140000\n"                                  // 28
      "DTEND:20250113T143000\n"                                    // 29
      "SUMMARY:Stand-up (moved)\n"                                 // 30
      "END:VEVENT\n"                                               // 31
      "BEGIN:VEVENT\n"                                             // 32
      "DTSTART;TZID=Mars/Olympus:20250201T100000\n"                // 33
      "SUMMARY:Elsewhere\n"                                        // 34
      "END:VEVENT\n"                                               // 35
      "BEGIN:VEVENT\n"                                             // 36
      "DTSTART:20250202T100000\n"                                  // 37
      "RRULE:FREQ=HOURLY\n"                                        // 38
      "SUMMARY:Hourly\n"                                           // 39
      "END:VEVENT\n"                                               // 40
      "END:VCALENDAR\n";
  IcalImportResult r = Import(text);
  ASSERT_TRUE(r.ok) << r.error.why;
  // 3 month ends + 4 stand-ups of which 1 moved (3 + the moved one).
  EXPECT_EQ(r.events, 3 + 3 + 1);
  EXPECT_EQ(r.lostCharacters, 2);
  EXPECT_EQ(r.shortened, 1);
  std::vector<std::pair<int, std::string>> skipped;
  for (const ExchangeSkip& s : r.skipped) skipped.emplace_back(s.line, s.why);
  EXPECT_EQ(skipped, (std::vector<std::pair<int, std::string>>{
                         {4, "an all-day event goes into an overlay: name one to import it"},
                         {33, "unknown time zone \"Mars/Olympus\""},
                         {38, "RRULE FREQ=HOURLY repeats within a day"}}));
  std::vector<SchedListEntry> feb = ListDayOf(2025, 2, 28);
  ASSERT_EQ(feb.size(), 1u);
  EXPECT_EQ(feb[0].title, "Month-end close with Zo\xEB and ?? team (f");  // 39 characters
  EXPECT_TRUE(ListDayOf(2025, 1, 13).size() == 1 && ListDayOf(2025, 1, 13)[0].title == "Stand-up (moved)");
  // The stand-ups are one series: the weekly rule fits the schedule's own.
  std::vector<SchedListEntry> jan20 = ListDayOf(2025, 1, 20);
  ASSERT_EQ(jan20.size(), 1u);
  std::optional<SchedItem> item = SchedReadItem(2025, 1, 20, jan20[0].id);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->record.recurKind, 2);
  EXPECT_NE(item->record.seriesId, 0u);
  EXPECT_TRUE(ListDayOf(2025, 2, 3).empty());  // after UNTIL
}

TEST_F(Ical, ConflictsWithStoredOrImportedItemsAreListedNotStored) {
  PutItem(2025, 5, 6, 10 * 60, 11 * 60, "Dentist");
  PutItem(2025, 5, 5, 23 * 60, 25 * 60, "Night flight");  // reaches 01:00 of the 6th
  std::string text =
      "BEGIN:VCALENDAR\n"
      "BEGIN:VEVENT\nDTSTART:20250506T103000\nDTEND:20250506T113000\nSUMMARY:Overlaps\nEND:VEVENT\n"      // 2
      "BEGIN:VEVENT\nDTSTART:20250506T110000\nDTEND:20250506T120000\nSUMMARY:Touches\nEND:VEVENT\n"      // 7
      "BEGIN:VEVENT\nDTSTART:20250506T003000\nDTEND:20250506T010000\nSUMMARY:Too early\nEND:VEVENT\n"    // 12
      "BEGIN:VEVENT\nDTSTART:20250506T113000\nDTEND:20250506T114500\nSUMMARY:Twice\nEND:VEVENT\n"        // 17
      "BEGIN:VEVENT\nDTSTART:20250506T150000\nSUMMARY:No duration\nEND:VEVENT\n"                          // 22
      "END:VCALENDAR\n";
  IcalImportResult r = Import(text);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.events, 2);
  std::vector<std::pair<int, std::string>> skipped;
  for (const ExchangeSkip& s : r.skipped) skipped.emplace_back(s.line, s.why);
  EXPECT_EQ(skipped, (std::vector<std::pair<int, std::string>>{
                         {2, "the occurrence on 2025-05-06 conflicts with an item already in the schedule"},
                         {12, "the occurrence on 2025-05-06 conflicts with an item already in the schedule"},
                         {17, "the occurrence on 2025-05-06 conflicts with an item already in the schedule"}}));
  std::vector<std::string> titles;
  for (const SchedListEntry& e : ListDayOf(2025, 5, 6)) titles.push_back(e.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"Dentist", "Touches", "No duration"}));
}

TEST_F(Ical, OverlayEventsComeBackAsTheyWereWithRulesOrDates) {
  std::string path = folder + "/Holidays.kov";
  OverlayImage image;
  image.header.accent.highlight = 1;
  image.header.accent.flags = kAccentTextColour;
  image.header.accent.textColour = 0x0000FF;
  auto ev = [](int kind, int month, int day, int param, const char* text) {
    OverlayEvent e;
    e.kind = static_cast<uint16_t>(kind);
    e.month = static_cast<uint16_t>(month);
    e.day = static_cast<uint16_t>(day);
    e.param = static_cast<uint16_t>(param);
    e.description = text;
    e.flags = kFlagBelowTimed;
    e.weight = kBelowWeightBase - 999;
    return e;
  };
  image.events.push_back(ev(kKindAnnual, 12, 25, 0, "Christmas"));
  OverlayEvent july = ev(kKindAnnual, 7, 4, 0, "Independence Day (observed)");
  july.flags |= 3;  // Saturday to Friday, Sunday to Monday: only a list of dates says that
  july.accent.highlight = 1;
  image.events.push_back(july);
  image.events.push_back(ev(kKindAnnualNthWeekday, 11, 22, 4, "Thanksgiving"));
  image.events.push_back(ev(kKindAnnualLastWeekday, 5, 25, 1, "Memorial Day"));
  OverlayEvent easter = ev(kKindEaster, 0, 0, 0, "Good Friday");
  easter.endYear = -2;
  image.events.push_back(easter);
  ASSERT_TRUE(WriteFileReplacing(path, SerializeOverlay(image)));

  IcalExportOptions o;
  o.schedule = false;
  o.overlayPath = path;
  o.firstYear = 2000;
  o.lastYear = 2040;
  IcalExportResult out = IcalExport(o);
  ASSERT_TRUE(out.ok);
  EXPECT_EQ(out.overlayEvents, 5);
  EXPECT_EQ(out.overlayAsDates, 2);  // the weekend move and Easter
  EXPECT_NE(out.text.find("RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=4TH\r\n"), std::string::npos);
  EXPECT_NE(out.text.find("RRULE:FREQ=YEARLY;BYMONTH=5;BYDAY=-1MO\r\n"), std::string::npos);
  EXPECT_NE(out.text.find("RDATE;VALUE=DATE:"), std::string::npos);

  IcalImportOptions in;
  in.overlayPath = folder + "/Back.kov";
  IcalImportResult r = Import(out.text, in);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.overlayEvents, 5);
  OverlayImage back;
  ASSERT_EQ(ReadOverlayFile(in.overlayPath, back), kOverlayLoaded);
  EXPECT_EQ(back.header.accent, image.header.accent);
  SortForSave(image.events);
  EXPECT_EQ(back.events, image.events);

  // Moved to the 26th in another program: the new date wins over the stored record.
  std::string moved = std::regex_replace(out.text, std::regex("DTSTART;VALUE=DATE:20001225"), "DTSTART;VALUE=DATE:20001226");
  moved = std::regex_replace(moved, std::regex("BYMONTH=12;BYMONTHDAY=25"), "BYMONTH=12;BYMONTHDAY=26");
  ASSERT_NE(moved, out.text);
  in.overlayPath = folder + "/Moved.kov";
  r = Import(moved, in);
  ASSERT_EQ(r.skipped.size(), 1u);
  EXPECT_NE(r.skipped[0].why.find("changed in another program"), std::string::npos);
  OverlayImage third;
  ASSERT_EQ(ReadOverlayFile(in.overlayPath, third), kOverlayLoaded);
  for (const OverlayEvent& e : third.events)
    if (e.description == "Christmas") {
      EXPECT_EQ(e.kind, kKindAnnual);
      EXPECT_EQ(e.day, 26);
    }
}

TEST_F(Ical, ForeignAllDayRulesBecomeOverlayRulesWhenTheyFit) {
  std::string text =
      "BEGIN:VCALENDAR\n"
      "BEGIN:VEVENT\nDTSTART;VALUE=DATE:20250310\nDTEND;VALUE=DATE:20250311\nRRULE:FREQ=YEARLY\nSUMMARY:Birthday\nEND:VEVENT\n"
      "BEGIN:VEVENT\nDTSTART;VALUE=DATE:20250106\nRRULE:FREQ=MONTHLY;BYDAY=1MO;COUNT=6\nSUMMARY:Board\nEND:VEVENT\n"
      "BEGIN:VEVENT\nDTSTART;VALUE=DATE:20250801\nDTEND;VALUE=DATE:20250815\nSUMMARY:Vacation\nEND:VEVENT\n"
      "BEGIN:VEVENT\nDTSTART;VALUE=DATE:20250103\nRRULE:FREQ=WEEKLY;BYDAY=FR,MO;COUNT=4\nSUMMARY:Gym\nEND:VEVENT\n"
      "END:VCALENDAR\n";
  IcalImportOptions in;
  in.overlayPath = folder + "/Mine.kov";
  IcalImportResult r = Import(text, in);
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.skipped.empty());
  OverlayImage back;
  ASSERT_EQ(ReadOverlayFile(in.overlayPath, back), kOverlayLoaded);
  std::map<std::string, std::vector<int>> kinds;
  for (const OverlayEvent& e : back.events) kinds[e.description].push_back(e.kind);
  EXPECT_EQ(kinds["Birthday"], std::vector<int>{kKindAnnual});
  EXPECT_EQ(kinds["Board"], std::vector<int>{kKindMonthlyNthWeekday});
  EXPECT_EQ(kinds["Vacation"], std::vector<int>{kKindEveryDay});
  EXPECT_EQ(kinds["Gym"], (std::vector<int>{kKindOnce, kKindOnce, kKindOnce, kKindOnce}));
  for (const OverlayEvent& e : back.events)
    if (e.description == "Board") {
      EXPECT_EQ(MakeMinuteKey(e.endYear, e.endMonth, e.endDay), MakeMinuteKey(2025, 6, 2));
    }
}

}  // namespace
}  // namespace kv
