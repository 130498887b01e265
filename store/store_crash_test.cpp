// Every change to a store file survives a crash at any of its writes: the process is stopped at
// the n-th change of the disk (or with that write torn in half), the store is opened again, and
// it must be sound and hold exactly the records of before or of after the interrupted operation.
#include <filesystem>
#include <functional>
#include <map>
#include <tuple>

#include "calendar/clock.h"
#include "store/phone_file.h"
#include "store/store_journal.h"
#include "store/store_test_support.h"
#include "store/todo_file.h"

namespace kv {
namespace {

using test::ReadAll;

constexpr uint32_t kKey = MonthKey(2026, 12);

// The files of the database folder, byte for byte.
using DiskImage = std::map<std::string, std::vector<uint8_t>>;

DiskImage Capture(const std::string& folder) {
  DiskImage image;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    image[entry.path().string()] = ReadAll(entry.path().string());
  return image;
}

void Restore(const std::string& folder, const DiskImage& image) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) std::filesystem::remove(entry.path());
  for (const auto& [path, bytes] : image) test::WriteAll(path, bytes);
}

// Every record of a container: (type, chain, id) → bytes, with the header's fields under the
// key (0, 0, 0) when there are records (a new file holding none is as good as no file).
// Opening it restores a crashed session.
using Records = std::map<std::tuple<int, int, int>, std::vector<uint8_t>>;

Records ContainerRecords(const std::string& path) {
  Records records;
  if (!DbOpenFile(kDbModeRead, path, 1122)) return records;
  std::vector<uint8_t> file = ReadAll(path);
  for (uint8_t type = 1; type <= 5; ++type) {
    for (int day = 1; day <= 31; ++day) {
      DbRequest r = test::DayRequest(1, day, type);
      for (bool found = DbAccess(kDbRead, r); found; found = DbAccess(kDbRead, r)) {
        records[{type, day, r.id}] = r.block;
        r.mode = kDbFindNext;
      }
    }
  }
  DbClose();
  if (!records.empty()) records[{0, 0, 0}].assign(file.begin(), file.begin() + kDbFieldsSize);
  return records;
}

// The to-do list in order: slot, activate date, sort key and the item's bytes.
using ToDoList = std::vector<std::tuple<uint16_t, MinuteKey, MinuteKey, ToDoItem>>;

ToDoList ToDoRecords() {
  ToDoList list;
  if (!ToDoStoreOpen(kDbModeRead, 1201)) return list;
  for (const ToDoListed& l : ToDoListOrder()) list.emplace_back(l.slot, l.activate, l.sortKey, *ToDoReadItem(l.slot));
  ToDoStoreClose();
  return list;
}

std::vector<std::pair<uint16_t, PhoneEntry>> PhoneRecords() {
  std::vector<std::pair<uint16_t, PhoneEntry>> list;
  if (!PhoneStoreOpen(kDbModeRead, 1703)) return list;
  std::vector<PhoneLoaded> entries;
  PhoneLoadEntries(entries);
  PhoneStoreClose();
  for (const PhoneLoaded& e : entries) list.emplace_back(e.slot, e.entry);
  return list;
}

ToDoItem Task(const std::string& text) {
  ToDoItem item{};
  PutFixedText(item.data() + 19, 40, text);
  return item;
}

PhoneEntry Person(const std::string& name) {
  PhoneEntry entry{};
  PutFixedText(entry.data() + 4, 40, name);
  return entry;
}

std::vector<uint8_t> Note(const std::string& text, uint8_t type = kDbTypeDayNote) { return SerializeNoteRecord(type, text); }

class StoreCrash : public test::StoreTest {
 protected:
  void TearDown() override {
    SetCrashPlan(nullptr);
    test::StoreTest::TearDown();
  }

  // A new session on the folder as it is on disk, the crash plan gone.
  void Reboot() {
    ResetStore();
    SetCrashPlan(nullptr);
    SetDatabaseFolder(folder);
  }

  // Runs `op` on the folder as `setup` left it with a crash at every change it makes, whole
  // and torn; after each crash, `snapshot` (which opens the store) must give the state of
  // before or of after, the store file at `path` must be sound with no journal left, and
  // running the operation again must give the state of after.
  template <typename Snapshot>
  void CrashEverywhere(const std::string& path, const std::function<void()>& op, Snapshot snapshot) {
    Reboot();
    DiskImage start = Capture(folder);
    auto before = snapshot();
    CrashPlan counting;
    SetCrashPlan(&counting);
    op();
    Reboot();
    auto after = snapshot();
    ASSERT_FALSE(before == after) << "the operation changes nothing";
    ASSERT_GT(counting.changes, 0u);
    EXPECT_EQ(Verify(path), std::vector<std::string>{});
    for (bool torn : {false, true}) {
      for (uint64_t n = 1; n <= counting.changes; ++n) {
        SCOPED_TRACE(testing::Message() << (torn ? "torn" : "stopped") << " at change " << n << " of " << counting.changes);
        Restore(folder, start);
        Reboot();
        CrashPlan plan{n, torn};
        SetCrashPlan(&plan);
        op();
        Reboot();
        auto got = snapshot();
        EXPECT_TRUE(got == before || got == after) << "neither the state of before nor that of after";
        EXPECT_FALSE(FileExists(StoreJournalPath(path)));
        if (FileExists(path)) {
          EXPECT_EQ(Verify(path), std::vector<std::string>{});
        }
        if (got == before) {
          op();
          Reboot();
          EXPECT_TRUE(snapshot() == after) << "the operation repeated after the crash";
        }
        if (HasFailure()) return;
      }
    }
  }

  std::string Month() { return MonthFilePath(kKey); }
  Records MonthRecords() { return ContainerRecords(Month()); }

  // Writes records into the month file in one session; their ids.
  std::vector<uint16_t> Fill(int count, int day, const std::string& title = "Item") {
    std::vector<uint16_t> ids;
    EXPECT_TRUE(DbOpen(kDbModeWrite, kKey, 1114));
    for (int k = 0; k < count; ++k)
      ids.push_back(test::Put(test::DayRequest(kKey, day ? day : 1 + k % 31, kDbTypeSchedItem),
                              test::SchedRecord(title + " " + std::to_string(k))));
    DbClose();
    return ids;
  }

  std::function<void()> MonthOp(const std::function<void()>& body) {
    return [body]() {
      if (!DbOpen(kDbModeWrite, kKey, 1114)) return;
      body();
      DbClose();
    };
  }
};

// ---- containers ----------------------------------------------------------------------------

TEST_F(StoreCrash, ContainerOperations) {
  struct Case {
    const char* name;
    int items;   // schedule items before, spread over the days (0: no file)
    std::function<void()> body;
  };
  const Case cases[] = {
      {"insert into a new file", 0, [] { test::Put(test::DayRequest(kKey, 3, kDbTypeSchedItem), test::SchedRecord("New")); }},
      {"insert at an empty head", 5, [] { test::Put(test::DayRequest(kKey, 20, kDbTypeSchedItem), test::SchedRecord("New")); }},
      {"insert behind a head", 40, [] { test::Put(test::DayRequest(kKey, 2, kDbTypeSchedItem), test::SchedRecord("New")); }},
      {"rewrite in place", 40, [] { test::Put(test::DayRequest(kKey, 3, kDbTypeSchedItem, 3), test::SchedRecord("Changed")); }},
      {"rewrite with another length", 40,
       [] {
         test::Put(test::DayRequest(kKey, 4, kDbTypeDayNote), Note("short"));
         test::Put(test::DayRequest(kKey, 4, kDbTypeDayNote, 41), Note("a much longer text than before"));
       }},
      {"delete a head with successor", 40, [] { DbRequest r = test::DayRequest(kKey, 1, kDbTypeSchedItem, 1); DbAccess(kDbDelete, r); }},
      {"delete behind a head", 40, [] { DbRequest r = test::DayRequest(kKey, 1, kDbTypeSchedItem, 32); DbAccess(kDbDelete, r); }},
      {"delete an only record", 5, [] { DbRequest r = test::DayRequest(kKey, 2, kDbTypeSchedItem, 2); DbAccess(kDbDelete, r); }},
      {"reuse a hole", 40,
       [] {
         DbRequest r = test::DayRequest(kKey, 1, kDbTypeSchedItem, 32);
         DbAccess(kDbDelete, r);
         test::Put(test::DayRequest(kKey, 9, kDbTypeDayNote), Note("fits"));
       }},
      {"grow explicitly", 40, [] { DbGrow(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Restore(folder, {});
    Reboot();
    if (c.items) Fill(c.items, 0);
    CrashEverywhere(Month(), MonthOp(c.body), [this] { return MonthRecords(); });
    if (HasFailure()) return;
  }
}

// The insert that grows the header, at each of the first three capacity steps: the data region
// moves in place and the whole header is rewritten.
TEST_F(StoreCrash, ContainerGrowthAtEachCapacityStep) {
  for (int growths = 0; growths < 3; ++growths) {
    SCOPED_TRACE(testing::Message() << "growth " << growths + 1);
    Restore(folder, {});
    Reboot();
    // Chain heads are slots 0 ... 30; every further record of day 1 takes a new slot.
    int items = 1 + (kDbFirstCapacity - kDbChains) + growths * kDbSlotsPerGrowth;
    Fill(items, 1);
    DbHeaderFields h = test::FieldsOf(ReadAll(Month()));
    ASSERT_EQ(h.slotsInUse, h.capacity);
    ASSERT_EQ(h.growths, growths);
    CrashEverywhere(Month(), MonthOp([] { test::Put(test::DayRequest(kKey, 1, kDbTypeSchedItem), test::SchedRecord("Grows")); }),
                    [this] { return MonthRecords(); });
    Reboot();
    EXPECT_EQ(test::FieldsOf(ReadAll(Month())).growths, growths + 1);
    if (HasFailure()) return;
  }
}

// A session of several operations is undone whole; the notes files chain by id.
TEST_F(StoreCrash, NotesFileSession) {
  DbSelectStore(kStoreToDoNotes);
  std::string path = NotesFilePath(kStoreToDoNotes);
  ASSERT_TRUE(DbOpen(kDbModeWrite, 0, 1203));
  for (int k = 0; k < 50; ++k) test::Put(test::IdRequest(kDbTypeToDoNote), Note("note " + std::to_string(k), kDbTypeToDoNote));
  DbClose();
  CrashEverywhere(
      path,
      [] {
        DbSelectStore(kStoreToDoNotes);
        if (!DbOpen(kDbModeWrite, 0, 1203)) return;
        test::Put(test::IdRequest(kDbTypeToDoNote, 7), Note("a longer text for note seven", kDbTypeToDoNote));
        DbRequest r = test::IdRequest(kDbTypeToDoNote, 12);
        DbAccess(kDbDelete, r);
        test::Put(test::IdRequest(kDbTypeToDoNote), Note("new", kDbTypeToDoNote));
        DbClose();
      },
      [path] { return ContainerRecords(path); });
}

// A crash while a crashed session is being undone: the next opening finishes the undoing.
TEST_F(StoreCrash, CrashWhileRecovering) {
  Fill(1 + kDbFirstCapacity - kDbChains, 1);
  Records before = MonthRecords();
  DiskImage start = Capture(folder);
  auto grow = MonthOp([] { test::Put(test::DayRequest(kKey, 1, kDbTypeSchedItem), test::SchedRecord("Grows")); });
  CrashPlan counting;
  SetCrashPlan(&counting);
  grow();
  Reboot();
  for (uint64_t n = 2; n < counting.changes; n += 2) {
    Restore(folder, start);
    Reboot();
    CrashPlan plan{n, false};
    SetCrashPlan(&plan);
    grow();
    Reboot();
    if (!FileExists(StoreJournalPath(Month()))) continue;
    DiskImage crashed = Capture(folder);
    for (uint64_t m = 1;; ++m) {
      SCOPED_TRACE(testing::Message() << "crash at " << n << ", then at " << m << " while recovering");
      Restore(folder, crashed);
      Reboot();
      CrashPlan again{m, m % 2 == 0};
      SetCrashPlan(&again);
      bool recovered = RecoverStoreJournal(Month());
      bool reached = again.crashed;
      Reboot();
      EXPECT_EQ(MonthRecords(), before);
      EXPECT_EQ(Verify(Month()), std::vector<std::string>{});
      if (!reached) {
        EXPECT_TRUE(recovered);
        break;
      }
    }
    if (HasFailure()) return;
  }
}

// With the disk's real flushes (fsync; FlushFileBuffers on Windows) a session ends without a
// journal, and a journal left over is undone.
TEST_F(StoreCrash, SessionsWithRealFlushes) {
  SetFlushesReachDisk(true);
  Fill(3, 0);
  EXPECT_FALSE(FileExists(StoreJournalPath(Month())));
  Records before = MonthRecords();
  EXPECT_EQ(before.size(), 4u);   // and the header
  DiskImage start = Capture(folder);
  CrashPlan plan{5, true};
  SetCrashPlan(&plan);
  Fill(40, 0);
  Reboot();
  SetFlushesReachDisk(true);
  EXPECT_TRUE(FileExists(StoreJournalPath(Month())));
  EXPECT_EQ(MonthRecords(), before);
  EXPECT_FALSE(FileExists(StoreJournalPath(Month())));
}

// A journal cut short while it was written is thrown away: the store was not touched yet.
TEST_F(StoreCrash, IncompleteJournalIsDiscarded) {
  Fill(10, 0);
  std::vector<uint8_t> file = ReadAll(Month());
  const std::vector<std::vector<uint8_t>> journals = {
      {},
      {'K', 'V', 'J'},
      std::vector<uint8_t>(32, 0),
      [] {
        std::vector<uint8_t> j(32, 0);
        std::memcpy(j.data(), "KVJRNL", 6);
        PutU32LE(j.data() + 8, 1);
        PutU64LE(j.data() + 16, 7);   // checksum left zero
        return j;
      }(),
  };
  for (const auto& journal : journals) {
    test::WriteAll(StoreJournalPath(Month()), journal);
    Reboot();
    EXPECT_EQ(MonthRecords().size(), 11u);   // and the header
    EXPECT_EQ(ReadAll(Month()), file);
    EXPECT_FALSE(FileExists(StoreJournalPath(Month())));
  }
}

// Configuration and overlay files are replaced through a flushed temporary file: a crash
// leaves the old contents or the new, whole.
TEST_F(StoreCrash, ReplacingAFileKeepsTheOldOrTheNew) {
  std::string path = JoinPath(folder, "Holidays.kov");
  const std::vector<uint8_t> old(3000, 'o'), fresh(5000, 'n');
  ASSERT_TRUE(WriteFileReplacing(path, old));
  CrashPlan counting;
  SetCrashPlan(&counting);
  ASSERT_TRUE(WriteFileReplacing(path, fresh));
  SetCrashPlan(nullptr);
  for (bool torn : {false, true}) {
    for (uint64_t n = 1; n <= counting.changes; ++n) {
      ASSERT_TRUE(WriteFileReplacing(path, old));
      CrashPlan plan{n, torn};
      SetCrashPlan(&plan);
      EXPECT_FALSE(WriteFileReplacing(path, fresh));
      SetCrashPlan(nullptr);
      std::vector<uint8_t> got = ReadAll(path);
      EXPECT_TRUE(got == old || got == fresh) << "crash at change " << n << ": " << got.size() << " bytes";
    }
  }
}

// ---- the to-do file ----------------------------------------------------------------------------

class ToDoCrash : public StoreCrash {
 protected:
  void SetUp() override {
    StoreCrash::SetUp();
    SetClockSource(&clock);
  }
  void TearDown() override {
    SetClockSource(nullptr);
    StoreCrash::TearDown();
  }
  FixedClock clock{DateStamp{2026, 12, 7, 10, 30}};
};

TEST_F(ToDoCrash, Operations) {
  struct Case {
    const char* name;
    int items;
    std::function<void()> op;
  };
  const Case cases[] = {
      {"insert into a new file", 0, [] { ToDoInsertItem(1, MakeMinuteKey(2026, 12, 9, 0, 0), Task("First")); }},
      {"insert", 20, [] { ToDoInsertItem(1, MakeMinuteKey(2026, 12, 9, 0, 0), Task("Middle")); }},
      {"insert replacing", 20, [] { ToDoInsertItem(1, MakeMinuteKey(2027, 1, 1, 0, 0), Task("Moved"), 3); }},
      {"insert that grows", 61, [] { ToDoInsertItem(1, MakeMinuteKey(2026, 12, 9, 0, 0), Task("Grows")); }},
      {"toggle done", 20, [] { ToDoToggleDone(5, MakeMinuteKey(2026, 12, 9, 8, 0)); }},
      {"remove", 20, [] { ToDoRemoveItem(7); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Restore(folder, {});
    Reboot();
    for (int k = 0; k < c.items; ++k)
      ASSERT_NE(ToDoInsertItem(1, MakeMinuteKey(2026, 12, 1 + k % 28, k % 24, 0), Task("Task " + std::to_string(k))), 0);
    CrashEverywhere(ToDoFilePath(), c.op, [] { return ToDoRecords(); });
    if (HasFailure()) return;
  }
}

// ---- the phonebook -----------------------------------------------------------------------------

TEST_F(StoreCrash, PhoneOperations) {
  struct Case {
    const char* name;
    int entries;
    std::function<void()> op;
    uint16_t freed = 0;   // a slot deleted before the operation
  };
  auto store = [](const std::string& name, PhoneEntryRef ref) {
    PhoneEntry entry = Person(name);
    PhoneStoreEntry(entry, ref);
  };
  auto remove = [](uint16_t slot) {
    if (!PhoneStoreOpen(kDbModeWrite, 1704)) return;
    PhoneDeleteEntry(slot);
    PhoneStoreClose();
  };
  const Case cases[] = {
      {"store into a new file", 0, [&] { store("First", {}); }},
      {"store a new entry", 10, [&] { store("New", {}); }},
      {"replace an entry", 10, [&] { store("Renamed", PhoneEntryRef{4, 0, 4}); }},
      {"delete an entry", 10, [&] { remove(6); }},
      {"store into a freed slot", 10, [&] { store("Reused", {}); }, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Restore(folder, {});
    Reboot();
    for (int k = 0; k < c.entries; ++k) store("Person " + std::to_string(k), {});
    if (c.freed) remove(c.freed);
    CrashEverywhere(PhoneFilePath(), c.op, [] { return PhoneRecords(); });
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace kv
