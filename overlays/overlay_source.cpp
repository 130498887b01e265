#include "overlays/overlay_source.h"

#include "base/text_encoding.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

namespace kv {
namespace {

struct KindName {
  int kind;
  const char* name;
};
constexpr KindName kKindNames[] = {
    {1, "once"},           {2, "weekly"},
    {3, "every-n-days"},   {4, "monthly"},
    {5, "monthly-nth-weekday"}, {6, "annual"},
    {7, "nth-weekday"},    {8, "floating"},
    {9, "birthday"},       {10, "anniversary"},
    {11, "every-day"},     {12, "easter"},
    {13, "every-n-months"}, {14, "every-n-years"},
    {25, "monthly-last-weekday"}, {26, "monthly-last-day"},
    {27, "last-weekday"},  {60, "jewish-date"},
    {61, "jewish-period"}, {62, "jewish-fast"},
    {63, "yahrzeit"},      {64, "jewish-birthday"},
    {65, "rosh-chodesh"},  {98, "daylight-begins"},
    {99, "standard-begins"},
};

constexpr const char* kWeekdays[7] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
constexpr const char* kWeekendRules[4] = {"none", "friday", "monday", "nearest"};
constexpr const char* kPatterns[8] = {"", "solid", "horizontal", "vertical", "diagonal1", "diagonal2", "cross", "diagonalcross"};

bool IsWeekdayKind(int k) { return k == 2 || k == 5 || k == 7 || k == 8 || k == 25 || k == 27; }
bool IsPeriodicKind(int k) { return k == 3 || k == 13 || k == 14; }

// ---- Windows-1252 and UTF-8 ---------------------------------------------------------------

std::string Quote(std::string_view ansi) {
  std::string out = "\"";
  for (char ch : ansi) {
    auto c = static_cast<unsigned char>(ch);
    if (c == '"') out += "\\\"";
    else if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0 && !UnicodeOfAnsi(c))) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else if (c >= 0x80) {
      AppendUtf8(out, UnicodeOfAnsi(c));
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// ---- reading ------------------------------------------------------------------------------

struct Token {
  std::string key;    // empty for a bare quoted text
  std::string value;  // for quoted values: already unescaped Windows-1252
  bool hasValue = false;
  bool quoted = false;
};

bool Unquote(std::string_view s, size_t& i, std::string& out, std::string& error) {
  ++i;  // opening quote
  while (i < s.size()) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c == '"') {
      ++i;
      return true;
    }
    if (c == '\\') {
      if (i + 1 >= s.size()) break;
      char e = s[i + 1];
      i += 2;
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
          unsigned v = 0;
          auto [p, ec] = std::from_chars(s.data() + i, s.data() + std::min(s.size(), i + 2), v, 16);
          if (ec != std::errc() || p != s.data() + i + 2 || v == 0) {
            error = "bad \\x escape (two hex digits, not 00)";
            return false;
          }
          out += static_cast<char>(v);
          i += 2;
          break;
        }
        default: error = std::string("unknown escape \\") + e; return false;
      }
      continue;
    }
    uint32_t cp = 0;
    if (!DecodeUtf8(s, i, cp)) {
      error = "text is not UTF-8";
      return false;
    }
    int ansi = AnsiOfUnicode(cp);
    if (ansi < 0) {
      error = "a character of the text has no place in Windows-1252";
      return false;
    }
    out += static_cast<char>(ansi);
  }
  if (error.empty()) error = "text without its closing quote";
  return false;
}

bool Tokenize(std::string_view s, std::vector<Token>& out, std::string& error) {
  size_t i = 0;
  while (i < s.size()) {
    if (s[i] == ' ' || s[i] == '\t' || s[i] == '\r') {
      ++i;
      continue;
    }
    Token t;
    if (s[i] == '"') {
      t.quoted = true;
      if (!Unquote(s, i, t.value, error)) return false;
      out.push_back(std::move(t));
      continue;
    }
    size_t start = i;
    while (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != '\r' && s[i] != '=') ++i;
    t.key = std::string(s.substr(start, i - start));
    if (i < s.size() && s[i] == '=') {
      ++i;
      t.hasValue = true;
      if (i < s.size() && s[i] == '"') {
        t.quoted = true;
        if (!Unquote(s, i, t.value, error)) return false;
      } else {
        size_t vs = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != '\r') ++i;
        t.value = std::string(s.substr(vs, i - vs));
      }
    }
    out.push_back(std::move(t));
  }
  return true;
}

std::optional<long long> Number(std::string_view v, long long min, long long max) {
  long long value = 0;
  const char* first = v.data();
  const char* last = v.data() + v.size();
  int base = 10;
  bool negative = false;
  if (first != last && *first == '-') negative = true, ++first;
  if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) first += 2, base = 16;
  auto [p, ec] = std::from_chars(first, last, value, base);
  if (v.empty() || ec != std::errc() || p != last || first == last) return std::nullopt;
  if (negative) value = -value;
  if (value < min || value > max) return std::nullopt;
  return value;
}

std::optional<uint32_t> Colour(std::string_view v) {
  if (v.size() != 7 || v[0] != '#') return std::nullopt;
  uint32_t rgb = 0;
  auto [p, ec] = std::from_chars(v.data() + 1, v.data() + 7, rgb, 16);
  if (ec != std::errc() || p != v.data() + 7) return std::nullopt;
  // #RRGGBB to the Windows order: red in the low byte.
  return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

template <size_t N>
bool Hex(std::string_view v, std::array<uint8_t, N>& out) {
  if (v.size() != 2 * N) return false;
  for (size_t i = 0; i < N; ++i) {
    unsigned b = 0;
    auto [p, ec] = std::from_chars(v.data() + 2 * i, v.data() + 2 * i + 2, b, 16);
    if (ec != std::errc() || p != v.data() + 2 * i + 2) return false;
    out[i] = static_cast<uint8_t>(b);
  }
  return true;
}

// Y/M/D or M/D parts.
bool Parts(std::string_view v, std::vector<long long>& parts) {
  parts.clear();
  size_t start = 0;
  for (;;) {
    size_t slash = v.find('/', start);
    std::optional<long long> n = Number(v.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start), -32768, 65535);
    if (!n) return false;
    parts.push_back(*n);
    if (slash == std::string_view::npos) return true;
    start = slash + 1;
  }
}

int IndexOf(std::string_view v, const char* const* names, int count) {
  for (int i = 0; i < count; ++i)
    if (v == names[i]) return i;
  return -1;
}

struct AccentBuilder {
  Accent accent;
  uint16_t implied = 0;
  bool explicitFlags = false;
  void Finish() {
    if (!explicitFlags) accent.flags = implied;
  }
};

// An accent key; 1 taken, 0 not an accent key, -1 a bad value.
int AccentKey(const Token& t, AccentBuilder& a) {
  const std::string& k = t.key;
  const std::string& v = t.value;
  if (k == "nogifts") return t.hasValue ? -1 : (a.implied |= kAccentNoGifts, 1);
  if (!t.hasValue) return 0;
  if (k == "highlight") {
    auto n = Number(v, 0, 65535);
    return n ? (a.accent.highlight = static_cast<uint16_t>(*n), 1) : -1;
  }
  if (k == "icon") {
    auto n = Number(v, 0, 65535);
    return n ? (a.accent.icon = static_cast<uint16_t>(*n), a.implied |= kAccentIcon, 1) : -1;
  }
  if (k == "pattern") {
    int named = IndexOf(v, kPatterns + 1, 7);
    auto n = named >= 0 ? std::optional<long long>(named + 1) : Number(v, 0, 65535);
    return n ? (a.accent.pattern = static_cast<uint16_t>(*n), a.implied |= kAccentPattern, 1) : -1;
  }
  if (k == "pattern_colour" || k == "text_colour") {
    auto c = Colour(v);
    if (!c) return -1;
    if (k == "pattern_colour") a.accent.patternColour = *c;
    else a.accent.textColour = *c, a.implied |= kAccentTextColour;
    return 1;
  }
  if (k == "accent_flags") {
    auto n = Number(v, 0, 65535);
    return n ? (a.accent.flags = static_cast<uint16_t>(*n), a.explicitFlags = true, 1) : -1;
  }
  if (k == "accent_reserved") {
    auto n = Number(v, 0, 4294967295LL);
    return n ? (a.accent.reserved = static_cast<uint32_t>(*n), 1) : -1;
  }
  return 0;
}

bool HeaderLine(const std::vector<Token>& tokens, OverlayHeader& h, std::string& error) {
  AccentBuilder a;
  for (size_t i = 1; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    int r = AccentKey(t, a);
    if (r == 1) continue;
    if (r == 0 && t.hasValue && t.key == "magic" && t.value.size() == 4) {
      std::memcpy(h.magic.data(), t.value.data(), 4);
      continue;
    }
    if (r == 0 && t.hasValue && t.key == "format") {
      if (auto n = Number(t.value, 0, 4294967295LL)) {
        h.format = static_cast<uint32_t>(*n);
        continue;
      }
    }
    if (r == 0 && t.hasValue && t.key == "reserved" && Hex(t.value, h.reserved)) continue;
    error = "overlay: cannot use \"" + t.key + (t.hasValue ? "=" + t.value : "") + "\"";
    return false;
  }
  a.Finish();
  h.accent = a.accent;
  return true;
}

bool EventLine(const std::vector<Token>& tokens, OverlayEvent& e, std::string& error) {
  AccentBuilder a;
  size_t i = 1;
  if (i < tokens.size() && tokens[i].quoted && tokens[i].key.empty()) e.description = tokens[i++].value;
  if (e.description.size() > kDescriptionSize - 1) {
    error = "description longer than 119 characters";
    return false;
  }
  std::vector<long long> parts;
  for (; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    const std::string& k = t.key;
    const std::string& v = t.value;
    int r = AccentKey(t, a);
    if (r == 1) continue;
    bool ok = r == 0;
    auto num = [&](long long min, long long max) -> std::optional<long long> { return Number(v, min, max); };
    if (ok && !t.hasValue) {
      if (k == "second_adar") e.param |= 1;
      else if (k == "leap_year") e.param |= 2;
      else if (k == "after_sunset") e.param |= 4;
      else ok = false;
    } else if (ok && k == "kind") {
      std::optional<long long> n;
      for (const KindName& kn : kKindNames)
        if (v == kn.name) n = kn.kind;
      if (!n) n = num(0, 65535);
      ok = n.has_value();
      if (ok) e.kind = static_cast<uint16_t>(*n);
    } else if (ok && (k == "year" || k == "offset" || k == "weight" || k == "easter")) {
      auto n = num(-32768, 32767);
      ok = n.has_value();
      if (ok) (k == "year" ? e.year : k == "offset" ? e.offset : k == "weight" ? e.weight : e.endYear) = static_cast<int16_t>(*n);
    } else if (ok && (k == "month" || k == "day" || k == "param" || k == "sametime" || k == "zone" || k == "flags" || k == "days")) {
      auto n = num(0, 65535);
      ok = n.has_value();
      if (ok) {
        auto value = static_cast<uint16_t>(*n);
        if (k == "month") e.month = value;
        else if (k == "day") e.day = value;
        else if (k == "param" || k == "days") e.param = value;
        else if (k == "sametime") e.sameTime = value;
        else if (k == "zone") e.zone = value;
        else e.flags = value;
      }
    } else if (ok && k == "weekday") {
      int w = IndexOf(v, kWeekdays, 7);
      ok = w >= 0;
      if (ok) e.param = static_cast<uint16_t>(w);
    } else if (ok && k == "n") {
      auto n = num(0, 65535 - 6);
      ok = n.has_value();
      if (ok) e.param = static_cast<uint16_t>(*n + 6);
    } else if (ok && k == "anniversary") {
      ok = v == "wedding" || v == "other";
      if (ok) e.param = v == "wedding" ? 0 : 1;
    } else if (ok && k == "range_end") {
      ok = Parts(v, parts) && parts.size() == 3 && parts[0] >= -32768 && parts[0] <= 32767 && parts[1] >= 0 && parts[2] >= 0;
      if (ok) {
        e.endYear = static_cast<int16_t>(parts[0]);
        e.endMonth = static_cast<uint16_t>(parts[1]);
        e.endDay = static_cast<uint16_t>(parts[2]);
      }
    } else if (ok && (k == "alt1" || k == "alt2")) {
      ok = Parts(v, parts) && parts.size() == 2 && parts[0] >= 0 && parts[0] <= 15 && parts[1] >= 0 && parts[1] <= 255;
      if (ok) {
        int shift = k == "alt1" ? 0 : 1;
        auto days = static_cast<uint16_t>(e.endYear);
        days = static_cast<uint16_t>((days & (shift ? 0x00FF : 0xFF00)) | (parts[1] << (8 * shift)));
        e.endYear = static_cast<int16_t>(days);
        e.endMonth = static_cast<uint16_t>((e.endMonth & (shift ? 0xFF0F : 0xFFF0)) | (parts[0] << (4 * shift)));
      }
    } else if (ok && k == "weekend") {
      int w = IndexOf(v, kWeekendRules, 4);
      if (w < 0) {
        auto n = num(0, 3);
        w = n ? static_cast<int>(*n) : -1;
      }
      ok = w >= 0;
      if (ok) e.flags = static_cast<uint16_t>((e.flags & ~kWeekendRuleMask) | w);
    } else if (ok && (k == "above" || k == "below")) {
      auto n = num(0, 32767);
      ok = n.has_value();
      if (ok) {
        e.flags = static_cast<uint16_t>((e.flags & ~(kFlagAboveTimed | kFlagBelowTimed | kFlagTimed)) |
                                        (k == "above" ? kFlagAboveTimed : kFlagBelowTimed));
        e.weight = static_cast<int16_t>(k == "above" ? kAboveWeightBase - *n : kBelowWeightBase - *n);
      }
    } else if (ok && k == "time") {
      int h = 0, m = 0;
      char extra = 0;
      ok = std::sscanf(v.c_str(), "%d:%d%c", &h, &m, &extra) == 2 && h >= 0 && h <= 23 && m >= 0 && m <= 59;
      if (ok) {
        e.flags = static_cast<uint16_t>((e.flags & ~(kFlagAboveTimed | kFlagBelowTimed)) | kFlagTimed);
        e.weight = static_cast<int16_t>(TimedListingWeight(h * 60 + m));
      }
    } else if (ok && k == "reserved") {
      ok = Hex(v, e.reserved);
    } else {
      ok = false;
    }
    if (!ok) {
      error = "event: cannot use \"" + k + (t.hasValue ? "=" + v : "") + "\"";
      return false;
    }
  }
  a.Finish();
  e.accent = a.accent;
  return true;
}

// ---- writing ------------------------------------------------------------------------------

std::string ColourText(uint32_t windows) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", windows & 0xFF, (windows >> 8) & 0xFF, (windows >> 16) & 0xFF);
  return buf;
}

template <size_t N>
std::string HexText(const std::array<uint8_t, N>& bytes) {
  std::string out;
  char buf[4];
  for (uint8_t b : bytes) std::snprintf(buf, sizeof buf, "%02X", b), out += buf;
  return out;
}

template <size_t N>
bool AllZero(const std::array<uint8_t, N>& bytes) {
  for (uint8_t b : bytes)
    if (b) return false;
  return true;
}

std::string AccentWords(const Accent& a) {
  std::string out;
  uint16_t implied = 0;
  auto add = [&](const std::string& word) { out += " " + word; };
  if (a.highlight) add("highlight=" + std::to_string(a.highlight));
  if ((a.flags & kAccentIcon) || a.icon) add("icon=" + std::to_string(a.icon)), implied |= kAccentIcon;
  if ((a.flags & kAccentPattern) || a.pattern) {
    add("pattern=" + (a.pattern >= 1 && a.pattern <= 7 ? std::string(kPatterns[a.pattern]) : std::to_string(a.pattern)));
    implied |= kAccentPattern;
  }
  if (a.patternColour) add("pattern_colour=" + ColourText(a.patternColour));
  if ((a.flags & kAccentTextColour) || a.textColour) add("text_colour=" + ColourText(a.textColour)), implied |= kAccentTextColour;
  if (a.flags & kAccentNoGifts) add("nogifts"), implied |= kAccentNoGifts;
  if (implied != a.flags) add("accent_flags=" + std::to_string(a.flags));
  if (a.reserved) add("accent_reserved=" + std::to_string(a.reserved));
  return out;
}

std::string FriendlyEvent(const OverlayEvent& e) {
  std::string out = "event " + Quote(e.description) + "\n ";
  auto add = [&](const std::string& word) { out += " " + word; };
  const char* name = OverlayKindName(e.kind);
  add(std::string("kind=") + (name ? name : std::to_string(e.kind).c_str()));
  if (e.year) add("year=" + std::to_string(e.year));
  if (e.month) add("month=" + std::to_string(e.month));
  if (e.day) add("day=" + std::to_string(e.day));
  int k = e.kind;
  if (IsWeekdayKind(k) && e.param <= 6) add(std::string("weekday=") + kWeekdays[e.param]);
  else if (IsPeriodicKind(k) && e.param >= 6) add("n=" + std::to_string(e.param - 6));
  else if (k == kKindJewishPeriod) add("days=" + std::to_string(e.param));
  else if (k == kKindAnniversary && e.param <= 1) add(e.param == 0 ? "anniversary=wedding" : "anniversary=other");
  else if ((k == kKindYahrzeit || k == kKindJewishBirthday) && e.param <= 7) {
    if (e.param & 1) add("second_adar");
    if (e.param & 2) add("leap_year");
    if (e.param & 4) add("after_sunset");
  } else if (e.param) add("param=" + std::to_string(e.param));
  if (k == kKindEaster) {
    add("easter=" + std::to_string(e.endYear));
  } else if (k == kKindYahrzeit) {
    auto days = static_cast<uint16_t>(e.endYear);
    if ((e.endMonth & 0x0F) || (days & 0xFF)) add("alt1=" + std::to_string(e.endMonth & 0x0F) + "/" + std::to_string(days & 0xFF));
    if ((e.endMonth & 0xF0) || (days >> 8)) add("alt2=" + std::to_string((e.endMonth >> 4) & 0x0F) + "/" + std::to_string(days >> 8));
  } else if (e.endYear || e.endMonth || e.endDay) {
    add("range_end=" + std::to_string(e.endYear) + "/" + std::to_string(e.endMonth) + "/" + std::to_string(e.endDay));
  }
  if (e.offset) add("offset=" + std::to_string(e.offset));
  if (e.flags & kWeekendRuleMask) add(std::string("weekend=") + kWeekendRules[e.flags & kWeekendRuleMask]);
  if (e.flags & kFlagTimed) {
    int minute = EventStartMinute(e);
    char buf[32];
    std::snprintf(buf, sizeof buf, "time=%02d:%02d", minute / 60, minute % 60);
    add(buf);
  } else if (e.flags & kFlagAboveTimed) {
    add("above=" + std::to_string(kAboveWeightBase - e.weight));
  } else if (e.flags & kFlagBelowTimed) {
    add("below=" + std::to_string(kBelowWeightBase - e.weight));
  } else if (e.weight) {
    add("weight=" + std::to_string(e.weight));
  }
  if (e.sameTime) add("sametime=" + std::to_string(e.sameTime));
  if (e.zone) add("zone=" + std::to_string(e.zone));
  if (!AllZero(e.reserved)) add("reserved=" + HexText(e.reserved));
  return out + AccentWords(e.accent) + "\n";
}

// Every field as it stands, for an event the friendly words cannot give back exactly.
std::string RawEvent(const OverlayEvent& e) {
  std::string out = "event " + Quote(e.description) + "\n ";
  auto add = [&](const std::string& word) { out += " " + word; };
  add("kind=" + std::to_string(e.kind));
  add("year=" + std::to_string(e.year));
  add("month=" + std::to_string(e.month));
  add("day=" + std::to_string(e.day));
  add("param=" + std::to_string(e.param));
  add("range_end=" + std::to_string(e.endYear) + "/" + std::to_string(e.endMonth) + "/" + std::to_string(e.endDay));
  add("offset=" + std::to_string(e.offset));
  add("flags=" + std::to_string(e.flags));
  add("weight=" + std::to_string(e.weight));
  add("sametime=" + std::to_string(e.sameTime));
  add("zone=" + std::to_string(e.zone));
  if (!AllZero(e.reserved)) add("reserved=" + HexText(e.reserved));
  return out + AccentWords(e.accent) + "\n";
}

}  // namespace

const char* OverlayKindName(int kind) {
  for (const KindName& k : kKindNames)
    if (k.kind == kind) return k.name;
  return nullptr;
}

bool CompileOverlaySource(std::string_view text, OverlayImage& image, std::string& error) {
  image = OverlayImage{};
  // Joins continuation lines to their event, keeping the first line's number for messages.
  struct Statement {
    std::string text;
    int line;
  };
  std::vector<Statement> statements;
  int lineNo = 0;
  for (size_t pos = 0; pos <= text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos || line[first] == '#') {
      if (end == text.size()) break;
      continue;
    }
    if (first > 0) {
      if (statements.empty()) {
        error = "line " + std::to_string(lineNo) + ": continuation without an event";
        return false;
      }
      statements.back().text += " ";
      statements.back().text += line;
    } else {
      statements.push_back(Statement{std::string(line), lineNo});
    }
    if (end == text.size()) break;
  }
  bool sawHeader = false;
  for (const Statement& st : statements) {
    std::vector<Token> tokens;
    std::string why;
    bool ok = Tokenize(st.text, tokens, why);
    if (ok && !tokens.empty() && tokens[0].key == "overlay" && !tokens[0].hasValue) {
      if (sawHeader || !image.events.empty()) {
        why = "the overlay line must come once, before the events";
        ok = false;
      } else {
        ok = HeaderLine(tokens, image.header, why);
        sawHeader = true;
      }
    } else if (ok && !tokens.empty() && tokens[0].key == "event" && !tokens[0].hasValue) {
      OverlayEvent e;
      e.kind = kKindOnce;
      ok = EventLine(tokens, e, why);
      if (ok) image.events.push_back(std::move(e));
    } else if (ok) {
      why = "a line must start with \"overlay\" or \"event\"";
      ok = false;
    }
    if (!ok) {
      error = "line " + std::to_string(st.line) + ": " + why;
      return false;
    }
  }
  image.header.count = static_cast<uint32_t>(image.events.size());
  return true;
}

std::string DecompileOverlay(const OverlayImage& image, std::string_view title) {
  std::string out;
  if (!title.empty()) out += "# " + std::string(title) + "\n";
  const OverlayHeader& h = image.header;
  out += "overlay";
  if (std::memcmp(h.magic.data(), kOverlayMagic, 4) != 0) out += " magic=" + std::string(h.magic.data(), 4);
  if (h.format != kOverlayFormat) out += " format=" + std::to_string(h.format);
  if (!AllZero(h.reserved)) out += " reserved=" + HexText(h.reserved);
  out += AccentWords(h.accent) + "\n";
  for (const OverlayEvent& e : image.events) {
    std::string friendly = FriendlyEvent(e);
    OverlayImage check;
    std::string error;
    bool same = CompileOverlaySource(friendly, check, error) && check.events.size() == 1 && check.events[0] == e;
    out += same ? friendly : RawEvent(e);
  }
  return out;
}

}  // namespace kv
