// The program's command ids and resource numbers, shared by the resource scripts and the code,
// and its private window messages. The resource compiler reads this file too: it sees only the
// #define lines; the messages are C++ constants kept from it.
#ifndef KALVORA_COMMAND_IDS_H
#define KALVORA_COMMAND_IDS_H

// File menu
#define CMD_OPEN_CONFIGURATION 1001
#define CMD_SAVE_CONFIGURATION 1002
#define CMD_SAVE_CONFIGURATION_AS 1003
#define CMD_PAGE_LAYOUT 1005
#define CMD_PRINT 1007
#define CMD_METAFILE_CLIPBOARD 1010
#define CMD_METAFILE_DISK 1011
#define CMD_MIGRATE_DATA 1015
#define CMD_IMPORT 1016
#define CMD_EXPORT 1017
#define CMD_EXIT 1099

// Configure menu
#define CMD_LOCATION 1201
#define CMD_GPS 1202
#define CMD_CALENDAR_OPTIONS 1203
#define CMD_SCHEDULER_OPTIONS 1204
#define CMD_TODO_OPTIONS 1205
#define CMD_PHONE_DIALING 1206
#define CMD_OVERLAYS 1207
#define CMD_DATABASE_PATH 1208
#define CMD_FONTS 1209
#define CMD_COLOURS 1210
#define CMD_SOUND 1211
#define CMD_ICONIC_CLOCK 1212
#define CMD_DESKTOP_ICON 1213
#define CMD_AUTOSAVE 1220

// Calendar menu and toolbar
#define CMD_YEAR_VIEW 1301
#define CMD_MONTH_VIEW 1302
#define CMD_DAY_VIEW 1303
#define CMD_QUICK_EDIT 1310
#define CMD_GO_TO_DATE 1311
#define CMD_TODAY 1312
#define CMD_OVERLAY_TABS 1314
#define CMD_SHOW_SCHEDULE 1320
#define CMD_SHOW_TODO 1321
#define CMD_SHOW_PHONEBOOK 1322
#define CMD_SHOW_NOTES 1323
#define CMD_MOVE_BACK 1324
#define CMD_MOVE_FORWARD 1325
#define CMD_SEARCH_BUTTON 1326
#define CMD_RESET_DESK_BUTTON 1327
#define CMD_CLOCK_BUTTON 1328
#define CMD_WORLD_MAP 1330

// The to-do window's View menu (the window puts it into the frame's menu while it is active)
#define CMD_TODO_VIEW_PENDING 1401
#define CMD_TODO_VIEW_ALL 1402
#define CMD_TODO_NEW 1403
#define CMD_TODO_EDIT 1404
#define CMD_TODO_CHECK 1405
#define CMD_TODO_REMOVE 1406

// Window menu
#define CMD_WINDOW_CALENDAR 1501
#define CMD_WINDOW_SCHEDULE 1502
#define CMD_WINDOW_TODO 1503
#define CMD_WINDOW_PHONEBOOK 1504
#define CMD_WINDOW_NOTES 1505
#define CMD_SEARCH 1506
#define CMD_ARRANGE_ALL 1507
#define CMD_RESET_DESK 1508

// Help menu
#define CMD_HELP_TOPICS 1901
#define CMD_INTERNET_SERVICES 1902
#define CMD_VERSION_CHECK 1903
#define CMD_HELP_CONTEXT 1904
#define CMD_ABOUT 1990

// Resources
#define IDR_ACCELERATORS 201
#define IDI_FRAME 499
#define IDI_CALENDAR 501
#define IDI_NOTES 502
#define IDI_SCHEDULE 503
#define IDI_TODO 504
#define IDI_PHONEBOOK 505
#define IDI_MAP 506
#define IDI_CANDLE_LIGHTING 70
#define IDI_HAVDALAH 71
#define IDI_MOON_NEW 72
#define IDI_MOON_FIRST_QUARTER 73
#define IDI_MOON_FULL 74
#define IDI_MOON_LAST_QUARTER 75
#define IDB_TOOLBAR 2210
#define IDC_ABOUT_VERSION 100
#define IDC_ABOUT_ICON 101

// The program's version, as the version resource and the About box show it.
#define KV_VERSION_MAJOR 4
#define KV_VERSION_MINOR 7
#define KV_VERSION_BUILD 0

#ifndef RC_INVOKED
namespace kv {

// Private window messages, with their established numbers.
enum PrivateMessage : unsigned {
  kMsgDateboxGet = 1025,        // date box: read the date into a DateStamp (lParam); 1, or 0 when no date
  kMsgDateboxSet = 1026,        // date box: show the date of a DateStamp (lParam)
  kMsgTimeboxGet = 1025,        // time box: minutes since midnight, -2 when empty, -1 when no time
  kMsgTimeboxSet = 1026,        // time box: show minutes since midnight (wParam)
  kMsgTimeboxClear = 1027,      // time box: empty the field
  kMsgNotesContext = 1027,      // notes window: show the note of another owner
  kMsgSmallCalendarSet = 1029,  // small calendar: its month's offset, index and length
  kMsgPhonebookFinish = 1037,   // phonebook: put the selected entry into the configuration
  kMsgCalendarMove = 1040,      // calendar window: a key or small-calendar move
  kMsgAlarmMinute = 1042,       // alarm window: a minute has passed (WM_USER + 18)
  kMsgScheduleScroll = 1043,    // schedule window: scroll the grid (WM_USER + 19)
  kMsgCalendarDayView = 1044,   // calendar window: switch views
  kMsgCalendarMonthView = 1046,
  kMsgCalendarYearView = 1047,
  kMsgCalendarOpenDay = 1048,   // month view: the selected day in the day view
  kMsgClockRedraw = 1051,       // desktop clock: redraw
  kMsgClockMenu = 1052,         // desktop clock: open its menu
  kMsgDial = 1054,              // phonebook: dial the number of a control
  kMsgModemReady = 1057,        // phonebook: the modem answered; open the dialer
  kMsgRunSearch = 1061,         // search dialog: run the search
  kMsgRunSearchAgain = 1062,
  kMsgRunClockTick = 1065,      // frame: run the clock tick now (parameter 99)
  kMsgFirstUse = 1067,          // frame: first use of the configuration
  kMsgMapRefresh = 1069,        // world map control: refresh
  kMsgGpsFound = 1070,          // GPS target: the position is fixed
  kMsgGpsNoData = 1071,         // GPS target: the receiver sends no usable data
  kMsgGpsActive = 1072,         // GPS target: the receiver is active without a fix
  kMsgGpsPortOpen = 1073,       // GPS progress dialog: the port is open
  kMsgOpenMap = 1074,           // frame: open the world map window
  kMsgTodayChanged = 1075,      // calendar window: today moved (the date is in the tick state)
  kMsgSelectedDateChanged = 1076,  // schedule and notes windows: the calendar's selected date moved
  // A test may drive the program's clock: with the environment value KALVORA_TEST_CLOCK set to
  // "YYYY-MM-DDTHH:MM" the program starts on that clock, and this message (its parameter a
  // number of minutes) moves it and runs the tick. Without the value the message does nothing.
  kMsgTestAdvanceClock = 0x8000 + 1,  // WM_APP + 1
  // Schedule window: select the item whose id is the first parameter and scroll the grid so
  // that its start (the second parameter, minutes after midnight; -1 when unknown) shows. The
  // selected date is already the item's day.
  kMsgScheduleSelectItem = 0x8000 + 2,  // WM_APP + 2
};

// The codes of kMsgCalendarMove: a step back or forward (Page Up / Page Down, the toolbar's move
// buttons), a small calendar of the year view clicked or double-clicked (with its month index
// in the low word of the message's second parameter).
enum CalendarMoveCode : unsigned {
  kMoveBack = 1033,
  kMoveForward = 1034,
  kMoveOpenMonth = 65533,
  kMoveSelectMonth = 65534,
};

}  // namespace kv
#endif  // RC_INVOKED

#endif
