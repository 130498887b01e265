// kvtool commands over the phonebook of a database folder: add entries with the dialog's
// checks (or many made-up ones at once), list them as the phonebook window would (people or organizations, by category), show
// one entry's fields and delete an entry with its note.
#include "personal/phone.h"
#include "base/file_io.h"
#include "tools/kvtool/cli.h"
#include "tools/kvtool/db_session.h"

namespace kv::tool {
namespace {

const char* const kFieldNames[kPhoneFieldCount] = {"category", "last",    "first",   "salutation", "title",
                                                   "company",  "address", "phone1",  "phone2",     "phone3",
                                                   "phone4",   "label1",  "label2",  "label3",     "label4"};

// A field's text from the command line: Windows-1252, line ends as CR LF, within its length.
std::string FieldText(const std::string& utf8, PhoneField field) {
  std::string ansi = AnsiFromUtf8(utf8);
  std::string text;
  for (size_t i = 0; i < ansi.size(); ++i) {
    if (ansi[i] == '\n' && (i == 0 || ansi[i - 1] != '\r')) text += '\r';
    text += ansi[i];
  }
  if (text.size() > kPhoneFieldMax[field]) {
    throw UsageError(std::string(kFieldNames[field]) + " holds at most " + std::to_string(kPhoneFieldMax[field]) +
                     " characters");
  }
  return text;
}

// The live entry named by --id, read from the file.
struct FoundEntry {
  int16_t id = 0;
  uint16_t slot = 0;
  uint16_t noteId = 0;
  PhoneFields fields;
};

int16_t IdArgument(Args& args) {
  std::optional<std::string> id = args.Option("id");
  if (!id) throw UsageError("--id N is required");
  return static_cast<int16_t>(ParseInteger(*id, "id", 1, kPhoneMaxId));
}

FoundEntry FindEntry(Args& args, const DbSession& session) {
  FoundEntry found;
  found.id = IdArgument(args);
  args.Done();
  std::vector<PhoneLoaded> loaded;
  if (FileExists(PhoneFilePath()) && PhoneStoreOpen(kDbModeRead, kCallerPhoneLoad)) {
    PhoneLoadEntries(loaded);
    PhoneStoreClose();
  }
  for (const PhoneLoaded& l : loaded) {
    if (PhoneEntryId(l.entry) == found.id) {
      found.slot = l.slot;
      found.noteId = PhoneEntryNoteId(l.entry);
      found.fields = UnpackPhoneEntry(l.entry);
      return found;
    }
  }
  session.log.Fail("no entry with id " + std::to_string(found.id));
}

Command add("phone add",
            "--db DIR --category C [--last L] [--first F] [--salutation S] [--title T] [--company C] [--address A] "
            "[--phone N[:LABEL] ...]",
            [](Args& args) {
              DbSession session(args, false);
              PhoneFields fields;
              for (PhoneField f : {kPhoneCategory, kPhoneLast, kPhoneFirst, kPhoneSalutation, kPhoneTitle,
                                   kPhoneCompany, kPhoneAddress}) {
                if (auto value = args.Option(kFieldNames[f])) fields[f] = FieldText(*value, f);
              }
              std::vector<std::string> phones = args.Options("phone");
              if (phones.size() > 4) throw UsageError("an entry holds at most four phone numbers");
              for (size_t i = 0; i < phones.size(); ++i) {
                size_t colon = phones[i].find(':');
                auto number = static_cast<PhoneField>(kPhoneNumber1 + i);
                auto label = static_cast<PhoneField>(kPhoneLabel1 + i);
                fields[number] = FieldText(phones[i].substr(0, colon), number);
                if (colon != std::string::npos) fields[label] = FieldText(phones[i].substr(colon + 1), label);
              }
              args.Done();
              PhoneBook book;
              if (!PhoneLoad(book)) session.log.Fail("the phonebook could not be read");
              PhoneSaveResult r = PhoneSave(book, fields);
              if (!r.Ok()) session.log.Fail("the entry could not be stored");
              Emit(Json{{"id", r.ref.id}, {"slot", r.ref.slot}});
            });

// Many entries at once (a test's full phonebook): "Entry N" in category C, numbered from 1.
Command fill("phone fill", "--db DIR --count N [--category C]", [](Args& args) {
  DbSession session(args, false);
  int count = static_cast<int>(ParseInteger(args.Option("count").value_or(""), "count", 1, kPhoneMaxEntries));
  std::string category = FieldText(args.Option("category").value_or("Filled"), kPhoneCategory);
  args.Done();
  PhoneBook book;
  if (!PhoneLoad(book)) session.log.Fail("the phonebook could not be read");
  int stored = 0;
  for (int k = 1; k <= count; ++k) {
    PhoneFields fields;
    fields[kPhoneCategory] = category;
    fields[kPhoneLast] = "Entry " + std::to_string(k);
    if (!PhoneSave(book, fields).Ok()) break;
    ++stored;
  }
  if (stored < count) session.log.Fail("only " + std::to_string(stored) + " entries could be stored");
  Emit(Json{{"stored", stored}, {"entries", book.liveCount}});
});

Command list("phone list", "--db DIR [--organizations] [--category C]", [](Args& args) {
  DbSession session(args, false);
  PhoneBook book;
  book.view = args.Flag("organizations") ? PhoneView::Organizations : PhoneView::People;
  if (auto category = args.Option("category")) book.categoryFilter = AnsiFromUtf8(*category);
  args.Done();
  if (!PhoneLoad(book)) session.log.Fail("the phonebook could not be read");
  Json entries = Json::array();
  for (const PhoneIndexEntry& e : book.index) {
    entries.push_back(Json{{"id", e.id}, {"name", Utf8FromAnsi(e.name)}, {"category", Utf8FromAnsi(e.category)}});
  }
  Emit(Json{{"entries", entries}});
});

Command show("phone show", "--db DIR --id N", [](Args& args) {
  DbSession session(args, false);
  FoundEntry e = FindEntry(args, session);
  const PhoneFields& fields = e.fields;
  Json out{{"id", e.id}, {"slot", e.slot}, {"note", e.noteId}};
  for (int f = kPhoneCategory; f <= kPhoneAddress; ++f) out[kFieldNames[f]] = Utf8FromAnsi(fields[f]);
  Json phones = Json::array();
  for (int i = 0; i < 4; ++i) {
    PhoneNumberText number = SplitDialAction(fields[kPhoneNumber1 + i]);
    phones.push_back(Json{{"number", Utf8FromAnsi(number.number)},
                          {"action", DialActionName(number.action)},
                          {"label", Utf8FromAnsi(fields[kPhoneLabel1 + i])}});
  }
  out["phones"] = phones;
  Emit(out);
});

Command del("phone del", "--db DIR --id N", [](Args& args) {
  DbSession session(args, false);
  FoundEntry e = FindEntry(args, session);
  // The entry alone in the index, selected, as the window would hold it.
  PhoneBook book;
  book.index.push_back(PhoneIndexEntry{e.id, e.noteId, e.slot, {}, e.fields[kPhoneCategory]});
  book.selected = 0;
  book.liveCount = 1;
  if (!PhoneDelete(book, false)) session.log.Fail("the entry could not be deleted");
  Emit(Json{{"id", e.id}, {"deleted", true}});
});

}  // namespace
}  // namespace kv::tool
