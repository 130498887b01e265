#include "views/calendar_state.h"

#include <algorithm>

#include "base/messages.h"
#include "calendar/jewish.h"
#include "overlays/day_assembly.h"
#include "resources/strings.h"

namespace kv {
namespace {

struct StateHolder {
  CalendarState state;
  std::function<void()> dateChanged;
  ViewEditors editors;
};

StateHolder& Holder() {
  static StateHolder holder;
  return holder;
}

int LengthOf(int year, int month, bool jewish) {
  return jewish ? JewishMonthLength(month, year) : MonthLength(month, year);
}

// Re-derives the primary-calendar position from the Gregorian date.
void PositionFromDate(CalendarState& s) {
  if (s.date.year == 0) return;
  if (s.options.jewishPrimary) {
    JewishDate j = GregorianToJewish(s.date.month, s.date.day, s.date.year);
    s.year = j.year, s.month = j.month, s.day = j.day;
  } else {
    s.year = s.date.year, s.month = s.date.month, s.day = s.date.day;
  }
}

// Re-derives the Gregorian date from the primary-calendar position.
void DateFromPosition(CalendarState& s) {
  if (s.options.jewishPrimary) {
    JewishDate j;
    j.year = s.year, j.month = s.month, j.day = s.day;
    s.date = JewishToGregorian(j);
  } else {
    s.date = DateStamp{s.year, static_cast<uint16_t>(s.month), static_cast<uint16_t>(s.day), 0, 0};
  }
}

}  // namespace

CalendarState& Calendar() { return Holder().state; }

void ResetCalendarState() { Holder().state = CalendarState{}; }

void SetViewOptions(const ViewOptions& options) {
  CalendarState& s = Calendar();
  s.options = options;
  PositionFromDate(s);
}

void SelectGregorianDate(const DateStamp& date) {
  CalendarState& s = Calendar();
  s.date = DateStamp{date.year, date.month, date.day, 0, 0};
  PositionFromDate(s);
}

void StepSelectedDate(int days) {
  const DateStamp& d = Calendar().date;
  SelectGregorianDate(AddDays(d.month, d.day, d.year, days));
}

void SelectDay(int day) {
  CalendarState& s = Calendar();
  s.day = std::clamp(day, 1, std::max(1, DisplayedMonthLength()));
  DateFromPosition(s);
}

int DisplayedMonthLength() {
  const CalendarState& s = Calendar();
  return s.year == 0 ? 0 : LengthOf(s.year, s.month, s.options.jewishPrimary);
}

bool GoToMonth(int direction, bool selectFirst) {
  CalendarState& s = Calendar();
  bool jewish = s.options.jewishPrimary;
  int year = s.year, month = s.month;
  if (direction == 0) PreviousMonth(year, month, jewish);
  else if (direction == 1) NextMonth(year, month, jewish);
  else month = direction - 2, selectFirst = true;
  if (jewish) {
    // Adar II exists in leap years only; the first Gregorian day must stay in the supported range.
    if (month == 13 && !IsJewishLeapYear(year)) month = 6;
    JewishDate first;
    first.year = year, first.month = month, first.day = 1;
    if (!IsValidJewishDate(first)) return false;
  } else if (year < 1583 || month < 1 || month > 12) {
    if (year < 1583) {
      UserMessage m;
      m.text = std::string(StringText(IDS_GREGORIAN_YEAR_LIMIT));
      m.icon = MsgIcon::Stop;
      m.beep = MsgBeep::Stop;
      ShowUserMessage(m);
    }
    return false;
  }
  s.year = year, s.month = month;
  s.day = selectFirst ? 1 : std::min<int>(s.day, LengthOf(year, month, jewish));
  DateFromPosition(s);
  return true;
}

void SetDateChangedHook(std::function<void()> hook) { Holder().dateChanged = std::move(hook); }

void NotifyDateChanged() {
  if (Holder().dateChanged) Holder().dateChanged();
}

ViewEditors& Editors() { return Holder().editors; }

}  // namespace kv
