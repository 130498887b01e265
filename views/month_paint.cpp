#include "views/month_paint.h"

#include "views/small_calendar.h"

#include <algorithm>
#include <cstdlib>

#include "calendar/date_format.h"
#include "calendar/regional.h"
#include "overlays/day_assembly.h"
#include "resources/strings.h"
#include "sky/sun_moon.h"

namespace kv {
namespace {

constexpr uint16_t kAccentTextColour = 1u << 5;
constexpr uint16_t kAccentPattern = 1u << 6;
constexpr uint16_t kAccentIcon = 1u << 7;

Rect Offset(const Rect& r, Point o) { return Rect{r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y}; }

std::string GiftText(const DayEntry& e) { return e.gift ? std::string(StringText(1951 + e.gift)) : std::string(); }

int WrappedHeight(const Canvas& canvas, std::string_view text, int width, int lineHeight) {
  return static_cast<int>(WrapText(canvas, FontRole::Event, text, width).size()) * lineHeight;
}

bool IsRedLetter(const ViewOptions& o, const DayCellInput& cell) {
  return (cell.weekday == 0 && o.sundayRed) || (cell.weekday == 6 && o.saturdayRed) || cell.highlightMark;
}

// Candle-lighting on Fridays, Havdalah on Saturdays: the time, or the advice when the sun does
// not set; empty when the day has neither.
std::string SabbathTimeText(const ViewOptions& o, const DayCellInput& cell, int& icon) {
  if (!o.hasReference) return {};
  std::optional<int> minutes;
  if (cell.weekday == 5 && o.candleLighting) {
    icon = kCandleLightingIcon;
    minutes = CandleLightingTime(cell.date.year, cell.date.month, cell.date.day, o.candleMinutes);
  } else if (cell.weekday == 6 && o.havdalah) {
    icon = kHavdalahIcon;
    minutes = HavdalahTime(cell.date.year, cell.date.month, cell.date.day, o.havdalahMinutes);
  } else {
    return {};
  }
  if (!minutes) return std::string(StringText(1130));
  return FormatTimeOfDay(((*minutes % 1440) + 1440) % 1440, Regional());
}

// A small sheet of paper with a folded corner: the day has a note.
void DrawNoteMark(Canvas& canvas, Point at, int size) {
  Rect sheet{at.x, at.y, at.x + size * 3 / 4, at.y + size};
  canvas.FillRect(sheet, MakeColour(255, 240, 150));
  canvas.FrameRect(sheet, Pen{MakeColour(128, 112, 0), 1});
  int fold = std::max(2, size / 4);
  Point corner[] = {{sheet.right - fold - 1, sheet.top}, {sheet.right - 1, sheet.top + fold}, {sheet.right - fold - 1, sheet.top + fold}};
  canvas.DrawPolygon(corner, Pen{MakeColour(128, 112, 0), 1}, SolidBrush(MakeColour(230, 210, 100)));
  for (int y = sheet.top + fold + 2; y < sheet.bottom - 2; y += 3)
    canvas.DrawLine({sheet.left + 2, y}, {sheet.right - 2, y}, Pen{MakeColour(160, 150, 90), 1});
}

void DrawMoon(Canvas& canvas, const ViewOptions& o, Rect bounds, int phase) {
  if (o.moonPhases == 2) {
    canvas.DrawIcon(kMoonIconFirst + phase - 1, bounds);
    return;
  }
  const Pen outline{MakeColour(0, 0, 0), 1};
  const Brush black = SolidBrush(MakeColour(0, 0, 0));
  if (phase == 1) {
    canvas.DrawEllipse(bounds, outline, black);
    return;
  }
  canvas.DrawEllipse(bounds, outline, SolidBrush(o.colours.window));
  int cx = (bounds.left + bounds.right) / 2;
  Point top{cx, bounds.top}, bottom{cx, bounds.bottom};
  // Counter-clockwise from the top to the bottom is the left half.
  if (phase == 2) canvas.DrawPie(bounds, top, bottom, outline, black);
  else if (phase == 4) canvas.DrawPie(bounds, bottom, top, outline, black);
}

}  // namespace

CellEntries MutableDayEntries(int day) {
  CellEntries out;
  AssemblyState& s = Assembly();
  if (day < 1 || day > 31) return out;
  // A chain can hold each entry once at most: a damaged one must not loop.
  for (uint16_t i = s.first[static_cast<size_t>(day)]; i != 0 && i <= s.pool.size() && out.size() < s.pool.size();) {
    DayEntry& e = s.pool[i - 1u];
    out.push_back(&e);
    i = e.next;
  }
  return out;
}

DayCellInput DayCellFromAssembly(const MonthLayout& layout, int day, int selectedDay,
                                 const std::array<std::string, 32>& otherDates) {
  const AssemblyState& s = Assembly();
  DayCellInput c;
  c.day = day;
  c.date = GregorianDateOf(layout.shown, day);
  c.weekday = (layout.shown.firstWeekday + day - 1) % 7;
  c.selected = day == selectedDay;
  size_t d = static_cast<size_t>(std::clamp(day, 0, 31));
  c.highlightMark = s.slots[kSlotCurrent].marks[d] != 0;
  c.noteMark = (s.flags[d] & kDayHasNote) != 0;
  c.moonPhase = s.moon[d].phase;
  if (layout.jewishLine) c.otherDate = otherDates[d];
  return c;
}

std::string EntryLineText(const DayEntry& e) {
  if (e.offset < 0) return FormatText(std::string(StringText(1128)).c_str(), -e.offset) + e.text;
  if (e.offset > 0) return FormatText(std::string(StringText(1129)).c_str(), e.offset) + e.text;
  return e.text;
}

DayCellPicture PaintDayCell(Canvas& canvas, const MonthLayout& layout, const ViewOptions& o, const DayCellInput& cell,
                            const CellEntries& entries, Point origin) {
  DayCellPicture pic;
  const Size size = cell.size.cx > 0 ? cell.size : Size{layout.cw - 1, layout.ch - 1};
  const int L = layout.fonts.cellLine, E = layout.fonts.eventLine;
  const int ch = size.cy + 1;  // the cell's rows are counted from the grid line above it
  const Rect whole{0, 0, size.cx, size.cy};
  canvas.PushClip(Offset(whole, origin));
  canvas.FillRect(Offset(whole, origin), o.colours.window);

  const bool moonShown = o.moonPhases != 0 && o.hasReference && cell.moonPhase >= 1 && cell.moonPhase <= 4;
  const int textRight = moonShown ? std::min(layout.textRight, layout.moon.x) : layout.textRight;
  const int jewishRaise = cell.otherDate.empty() ? 0 : L;
  const int areaBottom = ch - 1 - jewishRaise;
  const int areaLeft = 2, width = std::max(1, textRight - areaLeft);
  int x = layout.numberBox.right + 2;  // the top line fills from after the day number

  if (!entries.empty()) {
    // Patterns first: the first solid one, and every hatch.
    bool solidDone = false;
    for (const DayEntry* e : entries) {
      if (!(e->accentFlags & kAccentPattern) || e->pattern == 0) continue;
      Colour c = ColourFromColorRef(e->patternColour);
      if (e->pattern == 1) {
        if (!solidDone) canvas.FillRect(Offset(whole, origin), c);
        solidDone = true;
      } else if (e->pattern <= 7) {
        canvas.FillHatch(Offset(whole, origin), static_cast<Hatch>(e->pattern - 1), c, kTransparent);
      }
    }
  }

  // Measure: each entry's wrapped height, with its gift line.
  std::vector<int> heights;
  int total = 0;
  for (const DayEntry* e : entries) {
    int h = WrappedHeight(canvas, EntryLineText(*e), width, E);
    if (e->gift) h += WrappedHeight(canvas, GiftText(*e), width, E);
    heights.push_back(h);
    total += h;
  }

  // Candle-lighting or Havdalah on the top line.
  int icon = 0;
  pic.timeText = SabbathTimeText(o, cell, icon);
  if (!pic.timeText.empty()) {
    canvas.DrawIcon(icon, Offset(Rect{x, 0, x + o.iconSize, o.iconSize}, origin));
    x += o.iconSize + 2;
    canvas.DrawText(FontRole::Event, Point{origin.x + x, origin.y + (L - E) / 2}, pic.timeText, o.colours.windowText);
    x += canvas.TextWidth(FontRole::Event, pic.timeText) + 4;
  }

  // Lines from the bottom up: the block ends at the bottom of the event area.
  int y = areaBottom - std::min(total, layout.eventArea);
  for (size_t i = 0; i < entries.size(); ++i) {
    DayEntry& e = *entries[i];
    if (y >= areaBottom) {
      ++y;  // no room: the entry still counts, so the overflow shows
      continue;
    }
    Colour colour = (e.accentFlags & kAccentTextColour) ? ColourFromColorRef(e.textColour) : o.colours.windowText;
    auto drawBlock = [&](const std::string& text) {
      int top = y, drawnRight = areaLeft;
      for (const std::string& line : WrapText(canvas, FontRole::Event, text, width)) {
        if (y + E > areaBottom) break;
        canvas.DrawText(FontRole::Event, Point{origin.x + areaLeft, origin.y + y}, line, colour);
        drawnRight = std::max(drawnRight, areaLeft + canvas.TextWidth(FontRole::Event, line));
        y += E;
      }
      return Rect{areaLeft, top, std::min(drawnRight, textRight), y};
    };
    int start = y;
    std::string text = EntryLineText(e);
    Rect drawn = drawBlock(text);
    if (!drawn.Empty()) {
      e.left = drawn.left, e.top = drawn.top, e.right = textRight, e.bottom = drawn.bottom;
      pic.lines.push_back({text, Rect{drawn.left, drawn.top, textRight, drawn.bottom}});
      if (e.gift && y < areaBottom) {
        std::string gift = GiftText(e);
        Rect g = drawBlock(gift);
        if (!g.Empty()) {
          pic.lines.push_back({gift, Rect{g.left, g.top, textRight, g.bottom}});
          e.bottom = g.bottom;
        }
      }
    }
    y = start + heights[i];
  }

  // Icons of the entries on the top line.
  if (o.alphaBlend) {
    for (const DayEntry* e : entries) {
      if (!(e->accentFlags & kAccentIcon) || e->icon == 0) continue;
      canvas.DrawIcon(e->icon, Offset(Rect{x, 0, x + o.iconSize, o.iconSize}, origin));
      x += o.iconSize + 1;
    }
  }

  // More than fits: a small square in the bottom-right corner.
  if (y > areaBottom) {
    pic.overflow = true;
    int side = 2 * L / 3;
    canvas.FillRect(Offset(Rect{size.cx - side, size.cy - side, size.cx - 1, size.cy - 1}, origin), o.colours.windowText);
  }

  // The day number, red-letter days in the highlight colour.
  pic.numberColour = IsRedLetter(o, cell) ? o.colours.highlight : o.colours.windowText;
  std::string number = cell.day < 10 ? FormatText("%d ", cell.day) : FormatText("%d", cell.day);
  canvas.DrawText(FontRole::Cell, Point{origin.x + layout.numberBox.left, origin.y + layout.numberBox.top}, number,
                  pic.numberColour);

  if (cell.noteMark) DrawNoteMark(canvas, Point{origin.x + x, origin.y + 2}, std::max(8, L - 4));

  if (moonShown) {
    Rect m{layout.moon.x, layout.moon.y, layout.moon.x + layout.moonSize, layout.moon.y + layout.moonSize};
    DrawMoon(canvas, o, Offset(m, origin), cell.moonPhase);
  }

  if (!cell.otherDate.empty())
    canvas.DrawText(FontRole::Cell, Point{origin.x + 2, origin.y + ch - 1 - L}, cell.otherDate, o.colours.windowText);

  if (cell.selected) canvas.FrameRect(Offset(whole, origin), Pen{o.colours.highlight, 2});
  canvas.PopClip();
  return pic;
}

// The grid's lines: the line under the weekday row, the columns' and the rows' lines.
void PaintMonthGrid(Canvas& canvas, const MonthLayout& l, const ViewOptions& o, Point origin) {
  const Pen grid{o.colours.grid, std::max(1, o.gridPen)};
  auto at = [&](int x, int y) { return Point{origin.x + x, origin.y + y}; };
  // When the plane's size divides evenly the closing lines would fall just outside it: they
  // are drawn on its last pixel instead.
  auto lastX = [&](int x) { return l.width > 0 ? std::min(x, l.width - 1) : x; };
  auto lastY = [&](int y) { return l.height > 0 ? std::min(y, l.height - 1) : y; };
  canvas.DrawLine(at(0, l.gridTop), at(lastX(l.gridWidth) + 1, l.gridTop), grid);
  for (int c = 0; c <= 7; ++c)
    canvas.DrawLine(at(lastX(c * l.cw), l.gridTop), at(lastX(c * l.cw), lastY(l.gridBottom) + 1), grid);
  for (int r = 1; r <= l.rows; ++r)
    canvas.DrawLine(at(0, lastY(l.gridTop + r * l.ch)), at(lastX(l.gridWidth) + 1, lastY(l.gridTop + r * l.ch)), grid);
}

void PaintMonthPlane(Canvas& canvas, const MonthLayout& l, const ViewOptions& o, Point origin) {
  canvas.FillRect(Rect{origin.x, origin.y, origin.x + std::max(l.width, l.gridWidth + 1), origin.y + std::max(l.height, l.gridBottom + 1)},
                  o.colours.window);
  // The blank cells before day 1 and after the last day.
  int lastColumn = l.shown.length > 0 ? l.Column(l.shown.length) : 6;
  for (int c = 0; c < 7; ++c) {
    int left = c * l.cw;
    if (c < l.shown.firstColumn)
      canvas.FillRect(Rect{origin.x + left, origin.y + l.gridTop, origin.x + left + l.cw, origin.y + l.gridTop + l.ch}, o.colours.theme);
    if (c > lastColumn && l.rows > 0) {
      int top = l.gridTop + (l.rows - 1) * l.ch;
      canvas.FillRect(Rect{origin.x + left, origin.y + top, origin.x + left + l.cw, origin.y + top + l.ch}, o.colours.theme);
    }
  }
  std::array<std::string, 7> names = WeekdayRow(o.weekStart);
  for (int c = 0; c < 7; ++c)
    canvas.DrawTextInRect(FontRole::Cell, Rect{origin.x + c * l.cw, origin.y + l.weekdayTop, origin.x + (c + 1) * l.cw, origin.y + l.gridTop},
                          names[static_cast<size_t>(c)], o.colours.windowText, kTextCentre | kTextSingleLine | kTextEndEllipsis);
  PaintMonthGrid(canvas, l, o, origin);
}

void PaintYearLabel(Canvas& canvas, const Rect& rect, const std::string& text, const ViewOptions& o) {
  canvas.FillRect(rect, o.colours.window);
  canvas.DrawTextInRect(FontRole::Bold, rect, text, o.colours.windowText, kTextCentre | kTextVCentre | kTextSingleLine);
}

void PaintMonthTitle(Canvas& canvas, const Rect& rect, const std::string& text, const ViewOptions& o) {
  canvas.FillRect(rect, o.colours.window);
  canvas.DrawTextInRect(FontRole::Title, rect, text, o.colours.windowText, kTextCentre | kTextVCentre | kTextSingleLine);
}

int DayAtPoint(const MonthLayout& l, Point p) {
  if (l.cw <= 0 || l.ch <= 0 || p.x < 0 || p.x >= l.gridWidth || p.y < l.gridTop || p.y >= l.gridBottom) return 0;
  int index = (p.y - l.gridTop) / l.ch * 7 + p.x / l.cw - l.shown.firstColumn + 1;
  return index >= 1 && index <= l.shown.length ? index : 0;
}

const DayEntry* EntryAtPoint(const CellEntries& entries, Point p) {
  for (const DayEntry* e : entries) {
    if (e->source == kTimeChangeSource) continue;
    if (Rect{e->left, e->top, e->right, e->bottom}.Contains(p)) return e;
  }
  return nullptr;
}

MonthPicture PaintMonth(Canvas& canvas, const MonthLayout& l, const ViewOptions& o, int selectedDay) {
  MonthPicture pic;
  PaintMonthPlane(canvas, l, o);
  PaintYearLabel(canvas, l.yearLabel, YearLabelText(l.shown, o.smallCalendars), o);
  PaintMonthTitle(canvas, l.title, MonthTitleText(l.shown), o);
  // The prior and next months in the header, with their highlight marks when gathered.
  const Rect* headers[2] = {&l.previousCalendar, &l.nextCalendar};
  for (int side = 0; side < 2; ++side) {
    if (headers[side]->Empty()) continue;
    int year = l.shown.year, month = l.shown.month;
    bool jewish = l.shown.jewish;
    if (side == 0) PreviousMonth(year, month, jewish);
    else NextMonth(year, month, jewish);
    SmallCalendarInput input = SmallCalendarFor(year, month, jewish, o);
    const MonthSlot& slot = Assembly().slots[static_cast<size_t>(side == 0 ? kSlotPrevious : kSlotNext)];
    if (slot.year == year && slot.month == month) input.marks = slot.marks;
    PaintSmallCalendar(canvas, *headers[side], input);
  }
  std::array<std::string, 32> other;
  if (l.jewishLine) other = OtherCalendarLines(l.shown);
  for (int d = 1; d <= l.shown.length; ++d) {
    Rect r = l.CellRect(d);
    pic.cells.push_back(PaintDayCell(canvas, l, o, DayCellFromAssembly(l, d, selectedDay, other), MutableDayEntries(d),
                                     Point{r.left, r.top}));
  }
  // A line wider than a pixel reaches into the cells, whose backgrounds have covered it.
  if (o.gridPen > 1) PaintMonthGrid(canvas, l, o);
  return pic;
}

}  // namespace kv
