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
#include "personal/search_test_support.h"
#include "resources/strings.h"
#include "shell/messages.h"
#include "shell/settings.h"
#include "store/container.h"
#include "store/store_test_support.h"
#include "store/todo_file.h"

namespace kv {
namespace {

using test::D;

class StoreSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetStore();
    ResetOverlays();
    SetDatabaseFolder(folder_);
    SetSettingsStore(&settings_);
  }
  void TearDown() override {
    ResetStore();
    ResetOverlays();
    SetSettingsStore(nullptr);
    std::filesystem::remove_all(folder_);
  }

  // Writes a record into the open container; its new id.
  uint16_t Put(uint32_t chain, int day, uint8_t type, std::vector<uint8_t> bytes, uint8_t flag = 0) {
    DbRequest rq;
    rq.chain = chain;
    rq.day = static_cast<uint8_t>(day);
    rq.type = type;
    rq.mode = flag;
    rq.block = std::move(bytes);
    EXPECT_TRUE(DbAccess(kDbWrite, rq));
    return rq.id;
  }
  uint16_t Note(uint32_t chain, int day, uint16_t type, const std::string& text) {
    return Put(chain, day, static_cast<uint8_t>(type), SerializeNote(NoteRecord{static_cast<uint8_t>(type), text}));
  }
  // A note in one of the notes stores, its id.
  uint16_t StoreNote(int store, uint16_t type, const std::string& text) {
    DbSelectStore(store);
    EXPECT_TRUE(DbOpen(kDbModeWrite, 0, 1));
    uint16_t id = Note(0, 0, type, text);
    DbClose();
    return id;
  }
  uint16_t Item(uint32_t key, int day, int start, const std::string& title, uint16_t noteId = 0) {
    SchedRecord r;
    r.start = static_cast<int16_t>(start);
    r.end = static_cast<int16_t>(start + 60);
    r.title = title;
    r.noteId = noteId;
    return Put(key, day, 4, SerializeSchedRecord(r), kSchedFlagItem);
  }
  std::string Hits() const { return test::SearchHits(results_); }
  SearchOutcome Find(const char* text, uint16_t areas, DateStamp from, DateStamp thru) {
    SearchRequest rq;
    rq.text = text;
    rq.areas = areas;
    rq.range = SearchRange{from, thru};
    return RunSearch(rq, sources_, results_);
  }

  std::string folder_ = test::MakeTempFolder();
  MemorySettings settings_;
  ScriptedMessages messages_;
  ScopedMessageSink scope_{messages_};
  StoreSearchSources sources_;
  std::vector<SearchResult> results_;
};

TEST_F(StoreSearchTest, ScheduleAndNotesAcrossTheYearEndSkippingMonthsWithoutFiles) {
  uint32_t dec = MonthKey(2025, 12), feb = MonthKey(2026, 2);
  ASSERT_TRUE(DbOpen(kDbModeWrite, dec, 1));
  Item(dec, 10, 540, "Dentist early");  // before the range
  uint16_t noteId = Note(dec, 24, kNoteSchedule, "see the dentist");
  uint16_t late = Item(dec, 24, 900, "Call the dentist", noteId);
  uint16_t early = Item(dec, 24, 480, "Dentist");  // listed before the later item of the day
  uint16_t eve = Note(dec, 31, kNoteDay, "New Year's Eve at the dentist's");
  DbClose();
  // No file for January; February's notes on the range's last day and after it.
  ASSERT_TRUE(DbOpen(kDbModeWrite, feb, 1));
  uint16_t first = Note(feb, 1, kNoteDay, "dentist");
  Note(feb, 2, kNoteDay, "dentist");
  DbClose();

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
  uint16_t phoneNote = StoreNote(kStorePhoneNotes, kNotePhone, "his dentist");
  PhoneEntry entry{};
  PhoneEntryRef a, b;
  ASSERT_TRUE(BuildPhoneEntry(person, entry) && PhoneStoreEntry(entry, a));
  ASSERT_TRUE(BuildPhoneEntry(company, entry) && PhoneStoreEntry(entry, b));
  ASSERT_TRUE(PhoneStoreOpen(kDbModeWrite, 1));  // linked afterwards, as the notes module does
  SetPhoneEntryNoteId(entry, phoneNote);
  ASSERT_TRUE(PhoneWriteEntry(entry, b.slot));
  PhoneStoreClose();

  uint16_t todoNote = StoreNote(kStoreToDoNotes, kNoteToDo, "dentist: 555-0100");
  ToDoRecord later, sooner;
  later.text = "Call dentist";
  sooner.text = "Pay the dentist";
  sooner.noteId = todoNote;
  uint16_t laterSlot = ToDoInsertItem(MakeMinuteKey(2026, 1, 1), MakeMinuteKey(2027, 1, 1, 23, 59), SerializeToDoRecord(later));
  uint16_t soonerSlot = ToDoInsertItem(MakeMinuteKey(2020, 1, 1), MakeMinuteKey(2020, 5, 1, 9, 0), SerializeToDoRecord(sooner));
  ASSERT_TRUE(laterSlot && soonerSlot);

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
  std::string path = (std::filesystem::path(folder_) / "Test.kov").string();
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
  messages_.Clear();
  EXPECT_EQ(Find("x", kAreaAll, D(2025, 1, 1), D(2025, 12, 31)), SearchOutcome::Busy);
  EXPECT_EQ(messages_.Texts().size(), 1u);
  DbClose();
}

// Damaged files of every kind: the search reads what it can, never writes, never crashes.
TEST_F(StoreSearchTest, DamagedFilesAreReadWithoutHarm) {
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
    SetDatabaseFolder(folder_);
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
