// Day binder sheets: one day on a page cut for a ring binder (a gutter at the punched edge),
// as a paper diary shows it: the date large, the day's entries, an hourly ruled grid with the
// schedule items in their hours, and ruled lines for notes with the day's note on them.
// Portrait: one day down the page. Landscape single: one day in two columns (the date, entries
// and notes left, the hours right). Landscape dual: two days side by side, each a half sheet.
#include <algorithm>

#include "calendar/date_format.h"
#include "calendar/jewish.h"
#include "print/page_flow.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kFirstHour = 7;
constexpr int kLastHour = 21;  // the grid's last row starts at this hour
const Colour kRule = MakeColour(170, 170, 170);
const Colour kGrey = MakeColour(80, 80, 80);

int Hairline(const Canvas& c) { return std::max(1, c.PixelsPerInch() / 144); }

struct DayData {
  DateStamp day;
  std::vector<DayEntry> entries;
  std::vector<PrintScheduleItem> items;
  std::string note;
};

DayData GatherDay(const PrintSources& s, const DateStamp& day) {
  DayData d;
  d.day = DateOnly(day);
  d.entries = PrintDayEntries(s, day);
  if (s.schedule) {
    d.items = s.schedule(day);
    std::erase_if(d.entries, [](const DayEntry& e) { return e.source < 0 && e.source != -kTimeChangeSource; });
  }
  if (s.dayNote) d.note = s.dayNote(day);
  return d;
}

// The date band: the day number large at the left, the weekday, month and year beside it, the
// other calendar's date under them; a heavy rule below. Returns its bottom.
int DateBand(Canvas& c, const Rect& area, const DayData& d, const PrintSources& s) {
  const DateStamp& day = d.day;
  std::string number = std::to_string(day.day);
  int big = c.LineHeight(FontRole::PrintTitle);
  int numberWidth = c.TextWidth(FontRole::PrintTitle, "00");
  c.DrawTextInRect(FontRole::PrintTitle, Rect{area.left, area.top, area.left + numberWidth, area.top + big}, number, 0,
                   kTextSingleLine | kTextCentre);
  int x = area.left + numberWidth + big / 3;
  int head = c.LineHeight(FontRole::PrintHeading);
  std::string weekday = FormatGregorianDate("dddd", day.month, day.day, day.year);
  std::string monthYear = FormatGregorianDate("MMMM yyyy", day.month, day.day, day.year);
  c.DrawTextInRect(FontRole::PrintHeading, Rect{x, area.top, area.right, area.top + head}, weekday, 0,
                   kTextSingleLine | kTextEndEllipsis);
  int small = c.LineHeight(FontRole::PrintSmall);
  c.DrawTextInRect(FontRole::PrintSmall, Rect{x, area.top + head, area.right, area.top + head + small}, monthYear, kGrey,
                   kTextSingleLine | kTextEndEllipsis);
  JewishDate j = GregorianToJewish(day.month, day.day, day.year);
  std::string jewish = FormatJewishDate("d MMMM yyyy", j);
  c.DrawTextInRect(FontRole::PrintSmall, Rect{x, area.top + head + small, area.right, area.top + head + 2 * small},
                   s.options.jewishPrimary ? FormatGregorianDate(s.regional.longDatePicture, day.month, day.day, day.year)
                                           : jewish,
                   kGrey, kTextSingleLine | kTextEndEllipsis);
  int bottom = std::max(area.top + big, area.top + head + 2 * small) + small / 3;
  c.FillRect(Rect{area.left, bottom, area.right, bottom + 3 * Hairline(c)}, 0);
  return bottom + 3 * Hairline(c) + small / 2;
}

// The day's entries, wrapped, each after a small square, as far as `bottom`. Returns the
// position reached.
int EntryList(Canvas& c, const Rect& area, int y, int bottom, const DayData& d) {
  int line = c.LineHeight(FontRole::PrintBody);
  int mark = std::max(line / 5, 1);
  for (const DayEntry& e : d.entries) {
    std::vector<std::string> pieces = WrapText(c, FontRole::PrintBody, e.text, std::max(area.Width() - line, 1));
    for (size_t i = 0; i < pieces.size(); ++i) {
      if (y + line > bottom) return y;
      if (i == 0) c.FillRect(Rect{area.left + mark, y + (line - mark) / 2, area.left + 2 * mark, y + (line + mark) / 2}, kGrey);
      c.DrawTextInRect(FontRole::PrintBody, Rect{area.left + line, y, area.right, y + line}, pieces[i], 0, kTextSingleLine);
      y += line;
    }
  }
  return y;
}

// The hourly grid from kFirstHour to kLastHour in `area`; items outside those hours are
// listed above it. Rows that do not fit are left out, never drawn outside.
void HourGrid(Canvas& c, const Rect& area, const DayData& d, const PrintSources& s) {
  int line = c.LineHeight(FontRole::PrintBody);
  int labelWidth = c.TextWidth(FontRole::PrintSmall, FormatTimeCompact(12 * 60, s.regional, Designator::Full)) + line / 2;
  int y = area.top;
  for (const PrintScheduleItem& item : d.items) {
    if (item.start >= kFirstHour * 60 && item.start < (kLastHour + 1) * 60) continue;
    if (y + line > area.bottom) return;
    std::string text = FormatText("[%s - %s] %s", FormatTimeCompact(item.start, s.regional, Designator::Full).c_str(),
                                  FormatTimeCompact(item.end, s.regional, Designator::Full).c_str(), item.text.c_str());
    c.DrawTextInRect(FontRole::PrintBody, Rect{area.left, y, area.right, y + line}, text, 0,
                     kTextSingleLine | kTextEndEllipsis);
    y += line;
  }
  int rows = kLastHour - kFirstHour + 1;
  int rowHeight = std::max((area.bottom - y) / rows, 1);
  if (rowHeight < line) rowHeight = line;
  for (int h = kFirstHour; h <= kLastHour; ++h) {
    if (y + rowHeight > area.bottom) break;
    c.FillRect(Rect{area.left, y, area.right, y + Hairline(c)}, kRule);
    c.DrawTextInRect(FontRole::PrintSmall, Rect{area.left, y + Hairline(c), area.left + labelWidth, y + rowHeight},
                     FormatTimeCompact(h * 60, s.regional, Designator::Full), kGrey, kTextSingleLine);
    std::string text;
    for (const PrintScheduleItem& item : d.items) {
      if (item.start / 60 != h) continue;
      if (!text.empty()) text += "; ";
      std::string start = FormatTimeCompact(item.start, s.regional, Designator::Full);
      std::string end = FormatTimeCompact(item.end, s.regional, Designator::Full);
      text += start + "-" + end + " " + item.text;
    }
    if (!text.empty())
      c.DrawTextInRect(FontRole::PrintBody, Rect{area.left + labelWidth, y + Hairline(c), area.right, y + rowHeight}, text,
                       0, kTextWordBreak | kTextEndEllipsis);
    y += rowHeight;
  }
  c.FillRect(Rect{area.left, std::min(y, area.bottom - Hairline(c)), area.right, std::min(y, area.bottom - Hairline(c)) + Hairline(c)},
             kRule);
}

// "Notes" and ruled lines to the bottom, the day's note written on them.
void NoteLines(Canvas& c, const Rect& area, const DayData& d) {
  int head = c.LineHeight(FontRole::PrintBold);
  if (area.Height() < head * 2) return;
  c.DrawTextInRect(FontRole::PrintBold, Rect{area.left, area.top, area.right, area.top + head},
                   std::string(StringText(1059)), 0, kTextSingleLine);
  int line = c.LineHeight(FontRole::PrintBody) * 5 / 4;
  std::vector<std::string> text = WrapText(c, FontRole::PrintBody, d.note, area.Width());
  size_t next = 0;
  for (int y = area.top + head; y + line <= area.bottom; y += line) {
    if (next < text.size())
      c.DrawTextInRect(FontRole::PrintBody, Rect{area.left, y, area.right, y + line}, text[next++], 0,
                       kTextSingleLine | kTextBottom);
    c.FillRect(Rect{area.left, y + line - Hairline(c), area.right, y + line}, kRule);
  }
}

// One day in a panel: the date band, then the layout's parts.
void BinderDay(Canvas& c, const Rect& panel, const DayData& d, const PrintSources& s, bool twoColumns) {
  int line = c.LineHeight(FontRole::PrintBody);
  if (twoColumns) {
    int gap = line * 2;
    int middle = panel.left + (panel.Width() - gap) / 2;
    Rect left{panel.left, panel.top, middle, panel.bottom};
    Rect right{middle + gap, panel.top, panel.right, panel.bottom};
    int y = DateBand(c, left, d, s);
    int entriesBottom = left.top + left.Height() / 2;
    y = EntryList(c, left, y, entriesBottom, d);
    NoteLines(c, Rect{left.left, y + line / 2, left.right, left.bottom}, d);
    HourGrid(c, Rect{right.left, right.top, right.right, right.bottom}, d, s);
    c.DrawLine({middle + gap / 2, panel.top}, {middle + gap / 2, panel.bottom}, Pen{kRule, Hairline(c)});
    return;
  }
  int y = DateBand(c, panel, d, s);
  int entriesBottom = y + std::max(panel.Height() / 5, line * 2);
  y = EntryList(c, panel, y, entriesBottom, d);
  int gridTop = y + line / 2;
  int gridBottom = gridTop + (panel.bottom - gridTop) * 3 / 5;
  HourGrid(c, Rect{panel.left, gridTop, panel.right, gridBottom}, d, s);
  NoteLines(c, Rect{panel.left, gridBottom + line / 2, panel.right, panel.bottom}, d);
}

}  // namespace

bool RenderBinderSheet(PageFlow& flow, const DateStamp& day, const DateStamp* second) {
  if (!flow.FinishPage()) return false;
  Canvas* c = flow.Page();
  if (!c) return false;
  const PrintSources& s = flow.Sources();
  const Rect& r = flow.Content();
  int gutter = c->PixelsPerInch() / 2;  // the punched edge
  // The day number stands out as on a diary page.
  FontSpec number = c->Font(FontRole::PrintTitle);
  number.height = number.height * 2;
  c->SetFont(FontRole::PrintTitle, number);
  int gap = c->PixelsPerInch() / 3;
  switch (s.binderLayout) {
    case BinderLayout::Portrait:
      BinderDay(*c, Rect{r.left + gutter, r.top, r.right, r.bottom}, GatherDay(s, day), s, false);
      break;
    case BinderLayout::LandscapeSingle:
      BinderDay(*c, Rect{r.left + gutter, r.top, r.right, r.bottom}, GatherDay(s, day), s, true);
      break;
    case BinderLayout::LandscapeDual: {
      // Two half sheets, each with its own gutter, cut along a dashed line in the middle.
      int middle = r.left + r.Width() / 2;
      BinderDay(*c, Rect{r.left + gutter, r.top, middle - gap, r.bottom}, GatherDay(s, day), s, false);
      c->DrawLine({middle, r.top}, {middle, r.bottom}, Pen{kGrey, 1, PenStyle::Dash});
      if (second) BinderDay(*c, Rect{middle + gutter, r.top, r.right, r.bottom}, GatherDay(s, *second), s, false);
      break;
    }
  }
  flow.y = r.bottom;
  return flow.FinishPage();
}

}  // namespace kv
