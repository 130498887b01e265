#include "calendar/clock_win.h"

#include <windows.h>

namespace kv {

DateStamp Win32Clock::LocalNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  DateStamp s;
  s.year = st.wYear;
  s.month = st.wMonth;
  s.day = st.wDay;
  s.hour = st.wHour;
  s.minute = st.wMinute;
  return s;
}

}  // namespace kv
