#include "views/month_layout.h"

#include <algorithm>

#include "calendar/jewish.h"
#include "overlays/day_assembly.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kBandPad = 4;

int SmallCalendarHeight(const MonthFontMeasures& f) { return 8 * f.smallLine + 4; }
int SmallCalendarWidth(const MonthFontMeasures& f) { return 7 * (f.smallLine * 3 / 2); }

int TitleBandHeight(const MonthFontMeasures& f, bool smallCalendars) {
  int text = smallCalendars ? f.cellLine + 2 + f.titleLine + 2 + 3 * kBandPad : f.titleLine + 2 + 2 * kBandPad;
  return smallCalendars ? std::max(SmallCalendarHeight(f) + 2 * kBandPad, text) : text;
}

int SmallestCellWidth(const MonthFontMeasures& f) { return std::max(6 * f.digitWidth, 10 * f.eventCharWidth); }
int SmallestCellHeight(const MonthFontMeasures& f, bool jewishLine) {
  return f.cellLine + 2 + 2 * f.eventLine + (jewishLine ? f.cellLine : 0) + 2;
}

}  // namespace

MonthFontMeasures MeasureMonthFonts(const Canvas& canvas) {
  MonthFontMeasures m;
  m.cellLine = std::max(1, canvas.LineHeight(FontRole::Cell));
  m.eventLine = std::max(1, canvas.LineHeight(FontRole::Event));
  m.digitWidth = std::max(1, canvas.TextWidth(FontRole::Cell, "0"));
  m.titleLine = std::max(1, canvas.LineHeight(FontRole::Title));
  m.smallLine = std::max(1, canvas.LineHeight(FontRole::Small));
  m.eventCharWidth = std::max(1, canvas.Metrics(FontRole::Event).averageWidth);
  return m;
}

DisplayedMonth DescribeMonth(int year, int month, bool jewish, int weekStart) {
  DisplayedMonth d;
  d.year = year, d.month = month, d.jewish = jewish;
  if (jewish) {
    d.length = JewishMonthLength(month, year);
    DateStamp first = JewishToGregorian(JewishDate{year, month, 1});
    d.firstWeekday = Weekday(first.month, first.day, first.year);
  } else {
    d.length = MonthLength(month, year);
    d.firstWeekday = Weekday(month, 1, year);
  }
  d.firstColumn = ((d.firstWeekday - weekStart) % 7 + 7) % 7;
  return d;
}

Rect MonthLayout::CellRect(int day) const {
  int left = Column(day) * cw, top = gridTop + Row(day) * ch;
  return Rect{left + 1, top + 1, left + cw, top + ch};
}

Size MonthMinimumSize(const MonthFontMeasures& f, const ViewOptions& o) {
  int band = TitleBandHeight(f, o.smallCalendars);
  int width = 7 * SmallestCellWidth(f);
  if (o.smallCalendars) width = std::max(width, 4 * SmallCalendarWidth(f));
  int height = band + f.cellLine + 1 + 6 * SmallestCellHeight(f, o.jewishDateLine) + 1;
  return Size{width + 1, height};
}

MonthLayout LayOutMonth(const MonthLayoutInput& in) {
  static const ViewOptions kDefaults;
  const ViewOptions& o = in.options ? *in.options : kDefaults;
  MonthLayout l;
  l.fonts = in.fonts;
  l.shown = DescribeMonth(in.year, in.month, o.jewishPrimary, o.weekStart);
  l.width = in.width, l.height = in.height;
  const int L = in.fonts.cellLine;
  // One pixel is kept at the right and the bottom so the grid's closing lines stay inside the plane.
  l.cw = std::max(0, in.width) / 7;
  l.gridWidth = 7 * l.cw;

  // The title band: the small calendars at its two ends, the year label and the title between.
  l.titleBottom = TitleBandHeight(in.fonts, o.smallCalendars);
  if (o.smallCalendars) {
    int calW = std::min(SmallCalendarWidth(in.fonts), l.gridWidth / 4);
    int calH = SmallCalendarHeight(in.fonts);
    int top = (l.titleBottom - calH) / 2;
    l.previousCalendar = Rect{kBandPad, top, kBandPad + calW, top + calH};
    l.nextCalendar = Rect{l.gridWidth - kBandPad - calW, top, l.gridWidth - kBandPad, top + calH};
    int left = l.previousCalendar.right + kBandPad, right = l.nextCalendar.left - kBandPad;
    int textTop = (l.titleBottom - (L + 2 + in.fonts.titleLine + 2 + kBandPad)) / 2;
    l.yearLabel = Rect{left, textTop, right, textTop + L + 2};
    l.title = Rect{left, l.yearLabel.bottom + kBandPad, right, l.yearLabel.bottom + kBandPad + in.fonts.titleLine + 2};
  } else {
    int lineTop = kBandPad;
    l.title = Rect{l.gridWidth / 4, lineTop, l.gridWidth - l.gridWidth / 4, lineTop + in.fonts.titleLine + 2};
    int labelTop = lineTop + (in.fonts.titleLine + 2 - (L + 2)) / 2;
    l.yearLabel = Rect{kBandPad, labelTop, l.gridWidth / 4, labelTop + L + 2};
  }

  l.weekdayTop = l.titleBottom;
  l.gridTop = l.titleBottom + L + 1;
  l.rows = (l.shown.firstColumn + l.shown.length + 6) / 7;
  l.ch = l.rows > 0 ? std::max(0, in.height - l.gridTop - in.scrollY) / l.rows : 0;
  l.gridBottom = l.gridTop + l.rows * l.ch;
  l.jewishLine = o.jewishDateLine;
  int area = std::max(l.ch - L - 2 - (l.jewishLine ? L : 0), 0);
  l.eventArea = area / in.fonts.eventLine * in.fonts.eventLine;
  l.numberBox = Rect{2, 0, 2 * in.fonts.digitWidth + 2, L};
  l.textRight = l.cw - 3;
  l.moonSize = std::max(6, L * 3 / 4);
  l.moon = Point{l.cw - l.moonSize - 3, 2};
  l.scrollStepX = l.cw / 2;
  l.scrollStepY = l.ch / 2;
  return l;
}

MonthLayout EnlargedCellLayout(const MonthLayout& layout) {
  MonthLayout e = layout;
  e.textRight += layout.cw;
  e.moon.x += layout.cw;
  e.eventArea += layout.ch;
  e.cw = 2 * layout.cw;
  e.ch = 2 * layout.ch;
  return e;
}

Rect EnlargedCellRect(const Rect& cell, int cw, int ch, int clientWidth, int gridBottom) {
  Rect r{cell.left - cw / 2, cell.top - ch / 2, cell.right + cw / 2, cell.bottom + ch / 2};
  auto shift = [](int& low, int& high, int min, int max) {
    if (high > max) low -= high - max, high = max;
    if (low < min) high += min - low, low = min;
  };
  shift(r.left, r.right, 0, clientWidth);
  shift(r.top, r.bottom, 0, gridBottom);
  return r;
}

std::string MonthTitleText(const DisplayedMonth& shown) {
  if (shown.jewish) return JewishSpacedMonthName(shown.month, IsJewishLeapYear(shown.year));
  return std::string(StringText(IDS_SPACED_MONTH_FIRST + shown.month - 1));
}

std::string YearLabelText(const DisplayedMonth& shown, bool smallCalendars) {
  if (smallCalendars) return FormatText("%d", shown.year);
  std::string name = shown.jewish ? JewishMonthName(shown.month, IsJewishLeapYear(shown.year))
                                  : std::string(StringText(IDS_MONTH_FIRST + shown.month - 1));
  return FormatText("%s %d", name.c_str(), shown.year);
}

std::array<std::string, 7> WeekdayRow(int weekStart) {
  std::array<std::string, 7> names;
  for (int c = 0; c < 7; ++c) names[static_cast<size_t>(c)] = std::string(StringText(IDS_WEEKDAY_FIRST + (c + weekStart) % 7));
  return names;
}

DateStamp GregorianDateOf(const DisplayedMonth& shown, int day) {
  if (shown.jewish) return JewishToGregorian(JewishDate{shown.year, shown.month, day});
  return DateStamp{shown.year, static_cast<uint16_t>(shown.month), static_cast<uint16_t>(day), 0, 0};
}

std::array<std::string, 32> OtherCalendarLines(const DisplayedMonth& shown) {
  std::array<std::string, 32> lines;
  if (shown.length <= 0) return lines;
  if (shown.jewish) {
    for (int d = 1; d <= shown.length; ++d) {
      DateStamp g = GregorianDateOf(shown, d);
      lines[static_cast<size_t>(d)] =
          FormatText("%d %s", g.day, std::string(StringText(IDS_MONTH_FIRST + g.month - 1)).c_str());
    }
    return lines;
  }
  // Step through the (at most three) Jewish months the Gregorian month touches.
  std::vector<JewishMonthPart> parts = JewishMonthsOfGregorianMonth(shown.year, shown.month);
  for (size_t p = 0; p < parts.size(); ++p) {
    const JewishMonthPart& part = parts[p];
    int firstDay = part.firstGregorianDay;
    int lastDay = p + 1 < parts.size() ? parts[p + 1].firstGregorianDay - 1 : shown.length;
    JewishDate j = GregorianToJewish(shown.month, firstDay, shown.year);
    std::string name = JewishMonthName(part.month, IsJewishLeapYear(part.year));
    for (int d = firstDay; d <= lastDay && d <= shown.length; ++d)
      lines[static_cast<size_t>(d)] = FormatText("%d %s", j.day + (d - firstDay), name.c_str());
  }
  return lines;
}

}  // namespace kv
