// What the "Edit Overlay Event" dialog offers and checks: the repeat list built for a date, the
// fields each kind shows, the checks in their order with the message and the field to focus,
// and the Floating Event offers. The dialog itself only shows these.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calendar/dates.h"
#include "overlays/overlay_event.h"

namespace kv {

// ---- the repeat list ----------------------------------------------------------------------

struct RepeatChoice {
  int kind = 0;
  std::string category;  // "Weekly: ", "Periodic: ", ...; empty for kind 1
  std::string label;     // "Every Tuesday", "Every 2nd Tuesday of month", ...
};

enum class RepeatFor { Overlay, Schedule };

struct RepeatOffer {
  RepeatFor target = RepeatFor::Overlay;
  bool gregorianKinds = true;   // Gregorian mode
  bool jewishKinds = false;     // Jewish events enabled
  int n = 0;                    // 'N' of kinds 3, 13, 14; 0 = not known yet
};

// The choices for a date, in list order.
std::vector<RepeatChoice> Describe(const DateStamp& date, const RepeatOffer& offer);
// The chosen entry as shown in the closed list: no category, " (J)" after a Jewish one.
std::string ChosenRepeatLabel(const RepeatChoice& choice);
// The category column's widest text, "Every Day: ".
std::string RepeatCategoryColumnSample();
// The nth week of the month a day lies in, 1 ... 5, and the first day of that week.
int WeekOfMonth(int day);
int FirstDayOfWeekOfMonth(int day);

// ---- the editor's fields by kind ----------------------------------------------------------

enum class RangeBox { None, Optional, Always };

struct EditorLayout {
  int dateLabel = 0;         // string id of the date label
  int textLabel = 0;         // string id of the text label
  int roomKept = 0;          // characters kept for appended words
  bool nField = false;       // "'&N':"
  int nDefault = 0;
  bool periodDays = false;   // "&# Days:"
  bool afterSunset = false;  // "Occured A&fter Sunset"
  bool anniversaryBoxes = false;
  bool floatingButton = false;
  bool weekendsButton = false;
  bool offsetAndTime = true;
  bool hasDate = true;
  RangeBox range = RangeBox::None;
};
EditorLayout EditorLayoutFor(int kind, bool wedding = true);
int MaxDescriptionLength(int kind);  // 119 less the room kept

// ---- the checks ---------------------------------------------------------------------------

struct EventEditorValues {
  int kind = kKindOnce;
  DateStamp date;              // Gregorian, or Jewish for kinds 60 ... 65
  std::string text;
  int offsetDays = 0;          // as typed, must be >= 0
  bool offsetBefore = false;   // "days &before date"
  std::string timeText;        // empty: no time of day
  int n = 0;                   // kinds 3, 13, 14
  int periodDays = 1;          // kind 61
  bool rangeOn = false;        // "&Start and End Dates"
  DateStamp rangeEnd;
  bool above = false;          // "&Above events with times"; else below
  int weight = 999;
  bool wedding = true;
  bool gifts = true;
  int weekday = 0;             // weekday kinds: taken from the date unless given
  int weekendRule = 0;
  int jewishFlags = 0;         // 63, 64
  uint16_t yahrzeitDays = 0;   // 63: packed alternatives
  uint16_t yahrzeitMonths = 0;
};

enum class EditorField { None, Text, Offset, Time, N, EndDate, Weight };

// Runs the checks in order; on the first failure tells the user and returns the field to
// focus, leaving `event` as it was. On success stores the values into `event` (kind, dates,
// parameter, offset, flags, weights; the zone of a new event is the home zone).
EditorField CheckEventEditor(const EventEditorValues& values, OverlayEvent& event, bool newEvent);

// False (after telling the user) when an event not defined by a Jewish date is opened in
// Jewish mode.
bool CanEditInMode(const OverlayEvent& event, bool jewishMode);

// The values the editor opens with for an event.
EventEditorValues EditorValuesOf(const OverlayEvent& event);

// The weight's help line, "Use the Weight value ... 1 to %d ...".
std::string WeightHelpText(bool timed);

// ---- Floating Event -----------------------------------------------------------------------

struct FloatingOffer {
  std::string dayLabel;      // "3rd"
  std::string weekdayLabel;  // "1st Monday"
  int startDay = 0;          // stored as the day of kind 8: the day after the reference
};
struct FloatingForm {
  std::string title;         // "Floating event falls in March"
  std::string following;     // "on the Tuesday following the:"
  std::vector<FloatingOffer> offers;
};
FloatingForm MakeFloatingForm(const DateStamp& date);

}  // namespace kv
