#include "views/month_keys.h"

#include "views/calendar_state.h"

namespace kv {
namespace {

MonthKeyResult SelectIfOther(int day) {
  if (day < 1 || day > DisplayedMonthLength()) return MonthKeyResult::None;
  if (day == Calendar().day) return MonthKeyResult::None;
  SelectDay(day);
  return MonthKeyResult::DayChanged;
}

}  // namespace

MonthKeyResult ApplyMonthKey(MonthKey key) {
  if (Calendar().year == 0) return MonthKeyResult::None;
  const int day = Calendar().day;
  switch (key) {
    case MonthKey::Space: return MonthKeyResult::DayView;
    case MonthKey::PageUp: return GoToMonth(0, true) ? MonthKeyResult::MonthChanged : MonthKeyResult::None;
    case MonthKey::PageDown: return GoToMonth(1, true) ? MonthKeyResult::MonthChanged : MonthKeyResult::None;
    case MonthKey::Home: return SelectIfOther(1);
    case MonthKey::End: return SelectIfOther(DisplayedMonthLength());
    case MonthKey::Left:
      if (day > 1) return SelectIfOther(day - 1);
      if (!GoToMonth(0, false)) return MonthKeyResult::None;
      SelectDay(DisplayedMonthLength());
      return MonthKeyResult::MonthChanged;
    case MonthKey::Right:
      if (day < DisplayedMonthLength()) return SelectIfOther(day + 1);
      return GoToMonth(1, true) ? MonthKeyResult::MonthChanged : MonthKeyResult::None;
    case MonthKey::Up: return SelectIfOther(day - 7);
    case MonthKey::Down: return SelectIfOther(day + 7);
  }
  return MonthKeyResult::None;
}

}  // namespace kv
