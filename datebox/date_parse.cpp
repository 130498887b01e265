#include "datebox/date_parse.h"

#include <cctype>
#include <vector>

#include "calendar/clock.h"
#include "calendar/date_format.h"
#include "calendar/dates.h"
#include "calendar/jewish.h"
#include "calendar/regional.h"

namespace kv {
namespace {

constexpr int kFirstGregorianYear = 1583;
constexpr int kLastGregorianYear = 9999;
constexpr size_t kMaxDigits = 9;  // longer numbers cannot be any place of a date

// Letters of single-byte text: ASCII letters and every byte above 0x7F (accented letters of
// Windows-1252 month names).
bool IsLetter(char c) {
  auto u = static_cast<unsigned char>(c);
  return std::isalpha(u) || u >= 0x80;
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// True when `word` is a prefix of `name`, ignoring case.
bool IsPrefixOf(std::string_view word, std::string_view name) {
  return !word.empty() && word.size() <= name.size() && EqualNoCase(word, name.substr(0, word.size()));
}

enum class Place { Day, Month, Year };

struct PictureShape {
  std::vector<Place> places;          // in the picture's order, each once
  std::vector<std::string> literals;  // the pieces between the places
};

PictureShape ReadPicture(std::string_view picture) {
  PictureShape shape;
  std::string literal;
  auto addPlace = [&](Place p) {
    for (Place q : shape.places)
      if (q == p) return;
    shape.places.push_back(p);
  };
  auto endLiteral = [&] {
    if (!literal.empty()) shape.literals.push_back(literal);
    literal.clear();
  };
  for (size_t i = 0; i < picture.size();) {
    char c = picture[i];
    if (c == '\'') {
      size_t close = picture.find('\'', i + 1);
      if (close == std::string_view::npos) close = picture.size();
      literal.append(picture.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    if (c == 'M' || c == 'd' || c == 'y') {
      size_t run = 1;
      while (i + run < picture.size() && picture[i + run] == c) ++run;
      endLiteral();
      if (c == 'M') addPlace(Place::Month);
      else if (c == 'y') addPlace(Place::Year);
      else if (run <= 2) addPlace(Place::Day);  // ddd and dddd are the weekday's name
      i += run;
      continue;
    }
    literal.push_back(c);
    ++i;
  }
  endLiteral();
  // A picture without some place still lets the user type it, after the others.
  for (Place p : {Place::Day, Place::Month, Place::Year}) addPlace(p);
  return shape;
}

// Blanks every occurrence of a literal piece, ignoring case; a piece that begins or ends with a
// letter only where it stands as a whole word, so that "de" never eats into a month's name.
void BlankLiteral(std::string& text, std::string_view piece) {
  bool blankOnly = true;
  for (char c : piece)
    if (c != ' ') blankOnly = false;
  if (blankOnly) return;
  for (size_t at = 0; at + piece.size() <= text.size();) {
    bool match = EqualNoCase(std::string_view(text).substr(at, piece.size()), piece);
    if (match && IsLetter(piece.front()) && at > 0 && IsLetter(text[at - 1])) match = false;
    size_t end = at + piece.size();
    if (match && IsLetter(piece.back()) && end < text.size() && IsLetter(text[end])) match = false;
    if (match) {
      for (size_t i = at; i < end; ++i) text[i] = ' ';
      at = end;
    } else {
      ++at;
    }
  }
}

struct Number {
  int value = 0;
  size_t digits = 0;
};

struct Pieces {
  std::vector<Number> numbers;
  int month = 0;     // from a name: Gregorian 1 ... 12, or the Jewish base month 1 ... 12
  int adarPart = 0;  // Jewish: 1 after "Adar I", 2 after "Adar II"
};

int MatchMonth(std::string_view word, bool jewish) {
  for (int m = 1; m <= 12; ++m) {
    std::string name = jewish ? JewishBaseMonthName(m) : Names().months[m];
    if (IsPrefixOf(word, name)) return m;
  }
  return 0;
}

bool MatchWeekday(std::string_view word) {
  for (const std::string& name : Names().weekdays)
    if (IsPrefixOf(word, name)) return true;
  return false;
}

bool IsOrdinalSuffix(std::string_view word) {
  for (const char* s : {"st", "nd", "rd", "th"})
    if (EqualNoCase(word, s)) return true;
  return false;
}

std::optional<Pieces> Split(const std::string& text, bool jewish) {
  Pieces out;
  bool weekday = false;
  std::vector<std::string_view> words;
  std::vector<bool> afterNumber;
  std::string_view all(text);
  for (size_t i = 0; i < all.size();) {
    if (IsDigit(all[i])) {
      size_t end = i;
      while (end < all.size() && IsDigit(all[end])) ++end;
      if (end - i > kMaxDigits) return std::nullopt;
      Number n;
      n.digits = end - i;
      for (size_t k = i; k < end; ++k) n.value = n.value * 10 + (all[k] - '0');
      out.numbers.push_back(n);
      if (out.numbers.size() > 3) return std::nullopt;
      i = end;
    } else if (IsLetter(all[i])) {
      size_t end = i;
      while (end < all.size() && IsLetter(all[end])) ++end;
      words.push_back(all.substr(i, end - i));
      afterNumber.push_back(i > 0 && IsDigit(all[i - 1]));
      i = end;
    } else {
      ++i;
    }
  }
  for (size_t w = 0; w < words.size(); ++w) {
    std::string_view word = words[w];
    if (afterNumber[w] && IsOrdinalSuffix(word)) continue;  // "5th"
    if (int m = MatchMonth(word, jewish)) {
      if (out.month) return std::nullopt;
      out.month = m;
      if (jewish && m == kAdar && w + 1 < words.size()) {
        if (EqualNoCase(words[w + 1], "I")) out.adarPart = 1, ++w;
        else if (EqualNoCase(words[w + 1], "II")) out.adarPart = 2, ++w;
      }
      continue;
    }
    if (MatchWeekday(word)) {
      if (weekday) return std::nullopt;
      weekday = true;
      continue;
    }
    return std::nullopt;  // a word that is neither
  }
  return out;
}

bool ValidGregorian(const TypedDate& d) {
  return d.year >= kFirstGregorianYear && d.year <= kLastGregorianYear && IsValidDate(d.month, d.day, d.year);
}

bool ValidJewish(const TypedDate& d) {
  if (d.year < kFirstJewishYear || d.year > kLastJewishYear || d.month < 1 || d.month > 13 || d.day < 1) return false;
  return d.day <= JewishMonthLength(d.month, d.year);
}

}  // namespace

DateParseContext CurrentDateParseContext(bool jewish) {
  DateParseContext c;
  c.shortPicture = Regional().shortDatePicture;
  c.longPicture = Regional().longDatePicture;
  c.jewish = jewish;
  DateStamp now = CurrentDateTime().stamp;
  if (jewish) {
    JewishDate j = GregorianToJewish(now.month, now.day, now.year);
    c.today = {j.year, j.month, j.day};
  } else {
    c.today = {now.year, now.month, now.day};
  }
  return c;
}

std::optional<TypedDate> ParseTypedDate(std::string_view typed, const DateParseContext& context) {
  std::string text(typed);
  bool letters = false;
  for (char c : text) letters = letters || IsLetter(c);
  PictureShape shape = ReadPicture(letters ? context.longPicture : context.shortPicture);
  for (const std::string& piece : shape.literals) BlankLiteral(text, piece);

  std::optional<Pieces> pieces = Split(text, context.jewish);
  if (!pieces || (pieces->numbers.empty() && !pieces->month)) return std::nullopt;

  TypedDate date = context.today;
  size_t next = 0;
  for (Place place : shape.places) {
    if (place == Place::Month && pieces->month) continue;
    if (next == pieces->numbers.size()) break;
    const Number& n = pieces->numbers[next++];
    switch (place) {
      case Place::Day: date.day = n.value; break;
      case Place::Month: date.month = n.value; break;
      case Place::Year:
        date.year = n.value;
        // A short year falls in today's century.
        if (n.digits <= 2) date.year += context.today.year / 100 * 100;
        break;
    }
  }
  if (next < pieces->numbers.size()) return std::nullopt;  // more numbers than places

  if (pieces->month) {
    date.month = pieces->month;
    if (context.jewish && pieces->month == kAdar && pieces->adarPart) {
      if (!IsJewishLeapYear(date.year)) return std::nullopt;  // no Adar I or II in a common year
      if (pieces->adarPart == 2) date.month = kAdarII;
    }
  }
  bool valid = context.jewish ? ValidJewish(date) : ValidGregorian(date);
  if (!valid) return std::nullopt;
  return date;
}

std::string DateBoxText(const TypedDate& date, bool jewish) {
  if (jewish) return FormatJewishLongDate(JewishDate{date.year, date.month, date.day});
  return FormatLongDate(date.month, date.day, date.year);
}

}  // namespace kv
