#include "print/print_job.h"

#include <algorithm>
#include <cstdio>

#include "calendar/date_format.h"
#include "calendar/jewish.h"
#include "overlays/day_assembly.h"
#include "print/offset_canvas.h"
#include "print/page_flow.h"
#include "resources/strings.h"
#include "views/day_page.h"
#include "views/month_layout.h"
#include "views/month_paint.h"
#include "views/small_calendar.h"
#include "views/year_layout.h"

namespace kv {

namespace {

constexpr const char* kKindNames[] = {"year", "month", "", "day", "notes", "schedule", "todo", "phone"};

std::string Product() { return std::string(StringText(IDS_PRODUCT_NAME)); }

// A month's place in its year's order: Jewish months run 1 ... 6, 13, 7 ... 12.
int MonthOrder(int month, bool jewish) {
  if (!jewish) return month * 2;
  if (month == 13) return 13;
  return month <= 6 ? month * 2 : month * 2 + 1;
}

bool ValidMonth(int year, int month, bool jewish) {
  if (!jewish) return year >= 1583 && year <= 9998 && month >= 1 && month <= 12;
  if (year < kMinGregorianModeJewishYear || year >= kLastJewishYear) return false;
  if (month < 1 || month > 13) return false;
  return month != 13 || IsJewishLeapYear(year);
}

bool ValidDay(const DateStamp& d) { return d.year >= 1583 && d.year <= 9998 && IsValidDate(d.month, d.day, d.year); }

int32_t DayIndex(const DateStamp& d) { return DayNumber(d.month, d.day, d.year); }

}  // namespace

const char* PrintKindName(PrintKind kind) { return kKindNames[static_cast<size_t>(kind)]; }

std::optional<PrintKind> PrintKindFromName(std::string_view name) {
  for (size_t i = 0; i < std::size(kKindNames); ++i)
    if (i != 2 && name == kKindNames[i]) return static_cast<PrintKind>(i);
  return std::nullopt;
}

// ---- header and footer --------------------------------------------------------------------

std::string ExpandHeaderText(std::string_view text, int page, const DateStamp& now, const RegionalSettings& regional) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '&' || i + 1 >= text.size()) {
      out += c;
      continue;
    }
    char code = text[i + 1];
    if (code == 'D') {
      out += FormatGregorianDate(regional.longDatePicture, now.month, now.day, now.year);
    } else if (code == 'd') {
      out += FormatGregorianDate(regional.shortDatePicture, now.month, now.day, now.year);
    } else if (code == 'p') {
      out += std::to_string(page);
    } else if (code == 't') {
      out += FormatTimeOfDay(now.hour * 60 + now.minute, regional);
    } else {
      out += '&';  // the next character is read normally
      continue;
    }
    ++i;
  }
  return out;
}

// ---- page geometry ------------------------------------------------------------------------

PaperMetrics PaperFromDevice(int physicalWidth, int physicalHeight, int offsetX, int offsetY, int dpiX, int dpiY) {
  PaperMetrics p;
  if (dpiX <= 0 || dpiY <= 0) return p;
  p.width = static_cast<int>(static_cast<long long>(physicalWidth) * 1440 / dpiX);
  p.height = static_cast<int>(static_cast<long long>(physicalHeight) * 1440 / dpiY);
  p.offsetX = static_cast<int>(static_cast<long long>(offsetX) * 1440 / dpiX);
  p.offsetY = static_cast<int>(static_cast<long long>(offsetY) * 1440 / dpiY);
  return p;
}

PageGeometry ComputePageGeometry(const PaperMetrics& paper, const PageLayout& layout, PrintKind kind) {
  PageGeometry g;
  int width = paper.width - layout.rightMargin - layout.leftMargin - 5;
  int height = paper.height - layout.bottomMargin - layout.topMargin - 5;
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (kind == PrintKind::Month && !layout.sizeToMargins) {
    int available = width;
    width = static_cast<int>(static_cast<long long>(height) * 11 / 8);
    if (width >= available) {
      width = available;
      height = static_cast<int>(static_cast<long long>(width) * 8 / 11);
    }
  }
  int left = layout.leftMargin - paper.offsetX;
  int top = layout.topMargin - paper.offsetY;
  g.content = Rect{left, top, left + width, top + height};
  g.headerLeft = layout.leftMargin - paper.offsetX;
  g.headerRight = paper.width - layout.rightMargin - paper.offsetX;
  g.header = layout.isHeader != 0;
  g.headerTop = g.header ? layout.distance - paper.offsetY : paper.height - paper.offsetY - layout.distance;
  return g;
}

// ---- ranges -------------------------------------------------------------------------------

int CheckPrintRange(PrintKind kind, const PrintRange& range, bool jewish, size_t phoneEntries) {
  switch (kind) {
    case PrintKind::Year: {
      int low = jewish ? kMinGregorianModeJewishYear : 1583, high = jewish ? kLastJewishYear - 1 : 9998;
      if (range.from.year < low || range.from.year > high) return 1;
      if (range.to.year < low || range.to.year > high || range.to.year < range.from.year) return 2;
      return 0;
    }
    case PrintKind::Month:
      if (!ValidMonth(range.from.year, range.from.month, jewish)) return 1;
      if (!ValidMonth(range.to.year, range.to.month, jewish)) return 2;
      if (range.to.year < range.from.year) return 2;
      if (range.to.year == range.from.year &&
          MonthOrder(range.to.month, jewish) < MonthOrder(range.from.month, jewish))
        return 2;
      return 0;
    case PrintKind::Day:
    case PrintKind::Notes:
    case PrintKind::Schedule:
      if (!ValidDay(range.from)) return 1;
      if (!ValidDay(range.to) || DayIndex(range.to) < DayIndex(range.from)) return 2;
      return 0;
    case PrintKind::ToDo:
      return 0;
    case PrintKind::Phone:
      if (range.firstEntry < 0 || static_cast<size_t>(range.firstEntry) >= phoneEntries) return 1;
      if (range.lastEntry < range.firstEntry || static_cast<size_t>(range.lastEntry) >= phoneEntries) return 2;
      return 0;
  }
  return 1;
}

std::string PrintRangeText(PrintKind kind, const DateStamp& date) {
  if (kind == PrintKind::Year) return std::to_string(date.year);
  if (kind == PrintKind::Month) return FormatText("%d/%d", date.month, date.year);
  return FormatText("%d/%d/%d", date.month, date.day, date.year);
}

std::optional<DateStamp> ParsePrintRangeText(PrintKind kind, std::string_view text, bool jewish) {
  std::vector<long> parts;
  long value = 0;
  int digits = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    char c = i < text.size() ? text[i] : '/';
    if (c == ' ' && (digits == 0 || i + 1 == text.size() || text[i + 1] == ' ' || text[i + 1] == '/')) continue;
    if (c >= '0' && c <= '9') {
      if (++digits > 6) return std::nullopt;
      value = value * 10 + (c - '0');
    } else if (c == '/') {
      if (digits == 0) return std::nullopt;
      parts.push_back(value);
      value = 0, digits = 0;
    } else {
      return std::nullopt;
    }
  }
  DateStamp d;
  if (kind == PrintKind::Year) {
    if (parts.size() != 1) return std::nullopt;
    d.year = static_cast<int32_t>(parts[0]);
    d.month = 1, d.day = 1;
    return d;
  }
  if (kind == PrintKind::Month) {
    if (parts.size() != 2 || parts[0] < 1 || parts[0] > (jewish ? 13 : 12)) return std::nullopt;
    d.month = static_cast<uint16_t>(parts[0]);
    d.year = static_cast<int32_t>(parts[1]);
    d.day = 1;
    return d;
  }
  if (parts.size() != 3 || parts[0] > 12 || parts[1] > 31) return std::nullopt;
  d.month = static_cast<uint16_t>(parts[0]);
  d.day = static_cast<uint16_t>(parts[1]);
  d.year = static_cast<int32_t>(parts[2]);
  if (!IsValidDate(d.month, d.day, d.year)) return std::nullopt;
  return d;
}

DateStamp StepPrintRange(PrintKind kind, const DateStamp& date, int step, bool jewish) {
  DateStamp d = date;
  if (kind == PrintKind::Year) {
    d.year += step;
  } else if (kind == PrintKind::Month) {
    int year = d.year, month = d.month;
    for (int i = 0; i < std::abs(step); ++i) {
      if (step > 0) NextMonth(year, month, jewish);
      else PreviousMonth(year, month, jewish);
    }
    d.year = year, d.month = static_cast<uint16_t>(month);
  } else if (IsValidDate(d.month, d.day, d.year)) {
    d = AddDays(d.month, d.day, d.year, step);
  }
  return d;
}

// ---- names and texts ------------------------------------------------------------------------

std::string DocumentName(PrintKind kind, const PrintRange& range, const PrintSources& sources) {
  std::string product = Product();
  const DateStamp& a = range.from;
  const DateStamp& b = range.to;
  auto days = [&](const std::string& extra) {
    if (DayIndex(a) == DayIndex(b)) return FormatText("%s%s: %d/%d/%d", product.c_str(), extra.c_str(), a.month, a.day, a.year);
    return FormatText("%s%s: %d/%d/%d-%d/%d/%d", product.c_str(), extra.c_str(), a.month, a.day, a.year, b.month,
                      b.day, b.year);
  };
  switch (kind) {
    case PrintKind::Year:
      if (a.year == b.year) return FormatText("%s: %d", product.c_str(), a.year);
      return FormatText("%s: %d - %d", product.c_str(), a.year, b.year);
    case PrintKind::Month:
      if (a.year == b.year && a.month == b.month) return FormatText("%s: %d/%d", product.c_str(), a.month, a.year);
      return FormatText("%s: %d/%d - %d/%d", product.c_str(), a.month, a.year, b.month, b.year);
    case PrintKind::Day:
      return days("");
    case PrintKind::Notes:
      if (sources.generalNotes) return days(std::string(" ").append(StringText(1059)));
      return FormatText("%s: %s", product.c_str(), std::string(StringText(1059)).c_str());
    case PrintKind::Schedule:
      return days(std::string(" ").append(StringText(1028)));
    case PrintKind::ToDo:
      return FormatText("%s: %s", product.c_str(), std::string(StringText(1036)).c_str());
    case PrintKind::Phone:
      return FormatText("%s: %s", product.c_str(), std::string(StringText(1026)).c_str());
  }
  return product;
}

std::string StatusText(PrintKind kind, int year, int month, bool jewish) {
  if (kind == PrintKind::Year) return FormatText(std::string(StringText(1698)).c_str(), year);
  if (kind == PrintKind::Month) {
    std::string name = jewish ? JewishMonthName(month, IsJewishLeapYear(year))
                              : std::string(StringText(IDS_MONTH_FIRST + month - 1));
    return FormatText(std::string(StringText(1699)).c_str(), name.c_str(), year);
  }
  return std::string(StringText(1697));
}

// ---- fonts ----------------------------------------------------------------------------------

namespace {

constexpr int kDefaultPrinterPoints[8] = {16, 9, 8, 9, 10, 9, 10, 8};

FontSpec SlotFont(const Canvas& canvas, const std::array<PrintFont, 8>& fonts, int slot, int percent = 100,
                  int weight = 0) {
  const PrintFont& f = fonts[static_cast<size_t>(slot)];
  int points = f.points > 0 ? f.points : kDefaultPrinterPoints[slot];
  FontSpec spec;
  spec.face = f.face.empty() ? "Arial" : f.face;
  long long units = static_cast<long long>(canvas.PixelsPerInch()) * points * percent / (72 * 100);
  spec.height = -static_cast<int>(std::max(1LL, units));
  spec.weight = weight ? weight : (f.weight ? f.weight : 400);
  spec.italic = f.italic;
  return spec;
}

// Paper colours for the views' painters: white paper, black ink, a light tint where the screen
// fills with the theme colour.
ViewOptions PaperOptions(const ViewOptions& options, const Canvas& canvas) {
  ViewOptions o = options;
  o.colours.window = MakeColour(255, 255, 255);
  o.colours.windowText = MakeColour(0, 0, 0);
  o.colours.theme = MakeColour(236, 236, 236);
  o.colours.shadow = MakeColour(190, 190, 190);
  o.colours.grid = MakeColour(0, 0, 0);
  o.iconSize = std::max(1, canvas.PixelsPerInch() / 6);
  // A printer's pixel is too fine for a rule a reader sees: the month grid gets about 0.1 mm.
  o.gridPen = std::max(1, canvas.PixelsPerInch() / 240);
  return o;
}

}  // namespace

void ApplyPrintFonts(Canvas& canvas, PrintKind kind, const std::array<PrintFont, 8>& fonts) {
  canvas.SetFont(FontRole::PrintHeader, SlotFont(canvas, fonts, 7));
  switch (kind) {
    case PrintKind::Year:
      canvas.SetFont(FontRole::PrintTitle, SlotFont(canvas, fonts, 0, 160, 700));
      canvas.SetFont(FontRole::PrintHeading, SlotFont(canvas, fonts, 4, 110, 700));
      canvas.SetFont(FontRole::PrintSmall, SlotFont(canvas, fonts, 4));
      canvas.SetFont(FontRole::PrintBody, SlotFont(canvas, fonts, 4));
      canvas.SetFont(FontRole::PrintBold, SlotFont(canvas, fonts, 4, 100, 700));
      return;
    case PrintKind::Month:
      // The month grid is the month view's painter: its roles get the printer's slots.
      canvas.SetFont(FontRole::Title, SlotFont(canvas, fonts, 0));
      canvas.SetFont(FontRole::Cell, SlotFont(canvas, fonts, 1));
      canvas.SetFont(FontRole::Event, SlotFont(canvas, fonts, 2));
      canvas.SetFont(FontRole::Bold, SlotFont(canvas, fonts, 3));
      canvas.SetFont(FontRole::Small, SlotFont(canvas, fonts, 1, 75));
      canvas.SetFont(FontRole::PrintTitle, SlotFont(canvas, fonts, 0));
      canvas.SetFont(FontRole::PrintBody, SlotFont(canvas, fonts, 2));
      canvas.SetFont(FontRole::PrintSmall, SlotFont(canvas, fonts, 1, 75));
      return;
    default: {
      int slot = kind == PrintKind::Day ? 5 : 6;
      canvas.SetFont(FontRole::PrintTitle, SlotFont(canvas, fonts, slot, 170, 700));
      canvas.SetFont(FontRole::PrintHeading, SlotFont(canvas, fonts, slot, 120, 700));
      canvas.SetFont(FontRole::PrintBody, SlotFont(canvas, fonts, slot));
      canvas.SetFont(FontRole::PrintBold, SlotFont(canvas, fonts, slot, 100, 700));
      canvas.SetFont(FontRole::PrintSmall, SlotFont(canvas, fonts, slot, 85));
      return;
    }
  }
}

// ---- the year and month pages ---------------------------------------------------------------

void RenderYearPage(Canvas& canvas, const Rect& content, int year, const PrintSources& sources) {
  ViewOptions o = PaperOptions(sources.options, canvas);
  bool jewish = o.jewishPrimary;
  AssembleYear(year);
  auto marks = AssembledYearMarks();
  if (jewish) ExamineJewishYear(year);

  int title = canvas.LineHeight(FontRole::PrintTitle);
  int gap = title / 2;
  canvas.DrawTextInRect(FontRole::PrintTitle, Rect{content.left, content.top, content.right, content.top + title},
                        std::to_string(year), 0, kTextCentre | kTextSingleLine);
  int pen = std::max(1, canvas.PixelsPerInch() / 144);
  canvas.FillRect(Rect{content.left, content.top + title + gap / 3, content.right, content.top + title + gap / 3 + pen}, 0);

  int count = YearMonthCount(year, jewish);
  bool landscape = content.Width() > content.Height();
  int columns = landscape ? (count > 12 ? 5 : 4) : 3;
  int rows = (count + columns - 1) / columns;
  Rect grid{content.left, content.top + title + gap, content.right, content.bottom};
  int cellWidth = grid.Width() / columns, cellHeight = grid.Height() / std::max(rows, 1);
  int pad = std::min(cellWidth, cellHeight) / 12;
  Pen rule{MakeColour(160, 160, 160), pen};
  for (int i = 0; i < count; ++i) {
    int column = i % columns, row = i / columns;
    Rect cell{grid.left + column * cellWidth, grid.top + row * cellHeight, grid.left + (column + 1) * cellWidth,
              grid.top + (row + 1) * cellHeight};
    if (column > 0) canvas.DrawLine({cell.left, cell.top + pad}, {cell.left, cell.bottom - pad}, rule);
    if (row > 0) canvas.DrawLine({cell.left + pad, cell.top}, {cell.right - pad, cell.top}, rule);
    SmallCalendarInput in = SmallCalendarFor(year, YearMonthAt(year, i, jewish), jewish, o);
    in.marks = marks[static_cast<size_t>(i)];
    in.titleRole = FontRole::PrintHeading;
    in.numberRole = FontRole::PrintSmall;
    in.highlight = o.colours.highlight;
    PaintSmallCalendar(canvas, Rect{cell.left + pad, cell.top + pad, cell.right - pad, cell.bottom - pad}, in);
  }
}

void RenderMonthPage(Canvas& canvas, const Rect& content, int year, int month, const PrintSources& sources) {
  ViewOptions o = PaperOptions(sources.options, canvas);
  if (sources.prepareMonth) sources.prepareMonth(year, month);
  else RecomputeDisplayedMonths(year, month);
  // On paper the grid gets a firmer outline than the screen's one-pixel lines. The month is laid
  // out that much smaller so the outline and the last row's line fall inside the content area.
  const int pen = std::max(1, canvas.PixelsPerInch() / 144);
  const int inset = pen / 2 + 1;
  MonthLayoutInput in;
  in.width = std::max(1, content.Width() - 2 * inset);
  in.height = std::max(1, content.Height() - 2 * inset);
  in.year = year;
  in.month = month;
  in.options = &o;
  in.fonts = MeasureMonthFonts(canvas);
  MonthLayout layout = LayOutMonth(in);
  OffsetCanvas moved(canvas, Point{content.left + inset, content.top + inset});
  moved.PushClip(Rect{-inset, -inset, content.Width() - inset, content.Height() - inset});
  PaintMonth(moved, layout, o, 0);
  moved.FrameRect(Rect{0, layout.gridTop, std::min(layout.gridWidth + 1, in.width), std::min(layout.gridBottom + 1, in.height)},
                  Pen{o.colours.grid, pen});
  moved.PopClip();
}

std::vector<DayEntry> PrintDayEntries(const PrintSources& sources, const DateStamp& day) {
  if (sources.dayEntries) return sources.dayEntries(day);
  CalendarState state;
  state.options = sources.options;
  state.date = DateOnly(day);
  if (sources.options.jewishPrimary) {
    JewishDate j = GregorianToJewish(day.month, day.day, day.year);
    state.year = j.year, state.month = j.month, state.day = j.day;
  } else {
    state.year = day.year, state.month = day.month, state.day = day.day;
  }
  std::vector<DayEntry> out;
  for (const DayEntry* e : AssembledDayEntries(state))
    if (e) out.push_back(*e);
  return out;
}

// ---- the job --------------------------------------------------------------------------------

PrintOutcome RunPrintJob(PrintKind kind, const PrintRange& range, const PrintSources& sources,
                         const PageLayout& layout, const PageGeometry& geometry, PageTarget& target) {
  bool jewish = sources.options.jewishPrimary;
  bool oneNote = kind == PrintKind::Notes && !sources.generalNotes;  // asks for no range
  if (!oneNote && CheckPrintRange(kind, range, jewish, sources.phonebook.size()) != 0) return PrintOutcome::Failed;
  PageFlow flow(kind, sources, layout, geometry, target);
  switch (kind) {
    case PrintKind::Year:
      for (int year = range.from.year; year <= range.to.year && flow.Ok(); ++year) {
        target.Status(StatusText(kind, year));
        if (Canvas* c = flow.Page()) RenderYearPage(*c, geometry.content, year, sources);
        flow.FinishPage();
      }
      break;
    case PrintKind::Month: {
      int year = range.from.year, month = range.from.month;
      while (flow.Ok()) {
        target.Status(StatusText(kind, year, month, jewish));
        if (Canvas* c = flow.Page()) RenderMonthPage(*c, geometry.content, year, month, sources);
        flow.FinishPage();
        if (year == range.to.year && month == range.to.month) break;
        NextMonth(year, month, jewish);
        if (year > range.to.year) break;  // never past the end, whatever the months say
      }
      break;
    }
    case PrintKind::Day: {
      target.Status(StatusText(kind, 0));
      int32_t last = DayNumber(range.to.month, range.to.day, range.to.year);
      DateStamp day = DateOnly(range.from);
      bool dual = sources.binderStyle && sources.binderLayout == BinderLayout::LandscapeDual;
      while (flow.Ok() && DayNumber(day.month, day.day, day.year) <= last) {
        if (sources.binderStyle) {
          DateStamp next = AddDays(day.month, day.day, day.year, 1);
          bool two = dual && DayNumber(next.month, next.day, next.year) <= last;
          RenderBinderSheet(flow, day, two ? &next : nullptr);
          day = AddDays(day.month, day.day, day.year, two ? 2 : 1);
        } else {
          RenderDayList(flow, day);
          day = AddDays(day.month, day.day, day.year, 1);
        }
      }
      break;
    }
    case PrintKind::Notes:
      target.Status(StatusText(kind, 0));
      if (sources.generalNotes) RenderGeneralNotes(flow, range.from, range.to);
      else RenderOneNote(flow);
      break;
    case PrintKind::Schedule:
      target.Status(StatusText(kind, 0));
      RenderSchedule(flow, range.from, range.to);
      break;
    case PrintKind::ToDo:
      target.Status(StatusText(kind, 0));
      RenderToDo(flow);
      break;
    case PrintKind::Phone:
      target.Status(StatusText(kind, 0));
      RenderPhonebook(flow, range.firstEntry, range.lastEntry);
      break;
  }
  flow.FinishPage();
  if (flow.Cancelled() || target.Cancelled()) return PrintOutcome::Cancelled;
  return flow.Ok() && flow.PageNumber() > 0 ? PrintOutcome::Printed : PrintOutcome::Failed;
}

}  // namespace kv
