#include "personal/phone.h"

#include <initializer_list>
#include <utility>

#include "personal/notes.h"
#include "store/store_test_support.h"

namespace kv {
namespace {

using test::ReadAll;

PhoneFields Fields(std::initializer_list<std::pair<PhoneField, std::string>> values) {
  PhoneFields f;
  for (const auto& [field, text] : values) f[field] = text;
  return f;
}

PhoneFields Person(const std::string& category, const std::string& last, const std::string& first,
                   const std::string& company = "") {
  return Fields({{kPhoneCategory, category}, {kPhoneLast, last}, {kPhoneFirst, first}, {kPhoneCompany, company}});
}

// A raw record with a packed text and a layout marker.
PhoneEntry Raw(const std::string& packed, uint8_t marker) {
  PhoneEntry e{};
  std::copy_n(packed.begin(), std::min<size_t>(packed.size(), 251), e.begin() + 4);
  e[255] = marker;
  return e;
}

std::vector<std::string> Names(const PhoneBook& book) {
  std::vector<std::string> out;
  for (const PhoneIndexEntry& e : book.index) out.push_back(e.name);
  return out;
}

class Phone : public test::StoreTest {
 protected:
  PhoneEntryRef Store(const PhoneFields& fields) {
    PhoneSaveResult r = PhoneSave(book, fields);
    EXPECT_TRUE(r.Ok());
    return r.ref;
  }
  PhoneBook book;
};

TEST(PhonePacking, FieldsRoundTripThroughTheRecord) {
  PhoneFields f;
  for (int i = 0; i < kPhoneFieldCount; ++i) f[i] = "f" + std::to_string(i);
  f[kPhoneAddress] = "1 Main St\r\nSpringfield";
  PhoneEntry e;
  ASSERT_TRUE(BuildPhoneEntry(f, e));
  EXPECT_EQ(e[255], 1);
  EXPECT_EQ(e[4], 'f');
  EXPECT_EQ(e[6], 0x1C);
  EXPECT_EQ(UnpackPhoneEntry(e), f);

  // Exactly the limit fits; one more character asks for two.
  f = PhoneFields{};
  f[kPhoneAddress] = std::string(159, 'a');
  f[kPhoneCompany] = std::string(47, 'c');
  f[kPhoneLast] = std::string(30, 'l');   // 236 characters and 15 separators
  std::string packed = PackPhoneFields(f);
  ASSERT_EQ(packed.size(), 251u);
  EXPECT_EQ(PhonePackExcess(packed), 0u);
  ASSERT_TRUE(BuildPhoneEntry(f, e));
  EXPECT_EQ(UnpackPhoneEntry(e), f);
  f[kPhoneLast] += "x";
  EXPECT_EQ(PhonePackExcess(PackPhoneFields(f)), 2u);
  EXPECT_FALSE(BuildPhoneEntry(f, e));
}

TEST(PhonePacking, UnpackingStopsAtTheZeroAndTakesByte255AsASeparator) {
  // A full area without a closing separator: byte 255 closes the last field.
  std::string full = std::string(14, '\x1C') + std::string(237, 'z');
  PhoneFields f = UnpackPhoneEntry(Raw(full, 1));
  EXPECT_EQ(f[kPhoneLabel4], std::string(237, 'z'));
  // A zero byte leaves all later fields empty, even with separators after it.
  f = UnpackPhoneEntry(Raw(std::string("Work\x1CSmith\0\x1CJohn\x1C", 16), 1));
  EXPECT_EQ(f, Fields({{kPhoneCategory, "Work"}, {kPhoneLast, "Smith"}}));
  EXPECT_EQ(UnpackPhoneEntry(Raw("", 1)), PhoneFields{});
}

TEST(PhonePacking, LegacyLayoutComposesTheAddressAndTakesDefaultLabels) {
  std::string packed =
      "Work\x1CSmith\x1CJohn\x1CMr.\x1C" "CEO\x1C" "Acme\x1C" "1 Main St\x1CSuite 5\x1CSpringfield\x1CIL\x1C"
      "62701\x1CUSA\x1C" "555-1000\x1C" "555-2000*\x1C\x1C" "555-4000\x1C";
  PhoneFields f = UnpackPhoneEntry(Raw(packed, 0));
  EXPECT_EQ(f[kPhoneCompany], "Acme");
  EXPECT_EQ(f[kPhoneAddress], "1 Main St\r\nSuite 5\r\nSpringfield, IL  62701\r\nUSA");
  EXPECT_EQ(f[kPhoneNumber2], "555-2000*");
  EXPECT_EQ(f[kPhoneNumber3], "");
  EXPECT_EQ(f[kPhoneNumber4], "555-4000");
  EXPECT_EQ(f[kPhoneLabel1], "Business");
  EXPECT_EQ(f[kPhoneLabel4], "Other");
  f = UnpackPhoneEntry(Raw(packed + "Office\x1C\x1C\x1CMobile\x1C", 0));
  EXPECT_EQ(f[kPhoneLabel1], "Office");
  EXPECT_EQ(f[kPhoneLabel2], "");
  EXPECT_EQ(f[kPhoneLabel4], "Mobile");
}

TEST(PhonePacking, LegacyAddressLines) {
  struct Case { const char *a1, *a2, *city, *region, *postal, *country, *expected; } cases[] = {
      {"", "", "", "", "", "", ""},
      {"", "", "", "NY", "10001", "", "NY  10001"},
      {"", "", "", "", "10001", "", "10001"},
      {"", "", "Paris", "", "", "France", "Paris\r\nFrance"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ComposeLegacyAddress(c.a1, c.a2, c.city, c.region, c.postal, c.country), c.expected) << c.expected;
}

TEST(PhonePacking, DialActionSuffixes) {
  struct Case {
    const char* stored;
    const char* number;
    DialAction action;
  } cases[] = {{"555-1234*", "555-1234", DialAction::SmartDial}, {"555!", "555", DialAction::Exact},
               {"1-800?", "1-800", DialAction::Preview},         {"555", "555", DialAction::Default},
               {"*", "", DialAction::SmartDial}};
  for (const Case& c : cases) {
    PhoneNumberText t = SplitDialAction(c.stored);
    EXPECT_EQ(t.number, c.number);
    EXPECT_EQ(t.action, c.action);
    EXPECT_EQ(JoinDialAction(t.number, t.action), c.stored);
  }
}

TEST(PhoneNames, PeopleAndOrganizations) {
  struct Case {
    const char *first, *last, *company;
    PhoneView view;
    const char* expected;   // "" = not listed
  } cases[] = {
      {"John", "Smith", "Acme", PhoneView::People, "Smith, John"},
      {"", "Smith", "", PhoneView::People, "Smith"},
      {"John", "", "", PhoneView::People, "John"},
      {"", "", "Acme", PhoneView::People, ""},
      {"John", "Smith", "Acme", PhoneView::Organizations, "Acme [Smith]"},
      {"John", "", "Acme", PhoneView::Organizations, "Acme"},
      {"John", "Smith", "", PhoneView::Organizations, ""},
  };
  for (const Case& c : cases) {
    std::string name = "stale";
    EXPECT_EQ(PhoneDisplayName(name, c.first, c.last, c.company, c.view), *c.expected ? 1 : 0);
    EXPECT_EQ(name, c.expected);
  }
  std::string name;
  PhoneDisplayName(name, std::string(30, 'f'), std::string(30, 'l'), "", PhoneView::People);
  EXPECT_EQ(name, std::string(30, 'l') + ", " + std::string(7, 'f'));
}

TEST_F(Phone, ValidationMessagesInOrderAndNothingStored) {
  struct Case { PhoneFields fields; PhoneSaveError error; PhoneField focus; std::string text; } cases[] = {
      {Fields({{kPhoneFirst, "John"}}), PhoneSaveError::Name, kPhoneLast,
       "Entry requires a value in the Last Name or Company field."},
      {Fields({{kPhoneCompany, "Acme"}}), PhoneSaveError::Category, kPhoneCategory,
       "Entry requires a value in the CATEGORY field."},
      {Fields({{kPhoneCategory, "W"}, {kPhoneLast, std::string(47, 'l')}, {kPhoneCompany, std::string(47, 'c')},
               {kPhoneAddress, std::string(159, 'a')}}),
       PhoneSaveError::TooLong, kPhoneAddress,
       "Cannot store this much information in a phone/address entry.  Please remove at least 19 characters from any "
       "combination of fields."},
  };
  for (const Case& c : cases) {
    messages.Clear();
    PhoneSaveResult r = PhoneSave(book, c.fields);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.focus, c.focus);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{c.text});
  }
  EXPECT_FALSE(FileExists(PhoneFilePath()));
}

TEST_F(Phone, LoadBuildsTheSortedIndexFilterAndChoiceLists) {
  PhoneFields a = Person("Work", "smith", "Anna");
  a[kPhoneSalutation] = "Ms.";
  a[kPhoneLabel1] = "Office";
  Store(a);
  Store(Person("work", "Baker", "", "Acme"));
  Store(Person("Family", "", "", "Zeta Corp"));
  PhoneFields d = Person("Friends", "Adams", "Zoe");
  d[kPhoneLabel1] = "OFFICE";
  d[kPhoneSalutation] = "Ms.";
  Store(d);
  ASSERT_EQ(PhoneLoad(book), 1);
  EXPECT_EQ(book.liveCount, 4);
  EXPECT_EQ(Names(book), (std::vector<std::string>{"Adams, Zoe", "Baker", "smith, Anna"}));
  EXPECT_EQ(book.choices.categories, (std::vector<std::string>{"Work", "Family", "Friends"}));
  EXPECT_EQ(book.choices.salutations, std::vector<std::string>{"Ms."});
  EXPECT_EQ(book.choices.labels, std::vector<std::string>{"Office"});
  book.categoryFilter = "WORK";
  PhoneLoad(book);
  EXPECT_EQ(Names(book), (std::vector<std::string>{"Baker", "smith, Anna"}));
  book.categoryFilter.clear();
  book.view = PhoneView::Organizations;
  PhoneLoad(book);
  EXPECT_EQ(Names(book), (std::vector<std::string>{"Acme [Baker]", "Zeta Corp"}));
  EXPECT_EQ(book.index[1].category, "Family");
}

TEST_F(Phone, SeparatorsInATextCannotShiftTheFields) {
  PhoneFields f = Person("Work", std::string("Sm\x1Cith", 6), "Jo");
  f[kPhoneTitle] = std::string(60, 't');   // longer than the field holds
  PhoneEntryRef ref = Store(f);
  PhoneFields read;
  ASSERT_TRUE(PhoneReadFields(ref.slot, read));
  EXPECT_EQ(read[kPhoneLast], "Sm ith");
  EXPECT_EQ(read[kPhoneFirst], "Jo");
  EXPECT_EQ(read[kPhoneTitle], std::string(39, 't'));
}

TEST_F(Phone, EditingKeepsTheSlotAndMovesTheName) {
  Store(Person("Work", "Brown", "Al"));
  Store(Person("Work", "Clark", "Bo"));
  PhoneLoad(book);
  PhoneFields f;
  ASSERT_TRUE(PhoneReadFields(book.index[1].slot, f));
  f[kPhoneLast] = "Able";
  uint16_t slot = book.index[1].slot;
  PhoneSaveResult r = PhoneSave(book, f, 1);
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.ref.slot, slot);
  EXPECT_EQ(Names(book), (std::vector<std::string>{"Able, Bo", "Brown, Al"}));
  EXPECT_EQ(book.selected, 0);
  PhoneLoad(book);
  EXPECT_EQ(book.liveCount, 2);
}

TEST_F(Phone, DeleteAsksRemovesTheNoteFreesTheSlotAndAStaleSelectionDeletesNothing) {
  Store(Person("W", "Abel", ""));
  PhoneEntryRef b = Store(Person("W", "Baker", ""));
  Store(Person("W", "Cole", ""));
  NoteContext note = PhoneNoteContext(static_cast<uint16_t>(b.id), 0);
  ASSERT_TRUE(NoteSave(note, "Prefers mornings"));
  PhoneLoad(book);
  book.selected = 1;
  PhoneBook stale = book;
  messages.Answer(MsgAnswer::Cancel);
  EXPECT_FALSE(PhoneDelete(book));
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Delete this entry from disk?"});
  messages.Answer(MsgAnswer::Ok);
  EXPECT_TRUE(PhoneDelete(book));
  EXPECT_FALSE(NoteFindPhone(note.noteId));
  EXPECT_EQ(Names(book), (std::vector<std::string>{"Abel", "Cole"}));
  EXPECT_EQ(book.selected, 0);
  EXPECT_EQ(book.liveCount, 2);
  EXPECT_EQ(Store(Person("W", "Dean", "")).slot, b.slot);   // the slot reused with a new id
  // A selection made before the delete names the old id: it deletes nothing.
  EXPECT_FALSE(PhoneDelete(stale, false));
  PhoneLoad(book);
  EXPECT_EQ(Names(book), (std::vector<std::string>{"Abel", "Cole", "Dean"}));
}

TEST_F(Phone, The2049thEntryIsRefused) {
  std::vector<uint8_t> file(kPhoneHeaderSize + kPhoneEntrySize * 2048, 0);
  PhoneHeaderFields h;
  h.count = 2048;
  h.nextSlot = 2049;
  h.nextId = 2049;
  SerializePhoneHeader(h, file.data());
  for (int s = 0; s < 2048; ++s) {
    PhoneEntry e;
    BuildPhoneEntry(Person("W", "N" + std::to_string(s), ""), e);
    PutI16LE(e.data(), static_cast<int16_t>(s + 1));
    std::copy(e.begin(), e.end(), file.begin() + PhoneSlotOffset(s + 1));
  }
  test::WriteAll(PhoneFilePath(), file);
  ASSERT_EQ(PhoneLoad(book), 1);
  EXPECT_EQ(book.index.size(), 2048u);
  EXPECT_FALSE(PhoneCanAdd(book));
  PhoneSaveResult r = PhoneSave(book, Person("W", "Extra", ""));
  EXPECT_EQ(r.error, PhoneSaveError::Full);
  EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Phonebook is full (2048 total entries maximum).",
                                                        "Phonebook is full (2048 total entries maximum)."}));
  EXPECT_EQ(ReadAll(PhoneFilePath()), file);
  // Editing is still allowed.
  PhoneFields f;
  ASSERT_TRUE(PhoneReadFields(book.index[0].slot, f));
  f[kPhoneFirst] = "Ed";
  EXPECT_TRUE(PhoneSave(book, f, 0).Ok());
}

TEST_F(Phone, AHeaderCountTooHighIsCorrectedAndADamagedFileNeverWritten) {
  Store(Person("W", "Abel", ""));
  Store(Person("W", "Baker", ""));
  std::vector<uint8_t> file = ReadAll(PhoneFilePath());
  PutU16LE(file.data() + 8, 9);
  test::WriteAll(PhoneFilePath(), file);
  ASSERT_EQ(PhoneLoad(book), 1);
  EXPECT_EQ(book.liveCount, 2);
  EXPECT_EQ(ReadU16LE(ReadAll(PhoneFilePath()).data() + 8), 2);

  // A damaged file loads what it can and is not written.
  std::vector<uint8_t> junk(300, 0xEE);
  test::WriteAll(PhoneFilePath(), junk);
  filesMustVerify = false;
  EXPECT_EQ(PhoneLoad(book), 0);
  EXPECT_TRUE(book.index.empty());
  EXPECT_FALSE(PhoneSave(book, Person("W", "Abel", "")).Ok());
  EXPECT_EQ(ReadAll(PhoneFilePath()), junk);
}

TEST(PhoneTypeAheadKeys, PrefixSearchBackspaceWrapAndClearing) {
  std::vector<PhoneIndexEntry> index;
  for (const char* n : {"Adams", "Baker", "Barnes", "Brown", "Bakewell"}) index.push_back({1, 0, 1, n, "W"});
  PhoneTypeAhead t;
  struct Step { char key; int current; int select; bool beep; int timer; const char* prefix; } steps[] = {
      {'b', 0, 1, false, 3000, "b"},         // one character: the first match from the top
      {'a', 3, 4, false, 3000, "ba"},        // two: from the current entry, which may match itself
      {'k', 4, 4, false, 3000, "bak"},
      {'\b', 4, -1, false, 2000, "ba"},
      {'r', 4, 2, false, 3000, "bar"},       // wraps around past the end
      {'x', 2, -1, true, 0, ""},             // no match clears
      {'\b', 2, -1, false, 2000, ""},        // backspace on an empty prefix
      {'a', 2, 0, false, 3000, "a"},
      {'\t', 0, -1, false, 0, ""},           // other control characters clear
  };
  for (const Step& s : steps) {
    PhoneTypeAhead::Step got = t.Key(s.key, index, s.current);
    EXPECT_EQ(got.select, s.select) << s.prefix;
    EXPECT_EQ(got.beep, s.beep) << s.prefix;
    EXPECT_EQ(got.timerMs, s.timer) << s.prefix;
    EXPECT_EQ(t.Prefix(), s.prefix);
  }
  index.push_back({1, 0, 1, std::string(50, 'z'), "W"});
  for (int i = 0; i < 45; ++i) t.Key('z', index, 0);
  EXPECT_EQ(t.Prefix(), std::string(42, 'z'));
  t.Clear();
  EXPECT_EQ(t.Key('q', {}, -1).beep, true);
}

// Records of any content unpack without reading past the record, into fields without
// separators, and their display names keep to 39 characters.
TEST(PhonePacking, AnyRecordUnpacksSafely) {
  uint32_t seed = 12345;
  auto next = [&seed]() { return seed = seed * 1103515245u + 12345u; };
  for (int round = 0; round < 2000; ++round) {
    PhoneEntry e;
    for (uint8_t& b : e) {
      uint32_t r = next() >> 16;
      b = static_cast<uint8_t>(r % 7 == 0 ? 0x1C : r % 97 == 0 ? 0 : 'A' + r % 26);
    }
    e[255] = static_cast<uint8_t>(round % 3);
    PhoneFields f = UnpackPhoneEntry(e);
    size_t total = 0;
    for (const std::string& s : f) {
      EXPECT_EQ(s.find('\x1C'), std::string::npos);
      EXPECT_EQ(s.find('\0'), std::string::npos);
      total += s.size();
    }
    EXPECT_LE(total, 252u + 4 * 11);
    std::string name;
    PhoneDisplayName(name, f[kPhoneFirst], f[kPhoneLast], f[kPhoneCompany], PhoneView::Organizations);
    EXPECT_LE(name.size(), kPhoneNameMax);
  }
}

}  // namespace
}  // namespace kv
