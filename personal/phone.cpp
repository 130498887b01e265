#include "personal/phone.h"

#include <algorithm>
#include <new>

#include "personal/notes.h"
#include "resources/strings.h"
#include "base/messages.h"
#include "store/container_format.h"
#include "base/file_io.h"

namespace kv {
namespace {

constexpr int kStrTooMuch = 24520;
constexpr int kStrNameRequired = 24521;
constexpr int kStrCategoryRequired = 24522;
constexpr int kStrFull = 24523;
constexpr int kStrDeleteEntry = 24524;
constexpr int kStrNoMemory = 24525;
constexpr int kStrFirstDefaultLabel = 24526;   // 24526-24529
constexpr int kStrFirstDialAction = 24530;     // 24530-24533

constexpr size_t kPackedArea = 251;            // record bytes 4 ... 254
constexpr uint8_t kCurrentLayout = 1;
constexpr int kLegacyFieldCount = 20;          // 16 columns and 4 labels

unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

}  // namespace

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool LessNoCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

namespace {

bool StartsNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

// Splits a packed area into `count` fields: each ends at the next separator; a zero byte ends
// the field it is in and leaves every later field empty.
std::vector<std::string> SplitPacked(const uint8_t* p, size_t size, int count) {
  std::vector<std::string> fields(count);
  size_t pos = 0;
  for (int i = 0; i < count && pos < size; ++i) {
    size_t end = pos;
    while (end < size && p[end] != kPhoneSeparator && p[end] != 0) ++end;
    fields[i].assign(reinterpret_cast<const char*>(p + pos), end - pos);
    if (end >= size || p[end] == 0) break;
    pos = end + 1;
  }
  return fields;
}

// A text as the dialog's edit control would hold it: cut to the field's length, without the
// bytes that would break the packing.
std::string CleanField(std::string_view text, size_t max) {
  std::string out(text.substr(0, max));
  std::replace_if(out.begin(), out.end(), [](char c) { return c == static_cast<char>(kPhoneSeparator) || c == 0; }, ' ');
  return out;
}

bool InFilter(const PhoneBook& book, std::string_view category) {
  return book.categoryFilter.empty() || EqualNoCase(book.categoryFilter, category);
}

PhoneIndexEntry IndexEntryFor(const PhoneFields& fields, const PhoneEntryRef& ref) {
  PhoneIndexEntry e;
  e.id = ref.id;
  e.noteId = ref.noteId;
  e.slot = ref.slot;
  e.category = fields[kPhoneCategory];
  return e;
}

int IndexOfSlot(const PhoneBook& book, uint16_t slot) {
  for (size_t i = 0; i < book.index.size(); ++i) {
    if (book.index[i].slot == slot) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

std::string PackPhoneFields(const PhoneFields& fields) {
  std::string packed;
  for (const std::string& f : fields) {
    packed += f;
    packed += static_cast<char>(kPhoneSeparator);
  }
  return packed;
}

size_t PhonePackExcess(const std::string& packed) {
  // The message has always asked for one character more than strictly needed.
  return packed.size() > kPhonePackedMax ? packed.size() - (kPhonePackedMax - 1) : 0;
}

std::array<std::string, 4> DefaultPhoneLabels() {
  std::array<std::string, 4> labels;
  for (int i = 0; i < 4; ++i) labels[i] = std::string(StringText(kStrFirstDefaultLabel + i));
  return labels;
}

std::string ComposeLegacyAddress(std::string_view address1, std::string_view address2, std::string_view city,
                                 std::string_view region, std::string_view postalCode, std::string_view country) {
  std::vector<std::string> lines;
  if (!address1.empty()) lines.emplace_back(address1);
  if (!address2.empty()) lines.emplace_back(address2);
  if (!city.empty() || !region.empty() || !postalCode.empty()) {
    std::string line = std::string(city) + ", " + std::string(region) + "  " + std::string(postalCode);
    size_t drop = 0;
    while (drop < 5 && drop < line.size() && (line[drop] == ' ' || line[drop] == ',')) ++drop;
    line.erase(0, drop);
    while (!line.empty() && (line.back() == ' ' || line.back() == ',')) line.pop_back();
    lines.push_back(line);
  }
  if (!country.empty()) lines.emplace_back(country);
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) out += (i ? "\r\n" : "") + lines[i];
  return out.substr(0, kPhoneFieldMax[kPhoneAddress]);
}

PhoneFields UnpackPhoneEntry(const PhoneEntry& entry) {
  PhoneFields fields;
  if (entry[255] == kCurrentLayout) {
    // Byte 255 counts as a separator, so that a text filling the whole area still splits.
    std::array<uint8_t, kPackedArea + 1> area;
    std::copy_n(entry.begin() + 4, kPackedArea, area.begin());
    area[kPackedArea] = kPhoneSeparator;
    std::vector<std::string> split = SplitPacked(area.data(), area.size(), kPhoneFieldCount);
    std::copy(split.begin(), split.end(), fields.begin());
    return fields;
  }
  std::vector<std::string> old = SplitPacked(entry.data() + 4, kPackedArea, kLegacyFieldCount);
  for (int i = 0; i < 6; ++i) fields[i] = old[i];   // category ... company
  fields[kPhoneAddress] = ComposeLegacyAddress(old[6], old[7], old[8], old[9], old[10], old[11]);
  for (int i = 0; i < 4; ++i) fields[kPhoneNumber1 + i] = old[12 + i];
  bool labelled = std::any_of(old.begin() + 16, old.end(), [](const std::string& s) { return !s.empty(); });
  std::array<std::string, 4> defaults = DefaultPhoneLabels();
  for (int i = 0; i < 4; ++i) fields[kPhoneLabel1 + i] = labelled ? old[16 + i] : defaults[i];
  for (int i = 0; i < kPhoneFieldCount; ++i) fields[i] = fields[i].substr(0, kPhoneFieldMax[i]);
  return fields;
}

bool BuildPhoneEntry(const PhoneFields& fields, PhoneEntry& entry) {
  std::string packed = PackPhoneFields(fields);
  if (packed.size() > kPhonePackedMax) return false;
  entry.fill(0);
  std::copy(packed.begin(), packed.end(), entry.begin() + 4);
  entry[255] = kCurrentLayout;
  return true;
}

PhoneNumberText SplitDialAction(std::string_view stored) {
  PhoneNumberText out;
  DialAction action = DialAction::Default;
  if (!stored.empty()) {
    switch (stored.back()) {
      case '*': action = DialAction::SmartDial; break;
      case '!': action = DialAction::Exact; break;
      case '?': action = DialAction::Preview; break;
      default: break;
    }
  }
  out.action = action;
  out.number = std::string(action == DialAction::Default ? stored : stored.substr(0, stored.size() - 1));
  return out;
}

std::string JoinDialAction(std::string_view number, DialAction action) {
  static constexpr char kSuffix[] = {0, '*', '!', '?'};
  std::string out(number);
  if (char c = kSuffix[static_cast<int>(action)]) out += c;
  return out;
}

const char* DialActionName(DialAction action) {
  return StringText(kStrFirstDialAction + static_cast<int>(action)).data();
}

int PhoneDisplayName(std::string& out, std::string_view first, std::string_view last, std::string_view company,
                     PhoneView view) {
  out.clear();
  if (view == PhoneView::People) {
    if (!last.empty() && !first.empty()) {
      out = std::string(last) + ", " + std::string(first);
    } else {
      out = std::string(!last.empty() ? last : first);
    }
  } else if (!company.empty()) {
    out = std::string(company);
    if (!last.empty()) out += " [" + std::string(last) + "]";
  }
  if (out.size() > kPhoneNameMax) out.resize(kPhoneNameMax);
  return out.empty() ? 0 : 1;
}

void AddPhoneChoice(std::vector<std::string>& list, std::string_view text, size_t max) {
  text = text.substr(0, max);
  if (text.empty()) return;
  for (const std::string& s : list) {
    if (EqualNoCase(s, text)) return;
  }
  list.emplace_back(text);
}

void PhoneChoices::Add(const PhoneFields& fields) {
  AddPhoneChoice(categories, fields[kPhoneCategory], kPhoneFieldMax[kPhoneCategory]);
  AddPhoneChoice(salutations, fields[kPhoneSalutation], kPhoneFieldMax[kPhoneSalutation]);
  AddPhoneChoice(titles, fields[kPhoneTitle], kPhoneFieldMax[kPhoneTitle]);
  for (int i = 0; i < 4; ++i) AddPhoneChoice(labels, fields[kPhoneLabel1 + i], kPhoneFieldMax[kPhoneLabel1]);
}

void SortPhoneIndex(std::vector<PhoneIndexEntry>& index) {
  std::stable_sort(index.begin(), index.end(),
                   [](const PhoneIndexEntry& a, const PhoneIndexEntry& b) { return LessNoCase(a.name, b.name); });
}

int PhoneLoad(PhoneBook& book) {
  book.index.clear();
  book.choices = PhoneChoices{};
  book.selected = -1;
  book.liveCount = 0;
  std::string path = PhoneFilePath();
  if (!FileExists(path)) return 1;   // no phonebook yet: an empty one
  try {
    if (!PhoneStoreOpen(kDbModeRead, kCallerPhoneLoad)) return 0;
    std::vector<PhoneLoaded> loaded;
    int read = PhoneLoadEntries(loaded);
    bool damaged = PhoneStoreIsDamaged();
    PhoneStoreClose();
    if (!read) return 0;
    // A header that counts more (or fewer) entries than the file holds is put right on disk;
    // opening for writing corrects it.
    std::vector<uint8_t> header;
    if (!damaged && ReadWholeFile(path, header, kPhoneHeaderSize) && header.size() == kPhoneHeaderSize &&
        ParsePhoneHeader(header.data()).count != loaded.size() && PhoneStoreOpen(kDbModeWrite, kCallerPhoneRepair)) {
      PhoneStoreClose();
    }
    book.liveCount = static_cast<int>(loaded.size());
    book.index.reserve(loaded.size());
    for (const PhoneLoaded& l : loaded) {
      PhoneFields fields = UnpackPhoneEntry(l.entry);
      book.choices.Add(fields);
      PhoneIndexEntry e = IndexEntryFor(fields, {PhoneEntryId(l.entry), PhoneEntryNoteId(l.entry), l.slot});
      if (PhoneDisplayName(e.name, fields[kPhoneFirst], fields[kPhoneLast], fields[kPhoneCompany], book.view) &&
          InFilter(book, e.category)) {
        book.index.push_back(std::move(e));
      }
    }
    SortPhoneIndex(book.index);
    return 1;
  } catch (const std::bad_alloc&) {
    if (PhoneStoreIsOpen()) PhoneStoreClose();
    book.index.clear();
    ShowMessage(std::string(StringText(kStrNoMemory)), MsgIcon::Stop);
    return 0;
  }
}

bool PhoneReadFields(uint16_t slot, PhoneFields& fields) {
  if (!FileExists(PhoneFilePath()) || !PhoneStoreOpen(kDbModeRead, kCallerPhoneLoad)) return false;
  std::optional<PhoneEntry> entry = PhoneReadEntry(slot);
  PhoneStoreClose();
  if (!entry || PhoneEntryId(*entry) <= 0) return false;
  fields = UnpackPhoneEntry(*entry);
  return true;
}

bool PhoneCanAdd(const PhoneBook& book) {
  if (book.liveCount < kPhoneMaxEntries) return true;
  ShowMessage(std::string(StringText(kStrFull)), MsgIcon::Stop);
  return false;
}

PhoneSaveResult PhoneSave(PhoneBook& book, const PhoneFields& input, int editIndex) {
  PhoneSaveResult result;
  auto refuse = [&result](PhoneSaveError error, PhoneField focus, const std::string& text) {
    ShowMessage(text, MsgIcon::Stop);
    result.error = error;
    result.focus = focus;
    return result;
  };
  bool editing = editIndex >= 0;
  if (editing && static_cast<size_t>(editIndex) >= book.index.size()) {
    result.error = PhoneSaveError::Write;
    return result;
  }
  PhoneFields fields;
  for (int i = 0; i < kPhoneFieldCount; ++i) fields[i] = CleanField(input[i], kPhoneFieldMax[i]);
  if (fields[kPhoneLast].empty() && fields[kPhoneCompany].empty()) {
    return refuse(PhoneSaveError::Name, kPhoneLast, std::string(StringText(kStrNameRequired)));
  }
  if (fields[kPhoneCategory].empty()) {
    return refuse(PhoneSaveError::Category, kPhoneCategory, std::string(StringText(kStrCategoryRequired)));
  }
  std::string packed = PackPhoneFields(fields);
  if (size_t excess = PhonePackExcess(packed)) {
    return refuse(PhoneSaveError::TooLong, kPhoneAddress,
                  FormatText(std::string(StringText(kStrTooMuch)).c_str(), static_cast<int>(excess)));
  }
  if (!editing && book.liveCount >= kPhoneMaxEntries) {
    return refuse(PhoneSaveError::Full, kPhoneCategory, std::string(StringText(kStrFull)));
  }
  PhoneEntry entry;
  BuildPhoneEntry(fields, entry);
  PhoneEntryRef ref;
  if (editing) {
    const PhoneIndexEntry& old = book.index[editIndex];
    ref = {old.id, old.noteId, old.slot};
  }
  if (!PhoneStoreEntry(entry, ref)) {
    result.error = PhoneSaveError::Write;
    return result;
  }
  result.ref = ref;
  if (!editing) ++book.liveCount;
  book.choices.Add(fields);
  if (editing) book.index.erase(book.index.begin() + editIndex);
  PhoneIndexEntry e = IndexEntryFor(fields, ref);
  book.selected = -1;
  if (PhoneDisplayName(e.name, fields[kPhoneFirst], fields[kPhoneLast], fields[kPhoneCompany], book.view) &&
      InFilter(book, e.category)) {
    book.index.push_back(std::move(e));
    SortPhoneIndex(book.index);
    book.selected = IndexOfSlot(book, ref.slot);
  }
  return result;
}

bool PhoneDelete(PhoneBook& book, bool ask) {
  if (book.selected < 0 || static_cast<size_t>(book.selected) >= book.index.size()) return false;
  const PhoneIndexEntry listed = book.index[book.selected];
  if (ask && ShowMessage(std::string(StringText(kStrDeleteEntry)), MsgIcon::None, MsgButtons::OkCancel) !=
                 MsgAnswer::Ok) {
    return false;
  }
  // The slot must still hold the listed entry; its note id is taken from the file, where the
  // notes module keeps it current. The entry goes first, so that a failure never leaves an
  // entry without its note.
  if (!PhoneStoreOpen(kDbModeWrite, kCallerPhoneDelete)) return false;
  std::optional<PhoneEntry> stored = PhoneReadEntry(listed.slot);
  bool same = stored && PhoneEntryId(*stored) == listed.id;
  bool deleted = same && PhoneDeleteEntry(listed.slot);
  PhoneStoreClose();
  if (!deleted) return false;
  NoteDeleteForRemovedOwner(kNotePhone, PhoneEntryNoteId(*stored), kCallerPhoneRepair);
  book.index.erase(book.index.begin() + book.selected);
  --book.liveCount;
  book.selected = book.index.empty() ? -1 : std::max(book.selected - 1, 0);
  return true;
}

PhoneTypeAhead::Step PhoneTypeAhead::Key(char key, const std::vector<PhoneIndexEntry>& index, int current) {
  Step step;
  auto c = static_cast<unsigned char>(key);
  if (c == '\b') {
    if (!prefix_.empty()) prefix_.pop_back();
    step.timerMs = 2000;
    return step;
  }
  if (c < 0x20 || c == 0x7F) {
    prefix_.clear();
    return step;
  }
  if (prefix_.size() < kMaxPrefix) prefix_ += key;
  size_t n = index.size();
  size_t start = prefix_.size() >= 2 && current >= 0 && static_cast<size_t>(current) < n ? current : 0;
  for (size_t k = 0; k < n; ++k) {
    size_t i = (start + k) % n;
    if (StartsNoCase(index[i].name, prefix_)) {
      step.select = static_cast<int>(i);
      step.timerMs = 3000;
      return step;
    }
  }
  prefix_.clear();
  step.beep = true;
  return step;
}


}  // namespace kv
