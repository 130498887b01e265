#include "personal/search_sources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "calendar/date_format.h"
#include "overlays/overlay_file.h"
#include "overlays/overlay_set.h"
#include "personal/notes.h"
#include "personal/phone.h"
#include "personal/schedule.h"
#include "personal/todo.h"
#include "personal/personal_test_support.h"
#include "personal/search_test_support.h"
#include "resources/strings.h"
#include "base/settings.h"
#include "store/container.h"
#include "store/todo_file.h"

namespace kv {
namespace {

using test::D;

class StoreSearchTest : public test::PersonalTest {
 protected:
  void SetUp() override {
    PersonalTest::SetUp();
    ResetOverlays();
    SetSettingsStore(&settings_);
  }
  void TearDown() override {
    ResetOverlays();
    SetSettingsStore(nullptr);
    PersonalTest::TearDown();
  }
  // Saves a note for its owner as the notes window does; its id.
  static uint16_t Noted(NoteContext owner, const std::string& text) {
    EXPECT_TRUE(NoteSave(owner, text));
    return owner.noteId;
  }
  std::string Hits() const { return test::SearchHits(results_); }
  SearchOutcome Find(const char* text, uint16_t areas, DateStamp from, DateStamp thru) {
    SearchRequest rq;
    rq.text = text;
    rq.areas = areas;
    rq.range = SearchRange{from, thru};
    return RunSearch(rq, sources_, results_);
  }

  MemorySettings settings_;
  StoreSearchSources sources_;
  std::vector<SearchResult> results_;
};

TEST_F(StoreSearchTest, ScheduleAndNotesAcrossTheYearEndSkippingMonthsWithoutFiles) {
  PutItem(2025, 12, 10, 540, 600, "Dentist early");  // before the range
  uint16_t late = PutItem(2025, 12, 24, 900, 960, "Call the dentist");
  Noted(ScheduleNoteContext(2025, 12, 24, late, 0), "see the dentist");
  uint16_t early = PutItem(2025, 12, 24, 480, 540, "Dentist");  // listed before the later item of the day
  uint16_t eve = Noted(DayNoteContext(2025, 12, 31), "New Year's Eve at the dentist's");
  // No file for January; February's notes on the range's last day and after it.
  uint16_t first = Noted(DayNoteContext(2026, 2, 1), "dentist");
  Noted(DayNoteContext(2026, 2, 2), "dentist");

  EXPECT_EQ(Find("dentist", kAreaSchedule | kAreaScheduleNotes | kAreaGeneralNotes, D(2025, 12, 20), D(2026, 2, 1)),
            SearchOutcome::Found);
  EXPECT_EQ(Hits(), FormatText("1/2025-12-24/%u/0/Dentist|1/2025-12-24/%u/9/Call the dentist|", early, late) +
                        FormatText("5/2025-12-24/%u/8/", late) + FormatLongDate(12, 24, 2025) + "|" +
                        FormatText("8/2025-12-31/%u/22/New Year's Eve at the dentist's|", eve) +
                        FormatText("8/2026-2-1/%u/0/dentist|", first));
  EXPECT_EQ(results_[1].date.hour, 15);
  EXPECT_FALSE(std::filesystem::exists(MonthFilePath(MonthKey(2026, 1))));  // reading created nothing
  EXPECT_FALSE(DbIsOpen());
}

TEST_F(StoreSearchTest, PhonebookToDoAndTheirNotes) {
  PhoneFields person, company;
  person[kPhoneCategory] = "Doctors", person[kPhoneLast] = "Smith", person[kPhoneFirst] = "John";
  person[kPhoneSalutation] = "Dr.", person[kPhoneAddress] = "Dentist Street 1";
  company[kPhoneCategory] = "Shops", company[kPhoneCompany] = "ACME";
  PhoneEntry entry{};
  PhoneEntryRef a, b;
  ASSERT_TRUE(BuildPhoneEntry(person, entry) && PhoneStoreEntry(entry, a));
  ASSERT_TRUE(BuildPhoneEntry(company, entry) && PhoneStoreEntry(entry, b));
  Noted(PhoneNoteContext(static_cast<uint16_t>(b.id), 0), "his dentist");
  ToDoRecord later, sooner;
  later.text = "Call dentist";
  sooner.text = "Pay the dentist";
  uint16_t laterSlot = ToDoInsertItem(MakeMinuteKey(2026, 1, 1), MakeMinuteKey(2027, 1, 1, 23, 59), SerializeToDoRecord(later));
  uint16_t soonerSlot = ToDoInsertItem(MakeMinuteKey(2020, 1, 1), MakeMinuteKey(2020, 5, 1, 9, 0), SerializeToDoRecord(sooner));
  ASSERT_TRUE(laterSlot && soonerSlot);
  Noted(ToDoNoteContext(soonerSlot, 0), "dentist: 555-0100");

  // The range does not apply to these areas.
  EXPECT_EQ(Find("DENTIST", kAreaPhone | kAreaPhoneNotes | kAreaToDo | kAreaToDoNotes, D(2030, 1, 1), D(2030, 1, 1)),
            SearchOutcome::Found);
  EXPECT_EQ(Hits(), FormatText("3/0-0-0/%d/25/Dr. John Smith|7/0-0-0/%d/4/ACME|", a.id, b.id) +
                        FormatText("2/2020-5-1/%u/8/Pay the dentist|6/2020-5-1/%u/0/", soonerSlot, soonerSlot) +
                        FormatLongDate(5, 1, 2020) + "|" + FormatText("2/2027-1-1/%u/5/Call dentist|", laterSlot));
  EXPECT_EQ(results_[0].entryKind, 1);
  EXPECT_EQ(results_[1].entryKind, 0);
  EXPECT_FALSE(PhoneStoreIsOpen() || ToDoStoreIsOpen() || DbIsOpen());
}

TEST_F(StoreSearchTest, OverlayOccurrencesOutsideTheRangeAreLeftOut) {
  std::vector<OverlayEvent> events(2);
  events[0].month = 12, events[0].day = 15, events[0].description = "Dentist day";
  events[1].month = 1, events[1].day = 5, events[1].description = "Dentist week";
  for (OverlayEvent& e : events) e.kind = kKindAnnual;
  std::string path = (std::filesystem::path(folder) / "Test.kov").string();
  ASSERT_TRUE(SaveNewOverlay(path, events, Accent{}));
  if (OverlayCount() == 0) {
    ASSERT_TRUE(AddOverlay(path));
  }

  EXPECT_EQ(Find("dentist", kAreaOverlays, D(2025, 12, 20), D(2027, 1, 4)), SearchOutcome::Found);
  EXPECT_EQ(Hits(), "4/2026-1-5/0/0/Dentist week|4/2026-12-15/0/0/Dentist day|");
}

TEST_F(StoreSearchTest, EmptyFolderFindsNothingAndHeldContainerRefuses) {
  EXPECT_EQ(Find("x", kAreaAll, D(2025, 1, 1), D(2025, 12, 31)), SearchOutcome::NoMatches);
  EXPECT_FALSE(std::filesystem::exists(ToDoFilePath()));
  ASSERT_TRUE(DbOpen(kDbModeWrite, MonthKey(2025, 1), 1));
  messages.Clear();
  EXPECT_EQ(Find("x", kAreaAll, D(2025, 1, 1), D(2025, 12, 31)), SearchOutcome::Busy);
  EXPECT_EQ(messages.Texts().size(), 1u);
  DbClose();
}

// Damaged files of every kind: the search reads what it can, never writes, never crashes.
TEST_F(StoreSearchTest, DamagedFilesAreReadWithoutHarm) {
  filesMustVerify = false;
  std::mt19937 random(11);
  const std::string paths[] = {MonthFilePath(MonthKey(2025, 12)), MonthFilePath(MonthKey(2026, 1)), ToDoFilePath(),
                               PhoneFilePath(), NotesFilePath(kStoreToDoNotes), NotesFilePath(kStorePhoneNotes)};
  for (int round = 0; round < 30; ++round) {
    std::vector<std::vector<uint8_t>> written;
    for (const std::string& path : paths) {
      std::vector<uint8_t> bytes(random() % 3000);
      for (uint8_t& b : bytes) b = static_cast<uint8_t>(random() % 4 ? random() % 8 : random());
      const char magic[] = "ORBDB";
      for (size_t i = 0; i < sizeof magic && i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(magic[i]);
      if (bytes.size() > 7) bytes[6] = 7, bytes[7] = 0;
      test::WriteAll(path, bytes);
      written.push_back(bytes);
    }
    ResetStore();
    SetDatabaseFolder(folder);
    SearchOutcome outcome = Find("a", kAreaAll, D(2025, 12, 1), D(2026, 1, 31));
    EXPECT_TRUE(outcome == SearchOutcome::Found || outcome == SearchOutcome::NoMatches);
    EXPECT_FALSE(DbIsOpen() || ToDoStoreIsOpen() || PhoneStoreIsOpen());
    for (size_t i = 0; i < std::size(paths); ++i) EXPECT_EQ(test::ReadAll(paths[i]), written[i]) << paths[i];
  }
}

TEST(SearchPhoneName, Forms) {
  EXPECT_EQ(SearchPhoneName("", "", "", "ACME"), "ACME");
  EXPECT_EQ(SearchPhoneName("", "John", "Smith", "ACME"), "John Smith");
}

}  // namespace
}  // namespace kv
