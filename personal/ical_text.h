// The content-line syntax that iCalendar and vCard files share: folded lines, properties with
// parameters, BEGIN/END components, and the escaping of text values. Reading is strict about
// structure (every problem carries the line it was found on) and lenient about the rest: CR LF
// or LF line ends, a byte-order mark, blank lines, lower-case names.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv {

struct ContentProperty {
  std::string name;                                          // upper case
  std::vector<std::pair<std::string, std::string>> params;   // names upper case, values unquoted
  std::string value;                                         // raw (still escaped), UTF-8
  int line = 0;                                              // first physical line of the property

  // The first value of a parameter, or empty.
  std::string Param(std::string_view paramName) const;
  bool HasParam(std::string_view paramName) const;
};

struct ContentComponent {
  std::string name;  // upper case: VCALENDAR, VEVENT, VCARD ...
  int line = 0;      // the BEGIN line
  std::vector<ContentProperty> properties;
  std::vector<ContentComponent> children;

  // The first property of that name, or nullptr.
  const ContentProperty* Find(std::string_view propertyName) const;
  std::vector<const ContentProperty*> FindAll(std::string_view propertyName) const;
};

struct ContentError {
  int line = 0;
  std::string why;
};

// Reads every top-level component of a file. False with the first structural fault: a line
// without a colon, an END that does not match its BEGIN, a component left open, a property
// outside any component. Nesting deeper than 16 and files of more than 50 MB are refused too,
// so hostile input cannot exhaust the stack or the memory.
bool ParseContentLines(std::string_view text, std::vector<ContentComponent>& out, ContentError& error);

// Text values: "\\", "\;", "\," and "\n" (or "\N") unescaped; a backslash before anything else
// is kept as it is.
std::string UnescapeText(std::string_view value);
std::string EscapeText(std::string_view text);
// "=C3=A9" → the byte values (vCard 2.1's ENCODING=QUOTED-PRINTABLE); anything else unchanged.
std::string DecodeQuotedPrintable(std::string_view value);
// Splits a structured or list value at unescaped `separator`s (each part still escaped).
std::vector<std::string> SplitEscaped(std::string_view value, char separator);

// Writes content lines: CR LF ends, lines folded before 75 octets without splitting a UTF-8
// sequence.
class ContentWriter {
 public:
  void Begin(std::string_view component) { Line("BEGIN:" + std::string(component)); }
  void End(std::string_view component) { Line("END:" + std::string(component)); }
  // name, parameters already formatted (";TZID=..." or empty), value already escaped
  void Property(std::string_view name, std::string_view params, std::string_view value);
  void Text(std::string_view name, std::string_view text) { Property(name, "", EscapeText(text)); }
  void Line(std::string_view line);
  const std::string& Result() const { return out_; }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

}  // namespace kv
