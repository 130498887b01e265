#include "store/phone_file.h"

#include <functional>

#include "store/db_messages.h"
#include "store/store_test_support.h"

namespace kv {
namespace {

using test::ReadAll;

PhoneEntry Entry(const std::string& name) {
  PhoneEntry e{};
  PutFixedText(e.data() + 4, 251, name + "\x1c");
  return e;
}

class PhoneFile : public test::StoreTest {
 protected:
  std::string Path() { return PhoneFilePath(); }
  std::vector<uint8_t> File() { return ReadAll(Path()); }
  PhoneHeaderFields Header() { return ParsePhoneHeader(File().data()); }
  PhoneEntryRef Store(const std::string& name, PhoneEntryRef ref = {}) {
    PhoneEntry e = Entry(name);
    EXPECT_TRUE(PhoneStoreEntry(e, ref)) << name;
    return ref;
  }
  // Rewrites the header of the file on disk.
  template <typename Change>
  void PatchHeader(Change change) {
    std::vector<uint8_t> file = File();
    test::Patch(file.data(), ParsePhoneHeader, SerializePhoneHeader, change);
    test::WriteAll(Path(), file);
  }
  int16_t IdAt(uint16_t slot) { return ReadI16LE(File().data() + PhoneSlotOffset(slot)); }
  std::vector<std::pair<uint16_t, std::string>> Load(int mode = kDbModeRead) {
    std::vector<std::pair<uint16_t, std::string>> out;
    if (!PhoneStoreOpen(mode, 1703)) return out;
    std::vector<PhoneLoaded> entries;
    EXPECT_TRUE(PhoneLoadEntries(entries));
    for (const PhoneLoaded& l : entries) out.emplace_back(l.slot, ReadFixedText(l.entry.data() + 4, 251));
    PhoneStoreClose();
    return out;
  }
  void Delete(uint16_t slot) {
    ASSERT_TRUE(PhoneStoreOpen(kDbModeWrite, 1704));
    EXPECT_TRUE(PhoneDeleteEntry(slot));
    PhoneStoreClose();
  }
};

TEST(PhoneFormat, HeaderRoundTrip) {
  uint8_t raw[32];
  PhoneHeaderFields h{7, 3, 5, 9, 2};
  SerializePhoneHeader(h, raw);
  const uint8_t expected[16] = {'O', 'R', 'B', 'D', 'B', 0, 7, 0, 3, 0, 5, 0, 9, 0, 2, 0};
  EXPECT_TRUE(std::equal(expected, expected + 16, raw));
  EXPECT_TRUE(std::all_of(raw + 16, raw + 32, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(ParsePhoneHeader(raw), h);
}

TEST_F(PhoneFile, NewEntriesGetIdsSlotsAndTheLayoutMarker) {
  PhoneEntryRef a = Store("Adams"), b = Store("Baker"), c = Store("Clark");
  EXPECT_EQ(a.id, 1);
  EXPECT_EQ(b.slot, 2);
  EXPECT_EQ(c.id, 3);
  std::vector<uint8_t> file = File();
  ASSERT_EQ(file.size(), 32u + 3 * 256);
  EXPECT_EQ(Header(), (PhoneHeaderFields{7, 3, 4, 4, 0}));
  EXPECT_EQ(file[PhoneSlotOffset(2) + 255], 1);
  EXPECT_EQ(Load(), (std::vector<std::pair<uint16_t, std::string>>{{1, "Adams\x1c"}, {2, "Baker\x1c"}, {3, "Clark\x1c"}}));
  EXPECT_TRUE(Verify(Path()).empty());
}

TEST_F(PhoneFile, DeletedSlotsChainAndAreReusedNewestFirst) {
  for (const char* name : {"a", "b", "c", "d"}) Store(name);
  Delete(2);
  Delete(4);
  EXPECT_EQ(Header(), (PhoneHeaderFields{7, 2, 5, 5, 4}));
  EXPECT_EQ(IdAt(4), -2);
  EXPECT_EQ(IdAt(2), 0);
  EXPECT_EQ(File()[PhoneSlotOffset(4) + 4], 'd');   // the rest of a deleted slot stays
  EXPECT_TRUE(Verify(Path()).empty());
  PhoneEntryRef e = Store("e");
  EXPECT_EQ(e.slot, 4);
  EXPECT_EQ(e.id, 5);
  EXPECT_EQ(Header().freeHead, 2);
  EXPECT_EQ(Store("f").slot, 2);
  EXPECT_EQ(Store("g").slot, 5);
  EXPECT_EQ(Header(), (PhoneHeaderFields{7, 5, 6, 8, 0}));
  EXPECT_TRUE(Verify(Path()).empty());
}

TEST_F(PhoneFile, ReplacingKeepsIdSlotAndTheFilesNoteId) {
  PhoneEntryRef a = Store("Adams");
  Store("Baker");
  ASSERT_TRUE(PhoneStoreOpen(kDbModeWrite, 1705));
  PhoneEntry stored = *PhoneReadEntry(a.slot);
  SetPhoneEntryNoteId(stored, 12);
  ASSERT_TRUE(PhoneWriteEntry(stored, a.slot));
  PhoneEntry other = stored;
  PutI16LE(other.data(), 2);
  EXPECT_FALSE(PhoneWriteEntry(other, a.slot));   // another entry's id
  ASSERT_TRUE(PhoneStoreClose());
  PhoneEntryRef edited = Store("Adams-Smith", a);   // the caller's ref still says note 0
  EXPECT_EQ(edited.slot, a.slot);
  EXPECT_EQ(edited.id, a.id);
  EXPECT_EQ(edited.noteId, 12);
  EXPECT_EQ(Header().count, 2);
  EXPECT_EQ(Load()[0].second, "Adams-Smith\x1c");
  // A ref to an entry that is gone is refused rather than writing over the slot.
  Delete(a.slot);
  PhoneEntry e = Entry("stale");
  EXPECT_FALSE(PhoneStoreEntry(e, edited));
  EXPECT_TRUE(Verify(Path()).empty());
}

TEST_F(PhoneFile, ACountAboveTheLiveEntriesIsCorrected) {
  for (const char* name : {"a", "b", "c"}) Store(name);
  PatchHeader([](auto& h) { h.count = 5; });
  EXPECT_FALSE(Verify(Path()).empty());
  EXPECT_EQ(Load(kDbModeRead).size(), 3u);
  EXPECT_EQ(Header().count, 5);   // reading does not write
  EXPECT_EQ(Load(kDbModeWrite).size(), 3u);
  EXPECT_EQ(Header().count, 3);
  EXPECT_TRUE(Verify(Path()).empty());
  EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(PhoneFile, TheTwoThousandFortyNinthEntryIsRefused) {
  for (int n = 0; n < 2048; ++n) {
    PhoneEntry e = Entry("n" + std::to_string(n));
    PhoneEntryRef ref;
    ASSERT_TRUE(PhoneStoreEntry(e, ref)) << n;
  }
  PhoneEntry e = Entry("one too many");
  PhoneEntryRef ref;
  EXPECT_FALSE(PhoneStoreEntry(e, ref));
  EXPECT_EQ(Header().count, 2048);
  EXPECT_EQ(File().size(), 32u + 2048 * 256);
  EXPECT_TRUE(Verify(Path()).empty());
}

TEST_F(PhoneFile, IdsAfter32767AreTheSmallestFreeOnes) {
  Store("a");
  Store("b");
  PatchHeader([](auto& h) { h.nextId = 32767; });
  EXPECT_EQ(Store("c").id, 32767);
  Delete(1);
  EXPECT_EQ(Store("d").id, 1);
  EXPECT_EQ(Store("e").id, 3);
  EXPECT_EQ(Header().nextId, 32768);
  EXPECT_TRUE(Verify(Path()).empty());
}

// Missing files and creation failures: Container.StoreFilesAreCreatedOnlyForWriting...
TEST_F(PhoneFile, ANewFileIsABareHeaderAndAForeignOneIsRefused) {
  filesMustVerify = false;   // damaged on purpose
  ASSERT_TRUE(PhoneStoreOpen(kDbModeWrite, 1704));
  ASSERT_TRUE(PhoneStoreClose());
  EXPECT_EQ(File().size(), 32u);
  EXPECT_EQ(Header(), PhoneHeaderFields{});
  EXPECT_TRUE(messages.Shown().empty());
  test::WriteAll(Path(), std::vector<uint8_t>(20, 'P'));
  EXPECT_FALSE(PhoneStoreOpen(kDbModeRead, 1703));
  ASSERT_EQ(messages.Shown().size(), 1u);
  EXPECT_EQ(messages.Shown()[0].text, "File failed header check:\n\n" + Path());
  EXPECT_EQ(messages.Shown()[0].beep, MsgBeep::Default);
}

TEST_F(PhoneFile, DamagedFilesKeepEveryLiveEntryAndAreNeverWritten) {
  filesMustVerify = false;   // damaged on purpose
  for (const char* name : {"a", "b", "c", "d", "e"}) Store(name);
  Delete(2);
  Delete(4);   // free chain 4 -> 2
  std::vector<uint8_t> good = File();
  auto setId = [](std::vector<uint8_t>& f, uint16_t slot, int16_t id) { PutI16LE(f.data() + PhoneSlotOffset(slot), id); };
  auto fields = [](std::vector<uint8_t>& f, const std::function<void(PhoneHeaderFields&)>& change) {
    test::Patch(f.data(), ParsePhoneHeader, SerializePhoneHeader, change);
  };
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> corrupt;
    std::vector<uint16_t> live;
  } cases[] = {
      {"free chain looping", [&](auto& f) { setId(f, 2, -4); }, {1, 3, 5}},
      {"free chain into a live entry", [&](auto& f) { setId(f, 2, -3); }, {1, 3, 5}},
      {"free chain beyond the used slots", [&](auto& f) { setId(f, 2, -9); }, {1, 3, 5}},
      {"free head beyond the used slots", [&](auto& f) { fields(f, [](auto& h) { h.freeHead = 40; }); }, {1, 3, 5}},
      {"slot neither live nor free", [&](auto& f) { fields(f, [](auto& h) { h.freeHead = 2; }); }, {1, 3, 5}},
      {"used slots beyond the file", [](auto& f) { f.resize(f.size() - 100); }, {1, 3}},
      {"never-used slot past 2049", [&](auto& f) { fields(f, [](auto& h) { h.nextSlot = 3000; }); }, {1, 3, 5}},
      {"two entries with one id", [&](auto& f) { setId(f, 5, 1); }, {1, 3, 5}},
      {"an id not below the next id", [&](auto& f) { fields(f, [](auto& h) { h.nextId = 4; }); }, {1, 3, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bad = good;
    c.corrupt(bad);
    test::WriteAll(Path(), bad);
    Restart();
    PhoneEntry e = Entry("refused");
    PhoneEntryRef ref;
    EXPECT_FALSE(PhoneStoreEntry(e, ref));
    std::vector<uint16_t> slots;
    for (const auto& [slot, name] : Load()) slots.push_back(slot);
    EXPECT_EQ(slots, c.live);
    std::string message = "File failed header check:\n\n" + Path();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>(2, message));
    EXPECT_EQ(File(), bad);
    EXPECT_FALSE(Verify(Path()).empty());
  }
}

}  // namespace
}  // namespace kv
