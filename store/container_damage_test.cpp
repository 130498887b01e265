// Damaged containers: refused when the header cannot be used, otherwise read up to the damage
// and never written.
#include <functional>
#include <map>
#include <set>

#include "store/container.h"
#include "store/db_messages.h"
#include "store/store_test_support.h"

namespace kv {
namespace {

using test::DayRequest;
using test::FieldsOf;
using test::Put;
using test::ReadAll;
using test::SchedRecord;
using test::SlotOf;

constexpr uint32_t kJune = MonthKey(2024, 6);

// A month with three items on day 1, a note on day 2, two items on day 5 and two holes.
struct GoodFile {
  std::vector<uint8_t> bytes;
  std::map<uint16_t, uint32_t> slotOf;   // live id -> slot index
  std::vector<uint16_t> day1;            // ids of day 1 in chain order
  std::vector<uint16_t> day5;
  uint32_t hole = 0;                     // slot of the free list head
};

GoodFile MakeGoodFile() {
  GoodFile g;
  EXPECT_TRUE(DbOpen(kDbModeWrite, kJune, 1114));
  for (int n = 0; n < 3; ++n) Put(DayRequest(kJune, 1, kDbTypeSchedItem), SchedRecord("day one " + std::to_string(n)));
  Put(DayRequest(kJune, 2, kDbTypeDayNote), SerializeNoteRecord(kDbTypeDayNote, "a note on day two"));
  uint16_t gone = Put(DayRequest(kJune, 3, kDbTypeSchedItem), SchedRecord("deleted"));
  uint16_t gone2 = Put(DayRequest(kJune, 4, kDbTypeDayNote), SerializeNoteRecord(kDbTypeDayNote, "deleted too"));
  for (int n = 0; n < 2; ++n) Put(DayRequest(kJune, 5, kDbTypeSchedItem), SchedRecord("day five " + std::to_string(n)));
  DbRequest del = DayRequest(kJune, 3, kDbTypeSchedItem, gone);
  EXPECT_TRUE(DbAccess(kDbDelete, del));
  del = DayRequest(kJune, 4, kDbTypeDayNote, gone2);
  EXPECT_TRUE(DbAccess(kDbDelete, del));
  g.day1 = test::ListDay(kJune, 1, kDbTypeSchedItem);
  g.day5 = test::ListDay(kJune, 5, kDbTypeSchedItem);
  EXPECT_TRUE(DbClose());
  g.bytes = ReadAll(MonthFilePath(kJune));
  DbHeaderFields h = FieldsOf(g.bytes);
  for (uint32_t i = 0; i < h.slotsInUse; ++i) {
    DbSlot s = SlotOf(g.bytes, i);
    if (s.type != kDbTypeEmpty && s.type != kDbTypeFree) g.slotOf[s.id] = i;
  }
  g.hole = h.freeHead - 1u;
  return g;
}

void PatchSlot(std::vector<uint8_t>& file, uint32_t i, const std::function<void(DbSlot&)>& change) {
  test::Patch(file.data() + DbSlotOffset(i), ParseDbSlot, SerializeDbSlot, change);
}
void PatchFields(std::vector<uint8_t>& file, const std::function<void(DbHeaderFields&)>& change) {
  test::Patch(file.data(), ParseDbHeaderFields, SerializeDbHeaderFields, change);
}

// The ids a reader gets: every record of types 1 and 4 found and read on every day.
std::set<uint16_t> ReadableIds() {
  std::set<uint16_t> ids;
  for (int day = 1; day <= 31; ++day) {
    for (uint8_t type : {kDbTypeDayNote, kDbTypeSchedItem}) {
      for (uint16_t id : test::ListDay(kJune, day, type)) {
        DbRequest r = DayRequest(kJune, day, type, id);
        EXPECT_TRUE(DbAccess(kDbRead, r)) << "found but unreadable: " << id;
        EXPECT_EQ(ReadU16LE(r.block.data()), r.block[2] == kDbTypeSchedItem ? 64 : r.block.size());
        ids.insert(id);
      }
    }
  }
  return ids;
}

class ContainerDamage : public test::StoreTest {
 protected:
  ContainerDamage() { filesMustVerify = false; }   // every file here is damaged on purpose
};

TEST_F(ContainerDamage, EachFaultIsRefusedOrReadUpToTheDamageAndNeverWritten) {
  GoodFile g = MakeGoodFile();
  ASSERT_EQ(g.day1.size(), 3u);
  ASSERT_EQ(g.day5.size(), 2u);
  uint16_t last1 = g.day1.back(), mid1 = g.day1[1], head5 = g.day5[0], note = 0;
  for (auto [id, slot] : g.slotOf)
    if (SlotOf(g.bytes, slot).type == kDbTypeDayNote) note = id;
  auto slot = [&g](uint16_t id) { return g.slotOf.at(id); };

  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> corrupt;
    bool refused;
    std::set<uint16_t> lost;
  };
  std::vector<Case> cases = {
      {"foreign magic", [](auto& f) { f[0] = 'X'; }, true, {}},
      {"cut inside the header", [](auto& f) { f.resize(1200); }, true, {}},
      {"capacity not fitting the growths", [](auto& f) { PatchFields(f, [](auto& h) { h.capacity = 125; }); }, true, {}},
      {"header longer than the file",
       [](auto& f) { PatchFields(f, [](auto& h) { h.growths = 2, h.capacity = 380; }); }, true, {}},
      {"chain looping back", [&](auto& f) { PatchSlot(f, slot(last1), [&](DbSlot& s) { s.next = static_cast<uint16_t>(slot(mid1)); }); }, false, {}},
      {"chain leaving the slots", [&](auto& f) { PatchSlot(f, slot(mid1), [](DbSlot& s) { s.next = 500; }); }, false, {last1}},
      {"chain into a chain head", [&](auto& f) { PatchSlot(f, slot(mid1), [](DbSlot& s) { s.next = 4; }); }, false, {last1}},
      {"record beyond the file", [&](auto& f) { PatchSlot(f, slot(mid1), [](DbSlot& s) { s.offset = 100000; }); }, false, {mid1}},
      {"record inside the header", [&](auto& f) { PatchSlot(f, slot(mid1), [](DbSlot& s) { s.offset = 100; }); }, false, {mid1}},
      {"length field disagreeing",
       [&](auto& f) { PutU16LE(f.data() + SlotOf(f, slot(note)).offset, 9999); }, false, {note}},
      {"type byte disagreeing", [&](auto& f) { f[SlotOf(f, slot(mid1)).offset + 2] = 2; }, false, {mid1}},
      {"records overlapping",
       [&](auto& f) { PatchSlot(f, slot(head5), [&](DbSlot& s) { s.offset = SlotOf(f, slot(mid1)).offset + 10; }); }, false, {head5}},
      {"schedule item longer than 64", [&](auto& f) { PatchSlot(f, slot(mid1), [](DbSlot& s) { s.length = 70; }); }, false, {mid1}},
      {"free list looping", [&](auto& f) { PatchSlot(f, g.hole, [&](DbSlot& s) { s.next = static_cast<uint16_t>(g.hole); }); }, false, {}},
      {"free list into a chain", [&](auto& f) { PatchSlot(f, g.hole, [&](DbSlot& s) { s.next = static_cast<uint16_t>(slot(last1)); }); }, false, {}},
      {"free list out of order", [&](auto& f) { PatchSlot(f, g.hole, [](DbSlot& s) { s.length = 60000; }); }, false, {}},
      {"slots in use above the capacity", [](auto& f) { PatchFields(f, [](auto& h) { h.slotsInUse = 200; }); }, false, {}},
      {"end of data beyond the file", [](auto& f) { PatchFields(f, [](auto& h) { h.endOfData += 5000; }); }, false, {}},
      {"end of data inside the header", [](auto& f) { PatchFields(f, [](auto& h) { h.endOfData = 1000; }); }, false, {}},
      {"id above the last id", [](auto& f) { PatchFields(f, [](auto& h) { h.lastId = 2; }); }, false, {}},
      {"two records with one id", [&](auto& f) { PatchSlot(f, slot(last1), [&](DbSlot& s) { s.id = head5; }); }, false, {last1}},
      {"head marked free", [&](auto& f) { PatchSlot(f, 4, [](DbSlot& s) { s.type = kDbTypeFree; }); }, false, {head5, g.day5[1]}},
      {"record in no chain", [&](auto& f) { PatchSlot(f, slot(mid1), [&](DbSlot& s) { s.next = 0; }); }, false, {last1}},
  };

  std::string path = MonthFilePath(kJune);
  std::set<uint16_t> all;
  for (auto [id, s] : g.slotOf) all.insert(id);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bad = g.bytes;
    c.corrupt(bad);
    test::WriteAll(path, bad);
    Restart();
    std::string message = "File failed header check:\n\n" + path;

    EXPECT_FALSE(DbOpen(kDbModeWrite, kJune, 1114));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{message});
    EXPECT_EQ(DbCallerCode(), kCallerOpenFailed);
    messages.Clear();
    if (c.refused) {
      EXPECT_FALSE(DbOpen(kDbModeRead, kJune, 1122));
      EXPECT_EQ(messages.Texts(), std::vector<std::string>{message});
    } else {
      ASSERT_TRUE(DbOpen(kDbModeRead, kJune, 1122));
      EXPECT_TRUE(DbIsDamaged());
      EXPECT_EQ(messages.Texts(), std::vector<std::string>{message});
      std::set<uint16_t> expected;
      for (uint16_t id : all)
        if (!c.lost.count(id)) expected.insert(id);
      EXPECT_EQ(ReadableIds(), expected);
      ASSERT_TRUE(DbClose());
      ASSERT_TRUE(DbOpen(kDbModeRead, kJune, 1122));   // reported once per session
      ASSERT_TRUE(DbClose());
      EXPECT_EQ(messages.Shown().size(), 1u);
    }
    EXPECT_EQ(ReadAll(path), bad);
    EXPECT_FALSE(Verify(path).empty());
  }
}

TEST_F(ContainerDamage, VerifyNamesWhatIsWrong) {
  GoodFile g = MakeGoodFile();
  std::string path = MonthFilePath(kJune);
  EXPECT_TRUE(Verify(path).empty());
  std::vector<uint8_t> bad = g.bytes;
  PatchSlot(bad, g.slotOf.at(g.day1[1]), [](DbSlot& s) { s.next = 500; });
  PatchFields(bad, [](auto& h) { h.version = 6; });
  test::WriteAll(path, bad);
  EXPECT_EQ(Verify(path), (std::vector<std::string>{
                              "version is 6, not 7",
                              "slot " + std::to_string(g.slotOf.at(g.day1[1])) + " of chain 0 links to slot 500, outside 31 ... " +
                                  std::to_string(FieldsOf(bad).slotsInUse - 1),
                              "slot " + std::to_string(g.slotOf.at(g.day1[2])) + " of type 4 is in no chain and not on the free list",
                          }));
  bad.resize(700);
  test::WriteAll(path, bad);
  EXPECT_EQ(Verify(path), std::vector<std::string>{"the file is 700 bytes long, shorter than a 1536-byte header"});
}

// A record found sound when the file was opened but damaged since is caught when read: the
// container is then treated as damaged and no longer written.
TEST_F(ContainerDamage, ARecordDamagedAfterOpeningStopsWriting) {
  GoodFile g = MakeGoodFile();
  std::string path = MonthFilePath(kJune);
  ASSERT_TRUE(DbOpen(kDbModeWrite, kJune, 1114));
  {
    BinaryFile other;
    ASSERT_TRUE(other.Open(path, BinaryFile::Access::ReadWrite));
    uint8_t wrong[2] = {0x11, 0x22};
    ASSERT_TRUE(other.WriteAt(SlotOf(g.bytes, g.slotOf.at(g.day5[1])).offset, wrong, 2));
  }
  DbRequest r = DayRequest(kJune, 5, kDbTypeSchedItem, g.day5[1]);
  EXPECT_FALSE(DbAccess(kDbRead, r));
  EXPECT_TRUE(DbIsDamaged());
  std::vector<uint8_t> now = ReadAll(path);
  EXPECT_EQ(Put(DayRequest(kJune, 6, kDbTypeSchedItem), SchedRecord("refused")), 0);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"File failed header check:\n\n" + path});
  r = DayRequest(kJune, 5, kDbTypeSchedItem, g.day5[0]);
  EXPECT_TRUE(DbAccess(kDbRead, r));
  ASSERT_TRUE(DbClose());
  EXPECT_EQ(ReadAll(path), now);
}

}  // namespace
}  // namespace kv
