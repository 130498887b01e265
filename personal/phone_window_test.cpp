#include "personal/phone_window.h"

#include "store/store_test_support.h"

namespace kv {
namespace {

PhoneFields Entry(const std::string& category, const std::string& last, const std::string& first,
                  const std::string& company = "") {
  PhoneFields f;
  f[kPhoneCategory] = category;
  f[kPhoneLast] = last;
  f[kPhoneFirst] = first;
  f[kPhoneCompany] = company;
  return f;
}

DialogItem Item(uint16_t classOrdinal, const std::string& className, int x, int y, int cx, int cy) {
  DialogItem item;
  item.windowClass = {classOrdinal, className};
  item.x = x, item.y = y, item.cx = cx, item.cy = cy;
  item.id = 17004;
  item.style = 0x50010000;
  item.text = {0, "&New..."};
  return item;
}

TEST(PhoneTemplate, ClassesStylesAndPixels) {
  struct Case {
    uint16_t ordinal;
    std::string name;
    std::string className;
    uint32_t exStyle;
  };
  const Case cases[] = {
      {0x80, "", "BUTTON", 0},     {0x81, "", "EDIT", 0x204},     {0x82, "", "STATIC", 0},
      {0x83, "", "LISTBOX", 0},    {0x84, "", "SCROLLBAR", 0},    {0x85, "", "COMBOBOX", 0},
      {0, "Edit", "Edit", 0x204},  {0, "DateCtl", "DateCtl", 0},  {0x86, "", "", 0},
  };
  for (const Case& c : cases) {
    TemplateControl t = PlanTemplateControl(Item(c.ordinal, c.name, 7, 39, 150, 118), 6, 13);
    EXPECT_EQ(t.className, c.className) << c.ordinal << c.name;
    EXPECT_EQ(t.exStyle, c.exStyle) << c.className;
  }
  // x and width by the base width over 4, y and height by the base height over 8, rounded.
  TemplateControl t = PlanTemplateControl(Item(0x83, "", 7, 39, 150, 118), 6, 13);
  EXPECT_EQ(t.x, 11);     // 7 x 6 / 4 = 10.5
  EXPECT_EQ(t.y, 63);     // 39 x 13 / 8 = 63.4
  EXPECT_EQ(t.cx, 225);
  EXPECT_EQ(t.cy, 192);   // 118 x 13 / 8 = 191.75
  EXPECT_EQ(t.id, 17004u);
  EXPECT_EQ(t.style, 0x50010000u);
  EXPECT_EQ(t.text, "&New...");
  DialogItem icon = Item(0x82, "", 0, 0, 10, 10);
  icon.text = {499, ""};
  EXPECT_EQ(PlanTemplateControl(icon, 6, 13).text, "");
}

TEST(PhoneDisplay, HeadingAddressAndPhoneRows) {
  PhoneFields f = Entry("Work", "Smith", "John", "Acme");
  f[kPhoneSalutation] = "Dr.";
  f[kPhoneTitle] = "Chief Engineer";
  f[kPhoneAddress] = "1 Main St\r\nSpringfield";
  f[kPhoneNumber1] = "555-1000*";
  f[kPhoneNumber2] = "555-2000";
  f[kPhoneNumber4] = "1-800-CALL?";
  f[kPhoneLabel1] = "Office";
  f[kPhoneLabel4] = "Help";
  PhoneEntryDisplay d = DisplayPhoneEntry(f);
  EXPECT_EQ(d.heading, "Dr. John Smith\r\nChief Engineer\r\nAcme");
  EXPECT_EQ(d.address, "1 Main St\r\nSpringfield");
  EXPECT_EQ(d.rows[0].label, "Office:");
  EXPECT_EQ(d.rows[0].number, "555-1000");
  EXPECT_EQ(d.rows[0].action, DialAction::SmartDial);
  EXPECT_EQ(d.rows[1].label, "");
  EXPECT_EQ(d.rows[1].action, DialAction::Default);
  EXPECT_EQ(d.rows[2].number, "");
  EXPECT_EQ(d.rows[3].number, "1-800-CALL");
  EXPECT_EQ(d.rows[3].action, DialAction::Preview);
  // A company alone: no blank lines.
  EXPECT_EQ(DisplayPhoneEntry(Entry("Shops", "", "", "Zeta Corp")).heading, "Zeta Corp");
}

TEST(PhoneForm, ActionsSplitAndJoinKeepingTheSuffix) {
  PhoneFields stored;
  stored[kPhoneNumber1] = "555-1000*";
  stored[kPhoneNumber2] = "555-2000!";
  stored[kPhoneNumber3] = "555-3000";
  PhoneForm form = PhoneFormFromFields(stored);
  EXPECT_EQ(form.fields[kPhoneNumber1], "555-1000");
  EXPECT_EQ(form.actions[0], DialAction::SmartDial);
  EXPECT_EQ(form.actions[1], DialAction::Exact);
  EXPECT_EQ(form.actions[2], DialAction::Default);
  EXPECT_EQ(PhoneFieldsFromForm(form), stored);

  struct Case {
    std::string typed;
    DialAction action;
    std::string stored;
  };
  const Case cases[] = {
      {"555", DialAction::Preview, "555?"},
      {"", DialAction::SmartDial, ""},                                   // no number, no suffix
      {"   ", DialAction::Exact, ""},
      {std::string(31, '9'), DialAction::Default, std::string(31, '9')}, // a full number without suffix
      {std::string(31, '9'), DialAction::Exact, std::string(30, '9') + "!"},
      {std::string(40, '9'), DialAction::Default, std::string(31, '9')},
  };
  for (const Case& c : cases) {
    PhoneForm f;
    f.fields[kPhoneNumber3] = c.typed;
    f.actions[2] = c.action;
    EXPECT_EQ(PhoneFieldsFromForm(f)[kPhoneNumber3], c.stored) << c.typed;
  }
}

class PhoneWindowModel : public test::StoreTest {
 protected:
  int16_t Add(const PhoneFields& f) {
    PhoneSaveResult r = PhoneSave(book, f);
    EXPECT_TRUE(r.Ok());
    return r.ref.id;
  }
  PhoneBook book;
};

TEST_F(PhoneWindowModel, FilterLinesAllFirstThenSortedCategories) {
  Add(Entry("work", "Baker", "Ann"));
  Add(Entry("Family", "Cole", "Bo"));
  Add(Entry("Clubs", "", "", "Chess Club"));
  Add(Entry("WORK", "Dane", "Cy"));   // the same category, other case
  ASSERT_TRUE(PhoneLoad(book));
  std::vector<std::string> lines = PhoneFilterLines(book);
  EXPECT_EQ(lines, (std::vector<std::string>{"All", "Clubs", "Family", "work"}));
  EXPECT_EQ(PhoneFilterLine(book, lines), 0);
  book.categoryFilter = "Work";
  EXPECT_EQ(PhoneFilterLine(book, lines), 3);
  book.categoryFilter = "Gone";
  EXPECT_EQ(PhoneFilterLine(book, lines), 0);
  EXPECT_EQ(PhoneFilterOfLine(lines, 0), "");
  EXPECT_EQ(PhoneFilterOfLine(lines, 2), "Family");
  EXPECT_EQ(PhoneFilterOfLine(lines, 9), "");
  EXPECT_EQ(PhoneFilterOfLine(lines, -1), "");

  // Choosing a category lists its entries only, in either case.
  book.categoryFilter = "WoRk";
  ASSERT_TRUE(PhoneLoad(book));
  ASSERT_EQ(book.index.size(), 2u);
  EXPECT_EQ(book.index[0].name, "Baker, Ann");
  EXPECT_EQ(book.index[1].name, "Dane, Cy");
}

TEST_F(PhoneWindowModel, SelectionIsReadFromTheFileWithItsCurrentNoteId) {
  int16_t id = Add(Entry("Work", "Baker", "Ann"));
  ASSERT_TRUE(PhoneLoad(book));
  book.selected = 0;
  PhoneSelection s;
  ASSERT_TRUE(PhoneReadSelection(book, s));
  EXPECT_EQ(s.id, id);
  EXPECT_EQ(s.fields[kPhoneLast], "Baker");
  NoteContext c = PhoneSelectionNoteContext(book);
  EXPECT_EQ(c.type, kNotePhone);
  EXPECT_EQ(c.ownerId, static_cast<uint16_t>(id));
  EXPECT_EQ(c.noteId, 0);

  // The notes window gives the entry a note: the next read sees its id.
  NoteContext note = PhoneNoteContext(static_cast<uint16_t>(id), 0);
  ASSERT_TRUE(NoteSave(note, "Call after five"));
  ASSERT_NE(note.noteId, 0);
  ASSERT_TRUE(PhoneReadSelection(book, s));
  EXPECT_EQ(s.noteId, note.noteId);
  EXPECT_EQ(PhoneSelectionNoteContext(book).noteId, note.noteId);

  // Deleted behind the window's back: nothing to show, and no context for a stale line.
  PhoneBook other;
  ASSERT_TRUE(PhoneLoad(other));
  other.selected = 0;
  ASSERT_TRUE(PhoneDelete(other, false));
  EXPECT_FALSE(PhoneReadSelection(book, s));
  book.selected = 5;
  EXPECT_FALSE(PhoneReadSelection(book, s));
  EXPECT_EQ(PhoneSelectionNoteContext(book).type, 0);
}

TEST_F(PhoneWindowModel, RememberedEntryFoundByIdThenNameThenFirst) {
  int16_t baker = Add(Entry("Work", "Baker", "Ann"));
  Add(Entry("Work", "Cole", "Bo"));
  int16_t longName = Add(Entry("Work", "Featherstonehaugh-Cholmondeley", "Bartholomew"));
  ASSERT_TRUE(PhoneLoad(book));
  book.selected = PhoneIndexOfId(book, longName);
  PhoneRemembered r = RememberPhoneSelection(book);
  EXPECT_EQ(r.id, static_cast<uint16_t>(longName));
  EXPECT_EQ(r.name, "Featherstonehaugh-Cholm");   // 23 characters, as the configuration holds
  EXPECT_EQ(r.name.size(), kPhoneRememberedNameMax);

  struct Case {
    PhoneRemembered remembered;
    int line;
  };
  const Case cases[] = {
      {{static_cast<uint16_t>(baker), "whatever"}, 0},
      {{999, "cole, bo"}, 1},                       // id gone: the name, ignoring case
      {{999, "Featherstonehaugh-Cholm"}, 2},        // a cut name still matches
      {{999, "Nobody"}, 0},
      {{0, ""}, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(FindRememberedPhoneEntry(book, c.remembered), c.line) << c.remembered.name;
  PhoneBook empty;
  EXPECT_EQ(FindRememberedPhoneEntry(empty, {static_cast<uint16_t>(baker), "Baker, Ann"}), -1);
  EXPECT_EQ(RememberPhoneSelection(empty).id, 0);
  EXPECT_EQ(PhoneIndexOfId(book, 0), -1);
  EXPECT_EQ(PhoneIndexOfId(book, -3), -1);
}

TEST_F(PhoneWindowModel, AnOrganizationIsNotListedUnderPeople) {
  int16_t zeta = Add(Entry("Shops", "", "", "Zeta Corp"));
  int16_t smith = Add(Entry("Work", "Smith", "John", "Acme"));
  ASSERT_TRUE(PhoneLoad(book));
  EXPECT_EQ(PhoneIndexOfId(book, zeta), -1);
  EXPECT_EQ(book.index[static_cast<size_t>(PhoneIndexOfId(book, smith))].name, "Smith, John");
  book.view = PhoneView::Organizations;
  ASSERT_TRUE(PhoneLoad(book));
  ASSERT_EQ(book.index.size(), 2u);
  EXPECT_EQ(book.index[0].name, "Acme [Smith]");
  EXPECT_EQ(book.index[1].name, "Zeta Corp");
}

}  // namespace
}  // namespace kv
