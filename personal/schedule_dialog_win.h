// The "Schedule Event" dialog (template 200): one schedule item or series on the tabs "Event"
// and "Alarm". Its date and time fields are the program's date and time boxes, found by their
// window classes in the template.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "calendar/dates.h"
#include "personal/schedule_dialog.h"

namespace kv {

// Opens the dialog over `owner` for the stored item `id` that the calendar shows on `day`, or
// for a new item on `day` when `id` is 0 (startMinute / endMinute -1: no time chosen). What
// the saved item leaves for the next new one goes back into `defaults`. True when the schedule
// changed.
bool RunScheduleDialog(HWND owner, const DateStamp& day, uint16_t id, int startMinute, int endMinute,
                       SchedDialogDefaults& defaults);

// Picks an item's zone ("Time &Zone..."): the zone chosen, or nothing when cancelled. Until one
// is installed the button is greyed and the item keeps the zone it has.
using ScheduleZonePicker = std::function<std::optional<int>(HWND owner, int zone, const DateStamp& date)>;
void SetScheduleZonePicker(ScheduleZonePicker picker);

}  // namespace kv
