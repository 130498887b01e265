#include "store/todo_file.h"

#include <functional>

#include "calendar/clock.h"
#include "store/db_messages.h"
#include "store/store_test_support.h"

namespace kv {
namespace {

using test::ReadAll;

ToDoItem Item(const std::string& text) {
  ToDoItem item{};
  item[7] = 1;
  item[14] = 2;
  PutFixedText(item.data() + 19, 40, text);
  return item;
}

MinuteKey Key(int month, int day, int hour = 23, int minute = 59) { return MakeMinuteKey(2025, month, day, hour, minute); }

class ToDoFile : public test::StoreTest {
 protected:
  std::string Path() { return ToDoFilePath(); }
  std::vector<uint8_t> File() { return ReadAll(Path()); }
  ToDoHeaderFields Header() { return ParseToDoHeaderFields(File().data()); }
  ToDoSlot SlotAt(uint16_t s) { return ParseToDoSlot(File().data() + ToDoSlotOffset(s)); }
  // Slots in list order, read back through the store.
  std::vector<uint16_t> Order() {
    std::vector<uint16_t> slots;
    if (!ToDoStoreOpen(kDbModeRead, 1201)) return slots;
    for (const ToDoListed& l : ToDoListOrder()) slots.push_back(l.slot);
    ToDoStoreClose();
    return slots;
  }
  std::string Text(uint16_t slot) {
    ToDoStoreOpen(kDbModeRead, 1201);
    std::optional<ToDoItem> item = ToDoReadItem(slot);
    ToDoStoreClose();
    return item ? ReadFixedText(item->data() + 19, 40) : "<none>";
  }
};

TEST(ToDoFormat, HeaderAndSlotRoundTrip) {
  std::vector<uint8_t> bytes = NewToDoHeader();
  ASSERT_EQ(bytes.size(), 762u);
  const uint8_t start[] = {'O', 'R', 'B', 'D', 'B', 0, 7, 0, 0, 0, 61, 0, 0, 0};
  EXPECT_TRUE(std::equal(std::begin(start), std::end(start), bytes.begin()));
  EXPECT_TRUE(std::all_of(bytes.begin() + 14, bytes.end(), [](uint8_t b) { return b == 0; }));
  ToDoHeaderFields h{7, 3, 125, 9};
  SerializeToDoHeaderFields(h, bytes.data());
  EXPECT_EQ(ParseToDoHeaderFields(bytes.data()), h);
  ToDoSlot s{0x01020304, 0xA0B0C0D0, 0x1112, 0x2122};
  uint8_t raw[12];
  SerializeToDoSlot(s, raw);
  const uint8_t expected[12] = {4, 3, 2, 1, 0xD0, 0xC0, 0xB0, 0xA0, 0x12, 0x11, 0x22, 0x21};
  EXPECT_TRUE(std::equal(raw, raw + 12, expected));
  EXPECT_EQ(ParseToDoSlot(raw), s);
}

TEST_F(ToDoFile, ItemsListInKeyOrderBeforeEqualKeys) {
  uint16_t a = ToDoInsertItem(Key(3, 1, 0, 0), Key(3, 10), Item("a"));
  uint16_t b = ToDoInsertItem(Key(3, 1, 0, 0), Key(3, 5), Item("b"));
  uint16_t c = ToDoInsertItem(Key(3, 2, 0, 0), Key(3, 20), Item("c"));
  uint16_t d = ToDoInsertItem(Key(3, 2, 0, 0), Key(3, 10), Item("d"));   // equal to a: goes before it
  EXPECT_EQ((std::vector<uint16_t>{a, b, c, d}), (std::vector<uint16_t>{1, 2, 3, 4}));
  EXPECT_EQ(Order(), (std::vector<uint16_t>{b, d, a, c}));
  ToDoHeaderFields h = Header();
  EXPECT_EQ(h.count, 4);
  EXPECT_EQ(h.head, b);
  EXPECT_EQ(SlotAt(d), (ToDoSlot{Key(3, 2, 0, 0), Key(3, 10), a, b}));
  EXPECT_EQ(File().size(), 762u + 4 * 59);
  EXPECT_EQ(Text(c), "c");
  EXPECT_TRUE(Verify(Path()).empty());
  EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ToDoFile, ReplacingRelinksRemovingKeepsTheItemBytes) {
  uint16_t a = ToDoInsertItem(1, Key(4, 1), Item("a"));
  uint16_t b = ToDoInsertItem(1, Key(4, 2), Item("b"));
  uint16_t c = ToDoInsertItem(1, Key(4, 3), Item("c"));
  EXPECT_EQ(ToDoInsertItem(1, Key(4, 9), Item("a edited"), a), a);
  EXPECT_EQ(Order(), (std::vector<uint16_t>{b, c, a}));
  EXPECT_EQ(Header().count, 3);
  EXPECT_EQ(Text(a), "a edited");
  ASSERT_TRUE(ToDoRemoveItem(c));
  EXPECT_EQ(Order(), (std::vector<uint16_t>{b, a}));
  EXPECT_EQ(SlotAt(c), ToDoSlot{});
  EXPECT_EQ(Header().count, 2);
  EXPECT_EQ(Text(c), "c");   // the item's bytes stay in the file
  // The freed slot is the first free one again.
  EXPECT_EQ(ToDoInsertItem(1, Key(4, 1), Item("new")), c);
  EXPECT_EQ(Order(), (std::vector<uint16_t>{c, b, a}));
  EXPECT_TRUE(Verify(Path()).empty());
  // Refused: a free or unknown slot to replace or remove, and a sort key of 0.
  ASSERT_TRUE(ToDoRemoveItem(b));
  EXPECT_EQ(ToDoInsertItem(1, Key(4, 1), Item("x"), b), 0);
  EXPECT_FALSE(ToDoRemoveItem(b));
  EXPECT_FALSE(ToDoRemoveItem(500));
  EXPECT_EQ(ToDoInsertItem(1, 0, Item("x")), 0);
  EXPECT_TRUE(Verify(Path()).empty());
}

TEST_F(ToDoFile, ToggleDoneSetsAndClearsTheCompletionTime) {
  const MinuteKey now = MakeMinuteKey(2025, 6, 14, 9, 30);
  uint16_t s = ToDoInsertItem(1, Key(6, 20), Item("task"));
  EXPECT_EQ(ToDoToggleDone(s, now), now);
  ASSERT_TRUE(ToDoStoreOpen(kDbModeRead, 1201));
  EXPECT_EQ(ToDoItemCompletion(*ToDoReadItem(s)), MakeMinuteKey(2025, 6, 14, 9, 30));
  ASSERT_TRUE(ToDoStoreClose());
  EXPECT_EQ(ToDoToggleDone(s, now), MinuteKey{0});
  EXPECT_EQ(ToDoToggleDone(s + 1, now), std::nullopt);   // a free slot
}

TEST_F(ToDoFile, AFullFileGrowsBySixtyFourSlotsMovingTheItems) {
  for (int n = 0; n < 61; ++n) ASSERT_EQ(ToDoInsertItem(1, Key(5, 1) + n, Item("item " + std::to_string(n))), n + 1);
  std::vector<uint8_t> before = File();
  ASSERT_EQ(before.size(), 762u + 61 * 59);
  ASSERT_EQ(ToDoInsertItem(1, Key(5, 1) + 100, Item("the 62nd")), 62);
  std::vector<uint8_t> after = File();
  EXPECT_EQ(ParseToDoHeaderFields(after.data()).capacity, 125);
  ASSERT_EQ(after.size(), 30u + 125 * 12 + 62 * 59);
  EXPECT_TRUE(std::equal(before.begin() + 762, before.end(), after.begin() + 30 + 125 * 12));
  // Slots 1 ... 60 are as they were; slot 61 now links to the new last item.
  EXPECT_TRUE(std::equal(before.begin() + 30, before.begin() + 30 + 60 * 12, after.begin() + 30));
  EXPECT_EQ(ParseToDoSlot(after.data() + ToDoSlotOffset(61)).next, 62);
  EXPECT_EQ(Text(1), "item 0");
  EXPECT_EQ(Text(62), "the 62nd");
  EXPECT_EQ(Order().size(), 62u);
  EXPECT_TRUE(Verify(Path()).empty());
}

// Missing files and creation failures: Container.StoreFilesAreCreatedOnlyForWriting...
TEST_F(ToDoFile, ANewFileIsABareHeaderAndAForeignOneIsRefused) {
  filesMustVerify = false;   // damaged on purpose
  ASSERT_TRUE(ToDoStoreOpen(kDbModeWrite, 1206));
  ASSERT_TRUE(ToDoStoreClose());
  EXPECT_EQ(File(), NewToDoHeader());
  // Writing needs mode 2.
  ASSERT_TRUE(ToDoStoreOpen(kDbModeRead, 1201));
  EXPECT_FALSE(ToDoWriteItem(Item("x"), 1));
  ASSERT_TRUE(ToDoStoreClose());

  std::vector<uint8_t> foreign = File();
  foreign[1] = 'X';
  test::WriteAll(Path(), foreign);
  EXPECT_FALSE(ToDoStoreOpen(kDbModeWrite, 1203));
  ASSERT_EQ(messages.Shown().size(), 1u);
  EXPECT_EQ(messages.Shown()[0].text, "File failed header check:\n\n" + Path());
  EXPECT_EQ(messages.Shown()[0].beep, MsgBeep::Default);
  EXPECT_EQ(messages.Shown()[0].caption, "");
  EXPECT_EQ(File(), foreign);
}

TEST_F(ToDoFile, DamagedListsAreReadUpToTheDamageAndNeverWritten) {
  filesMustVerify = false;   // damaged on purpose
  for (int n = 0; n < 5; ++n) ToDoInsertItem(1, Key(7, 1 + n), Item("t" + std::to_string(n)));
  std::vector<uint8_t> good = File();
  auto patch = [](std::vector<uint8_t>& f, uint16_t s, const std::function<void(ToDoSlot&)>& change) {
    test::Patch(f.data() + ToDoSlotOffset(s), ParseToDoSlot, SerializeToDoSlot, change);
  };
  auto fields = [](std::vector<uint8_t>& f, const std::function<void(ToDoHeaderFields&)>& change) {
    test::Patch(f.data(), ParseToDoHeaderFields, SerializeToDoHeaderFields, change);
  };
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> corrupt;
    bool refused;
    std::vector<uint16_t> listed;
  } cases[] = {
      {"cut inside the header", [](auto& f) { f.resize(500); }, true, {}},
      {"capacity that is no growth", [&](auto& f) { fields(f, [](auto& h) { h.capacity = 70; }); }, true, {}},
      {"header longer than the file", [&](auto& f) { fields(f, [](auto& h) { h.capacity = 61 + 640; }); }, true, {}},
      {"list looping", [&](auto& f) { patch(f, 3, [](auto& s) { s.next = 2; }); }, false, {1, 2, 3}},
      {"list leaving the slots", [&](auto& f) { patch(f, 2, [](auto& s) { s.next = 99; }); }, false, {1, 2}},
      {"head leaving the slots", [&](auto& f) { fields(f, [](auto& h) { h.head = 62; }); }, false, {}},
      {"back link wrong", [&](auto& f) { patch(f, 4, [](auto& s) { s.prev = 1; }); }, false, {1, 2, 3, 4, 5}},
      {"keys out of order", [&](auto& f) { patch(f, 2, [](auto& s) { s.sortKey = 5; }); }, false, {1, 2, 3, 4, 5}},
      {"count wrong", [&](auto& f) { fields(f, [](auto& h) { h.count = 9; }); }, false, {1, 2, 3, 4, 5}},
      {"a free slot in the list", [&](auto& f) { patch(f, 3, [](auto& s) { s.sortKey = 0; }); }, false, {1, 2}},
      {"an item beyond the file", [](auto& f) { f.resize(f.size() - 30); }, false, {1, 2, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bad = good;
    c.corrupt(bad);
    test::WriteAll(Path(), bad);
    Restart();
    EXPECT_EQ(ToDoInsertItem(1, Key(8, 1), Item("refused")), 0);
    EXPECT_FALSE(ToDoRemoveItem(1));
    EXPECT_EQ(ToDoToggleDone(1, 1), std::nullopt);
    std::string message = "File failed header check:\n\n" + Path();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>(3, message));
    messages.Clear();
    if (c.refused) {
      EXPECT_FALSE(ToDoStoreOpen(kDbModeRead, 1201));
    } else {
      EXPECT_EQ(Order(), c.listed);
      EXPECT_EQ(Order(), c.listed);   // reported once per session
      EXPECT_EQ(messages.Texts(), std::vector<std::string>{message});
    }
    EXPECT_EQ(File(), bad);
    EXPECT_FALSE(Verify(Path()).empty());
  }
}

}  // namespace
}  // namespace kv
