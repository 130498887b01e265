#include "personal/phone_window.h"

#include <algorithm>
#include <optional>

#include "base/file_io.h"
#include "resources/strings.h"
#include "store/phone_file.h"

namespace kv {
namespace {

constexpr uint32_t kExStyleEdit = 0x204;   // WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY

void AppendLine(std::string& text, const std::string& line) {
  if (line.empty()) return;
  if (!text.empty()) text += "\r\n";
  text += line;
}

}  // namespace

std::string TemplateClassName(const TemplateName& windowClass) {
  if (!windowClass.ordinal) return windowClass.text;
  switch (windowClass.ordinal) {
    case 0x80: return "BUTTON";
    case 0x81: return "EDIT";
    case 0x82: return "STATIC";
    case 0x83: return "LISTBOX";
    case 0x84: return "SCROLLBAR";
    case 0x85: return "COMBOBOX";
    default: return "";
  }
}

TemplateControl PlanTemplateControl(const DialogItem& item, int baseX, int baseY) {
  TemplateControl c;
  c.className = TemplateClassName(item.windowClass);
  c.text = item.text.ordinal ? std::string() : item.text.text;
  c.style = item.style;
  c.exStyle = EqualNoCase(c.className, "EDIT") ? kExStyleEdit : 0;
  c.x = DialogUnitsToPixelsX(item.x, baseX);
  c.y = DialogUnitsToPixelsY(item.y, baseY);
  c.cx = DialogUnitsToPixelsX(item.cx, baseX);
  c.cy = DialogUnitsToPixelsY(item.cy, baseY);
  c.id = item.id;
  return c;
}

std::vector<std::string> PhoneFilterLines(const PhoneBook& book) {
  std::vector<std::string> categories = book.choices.categories;
  std::stable_sort(categories.begin(), categories.end(),
                   [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
  std::vector<std::string> lines{std::string(StringText(kStrAllCategories))};
  lines.insert(lines.end(), categories.begin(), categories.end());
  return lines;
}

int PhoneFilterLine(const PhoneBook& book, const std::vector<std::string>& lines) {
  if (book.categoryFilter.empty()) return 0;
  for (size_t i = 1; i < lines.size(); ++i) {
    if (EqualNoCase(lines[i], book.categoryFilter)) return static_cast<int>(i);
  }
  return 0;
}

std::string PhoneFilterOfLine(const std::vector<std::string>& lines, int line) {
  return line > 0 && static_cast<size_t>(line) < lines.size() ? lines[static_cast<size_t>(line)] : std::string();
}

int PhoneIndexOfId(const PhoneBook& book, int id) {
  if (id <= 0) return -1;
  for (size_t i = 0; i < book.index.size(); ++i) {
    if (book.index[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

PhoneEntryDisplay DisplayPhoneEntry(const PhoneFields& f) {
  PhoneEntryDisplay d;
  std::string name;
  for (PhoneField part : {kPhoneSalutation, kPhoneFirst, kPhoneLast}) {
    if (f[part].empty()) continue;
    if (!name.empty()) name += ' ';
    name += f[part];
  }
  AppendLine(d.heading, name);
  AppendLine(d.heading, f[kPhoneTitle]);
  AppendLine(d.heading, f[kPhoneCompany]);
  d.address = f[kPhoneAddress];
  for (int i = 0; i < 4; ++i) {
    PhoneRow& row = d.rows[static_cast<size_t>(i)];
    const std::string& label = f[kPhoneLabel1 + i];
    row.label = label.empty() ? std::string() : label + ":";
    PhoneNumberText n = SplitDialAction(f[kPhoneNumber1 + i]);
    row.number = n.number;
    row.action = n.action;
  }
  return d;
}

bool PhoneReadSelection(PhoneBook& book, PhoneSelection& out) {
  if (book.selected < 0 || static_cast<size_t>(book.selected) >= book.index.size()) return false;
  PhoneIndexEntry& listed = book.index[static_cast<size_t>(book.selected)];
  if (!FileExists(PhoneFilePath()) || !PhoneStoreOpen(kDbModeRead, kCallerPhoneLoad)) return false;
  std::optional<PhoneEntry> entry = PhoneReadEntry(listed.slot);
  PhoneStoreClose();
  if (!entry || PhoneEntryId(*entry) != listed.id) return false;
  listed.noteId = PhoneEntryNoteId(*entry);
  out.id = listed.id;
  out.noteId = listed.noteId;
  out.fields = UnpackPhoneEntry(*entry);
  return true;
}

NoteContext PhoneSelectionNoteContext(const PhoneBook& book) {
  if (book.selected < 0 || static_cast<size_t>(book.selected) >= book.index.size()) return NoteContext{};
  const PhoneIndexEntry& e = book.index[static_cast<size_t>(book.selected)];
  return PhoneNoteContext(static_cast<uint16_t>(e.id), e.noteId);
}

PhoneForm PhoneFormFromFields(const PhoneFields& fields) {
  PhoneForm form;
  form.fields = fields;
  for (int i = 0; i < 4; ++i) {
    PhoneNumberText n = SplitDialAction(fields[kPhoneNumber1 + i]);
    form.fields[kPhoneNumber1 + i] = n.number;
    form.actions[static_cast<size_t>(i)] = n.action;
  }
  return form;
}

PhoneFields PhoneFieldsFromForm(const PhoneForm& form) {
  PhoneFields fields = form.fields;
  for (int i = 0; i < 4; ++i) {
    DialAction action = form.actions[static_cast<size_t>(i)];
    std::string number = fields[kPhoneNumber1 + i];
    // A number of nothing but blanks is no number: its action would be the only thing stored.
    if (number.find_first_not_of(' ') == std::string::npos) number.clear();
    size_t room = kPhoneFieldMax[kPhoneNumber1] - (action == DialAction::Default ? 0 : 1);
    if (number.size() > room) number.resize(room);
    fields[kPhoneNumber1 + i] = number.empty() ? std::string() : JoinDialAction(number, action);
  }
  return fields;
}

PhoneRemembered RememberPhoneSelection(const PhoneBook& book) {
  PhoneRemembered r;
  if (book.selected < 0 || static_cast<size_t>(book.selected) >= book.index.size()) return r;
  const PhoneIndexEntry& e = book.index[static_cast<size_t>(book.selected)];
  r.id = static_cast<uint16_t>(e.id);
  r.name = e.name.substr(0, kPhoneRememberedNameMax);
  return r;
}

int FindRememberedPhoneEntry(const PhoneBook& book, const PhoneRemembered& remembered) {
  if (book.index.empty()) return -1;
  if (int at = PhoneIndexOfId(book, remembered.id); at >= 0) return at;
  if (!remembered.name.empty()) {
    for (size_t i = 0; i < book.index.size(); ++i) {
      if (EqualNoCase(book.index[i].name.substr(0, kPhoneRememberedNameMax), remembered.name)) {
        return static_cast<int>(i);
      }
    }
  }
  return 0;
}

}  // namespace kv
