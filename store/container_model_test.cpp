// Long random sequences of writes, rewrites and deletes, checked after every step against an
// in-memory model of what the container must hold.
#include <map>
#include <random>

#include "store/container.h"
#include "store/store_test_support.h"

namespace kv {
namespace {

using test::DayRequest;
using test::IdRequest;

struct Held {
  uint8_t type = 0;
  uint8_t day = 0;        // 0 in a file chained by id
  uint8_t flag = 0;
  std::vector<uint8_t> bytes;
};

class ContainerModel : public test::StoreTest {
 protected:
  // One run: `byDay` picks a month file of notes and schedule items chained by day, else a
  // notes file chained by id.
  void Run(uint32_t seed, int steps, bool byDay) {
    ResetStore();
    SetDatabaseFolder(folder);
    rng_.seed(seed);
    byDay_ = byDay;
    model_.clear();
    lastId_ = 0;
    path_ = byDay ? MonthFilePath(kKey) : NotesFilePath(kStoreToDoNotes);
    RemoveFile(path_);
    DbSelectStore(kStoreToDoNotes);
    ASSERT_TRUE(DbOpen(kDbModeWrite, byDay ? kKey : 0, 1114));
    for (int step = 0; step < steps; ++step) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
      int pick = Pick(0, 99);
      if (pick < 40 || model_.empty()) NewRecord();
      else if (pick < 55) Rewrite(true);
      else if (pick < 70) Rewrite(false);
      else if (pick < 97) DeleteRecord();   // deleting what is not there: Container.DeletingAHead...
      else Reopen();
      if (HasFatalFailure()) return;
      if (step % 97 == 0) CheckEverything();
    }
    CheckEverything();
    ASSERT_TRUE(DbClose());
    EXPECT_EQ(VerifyDbFile(path_, DbFileKind::Container), std::vector<std::string>{});
    EXPECT_TRUE(messages.Shown().empty());
  }

 private:
  static constexpr uint32_t kKey = MonthKey(2026, 2);

  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

  DbRequest Request(const Held& h, uint16_t id) const {
    return byDay_ ? DayRequest(kKey, h.day, h.type, id) : IdRequest(h.type, id);
  }

  // A record of a random kind; schedule items are 64 bytes (now and then the old 62), notes
  // have texts of any length up to a few hundred bytes.
  Held MakeRecord(uint8_t type, uint8_t day, size_t noteLength) {
    Held h;
    h.type = type;
    h.day = day;
    if (type == kDbTypeSchedItem) {
      h.bytes = test::SchedRecord("item " + std::to_string(Pick(0, 9999)), Pick(0, 9) ? 64 : 62);
      for (size_t k = 4; k < 22; ++k) h.bytes[k] = static_cast<uint8_t>(Pick(0, 255));
      h.flag = static_cast<uint8_t>(Pick(0, 3));
    } else {
      std::string text(noteLength, 'a');
      for (char& ch : text) ch = static_cast<char>('a' + Pick(0, 25));
      h.bytes = SerializeNoteRecord(type, text);
    }
    return h;
  }

  uint8_t RandomType() {
    if (!byDay_) return kDbTypeToDoNote;
    int pick = Pick(0, 2);
    return pick == 0 ? kDbTypeDayNote : pick == 1 ? kDbTypeItemNote : kDbTypeSchedItem;
  }
  // Few busy days, so that chains grow long and holes get reused.
  uint8_t RandomDay() { return byDay_ ? static_cast<uint8_t>(Pick(0, 3) ? Pick(1, 6) : Pick(1, 31)) : 0; }
  size_t RandomLength() { return static_cast<size_t>(Pick(0, 3) ? Pick(0, 60) : Pick(0, 400)); }

  uint16_t AnyId() {
    auto it = model_.begin();
    std::advance(it, Pick(0, static_cast<int>(model_.size()) - 1));
    return it->first;
  }

  uint16_t Write(const Held& h, uint16_t id) {
    DbRequest r = Request(h, id);
    r.block = h.bytes;
    r.mode = h.flag;
    EXPECT_TRUE(DbAccess(kDbWrite, r));
    return r.id;
  }

  void NewRecord() {
    Held h = MakeRecord(RandomType(), RandomDay(), RandomLength());
    uint16_t id = Write(h, 0);
    ASSERT_EQ(id, ++lastId_);
    model_[id] = h;
    CheckRecord(id);
  }

  // Same length keeps the id; another length gives the record a new one.
  void Rewrite(bool sameLength) {
    uint16_t id = AnyId();
    Held old = model_[id];
    size_t length = old.type == kDbTypeSchedItem ? 0 : (sameLength ? old.bytes.size() - 12 : RandomLength());
    Held h = MakeRecord(old.type, old.day, length);
    if (old.type == kDbTypeSchedItem && sameLength) h.bytes.resize(old.bytes.size()), PutU16LE(h.bytes.data(), static_cast<uint16_t>(old.bytes.size()));
    uint16_t got = Write(h, id);
    if (h.bytes.size() == old.bytes.size()) {
      ASSERT_EQ(got, id);
    } else {
      ASSERT_EQ(got, ++lastId_);
      model_.erase(id);
    }
    model_[got] = h;
    CheckRecord(got);
    CheckGone(old, id == got ? 0 : id);
  }

  void DeleteRecord() {
    uint16_t id = AnyId();
    Held h = model_[id];
    DbRequest r = Request(h, id);
    r.mode = kDbListing;
    ASSERT_TRUE(DbAccess(kDbDelete, r));
    model_.erase(id);
    CheckGone(h, id);
  }

  void Reopen() {
    ASSERT_TRUE(DbClose());
    ASSERT_TRUE(DbOpen(Pick(0, 1) ? kDbModeWrite : kDbModeRead, byDay_ ? kKey : 0, 1114));
    CheckEverything();
    if (!DbIsOpen()) return;
    ASSERT_TRUE(DbClose());
    ASSERT_TRUE(DbOpen(kDbModeWrite, byDay_ ? kKey : 0, 1114));
  }

  void CheckRecord(uint16_t id) {
    const Held& h = model_.at(id);
    DbRequest r = Request(h, id);
    ASSERT_TRUE(DbAccess(kDbRead, r)) << "id " << id;
    std::vector<uint8_t> want = h.bytes;   // old 62-byte items read as 64
    if (h.type == kDbTypeSchedItem) want.resize(64, 0);
    ASSERT_EQ(r.block, want) << "id " << id;
    ASSERT_EQ(r.mode & 0xFF, h.flag);
    CheckChain(h);
  }

  // After a change, the chain the record was in holds exactly the model's records.
  void CheckGone(const Held& h, uint16_t id) {
    if (id) {
      DbRequest r = Request(h, id);
      ASSERT_FALSE(DbAccess(kDbFind, r)) << "id " << id << " still found";
    }
    CheckChain(h);
  }

  void CheckChain(const Held& h) {
    if (!byDay_) return;
    std::vector<uint16_t> want;
    for (const auto& [id, held] : model_)
      if (held.day == h.day && held.type == h.type) want.push_back(id);
    std::vector<uint16_t> got = test::ListDay(kKey, h.day, h.type);
    std::sort(got.begin(), got.end());
    ASSERT_EQ(got, want) << "day " << int{h.day} << " type " << int{h.type};
  }

  void CheckEverything() {
    for (const auto& [id, h] : model_) {
      CheckRecord(id);
      if (HasFatalFailure()) return;
    }
    if (byDay_) {
      for (int day = 1; day <= 31; ++day)
        for (uint8_t type : {kDbTypeDayNote, kDbTypeItemNote, kDbTypeSchedItem}) CheckChain(Held{type, static_cast<uint8_t>(day), 0, {}});
    }
    ASSERT_EQ(VerifyDbFile(path_, DbFileKind::Container), std::vector<std::string>{});
  }

  std::mt19937 rng_;
  bool byDay_ = true;
  std::string path_;
  std::map<uint16_t, Held> model_;
  uint16_t lastId_ = 0;
};

// Month files (notes and items chained by day) and a notes file (chained by id).
TEST_F(ContainerModel, FilesFollowTheModel) {
  const std::pair<uint32_t, bool> runs[] = {{1, true}, {2, true}, {3, true}, {4, false}, {5, false}};
  for (auto [seed, byDay] : runs) {
    Run(seed, byDay ? 2500 : 2000, byDay);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace kv
