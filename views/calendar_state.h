// What the calendar views share: the options they are drawn with (taken from the configuration
// by the shell), the selected date that the month, year and day views, the schedule and the
// notes follow, the month change with its checks, and the editors a view opens, which the
// modules that own them install.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/canvas.h"
#include "calendar/dates.h"

namespace kv {

// The colours the views paint with, as canvas colours (0x00RRGGBB).
struct ViewColours {
  Colour window = MakeColour(255, 255, 255);      // system window colour
  Colour windowText = MakeColour(0, 0, 0);        // system window text colour
  Colour selection = MakeColour(0, 120, 215);     // system highlight (focused day-page line)
  Colour selectionText = MakeColour(255, 255, 255);
  Colour theme = MakeColour(192, 192, 192);       // "Theme": blank cells, the year plane
  Colour shadow = MakeColour(160, 160, 160);      // "Shadow": title box shadows
  Colour grid = MakeColour(0, 0, 0);              // "Grid": grid lines
  Colour highlight = MakeColour(255, 0, 0);       // "Highlight": red-letter days, selection frame
};

struct ViewOptions {
  int weekStart = 0;               // first day of the week, 0 Sunday ... 6 Saturday
  bool jewishPrimary = false;      // Jewish dates primary: months step by Jewish months
  bool jewishDateLine = false;     // "Gregorian/Jewish": a Jewish date line in each cell
  bool smallCalendars = true;      // prior and next month beside the month title
  int moonPhases = 0;              // 0 none, 1 drawn circles, 2 icons
  bool saturdayRed = false;
  bool sundayRed = true;
  bool candleLighting = false;
  int candleMinutes = 18;          // before sunset
  bool havdalah = false;
  int havdalahMinutes = 42;        // after sunset
  bool julianDay = false;          // day page: "day of year/days left"
  bool weekNumbers = false;        // day page: "Week N"
  bool sunMoonHidden = false;      // day page: no "Sun and Moon" box
  bool overlayTabsHidden = false;
  bool timeChanges = false;        // day assembly options
  bool clockIcons = false;
  bool notesIndicator = false;
  // The point of reference. Without one, moon phases, candle-lighting and Havdalah are absent.
  bool hasReference = false;
  std::string locationName;
  double latitude = 0;             // degrees, north positive
  double longitude = 0;            // degrees, east positive
  int zone = 0;                    // zone identifier of the point of reference
  int iconSize = 16;               // 16, 24 or 32 by screen width
  int gridPen = 1;                 // width of the month grid's lines: a pixel on screen, more on paper
  bool alphaBlend = true;          // icons are drawn only when the system can blend them
  ViewColours colours;
};

// The selected date. `year`, `month` and `day` are in the primary calendar (Jewish when Jewish
// dates are primary); `date` is always the Gregorian day.
struct CalendarState {
  ViewOptions options;
  int year = 0;
  int month = 0;
  int day = 0;
  DateStamp date;
  int tabOverlay = 0;  // 0: every overlay ("All"); else the overlay's number in the set (1-based)
};

CalendarState& Calendar();
void ResetCalendarState();  // options back to defaults, no date

// Sets the options; the selected date is kept (and re-expressed when the primary calendar
// changes).
void SetViewOptions(const ViewOptions& options);

// Selects a Gregorian date (and with it its month in the primary calendar).
void SelectGregorianDate(const DateStamp& date);
// Moves the selected date by a number of days (Move back and forward outside the month and
// year views).
void StepSelectedDate(int days);
// Selects a day of the displayed month (clamped to the month).
void SelectDay(int day);

// Month change. direction 0: previous month, 1: next month, 2 + m: month m of the current year
// (day 1 selected). selectFirst selects day 1, otherwise the day stays (clamped to the month).
// A Gregorian year before 1583 is refused with "Gregorian year must be 1583 or greater" (stop
// icon); false when the month did not change.
bool GoToMonth(int direction, bool selectFirst);

// Length of the displayed month.
int DisplayedMonthLength();

// Called after every change of the selected date or displayed month (the shell tells the
// schedule and notes windows and repaints the views). Empty: nothing is told.
void SetDateChangedHook(std::function<void()> hook);
void NotifyDateChanged();

// The editors a view opens, installed by the modules that own them. A missing editor makes the
// action unavailable (greyed in Quick Edit) instead of a dead click.
struct ViewEditors {
  std::function<void(int32_t source, const DateStamp& day)> openOverlayEvent;  // source: event-list position
  std::function<void(int32_t number, const DateStamp& day)> openScheduleItem;  // number in the schedule store
  std::function<void(const DateStamp& day, int startMinute, int endMinute)> newScheduleItem;  // -1: no time chosen
  std::function<void(const DateStamp& day)> newOverlayEvent;
  std::function<void(int slot)> openToDoItem;                                   // the item's slot in the to-do store
};
ViewEditors& Editors();

}  // namespace kv
