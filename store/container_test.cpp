#include "store/container.h"

#include "store/db_messages.h"
#include "store/phone_file.h"
#include "store/store_test_support.h"
#include "store/todo_file.h"

namespace kv {
namespace {

using test::DayRequest;
using test::FieldsOf;
using test::IdRequest;
using test::ListDay;
using test::Put;
using test::ReadAll;
using test::SchedRecord;
using test::SlotOf;

constexpr uint32_t kMarch = MonthKey(2025, 3);

class Container : public test::StoreTest {
 protected:
  std::string March() { return MonthFilePath(kMarch); }
  std::vector<uint8_t> ReadRecord(int day, uint8_t type, uint16_t id) {
    DbRequest r = DayRequest(kMarch, day, type, id);
    return DbAccess(kDbRead, r) ? r.block : std::vector<uint8_t>();
  }
};

TEST(ContainerFormat, SlotsHeadersAndNotesRoundTrip) {
  DbSlot slot{0x1234, 0x0040, 0x00ABCDEF, 0x0105, kDbTypeSchedItem, 3};
  uint8_t raw[12];
  SerializeDbSlot(slot, raw);
  const uint8_t expected[12] = {0x34, 0x12, 0x40, 0, 0xEF, 0xCD, 0xAB, 0, 0x05, 0x01, 4, 3};
  EXPECT_TRUE(std::equal(raw, raw + 12, expected));
  EXPECT_EQ(ParseDbSlot(raw), slot);

  std::vector<uint8_t> header(30, 0xEE);
  DbHeaderFields h{7, 252, 140, 33, 900, 70000, 1};
  SerializeDbHeaderFields(h, header.data());
  EXPECT_EQ(ParseDbHeaderFields(header.data()), h);
  EXPECT_EQ(std::string(header.begin(), header.begin() + 6), std::string("ORBDB\0", 6));
  EXPECT_TRUE(std::all_of(header.begin() + 22, header.end(), [](uint8_t b) { return b == 0; }));

  std::vector<uint8_t> note = SerializeNoteRecord(kDbTypeItemNote, "Bring the slides");
  ASSERT_EQ(note.size(), 16u + 12);
  EXPECT_EQ(ReadU16LE(note.data()), 28);
  EXPECT_EQ(note[2], kDbTypeItemNote);
  EXPECT_TRUE(std::all_of(note.begin() + 3, note.begin() + 11, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(note.back(), 0);
  EXPECT_EQ(ParseNoteText(note), "Bring the slides");
  note.pop_back();   // the length field no longer matches
  EXPECT_EQ(ParseNoteText(note), std::nullopt);
  EXPECT_EQ(ParseNoteText(std::vector<uint8_t>{5, 0, 1, 0, 0}), std::nullopt);
}

TEST(ContainerNames, MonthFileNamesFollowTheKey) {
  struct Case {
    uint32_t key;
    const char* name;
  } cases[] = {
      {MonthKey(2025, 3), "MAR-2025.kvdb"}, {MonthKey(1999, 12), "DEC-1999.kvdb"}, {MonthKey(2026, 1), "JAN-2026.kvdb"},
      {MonthKey(999, 7), "JUL- 999.kvdb"},  {MonthKey(2025, 0), ""},               {MonthKey(2025, 13), ""},
      {MonthKey(0, 5), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(MonthFileName(c.key), c.name) << c.key;
}

TEST_F(Container, NewFileIsOneBlockAndTheFirstRecordGoesTo1536WithId1) {
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  std::vector<uint8_t> file = ReadAll(March());
  ASSERT_EQ(file.size(), 1536u);
  std::vector<uint8_t> expected(1536, 0);
  const uint8_t fields[] = {'O', 'R', 'B', 'D', 'B', 0, 7, 0, 124, 0, 31, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0, 0};
  std::memcpy(expected.data(), fields, sizeof fields);
  EXPECT_EQ(file, expected);

  EXPECT_EQ(Put(DayRequest(kMarch, 5, kDbTypeSchedItem), SchedRecord("Dentist"), 3), 1);
  ASSERT_TRUE(DbClose());
  file = ReadAll(March());
  ASSERT_EQ(file.size(), 1600u);
  EXPECT_EQ(SlotOf(file, 4), (DbSlot{1, 64, 1536, 0, kDbTypeSchedItem, 3}));
  EXPECT_EQ(FieldsOf(file).lastId, 1);
  EXPECT_EQ(FieldsOf(file).endOfData, 1600u);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 1536, file.end()), SchedRecord("Dentist"));
  EXPECT_TRUE(Verify(March()).empty());
  EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(Container, TheNinetyFourthNonHeadRecordGrowsTheHeaderAndOffsetsFollow) {
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  // 31 chain heads, then 93 records in the 93 non-head slots 31 ... 123.
  for (int n = 0; n < 31 + 93; ++n)
    ASSERT_TRUE(Put(DayRequest(kMarch, n % 31 + 1, kDbTypeSchedItem), SchedRecord("item " + std::to_string(n))));
  ASSERT_TRUE(DbClose());
  std::vector<uint8_t> before = ReadAll(March());
  ASSERT_EQ(FieldsOf(before).slotsInUse, 124);
  ASSERT_EQ(FieldsOf(before).growths, 0);

  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  ASSERT_EQ(Put(DayRequest(kMarch, 7, kDbTypeSchedItem), SchedRecord("the 94th")), 125);
  ASSERT_TRUE(DbClose());
  std::vector<uint8_t> after = ReadAll(March());
  DbHeaderFields h = FieldsOf(after);
  EXPECT_EQ(h.growths, 1);
  EXPECT_EQ(h.capacity, 252);
  EXPECT_EQ(h.slotsInUse, 125);
  EXPECT_EQ(h.endOfData, 3072u + 125 * 64);
  ASSERT_EQ(after.size(), 3072u + 125 * 64);
  // The data region moved up by one block unchanged; every slot's offset followed it.
  EXPECT_TRUE(std::equal(before.begin() + 1536, before.end(), after.begin() + 3072));
  EXPECT_TRUE(std::all_of(after.begin() + DbHeaderWriteSize(252), after.begin() + 3072, [](uint8_t b) { return b == 0; }));
  for (uint32_t i = 0; i < 124; ++i) EXPECT_EQ(SlotOf(after, i).offset, SlotOf(before, i).offset + 1536) << i;
  EXPECT_EQ(SlotOf(after, 124), (DbSlot{125, 64, 3072 + 124 * 64, SlotOf(before, 6).next, kDbTypeSchedItem, 0}));
  EXPECT_EQ(SlotOf(after, 6).next, 124);
  EXPECT_TRUE(Verify(March()).empty());

  ASSERT_TRUE(DbOpen(kDbModeRead, kMarch, 1122));
  EXPECT_EQ(ReadFixedText(ReadRecord(7, kDbTypeSchedItem, 125).data() + 22, 40), "the 94th");
  EXPECT_EQ(ReadFixedText(ReadRecord(1, kDbTypeSchedItem, 1).data() + 22, 40), "item 0");
  EXPECT_EQ(ListDay(kMarch, 7, kDbTypeSchedItem).size(), 5u);
}

// Growth moves the data region through a 2048-byte buffer: regions of whole buffers, with a
// tail, and none at all must all arrive intact.
TEST_F(Container, GrowthMovesDataRegionsOfEverySize) {
  int year = 2030;
  for (int records : {0, 1, 32, 64, 42}) {
    SCOPED_TRACE(records);
    uint32_t key = MonthKey(year++, 1);
    std::string path = MonthFilePath(key);
    ASSERT_TRUE(DbOpen(kDbModeWrite, key, 1114));
    for (int n = 0; n < records; ++n)
      ASSERT_TRUE(Put(DayRequest(key, n % 31 + 1, kDbTypeSchedItem), SchedRecord("r" + std::to_string(n))));
    ASSERT_TRUE(DbClose());
    std::vector<uint8_t> before = ReadAll(path);
    ASSERT_EQ(before.size(), 1536u + 64u * records);

    ASSERT_TRUE(DbOpen(kDbModeWrite, key, 1114));
    ASSERT_TRUE(DbGrow());
    ASSERT_TRUE(DbClose());
    std::vector<uint8_t> after = ReadAll(path);
    ASSERT_EQ(after.size(), before.size() + 1536);
    EXPECT_TRUE(std::equal(before.begin() + 1536, before.end(), after.begin() + 3072));
    EXPECT_EQ(FieldsOf(after).endOfData, after.size());
    EXPECT_TRUE(Verify(path).empty());
    ASSERT_TRUE(DbOpen(kDbModeRead, key, 1122));
    for (int n = 0; n < records; ++n) {
      DbRequest r = DayRequest(key, n % 31 + 1, kDbTypeSchedItem, static_cast<uint16_t>(n + 1));
      ASSERT_TRUE(DbAccess(kDbRead, r));
      EXPECT_EQ(ReadFixedText(r.block.data() + 22, 40), "r" + std::to_string(n));
    }
    ASSERT_TRUE(DbClose());
  }
}

// A hole without an id (as another program may leave one) still moves with the data: left
// behind, it would point into the grown header and the next record put there would overwrite
// slots.
TEST_F(Container, GrowthMovesHolesWithoutAnId) {
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  uint16_t gone = Put(DayRequest(kMarch, 3, kDbTypeDayNote), SerializeNoteRecord(kDbTypeDayNote, std::string(28, 'h')));
  Put(DayRequest(kMarch, 3, kDbTypeDayNote), SerializeNoteRecord(kDbTypeDayNote, "stays"));
  DbRequest del = DayRequest(kMarch, 3, kDbTypeDayNote, gone);
  ASSERT_TRUE(DbAccess(kDbDelete, del));
  ASSERT_TRUE(DbClose());
  std::vector<uint8_t> file = ReadAll(March());
  uint32_t hole = FieldsOf(file).freeHead - 1u;
  ASSERT_EQ(SlotOf(file, hole).length, 40);
  test::Patch(file.data() + DbSlotOffset(hole), ParseDbSlot, SerializeDbSlot, [](DbSlot& s) { s.id = 0; });
  test::WriteAll(March(), file);
  ASSERT_TRUE(Verify(March()).empty());

  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  ASSERT_TRUE(DbGrow());
  uint16_t reused = Put(DayRequest(kMarch, 9, kDbTypeDayNote), SerializeNoteRecord(kDbTypeDayNote, std::string(28, 'r')));
  ASSERT_TRUE(DbClose());
  std::vector<uint8_t> after = ReadAll(March());
  EXPECT_EQ(SlotOf(after, 8).offset, 3072u);   // the hole's place, moved up by one block
  EXPECT_TRUE(Verify(March()).empty());
  ASSERT_TRUE(DbOpen(kDbModeRead, kMarch, 1122));
  EXPECT_EQ(ReadRecord(9, kDbTypeDayNote, reused), SerializeNoteRecord(kDbTypeDayNote, std::string(28, 'r')));
  EXPECT_EQ(ListDay(kMarch, 3, kDbTypeDayNote).size(), 1u);
}

TEST_F(Container, RewritesKeepIdAndPlaceOnlyWhileTheLengthStays) {
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1119));
  uint16_t id = Put(DayRequest(kMarch, 9, kDbTypeDayNote), SerializeNoteRecord(kDbTypeDayNote, "first text"));
  ASSERT_EQ(id, 1);
  // Same length: in place, same id.
  EXPECT_EQ(Put(DayRequest(kMarch, 9, kDbTypeDayNote, id), SerializeNoteRecord(kDbTypeDayNote, "other text")), 1);
  std::vector<uint8_t> file = ReadAll(March());
  EXPECT_EQ(SlotOf(file, 8).offset, 1536u);
  EXPECT_EQ(FieldsOf(file).lastId, 1);
  // Another length: a new id, and the old space goes to the free list.
  EXPECT_EQ(Put(DayRequest(kMarch, 9, kDbTypeDayNote, id), SerializeNoteRecord(kDbTypeDayNote, "a longer text now")), 2);
  ASSERT_TRUE(DbClose());
  file = ReadAll(March());
  DbHeaderFields h = FieldsOf(file);
  EXPECT_EQ(h.lastId, 2);
  EXPECT_EQ(h.freeHead, 32);   // slot 31, where the deleted head moved
  EXPECT_EQ(SlotOf(file, 31), (DbSlot{1, 22, 1536, 0, kDbTypeFree, 0}));
  EXPECT_EQ(SlotOf(file, 8), (DbSlot{2, 29, 1558, 0, kDbTypeDayNote, 0}));
  EXPECT_TRUE(Verify(March()).empty());

  ASSERT_TRUE(DbOpen(kDbModeRead, kMarch, 1122));
  EXPECT_EQ(ParseNoteText(ReadRecord(9, kDbTypeDayNote, 2)), "a longer text now");
  EXPECT_TRUE(ReadRecord(9, kDbTypeDayNote, 1).empty());
}

TEST_F(Container, DeletingADaysOnlyRecordEmptiesItsHeadWhichTheNextRecordTakes) {
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  uint16_t id = Put(DayRequest(kMarch, 3, kDbTypeSchedItem), SchedRecord("only"));
  DbRequest del = DayRequest(kMarch, 3, kDbTypeSchedItem, id);
  ASSERT_TRUE(DbAccess(kDbDelete, del));
  std::vector<uint8_t> file = ReadAll(March());
  EXPECT_EQ(SlotOf(file, 2), DbSlot{});
  EXPECT_EQ(SlotOf(file, 31), (DbSlot{1, 64, 1536, 0, kDbTypeFree, 0}));
  EXPECT_EQ(FieldsOf(file).freeHead, 32);
  EXPECT_TRUE(ListDay(kMarch, 3, kDbTypeSchedItem).empty());
  EXPECT_TRUE(Verify(March()).empty());

  // An exact fit: the hole's slot moves into the empty head and is left cleared.
  EXPECT_EQ(Put(DayRequest(kMarch, 3, kDbTypeSchedItem), SchedRecord("again")), 2);
  ASSERT_TRUE(DbClose());
  file = ReadAll(March());
  EXPECT_EQ(SlotOf(file, 2), (DbSlot{2, 64, 1536, 0, kDbTypeSchedItem, 0}));
  EXPECT_EQ(SlotOf(file, 31), (DbSlot{1, 0, 1536, 0, 0, 0}));
  EXPECT_EQ(FieldsOf(file).freeHead, 0);
  EXPECT_EQ(file.size(), 1600u);
  EXPECT_TRUE(Verify(March()).empty());
}

TEST_F(Container, DeletingAHeadWithSuccessorsSwapsItWithTheFirstOne) {
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  uint16_t a = Put(DayRequest(kMarch, 1, kDbTypeSchedItem), SchedRecord("a"));
  uint16_t b = Put(DayRequest(kMarch, 1, kDbTypeSchedItem), SchedRecord("b"));
  uint16_t c = Put(DayRequest(kMarch, 1, kDbTypeSchedItem), SchedRecord("c"));
  // New records go right after the head.
  EXPECT_EQ(ListDay(kMarch, 1, kDbTypeSchedItem), (std::vector<uint16_t>{a, c, b}));
  DbRequest del = DayRequest(kMarch, 1, kDbTypeSchedItem, a);
  ASSERT_TRUE(DbAccess(kDbDelete, del));
  EXPECT_EQ(ListDay(kMarch, 1, kDbTypeSchedItem), (std::vector<uint16_t>{c, b}));
  std::vector<uint8_t> file = ReadAll(March());
  EXPECT_EQ(SlotOf(file, 0).id, c);
  EXPECT_EQ(SlotOf(file, 32), (DbSlot{a, 64, 1536, 0, kDbTypeFree, 0}));   // c's old slot
  // A record in the middle: its predecessor skips it.
  del = DayRequest(kMarch, 1, kDbTypeSchedItem, b);
  ASSERT_TRUE(DbAccess(kDbDelete, del));
  EXPECT_EQ(ListDay(kMarch, 1, kDbTypeSchedItem), (std::vector<uint16_t>{c}));
  // Deleting what is not there succeeds and changes nothing.
  std::vector<uint8_t> unchanged = ReadAll(March());
  del = DayRequest(kMarch, 1, kDbTypeSchedItem, 77);
  EXPECT_TRUE(DbAccess(kDbDelete, del));
  EXPECT_EQ(ReadAll(March()), unchanged);
  EXPECT_TRUE(Verify(March()).empty());
}

TEST_F(Container, SpaceComesFromTheBestFittingHoleWhoseRestStaysOnTheList) {
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1119));
  auto note = [](size_t length) { return SerializeNoteRecord(kDbTypeDayNote, std::string(length - 12, 'x')); };
  uint16_t n80 = Put(DayRequest(kMarch, 2, kDbTypeDayNote), note(80));
  uint16_t n20 = Put(DayRequest(kMarch, 2, kDbTypeDayNote), note(20));
  uint16_t n40 = Put(DayRequest(kMarch, 2, kDbTypeDayNote), note(40));
  Put(DayRequest(kMarch, 2, kDbTypeDayNote), note(30));   // keeps the holes from the end
  for (uint16_t id : {n80, n20, n40}) {
    DbRequest del = DayRequest(kMarch, 2, kDbTypeDayNote, id);
    ASSERT_TRUE(DbAccess(kDbDelete, del));
  }
  auto holes = []() {
    std::vector<uint8_t> file = ReadAll(MonthFilePath(kMarch));
    std::vector<std::pair<uint16_t, uint32_t>> list;
    for (uint16_t i = FieldsOf(file).freeHead; i != 0;) {
      DbSlot s = SlotOf(file, i - 1u);
      list.emplace_back(s.length, s.offset);
      i = s.next ? static_cast<uint16_t>(s.next + 1) : 0;
    }
    return list;
  };
  using Holes = std::vector<std::pair<uint16_t, uint32_t>>;
  EXPECT_EQ(holes(), (Holes{{20, 1616}, {40, 1636}, {80, 1536}}));
  // 30 bytes take the 40-byte hole; its last 10 bytes go back on the list in order.
  Put(DayRequest(kMarch, 4, kDbTypeDayNote), note(30));
  EXPECT_EQ(holes(), (Holes{{10, 1666}, {20, 1616}, {80, 1536}}));
  // An exact fit takes the hole whole; nothing is appended.
  Put(DayRequest(kMarch, 4, kDbTypeDayNote), note(80));
  EXPECT_EQ(holes(), (Holes{{10, 1666}, {20, 1616}}));
  ASSERT_TRUE(DbClose());
  EXPECT_EQ(FieldsOf(ReadAll(March())).endOfData, 1536u + 80 + 20 + 40 + 30);
  EXPECT_TRUE(Verify(March()).empty());
}

TEST_F(Container, OldSixtyTwoByteItemsReadAsSixtyFourWithTheComputersZone) {
  SetComputerZoneSource([] { return 17; });
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  std::vector<uint8_t> old = SchedRecord("before zones", kOldSchedItemSize);
  uint16_t id = Put(DayRequest(kMarch, 12, kDbTypeSchedItem), old);
  std::vector<uint8_t> block = ReadRecord(12, kDbTypeSchedItem, id);
  ASSERT_EQ(block.size(), 64u);
  EXPECT_TRUE(std::equal(old.begin(), old.end(), block.begin()));
  EXPECT_EQ(block[62], 17);
  EXPECT_EQ(block[63], 0);
  // Written back as read, it stays a 62-byte record in its place and keeps its id.
  EXPECT_EQ(Put(DayRequest(kMarch, 12, kDbTypeSchedItem, id), block, 1), id);
  ASSERT_TRUE(DbClose());
  EXPECT_EQ(ReadAll(March()).size(), 1536u + 62);
  EXPECT_TRUE(Verify(March()).empty());
}

TEST_F(Container, FindNextEnumeratesADayByTypeAndReturnsFlags) {
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  uint16_t a = Put(DayRequest(kMarch, 10, kDbTypeSchedItem), SchedRecord("a"), 1);
  uint16_t b = Put(DayRequest(kMarch, 10, kDbTypeSchedItem), SchedRecord("b"), 3);
  Put(DayRequest(kMarch, 10, kDbTypeDayNote), SerializeNoteRecord(kDbTypeDayNote, "day note"));
  Put(DayRequest(kMarch, 11, kDbTypeSchedItem), SchedRecord("next day"));
  uint16_t c = Put(DayRequest(kMarch, 10, kDbTypeSchedItem), SchedRecord("c"), 1);
  EXPECT_EQ(ListDay(kMarch, 10, kDbTypeSchedItem), (std::vector<uint16_t>{a, c, b}));
  DbRequest r = DayRequest(kMarch, 10, kDbTypeSchedItem, b);
  r.mode = kDbListing | 0x55;
  ASSERT_TRUE(DbAccess(kDbFind, r));
  EXPECT_EQ(r.mode, kDbListing | 3);
  r = DayRequest(kMarch, 10, kDbTypeSchedItem, b);
  r.mode = kDbFindNext;
  EXPECT_FALSE(DbAccess(kDbFind, r));   // b is the last of the day
  r = DayRequest(kMarch, 10, kDbTypeSchedItem, 999);
  EXPECT_FALSE(DbAccess(kDbRead, r));
  EXPECT_TRUE(r.block.empty());
  EXPECT_EQ(ListDay(kMarch, 10, kDbTypeDayNote).size(), 1u);
  EXPECT_TRUE(ListDay(kMarch, 12, kDbTypeSchedItem).empty());
}

TEST_F(Container, AFlagChangeInPlaceReachesTheFileWithTheHeaderUpdate) {
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  uint16_t item = Put(DayRequest(kMarch, 1, kDbTypeSchedItem), SchedRecord("item"), 1);
  uint16_t note = Put(DayRequest(kMarch, 2, kDbTypeDayNote), SerializeNoteRecord(kDbTypeDayNote, "n"), 0);
  // A schedule item's in-place rewrite updates the header; a note's leaves the change in memory.
  Put(DayRequest(kMarch, 1, kDbTypeSchedItem, item), SchedRecord("item"), 3);
  Put(DayRequest(kMarch, 2, kDbTypeDayNote, note), SerializeNoteRecord(kDbTypeDayNote, "m"), 9);
  std::vector<uint8_t> file = ReadAll(March());
  EXPECT_EQ(SlotOf(file, 0).flag, 3);
  EXPECT_EQ(SlotOf(file, 1).flag, 0);
  DbRequest r = DayRequest(kMarch, 2, kDbTypeDayNote, note);
  ASSERT_TRUE(DbAccess(kDbFind, r));
  EXPECT_EQ(r.mode & 0xFF, 9);
  Put(DayRequest(kMarch, 3, kDbTypeDayNote), SerializeNoteRecord(kDbTypeDayNote, "x"));
  EXPECT_EQ(SlotOf(ReadAll(March()), 1).flag, 9);
}

TEST_F(Container, NotesFilesChainByIdAndAreNamedByTheStoreSelector) {
  DbSelectStore(kStoreToDoNotes);
  ASSERT_TRUE(DbOpen(kDbModeWrite, 0, 1119));
  std::vector<uint16_t> ids;
  for (int n = 0; n < 40; ++n)
    ids.push_back(Put(IdRequest(kDbTypeToDoNote), SerializeNoteRecord(kDbTypeToDoNote, "note " + std::to_string(n))));
  ASSERT_TRUE(DbClose());
  std::string path = JoinPath(folder, "ToDo.kvdb");
  std::vector<uint8_t> file = ReadAll(path);
  EXPECT_EQ(SlotOf(file, 1).id, 1);    // id 1 heads chain 1
  EXPECT_EQ(SlotOf(file, 1).next, 31); // id 32 follows it
  EXPECT_TRUE(Verify(path).empty());

  DbSelectStore(kStorePhoneNotes);
  ASSERT_TRUE(DbOpen(kDbModeWrite, 0, 1119));   // "PhoneBk.kvdb", a different file
  EXPECT_EQ(Put(IdRequest(kDbTypePhoneNote), SerializeNoteRecord(kDbTypePhoneNote, "p")), 1);
  ASSERT_TRUE(DbClose());
  EXPECT_TRUE(FileExists(JoinPath(folder, "PhoneBk.kvdb")));

  DbSelectStore(kStoreToDoNotes);
  ASSERT_TRUE(DbOpen(kDbModeRead, 0, 1122));
  for (int n : {0, 31, 39}) {
    DbRequest r = IdRequest(kDbTypeToDoNote, ids[n]);
    ASSERT_TRUE(DbAccess(kDbRead, r));
    EXPECT_EQ(ParseNoteText(r.block), "note " + std::to_string(n));
  }
  ASSERT_TRUE(DbClose());
  DbSelectStore(3);
  EXPECT_FALSE(DbOpen(kDbModeWrite, 0, 1119));
  EXPECT_EQ(DbCallerCode(), kCallerOpenFailed);
}

// The month, to-do and phonebook files share their opening rules.
TEST_F(Container, StoreFilesAreCreatedOnlyForWritingAndNameThePathWhenTheyCannotBe) {
  struct Case {
    const char* what;
    std::function<int(int)> open;
    std::function<int()> close, caller;
    std::function<std::string()> path;
    size_t newSize;
    MsgBeep beep;
  };
  const Case cases[] = {
      {"month", [](int mode) { return DbOpen(mode, kMarch, 1114); }, DbClose, DbCallerCode,
       [] { return MonthFilePath(kMarch); }, 1536, MsgBeep::None},
      {"to-do", [](int mode) { return ToDoStoreOpen(mode, 1201); }, ToDoStoreClose, ToDoCallerCode, ToDoFilePath, 762,
       MsgBeep::Default},
      {"phonebook", [](int mode) { return PhoneStoreOpen(mode, 1703); }, PhoneStoreClose, PhoneCallerCode, PhoneFilePath,
       32, MsgBeep::Default},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Restart();
    std::string path = c.path();
    EXPECT_FALSE(c.open(kDbModeRead));
    EXPECT_EQ(c.caller(), kCallerOpenFailed);
    EXPECT_FALSE(FileExists(path));
    // An empty file (a creation that never got its header) is the same as a missing one.
    test::WriteAll(path, {});
    EXPECT_FALSE(c.open(kDbModeRead));
    ASSERT_TRUE(c.open(kDbModeWrite));
    ASSERT_TRUE(c.close());
    EXPECT_EQ(ReadAll(path).size(), c.newSize);
    EXPECT_TRUE(messages.Shown().empty());

    SetDatabaseFolder(JoinPath(folder, "no such folder"));
    EXPECT_FALSE(c.open(kDbModeWrite));
    EXPECT_EQ(c.caller(), kCallerOpenFailed);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "Error creating file:\n\n" + c.path());
    EXPECT_EQ(messages.Shown()[0].caption, "");
    EXPECT_EQ(messages.Shown()[0].beep, c.beep);
  }
}

// Every data access error, with the sub code it shows.
TEST_F(Container, DataAccessErrorsShowTheirCodes) {
  struct Case {
    const char* what;
    std::function<void()> misuse;
    int error, sub;
  };
  DbRequest r = DayRequest(kMarch, 1, kDbTypeSchedItem);
  r.block = SchedRecord("x");
  std::vector<Case> cases = {
      {"access with none open", [&] { EXPECT_FALSE(DbAccess(kDbFind, r)); }, 1, 0},
      {"open while open", [&] { DbOpen(kDbModeWrite, kMarch, 1114); EXPECT_FALSE(DbOpen(kDbModeRead, kMarch, 1122)); }, 2, 1114},
      {"write while reading", [&] { DbOpen(kDbModeRead, kMarch, 1122); EXPECT_FALSE(DbAccess(kDbWrite, r)); }, 3, 1122},
      {"delete while reading", [&] { DbOpen(kDbModeRead, kMarch, 1122); EXPECT_FALSE(DbAccess(kDbDelete, r)); }, 3, 1122},
      {"close with none open", [&] { EXPECT_TRUE(DbClose()); }, 4, 0},
      {"to-do opened twice", [&] { ToDoStoreOpen(kDbModeRead, 1201); EXPECT_FALSE(ToDoStoreOpen(kDbModeRead, 1205)); }, 5, 1201},
      {"to-do closed unopened", [&] { DbOpen(kDbModeWrite, kMarch, 1120); DbClose(); EXPECT_TRUE(ToDoStoreClose()); }, 6, 1120},
      {"phonebook opened twice", [&] { PhoneStoreOpen(kDbModeWrite, 1703); EXPECT_FALSE(PhoneStoreOpen(kDbModeWrite, 1704)); }, 7, 1703},
      {"phonebook closed unopened", [&] { DbOpen(kDbModeWrite, kMarch, 1121); DbClose(); EXPECT_TRUE(PhoneStoreClose()); }, 8, 1121},
  };
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));   // the month and the to-do file exist
  ASSERT_TRUE(DbClose());
  ASSERT_TRUE(ToDoStoreOpen(kDbModeWrite, 1203));
  ASSERT_TRUE(ToDoStoreClose());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Restart();
    c.misuse();
    ASSERT_EQ(messages.Shown().size(), 1u);
    const UserMessage& m = messages.Shown()[0];
    EXPECT_EQ(m.text, "KALVORA: Data access exception:\n\nError Code: " + std::to_string(c.error) +
                          "\nSub Code: " + std::to_string(c.sub));
    EXPECT_EQ(m.caption, "Kalvora");
    EXPECT_EQ(m.beep, MsgBeep::Stop);
  }
}

TEST_F(Container, RequestsThatWouldBreakTheFileAreRefused) {
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  Put(DayRequest(kMarch, 1, kDbTypeSchedItem), SchedRecord("keep"));
  std::vector<uint8_t> before = ReadAll(March());
  std::vector<uint8_t> shortLength = SchedRecord("x");
  PutU16LE(shortLength.data(), 80);   // claims more bytes than the block holds
  std::vector<uint8_t> wrongType = SchedRecord("x");
  wrongType[2] = kDbTypeDayNote;
  std::vector<uint8_t> tooLong(65, 0);
  PutU16LE(tooLong.data(), 65);
  tooLong[2] = kDbTypeSchedItem;
  struct Case {
    DbRequest request;
    std::vector<uint8_t> record;
  } cases[] = {
      {DayRequest(kMarch, 0, kDbTypeSchedItem), SchedRecord("x")},  {DayRequest(kMarch, 32, kDbTypeSchedItem), SchedRecord("x")},
      {DayRequest(kMarch, 1, kDbTypeEmpty), SchedRecord("x")},      {DayRequest(kMarch, 1, kDbTypeFree), SchedRecord("x")},
      {DayRequest(kMarch, 1, kDbTypeSchedItem), shortLength},       {DayRequest(kMarch, 1, kDbTypeSchedItem), wrongType},
      {DayRequest(kMarch, 1, kDbTypeSchedItem), tooLong},           {DayRequest(kMarch, 1, kDbTypeSchedItem), {3}},
  };
  for (Case& c : cases) EXPECT_EQ(Put(c.request, c.record), 0);
  EXPECT_FALSE(DbAccess(kDbFind, cases[0].request));
  EXPECT_FALSE(DbAccess(99, cases[0].request));
  ASSERT_TRUE(DbClose());
  EXPECT_EQ(ReadAll(March()), before);
}

TEST_F(Container, IdsAfter65535AreTheSmallestFreeOnes) {
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  for (int n = 0; n < 3; ++n) Put(DayRequest(kMarch, 1, kDbTypeSchedItem), SchedRecord("r"));
  DbRequest del = DayRequest(kMarch, 1, kDbTypeSchedItem, 2);
  ASSERT_TRUE(DbAccess(kDbDelete, del));
  ASSERT_TRUE(DbClose());
  std::vector<uint8_t> file = ReadAll(March());
  test::Patch(file.data(), ParseDbHeaderFields, SerializeDbHeaderFields, [](auto& h) { h.lastId = 0xFFFF; });
  test::WriteAll(March(), file);
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  EXPECT_EQ(Put(DayRequest(kMarch, 5, kDbTypeSchedItem), SchedRecord("r")), 2);
  EXPECT_EQ(Put(DayRequest(kMarch, 5, kDbTypeSchedItem), SchedRecord("r")), 4);
  ASSERT_TRUE(DbClose());
  EXPECT_EQ(FieldsOf(ReadAll(March())).lastId, 0xFFFF);
  EXPECT_TRUE(Verify(March()).empty());
}

TEST_F(Container, AListingPauseReopensTheContainerAsItWas) {
  ASSERT_TRUE(DbOpen(kDbModeWrite, kMarch, 1114));
  {
    DbListingPause pause;
    EXPECT_FALSE(DbIsOpen());
    ASSERT_TRUE(DbOpen(kDbModeWrite, MonthKey(2025, 4), 1401));
    ASSERT_TRUE(DbClose());
  }
  EXPECT_TRUE(DbIsOpen());
  EXPECT_EQ(DbCallerCode(), kCallerReopen);
  EXPECT_TRUE(Put(DayRequest(kMarch, 1, kDbTypeSchedItem), SchedRecord("still writable")));
  ASSERT_TRUE(DbClose());
  {
    DbListingPause nothingOpen;
  }
  EXPECT_FALSE(DbIsOpen());
  EXPECT_TRUE(messages.Shown().empty());
}

}  // namespace
}  // namespace kv
