// The renderers that fill pages with lists: a day (its date, entries, schedule, sun and moon
// and note), the general notes of a range of days or one note, the schedule of a range of days,
// the to-do list and the phonebook. Each draws a title block once, then blocks that keep
// together where they can; long texts run on to the next page line by line.
#include <algorithm>

#include "calendar/date_format.h"
#include "print/page_flow.h"
#include "resources/strings.h"
#include "views/day_page.h"

namespace kv {
namespace {

std::string Str(int id) { return std::string(StringText(id)); }

int Hairline(const Canvas& canvas) { return std::max(1, canvas.PixelsPerInch() / 144); }

std::string LongDate(const PrintSources& s, const DateStamp& d) {
  return FormatGregorianDate(s.regional.longDatePicture, d.month, d.day, d.year);
}
std::string ShortDate(const PrintSources& s, const DateStamp& d) {
  return FormatGregorianDate(s.regional.shortDatePicture, d.month, d.day, d.year);
}

// The title block of a printout: its name large, an optional line under it, and a rule.
bool TitleBlock(PageFlow& flow, const std::string& title, const std::string& subtitle) {
  Canvas* c = flow.Page();
  if (!c) return false;
  const Rect& r = flow.Content();
  int line = c->LineHeight(FontRole::PrintTitle);
  c->DrawTextInRect(FontRole::PrintTitle, Rect{r.left, flow.y, r.right, flow.y + line}, title, 0,
                    kTextSingleLine | kTextEndEllipsis);
  flow.y += line;
  if (!subtitle.empty()) {
    int small = c->LineHeight(FontRole::PrintSmall);
    c->DrawTextInRect(FontRole::PrintSmall, Rect{r.left, flow.y, r.right, flow.y + small}, subtitle,
                      MakeColour(64, 64, 64), kTextSingleLine | kTextEndEllipsis);
    flow.y += small;
  }
  int gap = line / 4;
  int pen = 2 * Hairline(*c);
  c->FillRect(Rect{r.left, flow.y + gap, r.right, flow.y + gap + pen}, 0);
  flow.y += 2 * gap + pen;
  return true;
}

std::string RangeSubtitle(const PrintSources& s, const DateStamp& from, const DateStamp& to) {
  if (from == to) return LongDate(s, from);
  return LongDate(s, from) + " - " + LongDate(s, to);
}

// Vertical room between blocks.
void Gap(PageFlow& flow, FontRole role, int parts = 2) {
  if (Canvas* c = flow.Page()) flow.y += c->LineHeight(role) / parts;
}

// One row of columns: every column but the last on one line, the last wrapped in its width.
// Kept on one page as far as it goes.
bool ColumnRow(PageFlow& flow, FontRole role, const std::vector<int>& xs, const std::vector<std::string>& texts,
               Colour colour = 0) {
  Canvas* c = flow.Page();
  if (!c) return false;
  const Rect& r = flow.Content();
  int line = c->LineHeight(role);
  int lastX = xs.empty() ? r.left : xs.back();
  std::vector<std::string> wrapped = WrapText(*c, role, texts.empty() ? "" : texts.back(), std::max(r.right - lastX, 1));
  if (wrapped.empty()) wrapped.push_back("");
  if (!flow.Room(line * static_cast<int>(std::min<size_t>(wrapped.size(), 3)))) return false;
  c = flow.Page();
  for (size_t i = 0; i + 1 < texts.size() && i + 1 < xs.size(); ++i)
    c->DrawTextInRect(role, Rect{xs[i], flow.y, xs[i + 1], flow.y + line}, texts[i], colour,
                      kTextSingleLine | kTextEndEllipsis);
  for (size_t i = 0; i < wrapped.size(); ++i) {
    if (i > 0 && !flow.Room(line)) return false;
    c = flow.Page();
    c->DrawTextInRect(role, Rect{lastX, flow.y, r.right, flow.y + line}, wrapped[i], colour, kTextSingleLine);
    flow.y += line;
  }
  return true;
}

// A section head inside a day: bold text over a light rule.
bool SectionHead(PageFlow& flow, const std::string& text) {
  Canvas* c = flow.Page();
  if (!c) return false;
  int line = c->LineHeight(FontRole::PrintBold);
  if (!flow.Room(line * 3)) return false;
  c = flow.Page();
  const Rect& r = flow.Content();
  flow.y += line / 3;
  c->DrawTextInRect(FontRole::PrintBold, Rect{r.left, flow.y, r.right, flow.y + line}, text, 0,
                    kTextSingleLine | kTextEndEllipsis);
  flow.y += line;
  c->FillRect(Rect{r.left, flow.y, r.right, flow.y + Hairline(*c)}, MakeColour(150, 150, 150));
  flow.y += line / 4;
  return true;
}

// The moon's phase as a small drawn symbol: 1 new (filled), 2 first quarter (right half lit),
// 3 full (open), 4 last quarter (left half lit).
void MoonSymbol(Canvas& c, const Rect& box, int phase) {
  Pen pen{0, Hairline(c)};
  Colour dark = 0;
  c.DrawEllipse(box, pen, phase == 1 ? SolidBrush(dark) : SolidBrush(MakeColour(255, 255, 255)));
  if (phase == 2) c.DrawPieAngles(box, 90, 180, pen, SolidBrush(dark));
  if (phase == 4) c.DrawPieAngles(box, -90, 180, pen, SolidBrush(dark));
}

// The width of the "[start - end]" column: the sample with the designators, as on the screen.
int TimeColumnWidth(const Canvas& c, const PrintSources& s) {
  std::string sample = FormatText("[12:00 %s - 24:00 %s]  ", s.regional.morning.c_str(), s.regional.afternoon.c_str());
  return c.TextWidth(FontRole::PrintBody, sample);
}

std::string TimeRange(const PrintSources& s, int start, int end) {
  std::string a = FormatTimeCompact(start, s.regional, Designator::Full);
  std::string b = FormatTimeCompact(end, s.regional, Designator::Full);
  return FormatText("[%s - %s]", a.c_str(), b.c_str());
}

}  // namespace

// ---- a day ------------------------------------------------------------------------------------

bool RenderDayList(PageFlow& flow, const DateStamp& day) {
  const PrintSources& s = flow.Sources();
  std::vector<DayEntry> entries = PrintDayEntries(s, day);
  std::vector<const DayEntry*> pointers;
  for (const DayEntry& e : entries)
    if (!(s.schedule && e.source < 0 && e.source != -kTimeChangeSource)) pointers.push_back(&e);
  DayPageInput input = GatherDayPage(day, s.options, pointers, false);
  std::vector<PrintScheduleItem> items;
  if (s.schedule) items = s.schedule(day);
  for (const PrintScheduleItem& item : items) {
    DayScheduleRow row;
    row.start = item.start, row.end = item.end, row.text = item.text, row.note = !item.note.empty();
    input.schedule.push_back(row);
  }
  std::vector<DayLine> lines = BuildDayLines(input);

  Canvas* c = flow.Page();
  if (!c) return false;
  const Rect& r = flow.Content();
  int indent = c->PixelsPerInch() / 4;
  int timeWidth = TimeColumnWidth(*c, s);
  size_t scheduleRow = 0;
  for (size_t index = 0; index < lines.size(); ++index) {
    const DayLine& l = lines[index];
    if (!flow.Ok()) break;
    // A box with nothing in it is left off the paper.
    if (l.kind == DayLineKind::BoxHead) {
      size_t next = index + 1;
      while (next < lines.size() && lines[next].kind == DayLineKind::ColumnHeads) ++next;
      if (next >= lines.size() || lines[next].section != l.section) continue;
    }
    switch (l.kind) {
      case DayLineKind::Title: {
        int line = c->LineHeight(FontRole::PrintTitle);
        int small = c->LineHeight(FontRole::PrintSmall);
        if (!flow.Room(line + small * 4)) return false;
        c = flow.Page();
        c->DrawTextInRect(FontRole::PrintTitle, Rect{r.left, flow.y, r.right, flow.y + line}, l.text, 0,
                          kTextSingleLine | kTextEndEllipsis);
        flow.y += line;
        std::string labels = l.left.empty() ? l.right : (l.right.empty() ? l.left : l.left + "    " + l.right);
        if (!labels.empty()) flow.Paragraph(FontRole::PrintSmall, labels, 0, MakeColour(64, 64, 64));
        c->FillRect(Rect{r.left, flow.y + small / 4, r.right, flow.y + small / 4 + 2 * Hairline(*c)}, 0);
        flow.y += small / 2;
        break;
      }
      case DayLineKind::JewishDate:
        flow.Paragraph(FontRole::PrintSmall, l.text, 0, MakeColour(64, 64, 64));
        break;
      case DayLineKind::Entry:
        flow.Paragraph(FontRole::PrintBody, l.text, indent / 2,
                       l.colour == kTransparent || l.colour == MakeColour(255, 255, 255) ? 0 : l.colour);
        break;
      case DayLineKind::BoxHead:
        SectionHead(flow, l.text);
        break;
      case DayLineKind::ColumnHeads:
        break;  // the printed rows carry their own column
      case DayLineKind::ScheduleRow: {
        const PrintScheduleItem* item = scheduleRow < items.size() ? &items[scheduleRow] : nullptr;
        ++scheduleRow;
        std::string times = l.columns.size() >= 2 ? "[" + l.columns[0] + " - " + l.columns[1] + "]" : "";
        if (item) times = TimeRange(s, item->start, item->end);
        std::string title = item ? item->text : (l.columns.empty() ? l.text : l.columns.back());
        ColumnRow(flow, FontRole::PrintBody, {r.left + indent / 2, r.left + indent / 2 + timeWidth}, {times, title});
        if (item && !item->note.empty())
          flow.Paragraph(FontRole::PrintSmall, item->note, indent / 2 + timeWidth, MakeColour(64, 64, 64));
        break;
      }
      case DayLineKind::DueRow:
      case DayLineKind::ToDoRow: {
        std::vector<std::string> cols = l.columns;
        if (cols.size() < 2) cols = {"", l.text};
        std::vector<int> xs{r.left + indent / 2};
        for (size_t i = 1; i < cols.size(); ++i) xs.push_back(xs.back() + (i == 1 ? indent * 2 : timeWidth / 2));
        ColumnRow(flow, FontRole::PrintBody, xs, cols, l.colour == kTransparent ? 0 : l.colour);
        break;
      }
      case DayLineKind::SkyLine:
        flow.Paragraph(FontRole::PrintBody, l.text, indent / 2);
        break;
      case DayLineKind::MoonPhase: {
        int line = c->LineHeight(FontRole::PrintBody);
        if (!flow.Room(line)) return false;
        c = flow.Page();
        int size = line * 3 / 4;
        MoonSymbol(*c, Rect{r.left + indent / 2, flow.y + (line - size) / 2, r.left + indent / 2 + size,
                            flow.y + (line - size) / 2 + size},
                   l.phase);
        c->DrawTextInRect(FontRole::PrintBody, Rect{r.left + indent / 2 + size * 2, flow.y, r.right, flow.y + line},
                          l.text, 0, kTextSingleLine | kTextEndEllipsis);
        flow.y += line;
        break;
      }
    }
    c = flow.Page();
    if (!c) return false;
  }
  std::string note = s.dayNote ? s.dayNote(day) : std::string();
  if (!note.empty()) {
    SectionHead(flow, Str(1059));
    flow.Paragraph(FontRole::PrintBody, note, indent / 2);
  }
  Gap(flow, FontRole::PrintTitle, 1);
  return flow.Ok();
}

// ---- notes --------------------------------------------------------------------------------

bool RenderGeneralNotes(PageFlow& flow, const DateStamp& from, const DateStamp& to) {
  const PrintSources& s = flow.Sources();
  if (!TitleBlock(flow, Str(1064), RangeSubtitle(s, from, to))) return false;
  int32_t last = DayNumber(to.month, to.day, to.year);
  int indent = flow.Page()->PixelsPerInch() / 8;
  for (DateStamp d = DateOnly(from); flow.Ok() && DayNumber(d.month, d.day, d.year) <= last;
       d = AddDays(d.month, d.day, d.year, 1)) {
    std::string note = s.dayNote ? s.dayNote(d) : std::string();
    if (note.empty()) continue;
    int body = flow.Page()->LineHeight(FontRole::PrintBody);
    if (!flow.Heading(FontRole::PrintHeading, LongDate(s, d), body * 2)) break;
    flow.Paragraph(FontRole::PrintBody, note, indent);
    Gap(flow, FontRole::PrintBody);
  }
  return flow.Ok();
}

bool RenderOneNote(PageFlow& flow) {
  const PrintSources& s = flow.Sources();
  if (!TitleBlock(flow, s.noteTitle.empty() ? Str(1059) : s.noteTitle, "")) return false;
  return flow.Paragraph(FontRole::PrintBody, s.note, 0);
}

// ---- schedule -----------------------------------------------------------------------------

bool RenderSchedule(PageFlow& flow, const DateStamp& from, const DateStamp& to) {
  const PrintSources& s = flow.Sources();
  if (!TitleBlock(flow, Str(1028), RangeSubtitle(s, from, to))) return false;
  Canvas* c = flow.Page();
  int indent = c->PixelsPerInch() / 8;
  int timeWidth = TimeColumnWidth(*c, s);
  const Rect& r = flow.Content();
  int32_t last = DayNumber(to.month, to.day, to.year);
  for (DateStamp d = DateOnly(from); flow.Ok() && DayNumber(d.month, d.day, d.year) <= last;
       d = AddDays(d.month, d.day, d.year, 1)) {
    std::vector<PrintScheduleItem> items = s.schedule ? s.schedule(d) : std::vector<PrintScheduleItem>{};
    if (items.empty()) continue;
    int body = flow.Page()->LineHeight(FontRole::PrintBody);
    if (!flow.Heading(FontRole::PrintHeading, LongDate(s, d), body * 2)) break;
    for (const PrintScheduleItem& item : items) {
      if (!ColumnRow(flow, FontRole::PrintBody, {r.left + indent, r.left + indent + timeWidth},
                     {TimeRange(s, item.start, item.end), item.text}))
        break;
      if (!item.note.empty())
        flow.Paragraph(FontRole::PrintSmall, item.note, indent + timeWidth, MakeColour(64, 64, 64));
    }
    Gap(flow, FontRole::PrintBody);
  }
  return flow.Ok();
}

// ---- to-do --------------------------------------------------------------------------------

bool RenderToDo(PageFlow& flow) {
  const PrintSources& s = flow.Sources();
  if (!TitleBlock(flow, Str(1036), LongDate(s, s.now))) return false;
  Canvas* c = flow.Page();
  const Rect& r = flow.Content();
  int box = c->LineHeight(FontRole::PrintBody) * 2 / 3;
  int xPriority = r.left + box * 2;
  int xDue = xPriority + c->TextWidth(FontRole::PrintBold, Str(1033)) + box;
  int xItem = xDue + c->TextWidth(FontRole::PrintBody, ShortDate(s, DateStamp{2000, 12, 28}) + " " +
                                                         FormatTimeOfDay(23 * 60 + 59, s.regional)) + box;
  ColumnRow(flow, FontRole::PrintBold, {xPriority, xDue, xItem}, {Str(1033), Str(1034), Str(1035)});
  c = flow.Page();
  if (c) c->FillRect(Rect{r.left, flow.y, r.right, flow.y + Hairline(*c)}, MakeColour(150, 150, 150));
  Gap(flow, FontRole::PrintBody, 4);
  for (const PrintToDoItem& item : s.todo) {
    if (!flow.Ok()) break;
    int line = flow.Page()->LineHeight(FontRole::PrintBody);
    if (!flow.Room(line)) break;
    c = flow.Page();
    // A box to tick, ticked for a completed item.
    Rect b{r.left, flow.y + (line - box) / 2, r.left + box, flow.y + (line - box) / 2 + box};
    c->FrameRect(b, Pen{0, Hairline(*c)});
    if (item.done) {
      Pen tick{0, 2 * Hairline(*c)};
      c->DrawLine({b.left + box / 5, b.top + box / 2}, {b.left + box / 2, b.bottom - box / 5}, tick);
      c->DrawLine({b.left + box / 2, b.bottom - box / 5}, {b.right - box / 6, b.top + box / 6}, tick);
    }
    std::string due = IsValidDate(item.due.month, item.due.day, item.due.year) ? ShortDate(s, item.due) : "";
    if (!due.empty() && item.hasTime) due.append(" ").append(FormatTimeOfDay(item.due.hour * 60 + item.due.minute, s.regional));
    Colour ink = item.done ? MakeColour(110, 110, 110) : 0;
    ColumnRow(flow, FontRole::PrintBody, {xPriority, xDue, xItem}, {std::to_string(item.priority), due, item.text}, ink);
    if (!item.note.empty()) flow.Paragraph(FontRole::PrintSmall, item.note, xItem - r.left, MakeColour(64, 64, 64));
    Gap(flow, FontRole::PrintBody, 4);
  }
  return flow.Ok();
}

// ---- phonebook ------------------------------------------------------------------------------

bool RenderPhonebook(PageFlow& flow, int first, int last) {
  const PrintSources& s = flow.Sources();
  if (!TitleBlock(flow, Str(1026), "")) return false;
  Canvas* c = flow.Page();
  const Rect& r = flow.Content();
  int indent = c->PixelsPerInch() / 4;
  int labelWidth = c->TextWidth(FontRole::PrintBody, "Business Fax:  ");
  for (int i = first; i <= last && i < static_cast<int>(s.phonebook.size()) && flow.Ok(); ++i) {
    const PrintPhoneEntry& e = s.phonebook[static_cast<size_t>(i)];
    int body = flow.Page()->LineHeight(FontRole::PrintBody);
    // The name, the address and the numbers are kept together when they fit on a page.
    size_t addressLines = static_cast<size_t>(std::count(e.address.begin(), e.address.end(), '\n')) + 1;
    int block = body * static_cast<int>(2 + addressLines + e.numbers.size());
    if (!flow.Room(std::min(block, r.Height()))) break;
    c = flow.Page();
    size_t start = 0;
    bool firstLine = true;
    while (start <= e.heading.size()) {
      size_t end = e.heading.find('\n', start);
      std::string part = e.heading.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (!part.empty() && part.back() == '\r') part.pop_back();
      if (!part.empty()) flow.Paragraph(firstLine ? FontRole::PrintBold : FontRole::PrintBody, part, 0);
      firstLine = false;
      if (end == std::string::npos) break;
      start = end + 1;
    }
    if (!e.address.empty()) flow.Paragraph(FontRole::PrintBody, e.address, indent);
    for (const auto& [label, number] : e.numbers)
      ColumnRow(flow, FontRole::PrintBody, {r.left + indent, r.left + indent + labelWidth}, {label, number});
    if (!e.note.empty()) flow.Paragraph(FontRole::PrintSmall, e.note, indent, MakeColour(64, 64, 64));
    c = flow.Page();
    if (!c) break;
    flow.y += body / 3;
    if (flow.y < r.bottom) c->FillRect(Rect{r.left, flow.y, r.right, flow.y + Hairline(*c)}, MakeColour(180, 180, 180));
    flow.y += body / 3;
  }
  return flow.Ok();
}

}  // namespace kv
