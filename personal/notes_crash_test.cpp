// Saving a note survives a crash at any write: afterwards the note its owner reaches is the old
// text or the new one, never lost, and every file is sound.
#include <filesystem>
#include <map>

#include "personal/notes.h"
#include "personal/personal_test_support.h"
#include "store/phone_file.h"
#include "store/store_journal.h"
#include "store/todo_file.h"

namespace kv {
namespace {

using DiskImage = std::map<std::string, std::vector<uint8_t>>;

DiskImage Capture(const std::string& folder) {
  DiskImage image;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    image[entry.path().string()] = test::ReadAll(entry.path().string());
  return image;
}

void Restore(const std::string& folder, const DiskImage& image) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) std::filesystem::remove(entry.path());
  for (const auto& [path, bytes] : image) test::WriteAll(path, bytes);
}

class NotesCrash : public test::PersonalTest {
 protected:
  void TearDown() override {
    SetCrashPlan(nullptr);
    test::PersonalTest::TearDown();
  }
  void Reboot() {
    ResetStore();
    SetCrashPlan(nullptr);
    SetDatabaseFolder(folder);
  }

  // The owner of the note of each kind: a schedule item, a to-do item, a phonebook entry.
  uint16_t item = 0, task = 0;
  int16_t person = 0;

  void MakeOwners() {
    item = PutItem(2026, 12, 7, 600, 660, "Review");
    ToDoItem t{};
    PutFixedText(t.data() + 19, 40, "Task");
    task = ToDoInsertItem(1, MakeMinuteKey(2026, 12, 9), t);
    PhoneEntry p{};
    PutFixedText(p.data() + 4, 40, "Person");
    PhoneEntryRef ref;
    PhoneStoreEntry(p, ref);
    person = ref.id;
    ASSERT_NE(item, 0);
    ASSERT_NE(task, 0);
    ASSERT_GT(person, 0);
  }

  // The context of the note of a kind, with the note id its owner holds now.
  NoteContext Context(uint16_t type) {
    switch (type) {
      case kNoteDay: return DayNoteContext(2026, 12, 7);
      case kNoteSchedule: {
        DbRequest r = test::DayRequest(MonthKey(2026, 12), 7, kDbTypeSchedItem, item);
        uint16_t noteId = 0;
        if (DbOpen(kDbModeRead, MonthKey(2026, 12), 1122)) {
          if (DbAccess(kDbRead, r)) noteId = ReadU16LE(r.block.data() + 12);
          DbClose();
        }
        return ScheduleNoteContext(2026, 12, 7, item, noteId);
      }
      case kNoteToDo: {
        uint16_t noteId = 0;
        if (ToDoStoreOpen(kDbModeRead, 1201)) {
          if (auto t = ToDoReadItem(task)) noteId = ToDoItemNoteId(*t);
          ToDoStoreClose();
        }
        return ToDoNoteContext(task, noteId);
      }
      default: {
        uint16_t noteId = 0;
        if (PhoneStoreOpen(kDbModeRead, 1703)) {
          std::vector<PhoneLoaded> entries;
          PhoneLoadEntries(entries);
          for (const PhoneLoaded& e : entries)
            if (PhoneEntryId(e.entry) == person) noteId = PhoneEntryNoteId(e.entry);
          PhoneStoreClose();
        }
        return PhoneNoteContext(static_cast<uint16_t>(person), noteId);
      }
    }
  }

  // The text of the note the owner reaches: "" for none, "<lost>" for a note id that leads
  // nowhere.
  std::string Reached(uint16_t type) {
    NoteContext c = Context(type);
    if (type != kNoteDay && c.noteId == 0) return "";
    std::optional<NoteText> note = NoteFind(c);
    if (!note) return type == kNoteDay ? "" : "<lost>";
    return note->text;
  }

  // Every file is sound once its next opening has undone an interrupted session.
  void ExpectFilesSound() {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      std::string path = entry.path().string();
      if (DbFileKindOf(path) != DbFileKind::Unknown) {
        EXPECT_TRUE(RecoverStoreJournal(path)) << path;
      }
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      std::string path = entry.path().string();
      EXPECT_EQ(path.find("-journal"), std::string::npos) << "a journal is left: " << path;
      if (DbFileKindOf(path) != DbFileKind::Unknown) {
        EXPECT_EQ(Verify(path), std::vector<std::string>{}) << path;
      }
    }
  }
};

TEST_F(NotesCrash, SavingAtEveryCrashPoint) {
  struct Case {
    const char* name;
    std::string before, after;
  };
  const Case cases[] = {
      {"a new note", "", "Buy flowers"},
      {"the same length", "Buy flowers", "Buy candles"},
      {"another length", "Buy flowers", "Buy flowers and a card for the party"},
      {"deleted", "Buy flowers", ""},
  };
  for (uint16_t type : {kNoteDay, kNoteSchedule, kNoteToDo, kNotePhone}) {
    for (const Case& k : cases) {
      SCOPED_TRACE(testing::Message() << "note type " << type << ", " << k.name);
      Restore(folder, {});
      Reboot();
      MakeOwners();
      if (!k.before.empty()) {
        NoteContext c = Context(type);
        ASSERT_TRUE(NoteSave(c, k.before));
      }
      Reboot();
      ASSERT_EQ(Reached(type), k.before);
      DiskImage start = Capture(folder);
      auto save = [&]() {
        NoteContext c = Context(type);
        NoteSave(c, k.after);
      };
      CrashPlan counting;
      SetCrashPlan(&counting);
      save();
      Reboot();
      ASSERT_EQ(Reached(type), k.after);
      for (bool torn : {false, true}) {
        for (uint64_t n = 1; n <= counting.changes; ++n) {
          SCOPED_TRACE(testing::Message() << (torn ? "torn" : "stopped") << " at change " << n << " of " << counting.changes);
          Restore(folder, start);
          Reboot();
          CrashPlan plan{n, torn};
          SetCrashPlan(&plan);
          save();
          Reboot();
          std::string got = Reached(type);
          EXPECT_TRUE(got == k.before || got == k.after) << "the owner reaches \"" << got << "\"";
          ExpectFilesSound();
          save();   // saving again after the crash gives the new text
          Reboot();
          EXPECT_EQ(Reached(type), k.after);
          if (HasFailure()) return;
        }
      }
    }
  }
}

}  // namespace
}  // namespace kv
