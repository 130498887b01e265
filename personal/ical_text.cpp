#include "personal/ical_text.h"

#include <algorithm>
#include <cctype>

namespace kv {
namespace {

constexpr size_t kMaxFileBytes = 50u << 20;
constexpr size_t kMaxDepth = 16;
constexpr size_t kFoldOctets = 75;

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// One unfolded line with the number of its first physical line.
struct Unfolded {
  std::string text;
  int line = 0;
};

std::vector<Unfolded> Unfold(std::string_view text) {
  std::vector<Unfolded> lines;
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  int number = 0;
  size_t pos = 0;
  bool softBreak = false;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    std::string_view physical = text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
    pos = end == std::string_view::npos ? text.size() : end + 1;
    ++number;
    if (!physical.empty() && physical.back() == '\r') physical.remove_suffix(1);
    // Old contact files break quoted-printable values with a "=" at the end of the line.
    if (!lines.empty() && softBreak) {
      lines.back().text.pop_back();
      lines.back().text.append(physical);
      softBreak = !physical.empty() && physical.back() == '=';
      continue;
    }
    if (!physical.empty() && (physical[0] == ' ' || physical[0] == '\t') && !lines.empty()) {
      lines.back().text.append(physical.substr(1));  // a continuation: the one blank goes
      continue;
    }
    if (physical.find_first_not_of(" \t") == std::string_view::npos) continue;  // blank line
    lines.push_back({std::string(physical), number});
    size_t colon = physical.find(':');
    std::string head = Upper(physical.substr(0, colon == std::string_view::npos ? 0 : colon));
    softBreak = head.find("QUOTED-PRINTABLE") != std::string::npos && physical.back() == '=';
  }
  return lines;
}

// name *(";" param) ":" value. False when there is no colon outside quotes.
bool SplitProperty(const Unfolded& u, ContentProperty& p) {
  const std::string& s = u.text;
  size_t i = 0;
  while (i < s.size() && s[i] != ';' && s[i] != ':') ++i;
  if (i == 0 || i == s.size()) return false;
  p.name = Upper(s.substr(0, i));
  p.line = u.line;
  while (s[i] == ';') {
    ++i;
    size_t eq = i;
    while (eq < s.size() && s[eq] != '=' && s[eq] != ';' && s[eq] != ':') ++eq;
    if (eq == s.size()) return false;
    std::string name = Upper(s.substr(i, eq - i));
    std::string value;
    if (s[eq] != '=') {  // a bare parameter (vCard 2.1 "TEL;WORK:")
      p.params.emplace_back("TYPE", name);
      i = eq;
      continue;
    }
    i = eq + 1;
    for (;;) {
      if (i < s.size() && s[i] == '"') {
        size_t close = s.find('"', i + 1);
        if (close == std::string::npos) return false;
        value.append(s, i + 1, close - i - 1);
        i = close + 1;
      } else {
        size_t stop = i;
        while (stop < s.size() && s[stop] != ',' && s[stop] != ';' && s[stop] != ':') ++stop;
        value.append(s, i, stop - i);
        i = stop;
      }
      if (i < s.size() && s[i] == ',') {
        value += ',';
        ++i;
        continue;
      }
      break;
    }
    if (i >= s.size()) return false;
    p.params.emplace_back(std::move(name), std::move(value));
  }
  if (i >= s.size() || s[i] != ':') return false;
  p.value = s.substr(i + 1);
  return true;
}

}  // namespace

std::string ContentProperty::Param(std::string_view paramName) const {
  for (const auto& [n, v] : params)
    if (n == paramName) return v;
  return {};
}

bool ContentProperty::HasParam(std::string_view paramName) const {
  return std::any_of(params.begin(), params.end(), [&](const auto& p) { return p.first == paramName; });
}

const ContentProperty* ContentComponent::Find(std::string_view propertyName) const {
  for (const ContentProperty& p : properties)
    if (p.name == propertyName) return &p;
  return nullptr;
}

std::vector<const ContentProperty*> ContentComponent::FindAll(std::string_view propertyName) const {
  std::vector<const ContentProperty*> out;
  for (const ContentProperty& p : properties)
    if (p.name == propertyName) out.push_back(&p);
  return out;
}

bool ParseContentLines(std::string_view text, std::vector<ContentComponent>& out, ContentError& error) {
  out.clear();
  if (text.size() > kMaxFileBytes) {
    error = {0, "the file is larger than 50 MB"};
    return false;
  }
  std::vector<ContentComponent> stack;
  for (const Unfolded& u : Unfold(text)) {
    ContentProperty p;
    if (!SplitProperty(u, p)) {
      error = {u.line, "not a property line (NAME:value)"};
      return false;
    }
    if (p.name == "BEGIN") {
      if (stack.size() >= kMaxDepth) {
        error = {u.line, "components nested too deeply"};
        return false;
      }
      std::string name = Upper(p.value);
      while (!name.empty() && name.back() == ' ') name.pop_back();
      if (name.empty()) {
        error = {u.line, "BEGIN without a component name"};
        return false;
      }
      stack.push_back(ContentComponent{std::move(name), u.line, {}, {}});
    } else if (p.name == "END") {
      std::string name = Upper(p.value);
      while (!name.empty() && name.back() == ' ') name.pop_back();
      if (stack.empty() || stack.back().name != name) {
        error = {u.line, stack.empty() ? "END:" + name + " without BEGIN"
                                       : "END:" + name + " where END:" + stack.back().name + " was expected"};
        return false;
      }
      ContentComponent done = std::move(stack.back());
      stack.pop_back();
      (stack.empty() ? out : stack.back().children).push_back(std::move(done));
    } else {
      if (stack.empty()) {
        error = {u.line, "property " + p.name + " outside BEGIN ... END"};
        return false;
      }
      stack.back().properties.push_back(std::move(p));
    }
  }
  if (!stack.empty()) {
    error = {stack.back().line, "BEGIN:" + stack.back().name + " is never ended"};
    return false;
  }
  if (out.empty()) {
    error = {1, "no BEGIN line: not a calendar or contact file"};
    return false;
  }
  return true;
}

std::string UnescapeText(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '\\' && i + 1 < value.size()) {
      char n = value[i + 1];
      if (n == 'n' || n == 'N') {
        out += '\n';
        ++i;
        continue;
      }
      if (n == '\\' || n == ';' || n == ',' || n == ':' || n == '"') {
        out += n;
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

std::string EscapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    switch (c) {
      case '\\': out += "\\\\"; break;
      case ';': out += "\\;"; break;
      case ',': out += "\\,"; break;
      case '\r':
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += "\\n";
        break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

std::string DecodeQuotedPrintable(std::string_view value) {
  std::string out;
  auto hex = [](char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
  };
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '=' && i + 2 < value.size() && hex(value[i + 1]) >= 0 && hex(value[i + 2]) >= 0) {
      out += static_cast<char>(hex(value[i + 1]) * 16 + hex(value[i + 2]));
      i += 2;
    } else {
      out += value[i];
    }
  }
  return out;
}

std::vector<std::string> SplitEscaped(std::string_view value, char separator) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      parts.back() += value[i];
      parts.back() += value[++i];
    } else if (value[i] == separator) {
      parts.emplace_back();
    } else {
      parts.back() += value[i];
    }
  }
  return parts;
}

void ContentWriter::Property(std::string_view name, std::string_view params, std::string_view value) {
  std::string line;
  line.reserve(name.size() + params.size() + value.size() + 1);
  line.append(name).append(params).append(":").append(value);
  Line(line);
}

void ContentWriter::Line(std::string_view line) {
  size_t limit = kFoldOctets;  // the first line holds 75 octets, each continuation 74 after its blank
  while (line.size() > limit) {
    size_t cut = limit;
    // Never between the bytes of one UTF-8 character.
    while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out_.append(line.substr(0, cut)).append("\r\n ");
    line.remove_prefix(cut);
    limit = kFoldOctets - 1;
  }
  out_.append(line).append("\r\n");
}

}  // namespace kv
