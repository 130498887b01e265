// The comma-separated contact files that common address books export: a header row naming the
// columns, then one contact a row. Reading knows the column names of the two widespread layouts
// (named phone columns such as "Business Phone", and numbered groups such as "Phone 1 - Type" /
// "Phone 1 - Value"); writing uses the numbered layout, which keeps each number's label.
#include <algorithm>
#include <cctype>
#include <map>

#include "personal/contacts.h"
#include "personal/ical_internal.h"
#include "resources/strings.h"
#include "base/text_encoding.h"

namespace kv {
using namespace ical_detail;
namespace {

std::string Text(int id) { return std::string(StringText(id)); }

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Quote(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string out = "\"";
  for (char c : field) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

// Rows of fields with the line each row starts on; false at a quote left open.
bool ReadCsv(std::string_view text, std::vector<std::pair<int, std::vector<std::string>>>& rows, ContentError& error) {
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  int line = 1;
  size_t i = 0;
  while (i < text.size()) {
    int start = line;
    std::vector<std::string> fields(1);
    bool quoted = false, any = false;
    for (; i < text.size(); ++i) {
      char c = text[i];
      if (quoted) {
        if (c == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') fields.back() += '"', ++i;
          else quoted = false;
        } else {
          if (c == '\n') ++line;
          fields.back() += c;
        }
        continue;
      }
      if (c == '"') quoted = true, any = true;
      else if (c == ',') fields.emplace_back(), any = true;
      else if (c == '\r') continue;
      else if (c == '\n') {
        ++line;
        ++i;
        break;
      } else fields.back() += c, any = true;
    }
    if (quoted) {
      error = {start, "a quoted field is never closed"};
      return false;
    }
    if (any) rows.emplace_back(start, std::move(fields));
  }
  if (rows.empty()) {
    error = {1, "no header row"};
    return false;
  }
  return true;
}

struct Columns {
  std::map<std::string, size_t> index;  // lower-case name → column
  const std::string* Get(const std::vector<std::string>& row, std::initializer_list<const char*> names) const {
    for (const char* n : names) {
      auto it = index.find(n);
      if (it != index.end() && it->second < row.size() && !row[it->second].empty()) return &row[it->second];
    }
    return nullptr;
  }
};

// Named phone columns and the label each gives.
struct NamedPhone {
  const char* column;
  int label;  // string id
};
const NamedPhone kNamedPhones[] = {
    {"primary phone", 24529}, {"business phone", 24526}, {"business phone 2", 24526}, {"company main phone", 24526},
    {"home phone", 24527},    {"home phone 2", 24527},   {"mobile phone", kStrLabelMobile}, {"business fax", 24528},
    {"home fax", 24528},      {"other fax", 24528},      {"pager", kStrLabelPager},         {"car phone", 24529},
    {"other phone", 24529},   {"assistant's phone", 24529}};

std::string AddressOf(const Columns& cols, const std::vector<std::string>& row, const std::string& prefix) {
  auto get = [&](const char* suffix) {
    const std::string* v = cols.Get(row, {(prefix + suffix).c_str()});
    return v ? *v : std::string();
  };
  std::string street = get("street");
  for (const char* more : {"street 2", "street 3", "extended address", "po box"}) {
    std::string v = get(more);
    if (!v.empty()) street += (street.empty() ? "" : "\n") + v;
  }
  std::string city = get("city"), region = get(prefix.rfind("address", 0) == 0 ? "region" : "state"),
              postal = get("postal code"), country = get(prefix.rfind("address", 0) == 0 ? "country" : "country/region");
  std::string out = street;
  if (!city.empty() || !region.empty() || !postal.empty()) {
    std::string l = city;
    if (!region.empty()) l += (l.empty() ? "" : ", ") + region;
    if (!postal.empty()) l += (l.empty() ? "" : "  ") + postal;
    out += (out.empty() ? "" : "\n") + l;
  }
  if (!country.empty()) out += (out.empty() ? "" : "\n") + country;
  return out;
}

}  // namespace

std::string ContactsCsvText(const std::vector<ContactEntry>& entries) {
  std::vector<std::string> header = {"Name", "Given Name", "Family Name", "Name Prefix", "Organization 1 - Name",
                                     "Organization 1 - Title", "Address 1 - Formatted", "Group Membership", "Notes"};
  for (int i = 1; i <= 4; ++i) {
    header.push_back("Phone " + std::to_string(i) + " - Type");
    header.push_back("Phone " + std::to_string(i) + " - Value");
  }
  std::string out;
  for (size_t i = 0; i < header.size(); ++i) out += (i ? "," : "") + header[i];
  out += "\r\n";
  for (const ContactEntry& c : entries) {
    const PhoneFields& f = c.fields;
    std::string name = f[kPhoneFirst].empty() ? f[kPhoneLast] : f[kPhoneLast].empty() ? f[kPhoneFirst] : f[kPhoneFirst] + " " + f[kPhoneLast];
    std::vector<std::string> row = {name, f[kPhoneFirst], f[kPhoneLast], f[kPhoneSalutation], f[kPhoneCompany],
                                    f[kPhoneTitle], f[kPhoneAddress], f[kPhoneCategory], c.note};
    for (int i = 0; i < 4; ++i) {
      row.push_back(f[kPhoneLabel1 + i]);
      row.push_back(f[kPhoneNumber1 + i]);
    }
    // Line breaks inside a field are written CR LF, as address books write them.
    for (size_t i = 0; i < row.size(); ++i) {
      if (i) out.push_back(',');
      out.append(Quote(CrLf(Utf8FromAnsi(row[i]))));
    }
    out += "\r\n";
  }
  return out;
}

bool ParseContactsCsv(std::string_view text, std::vector<ContactEntry>& out, std::vector<ExchangeSkip>& skipped,
                      int& lostCharacters, ContentError& error) {
  std::vector<std::pair<int, std::vector<std::string>>> rows;
  if (!ReadCsv(text, rows, error)) return false;
  Columns cols;
  for (size_t i = 0; i < rows[0].second.size(); ++i) cols.index.emplace(Lower(rows[0].second[i]), i);
  bool known = cols.index.count("last name") || cols.index.count("family name") || cols.index.count("first name") ||
               cols.index.count("given name") || cols.index.count("company") || cols.index.count("organization 1 - name") ||
               cols.index.count("name");
  if (!known) {
    error = {rows[0].first, "the first row does not name contact columns (First Name, Last Name, Company ...)"};
    return false;
  }
  auto ansi = [&](const std::string& utf8) { return CrLf(ToAnsi(utf8, lostCharacters)); };
  for (size_t r = 1; r < rows.size(); ++r) {
    const int line = rows[r].first;
    const std::vector<std::string>& row = rows[r].second;
    ContactEntry c;
    c.line = line;
    PhoneFields& f = c.fields;
    auto get = [&](std::initializer_list<const char*> names) {
      const std::string* v = cols.Get(row, names);
      return v ? ansi(*v) : std::string();
    };
    f[kPhoneLast] = get({"last name", "family name", "surname"});
    f[kPhoneFirst] = get({"first name", "given name"});
    std::string middle = get({"middle name", "additional name"});
    if (!middle.empty()) f[kPhoneFirst] += (f[kPhoneFirst].empty() ? "" : " ") + middle;
    std::string suffix = get({"suffix", "name suffix"});
    if (!suffix.empty()) f[kPhoneLast] += (f[kPhoneLast].empty() ? "" : ", ") + suffix;
    f[kPhoneSalutation] = get({"title", "name prefix", "prefix"});
    f[kPhoneCompany] = get({"company", "organization 1 - name", "organization"});
    f[kPhoneTitle] = get({"job title", "organization 1 - title"});
    if (f[kPhoneLast].empty() && f[kPhoneFirst].empty() && f[kPhoneCompany].empty()) f[kPhoneLast] = get({"name", "display name"});
    std::string address = get({"address 1 - formatted"});
    if (address.empty()) address = ansi(AddressOf(cols, row, "address 1 - "));
    std::string business = ansi(AddressOf(cols, row, "business ")), home = ansi(AddressOf(cols, row, "home "));
    if (address.empty()) address = !business.empty() ? business : home;
    if (!business.empty() && !home.empty()) skipped.push_back({line, "an entry keeps one address; the home address is left out"});
    f[kPhoneAddress] = address;
    std::string categories = get({"categories", "group membership"});
    // Address books list categories with ";" or " ::: "; their own groups start with "*".
    std::vector<std::string> cats;
    for (size_t pos = 0; pos <= categories.size();) {
      size_t a = categories.find(';', pos), b = categories.find(" ::: ", pos);
      size_t end = std::min(a, b);
      std::string part = categories.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
      while (!part.empty() && part.front() == ' ') part.erase(0, 1);
      while (!part.empty() && part.back() == ' ') part.pop_back();
      if (!part.empty() && part[0] != '*') cats.push_back(part);
      if (end == std::string::npos) break;
      pos = end + (end == b ? 5 : 1);
    }
    if (!cats.empty()) f[kPhoneCategory] = cats[0];
    if (cats.size() > 1) skipped.push_back({line, "an entry keeps one category; the first is kept"});
    c.note = get({"notes", "note"});
    // Numbers: the numbered groups in their order, then the named columns.
    std::vector<std::pair<std::string, std::string>> numbers;  // label, number
    for (const char* group : {"phone", "e-mail", "website"}) {
      for (int k = 1; k <= 9; ++k) {
        std::string base = std::string(group) + " " + std::to_string(k) + " - ";
        const std::string* v = cols.Get(row, {(base + "value").c_str()});
        if (!v) continue;
        const std::string* type = cols.Get(row, {(base + "type").c_str()});
        std::string label = type ? ansi(*type) : std::string();
        if (!label.empty() && label[0] == '*') label.erase(0, 1);  // "* Home": the preferred one
        while (!label.empty() && label.front() == ' ') label.erase(0, 1);
        if (std::string(group) == "e-mail" && (label.empty() || Lower(label) == "other" || Lower(label) == "home" || Lower(label) == "work"))
          label = Text(kStrLabelEmail);
        if (std::string(group) == "website" && label.empty()) label = Text(kStrLabelWeb);
        for (size_t pos = 0;;) {  // " ::: " separates several values
          size_t end = v->find(" ::: ", pos);
          numbers.emplace_back(label, ansi(v->substr(pos, end == std::string::npos ? std::string::npos : end - pos)));
          if (end == std::string::npos) break;
          pos = end + 5;
        }
      }
    }
    for (const NamedPhone& p : kNamedPhones)
      if (const std::string* v = cols.Get(row, {p.column})) numbers.emplace_back(Text(p.label), ansi(*v));
    for (const char* email : {"e-mail address", "e-mail 2 address", "e-mail 3 address"})
      if (const std::string* v = cols.Get(row, {email})) numbers.emplace_back(Text(kStrLabelEmail), ansi(*v));
    if (const std::string* v = cols.Get(row, {"web page"})) numbers.emplace_back(Text(kStrLabelWeb), ansi(*v));
    for (size_t k = 0; k < numbers.size(); ++k) {
      if (k >= 4) {
        skipped.push_back({line, "an entry keeps four numbers; " + Utf8FromAnsi(numbers[k].second) + " is left out"});
        continue;
      }
      f[kPhoneLabel1 + k] = numbers[k].first;
      f[kPhoneNumber1 + k] = numbers[k].second;
    }
    out.push_back(std::move(c));
  }
  return true;
}

}  // namespace kv
