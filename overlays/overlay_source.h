// The readable text form of an overlay file, from which the standard overlays are compiled and
// into which any overlay file decompiles. Decompiling a well-formed file and compiling the text
// gives back the file's bytes.
//
// The text is UTF-8. '#' starts a comment line. An "overlay" line holds the header; each
// "event" line starts an event with its description in double quotes, and lines that begin
// with blanks continue it. Values are key=value words:
//
//   overlay highlight=1 text_colour=#C00000
//   event "Independence Day" kind=annual month=7 day=4 weekend=nearest highlight=1
//   event "Thanksgiving" kind=nth-weekday month=11 day=22 weekday=thu
//     below=10
//
// Keys: kind (a name below or a number), year, month, day, weekday (sun ... sat), n (the N of
// kinds 3, 13, 14), days (the length of a Jewish period), anniversary=wedding|other,
// second_adar, leap_year, after_sunset (flags of Yahrzeit and Jewish birthdays), param (raw),
// range_end=Y/M/D, easter (days from Easter Sunday), alt1=M/D and alt2=M/D (Yahrzeit
// alternatives), offset, weekend=none|friday|monday|nearest, above=W, below=W, time=HH:MM,
// sametime, weight (raw listing weight), flags (raw), zone, reserved (20 hex digits); the
// accent: highlight, icon, pattern (1 ... 7 or solid, horizontal, vertical, diagonal1,
// diagonal2, cross, diagonalcross), pattern_colour=#RRGGBB, text_colour=#RRGGBB, nogifts,
// accent_flags (raw; otherwise implied by text_colour, pattern, icon and nogifts),
// accent_reserved. The header also takes magic (four characters) and format, and reserved
// (16 hex digits).
//
// In descriptions \" \\ \n \r \t and \xNN stand for those bytes; characters are turned into
// Windows-1252, which must hold them.
#pragma once

#include <string>
#include <string_view>

#include "overlays/overlay_file.h"

namespace kv {

// Compiles the text; false with a message naming the line when it is not understood.
bool CompileOverlaySource(std::string_view text, OverlayImage& image, std::string& error);

// The text of an image; `title` becomes a comment line at the top when given.
std::string DecompileOverlay(const OverlayImage& image, std::string_view title = {});

// The names of the rule kinds in the text form ("annual", "nth-weekday", ...).
const char* OverlayKindName(int kind);

}  // namespace kv
