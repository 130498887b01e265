// Printing, portable half: what a print job prints and how its pages are laid out. The job
// loop, the page geometry, the header and footer codes, the document names and status texts,
// and the renderers of every kind all draw through the portable canvas onto pages a
// PageTarget hands out, so the printer, a metafile, the test recorder and the SVG writer get
// the same pages. The printer dialogs, the device context and the status window live in the
// Windows front end, which fills PrintSources, implements PageTarget and calls RunPrintJob.
//
// Units: the page canvas is in its own units (twips on a printer, 1/1000 inch in a metafile,
// anything in tests) with y growing downwards; fonts are sized from the canvas's PixelsPerInch.
// Every rectangle and position below is in those units, relative to the canvas's origin (the
// top-left corner of the printable area).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/canvas.h"
#include "calendar/dates.h"
#include "calendar/regional.h"
#include "overlays/day_entry.h"
#include "print/page_layout.h"
#include "views/calendar_state.h"

namespace kv {

// The kind of printout, from the active window; also the index of its page layout record.
enum class PrintKind : uint8_t { Year = 0, Month = 1, Day = 3, Notes = 4, Schedule = 5, ToDo = 6, Phone = 7 };

// "year", "month", "day", "notes", "schedule", "todo", "phone"; and back (nullopt: unknown).
const char* PrintKindName(PrintKind kind);
std::optional<PrintKind> PrintKindFromName(std::string_view name);

// ---- header and footer --------------------------------------------------------------------

// The header or footer text with its codes replaced: "&D" the long date of `now`, "&d" its
// short date, "&p" the page number, "&t" the time of day of `now` (hour and minute fields);
// "&" before anything else stays "&" and the next character is read normally ("&&" prints
// "&&"; a trailing "&" stays).
std::string ExpandHeaderText(std::string_view text, int page, const DateStamp& now, const RegionalSettings& regional);

// ---- page geometry ------------------------------------------------------------------------

// The paper as the printer reports it, in twips: the whole sheet and the unprintable offsets
// at its left and top.
struct PaperMetrics {
  int width = 0;
  int height = 0;
  int offsetX = 0;
  int offsetY = 0;
};
// Paper metrics from device units (physical size and offsets) and the device's pixels per inch.
PaperMetrics PaperFromDevice(int physicalWidth, int physicalHeight, int offsetX, int offsetY, int dpiX, int dpiY);

// Where a page's content and its header or footer line go, relative to the printable area.
struct PageGeometry {
  Rect content;          // the area the renderers fill
  int headerLeft = 0;    // the header or footer is centred between the margins
  int headerRight = 0;
  int headerTop = 0;     // top of the header or footer line
  bool header = false;   // the line is a header (above the content) rather than a footer
};
// Content = paper less the margins less 5; the month kind keeps an 11 : 8 shape unless the
// layout says "size to margins"; the header's top sits `distance` below the paper's top edge,
// the footer's top `distance` above the paper's bottom edge.
PageGeometry ComputePageGeometry(const PaperMetrics& paper, const PageLayout& layout, PrintKind kind);

// ---- what is printed ----------------------------------------------------------------------

// The range asked for in the print dialog. Year kind: from.year ... to.year. Month kind:
// (from.month, from.year) ... (to.month, to.year) in the primary calendar (Jewish months when
// the options say Jewish dates are primary). Day, notes (general notes) and schedule kinds:
// the Gregorian days from ... to. Phonebook: the entries firstEntry ... lastEntry (0-based
// positions in PrintSources::phonebook).
struct PrintRange {
  DateStamp from;
  DateStamp to;
  int firstEntry = 0;
  int lastEntry = 0;
};

// 0 when the range can be printed; 1 when the "From" value is at fault, 2 when the "To" value
// is (a start after its end, a month or day the calendar does not have, an entry out of the
// list). Never lets an empty job or a backward loop through.
int CheckPrintRange(PrintKind kind, const PrintRange& range, bool jewish, size_t phoneEntries = 0);

// The dialog's range texts: "%d" (year), "%d/%d" (month/year), "%d/%d/%d" (month/day/year).
std::string PrintRangeText(PrintKind kind, const DateStamp& date);
// Reads such a text back; nullopt for an unreadable one (day kinds: not a calendar date).
std::optional<DateStamp> ParsePrintRangeText(PrintKind kind, std::string_view text, bool jewish);
// The value one step later (+1) or earlier (-1): a year, a month (across year ends) or a day.
DateStamp StepPrintRange(PrintKind kind, const DateStamp& date, int step, bool jewish);

// A schedule item of a day as printed: its times (minutes after the day's midnight; an end on
// a later day carries 1440 more), title and note.
struct PrintScheduleItem {
  int start = 0;
  int end = 0;
  std::string text;
  std::string note;
};
// A to-do item as printed.
struct PrintToDoItem {
  int priority = 1;        // 1 high ... 3 low
  DateStamp due;           // required date; hour and minute only when hasTime
  bool hasTime = false;
  bool done = false;
  std::string text;
  std::string note;
};
// A phonebook entry as printed: the heading lines (name, title, company), the address lines,
// the labelled numbers and the note.
struct PrintPhoneEntry {
  std::string heading;
  std::string address;
  std::vector<std::pair<std::string, std::string>> numbers;  // label, number
  std::string note;
};
// One printer font slot (0 ... 7) as the configuration chose it.
struct PrintFont {
  std::string face = "Arial";
  int points = 10;
  int weight = 400;
  bool italic = false;
};

// Binder layouts (the low three bits of the print options' first byte).
enum class BinderLayout : uint8_t { Portrait = 0, LandscapeSingle = 1, LandscapeDual = 2 };

// Everything the renderers read. The front end (or kvtool) fills it from the configuration and
// the stores; StorePrintSources (print_sources.h) does that for the stores.
struct PrintSources {
  ViewOptions options;                   // the calendar's options (weekday start, marks, Jewish mode...)
  RegionalSettings regional;             // date and time formats
  std::array<PrintFont, 8> fonts;        // the printer font slots
  BinderLayout binderLayout = BinderLayout::Portrait;
  bool binderStyle = false;              // day kind: binder pages instead of the list
  bool binderA4 = false;                 // binder paper: A4, else Letter (for the front end)
  DateStamp now;                         // date and time for "&D", "&d", "&t"
  // Sets the calendar to a month (primary calendar) and assembles its events; empty: the day
  // assembly is recomputed for that month directly.
  std::function<void(int year, int month)> prepareMonth;
  // The assembled entries of a Gregorian day; empty: taken from the day assembly.
  std::function<std::vector<DayEntry>(const DateStamp& day)> dayEntries;
  // The schedule items of a day, in time order; empty: none.
  std::function<std::vector<PrintScheduleItem>(const DateStamp& day)> schedule;
  // The general note of a day ("" for none); empty: none.
  std::function<std::string(const DateStamp& day)> dayNote;
  std::vector<PrintToDoItem> todo;       // the to-do list in its window's order
  std::vector<PrintPhoneEntry> phonebook;  // the phonebook in its window's order
  bool generalNotes = true;              // notes kind: the day notes of a range, else `note`
  std::string noteTitle;                 // notes kind, one note: its owner ("Schedule Notes: ...")
  std::string note;                      // notes kind, one note: its text
};

// Sets the canvas's print fonts (and for the month and year pages the view roles they reuse)
// for a kind from the printer font slots, sized by the canvas's PixelsPerInch.
void ApplyPrintFonts(Canvas& canvas, PrintKind kind, const std::array<PrintFont, 8>& fonts);

// ---- the job --------------------------------------------------------------------------------

// Where pages go. The front end's target wraps the printer (or metafile) device context.
class PageTarget {
 public:
  virtual ~PageTarget() = default;
  // Starts a page and returns its canvas; null when the page could not be started.
  virtual Canvas* BeginPage() = 0;
  // Ends the page begun last; false on a printer error.
  virtual bool EndPage() = 0;
  // True once the user asked to cancel (the front end pumps its messages here).
  virtual bool Cancelled() { return false; }
  // Shows a status text ("Sending ... to printer...").
  virtual void Status(const std::string& text) { (void)text; }
};

enum class PrintOutcome : uint8_t { Printed, Cancelled, Failed };

// Prints a range of a kind: one page per year, one page per month (across year ends; Jewish
// months in Jewish mode), or the day, notes, schedule, to-do and phonebook renderers filling
// pages; binder pages for the day kind in binder style (two days a sheet in the dual layout).
// Each page gets the header or footer, counting pages from 1. The range must have passed
// CheckPrintRange (a range that does not prints nothing and fails).
PrintOutcome RunPrintJob(PrintKind kind, const PrintRange& range, const PrintSources& sources,
                         const PageLayout& layout, const PageGeometry& geometry, PageTarget& target);

// The document name of the job, as the spooler shows it: "Kalvora: 2027", "Kalvora: 11/2026 -
// 2/2027", "Kalvora: 3/1/2027-3/5/2027", "Kalvora Notes: ...", "Kalvora: To Do", ...
std::string DocumentName(PrintKind kind, const PrintRange& range, const PrintSources& sources);
// The status text while a page of the year or month kind (the year, or its month name and
// year) is sent, and "Sending output to printer..." for the other kinds.
std::string StatusText(PrintKind kind, int year, int month = 0, bool jewish = false);

// ---- single pages (metafiles, previews) -------------------------------------------------

// The year page (twelve or thirteen small calendars under the year) in `content`.
void RenderYearPage(Canvas& canvas, const Rect& content, int year, const PrintSources& sources);
// The month page (the grid with each day's entries and marks) in `content`; assembles the
// month through sources.prepareMonth first.
void RenderMonthPage(Canvas& canvas, const Rect& content, int year, int month, const PrintSources& sources);

}  // namespace kv
