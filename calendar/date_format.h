// Dates and times of day as text in the user's formats.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "calendar/regional.h"

namespace kv {

// "st", "nd", "rd" or "th".
const char* OrdinalSuffix(int number);

// "Charles' ", "Max' ", "Anna's ": the possessive of a name, with its trailing blank.
std::string Possessive(std::string_view name);

// The parts a date picture can show. The Gregorian and the Jewish calendar fill it with their
// own month names.
struct PictureDate {
  int year = 0;
  int month = 0;
  int day = 0;
  std::string_view monthName;
  std::string_view weekdayName;
};

// Applies a date picture: M, MM, MMM, MMMM; d, dd, ddd, dddd; yy, yyyy ("y" always takes two
// characters); text between single quotes is copied as it stands, as is any other character.
std::string FormatDatePicture(std::string_view picture, const PictureDate& date);

// A Gregorian date with the regional long or short picture, or with a picture of the caller's.
std::string FormatGregorianDate(std::string_view picture, int month, int day, int year);
std::string FormatLongDate(int month, int day, int year);
std::string FormatShortDate(int month, int day, int year);

// Time of day, full form: "9:05 AM", "09:05 AM", "21:05" (minutes since midnight, 0 ... 1439).
std::string FormatTimeOfDay(int minutes, const RegionalSettings& regional);

// How the compact form marks morning and afternoon in 12-hour mode.
enum class Designator { Letter, Full };  // "9:05a" or "9:05 AM"

// Time of day, compact form for cells and lists. Values above 1440 are brought into
// 1 ... 1440 first, so an end at midnight shows as 24:00 (12:00a). When `measure` is given and
// the hour has a single digit, `digitWidth` receives the width of one digit so that callers can
// right-align a column; otherwise it receives 0.
using MeasureText = std::function<int(std::string_view)>;
std::string FormatTimeCompact(int minutes, const RegionalSettings& regional, Designator designator,
                              const MeasureText& measure = nullptr, int* digitWidth = nullptr);

// "%d/%d": day of year and days left in the year; "Week %d".
std::string JulianDayLabel(int month, int day, int year);
std::string WeekLabel(int month, int day, int year);

}  // namespace kv
