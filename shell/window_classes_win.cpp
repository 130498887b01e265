#include "shell/window_classes_win.h"

#include "clock/clock_window_win.h"
#include "personal/schedule_window_win.h"
#include "resources/command_ids.h"
#include "shell/desk_win.h"
#include "shell/frame_win.h"
#include "sky/world_map_win.h"
#include "views/year_day_panes_win.h"
#include "views/month_view_win.h"

namespace kv {
namespace {

// Panes and parts whose windows come with their modules; until then they draw nothing.
LRESULT CALLBACK PlainWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(h, msg, wp, lp); }

struct ClassEntry {
  const char* name;
  WNDPROC proc;
  int icon;         // 0: none
  int background;   // system colour + 1, 0: none
  UINT style;
  const char* menu;
};

// Every window class of the program, registered at start (a failure ends the start).
const ClassEntry kClasses[] = {
    {kFrameClass, FrameWindowProc, IDI_FRAME, COLOR_BTNFACE + 1, 0, "kalvora"},
    {kCalendarClass, CalendarWindowProc, IDI_CALENDAR, COLOR_WINDOW + 1, CS_DBLCLKS, nullptr},
    {"KVYearLabel", YearLabelWindowProc, 0, COLOR_WINDOW + 1, CS_DBLCLKS, nullptr},
    {"KVMonthPlane", MonthPlaneWindowProc, 0, COLOR_WINDOW + 1, CS_DBLCLKS, nullptr},
    {"KVYearPlane", YearPlaneProc, 0, COLOR_WINDOW + 1, CS_DBLCLKS, nullptr},
    {"KVDayPlane", DayPlaneProc, 0, COLOR_WINDOW + 1, CS_DBLCLKS, nullptr},
    {"KVTitle", MonthTitleWindowProc, 0, COLOR_WINDOW + 1, CS_DBLCLKS, nullptr},
    {"KVDate", DayCellWindowProc, 0, COLOR_WINDOW + 1, CS_DBLCLKS, nullptr},
    {"KVSmCal", SmallCalendarProc, 0, COLOR_WINDOW + 1, CS_DBLCLKS, nullptr},
    {kNotesClass, NotesWindowProc, IDI_NOTES, COLOR_WINDOW + 1, 0, nullptr},
    {kScheduleClass, ScheduleWindowProc, IDI_SCHEDULE, COLOR_WINDOW + 1, 0, nullptr},
    {"KVSchedTxt", ScheduleTextWindowProc, 0, COLOR_WINDOW + 1, CS_DBLCLKS, nullptr},
    {kToDoClass, ToDoWindowProc, IDI_TODO, COLOR_WINDOW + 1, CS_DBLCLKS, nullptr},
    {kPhonebookClass, PhonebookWindowProc, IDI_PHONEBOOK, COLOR_BTNFACE + 1, 0, nullptr},
    {kMapHostClass, MapHostWindowProc, IDI_MAP, COLOR_BTNFACE + 1, 0, nullptr},
    {"KVMap", WorldMapControlProc, 0, COLOR_WINDOW + 1, CS_DBLCLKS, nullptr},
    {"KVMapCtrl", PlainWindowProc, 0, COLOR_BTNFACE + 1, 0, nullptr},
    {"KVMapTip", WorldMapTipProc, 0, COLOR_INFOBK + 1, CS_SAVEBITS, nullptr},
    {kClockClass, ClockWindowProc, IDI_FRAME, COLOR_BTNFACE + 1, CS_DBLCLKS, nullptr},
};

}  // namespace

bool RegisterWindowClasses(HINSTANCE instance) {
  for (const ClassEntry& c : kClasses) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = c.style;
    wc.lpfnWndProc = c.proc;
    wc.hInstance = instance;
    if (c.icon) {
      wc.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(c.icon), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
      wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(c.icon), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    }
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = c.background ? reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(c.background)) : nullptr;
    wc.lpszMenuName = c.menu;
    wc.lpszClassName = c.name;
    if (!RegisterClassExA(&wc)) return false;
  }
  return true;
}

}  // namespace kv
