// The comma-separated field syntax shared by the locations file and the zone file: a field
// holding a comma, a double quote or a line break is written between double quotes with each
// double quote inside doubled; other fields are written bare.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

struct FieldLine {
  std::vector<std::string> fields;  // always as many as maxima were given; missing ones empty
  size_t next = 0;                  // where the following line begins
};

// Reads the line that starts at `pos` of `data`, looking no further than `limit` bytes (the
// rest of the line beyond is skipped unread). Field i keeps at most maxima[i] − 1 characters;
// fields past the last maximum are ignored. Lines end at CR LF, CR or LF outside quotes.
FieldLine ReadFieldLine(std::string_view data, size_t pos, std::span<const int> maxima, size_t limit = std::string_view::npos);

// One field as it is written, and a whole line with its CR LF.
std::string QuoteField(std::string_view text);
std::string JoinFields(std::span<const std::string> fields);


// The leading integer of a field as the program's readers take it: optional blanks, an
// optional sign, digits; 0 when there are none.
int FieldInteger(std::string_view text);

}  // namespace kv
