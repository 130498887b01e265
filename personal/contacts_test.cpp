#include "personal/contacts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "personal/notes.h"
#include "store/store_test_support.h"

namespace kv {
namespace {

class Contacts : public test::StoreTest {
 protected:
  void Add(const PhoneFields& f, const std::string& note = {}) {
    PhoneBook book;
    PhoneLoad(book);
    PhoneSaveResult r = PhoneSave(book, f);
    ASSERT_TRUE(r.Ok());
    if (!note.empty()) {
      NoteContext nc = PhoneNoteContext(static_cast<uint16_t>(r.ref.id), 0);
      ASSERT_TRUE(NoteSave(nc, note));
    }
  }
  void FreshFolder() {
    second = test::MakeTempFolder();
    ResetStore();
    SetDatabaseFolder(second);
    ResetNotes();
  }
  void TearDown() override {
    if (!second.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(second, ignored);
    }
    test::StoreTest::TearDown();
  }
  ContactsImportResult Import(std::string_view text, bool csv) {
    std::vector<ContactEntry> entries;
    std::vector<ExchangeSkip> skipped;
    int lost = 0;
    ContentError error;
    bool ok = csv ? ParseContactsCsv(text, entries, skipped, lost, error) : ParseVCards(text, entries, skipped, lost, error);
    EXPECT_TRUE(ok) << error.line << ": " << error.why;
    messages.SetFallback(ScriptedMessages::Fallback::Accept);
    return StoreContacts(entries, skipped, lost);
  }
  std::string second;
};

PhoneFields Sample() {
  PhoneFields f;
  f[kPhoneCategory] = "Friends";
  f[kPhoneLast] = "O'Brien";
  f[kPhoneFirst] = "Mar\xED" "a";  // María
  f[kPhoneSalutation] = "Dr.";
  f[kPhoneTitle] = "Surgeon; retired";
  f[kPhoneCompany] = "St. Jude, Inc.";
  f[kPhoneAddress] = "12 Main St\r\nApt 4\r\nSpringfield, IL  62701";
  f[kPhoneNumber1] = "+1 555 0100";
  f[kPhoneLabel1] = "Business";
  f[kPhoneNumber2] = "555 0199!";  // a dial action suffix
  f[kPhoneLabel2] = "Home";
  f[kPhoneNumber3] = "maria@example.com";
  f[kPhoneLabel3] = "E-mail";
  f[kPhoneNumber4] = "555 0123";
  f[kPhoneLabel4] = "Boat";
  return f;
}

TEST_F(Contacts, EveryFormatSurvivesExportAndImport) {
  Add(Sample(), "Allergic to penicillin.\r\nCall after 6.");
  PhoneFields company;
  company[kPhoneCategory] = "Work";
  company[kPhoneCompany] = "Acme";
  company[kPhoneNumber1] = "555 0000";
  company[kPhoneLabel1] = "Fax";
  Add(company);
  std::vector<ContactEntry> before = ReadPhonebook();
  ASSERT_EQ(before.size(), 2u);
  std::string folderOne = folder;
  for (int format = 0; format < 3; ++format) {
    SetDatabaseFolder(folderOne);
    std::string text = format == 2 ? ContactsCsvText(ReadPhonebook())
                                   : VCardText(ReadPhonebook(), format ? VCardVersion::V4 : VCardVersion::V3);
    FreshFolder();
    ContactsImportResult r = Import(text, format == 2);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.entries, 2) << format;
    EXPECT_TRUE(r.skipped.empty()) << format << ": " << r.skipped[0].why;
    std::vector<ContactEntry> after = ReadPhonebook();
    ASSERT_EQ(after.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
      EXPECT_EQ(after[i].fields, before[i].fields) << "format " << format << " entry " << i;
      EXPECT_EQ(after[i].note, before[i].note) << "format " << format;
    }
    std::error_code ignored;
    std::filesystem::remove_all(second, ignored);
    second.clear();
  }
  SetDatabaseFolder(folderOne);
}

TEST_F(Contacts, VCardsOfOtherProgramsAreMappedAndMisfitsListed) {
  std::string text =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Smith;John;Q;Mr.;Jr.\r\nFN:John Smith\r\nTEL;WORK;VOICE:555-1000\r\n"
      "TEL;CELL:555-2000\r\nEND:VCARD\r\n"                                                   // lines 1-7
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Jos\xC3\xA9 \xE6\x9D\x8E\r\nN:\xE6\x9D\x8E;Jos\xC3\xA9;;;\r\n"
      "ADR;TYPE=HOME:;;1 Rue de la Paix;Paris;;75002;France\r\nADR;TYPE=WORK:;;2 Rue;Lyon;;;\r\n"
      "TEL;TYPE=HOME,FAX:1\r\nTEL:2\r\nEMAIL:j@example.fr\r\nURL:https://example.fr\r\nTEL:5\r\n"
      "CATEGORIES:Family,Paris\r\nEND:VCARD\r\n"                                             // lines 8-20
      "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Too Long\r\nN:Long;Too;;;\r\nNOTE:fine\r\n"
      "TITLE:A title of more than thirty-nine characters, which is too much\r\nEND:VCARD\r\n"  // lines 21-27
      "BEGIN:VCARD\r\nVERSION:4.0\r\nEND:VCARD\r\n";                                          // lines 28-30
  ContactsImportResult r = Import(text, false);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.entries, 2);
  EXPECT_EQ(r.lostCharacters, 1);  // the name; FN is not read when N is there
  std::vector<std::pair<int, std::string>> skipped;
  for (const ExchangeSkip& s : r.skipped) skipped.emplace_back(s.line, s.why);
  EXPECT_EQ(skipped, (std::vector<std::pair<int, std::string>>{
                         {13, "an entry keeps one address; this one is left out"},
                         {18, "an entry keeps four numbers; TEL 5 is left out"},
                         {19, "an entry keeps one category; the first is kept"},
                         {21, "the title holds 62 characters, 39 fit"},
                         {28, "the entry has no name and no company"}}));
  std::vector<ContactEntry> stored = ReadPhonebook();
  ASSERT_EQ(stored.size(), 2u);
  const PhoneFields& smith = stored[0].fields;
  EXPECT_EQ(smith[kPhoneLast], "Smith, Jr.");
  EXPECT_EQ(smith[kPhoneFirst], "John Q");
  EXPECT_EQ(smith[kPhoneSalutation], "Mr.");
  EXPECT_EQ(smith[kPhoneCategory], "Imported");
  EXPECT_EQ(smith[kPhoneLabel1], "Business");
  EXPECT_EQ(smith[kPhoneLabel2], "Mobile");
  const PhoneFields& jose = stored[1].fields;
  EXPECT_EQ(jose[kPhoneLast], "?");
  EXPECT_EQ(jose[kPhoneFirst], "Jos\xE9");
  EXPECT_EQ(jose[kPhoneAddress], "1 Rue de la Paix\r\nParis  75002\r\nFrance");
  EXPECT_EQ(jose[kPhoneLabel1], "Fax");
  EXPECT_EQ(jose[kPhoneLabel2], "Other");
  EXPECT_EQ(jose[kPhoneNumber3], "j@example.fr");
  EXPECT_EQ(jose[kPhoneLabel3], "E-mail");
  EXPECT_EQ(jose[kPhoneLabel4], "Web");
  EXPECT_EQ(jose[kPhoneCategory], "Family");
}

TEST_F(Contacts, OldPhonesQuotedPrintableAndSingleByteTextAreRead) {
  std::string text =
      "BEGIN:VCARD\r\nVERSION:2.1\r\n"
      "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen\r\n"
      "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Line one=0D=0ALine two is long and is=\r\n"
      "continued =C3=A0 la ligne\r\n"
      "TEL;HOME:123\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Ren\xE9;\r\nEND:VCARD\r\n";
  ContactsImportResult r = Import(text, false);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.entries, 2);
  EXPECT_EQ(r.lostCharacters, 0);
  std::vector<ContactEntry> stored = ReadPhonebook();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0].fields[kPhoneLast], "M\xFCller");
  EXPECT_EQ(stored[0].fields[kPhoneFirst], "J\xFCrgen");
  EXPECT_EQ(stored[0].note, "Line one\r\nLine two is long and iscontinued \xE0 la ligne");
  EXPECT_EQ(stored[0].fields[kPhoneLabel1], "Home");
  EXPECT_EQ(stored[1].fields[kPhoneLast], "Ren\xE9");
}

TEST_F(Contacts, AnEntryOverTheLimitIsReportedWithTheExcessNotCut) {
  PhoneFields f = Sample();
  std::string text = "BEGIN:VCARD\nVERSION:3.0\nN:Long;Entry;;;\nADR:;;" + std::string(159, 'x') +
                     ";;;;\nORG:" + std::string(47, 'c') + "\nTITLE:" + std::string(39, 't') + "\nEND:VCARD\n";
  ContactsImportResult r = Import(text, false);
  ASSERT_EQ(r.skipped.size(), 1u);
  EXPECT_EQ(r.skipped[0].line, 1);
  EXPECT_NE(r.skipped[0].why.find("characters longer than the 251 an entry holds"), std::string::npos) << r.skipped[0].why;
  EXPECT_EQ(r.entries, 0);
  EXPECT_TRUE(ReadPhonebook().empty());
}

TEST_F(Contacts, CsvOfBothCommonLayoutsIsRead) {
  std::string named =
      "\xEF\xBB\xBF\"Title\",\"First Name\",\"Middle Name\",\"Last Name\",\"Company\",\"Job Title\",\"Business Street\","
      "\"Business City\",\"Business State\",\"Business Postal Code\",\"Business Phone\",\"Mobile Phone\",\"E-mail Address\","
      "\"Categories\",\"Notes\"\r\n"
      "\"Ms.\",\"Ann\",\"\",\"Lee\",\"Lee & Co\",\"Owner\",\"1 Elm St\",\"Dover\",\"DE\",\"19901\",\"555 1\",\"555 2\","
      "\"ann@example.com\",\"Clients;VIP\",\"Met at the fair,\r\nlikes \"\"tea\"\"\"\r\n";
  ContactsImportResult r = Import(named, true);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.entries, 1);
  ASSERT_EQ(r.skipped.size(), 1u);
  EXPECT_EQ(r.skipped[0].line, 2);
  std::vector<ContactEntry> stored = ReadPhonebook();
  ASSERT_EQ(stored.size(), 1u);
  const PhoneFields& f = stored[0].fields;
  EXPECT_EQ(f[kPhoneSalutation], "Ms.");
  EXPECT_EQ(f[kPhoneAddress], "1 Elm St\r\nDover, DE  19901");
  EXPECT_EQ(f[kPhoneCategory], "Clients");
  EXPECT_EQ(f[kPhoneLabel1], "Business");
  EXPECT_EQ(f[kPhoneLabel2], "Mobile");
  EXPECT_EQ(f[kPhoneLabel3], "E-mail");
  EXPECT_EQ(stored[0].note, "Met at the fair,\r\nlikes \"tea\"");

  std::string numbered =
      "Name,Given Name,Family Name,Group Membership,Phone 1 - Type,Phone 1 - Value,E-mail 1 - Type,E-mail 1 - Value\n"
      "Bo Ek,Bo,Ek,* myContacts ::: Golf,Mobile,070 1 ::: 070 2,* Home,bo@example.se\n";
  r = Import(numbered, true);
  EXPECT_EQ(r.entries, 1);
  stored = ReadPhonebook();
  ASSERT_EQ(stored.size(), 2u);
  const PhoneFields& g = stored[1].fields;
  EXPECT_EQ(g[kPhoneCategory], "Golf");
  EXPECT_EQ(g[kPhoneNumber1], "070 1");
  EXPECT_EQ(g[kPhoneNumber2], "070 2");
  EXPECT_EQ(g[kPhoneLabel3], "E-mail");

  std::vector<ContactEntry> entries;
  std::vector<ExchangeSkip> skipped;
  int lost = 0;
  ContentError error;
  EXPECT_FALSE(ParseContactsCsv("First Name,Last Name\nA,\"B\nC,D\n", entries, skipped, lost, error));
  EXPECT_EQ(error.line, 2);
  EXPECT_FALSE(ParseContactsCsv("Date,Amount\n1,2\n", entries, skipped, lost, error));
  EXPECT_EQ(error.line, 1);
}

}  // namespace
}  // namespace kv
