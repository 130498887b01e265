// iCalendar exchange: the schedule, the to-do list and overlays written as an .ics file, and an
// .ics file read back into them. Recurrence rules are mapped onto the schedule's series and the
// overlay rule kinds where those can express them; what cannot be stored is listed with its line
// and the reason, never dropped silently. Both directions work on the database folder in use
// (SetDatabaseFolder) and ask their questions through the messages seam.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calendar/dates.h"
#include "personal/ical_text.h"

namespace kv {

struct ZoneRecord;

// ---- recurrence rules ---------------------------------------------------------------------------

struct RecurRule {
  enum Freq { kNone, kDaily, kWeekly, kMonthly, kYearly };
  Freq freq = kNone;
  int interval = 1;
  int count = 0;                          // 0: no COUNT
  std::optional<DateStamp> until;         // local date and time of the last possible start
  bool untilUtc = false;                  // UNTIL was given in UTC ("Z")
  bool untilDate = false;                 // UNTIL was a date without time
  std::vector<std::pair<int, int>> byDay; // (ordinal, weekday 0 = Sunday); ordinal 0 = every
  std::vector<int> byMonthDay;            // 1 ... 31 or -31 ... -1
  std::vector<int> byMonth;               // 1 ... 12
  std::vector<int> bySetPos;              // 1 ... 366 or -366 ... -1
  int weekStart = 1;                      // 1 = Monday
};

// False with the reason for a malformed rule or one with parts this program cannot follow
// (hourly and finer frequencies, BYYEARDAY, BYWEEKNO, BYHOUR ...).
bool ParseRecurRule(std::string_view text, RecurRule& rule, std::string& why);
std::string FormatRecurRule(const RecurRule& rule);

// Julian day numbers of the occurrences from the start day (always the first, as the standard
// counts it) up to `lastDay`, at most `limit` of them. COUNT counts from the start; UNTIL is
// compared by date (`untilDay`, the caller having moved a UTC UNTIL into local time).
std::vector<int32_t> ExpandRecurRule(const RecurRule& rule, int32_t startDay, int32_t lastDay, size_t limit,
                                     std::optional<int32_t> untilDay = std::nullopt);

// ---- time-zone names ----------------------------------------------------------------------------

// The pairs (tz name, Windows zone key) from the file written beside the zone file at build
// time ("KVTZNAMES.DAT": one "Europe/Berlin,W. Europe Standard Time" per line, the zone's own
// city first). False when the file cannot be read.
bool LoadZoneNames(const std::string& path);
void SetZoneNames(std::vector<std::pair<std::string, std::string>> names);
// The tz name of a zone key (its own city), or empty.
std::string TzNameOfZoneKey(std::string_view key);
// The zone of a TZID: a zone key, a tz name, or a zone's display text; 0 when none matches.
int ZoneIdOfTzid(std::string_view tzid);

// ---- export -------------------------------------------------------------------------------------

struct IcalExportOptions {
  bool schedule = true;
  DateStamp from{1, 1, 1};            // schedule items stored on these dates
  DateStamp to{9999, 12, 31};
  bool todo = false;                  // every to-do item
  std::string overlayPath;            // an overlay file, or empty
  int firstYear = 2000;               // its occurrences over these years
  int lastYear = 2040;
};

struct IcalExportResult {
  bool ok = false;
  std::string text;                   // the file, UTF-8 with CR LF lines
  int events = 0;                     // VEVENTs written for the schedule
  int series = 0;                     // of which with an RRULE
  int todos = 0;
  int overlayEvents = 0;              // VEVENTs of the overlay
  int overlayAsDates = 0;             // of which as lists of dates (no RRULE can say it)
  int overlayEmpty = 0;               // overlay events without a day in the years, left out
  std::string error;                  // what failed (the overlay could not be read)
};

IcalExportResult IcalExport(const IcalExportOptions& options);
// Writes the export to a file; false after the message "Unable to write %s." when it cannot.
bool IcalExportFile(const std::string& path, const IcalExportOptions& options, IcalExportResult& result);

// ---- import -------------------------------------------------------------------------------------

struct ExchangeSkip {
  int line = 0;
  std::string why;
};

struct IcalImportOptions {
  std::string overlayPath;            // all-day events go into this overlay (created when missing)
  std::optional<DateStamp> from;      // recurring items: occurrences within these dates; without
  std::optional<DateStamp> to;        // them from the first start through ten years later
  std::string caption;                // questions' caption; empty: "Kalvora"
};

struct IcalImportResult {
  bool ok = false;                    // false: refused or cancelled, nothing stored
  bool cancelled = false;
  int events = 0;                     // schedule items stored (each occurrence counts)
  int todos = 0;
  int overlayEvents = 0;
  int lostCharacters = 0;             // characters the single-byte text could not hold ('?')
  int shortened = 0;                  // titles cut to the field's length (the whole text kept as note)
  std::vector<ExchangeSkip> skipped;
  ContentError error;                 // the refusal: a malformed file or an exceeded limit
};

// Reads the text, plans every item, asks "Ready to import %d events and %d to-do items.
// Proceed?" and stores. A malformed file is refused with its line before anything is asked.
IcalImportResult IcalImport(std::string_view text, const IcalImportOptions& options);
IcalImportResult IcalImportFile(const std::string& path, const IcalImportOptions& options);

// The message reporting a finished import ("Imported %d events and %d to-do items ..."), for the
// front end and kvtool.
std::string IcalImportReport(const IcalImportResult& result);

// String-table numbers.
constexpr int kStrIcalReady = 25200;
constexpr int kStrIcalDone = 25201;
constexpr int kStrIcalMalformed = 25202;
constexpr int kStrIcalWriteFailed = 25203;
constexpr int kStrIcalTooMany = 25204;
constexpr int kStrIcalLost = 25205;
constexpr int kStrIcalSkipped = 25206;
constexpr int kStrIcalReadFailed = 25207;

}  // namespace kv
