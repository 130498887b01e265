// vCard export and import of the phonebook, and what the contact formats share: reading the
// phonebook, checking entries against its limits, storing them.
#include <algorithm>
#include <cctype>

#include "personal/contacts.h"
#include "personal/ical_internal.h"
#include "personal/notes.h"
#include "resources/strings.h"
#include "base/text_encoding.h"
#include "base/messages.h"
#include "store/db_files.h"
#include "base/file_io.h"
#include "store/phone_file.h"
#include "store/phone_format.h"

namespace kv {
using namespace ical_detail;
namespace {

constexpr int kCallerContacts = kCallerPhoneLoad;

std::string Text(int id) { return std::string(StringText(id)); }

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

const char* const kFieldNames[kPhoneFieldCount] = {"category", "last name", "first name", "salutation", "title",
                                                   "company", "address", "number 1", "number 2", "number 3",
                                                   "number 4", "label 1", "label 2", "label 3", "label 4"};

// The vCard TYPE of a label, and the label of a vCard TYPE.
struct LabelType {
  int label;          // string id
  const char* type;   // vCard TEL type
};
const LabelType kLabelTypes[] = {{24526, "work"}, {24527, "home"}, {24528, "fax"}, {kStrLabelMobile, "cell"},
                                 {kStrLabelPager, "pager"}};

std::string TypeOfLabel(const std::string& label) {
  std::string l = Lower(label);
  for (const LabelType& t : kLabelTypes)
    if (l == Lower(Text(t.label))) return t.type;
  if (l == "work" || l == "office") return "work";
  if (l == "cell" || l == "mobile") return "cell";
  return "voice";
}

std::string LabelOfTypes(const std::string& types) {
  std::string t = Lower(types);
  auto has = [&](const char* w) {
    for (const std::string& part : SplitEscaped(t, ','))
      if (part == w) return true;
    return false;
  };
  if (has("fax")) return Text(24528);
  if (has("cell") || has("mobile")) return Text(kStrLabelMobile);
  if (has("pager")) return Text(kStrLabelPager);
  if (has("work")) return Text(24526);
  if (has("home")) return Text(24527);
  return Text(24529);
}

bool ValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    uint32_t cp = 0;
    if (!DecodeUtf8(text, i, cp)) return false;
  }
  return true;
}

bool IsEmailLabel(const std::string& label) { return Lower(label) == Lower(Text(kStrLabelEmail)); }
bool IsWebLabel(const std::string& label) { return Lower(label) == Lower(Text(kStrLabelWeb)); }

// A parameter value: quoted when it holds a separator; a double quote or a control character
// cannot stand in one at all and becomes a blank.
std::string QuoteParam(std::string v) {
  for (char& c : v)
    if (c == '"' || (static_cast<unsigned char>(c) < 0x20)) c = ' ';
  return v.find_first_of(",;:") == std::string::npos ? v : "\"" + v + "\"";
}

std::string NoCr(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

}  // namespace

std::vector<ContactEntry> ReadPhonebook() {
  std::vector<ContactEntry> out;
  std::vector<PhoneLoaded> loaded;
  if (!FileExists(PhoneFilePath()) || !PhoneStoreOpen(kDbModeRead, kCallerContacts)) return out;
  PhoneLoadEntries(loaded);
  PhoneStoreClose();
  for (const PhoneLoaded& l : loaded) {
    ContactEntry c;
    c.fields = UnpackPhoneEntry(l.entry);
    if (uint16_t note = PhoneEntryNoteId(l.entry))
      if (auto text = NoteFindPhone(note)) c.note = text->text;
    out.push_back(std::move(c));
  }
  return out;
}

std::string VCardText(const std::vector<ContactEntry>& entries, VCardVersion version) {
  ContentWriter w;
  auto u = [](const std::string& ansi) { return Utf8FromAnsi(ansi); };
  for (const ContactEntry& c : entries) {
    const PhoneFields& f = c.fields;
    w.Begin("VCARD");
    w.Property("VERSION", "", version == VCardVersion::V4 ? "4.0" : "3.0");
    w.Property("N", "", EscapeText(u(f[kPhoneLast])) + ";" + EscapeText(u(f[kPhoneFirst])) + ";;" +
                            EscapeText(u(f[kPhoneSalutation])) + ";");
    std::string fn = f[kPhoneFirst].empty() ? f[kPhoneLast] : f[kPhoneLast].empty() ? f[kPhoneFirst] : f[kPhoneFirst] + " " + f[kPhoneLast];
    if (fn.empty()) fn = f[kPhoneCompany];
    w.Text("FN", u(fn));
    if (!f[kPhoneCompany].empty()) w.Property("ORG", "", EscapeText(u(f[kPhoneCompany])));
    if (!f[kPhoneTitle].empty()) w.Text("TITLE", u(f[kPhoneTitle]));
    if (!f[kPhoneAddress].empty()) {
      std::string street = EscapeText(u(NoCr(f[kPhoneAddress])));
      w.Property("ADR", version == VCardVersion::V4 ? ";TYPE=work" : ";TYPE=WORK", ";;" + street + ";;;;");
    }
    for (int i = 0; i < 4; ++i) {
      const std::string& stored = f[kPhoneNumber1 + i];
      const std::string& label = f[kPhoneLabel1 + i];
      if (stored.empty() && label.empty()) continue;
      PhoneNumberText number = SplitDialAction(stored);
      std::string params = ";X-KALVORA-LABEL=" + QuoteParam(u(label));
      if (number.action != DialAction::Default) params += std::string(";X-KALVORA-DIAL=") + DialActionName(number.action);
      std::string value = u(number.number);
      if (IsEmailLabel(label) && number.number.find('@') != std::string::npos) {
        w.Property("EMAIL", (version == VCardVersion::V4 ? "" : ";TYPE=INTERNET") + params, EscapeText(value));
      } else if (IsWebLabel(label)) {
        w.Property("URL", params, value);
      } else {
        std::string type = TypeOfLabel(label);
        w.Property("TEL", ";TYPE=" + type + (type == "voice" || type == "cell" || type == "fax" || type == "pager" ? "" : ",voice") + params,
                   EscapeText(value));
      }
    }
    if (!f[kPhoneCategory].empty()) w.Property("CATEGORIES", "", EscapeText(u(f[kPhoneCategory])));
    if (!c.note.empty()) w.Text("NOTE", u(NoCr(c.note)));
    w.End("VCARD");
  }
  return w.Take();
}

namespace {
// Appends a piece after a separator (none before the first piece). Appended step by step: GCC 12
// warns falsely about a literal in front of a temporary string.
void JoinPiece(std::string& to, const char* separator, const std::string& piece) {
  if (!to.empty()) to.append(separator);
  to.append(piece);
}
}  // namespace

bool ParseVCards(std::string_view text, std::vector<ContactEntry>& out, std::vector<ExchangeSkip>& skipped,
                 int& lostCharacters, ContentError& error) {
  std::vector<ContentComponent> cards;
  if (!ParseContentLines(text, cards, error)) return false;
  for (const ContentComponent& card : cards) {
    if (card.name != "VCARD") {
      error = {card.line, "BEGIN:" + card.name + " where BEGIN:VCARD was expected"};
      return false;
    }
  }
  // Old files: quoted-printable values, and text in a single-byte character set (named by
  // CHARSET, or simply not UTF-8), which is the program's own.
  for (ContentComponent& card : cards)
    for (ContentProperty& p : card.properties) {
      if (Lower(p.Param("ENCODING")) == "quoted-printable") p.value = DecodeQuotedPrintable(p.value);
      std::string charset = Lower(p.Param("CHARSET"));
      if ((!charset.empty() && charset != "utf-8") || !ValidUtf8(p.value)) p.value = Utf8FromAnsi(p.value);
    }
  auto ansi = [&](std::string_view utf8) { return ToAnsi(utf8, lostCharacters); };
  for (const ContentComponent& card : cards) {
    ContactEntry c;
    c.line = card.line;
    PhoneFields& f = c.fields;
    auto skip = [&](int line, std::string why) { skipped.push_back({line, std::move(why)}); };
    if (const ContentProperty* n = card.Find("N")) {
      std::vector<std::string> parts = SplitEscaped(n->value, ';');
      parts.resize(5);
      f[kPhoneLast] = ansi(UnescapeText(parts[0]));
      f[kPhoneFirst] = ansi(UnescapeText(parts[1]));
      // Appended piece by piece: GCC 12 warns falsely about a literal in front of a temporary.
      if (!parts[2].empty()) f[kPhoneFirst].append(" ").append(ansi(UnescapeText(parts[2])));
      f[kPhoneSalutation] = ansi(UnescapeText(parts[3]));
      if (!parts[4].empty()) f[kPhoneLast].append(", ").append(ansi(UnescapeText(parts[4])));
    }
    if (const ContentProperty* org = card.Find("ORG")) {
      std::string company;
      for (const std::string& unit : SplitEscaped(org->value, ';'))
        if (!unit.empty()) company += (company.empty() ? "" : ", ") + ansi(UnescapeText(unit));
      f[kPhoneCompany] = company;
    }
    if (f[kPhoneLast].empty() && f[kPhoneFirst].empty() && f[kPhoneCompany].empty())
      if (const ContentProperty* fn = card.Find("FN")) f[kPhoneLast] = ansi(UnescapeText(fn->value));
    if (const ContentProperty* t = card.Find("TITLE")) f[kPhoneTitle] = ansi(UnescapeText(t->value));
    std::vector<const ContentProperty*> adrs = card.FindAll("ADR");
    if (!adrs.empty()) {
      std::vector<std::string> p = SplitEscaped(adrs[0]->value, ';');
      p.resize(7);
      std::string street = ansi(UnescapeText(p[2]));
      if (!p[1].empty()) JoinPiece(street, "\n", ansi(UnescapeText(p[1])));
      if (!p[0].empty()) JoinPiece(street, "\n", ansi(UnescapeText(p[0])));
      std::string city = ansi(UnescapeText(p[3])), region = ansi(UnescapeText(p[4])), postal = ansi(UnescapeText(p[5])),
                  country = ansi(UnescapeText(p[6]));
      std::string address = street;
      if (!city.empty() || !region.empty() || !postal.empty()) {
        std::string line = city;
        if (!region.empty()) JoinPiece(line, ", ", region);
        if (!postal.empty()) JoinPiece(line, "  ", postal);
        JoinPiece(address, "\n", line);
      }
      if (!country.empty()) JoinPiece(address, "\n", country);
      f[kPhoneAddress] = CrLf(address);
      for (size_t i = 1; i < adrs.size(); ++i) skip(adrs[i]->line, "an entry keeps one address; this one is left out");
    }
    int slot = 0;
    for (const ContentProperty& p : card.properties) {
      bool tel = p.name == "TEL", email = p.name == "EMAIL", url = p.name == "URL";
      if (!tel && !email && !url) continue;
      if (slot == 4) {
        skip(p.line, "an entry keeps four numbers; " + p.name + " " + p.value + " is left out");
        continue;
      }
      std::string label = p.HasParam("X-KALVORA-LABEL") ? ansi(p.Param("X-KALVORA-LABEL"))
                          : email                       ? Text(kStrLabelEmail)
                          : url                         ? Text(kStrLabelWeb)
                                                        : LabelOfTypes(p.Param("TYPE"));
      std::string value = url ? p.value : UnescapeText(p.value);
      if (value.rfind("tel:", 0) == 0) value = value.substr(4);
      if (value.rfind("mailto:", 0) == 0) value = value.substr(7);
      std::string number = ansi(value);
      std::string dial = p.Param("X-KALVORA-DIAL");
      DialAction action = DialAction::Default;
      for (DialAction a : {DialAction::SmartDial, DialAction::Exact, DialAction::Preview})
        if (dial == DialActionName(a)) action = a;
      f[kPhoneNumber1 + slot] = JoinDialAction(number, action);
      f[kPhoneLabel1 + slot] = label;
      ++slot;
    }
    if (const ContentProperty* cat = card.Find("CATEGORIES")) {
      std::vector<std::string> cats = SplitEscaped(cat->value, ',');
      f[kPhoneCategory] = ansi(UnescapeText(cats[0]));
      if (cats.size() > 1) skip(cat->line, "an entry keeps one category; the first is kept");
    }
    if (const ContentProperty* note = card.Find("NOTE")) c.note = CrLf(ansi(UnescapeText(note->value)));
    out.push_back(std::move(c));
  }
  return true;
}

ContactsImportResult StoreContacts(std::vector<ContactEntry> entries, std::vector<ExchangeSkip> skipped,
                                   int lostCharacters) {
  ContactsImportResult result;
  result.lostCharacters = lostCharacters;
  result.skipped = std::move(skipped);
  std::vector<ContactEntry> fit;
  for (ContactEntry& c : entries) {
    PhoneFields& f = c.fields;
    if (f[kPhoneCategory].empty()) f[kPhoneCategory] = Text(kStrContactsImported);
    if (f[kPhoneLast].empty() && f[kPhoneCompany].empty()) {
      if (f[kPhoneFirst].empty()) {
        result.skipped.push_back({c.line, "the entry has no name and no company"});
        continue;
      }
      std::swap(f[kPhoneLast], f[kPhoneFirst]);  // a first name alone is listed as the name
    }
    std::string why;
    for (int i = 0; i < kPhoneFieldCount && why.empty(); ++i)
      if (f[i].size() > kPhoneFieldMax[i])
        why = std::string("the ") + kFieldNames[i] + " holds " + std::to_string(f[i].size()) + " characters, " +
              std::to_string(kPhoneFieldMax[i]) + " fit";
    if (why.empty())
      if (size_t excess = PhonePackExcess(PackPhoneFields(f)))
        why = "the entry is " + std::to_string(excess) + " characters longer than the " +
              std::to_string(kPhonePackedMax) + " an entry holds";
    if (!why.empty()) {
      result.skipped.push_back({c.line, why});
      continue;
    }
    fit.push_back(std::move(c));
  }
  PhoneBook book;
  PhoneLoad(book);
  if (book.liveCount + static_cast<int>(fit.size()) > kPhoneMaxEntries) {
    result.error = {fit.empty() ? 0 : fit.front().line,
                    "the phonebook holds " + std::to_string(book.liveCount) + " entries; " + std::to_string(fit.size()) +
                        " more would pass its 2048"};
    UserMessage m;
    m.text = FormatText(Text(kStrIcalTooMany).c_str(), result.error.line, result.error.why.c_str());
    m.caption = Text(IDS_PRODUCT_NAME);
    m.icon = MsgIcon::Warning;
    m.beep = MsgBeep::Warning;
    ShowUserMessage(m);
    return result;
  }
  if (!ical_detail::AskToImport(FormatText(Text(kStrContactsReady).c_str(), static_cast<int>(fit.size())),
                                result.lostCharacters, result.skipped.size(), Text(IDS_PRODUCT_NAME))) {
    result.cancelled = true;
    return result;
  }
  for (const ContactEntry& c : fit) {
    PhoneSaveResult saved = PhoneSave(book, c.fields);
    if (!saved.Ok()) {
      result.skipped.push_back({c.line, "the entry could not be stored"});
      continue;
    }
    ++result.entries;
    if (!c.note.empty()) {
      NoteContext nc = PhoneNoteContext(static_cast<uint16_t>(saved.ref.id), 0);
      NoteSave(nc, c.note);
    }
  }
  result.ok = true;
  return result;
}

namespace {

ContactsExportResult WriteExport(const std::string& path, std::string text, int entries) {
  ContactsExportResult r;
  r.entries = entries;
  if (!WriteFileReplacing(path, std::vector<uint8_t>(text.begin(), text.end()))) {
    ShowMessage(FormatText(Text(kStrIcalWriteFailed).c_str(), path.c_str()), MsgIcon::Warning);
    r.error = "cannot write " + path;
    return r;
  }
  r.text = std::move(text);
  r.ok = true;
  return r;
}

template <typename Parse>
ContactsImportResult ImportFile(const std::string& path, Parse parse) {
  std::string text;
  ContactsImportResult result;
  if (!ReadWholeFile(path, &text)) {
    result.error = {0, "cannot read " + path};
    ShowMessage(FormatText(Text(kStrIcalReadFailed).c_str(), path.c_str()), MsgIcon::Warning);
    return result;
  }
  std::vector<ContactEntry> entries;
  std::vector<ExchangeSkip> skipped;
  int lost = 0;
  if (!parse(text, entries, skipped, lost, result.error)) {
    UserMessage m;
    m.text = FormatText(Text(kStrIcalMalformed).c_str(), result.error.line, AnsiFromUtf8(result.error.why).c_str());
    m.caption = Text(IDS_PRODUCT_NAME);
    m.icon = MsgIcon::Warning;
    m.beep = MsgBeep::Warning;
    ShowUserMessage(m);
    return result;
  }
  return StoreContacts(std::move(entries), std::move(skipped), lost);
}

}  // namespace

ContactsExportResult VCardExportFile(const std::string& path, VCardVersion version) {
  std::vector<ContactEntry> entries = ReadPhonebook();
  return WriteExport(path, VCardText(entries, version), static_cast<int>(entries.size()));
}

ContactsImportResult VCardImportFile(const std::string& path) { return ImportFile(path, ParseVCards); }

ContactsExportResult CsvExportFile(const std::string& path) {
  std::vector<ContactEntry> entries = ReadPhonebook();
  return WriteExport(path, ContactsCsvText(entries), static_cast<int>(entries.size()));
}

ContactsImportResult CsvImportFile(const std::string& path) { return ImportFile(path, ParseContactsCsv); }

}  // namespace kv
