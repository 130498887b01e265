// The frame's commands, the module that carries out each one, the private window messages of
// the frame and its desk, and the state of the menus when they open.
#pragma once

#include <cstdint>
#include <vector>

#include "resources/shell_ids.h"

namespace kv {

// Private window messages.
enum PrivateMessage : unsigned {
  kMsgPhonebookFinish = 1037,   // phonebook: put the selected entry into the configuration
  kMsgAlarmMinute = 1042,       // alarm window: a minute has passed
  kMsgCalendarDayView = 1044,   // calendar window: switch views
  kMsgCalendarMonthView = 1046,
  kMsgCalendarYearView = 1047,
  kMsgClockRedraw = 1051,       // desktop clock: redraw
  kMsgRunClockTick = 1065,      // frame: run the clock tick now (parameter 99)
  kMsgFirstUse = 1067,          // frame: first use of the configuration
  kMsgMapRefresh = 1069,        // world map control: refresh
  kMsgOpenMap = 1074,           // frame: open the world map window
  kMsgTodayChanged = 1075,      // calendar window: today moved (the date is in the tick state)
};

// Who carries out a command. The frame does its own; every other owner is one module that
// plugs its handler into the frame.
enum class CommandOwner {
  None,             // not a command of the frame: the active desk window gets it
  Frame,
  CalendarViews,    // quick edit, go to date, move back and forward; today and tabs follow
  Printing,         // page layout, print, metafiles
  Migration,
  Locations,
  Gps,
  Options,          // calendar options, fonts, colours
  Schedule,
  ToDo,
  Dialer,
  Overlays,
  DatabasePath,
  Alarms,
  DesktopClock,
  DesktopIcon,
  Search,
  VersionCheck,
};

CommandOwner OwnerOf(int command);

// Every command of the frame's menus, accelerators and toolbar.
const std::vector<int>& FrameCommands();

// The desk window a command opens or brings up (1320-1323, 1330, 1501-1505), or 0.
uint8_t DeskWindowOf(int command);

// What the menus show when they open.
struct MenuContext {
  uint8_t active = 0;          // desk code of the active window, 0 when none
  uint16_t view = 2;           // calendar view
  bool notesEmpty = false;     // the notes window holds no text
  bool clockEnabled = false;   // the desktop clock stands in for the minimized frame
  bool autoSave = false;
  bool tabsOn = true;          // overlay tabs switched on (byte 306 clear)
};

struct FileMenuState {
  bool pageLayout = true;
  bool print = true;
  bool metafile = true;        // the "Print to Metafile" popup
};
struct CalendarMenuState {
  bool goToDate = true;
  bool overlayTabsChecked = true;
  bool metafileOutputs = true;
};
struct ConfigureMenuState {
  bool clockChecked = false;
  bool autoSaveChecked = false;
};

FileMenuState FileMenu(const MenuContext& c);
CalendarMenuState CalendarMenu(const MenuContext& c);
ConfigureMenuState ConfigureMenu(const MenuContext& c);

}  // namespace kv
